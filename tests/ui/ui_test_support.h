// Support for the window tests: one QApplication for the whole test program
// and a main window set up for a test.
//
// ui_test_main.cpp is the program's main(): it makes Qt run headless
// (QT_QPA_PLATFORM=offscreen unless set) and creates the QApplication before
// any test runs, so a test file only includes this header and builds its
// windows. Message boxes must never wait for a person: a window test uses
// MakeTestWindow (whose seam answers from a script) or, for a window built on
// its own, a MainWindowServices stand-in whose WindowSeam() is a
// HeadlessSeam.
#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <deque>
#include <memory>

#include "core/seam.h"
#include "ui/main_window.h"
#include "ui/mini_map.h"
#include "ui/status_frame.h"

namespace ombrivale::testing {

// The test program's QApplication.
QApplication& TestApplication();

// Lets pending events run (posted events, paints, zero-length timers).
void PumpEvents(int rounds = 3);

// A main window in a fresh temporary program folder, at scale 1, with its
// message boxes answered from `answers` (then Yes) and recorded in
// window->QtWindowSeam().Boxes(); ending the program only sets `ended`.
struct TestMainWindow {
  explicit TestMainWindow(std::deque<Answer> answers = {}, int screenHeight = 768,
                          int mapScale = 1);
  ~TestMainWindow();

  QTemporaryDir folder;
  bool ended = false;
  int documentsOpened = 0;
  std::unique_ptr<ui::MainWindow> window;

  World& world() { return window->GetWorld(); }
  ui::QtSeam& seam() { return window->QtWindowSeam(); }
};

}  // namespace ombrivale::testing
