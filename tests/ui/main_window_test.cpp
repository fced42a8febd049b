// The main window's menus, option entries, caption, layout and folders.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <QThread>
#include "sim/new_world.h"
#include "ui/main_layout.h"
#include "ui/properties_window.h"
#include "ui/quick_draw.h"
#include "ui/world_view.h"
#include "ui_test_support.h"
#include "world/world_gen.h"

namespace ombrivale::testing {
namespace {

using ui::MainWindow;

TEST(MainWindowMenusTest, MenuBarHoldsTheFiveMenusInOrder) {
  TestMainWindow t;
  QStringList captions;
  for (QAction* action : t.window->menuBar()->actions())
    captions << action->text();
  EXPECT_EQ(captions, (QStringList{"&File", "&Options", "&Window", "&Help", "&Edit"}));
}

TEST(MainWindowMenusTest, EveryEntryHasItsCaption) {
  TestMainWindow t;
  const std::pair<const char*, const char*> entries[] = {
      {"menu_file_new", "&New World"},
      {"menu_file_save", "&Save World to AutoSave Folder"},
      {"menu_file_exit", "E&xit Programme"},
      {"menu_options_log", "Make &Log"},
      {"menu_options_restart", "Auto &Restart"},
      {"menu_options_colour", "Use Real &Colours"},
      {"menu_options_least", "Overwrite &Least Evolved"},
      {"menu_options_autosave", "Auto &Save (Saves Every Ten Years)"},
      {"menu_window_world", "Show &World"},
      {"menu_window_properties", "Show Animal &Properties"},
      {"menu_window_quick", "Show &QuickDraw"},
      {"menu_window_playgod", "Show Play-&God"},
      {"menu_window_map", "Show &MiniMap"},
      {"menu_window_log", "Show &Log"},
      {"menu_help_help", "&Help"},
      {"menu_help_about", "&About"},
      {"menu_edit_log", "Make &Log"},
      {"menu_edit_del", "&Delete Entry"},
      {"menu_edit_refreshlog", "&Refresh Log"},
      {"menu_edit_these_oldage", "Old &Age Deaths"},
      {"menu_edit_these_suff", "&Suffocation Deaths"},
      {"menu_edit_these_over", "&Overwritten \"Deaths\""},
      {"menu_edit_these_hunger", "&Hunger Deaths"},
      {"menu_edit_these_eaten", "&Eaten Deaths"},
  };
  for (const auto& [name, caption] : entries) {
    QAction* action = t.window->Action(name);
    ASSERT_NE(action, nullptr) << name;
    EXPECT_EQ(action->text().toStdString(), caption) << name;
  }
  // The Edit menu: Make Log, Delete, Refresh, a line, then Show These.
  QStringList edit;
  for (QAction* action : t.window->EditMenu().actions())
    edit << (action->isSeparator() ? QStringLiteral("-") : action->text());
  EXPECT_EQ(edit, (QStringList{"Make &Log", "&Delete Entry", "&Refresh Log", "-", "Show &These"}));
}

TEST(MainWindowMenusTest, EachOptionToggledTwiceRestoresFlagAndCheckMark) {
  TestMainWindow t;
  World& world = t.world();
  const std::pair<const char*, uint8_t World::*> options[] = {
      {"menu_options_log", &World::LogOn},          {"menu_options_restart", &World::AutoRestart},
      {"menu_options_colour", &World::RealColours}, {"menu_options_least", &World::OverwriteLeast},
      {"menu_options_autosave", &World::AutoSave},
  };
  for (const auto& [name, flag] : options) {
    QAction* action = t.window->Action(name);
    ASSERT_FALSE(action->isChecked()) << name;
    action->trigger();
    EXPECT_EQ(world.*flag, 1) << name;
    EXPECT_TRUE(action->isChecked()) << name;
    action->trigger();
    EXPECT_EQ(world.*flag, 0) << name;
    EXPECT_FALSE(action->isChecked()) << name;
  }
}

TEST(MainWindowMenusTest, MakeLogIsMirroredInBothMenus) {
  TestMainWindow t;
  QAction* options = t.window->Action("menu_options_log");
  QAction* edit = t.window->Action("menu_edit_log");
  options->trigger();
  EXPECT_EQ(t.world().LogOn, 1);
  EXPECT_TRUE(edit->isChecked());
  edit->trigger();
  EXPECT_EQ(t.world().LogOn, 0);
  EXPECT_FALSE(options->isChecked());
  EXPECT_FALSE(edit->isChecked());
  edit->trigger();
  EXPECT_TRUE(options->isChecked());
}

TEST(MainWindowMenusTest, FiltersToggleTheirOwnCauseOnly) {
  TestMainWindow t;
  const std::pair<const char*, bool DeathFilters::*> filters[] = {
      {"menu_edit_these_oldage", &DeathFilters::OldAge},
      {"menu_edit_these_eaten", &DeathFilters::Eaten},
      {"menu_edit_these_over", &DeathFilters::Overwritten},
      {"menu_edit_these_suff", &DeathFilters::Suffocation},
      {"menu_edit_these_hunger", &DeathFilters::Hunger},
  };
  for (const auto& [name, field] : filters) {
    QAction* action = t.window->Action(name);
    action->trigger();
    EXPECT_TRUE(t.world().Filters.*field) << name;
    EXPECT_TRUE(action->isChecked()) << name;
    int others = 0;
    for (const auto& [otherName, otherField] : filters)
      others += t.world().Filters.*otherField;
    EXPECT_EQ(others, 1) << name;
    action->trigger();
    EXPECT_FALSE(t.world().Filters.*field) << name;
    EXPECT_FALSE(action->isChecked()) << name;
  }
}

TEST(MainWindowMenusTest, CheckMarksReadTheStateWhenAMenuOpens) {
  TestMainWindow t;
  // A flag changed behind the menus' back (the settings file sets them).
  t.world().RealColours = 1;
  t.world().Filters.Hunger = true;
  QMenu* options = t.window->findChild<QMenu*>("menu_options");
  emit options->aboutToShow();
  EXPECT_TRUE(t.window->Action("menu_options_colour")->isChecked());
  emit t.window->EditMenu().aboutToShow();
  EXPECT_TRUE(t.window->Action("menu_edit_these_hunger")->isChecked());
  // One click on a checked entry turns it off.
  t.window->Action("menu_options_colour")->trigger();
  EXPECT_EQ(t.world().RealColours, 0);
}

TEST(MainWindowMenusTest, ShowMiniMapDoesNothing) {
  TestMainWindow t;
  QAction* map = t.window->Action("menu_window_map");
  EXPECT_FALSE(map->isEnabled());
}

TEST(MainWindowMenusTest, HelpOpensThePageBesideTheProgram) {
  TestMainWindow t;
  t.window->Action("menu_help_help")->trigger();
  EXPECT_EQ(t.documentsOpened, 1);
  EXPECT_TRUE(t.window->Folders().helpPage.endsWith("/OBHelp.html"));
}

TEST(MainWindowCaptionTest, ResizeAndStateChangesRestoreTheCaption) {
  TestMainWindow t;
  t.window->show();
  t.seam().SetMainWindowCaption("Brenlo Ostik's Ombrivale [Y3, March]");
  EXPECT_EQ(t.window->windowTitle(), "Brenlo Ostik's Ombrivale [Y3, March]");
  t.window->resize(t.window->width() + 10, t.window->height());
  PumpEvents();
  EXPECT_EQ(t.window->windowTitle(), "Brenlo Ostik's Ombrivale");
  t.seam().SetMainWindowCaption("Brenlo Ostik's Ombrivale [Y3, April]");
  t.window->setWindowState(Qt::WindowMinimized);
  PumpEvents();
  EXPECT_EQ(t.window->windowTitle(), "Brenlo Ostik's Ombrivale");
}

TEST(MainWindowTimersTest, TheTwoTimers) {
  TestMainWindow t;
  EXPECT_EQ(t.window->Timer1().interval(), 500);
  EXPECT_TRUE(t.window->Timer1().isActive());
  EXPECT_FALSE(t.window->Timer2().isActive());
  t.seam().Timer2IntervalChanged(1);
  EXPECT_TRUE(t.window->Timer2().isActive());
  EXPECT_EQ(t.window->Timer2().interval(), 1);
  EXPECT_EQ(t.window->Timer2().timerType(), Qt::PreciseTimer);
  t.seam().Timer2IntervalChanged(0);
  EXPECT_FALSE(t.window->Timer2().isActive());
}

// Regression: the redraw inside NewWorld lets events run, and the 1 ms timer
// stepped the half-built world there (its month step ran in full).
TEST(MainWindowTimersTest, NoTickWhileAWorldIsBeingBuilt) {
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

TEST(MainLayoutTest, FramesStandRightOfTheMapAndShareTheirEdges) {
  const ui::MainLayout layout = ui::ComputeMainLayout();
  EXPECT_EQ(layout.miniMap.width, 4860);
  EXPECT_EQ(layout.miniMap.height, 1560);
  EXPECT_EQ(layout.frame1.left, 4860 + 135);
  EXPECT_EQ(layout.frame1.width, (3375 - 135) / 2);
  EXPECT_EQ(layout.frame2.width, layout.frame1.width);
  EXPECT_EQ(layout.frame2.left, layout.frame1.left + layout.frame1.width + 135);
  EXPECT_EQ(layout.frame3.left, layout.frame1.left);
  EXPECT_EQ(layout.frame2.Right(), layout.frame3.Right());
  EXPECT_EQ(layout.frame1.top, 240);
  EXPECT_EQ(layout.frame2.top, 240);
  EXPECT_EQ(layout.frame3.top, 840);
  EXPECT_EQ(layout.frame3.height, 495);
  EXPECT_EQ(layout.label.left, 120);
  EXPECT_EQ(layout.label.top, 240);
}

TEST(MainLayoutTest, PixelsAndScale) {
  const ui::MainLayout layout = ui::ComputeMainLayout();
  EXPECT_EQ(ui::ToPixels(layout.miniMap, 1), QRect(0, 0, 324, 104));
  EXPECT_EQ(ui::ToPixels(layout.miniMap, 3), QRect(0, 0, 972, 312));
  EXPECT_EQ(ui::ToPixels(layout.frame1, 2).topLeft(), QPoint(666, 32));
  // Whole enlargements only, 1 to 4, so one map cell stays a square block.
  EXPECT_EQ(ui::MiniMapScaleFor(QSize(640, 480)), 1);
  EXPECT_EQ(ui::MiniMapScaleFor(QSize(1366, 768)), 1);
  EXPECT_EQ(ui::MiniMapScaleFor(QSize(1920, 1080)), 2);
  EXPECT_EQ(ui::MiniMapScaleFor(QSize(2560, 1440)), 3);
  EXPECT_EQ(ui::MiniMapScaleFor(QSize(7680, 4320)), 4);
}

TEST(MainLayoutTest, WindowPlacesTheWidgetsByTheLayout) {
  TestMainWindow t({}, 768, 2);
  EXPECT_EQ(t.window->MiniMap().size(), QSize(648, 208));
  EXPECT_EQ(t.window->Frame(1).geometry(), QRect(666, 32, 216, 66));
  EXPECT_EQ(t.window->Frame(3).geometry().right(), t.window->Frame(2).geometry().right());
  EXPECT_EQ(t.window->Frame(1).Title(), "Time:");
  EXPECT_EQ(t.window->Frame(2).Title(), "Life:");
  EXPECT_EQ(t.window->Frame(3).Title(), "Messages:");
  EXPECT_EQ(t.window->Frame(1).Label().text(), "January,  0");
  EXPECT_EQ(t.window->Frame(2).Label().text(), "Animals");
}

TEST(ProgramFoldersTest, ProgramFolderWhenWritableElseTheUsersDataFolder) {
  QTemporaryDir program;
  QTemporaryDir data;
  ui::ProgramFolders folders = ui::ChooseProgramFolders(program.path(), data.path());
  EXPECT_EQ(folders.settingsPath, program.path() + "/OB.ini");
  EXPECT_EQ(folders.autoSaveFolder, program.path() + "/AutoSave");
  EXPECT_EQ(folders.helpPage, program.path() + "/OBHelp.html");

  QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner);
  const bool readOnly = !QFileInfo(program.path()).isWritable();  // root writes anyway
  folders = ui::ChooseProgramFolders(program.path(), data.path());
  if (readOnly) {
    EXPECT_EQ(folders.settingsPath, data.path() + "/OB.ini");
    EXPECT_EQ(folders.autoSaveFolder, data.path() + "/AutoSave");
  }
  QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

  const QString missing = program.path() + "/no/such/folder";
  folders = ui::ChooseProgramFolders(missing, data.path());
  EXPECT_EQ(folders.settingsPath, data.path() + "/OB.ini");
}

TEST(ProgramFoldersTest, InstalledHelpPageIsFoundBesideTheBinFolder) {
  QTemporaryDir prefix;
  QDir(prefix.path()).mkpath("bin");
  QDir(prefix.path()).mkpath("share/ombrivale");
  QFile page(prefix.path() + "/share/ombrivale/OBHelp.html");
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.close();
  const ui::ProgramFolders folders =
      ui::ChooseProgramFolders(prefix.path() + "/bin", prefix.path());
  EXPECT_EQ(folders.helpPage, prefix.path() + "/share/ombrivale/OBHelp.html");
}

TEST(SecondaryWindowsTest, CloseHidesOrDestroysAsEachWindowWants) {
  TestMainWindow t;
  t.window->show();
  t.window->ShowPropertiesWindow();
  QMdiSubWindow* properties = t.window->SubWindowOf(t.window->PropertiesIfCreated());
  ASSERT_NE(properties, nullptr);
  EXPECT_TRUE(t.window->IsShown(t.window->PropertiesIfCreated()));
  properties->close();
  PumpEvents();
  ASSERT_NE(t.window->PropertiesIfCreated(), nullptr);
  EXPECT_FALSE(t.window->IsShown(t.window->PropertiesIfCreated()));
  t.window->Action("menu_window_properties")->trigger();
  EXPECT_TRUE(t.window->IsShown(t.window->PropertiesIfCreated()));

  t.window->ShowQuickDrawWindow();
  ui::QuickDrawWindow* first = t.window->QuickDrawIfCreated();
  ASSERT_NE(first, nullptr);
  t.window->SubWindowOf(first)->move(30, 45);
  t.window->SubWindowOf(first)->close();
  PumpEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(t.window->QuickDrawIfCreated(), nullptr);
  // The next showing creates it afresh where the last one stood.
  t.window->Action("menu_window_quick")->trigger();
  ASSERT_NE(t.window->QuickDrawIfCreated(), nullptr);
  EXPECT_EQ(t.window->SubWindowOf(t.window->QuickDrawIfCreated())->pos(), QPoint(30, 45));
}

TEST(SecondaryWindowsTest, FirstWorldViewMaximisesTheMainWindow) {
  TestMainWindow t;
  EXPECT_FALSE(t.window->windowState() & Qt::WindowMaximized);
  t.window->Action("menu_window_world")->trigger();
  EXPECT_TRUE(t.window->windowState() & Qt::WindowMaximized);
  ASSERT_NE(t.window->WorldView(), nullptr);
  EXPECT_TRUE(t.window->IsShown(t.window->WorldView()));
  EXPECT_EQ(t.window->WorldView()->windowTitle(), "Zoom");
  // The view has no layout: its frame is sized around the size it chose.
  EXPECT_GE(t.window->SubWindowOf(t.window->WorldView())->width(), 240);
  EXPECT_GE(t.window->SubWindowOf(t.window->WorldView())->height(), 240);
}

TEST(SecondaryWindowsTest, PlacementsInTwipsRoundTrip) {
  TestMainWindow t;
  t.window->show();
  WindowPlacement in[kWindowCount];
  for (int i = 0; i < kWindowCount; ++i) {
    in[i].left = static_cast<float>(150 * (i + 1));
    in[i].top = static_cast<float>(300 * i);
    in[i].shown = i % 2 == 0;
  }
  t.window->ApplyPlacements(in);
  EXPECT_EQ(t.window->SubWindowOf(t.window->PropertiesIfCreated())->pos(), QPoint(20, 20));
  EXPECT_FALSE(t.window->IsShown(t.window->PropertiesIfCreated()));
  EXPECT_TRUE(t.window->IsShown(t.window->WorldView()));
  WindowPlacement out[kWindowCount];
  t.window->CollectPlacements(out);
  for (int i = 0; i < kWindowCount; ++i) {
    EXPECT_EQ(out[i].left, in[i].left) << i;
    EXPECT_EQ(out[i].top, in[i].top) << i;
    EXPECT_EQ(out[i].shown, in[i].shown) << i;
  }
}

}  // namespace
}  // namespace ombrivale::testing
