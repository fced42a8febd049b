#include "ui/conditions_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

// Alt+O, W: the dialog, shown and ready for keys.
ui::ConditionsDialog* OpenConditions(TestMainWindow& t) {
  t.window->activateWindow();
  if (!QTest::qWaitForWindowActive(t.window.get())) return nullptr;
  QTest::keyClick(t.window.get(), Qt::Key_O, Qt::AltModifier);
  QWidget* menu = QApplication::activePopupWidget();
  if (menu == nullptr) return nullptr;
  QTest::keyClick(menu, Qt::Key_W);
  auto* dialog = t.window->findChild<ui::ConditionsDialog*>();
  if (dialog != nullptr && !QTest::qWaitForWindowExposed(dialog)) return nullptr;
  return dialog;
}

// Types `text` over what box `index` holds and leaves it with Tab.
void TypeInto(ui::ConditionsDialog& dialog, int index, const char* text) {
  QLineEdit* box = dialog.ValueBox(index);
  dialog.activateWindow();
  box->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([box] { return box->hasFocus(); }));
  box->selectAll();
  QTest::keyClicks(box, QString::fromLatin1(text));
  QTest::keyClick(box, Qt::Key_Tab);
}

TEST(ConditionsDialogTest, ChangedValuesAreMarkedBadOnesRefusedAndOkAloneApplies) {
  TestMainWindow t(TestMainWindow::StartedPaused{});
  ui::ConditionsDialog* dialog = OpenConditions(t);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), "World Conditions");
  for (int i = 0; i < kConditionCount; ++i) {
    const ConditionRule& rule = ConditionRules()[size_t(i)];
    EXPECT_EQ(dialog->NameLabel(i)->text().toStdString(), rule.name);  // unmarked
    EXPECT_EQ(dialog->ValueBox(i)->text().toStdString(), ConditionValueText(rule.standard));
  }

  struct Case {
    int index;
    const char* typed;
    const char* refusal;  // "" when taken
  };
  const Case cases[] = {
      {0, "51", "mutation_passes must be a whole number from 0 to 50, not \"51\": refused."},
      {0, "2.5", "mutation_passes must be a whole number from 0 to 50, not \"2.5\": refused."},
      {2, "ten", "food_scale must be a number from 0 to 10, not \"ten\": refused."},
      {0, "15", ""},
      {2, "0.5", ""},
      {1, "0", ""},
  };
  for (const Case& c : cases) {
    TypeInto(*dialog, c.index, c.typed);
    EXPECT_EQ(dialog->ValueBox(c.index)->text(), c.typed);  // kept as typed
    EXPECT_EQ(dialog->Refusal()->text(), c.refusal) << c.typed;
  }
  EXPECT_EQ(dialog->NameLabel(0)->text(), "<b>mutation_passes *</b>");
  EXPECT_TRUE(dialog->NameLabel(0)->toolTip().endsWith("Changed: the default is 5"));
  EXPECT_EQ(t.world().conditions, Conditions{});  // not before OK

  QTest::mouseClick(dialog->findChild<QPushButton*>("Cancel"), Qt::LeftButton);
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return t.window->findChild<ui::ConditionsDialog*>() == nullptr; }));
  EXPECT_EQ(t.world().conditions, Conditions{});

  dialog = OpenConditions(t);
  ASSERT_NE(dialog, nullptr);
  TypeInto(*dialog, 0, "15");
  TypeInto(*dialog, 1, "0");
  // A refused value holds OK back.
  TypeInto(*dialog, 2, "11");
  QTest::mouseClick(dialog->findChild<QPushButton*>("Ok"), Qt::LeftButton);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->Refusal()->text(),
            "food_scale must be a number from 0 to 10, not \"11\": refused.");
  EXPECT_EQ(t.world().conditions, Conditions{});
  TypeInto(*dialog, 2, "1");
  QTest::mouseClick(dialog->findChild<QPushButton*>("Ok"), Qt::LeftButton);
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return t.window->findChild<ui::ConditionsDialog*>() == nullptr; }));
  EXPECT_EQ(t.world().conditions, (Conditions{15, 0, 1}));

  dialog = OpenConditions(t);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->ValueBox(0)->text(), "15");
  EXPECT_EQ(dialog->NameLabel(1)->text(), "<b>sea_level_drift *</b>");
  EXPECT_EQ(dialog->NameLabel(2)->text(), "food_scale");
  dialog->reject();
}

}  // namespace
}  // namespace ombrivale::testing
