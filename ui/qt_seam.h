// The window seam of the desktop program: what the simulation asks of the
// window system, done with Qt on the main window.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/seam.h"

namespace ombrivale::ui {

class MainWindow;

class QtSeam : public Seam {
 public:
  explicit QtSeam(MainWindow& window) : window_(window) {}

  void MessageLineChanged(const std::string& text) override;
  void CaptionsChanged() override;
  bool IsMainWindowMinimized() override;
  void SetMainWindowCaption(const std::string& caption) override;
  void Beep() override;
  // Inside a tick the pointer is only recorded and takes effect when the tick
  // yields: the mate search switches it on and off for every seeking animal.
  void SetPointer(Pointer pointer) override;
  Answer ShowMessageBox(const std::string& text, const std::string& title,
                        Buttons buttons) override;
  // Outside a tick, runs the pending events at once; inside one (the tick's
  // own yield and the yearly map redraw) they run when the tick returns to
  // the event loop, before the next tick.
  void ProcessEvents() override;
  void DoZoomed() override;
  void UpdateListFive() override;
  void MapRedrawn() override;
  void Timer2IntervalChanged(int milliseconds) override;
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
  MainWindow& window_;
  bool scripted_ = false;
  std::deque<Answer> answers_;
  Answer defaultAnswer_ = Answer::Yes;
  std::vector<HeadlessSeam::Box> boxes_;
  std::function<void(const HeadlessSeam::Box&)> whileOpen_;
  Pointer wanted_ = Pointer::Default;
  Pointer shown_ = Pointer::Default;
};

}  // namespace ombrivale::ui
