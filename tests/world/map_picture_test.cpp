#include "world/map_picture.h"

#include <gtest/gtest.h>

#include "support/test_world.h"

namespace ombrivale {
namespace {

TEST(ReDrawMap, TerrainFollowsTheSeaLevelRowAndFoodIsPaintedOnTop) {
  testing::TestWorld t;
  World& w = t.world;
  // Column 5: water above the sea and sky below it; column 6: ground.
  for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
    w.Map.At(kTerrainLayer, 5, y) = y < 40 ? kWater : kSky;
    w.Map.At(kTerrainLayer, 6, y) = kGround;
  }
  w.Map.At(kTerrainLayer, 7, 70) = 9;  // an unknown terrain keeps its pixel
  w.display->MiniMap.Set(7, 70, 0x123456);
  w.Map.At(kFoodKindLayer, 8, 20) = kMeat;
  w.Map.At(kFoodKindLayer, 9, 20) = 5;  // no such food: the terrain shows
  uint64_t redraws = 0;
  for (const int16_t level : {40, 39, 41}) {
    w.SeaLevel = level;
    ReDrawMap(w);
    EXPECT_EQ(++redraws, t.Events().mapRedraws);  // each redraw tells its driver
    for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
      const bool sea = y >= level;
      EXPECT_EQ(sea ? kWater : kSky, w.Map.At(kTerrainLayer, 5, y)) << level << " " << y;
      EXPECT_EQ(sea ? kColourWater : kColourSky, w.display->MiniMap.At(5, y));
      EXPECT_EQ(sea ? kColourSubmergedGround : kColourExposedGround, w.display->MiniMap.At(6, y));
    }
    EXPECT_EQ(level * 15.0, w.display->SeaLineY);
  }
  EXPECT_EQ(0x123456u, w.display->MiniMap.At(7, 70));
  EXPECT_EQ(kColourMeat, w.display->MiniMap.At(8, 20));
  EXPECT_EQ(kColourSky, w.display->MiniMap.At(9, 20));
  EXPECT_EQ(w.display->MiniMap.pixels, w.display->MiniBak.pixels);
}

}  // namespace
}  // namespace ombrivale
