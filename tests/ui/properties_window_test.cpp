#include "ui/properties_window.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QListWidget>

#include "secondary_windows_support.h"
#include "ui/quick_draw.h"

namespace ombrivale::testing {
namespace {

std::string Row(QListWidget* list, int row) {
  return list->item(row)->text().toStdString();
}

TEST(PropertiesRows, OneHundredAndTwentyThreeNamesInOrder) {
  const std::vector<std::string> names = ui::CharacteristicNames();
  ASSERT_EQ(123u, names.size());
  EXPECT_EQ("Unborn.EggSize", names[0]);
  EXPECT_EQ("Unborn.TimeInEgg", names[1]);
  EXPECT_EQ("Unborn.EggColor.Blue", names[4]);
  EXPECT_EQ("infant.Body.BreathCapasity", names[5]);
  EXPECT_EQ("infant.Body.Covering", names[17]);
  EXPECT_EQ("infant.Genitalia.AdultAge", names[18]);
  EXPECT_EQ("infant.Head.Audio.Distance", names[24]);
  EXPECT_EQ("infant.Head.Vision.SensorExists", names[46]);
  // The two limbs' rows read alike: "(l)" stands in both.
  EXPECT_EQ("infant.Limb(l).DigitLength", names[47]);
  EXPECT_EQ("infant.Limb(l).UpperWidth", names[53]);
  EXPECT_EQ("infant.Limb(l).DigitLength", names[54]);
  EXPECT_EQ("infant.Tail.Width", names[63]);
  EXPECT_EQ("adult .Body.BreathCapasity", names[64]);
  EXPECT_EQ("adult .Body.Width", names[75]);
  EXPECT_EQ("adult .Tail.Width", names[122]);
  EXPECT_EQ((std::vector<std::string>{"Age (Years)", "Age (Months)", "Hunger", "Sex", "Breath"}),
            ui::StateNames());
}

TEST(PropertiesRows, ValueTexts) {
  Animal a;
  a.Unborn.EggSize = -3;
  a.Unborn.TimeInEgg = 32767;
  a.Unborn.EggColor = {255, 0, 7};
  a.Genes[0].Body.BreathCapasity = -32768;
  a.Genes[0].Body.BreathingMethod = 255;
  a.Genes[0].Head.Audio.SensorExists = kTrue;
  a.Genes[0].Head.Vision.SensorExists = kFalse;
  a.Genes[0].Limb[0].DigitLength = 11;
  a.Genes[0].Limb[1].DigitLength = 22;
  a.Genes[1].Limb[1].Touch.SensorExists = kTrue;
  a.Genes[1].Body.Width = 42;
  const std::vector<std::string> v = ui::CharacteristicValues(a);
  ASSERT_EQ(123u, v.size());
  EXPECT_EQ("-3", v[0]);
  EXPECT_EQ("32767", v[1]);
  EXPECT_EQ("255", v[2]);
  EXPECT_EQ("0", v[3]);
  EXPECT_EQ("7", v[4]);
  EXPECT_EQ("-32768", v[5]);
  EXPECT_EQ("255", v[6]);
  EXPECT_EQ("True", v[28]);   // infant.Head.Audio.SensorExists
  EXPECT_EQ("False", v[46]);  // infant.Head.Vision.SensorExists
  EXPECT_EQ("11", v[47]);     // limb 0 first,
  EXPECT_EQ("22", v[54]);     // then limb 1
  EXPECT_EQ("42", v[75]);
  EXPECT_EQ("True", v[64 + 42 + 11]);  // adult limb 1 Touch.SensorExists
}

// The member order matters: services before the window.
class PropertiesWindowTest : public ::testing::Test {
 protected:
  PropertiesWindowTest() : window(services.Properties()) {}
  void Populate() {
    for (int slot : {3, 4, 9, 12})
      PutAnimal(world, slot, 1000 + slot * 100, 2000);
    PutAnimal(world, 20, 500, 500, kStageEgg);
    AnimalAt(world, 7).Alive = 2;  // not 1: a free slot
  }
  std::vector<std::string> List2Texts() {
    std::vector<std::string> texts;
    for (int i = 0; i < window.List2()->count(); ++i) {
      texts.push_back(window.List2()->itemText(i).toStdString());
    }
    return texts;
  }

  FakeServices services;
  World& world = services.tw.world;
  ui::PropertiesWindow& window;
};

TEST_F(PropertiesWindowTest, LoadFillsTheNameLists) {
  EXPECT_EQ(QStringLiteral("Animal Properties"), window.windowTitle());
  ASSERT_EQ(123, window.List1()->count());
  EXPECT_EQ("adult .Body.Width", Row(window.List1(), 75));
  ASSERT_EQ(5, window.List4()->count());
  EXPECT_EQ("Breath", Row(window.List4(), 4));
  EXPECT_EQ(0, window.List2()->count());
  EXPECT_EQ(
      QStringLiteral("Click on a characteristic here to highlight in the values list as well."),
      window.List1()->toolTip());
}

TEST_F(PropertiesWindowTest, EmptyTable) {
  world.display->SelectedAnimal = 9;
  window.DrawIt();
  EXPECT_EQ(0, services.quickDrawCreations);
  window.LocateIt();
  EXPECT_EQ(0, world.display->SelectedAnimal);
  window.FindMostEvolved();  // as at start-up: nothing found, nothing tracked
  EXPECT_EQ(0, world.display->SelectedAnimal);
  EXPECT_EQ(-1, window.List2()->currentIndex());
}

TEST_F(PropertiesWindowTest, ChoosingAnAnimalShowsItsGenesAndState) {
  Populate();
  window.RefreshAnimalList();
  EXPECT_EQ((std::vector<std::string>{"3", "4", "9", "12", "20"}), List2Texts());
  EXPECT_EQ(-1, window.List2()->currentIndex());
  Animal& a = AnimalAt(world, 9);
  a.AgeYears = 7;
  a.AgeMonths = 11;
  a.Hunger = -40;
  a.Sex = 1;
  a.Breath = 321;
  a.Genes[1].Body.Width = 77;
  window.SelectList2Index(2);
  ASSERT_EQ(5, window.List5()->count());
  EXPECT_EQ("7", Row(window.List5(), 0));
  EXPECT_EQ("11", Row(window.List5(), 1));
  EXPECT_EQ("-40", Row(window.List5(), 2));
  EXPECT_EQ("1", Row(window.List5(), 3));
  EXPECT_EQ("321", Row(window.List5(), 4));
  ASSERT_EQ(123, window.List3()->count());
  EXPECT_EQ("77", Row(window.List3(), 75));

  // The month step refreshes the state rows; a dead animal keeps its values.
  a.AgeMonths = 0;
  a.Alive = 0;
  window.UpdateListFive();
  EXPECT_EQ("0", Row(window.List5(), 1));

  // An egg shows like any animal and draws as the egg view.
  window.SelectList2Index(4);
  EXPECT_EQ("1", Row(window.List3(), 0));
  window.DrawIt();
  ASSERT_TRUE(services.quickDraw);
  EXPECT_TRUE(services.quickDraw->Layout().unbornVisible);
  EXPECT_EQ(20, world.display->QuickDrawAnimal);
}

TEST_F(PropertiesWindowTest, UpdateListKeepsTheIndexButNotTheLastEntry) {
  Populate();
  window.RefreshAnimalList();
  window.SelectList2Index(1);
  PutAnimal(world, 1, 100, 100);  // a new first entry: the index now shows slot 3
  window.UpdateList();
  EXPECT_EQ(1, window.List2()->currentIndex());
  EXPECT_EQ(3, window.ChosenNumber());
  EXPECT_EQ(6, window.List2()->count());

  window.SelectList2Index(5);  // the last entry
  window.UpdateList();
  EXPECT_EQ(-1, window.List2()->currentIndex());
  EXPECT_EQ(0, window.ChosenNumber());

  window.SelectList2Index(4);  // last but one: index 4 < 6 - 1
  window.UpdateList();
  EXPECT_EQ(4, window.List2()->currentIndex());
}

TEST_F(PropertiesWindowTest, FindMostEvolvedSelectsDrawsAndTracks) {
  Populate();
  window.RefreshAnimalList();
  // Slot 12 moves furthest from the primordial genes.
  Animal& evolved = AnimalAt(world, 12);
  for (GeneSet& g : evolved.Genes) {
    g.Body.BreathCapasity = 1234;
    g.Body.Covering = 3;
    g.Tail.Length = 9;
    g.Tail.Flexibility = 3;
    g.Head.Vision.Distance = 7;
    g.Body.ColourX = {1, 2, 3};
  }
  evolved.Unborn.TimeInEgg = 9;
  window.FindMostEvolved();
  EXPECT_EQ(12, world.display->SelectedAnimal);
  EXPECT_EQ(12, window.ChosenNumber());
  EXPECT_EQ(12, world.display->QuickDrawAnimal);
  ASSERT_TRUE(services.quickDraw);
  EXPECT_EQ(1, services.quickDrawCreations);
  EXPECT_FLOAT_EQ(5 * 150, services.quickDraw->Layout().body.Width);  // its own adult genes
  EXPECT_EQ("1234", Row(window.List3(), 64));
}

TEST_F(PropertiesWindowTest, PairedRowsFollowEachOther) {
  Populate();
  window.RefreshAnimalList();
  window.SelectList2Index(0);
  window.List1()->setCurrentRow(40);
  EXPECT_EQ(40, window.List3()->currentRow());
  window.List3()->setCurrentRow(100);
  EXPECT_EQ(100, window.List1()->currentRow());
  window.List5()->setCurrentRow(3);
  EXPECT_EQ(3, window.List4()->currentRow());
  window.List4()->setCurrentRow(1);
  EXPECT_EQ(1, window.List5()->currentRow());
}

TEST_F(PropertiesWindowTest, PairedRowsWithoutValues) {
  // No animal chosen: List3 is empty, so a name row selects nothing there.
  window.List1()->setCurrentRow(40);
  EXPECT_EQ(0, window.List3()->count());
  EXPECT_EQ(-1, window.List3()->currentRow());
}

TEST_F(PropertiesWindowTest, Screenshot) {
  Populate();
  window.RefreshAnimalList();
  window.SelectList2Index(2);
  window.List1()->setCurrentRow(6);
  window.show();
  const std::string path = SaveScreenshot(window, "properties.png");
  EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
}

}  // namespace
}  // namespace ombrivale::testing
