#include "ui/play_god_window.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>

#include "secondary_windows_support.h"
#include "ui/display_text.h"

namespace ombrivale::testing {
namespace {

TEST(PlayGodText, Labels) {
  EXPECT_EQ(" 3 Animals", ui::AnimalCountText(3));
  EXPECT_EQ(" 0 Animals", ui::AnimalCountText(0));
  EXPECT_EQ(" 0%", ui::PercentText(0, 0));
  EXPECT_EQ(" 100%", ui::PercentText(7, 7));
  EXPECT_EQ(" 50%", ui::PercentText(1, 2));
  EXPECT_EQ(" 33.3333%", ui::PercentText(1, 3));
  EXPECT_EQ(" 66.6667%", ui::PercentText(2, 3));
  EXPECT_EQ(" 0.1333%", ui::PercentText(1, 750));
  EXPECT_EQ(" 0.7813%", ui::PercentText(1, 128));  // 0.78125: the half goes up
  EXPECT_EQ(" 12.3457", ui::GeneralNumberText(ui::RoundForPattern(12.345678, 4)));
  EXPECT_EQ(-3, ui::RoundForPattern(-2.5, 0));
  EXPECT_EQ(0, ui::RoundForPattern(0.00004, 4));
  EXPECT_EQ(0.0001, ui::RoundForPattern(0.00005, 4));
  EXPECT_EQ(1e20, ui::RoundForPattern(1e20, 2));
  EXPECT_EQ("-3", ui::GeneralNumberText(-3));
}

class PlayGodTest : public ::testing::Test {
 protected:
  PlayGodTest() {
    MakeLandscape(world);
    window = std::make_unique<ui::PlayGodWindow>(services);
    window->show();
  }
  std::vector<std::string> Listed() {
    std::vector<std::string> rows;
    for (int i = 0; i < window->List1()->count(); ++i) {
      rows.push_back(window->List1()->item(i)->text().toStdString());
    }
    return rows;
  }
  std::string Label(int i) { return window->Label2(i)->text().toStdString(); }

  FakeServices services;
  World& world = services.tw.world;
  std::unique_ptr<ui::PlayGodWindow> window;
};

TEST_F(PlayGodTest, ListsStartAtIgnore) {
  EXPECT_EQ(QStringLiteral("Play God"), window->windowTitle());
  const std::pair<QComboBox*, std::vector<const char*>> lists[] = {
      {window->ComboCov(), {"[Ignore]", "Fur", "Skin", "Scales", "Feathers"}},
      {window->ComboWalk(), {"[Ignore]", "Bipedal", "Bipedaloid", "Neither"}},
      {window->ComboDiet(),
       {"[Ignore]", "Scum Sucker", "Herbivorous", "Omnivorous", "Carnivorous"}},
      {window->ComboBreath(), {"[Ignore]", "No Method", "Gills", "Gills and Lungs", "Lungs"}},
  };
  for (const auto& [combo, entries] : lists) {
    ASSERT_EQ(static_cast<int>(entries.size()), combo->count());
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(QString::fromLatin1(entries[i]), combo->itemText(static_cast<int>(i)));
    }
    EXPECT_EQ(0, combo->currentIndex());
  }
  EXPECT_TRUE(window->Option1(0)->isChecked());
  EXPECT_EQ(0, window->List2()->count());
}

TEST_F(PlayGodTest, FindThemWithEveryListIgnored) {
  PutAnimal(world, 17, 100, 100);
  PutAnimal(world, 3, 100, 100, kStageEgg);
  PutAnimal(world, 200, 100, 100, kStageInfant);
  window->Command1_Click();
  EXPECT_EQ((std::vector<std::string>{" 3", " 17", " 200"}), Listed());
  EXPECT_EQ(" 3 Animals", Label(0));
  EXPECT_EQ(" 100%", Label(1));
  EXPECT_EQ(Pointer::Default, services.tw.seam.pointer);
  EXPECT_EQ(2u, services.tw.seam.pointerChanges);  // the hourglass, then back
}

TEST_F(PlayGodTest, FindThemWithNoAnimals) {
  window->ComboDiet()->setCurrentIndex(4);
  window->Command1_Click();
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(" 0 Animals", Label(0));
  EXPECT_EQ(" 0%", Label(1));
}

TEST_F(PlayGodTest, NeitherTakesEveryEggAndCarnivorousFindsAnEggByItsInfantGenes) {
  PutAnimal(world, 1, 100, 100, kStageEgg).Genes[0].Head.Diet = 3;
  PutAnimal(world, 2, 100, 100, kStageEgg).Genes[1].Head.Diet = 3;
  PutAnimal(world, 3, 100, 100, kStageAdult);
  window->ComboWalk()->setCurrentIndex(3);
  window->Command1_Click();
  EXPECT_EQ((std::vector<std::string>{" 1", " 2", " 3"}), Listed());
  window->ComboWalk()->setCurrentIndex(0);
  window->ComboDiet()->setCurrentIndex(4);
  window->Command1_Click();
  EXPECT_EQ((std::vector<std::string>{" 1"}), Listed());
  EXPECT_EQ(" 1 Animals", Label(0));
  EXPECT_EQ(" 33.3333%", Label(1));
}

TEST_F(PlayGodTest, SeaLevelScrollBar) {
  int plainWater = 0;  // a column whose row 45 is water without food
  while (world.Map.At(kFoodKindLayer, plainWater, 45) != kNoFood ||
         world.Map.At(kTerrainLayer, plainWater, 45) != kWater) {
    ++plainWater;
  }
  QScrollBar* bar = window->SeaLevelBar();
  EXPECT_EQ(40, bar->value());
  EXPECT_EQ(40 * 15, window->Map()->FakeSeaLevelY());
  // Dragging moves only the line.
  bar->setSliderDown(true);
  bar->setSliderPosition(70);
  EXPECT_EQ(70 * 15, window->Map()->FakeSeaLevelY());
  EXPECT_EQ(40, world.SeaLevel);
  EXPECT_EQ(0, services.miniMapRedraws);
  EXPECT_EQ(kWater, world.Map.At(kTerrainLayer, plainWater, 45));
  // Released at 41: committed.
  bar->setSliderPosition(41);
  bar->setSliderDown(false);
  EXPECT_EQ(41, world.SeaLevel);
  EXPECT_EQ(1, services.miniMapRedraws);
  // One step back up with the arrow sets 40 at once.
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(40, world.SeaLevel);
  EXPECT_EQ(2, services.miniMapRedraws);
  // Moved to 60 and released: the sea falls and the map follows.
  bar->setSliderDown(true);
  bar->setSliderPosition(60);
  bar->setSliderDown(false);
  EXPECT_EQ(60, world.SeaLevel);
  EXPECT_EQ(kSky, world.Map.At(kTerrainLayer, plainWater, 45));
  EXPECT_EQ(Rgb(128, 128, 255), world.display->MiniBak.At(plainWater, 45));
  // The backdrop copy was taken at load and is not refreshed.
  EXPECT_EQ(0xFF000000u | Rgb(0, 0, 128), window->Map()->Backdrop().pixel(plainWater, 45));
}

TEST_F(PlayGodTest, SeaLevelMovedToFortyByTheScrollBar) {
  world.SeaLevel = 25;
  ReDrawMap(world);
  window = std::make_unique<ui::PlayGodWindow>(services);
  QScrollBar* bar = window->SeaLevelBar();
  EXPECT_EQ(25, bar->value());
  bar->setSliderDown(true);
  bar->setSliderPosition(40);
  EXPECT_EQ(25, world.SeaLevel);
  EXPECT_EQ(600, window->Map()->FakeSeaLevelY());
  bar->setSliderDown(false);
  EXPECT_EQ(40, world.SeaLevel);
  EXPECT_EQ(1, services.miniMapRedraws);
}

TEST_F(PlayGodTest, LimitsAdmitEverySeaLevel) {
  for (int16_t level : {int16_t{-32768}, int16_t{-1}, int16_t{5}, int16_t{100}, int16_t{32767}}) {
    world.SeaLevel = level;
    window = std::make_unique<ui::PlayGodWindow>(services);
    QScrollBar* bar = window->SeaLevelBar();
    EXPECT_EQ(level, bar->value());
    EXPECT_LE(bar->minimum(), -1);
    EXPECT_GE(bar->maximum(), 101);
    EXPECT_EQ(15 * static_cast<int>(level), window->Map()->FakeSeaLevelY());
    bar->setSliderDown(true);
    bar->setSliderPosition(bar->minimum());
    bar->setSliderPosition(bar->maximum());
    EXPECT_EQ(15 * bar->maximum(), window->Map()->FakeSeaLevelY());
    bar->setSliderDown(false);
    EXPECT_EQ(bar->maximum(), world.SeaLevel);
  }
}

TEST_F(PlayGodTest, DropOptionsSetTheMapPointer) {
  window->Option1(1)->click();
  EXPECT_EQ(2, window->MapMousePointer());
  window->Option1(0)->click();
  EXPECT_EQ(0, window->MapMousePointer());
  window->Option1(2)->click();
  EXPECT_EQ(2, window->MapMousePointer());
  EXPECT_EQ(0, services.miniMapRedraws);
}

TEST_F(PlayGodTest, Screenshot) {
  for (int slot = 1; slot <= 40; ++slot) {
    Animal& a = PutAnimal(world, slot, 100 * slot, 3000, slot % 5 == 0 ? kStageEgg : kStageAdult);
    a.Genes[1].Head.Diet = static_cast<uint8_t>(slot % 4);
  }
  window->ComboDiet()->setCurrentIndex(2);
  window->Command1_Click();
  window->SeaLevelBar()->setSliderDown(true);
  window->SeaLevelBar()->setSliderPosition(50);
  const std::string path = SaveScreenshot(*window, "play_god.png");
  window->SeaLevelBar()->setSliderDown(false);
  EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
}

}  // namespace
}  // namespace ombrivale::testing
