// What the simulation asks of the window system.
//
// The library never talks to a window directly. What it changed is posted as
// an event on the world's queue (core/events.h) for its driver to drain; what
// it must ask of the window system - a message box and its answer, a beep,
// the pointer, a yield to pending window events, the start-up's window
// places - goes through this one interface. The desktop program implements
// it with Qt; HeadlessSeam records what it was asked and answers message
// boxes from a script, for tests. Every member has a do-nothing default so a
// world with no window at all runs as it is.
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

  virtual bool IsMainWindowMinimized() { return false; }
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

  // Start-up's window steps: the properties window is shown before the
  // settings file is read; the windows' places are read from the windows
  // (a settings line that fails keeps them) and put back after it.
  virtual void ShowPropertiesWindow() {}
  virtual void CollectWindowPlacements(WindowPlacement (&windows)[kWindowCount]) { (void)windows; }
  virtual void ApplyWindowPlacements(const WindowPlacement (&windows)[kWindowCount]) {
    (void)windows;
  }
};

// A message box's text on one line, for standard error and logs: each LF
// (or CR LF) becomes one blank, a CR alone is dropped.
std::string BoxTextOnOneLine(const std::string& text);

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

  bool IsMainWindowMinimized() override { return minimized; }
  void Beep() override { ++beeps; }
  void SetPointer(Pointer p) override {
    pointer = p;
    ++pointerChanges;
  }
  Answer ShowMessageBox(const std::string& text, const std::string& title,
                        Buttons buttons) override;
  void ProcessEvents() override { ++eventPumps; }

  std::vector<Box> boxes;
  std::deque<Answer> answers;
  Answer defaultAnswer = Answer::Yes;
  bool minimized = false;
  Pointer pointer = Pointer::Default;
  uint64_t pointerChanges = 0;
  uint64_t beeps = 0;
  uint64_t eventPumps = 0;
};

}  // namespace ombrivale
