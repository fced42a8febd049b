// The main window: check marks bound to their flags, the secondary windows,
// the small-screen warning, the tick schedule.
#include <gtest/gtest.h>

#include <QMenu>
#include <QThread>
#include <QTimer>

#include "sim/new_world.h"
#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

TEST(MainWindowTest, EachEntryTogglesItsOwnFlagAndTheCheckMarksReadTheFlags) {
  TestMainWindow t;
  World& w = t.world();
  const std::pair<const char*, std::function<bool()>> entries[] = {
      {"menu_options_log", [&w] { return w.LogOn == 1; }},
      {"menu_options_restart", [&w] { return w.AutoRestart == 1; }},
      {"menu_options_colour", [&w] { return w.RealColours == 1; }},
      {"menu_options_least", [&w] { return w.OverwriteLeast == 1; }},
      {"menu_options_autosave", [&w] { return w.AutoSave == 1; }},
      {"menu_edit_these_oldage", [&w] { return w.Filters.OldAge; }},
      {"menu_edit_these_eaten", [&w] { return w.Filters.Eaten; }},
      {"menu_edit_these_over", [&w] { return w.Filters.Overwritten; }},
      {"menu_edit_these_suff", [&w] { return w.Filters.Suffocation; }},
      {"menu_edit_these_hunger", [&w] { return w.Filters.Hunger; }},
  };
  for (int round = 0; round < 2; ++round) {
    for (const auto& [name, flag] : entries) {
      t.window->Action(name)->trigger();
      int on = 0;
      for (const auto& [otherName, otherFlag] : entries) {
        on += otherFlag();
        EXPECT_EQ(otherFlag(), t.window->Action(otherName)->isChecked()) << name << otherName;
      }
      EXPECT_EQ(round == 0, flag()) << name;
      EXPECT_EQ(round == 0 ? 1 : 9, on) << name;  // only its own flag changed
      t.window->Action(name)->trigger();
    }
    for (const auto& entry : entries)
      t.window->Action(entry.first)->trigger();  // all on for the second round
  }
  // "Make &Log" stands in both menus; a flag changed behind the menus' back
  // shows when a menu opens.
  t.window->Action("menu_edit_log")->trigger();
  EXPECT_EQ(w.LogOn, 1);
  EXPECT_TRUE(t.window->Action("menu_options_log")->isChecked());
  w.RealColours = 1;
  emit t.window->findChild<QMenu*>("menu_options")->aboutToShow();
  EXPECT_TRUE(t.window->Action("menu_options_colour")->isChecked());
}

TEST(MainWindowTest, ClosingHidesTheWorldViewAndDestroysQuickDrawWhichComesBackFresh) {
  TestMainWindow t;
  t.window->show();
  t.window->Action("menu_window_world")->trigger();
  EXPECT_TRUE(t.window->windowState() & Qt::WindowMaximized);  // the first showing only
  ui::WorldViewWindow* view = t.window->WorldView();
  t.window->SubWindowOf(view)->close();
  t.window->ShowQuickDrawWindow();
  t.world().display->QuickDrawZoom = 250;
  t.window->SubWindowOf(t.window->QuickDrawIfCreated())->move(30, 45);
  t.window->SubWindowOf(t.window->QuickDrawIfCreated())->close();
  PumpEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(t.window->WorldView(), view);
  EXPECT_FALSE(t.window->IsShown(view));
  EXPECT_EQ(t.window->QuickDrawIfCreated(), nullptr);
  t.window->Action("menu_window_quick")->trigger();
  ASSERT_NE(t.window->QuickDrawIfCreated(), nullptr);
  EXPECT_EQ(t.window->SubWindowOf(t.window->QuickDrawIfCreated())->pos(), QPoint(30, 45));
  EXPECT_EQ(t.world().display->QuickDrawZoom, 100);
}

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

}  // namespace
}  // namespace ombrivale::testing
