// The window seam of the desktop program: what the simulation asks of the
// window system, done with Qt on the main window. What the simulation changed
// reaches the windows through the world document's signals instead.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/seam.h"

class QWidget;

namespace ombrivale::ui {

class WorldDocument;

class QtSeam : public Seam {
 public:
  // `window` is the message boxes' parent; both must outlive the seam.
  QtSeam(QWidget& window, WorldDocument& document) : window_(window), document_(document) {}

  bool IsMainWindowMinimized() override;
  void Beep() override;
  // Inside a tick the pointer is only recorded and takes effect when the tick
  // yields: the mate search switches it on and off for every seeking animal.
  void SetPointer(Pointer pointer) override;
  Answer ShowMessageBox(const std::string& text, const std::string& title,
                        Buttons buttons) override;
  // Outside a tick, drains the document and runs the pending events at once;
  // inside one (the tick's own yield and the yearly map redraw) they run
  // when the tick returns to the event loop, before the next tick.
  void ProcessEvents() override;
  // Start-up's window steps, done by the main window.
  std::function<void()> showPropertiesWindow;
  std::function<void(WindowPlacement (&)[kWindowCount])> collectPlacements;
  std::function<void(const WindowPlacement (&)[kWindowCount])> applyPlacements;
  void ShowPropertiesWindow() override;
  void CollectWindowPlacements(WindowPlacement (&windows)[kWindowCount]) override;
  void ApplyWindowPlacements(const WindowPlacement (&windows)[kWindowCount]) override;

  // Tests: from now on message boxes are answered from `answers` in order
  // (then `defaultAnswer`; an OK box always gets Ok) and recorded in Boxes()
  // instead of being shown.
  void ScriptAnswers(std::deque<Answer> answers, Answer defaultAnswer = Answer::Yes);
  bool IsScripted() const { return scripted_; }
  // Tests: runs while a scripted box stands "open", as a person's slow
  // answer would let timers and clicks run.
  void WhileBoxIsOpen(std::function<void(const HeadlessSeam::Box&)> hook) {
    whileOpen_ = std::move(hook);
  }
  const std::vector<HeadlessSeam::Box>& Boxes() const { return boxes_; }
  void ClearBoxes() { boxes_.clear(); }

  Pointer CurrentPointer() const { return wanted_; }
  // Puts the recorded pointer on the screen (called when a tick yields).
  void ApplyPointer();

 private:
  QWidget& window_;
  WorldDocument& document_;
  bool scripted_ = false;
  std::deque<Answer> answers_;
  Answer defaultAnswer_ = Answer::Yes;
  std::vector<HeadlessSeam::Box> boxes_;
  std::function<void(const HeadlessSeam::Box&)> whileOpen_;
  Pointer wanted_ = Pointer::Default;
  Pointer shown_ = Pointer::Default;
};

}  // namespace ombrivale::ui
