#include <gtest/gtest.h>

#include <QApplication>
#include <QtTest/QTest>

#include "ui_test_support.h"

namespace ombrivale::testing {

ui::ProgramEnvironment TestMainWindow::Environment(int screenHeight, int mapScale) {
  ui::ProgramEnvironment environment;
  environment.programFolder = folder.path();
  environment.fallbackFolder = folder.path() + QStringLiteral("/fallback");
  environment.mapScale = mapScale;
  environment.screenHeight = [screenHeight] { return screenHeight; };
  environment.openDocument = [this](const QUrl& url) {
    opened.push_back(url);
    return browserOpens;
  };
  environment.endProgram = [this] { ended = true; };
  return environment;
}

TestMainWindow::TestMainWindow(std::deque<Answer> answers, int screenHeight, int mapScale,
                               FileSystem* saveFiles) {
  ui::ProgramEnvironment environment = Environment(screenHeight, mapScale);
  environment.saveFiles = saveFiles;
  window = std::make_unique<ui::MainWindow>(environment);
  window->QtWindowSeam().ScriptAnswers(std::move(answers));
}

TestMainWindow::TestMainWindow(StartedPaused started) {
  ui::ProgramEnvironment environment = Environment(768, 1);
  environment.seed = started.seed;
  environment.startPaused = true;
  window = std::make_unique<ui::MainWindow>(environment);
  window->QtWindowSeam().ScriptAnswers({});
  window->StartUp();
  window->show();
  QApplication::setActiveWindow(window.get());
  if (!QTest::qWaitForWindowActive(window.get())) ADD_FAILURE() << "the window never became active";
}

std::unique_ptr<ui::MainWindow> StartAgain(const QString& folder) {
  ui::ProgramEnvironment environment;
  environment.programFolder = folder;
  environment.mapScale = 1;
  environment.endProgram = [] {};
  environment.startPaused = true;  // what the test reads is not moved on by a tick meanwhile
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
