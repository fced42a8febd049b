#include <gtest/gtest.h>

#include <QApplication>

#include "ui_test_support.h"

namespace ombrivale::testing {

TestMainWindow::TestMainWindow(std::deque<Answer> answers, int screenHeight, int mapScale,
                               FileSystem* saveFiles) {
  ui::ProgramEnvironment environment;
  environment.programFolder = folder.path();
  environment.fallbackFolder = folder.path() + QStringLiteral("/fallback");
  environment.mapScale = mapScale;
  environment.screenHeight = [screenHeight] { return screenHeight; };
  environment.openDocument = [](const QUrl&) {};
  environment.endProgram = [this] { ended = true; };
  environment.saveFiles = saveFiles;
  window = std::make_unique<ui::MainWindow>(environment);
  window->QtWindowSeam().ScriptAnswers(std::move(answers));
}

std::unique_ptr<ui::MainWindow> StartAgain(const QString& folder) {
  ui::ProgramEnvironment environment;
  environment.programFolder = folder;
  environment.mapScale = 1;
  environment.endProgram = [] {};
  auto window = std::make_unique<ui::MainWindow>(environment);
  window->QtWindowSeam().ScriptAnswers({});
  window->StartUp();
  return window;
}

}  // namespace ombrivale::testing

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("OmbrivaleTests"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
