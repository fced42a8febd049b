// Play God's "Sacrifice" and "Creation": killing an animal found, loading
// and designing an animal, dropping it by clicking the map.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest/QTest>
#include <fstream>

#include "sim/new_world.h"
#include "support/test_world.h"
#include "support/world_files_support.h"
#include "ui/design_dialog.h"
#include "ui_test_support.h"
#include "world/world_files.h"

namespace ombrivale::testing {
namespace {

int Occupied(const World& world) {
  int count = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot)
    count += IsOccupied(AnimalAt(world, slot));
  return count;
}

// The text of the last message box, "" when none was shown.
std::string LastBox(TestMainWindow& t) {
  return t.seam().Boxes().empty() ? "" : t.seam().Boxes().back().text;
}

void WriteText(const QString& path, const std::string& text) {
  std::ofstream(path.toStdString(), std::ios::binary) << text;
}

TEST(PlayGodTest, KillItSacrificesTheAnimalChosenAmongThoseFound) {
  TestMainWindow t;
  PutAnimal(t.world(), 3, 1000, 1000);
  PutAnimal(t.world(), 7, 2000, 1000);
  t.window->ShowPlayGod();
  ui::PlayGodWindow& god = *t.window->PlayGodIfCreated();
  god.Command1_Click();
  ASSERT_EQ(god.List2()->count(), 2);
  EXPECT_TRUE(god.List2()->item(1)->text().startsWith(" 7  adult, sex 0,"));

  god.Command2_Click();  // nothing chosen
  EXPECT_NE(LastBox(t).find("Choose an animal"), std::string::npos);

  t.world().display->SelectedAnimal = 7;
  t.window->Properties().SelectSlot(7);
  god.List2()->setCurrentRow(1);
  god.Command2_Click();
  EXPECT_EQ(AnimalAt(t.world(), 7).Alive, 0);
  EXPECT_EQ(t.world().DeathsByCause[size_t(Cause::Sacrificed)], 1u);
  EXPECT_EQ(t.world().display->SelectedAnimal, 0);  // no longer tracked
  EXPECT_EQ(t.window->Properties().ChosenNumber(), 0);
  EXPECT_EQ(t.window->Properties().List2()->count(), 1);
  EXPECT_EQ(god.List2()->count(), 1);

  AnimalAt(t.world(), 3).Alive = 0;  // died meanwhile
  god.List2()->setCurrentRow(0);
  t.seam().ClearBoxes();
  god.Command2_Click();
  EXPECT_NE(LastBox(t).find("slot 3 has died since it was found"), std::string::npos);
  EXPECT_EQ(t.world().DeathsByCause[size_t(Cause::Sacrificed)], 1u);
}

TEST(PlayGodTest, ALoadedAnimalIsDroppedWhereTheMapIsClicked) {
  TestMainWindow t;
  FillRows(t.world(), 90, 100, kGround);
  t.window->show();
  t.window->ShowPlayGod();
  ui::PlayGodWindow& god = *t.window->PlayGodIfCreated();
  Animal source = PutAnimal(t.world(), 1, 500, 500);
  source.Sex = 1;
  source.Genes[0].Body.BreathCapasity = 321;
  AnimalAt(t.world(), 1).Alive = 0;
  const QString good = t.folder.filePath("good.OBG");
  WriteText(good, AnimalFileText(source));
  ASSERT_TRUE(god.LoadAnimalFrom(good));

  // A damaged file is refused, naming file and line; the loaded one stays.
  const QString bad = t.folder.filePath("bad.OBG");
  WriteText(bad, AnimalFileText(source).substr(0, 100));
  EXPECT_FALSE(god.LoadAnimalFrom(bad));
  EXPECT_NE(LastBox(t).find("bad.OBG cannot be loaded: line "), std::string::npos);
  EXPECT_NE(LastBox(t).find(" is missing or cut short"), std::string::npos);
  EXPECT_EQ(god.AnimalToDrop()->Genes[0].Body.BreathCapasity, 321);

  const auto click = [&](int option, int cellX, int cellY) {
    god.Option1(option)->click();
    t.seam().ClearBoxes();
    QTest::mouseClick(god.Map(), Qt::LeftButton, {}, QPoint(cellX, cellY));
  };
  click(0, 10, 20);  // "Don't Drop Any"
  EXPECT_EQ(Occupied(t.world()), 0);
  click(2, 10, 20);  // "Place One", of the file's sex, then the other
  click(2, 11, 20);
  ASSERT_EQ(Occupied(t.world()), 2);
  EXPECT_EQ(AnimalAt(t.world(), 1).Sex, 1);
  EXPECT_EQ(AnimalAt(t.world(), 2).Sex, 0);
  EXPECT_EQ(AnimalAt(t.world(), 2).X, 1100);
  EXPECT_EQ(AnimalAt(t.world(), 2).Breath, 321);
  EXPECT_EQ(AnimalAt(t.world(), 2).Stage, kStageEgg);
  click(1, 12, 20);  // "Place Pair"
  EXPECT_EQ(Occupied(t.world()), 4);
  EXPECT_EQ(AnimalAt(t.world(), 3).Sex + AnimalAt(t.world(), 4).Sex, 1);
  EXPECT_TRUE(t.seam().Boxes().empty());

  click(1, 12, 95);  // ground
  EXPECT_NE(LastBox(t).find("solid ground"), std::string::npos);
  for (int slot = 5; slot <= kSlotCount; ++slot)
    PutAnimal(t.world(), slot, 500, 500);
  t.world().OverwriteLeast = 0;
  click(1, 12, 20);
  EXPECT_NE(LastBox(t).find("The world is full"), std::string::npos);
}

TEST(PlayGodTest, TheMapShowsTheTerrainOfTheWorldNowWhenShown) {
  TestMainWindow t;
  t.window->show();
  t.window->ShowPlayGod();  // before any world, as start-up restores it
  ui::SeaMap& map = *t.window->PlayGodIfCreated()->Map();
  FillMonthNames(*t.world().display);
  NewWorld(t.world());
  const auto matches = [&] {
    for (int y = 0; y <= 100; y += 10) {
      for (int x = 0; x <= 320; x += 20) {
        if ((map.Backdrop().pixel(x, y) & 0xFFFFFFu) !=
            (t.world().display->MiniBak.At(x, y) & 0xFFFFFFu))
          return false;
      }
    }
    return true;
  };
  EXPECT_TRUE(matches());  // the new world's map redraw refreshed it
  std::fill(t.world().display->MiniBak.pixels.begin(), t.world().display->MiniBak.pixels.end(),
            0x123456u);
  t.window->SubWindowOf(t.window->PlayGodIfCreated())->hide();
  t.window->ShowPlayGod();
  EXPECT_TRUE(matches());
}

TEST(PlayGodTest, TheDesignRefusesValuesOutsideTheBoundsAndIsUsedOrSaved) {
  TestMainWindow t;
  t.window->ShowPlayGod();
  ui::PlayGodWindow& god = *t.window->PlayGodIfCreated();
  god.Command3_Click();  // nobody chosen: the founder
  auto* dialog = god.findChild<ui::DesignDialog*>();
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(dialog->Table()->rowCount(), 115);
  int covering = -1;
  for (int row = 0; row < 115; ++row) {
    if (dialog->Table()->item(row, 0)->text() == "adult .Body.Covering") covering = row;
  }
  ASSERT_GE(covering, 0);
  struct Case {
    const char* typed;
    bool taken;
    int value;  // Covering afterwards
  };
  const Case cases[] = {
      {"4", false, 1}, {"-1", false, 1}, {"x", false, 1}, {"3", true, 3}, {"0", true, 0}};
  for (const Case& c : cases) {
    dialog->Table()->item(covering, 1)->setText(QString::fromLatin1(c.typed));
    EXPECT_EQ(dialog->Refusal()->text().isEmpty(), c.taken) << c.typed;
    EXPECT_EQ(dialog->Design().Genes[1].Body.Covering, c.value) << c.typed;
    EXPECT_EQ(dialog->Table()->item(covering, 1)->text().toInt(), c.value) << c.typed;
  }
  const QString path = t.folder.filePath("design.OBG");
  ASSERT_TRUE(dialog->SaveTo(path));
  EXPECT_EQ(ReadFileText(path.toStdString()), AnimalFileText(dialog->Design()));
  dialog->findChild<QPushButton*>("Use")->click();
  ASSERT_TRUE(god.AnimalToDrop().has_value());
  EXPECT_EQ(god.AnimalToDrop()->Genes[1].Body.Covering, 0);
}

// Regression: the value box was a spin box that dropped the digit that took
// a number out of bounds (300 in 0..255 became 30, 40000 in 1..32767 4000)
// and showed only the last digits.
TEST(PlayGodTest, TheDesignKeepsWhatIsTypedAndRefusesItOutOfBoundsWithTheReason) {
  TestMainWindow t;
  t.window->show();
  t.window->ShowPlayGod();
  ui::PlayGodWindow& god = *t.window->PlayGodIfCreated();
  god.Command3_Click();
  auto* dialog = god.findChild<ui::DesignDialog*>();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  QTableWidget& table = *dialog->Table();
  const auto rowWithBounds = [&](const char* low, const char* high) {
    for (int row = 0; row < table.rowCount(); ++row) {
      if (table.item(row, 2)->text() == low && table.item(row, 3)->text() == high) return row;
    }
    return -1;
  };
  struct Case {
    const char* low;
    const char* high;
    const char* refused;
    const char* taken;
  };
  const Case cases[] = {{"0", "255", "300", "30"}, {"1", "32767", "40000", "4000"}};
  for (const Case& c : cases) {
    const int row = rowWithBounds(c.low, c.high);
    ASSERT_GE(row, 0) << c.low << ".." << c.high;
    table.scrollToItem(table.item(row, 1));
    const QRect cell = table.visualItemRect(table.item(row, 1));
    // A double click: QTest's own sends the second press alone.
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    auto* box = table.findChild<QLineEdit*>("ValueEditor");
    ASSERT_NE(box, nullptr);
    box->selectAll();
    QTest::keyClicks(box, QString::fromLatin1(c.refused));
    EXPECT_EQ(box->text(), c.refused);
    EXPECT_GE(box->contentsRect().width() - 8, box->fontMetrics().horizontalAdvance(box->text()))
        << "the box cuts what is typed";
    const std::string before = AnimalFileText(dialog->Design());
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(box->isVisible()) << "still open, as typed";
    EXPECT_EQ(box->text(), c.refused);
    EXPECT_TRUE(dialog->Refusal()->text().endsWith(
        QStringLiteral("must lie between %1 and %2: %3 was refused.")
            .arg(c.low, c.high, c.refused)))
        << dialog->Refusal()->text().toStdString();
    EXPECT_EQ(AnimalFileText(dialog->Design()), before);

    box->selectAll();
    QTest::keyClicks(box, QString::fromLatin1(c.taken));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return table.findChild<QLineEdit*>("ValueEditor") == nullptr; }));
    EXPECT_EQ(table.item(row, 1)->text(), c.taken);
    EXPECT_TRUE(dialog->Refusal()->text().isEmpty());
  }
}

TEST(PlayGodTest, PropertiesSaveAsObgWritesWhatLoadAnimalReadsBack) {
  TestMainWindow t;
  Animal& animal = PutAnimal(t.world(), 4, 1234, 5678);
  animal.Genes[1].Head.Diet = 2;
  animal.Unborn.EggSize = 9;
  ui::PropertiesWindow& properties = t.window->Properties();
  const QString path = t.folder.filePath("A_4.OBG");
  properties.RefreshAnimalList();
  EXPECT_FALSE(properties.SaveChosenTo(path));  // nothing chosen
  EXPECT_NE(LastBox(t).find("Choose a living animal"), std::string::npos);
  properties.SelectSlot(4);
  ASSERT_TRUE(properties.SaveChosenTo(path));
  const std::string saved = ReadFileText(path.toStdString());
  EXPECT_EQ(saved, AnimalFileText(animal));
  t.window->ShowPlayGod();
  ui::PlayGodWindow& god = *t.window->PlayGodIfCreated();
  ASSERT_TRUE(god.LoadAnimalFrom(path));
  EXPECT_EQ(AnimalFileText(*god.AnimalToDrop()), saved);
}

}  // namespace
}  // namespace ombrivale::testing
