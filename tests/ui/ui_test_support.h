// The window tests' main window. ui_test_main.cpp is the test program's
// main(): it makes Qt run headless (QT_QPA_PLATFORM=offscreen unless set) and
// creates the one QApplication before any test runs.
#pragma once

#include <QTemporaryDir>
#include <QUrl>
#include <deque>
#include <memory>
#include <vector>

#include "core/seam.h"
#include "ui/main_window.h"
#include "ui/status_frame.h"

namespace ombrivale::testing {

// A main window in a fresh temporary program folder, its message boxes
// answered from `answers` (then Yes; OK boxes Ok) and recorded in
// seam().Boxes(), never waiting for a person; ending the program only sets
// `ended`; a document to open is recorded in `opened` and a browser opens it
// while `browserOpens`.
struct TestMainWindow {
  explicit TestMainWindow(std::deque<Answer> answers = {}, int screenHeight = 768, int mapScale = 1,
                          FileSystem* saveFiles = nullptr);
  // A window that has started up on a new world of this seed (its first-run
  // boxes answered), paused before its first tick, shown and active, so key
  // presses reach its shortcuts and nothing runs until the test steps it.
  struct StartedPaused {
    uint64_t seed = 1;
  };
  explicit TestMainWindow(StartedPaused started);

  QTemporaryDir folder;
  bool ended = false;
  bool browserOpens = true;
  std::vector<QUrl> opened;
  std::unique_ptr<ui::MainWindow> window;

  World& world() { return window->GetWorld(); }
  ui::RunControl& run() { return window->Run(); }
  ui::QtSeam& seam() { return window->QtWindowSeam(); }

 private:
  ui::ProgramEnvironment Environment(int screenHeight, int mapScale);
};

// A second program start in `folder` (a TestMainWindow's), loading its world
// and settings, paused: its state is what the start left.
std::unique_ptr<ui::MainWindow> StartAgain(const QString& folder);

}  // namespace ombrivale::testing
