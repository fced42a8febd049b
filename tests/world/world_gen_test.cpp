#include "world/world_gen.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/helpers.h"
#include "core/numeric.h"
#include "sim/new_world.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::TestWorld;

int32_t Terrain(const World& world, int x, int y) {
  return world.Map.At(kTerrainLayer, x, y);
}
int32_t Kind(const World& world, int x, int y) {
  return world.Map.At(kFoodKindLayer, x, y);
}

// First ground row of a column, or 101 when the column has none.
int TopGroundRow(const World& world, int x) {
  int y = 0;
  while (y <= kMapBottomRow && Terrain(world, x, y) != kGround)
    ++y;
  return y;
}

TEST(GeneratePlanet, KeepsItsInvariantsOverManySeeds) {
  for (uint64_t seed = 1; seed <= 150; ++seed) {
    TestWorld t(seed);
    World& w = t.world;
    w.Map.At(kFoodKindLayer, 9, -1) = kMeat;  // the border row keeps its food
    const PlanetFigures f = GeneratePlanet(w);
    SCOPED_TRACE(seed);
    ASSERT_GE(f.MinH, 5.0);
    ASSERT_LE(f.MaxH, 100.0);
    ASSERT_GE(w.SeaLevel, RoundHalfEven(f.MinH));
    ASSERT_LE(w.SeaLevel, RoundHalfEven(f.MaxH));
    for (int x = 0; x < kMapWidth; ++x) {
      const int top = TopGroundRow(w, x);
      ASSERT_GE(top, RoundHalfEven(f.MinH)) << "column " << x;
      ASSERT_LE(top, RoundHalfEven(f.MaxH)) << "column " << x;
      for (int y = top; y < kMapBottomRow; ++y)  // unbroken down to row 99
        ASSERT_EQ(kGround, Terrain(w, x, y));
      for (int y = 0; y <= kMapBottomRow; ++y) {
        ASSERT_EQ(10000, w.Map.At(kFoodAmountLayer, x, y));
        const int32_t terrain = Terrain(w, x, y);
        if (terrain != kGround) {
          ASSERT_EQ(y >= w.SeaLevel ? kWater : kSky, terrain);
        }
        switch (Kind(w, x, y)) {
          case kLandVegetation:  // on the sky cell just above exposed ground
            ASSERT_EQ(kSky, terrain);
            ASSERT_EQ(kGround, Terrain(w, x, y + 1));
            break;
          case kSeaScum:
          case kAquaticVegetation:  // in the sea, below the sea-level row
            ASSERT_EQ(kWater, terrain);
            ASSERT_GT(y, w.SeaLevel);
            break;
          default:
            ASSERT_EQ(kNoFood, Kind(w, x, y)) << x << "," << y;
        }
      }
    }
    EXPECT_EQ(kMeat, Kind(w, 9, -1));
    EXPECT_EQ(w.display->MiniMap.pixels, w.display->MiniBak.pixels);
  }
}

TEST(NewWorld, TwoFounderEggsStraddleTheDeepestColumnAtMonthTwo) {
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    TestWorld t(seed);
    World& w = t.world;
    testing::PutAnimal(w, 3, 1234, 567);
    TestWorld twin(seed);  // draws the same numbers: the generation's figures
    const PlanetFigures f = GeneratePlanet(twin.world);
    NewWorld(w);
    ASSERT_EQ(twin.world.Map.layers[kTerrainLayer], w.Map.layers[kTerrainLayer]);
    for (int slot = 1; slot <= 2; ++slot) {
      const Animal& a = AnimalAt(w, slot);
      EXPECT_EQ(slot - 1, a.Sex);
      EXPECT_EQ(kStageEgg, a.Stage);
      EXPECT_EQ(3, a.EggTimer);  // 5, less the two month steps
      EXPECT_EQ(f.DeepX * 100 + (slot == 1 ? -1 : 1), a.X);
      const double sea = w.SeaLevel * 100.0;
      EXPECT_EQ(RoundHalfEven(sea + (f.MaxH * 100 - sea) / 2), a.Y);
    }
    EXPECT_EQ(1234, AnimalAt(w, 3).X);  // slots beyond the founders keep their animals
    EXPECT_EQ("New World", w.display->Label3);
  }
}

TEST(ChangeWorld, RotsMeatTurnsItByTheBlockSumAndClearsWhatIsEatenBelowZero) {
  TestWorld t(6);
  World& w = t.world;
  w.SeaLevel = 50;
  struct Case {
    int x, y;
    int32_t kind, amount;
    bool groundBelow;
    int32_t kindAfter, amountAfter;
  };
  const int32_t sure = 180 * 10000;  // a lone cell with this much always turns
  const Case cases[] = {
      {10, 20, kMeat, 1000, false, kNoFood, -500},  // rots below 0 in one year
      {20, 20, kMeat, 1500, false, kMeat, 0},       // exactly 0 is not below 0
      {30, 20, kLandVegetation, -1, false, kNoFood, -1},
      {40, 20, kSeaScum, 0, false, kSeaScum, 0},
      {50, 20, kNoFood, -3, false, kNoFood, -3},
      {60, 20, kMeat, INT32_MIN + 100, false, kNoFood, INT32_MIN},  // held, not wrapped
      {70, 20, kMeat, sure, true, kLandVegetation, sure},           // land, ground below
      {80, 20, kMeat, sure, false, kMeat, sure - 1500},             // land, nothing below: rots
      {90, 80, kMeat, sure, true, kAquaticVegetation, sure},
      {100, 80, kMeat, sure, false, kSeaScum, sure},
      {110, -1, kMeat, sure, true, kLandVegetation, sure},  // the border row: below is row 0
  };
  for (const Case& c : cases) {
    w.Map.At(kFoodKindLayer, c.x, c.y) = c.kind;
    w.Map.At(kFoodAmountLayer, c.x, c.y) = c.amount;
    if (c.groundBelow) w.Map.At(kTerrainLayer, c.x, c.y + 1) = kGround;
  }
  ChangeWorld(w);
  // The sea level moved a row from 50 (first, so the turning reads the new one).
  for (const Case& c : cases) {
    EXPECT_EQ(c.kindAfter, Kind(w, c.x, c.y)) << c.x << "," << c.y;
    EXPECT_EQ(c.amountAfter, w.Map.At(kFoodAmountLayer, c.x, c.y)) << c.x << "," << c.y;
  }
  // The odds: meat cells of the 3 x 3 block (off the map counts as meat)
  // times the own amount / 10000.
  w.Map.At(kFoodKindLayer, 0, 30) = kMeat;
  w.Map.At(kFoodAmountLayer, 0, 30) = 10000;
  EXPECT_DOUBLE_EQ(4.0, MeatBlockSum(w, 0, 30));
  w.Map.At(kFoodAmountLayer, 0, 30) = 2500;
  w.Map.At(kFoodKindLayer, 1, 31) = kMeat;
  EXPECT_DOUBLE_EQ(1.25, MeatBlockSum(w, 0, 30));
  w.Map.At(kFoodKindLayer, 320, 100) = kMeat;
  w.Map.At(kFoodAmountLayer, 320, 100) = 10000;
  EXPECT_DOUBLE_EQ(6.0, MeatBlockSum(w, 320, 100));
}

// Without the drift the sea level stays; the food made holds the meat's
// amount times food_scale (rounded half to even), what stays meat rots as
// before.
TEST(ChangeWorld, ConditionsHoldTheSeaLevelAndScaleTheFoodMade) {
  TestWorld t(6);
  World& w = t.world;
  w.SeaLevel = 50;
  w.conditions.seaLevelDrift = 0;
  w.conditions.foodScale = 0.5;
  const int32_t sure = 180 * 10000 + 1;  // always turns
  const int cells[][2] = {{70, 20}, {80, 20}, {90, 80}};
  for (const auto& c : cells) {
    w.Map.At(kFoodKindLayer, c[0], c[1]) = kMeat;
    w.Map.At(kFoodAmountLayer, c[0], c[1]) = sure;
  }
  w.Map.At(kTerrainLayer, 70, 21) = kGround;
  w.Map.At(kTerrainLayer, 90, 81) = kGround;
  ChangeWorld(w);
  EXPECT_EQ(50, w.SeaLevel);
  EXPECT_EQ(kLandVegetation, Kind(w, 70, 20));
  EXPECT_EQ(900000, w.Map.At(kFoodAmountLayer, 70, 20));
  EXPECT_EQ(sure - 1500, w.Map.At(kFoodAmountLayer, 80, 20));  // land, nothing below: rots
  EXPECT_EQ(kAquaticVegetation, Kind(w, 90, 80));
  EXPECT_EQ(900000, w.Map.At(kFoodAmountLayer, 90, 80));
}

}  // namespace
}  // namespace ombrivale
