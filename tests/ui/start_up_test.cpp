// Start-up: the first run, a run with a saved world, the order of the steps.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "core/helpers.h"
#include "sim/new_world.h"
#include "ui/properties_window.h"
#include "ui_test_support.h"
#include "world/world_files.h"
#include "world/world_gen.h"

namespace ombrivale::testing {
namespace {

TEST(StartUpTest, FirstRunWithoutSettingsOrWorld) {
  TestMainWindow t;
  t.window->StartUp();
  World& world = t.world();
  const auto& boxes = t.seam().Boxes();
  ASSERT_GE(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Error Loading Ini");
  EXPECT_EQ(boxes[0].title, "Ini");
  EXPECT_EQ(boxes[0].buttons, Buttons::Ok);
  // Then the loader's messages about the missing world.
  bool loaderSpoke = false;
  for (size_t i = 1; i < boxes.size(); ++i)
    loaderSpoke |= boxes[i].title != "Ini";
  EXPECT_TRUE(loaderSpoke);
  int errorLoadingIni = 0;
  for (const auto& box : boxes)
    errorLoadingIni += box.text == "Error Loading Ini";
  EXPECT_EQ(errorLoadingIni, 1);

  // A new world runs.
  EXPECT_GT(world.AnimalCount, 0);
  EXPECT_EQ(world.GameStarted, 1);
  EXPECT_EQ(world.WorldLoaded, 0);
  EXPECT_TRUE(t.window->Timer2().isActive());
  EXPECT_EQ(t.window->Timer2().interval(), 1);
  EXPECT_EQ(world.display->Label1, "Y0, February");
  EXPECT_EQ(t.window->Frame(1).Label().text(), "Y0, February");
  EXPECT_EQ(t.window->Frame(3).Label().text(), "New World");

  // The option defaults stand, the filters included: a missing file changes
  // nothing.
  const std::pair<const char*, bool> checks[] = {
      {"menu_options_log", true},       {"menu_edit_log", true},
      {"menu_options_restart", true},   {"menu_options_colour", false},
      {"menu_options_least", true},     {"menu_options_autosave", true},
      {"menu_edit_these_oldage", true}, {"menu_edit_these_eaten", true},
      {"menu_edit_these_over", true},   {"menu_edit_these_suff", true},
      {"menu_edit_these_hunger", true},
  };
  for (const auto& [name, checked] : checks)
    EXPECT_EQ(t.window->Action(name)->isChecked(), checked) << name;
  EXPECT_EQ(world.LogOn, 1);
  EXPECT_EQ(world.AutoRestart, 1);
  EXPECT_EQ(world.OverwriteLeast, 1);
  EXPECT_EQ(world.AutoSave, 1);
  EXPECT_EQ(world.RealColours, 0);

  // The properties window stays as start-up showed it; the others are
  // created hidden.
  EXPECT_TRUE(t.window->IsShown(t.window->PropertiesIfCreated()));
  EXPECT_FALSE(t.window->IsShown(t.window->WorldView()));
  EXPECT_FALSE(t.window->IsShown(t.window->LogIfCreated()));
  EXPECT_EQ(world.display->SelectedAnimal, 0);
  EXPECT_EQ(t.seam().CurrentPointer(), Pointer::Default);
  EXPECT_EQ(world.AutoSaveFolder, (t.folder.path() + "/AutoSave").toStdString());
}

TEST(StartUpTest, ASavedWorldLoadsAndShowsItsCalendarTwoMonthsOn) {
  QTemporaryDir folder;
  {
    World saved;
    HeadlessSeam seam;
    saved.seam = &seam;
    UseVirtualClock(saved, 5);
    NewWorld(saved);
    saved.Year = 3;
    saved.Month = 5;
    SaveWorld(saved, (folder.path() + "/AutoSave").toStdString());
    ASSERT_TRUE(QFile::exists(folder.path() + "/AutoSave/planet_0.dat"));
  }
  TestMainWindow t;
  // The window's own temporary folder is replaced by the one with the save.
  ui::ProgramEnvironment environment;
  environment.programFolder = folder.path();
  environment.mapScale = 1;
  environment.endProgram = [] {};
  t.window = std::make_unique<ui::MainWindow>(environment);
  t.window->QtWindowSeam().ScriptAnswers({});
  t.window->StartUp();
  EXPECT_EQ(t.world().Year, 3);
  EXPECT_EQ(t.world().Month, 7);
  EXPECT_EQ(t.world().display->Label1, "Y3, July");
  EXPECT_EQ(t.window->Frame(1).Label().text(), "Y3, July");
  EXPECT_EQ(t.window->Frame(3).Label().text(), "Loaded World");
  EXPECT_EQ(t.world().WorldLoaded, 0);
  EXPECT_GT(t.world().AnimalCount, 0);
}

// Regression: a person slow to answer "Error Loading Ini" let the month
// timer turn a year on the empty table and auto-save it over the world about
// to be loaded.
TEST(StartUpTest, MonthTimerWaitsWhileStartUpAsks) {
  TestMainWindow t;
  t.seam().WhileBoxIsOpen([&t](const HeadlessSeam::Box&) {
    for (int i = 0; i < 30; ++i)
      t.window->Timer1Fired();  // 15 seconds of the timer
  });
  t.window->StartUp();
  EXPECT_EQ(t.world().Year, 0);
  EXPECT_EQ(t.world().display->Label1, "Y0, February");
  EXPECT_FALSE(QFile::exists(t.window->Folders().autoSaveFolder + "/planet_0.dat"));
  // Once started, the timer runs month steps again (one per 31 ticks).
  t.window->Timer1().stop();
  t.window->Timer2().stop();
  for (int i = 0; i < 31; ++i)
    t.window->Tick();
  EXPECT_EQ(t.world().display->Label1, "Y0, March");
}

TEST(StartUpTest, SettingsFileRestoresOptionsWindowsAndFilters) {
  TestMainWindow first({Answer::Yes, Answer::No});
  first.window->StartUp();
  first.window->show();
  first.window->ShowLog();
  first.window->Action("menu_options_colour")->trigger();
  first.window->Action("menu_options_restart")->trigger();
  first.window->Action("menu_edit_these_hunger")->trigger();
  first.window->Quit();
  ASSERT_TRUE(first.ended);

  ui::ProgramEnvironment environment;
  environment.programFolder = first.folder.path();
  environment.mapScale = 1;
  environment.endProgram = [] {};
  ui::MainWindow second(environment);
  second.QtWindowSeam().ScriptAnswers({});
  second.StartUp();
  for (const auto& box : second.QtWindowSeam().Boxes())
    EXPECT_NE(box.text, "Error Loading Ini");
  EXPECT_TRUE(second.Action("menu_options_colour")->isChecked());
  EXPECT_FALSE(second.Action("menu_options_restart")->isChecked());
  EXPECT_FALSE(second.Action("menu_edit_these_hunger")->isChecked());
  EXPECT_TRUE(second.Action("menu_edit_these_oldage")->isChecked());
  EXPECT_TRUE(second.IsShown(second.LogIfCreated()));
  EXPECT_EQ(second.GetWorld().display->SelectedAnimal, 0);
}

}  // namespace
}  // namespace ombrivale::testing
