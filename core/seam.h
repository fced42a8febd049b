// What the simulation asks of the window system.
//
// The library never talks to a window directly: every message line, beep,
// pointer change, message box and per-tick hook goes through this one
// interface. The desktop program implements it with Qt; HeadlessSeam records
// what it was told and answers message boxes from a script, for tests and the
// command-line tools. Every member has a do-nothing default so a world with no
// window at all runs as it is.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/display.h"

namespace ombrivale {

enum class Pointer : uint8_t { Default, Wait, ArrowWait };
enum class Buttons : uint8_t { Ok, YesNo, YesNoCancel };
enum class Answer : uint8_t { Ok, Yes, No, Cancel };

class Seam {
 public:
  virtual ~Seam() = default;

  // The message line (Label3 in the "Messages:" frame) now reads `text`.
  virtual void MessageLineChanged(const std::string& text) { (void)text; }
  // The date or the population caption has changed (Label1, Label2).
  virtual void CaptionsChanged() {}
  virtual bool IsMainWindowMinimized() { return false; }
  virtual void SetMainWindowCaption(const std::string& caption) { (void)caption; }
  virtual void Beep() {}
  virtual void SetPointer(Pointer pointer) { (void)pointer; }
  // Shows a message box and waits for the answer.
  virtual Answer ShowMessageBox(const std::string& text, const std::string& title,
                                Buttons buttons) {
    (void)text;
    (void)title;
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
  }
  // Lets pending window events run once (menus, clicks, the other timer).
  virtual void ProcessEvents() {}
  // The world view's redraw, called once per tick.
  virtual void DoZoomed() {}
  // The properties window's state refresh, called by the month step.
  virtual void UpdateListFive() {}
  // The mini-map picture was repainted in full (the sea line may have moved).
  virtual void MapRedrawn() {}
  // The tick interval of the simulation timer changed (0 stops it), in ms.
  virtual void Timer2IntervalChanged(int milliseconds) { (void)milliseconds; }

  // Start-up's window steps: the properties window is shown before the
  // settings file is read; the windows' places are read from the windows
  // (a settings line that fails keeps them) and put back after it.
  virtual void ShowPropertiesWindow() {}
  virtual void CollectWindowPlacements(WindowPlacement (&windows)[kWindowCount]) { (void)windows; }
  virtual void ApplyWindowPlacements(const WindowPlacement (&windows)[kWindowCount]) {
    (void)windows;
  }
};

// Records what the simulation told the window system, for tests and tools.
// Message-box answers come from `answers` in order; when it runs dry the
// box gets `defaultAnswer` (or Ok for a box with only an OK button).
class HeadlessSeam : public Seam {
 public:
  struct Box {
    std::string text;
    std::string title;
    Buttons buttons;
    Answer answer;
  };

  void MessageLineChanged(const std::string& text) override;
  void CaptionsChanged() override { ++captionChanges; }
  bool IsMainWindowMinimized() override { return minimized; }
  void SetMainWindowCaption(const std::string& caption) override { mainCaption = caption; }
  void Beep() override { ++beeps; }
  void SetPointer(Pointer p) override {
    pointer = p;
    ++pointerChanges;
  }
  Answer ShowMessageBox(const std::string& text, const std::string& title,
                        Buttons buttons) override;
  void ProcessEvents() override { ++eventPumps; }
  void DoZoomed() override { ++doZoomedCalls; }
  void UpdateListFive() override { ++updateListFiveCalls; }
  void MapRedrawn() override { ++mapRedraws; }
  void Timer2IntervalChanged(int milliseconds) override { timer2Interval = milliseconds; }

  // Keeps at most this many message lines (the oldest are dropped), so a
  // long run does not grow without bound.
  size_t messageLineLimit = 10000;

  std::vector<std::string> messageLines;
  std::vector<Box> boxes;
  std::deque<Answer> answers;
  Answer defaultAnswer = Answer::Yes;
  bool minimized = false;
  std::string mainCaption;
  Pointer pointer = Pointer::Default;
  uint64_t pointerChanges = 0;
  uint64_t captionChanges = 0;
  uint64_t beeps = 0;
  uint64_t eventPumps = 0;
  uint64_t doZoomedCalls = 0;
  uint64_t updateListFiveCalls = 0;
  uint64_t mapRedraws = 0;
  int timer2Interval = 0;
};

}  // namespace ombrivale
