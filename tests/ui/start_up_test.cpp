// Start-up: the first run, a run with a saved world, the settings file.
#include <gtest/gtest.h>

#include <QFile>

#include "core/helpers.h"
#include "sim/new_world.h"
#include "ui_test_support.h"
#include "world/world_files.h"

namespace ombrivale::testing {
namespace {

TEST(StartUpTest, FirstRunSaysThereIsNoSettingsFileNorWorldAndRunsANewOne) {
  TestMainWindow t;
  t.window->StartUp();
  const auto& boxes = t.seam().Boxes();
  ASSERT_GE(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Error Loading Ini");
  EXPECT_EQ(boxes[1].text, "Can't Find Files to Load");  // then the loader's
  World& world = t.world();
  EXPECT_EQ(world.AnimalCount, 2);
  EXPECT_TRUE(t.window->Timer2().isActive());
  EXPECT_EQ(t.window->Frame(1).Label().text(), "Y0, February");
  // The defaults stand: a missing file changes nothing.
  EXPECT_TRUE(world.LogOn && world.AutoRestart && world.OverwriteLeast && world.AutoSave);
  EXPECT_FALSE(world.RealColours);
  EXPECT_TRUE(t.window->Action("menu_edit_these_hunger")->isChecked());
  EXPECT_EQ(t.seam().CurrentPointer(), Pointer::Default);
}

TEST(StartUpTest, ASavedWorldLoadsAndResumesTwoMonthsOn) {
  QTemporaryDir folder;
  {
    World saved;
    UseVirtualClock(saved, 5);
    NewWorld(saved);
    saved.Year = 3;
    saved.Month = 5;
    ASSERT_TRUE(SaveWorld(saved, (folder.path() + "/AutoSave").toStdString()).ok());
  }
  const auto window = StartAgain(folder.path());
  EXPECT_EQ(window->Frame(1).Label().text(), "Y3, July");
  EXPECT_EQ(window->Frame(3).Label().text(), "Loaded World");
  EXPECT_EQ(window->GetWorld().AnimalCount, 2);
}

// Regression: a person slow to answer "Error Loading Ini" let the month
// timer turn a year on the empty table and auto-save it over the world about
// to be loaded.
TEST(StartUpTest, MonthTimerWaitsWhileStartUpAsks) {
  TestMainWindow t;
  t.seam().WhileBoxIsOpen([&t](const HeadlessSeam::Box&) {
    for (int i = 0; i < 30; ++i)
      t.window->Document().Timer1Fired();  // 15 seconds of the timer
  });
  t.window->StartUp();
  EXPECT_EQ(t.world().display->Label1, "Y0, February");
  EXPECT_FALSE(QFile::exists(t.window->Folders().autoSaveFolder + "/planet_0.dat"));
  t.window->Timer1().stop();
  t.window->Timer2().stop();
  for (int i = 0; i < 31; ++i)
    t.window->Tick();
  EXPECT_EQ(t.world().display->Label1, "Y0, March");  // started, the months run
}

TEST(StartUpTest, TheSettingsFileBringsBackOptionsFiltersAndWindows) {
  TestMainWindow first({Answer::Yes, Answer::No});  // quit, do not save the world
  first.window->StartUp();
  first.window->show();
  first.window->ShowLog();
  first.window->Action("menu_options_colour")->trigger();
  first.window->Action("menu_options_restart")->trigger();
  first.window->Action("menu_edit_these_hunger")->trigger();
  first.window->Quit();
  ASSERT_TRUE(first.ended);

  const auto second = StartAgain(first.folder.path());
  for (const auto& box : second->QtWindowSeam().Boxes())
    EXPECT_NE(box.text, "Error Loading Ini");
  EXPECT_TRUE(second->Action("menu_options_colour")->isChecked());
  EXPECT_FALSE(second->Action("menu_options_restart")->isChecked());
  EXPECT_FALSE(second->Action("menu_edit_these_hunger")->isChecked());
  EXPECT_TRUE(second->Action("menu_edit_these_oldage")->isChecked());
  EXPECT_TRUE(second->IsShown(second->LogIfCreated()));
  EXPECT_EQ(second->GetWorld().display->SelectedAnimal, 0);  // nobody tracked yet
}

}  // namespace
}  // namespace ombrivale::testing
