// The window tests' main window. ui_test_main.cpp is the test program's
// main(): it makes Qt run headless (QT_QPA_PLATFORM=offscreen unless set) and
// creates the one QApplication before any test runs.
#pragma once

#include <QTemporaryDir>
#include <deque>
#include <memory>

#include "core/seam.h"
#include "ui/main_window.h"
#include "ui/status_frame.h"

namespace ombrivale::testing {

// A main window in a fresh temporary program folder, its message boxes
// answered from `answers` (then Yes; OK boxes Ok) and recorded in
// seam().Boxes(), never waiting for a person; ending the program only sets
// `ended`.
struct TestMainWindow {
  explicit TestMainWindow(std::deque<Answer> answers = {}, int screenHeight = 768, int mapScale = 1,
                          FileSystem* saveFiles = nullptr);

  QTemporaryDir folder;
  bool ended = false;
  std::unique_ptr<ui::MainWindow> window;

  World& world() { return window->GetWorld(); }
  ui::QtSeam& seam() { return window->QtWindowSeam(); }
};

// A second program start in `folder` (a TestMainWindow's), loading its world
// and settings.
std::unique_ptr<ui::MainWindow> StartAgain(const QString& folder);

}  // namespace ombrivale::testing
