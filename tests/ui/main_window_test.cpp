// The main window: the small-screen warning, the tick schedule, help
// without a browser, a world that dies out, the status bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QtTest/QTest>

#include "genetics/needs.h"
#include "sim/new_world.h"
#include "support/world_files_support.h"
#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

TEST(MainWindowTest, AboutWarnsOnceOfAScreenUnder600PixelsThenShowsTheWorldView) {
  for (const int height : {599, 600}) {
    TestMainWindow t({}, height);
    t.window->show();
    for (int opening = 0; opening < 2; ++opening) {
      QTimer::singleShot(0, t.window.get(), [&t] {
        if (t.window->AboutIfCreated() != nullptr) t.window->AboutIfCreated()->reject();
      });
      t.window->Action("menu_help_about")->trigger();
    }
    ASSERT_EQ(t.seam().Boxes().size(), height < 600 ? 1u : 0u) << height;
    if (height < 600) {
      EXPECT_EQ(t.seam().Boxes()[0].text, "Ombrivale will view better in an 800x600 screen mode.");
    }
    EXPECT_TRUE(t.window->IsShown(t.window->WorldView())) << height;
  }
}

// Regression: the redraw inside NewWorld lets events run, and the 1 ms timer
// stepped the half-built world there (its month step ran in full).
TEST(MainWindowTest, NoTickWhileAWorldIsBeingBuilt) {
  TestMainWindow t;
  FillMonthNames(*t.world().display);
  NewWorld(t.world());
  ASSERT_TRUE(t.window->Timer2().isActive());
  t.window->Document().RestartTickSchedule();
  QThread::msleep(3);  // the next tick is due; no events run meanwhile
  const uint64_t ticks = t.world().TickCount;
  t.world().GameStarted = 0;
  t.window->Document().Timer2Fired();
  EXPECT_EQ(t.world().TickCount, ticks);
  t.world().GameStarted = 1;
  t.window->Document().Timer2Fired();
  EXPECT_GT(t.world().TickCount, ticks);
}

TEST(MainWindowTest, KeepsTickingWhileASaveIsBeingWritten) {
  GatedFileSystem files;
  TestMainWindow t({}, 768, 1, &files);
  t.window->StartUp();
  t.seam().ClearBoxes();
  t.window->Action("menu_file_save")->trigger();
  ASSERT_TRUE(t.window->Saver().Busy());
  const uint64_t ticks = t.world().TickCount;
  QElapsedTimer clock;
  clock.start();
  while ((t.world().TickCount < ticks + 50 || !files.Reached()) && clock.elapsed() < 20000)
    QCoreApplication::processEvents();
  EXPECT_GE(t.world().TickCount, ticks + 50);
  EXPECT_TRUE(t.window->Saver().Busy());  // the save is still held at its first write
  EXPECT_NE(t.world().display->Label3, "Saved");
  files.Open();
  t.window->Saver().Finish(t.world());
  EXPECT_EQ(t.world().display->Label3, "Saved");
  EXPECT_TRUE(t.seam().Boxes().empty());
  EXPECT_TRUE(QFile::exists(t.folder.path() + "/AutoSave/planet_0.dat"));
}

// Regression: with no browser installed "&Help" did nothing at all.
TEST(MainWindowTest, HelpWithoutABrowserShowsThePageInAWindowOfItsOwn) {
  for (const bool browser : {true, false}) {
    TestMainWindow t(TestMainWindow::StartedPaused{});
    ASSERT_TRUE(QFile::copy(QStringLiteral(OMBRIVALE_SOURCE_DIR "/ui/help/OBHelp.html"),
                            t.folder.filePath("OBHelp.html")));
    t.browserOpens = browser;
    QTest::keyClick(t.window.get(), Qt::Key_H, Qt::AltModifier);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_H);
    ASSERT_EQ(t.opened.size(), 1u);
    EXPECT_EQ(t.opened[0].toLocalFile(), t.folder.filePath("OBHelp.html"));
    QTextBrowser* help = t.window->HelpWindowIfCreated();
    EXPECT_EQ(help != nullptr && t.window->IsShown(help), !browser);
    if (help == nullptr) continue;
    const QString text = help->toPlainText();
    EXPECT_TRUE(text.contains("Every menu entry"));
    EXPECT_TRUE(text.contains("open OBHelp.html in a web browser"));  // for each picture
    EXPECT_FALSE(text.contains("submerged ground\n"));  // no picture's labels strewn as text
  }
}

// Regression: with "Auto &Restart" off a world whose last animal died ran on
// empty, in "&Fast" too, with nothing said.
TEST(MainWindowTest, AWorldThatDiesOutIsAnnouncedAndPausesOnceAtEitherSpeed) {
  for (const ui::Speed speed : {ui::Speed::Fast, ui::Speed::RealTime}) {
    TestMainWindow t(TestMainWindow::StartedPaused{});
    World& world = t.world();
    world.AutoRestart = 0;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      if (IsOccupied(AnimalAt(world, slot))) KillAnimal(world, slot, Cause::Sacrificed);
    }
    t.run().SetSpeed(speed);
    t.run().SetPaused(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.run().Paused(); }));
    EXPECT_EQ(world.SpeedCount, 0);  // at the month step that found it empty
    EXPECT_NE(world.display->Label3.find("The world has died out: paused"), std::string::npos);
    const auto* note = t.window->statusBar()->findChild<QLabel*>("StatusNote");
    EXPECT_EQ(note->text(), "The world has died out (Auto Restart is off)");

    // Resumed, it runs on empty: the user's choice, said once.
    const uint64_t ticks = world.TickCount;
    QTest::keyClick(t.window.get(), Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return world.TickCount > ticks + 40; }));
    EXPECT_FALSE(t.run().Paused());
    t.run().SetPaused(true);
    EXPECT_EQ(note->text(), "The world has died out (Auto Restart is off)");
  }
}

// Regression: in "&Fast" the date was cut off ("Y48945, Janu"): the label
// grew with its text later than the text changed.
TEST(MainWindowTest, TheStatusBarHoldsTheWholeDateAtOnce) {
  TestMainWindow t(TestMainWindow::StartedPaused{});
  t.window->resize(800, 600);
  t.run().SetSpeed(ui::Speed::Fast);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(t.window.get()));
  auto* date = t.window->statusBar()->findChild<QLabel*>("StatusDate");
  t.run().ShowDate(QStringLiteral("Y48945, September"));  // no layout pass in between
  EXPECT_GE(date->contentsRect().width(), date->fontMetrics().horizontalAdvance(date->text()));
  EXPECT_GT(date->geometry().left(),
            t.window->statusBar()->findChild<QLabel*>("StatusSpeed")->geometry().right());
}

}  // namespace
}  // namespace ombrivale::testing
