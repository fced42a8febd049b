#include "world/map_picture.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::TestWorld;

TEST(ReDrawMap, BringsTerrainInLineWithTheSeaLevelRow) {
  TestWorld t;
  World& w = t.world;
  w.SeaLevel = 40;
  // Column 5: water above the sea, sky below it; column 6: ground both sides.
  for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
    w.Map.At(kTerrainLayer, 5, y) = y < 40 ? kWater : kSky;
    w.Map.At(kTerrainLayer, 6, y) = kGround;
  }
  ReDrawMap(w);
  for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
    SCOPED_TRACE(y);
    const bool sea = y >= 40;
    EXPECT_EQ(sea ? kWater : kSky, w.Map.At(kTerrainLayer, 5, y));
    EXPECT_EQ(sea ? kColourWater : kColourSky, w.display->MiniMap.At(5, y));
    EXPECT_EQ(kGround, w.Map.At(kTerrainLayer, 6, y));
    EXPECT_EQ(sea ? kColourSubmergedGround : kColourExposedGround, w.display->MiniMap.At(6, y));
  }

  // The sea rises one row: the new sea-level row turns to water and its
  // ground goes olive; then it falls two rows.
  w.SeaLevel = 39;
  ReDrawMap(w);
  EXPECT_EQ(kWater, w.Map.At(kTerrainLayer, 5, 39));
  EXPECT_EQ(kColourSubmergedGround, w.display->MiniMap.At(6, 39));
  EXPECT_EQ(kSky, w.Map.At(kTerrainLayer, 5, 38));
  w.SeaLevel = 41;
  ReDrawMap(w);
  EXPECT_EQ(kSky, w.Map.At(kTerrainLayer, 5, 39));
  EXPECT_EQ(kSky, w.Map.At(kTerrainLayer, 5, 40));
  EXPECT_EQ(kWater, w.Map.At(kTerrainLayer, 5, 41));
  EXPECT_EQ(kColourExposedGround, w.display->MiniMap.At(6, 40));
  EXPECT_EQ(41 * 15.0, w.display->SeaLineY);
}

TEST(ReDrawMap, PaintsFoodOnTopAndCopiesTheBackground) {
  TestWorld t;
  World& w = t.world;
  w.SeaLevel = 50;
  const int32_t kinds[] = {0, 1, 2, 3, 4, 5, -1};
  const uint32_t colours[] = {
      kColourSky, kColourSeaScum, kColourAquaticVegetation, kColourLandVegetation, kColourMeat,
      kColourSky, kColourSky};
  for (int i = 0; i < 7; ++i)
    w.Map.At(kFoodKindLayer, 10 + i, 20) = kinds[i];
  w.Map.At(kTerrainLayer, 30, 70) = 9;  // unknown terrain keeps its pixel
  w.display->MiniMap.Set(30, 70, 0x123456);
  const uint64_t pumps = t.seam.eventPumps;

  ReDrawMap(w);
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(colours[i], w.display->MiniMap.At(10 + i, 20)) << kinds[i];
  EXPECT_EQ(0x123456u, w.display->MiniMap.At(30, 70));
  EXPECT_EQ(9, w.Map.At(kTerrainLayer, 30, 70));
  EXPECT_EQ(w.display->MiniMap.pixels, w.display->MiniBak.pixels);
  EXPECT_EQ(1u, t.seam.mapRedraws);
  EXPECT_EQ(pumps + 1, t.seam.eventPumps);
}

TEST(MapColourName, NamesEveryColourOfTheTableAndNothingElse) {
  struct Case {
    uint32_t rgb;
    const char* name;
  };
  const Case cases[] = {
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
  for (const Case& c : cases) {
    ASSERT_NE(nullptr, MapColourName(c.rgb));
    EXPECT_STREQ(c.name, MapColourName(c.rgb));
  }
  EXPECT_EQ(nullptr, MapColourName(Rgb(192, 0, 64)));  // scum suckers' dot: unnamed
  EXPECT_EQ(nullptr, MapColourName(Rgb(255, 255, 255)));
  EXPECT_EQ(nullptr, MapColourName(0));
}

}  // namespace
}  // namespace ombrivale
