// The log window and the Edit menu's log entries.
#include <gtest/gtest.h>

#include <QMdiSubWindow>
#include <QtTest/QTest>

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

TEST(LogWindowTest, ListShowsTheLogOldestFirstAndFollowsIt) {
  TestMainWindow t;
  Log(t.world(), {"Animal 3 died of Old Age", "Animal 9 was Eaten"});
  t.window->show();
  t.window->Action("menu_window_log")->trigger();
  ui::LogWindow* log = t.window->LogIfCreated();
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(Entries(log->List1()), (QStringList{"Animal 3 died of Old Age", "Animal 9 was Eaten"}));
  t.world().display->DeathLog.pop_front();
  Log(t.world(), {"New World"});
  log->SyncFromDisplay();
  EXPECT_EQ(Entries(log->List1()), (QStringList{"Animal 9 was Eaten", "New World"}));
}

TEST(LogWindowTest, RightClickOpensTheEditMenuWithDeleteGreyedWhenNothingIsSelected) {
  TestMainWindow t;
  Log(t.world(), {"one", "two", "three"});
  t.window->show();
  t.window->ShowLog();
  ui::LogWindow* log = t.window->LogIfCreated();
  QWidget* viewport = log->List1().viewport();
  QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(5, 5));
  QMenu& edit = t.window->EditMenu();
  EXPECT_TRUE(edit.isVisible());
  EXPECT_FALSE(t.window->Action("menu_edit_del")->isEnabled());
  EXPECT_EQ(log->List1().currentRow(), -1);  // the right button selects nothing
  edit.close();

  log->List1().setCurrentRow(1);
  QTest::mousePress(viewport, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_TRUE(t.window->Action("menu_edit_del")->isEnabled());
  edit.close();

  t.window->Action("menu_edit_del")->trigger();
  EXPECT_EQ(Entries(log->List1()), (QStringList{"one", "three"}));
  ASSERT_EQ(t.world().display->DeathLog.size(), 2u);
  EXPECT_EQ(t.world().display->DeathLog[1], "three");
  // Nothing selected now: deleting again does nothing.
  t.window->Action("menu_edit_del")->trigger();
  EXPECT_EQ(t.world().display->DeathLog.size(), 2u);
}

TEST(LogWindowTest, SelectionFollowsItsEntryAndIsNeverMadeUp) {
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

TEST(LogWindowTest, RefreshLogEmptiesTheLog) {
  TestMainWindow t;
  t.window->Action("menu_edit_refreshlog")->trigger();  // empty: nothing happens
  EXPECT_TRUE(t.world().display->DeathLog.empty());
  Log(t.world(), {"one", "two"});
  t.window->ShowLog();
  t.window->Action("menu_edit_refreshlog")->trigger();
  EXPECT_TRUE(t.world().display->DeathLog.empty());
  EXPECT_EQ(t.window->LogIfCreated()->List1().count(), 0);
}

TEST(LogWindowTest, ClosingOnlyHidesAndKeepsTheEntries) {
  TestMainWindow t;
  Log(t.world(), {"kept"});
  t.window->show();
  t.window->ShowLog();
  ui::LogWindow* log = t.window->LogIfCreated();
  t.window->SubWindowOf(log)->close();
  PumpEvents();
  EXPECT_EQ(t.window->LogIfCreated(), log);
  EXPECT_FALSE(t.window->IsShown(log));
  t.window->ShowLog();
  EXPECT_TRUE(t.window->IsShown(log));
  EXPECT_EQ(Entries(log->List1()), QStringList{"kept"});
}

}  // namespace
}  // namespace ombrivale::testing
