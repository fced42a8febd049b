// The main window: the small-screen warning, the tick schedule.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>

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
  t.window->RestartTickSchedule();
  QThread::msleep(3);  // the next tick is due; no events run meanwhile
  const uint64_t ticks = t.world().TickCount;
  t.world().GameStarted = 0;
  t.window->Timer2Fired();
  EXPECT_EQ(t.world().TickCount, ticks);
  t.world().GameStarted = 1;
  t.window->Timer2Fired();
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

}  // namespace
}  // namespace ombrivale::testing
