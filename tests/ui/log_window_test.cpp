// The log window and the Edit menu, its right-click menu.
#include <gtest/gtest.h>

#include <QApplication>
#include <QtTest/QTest>

#include "support/test_world.h"
#include "ui/log_window.h"
#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

void Log(World& world, std::initializer_list<const char*> entries) {
  for (const char* entry : entries)
    world.display->DeathLog.emplace_back(entry);
  ++world.display->logVersion;
}

QStringList Entries(QListWidget& list) {
  QStringList out;
  for (int i = 0; i < list.count(); ++i)
    out << list.item(i)->text();
  return out;
}

TEST(LogWindowTest, RightClickOpensTheEditMenuAndDeleteTakesOnlyASelectedEntry) {
  TestMainWindow t;
  Log(t.world(), {"one", "two", "three"});
  t.window->show();
  t.window->Action("menu_window_log")->trigger();
  ui::LogWindow* log = t.window->LogIfCreated();
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(Entries(log->List1()), (QStringList{"one", "two", "three"}));
  QWidget* viewport = log->List1().viewport();
  QAction* del = t.window->Action("menu_edit_del");
  QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_TRUE(t.window->EditMenu().isVisible());
  EXPECT_FALSE(del->isEnabled());  // the right button selects nothing
  t.window->EditMenu().close();

  log->List1().setCurrentRow(1);
  QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_TRUE(del->isEnabled());
  t.window->EditMenu().close();
  del->trigger();
  EXPECT_EQ(Entries(log->List1()), (QStringList{"one", "three"}));
  EXPECT_EQ(t.world().display->DeathLog, (std::deque<std::string>{"one", "three"}));
  del->trigger();  // nothing selected now
  EXPECT_EQ(t.world().display->DeathLog.size(), 2u);

  t.window->Action("menu_edit_refreshlog")->trigger();
  EXPECT_TRUE(t.world().display->DeathLog.empty());
  EXPECT_EQ(log->List1().count(), 0);
}

// Only a real selection is deleted: a current row never selected is none, and
// a selected entry stays selected while older ones drop off the top.
TEST(LogWindowTest, TheSelectionFollowsItsEntryAndIsNeverMadeUp) {
  TestMainWindow t;
  Log(t.world(), {"one", "two", "three"});
  t.window->show();
  t.window->ShowLog();
  ui::LogWindow* log = t.window->LogIfCreated();
  log->List1().setFocus();
  log->List1().setCurrentRow(0, QItemSelectionModel::NoUpdate);  // current, not selected
  Log(t.world(), {"four"});
  log->SyncFromDisplay();
  EXPECT_TRUE(log->List1().selectedItems().isEmpty());

  log->List1().setCurrentRow(1);            // "two"
  t.world().display->DeathLog.pop_front();  // the oldest drops off the top
  Log(t.world(), {"five"});
  log->SyncFromDisplay();
  ASSERT_EQ(log->List1().selectedItems().size(), 1);
  EXPECT_EQ(log->List1().selectedItems()[0]->text(), "two");
  t.window->Action("menu_edit_del")->trigger();
  EXPECT_EQ(Entries(log->List1()), (QStringList{"three", "four", "five"}));
}

// The log follows the running world by itself: a death logged by a tick
// reaches the open window without a refresh being asked for. (A starving
// adult put in by hand dies in the first tick: a new world's two eggs may
// live for years.)
TEST(LogWindowTest, FollowsTheDeathsOfTheRunningWorld) {
  TestMainWindow t(TestMainWindow::StartedPaused{3});
  t.world().LogOn = 1;
  QTest::keyClick(t.window.get(), Qt::Key_W, Qt::AltModifier);
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_L);
  ui::LogWindow* log = t.window->LogIfCreated();
  ASSERT_NE(log, nullptr);
  ASSERT_TRUE(log->isVisible());
  const std::deque<std::string>& deaths = t.world().display->DeathLog;
  const size_t before = deaths.size();
  PutAnimal(t.world(), 700, 5000, 5000).Hunger = kHungerDeath;
  t.run().StepTick();
  ASSERT_EQ(deaths.size(), before + 1);
  EXPECT_NE(std::string::npos, deaths.back().find("Animal 700 Died")) << deaths.back();
  QTRY_COMPARE_WITH_TIMEOUT(log->List1().count(), static_cast<int>(deaths.size()), 60000);
  EXPECT_EQ(QString::fromStdString(deaths.back()),
            log->List1().item(log->List1().count() - 1)->text());
}

}  // namespace
}  // namespace ombrivale::testing
