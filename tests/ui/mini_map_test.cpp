// The mini map: tool tips by colour, left and right clicks, the picture.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QtTest/QTest>

#include "support/test_world.h"
#include "ui/mini_map.h"
#include "ui_test_support.h"
#include "world/map_picture.h"

namespace ombrivale::testing {
namespace {

using ui::MiniMapToolTip;
using ui::NearestAnimal;

void MovePointer(QWidget& widget, QPoint position) {
  QMouseEvent move(QEvent::MouseMove, QPointF(position), widget.mapToGlobal(QPointF(position)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &move);
}

TEST(MiniMapToolTipTest, NamesByColour) {
  TestWorld t;
  const std::pair<uint32_t, const char*> colours[] = {
      {Rgb(128, 128, 0), "Submerged Ground"},
      {Rgb(255, 255, 0), "Exposed Ground"},
      {Rgb(128, 128, 255), "Sky"},
      {Rgb(0, 0, 128), "Water"},
      {Rgb(0, 128, 0), "Land Vegetation"},
      {Rgb(0, 255, 0), "Aquatic Vegetation"},
      {Rgb(0, 255, 255), "SeaScum"},
      {Rgb(192, 192, 192), "Egg"},
      {Rgb(255, 0, 0), "Live Organism"},
      {Rgb(128, 0, 0), "Meat"},
  };
  for (const auto& [rgb, name] : colours) {
    t.world.display->MiniMap.Set(40, 7, rgb);
    const char* shown = MiniMapToolTip(t.display, 40 * 15, 7 * 15);
    ASSERT_NE(shown, nullptr) << name;
    EXPECT_STREQ(shown, name);
  }
  // A colour with no name (an animal in real colours) and places off the
  // picture leave the tool tip alone.
  t.world.display->MiniMap.Set(40, 7, Rgb(1, 2, 3));
  EXPECT_EQ(MiniMapToolTip(t.display, 40 * 15, 7 * 15), nullptr);
  EXPECT_EQ(MiniMapToolTip(t.display, 321 * 15, 7 * 15), nullptr);
  EXPECT_EQ(MiniMapToolTip(t.display, 40 * 15, 101 * 15), nullptr);
}

TEST(MiniMapToolTipTest, PointerMovementSetsTheWidgetsToolTip) {
  TestMainWindow t({}, 768, 3);
  World& world = t.world();
  world.display->MiniMap.Set(10, 20, Rgb(0, 0, 128));
  world.display->MiniMap.Set(11, 20, Rgb(5, 5, 5));
  ui::MiniMapWidget& map = t.window->MiniMap();
  // Scale 3: pixel (10, 20) of the picture covers widget pixels 30..32, 60..62.
  MovePointer(map, QPoint(32, 61));
  EXPECT_EQ(map.toolTip(), "Water");
  MovePointer(map, QPoint(34, 61));
  EXPECT_EQ(map.toolTip(), "Water");  // unnamed colour: unchanged
  world.display->MiniMap.Set(11, 20, Rgb(0, 255, 255));
  MovePointer(map, QPoint(35, 62));
  EXPECT_EQ(map.toolTip(), "SeaScum");
}

TEST(MiniMapClickTest, NearestAnimalTiesGoToTheLowerSlot) {
  TestWorld t;
  const double best = 2.0 * 8505;
  EXPECT_EQ(NearestAnimal(t.world, 150, 150, best), 0);  // nobody lives

  // Slot 7 at cell (10, 20), slot 3 at cell (20, 20): a click on cell 15 is
  // halfway and goes to slot 3 whichever is left.
  PutAnimal(t.world, 7, 1050, 2050);
  PutAnimal(t.world, 3, 2050, 2050);
  EXPECT_EQ(NearestAnimal(t.world, 15 * 15, 20 * 15, best), 3);
  EXPECT_EQ(NearestAnimal(t.world, 14 * 15, 20 * 15, best), 7);
  EXPECT_EQ(NearestAnimal(t.world, 16 * 15, 20 * 15, best), 3);
  // Distances are measured to the animal's cell, not its exact position.
  PutAnimal(t.world, 1, 3099, 2099);  // cell (30, 20)
  EXPECT_EQ(NearestAnimal(t.world, 25 * 15, 20 * 15, best), 1);
  // A free slot is never chosen.
  AnimalAt(t.world, 1).Alive = 0;
  EXPECT_EQ(NearestAnimal(t.world, 30 * 15, 20 * 15, best), 3);
}

TEST(MiniMapClickTest, LeftClickThroughTheWidgetChoosesTheLowerSlot) {
  TestMainWindow t({}, 768, 2);
  PutAnimal(t.world(), 9, 1050, 2050);
  PutAnimal(t.world(), 4, 2050, 2050);
  t.window->show();
  // Cell (15, 20) at scale 2.
  QTest::mouseClick(&t.window->MiniMap(), Qt::LeftButton, {}, QPoint(31, 41));
  EXPECT_EQ(t.window->LastChosenSlot(), 4);
  ASSERT_NE(t.window->PropertiesIfCreated(), nullptr);
  // Through the properties window's "&Locate It" it is now the tracked one,
  // and "&Draw It" drew it.
  EXPECT_EQ(t.world().display->SelectedAnimal, 4);
  EXPECT_EQ(t.world().display->QuickDrawAnimal, 4);
}

TEST(MiniMapClickTest, RightClickMovesTheMarkerAndStopsTracking) {
  TestMainWindow t({}, 768, 2);
  World& world = t.world();
  world.display->SelectedAnimal = 5;
  QTest::mouseClick(&t.window->MiniMap(), Qt::RightButton, {}, QPoint(201, 101));
  // Pixel (100, 50): 1500, 750 units; the 225-unit marker is centred there.
  EXPECT_DOUBLE_EQ(world.display->Image1.Left, 1500 - 112.5);
  EXPECT_DOUBLE_EQ(world.display->Image1.Top, 750 - 112.5);
  EXPECT_EQ(world.display->SelectedAnimal, 0);
  // Near the corner the marker hangs off the picture; nothing clamps it.
  QTest::mouseClick(&t.window->MiniMap(), Qt::RightButton, {}, QPoint(1, 1));
  EXPECT_DOUBLE_EQ(world.display->Image1.Left, -112.5);
  EXPECT_DOUBLE_EQ(world.display->Image1.Top, -112.5);
  // Other buttons do nothing.
  QTest::mouseClick(&t.window->MiniMap(), Qt::MiddleButton, {}, QPoint(100, 100));
  EXPECT_DOUBLE_EQ(world.display->Image1.Left, -112.5);
}

TEST(MiniMapPictureTest, PaintsTheWorldsPixelsOneCellABlock) {
  TestMainWindow t({}, 768, 3);
  World& world = t.world();
  for (uint32_t& pixel : world.display->MiniMap.pixels)
    pixel = Rgb(128, 128, 255);
  world.display->MiniMap.Set(0, 0, Rgb(255, 0, 0));
  world.display->MiniMap.Set(320, 100, Rgb(0, 255, 0));
  world.display->MiniMap.Set(5, -1, Rgb(0, 0, 0));  // row -1 is held, not shown
  world.display->SeaLineY = 50 * 15;
  world.display->Image1.Left = -10000;  // marker out of sight
  const QImage shot = t.window->MiniMap().grab().toImage();
  EXPECT_EQ(shot.size(), QSize(972, 312));
  EXPECT_EQ(shot.pixelColor(1, 1), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(2, 2), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(3, 3), QColor(128, 128, 255));
  EXPECT_EQ(shot.pixelColor(15, 0), QColor(128, 128, 255));
  EXPECT_EQ(shot.pixelColor(320 * 3 + 2, 100 * 3 + 2), QColor(0, 255, 0));
  // The sea line at row 50, one cell high.
  EXPECT_EQ(shot.pixelColor(100, 150), QColor(0, 0, 0));
  EXPECT_EQ(shot.pixelColor(100, 153), QColor(128, 128, 255));
}

TEST(MiniMapPictureTest, ClearingThePictureWhenTheWorldViewIsShown) {
  TestMainWindow t({}, 768, 1);
  World& world = t.world();
  for (uint32_t& pixel : world.display->MiniMap.pixels)
    pixel = Rgb(0, 0, 128);
  t.window->MiniMapLeftPressed(15, 15);
  EXPECT_EQ(world.display->MiniMap.At(3, 3), Rgb(0, 0, 128));  // no world view: kept
  t.window->ShowWorldView();
  t.window->MiniMapLeftPressed(15, 15);
  EXPECT_EQ(world.display->MiniMap.At(3, 3), 0u);
}

}  // namespace
}  // namespace ombrivale::testing
