// A left click on the mini map chooses an animal.
#include <gtest/gtest.h>

#include <QtTest/QTest>

#include "support/test_world.h"
#include "ui/mini_map.h"
#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

TEST(MiniMapTest, ALeftClickChoosesTheNearestAnimalByItsCellTiesToTheLowerSlot) {
  struct Case {
    int column;  // of the click, on row 20
    int chosen;
  };
  // Slot 9 in cell (10, 20), slot 4 in (20, 20), slot 2 at the far corner of
  // cell (30, 20): distances are measured to the cell.
  const Case cases[] = {{15, 4}, {14, 9}, {16, 4}, {25, 2}, {300, 2}};
  for (const Case& c : cases) {
    TestMainWindow t({}, 768, 2);
    PutAnimal(t.world(), 9, 1050, 2050);
    PutAnimal(t.world(), 4, 2050, 2050);
    PutAnimal(t.world(), 2, 3099, 2099);
    PutAnimal(t.world(), 1, 2050, 2050).Alive = 0;  // a free slot is never chosen
    t.window->show();
    QTest::mouseClick(&t.window->MiniMap(), Qt::LeftButton, {}, QPoint(2 * c.column + 1, 41));
    EXPECT_EQ(t.window->LastChosenSlot(), c.chosen) << c.column;
    // Through the properties window's "&Locate It" and "&Draw It" it is now
    // the tracked and the drawn one.
    EXPECT_EQ(t.world().display->SelectedAnimal, c.chosen) << c.column;
    EXPECT_EQ(t.world().display->QuickDrawAnimal, c.chosen) << c.column;
  }
  EXPECT_EQ(ui::NearestAnimal(TestWorld().world, 150, 150, 2.0 * 8505), 0);  // nobody lives
}

}  // namespace
}  // namespace ombrivale::testing
