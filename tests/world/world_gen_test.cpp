#include "world/world_gen.h"
#include "sim/new_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/helpers.h"
#include "core/numeric.h"
#include "support/test_world.h"
#include "world/map_picture.h"

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
  for (int y = 0; y <= kMapBottomRow; ++y) {
    if (Terrain(world, x, y) == kGround) return y;
  }
  return kMapBottomRow + 1;
}

TEST(FillGroundColumn, FillsFromTheRoundedSurfaceDown) {
  struct Case {
    double h;
    int firstRow;
    int lastRow;
    int step = 1;
  };
  // A surface exactly halfway between rows rounds half to even at every
  // row, so every other row stays open (95.5 fills 96, 98, 100).
  const Case cases[] = {{100, 100, 100}, {5, 5, 100},    {37.3, 37, 99},
                        {37.6, 38, 100}, {99.4, 99, 99}, {95.5, 96, 100, 2}};
  for (const Case& c : cases) {
    TestWorld t;
    FillGroundColumn(t.world, 7, c.h);
    for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
      const bool ground = y >= c.firstRow && y <= c.lastRow && (y - c.firstRow) % c.step == 0;
      EXPECT_EQ(ground ? kGround : kSky, Terrain(t.world, 7, y)) << "h " << c.h << " row " << y;
      EXPECT_EQ(ground ? kColourSubmergedGround : 0u, t.world.display->MiniMap.At(7, y));
      EXPECT_EQ(kSky, Terrain(t.world, 6, y));
      EXPECT_EQ(kSky, Terrain(t.world, 8, y));
    }
  }
}

// Generation invariants, checked over many seeds.
TEST(GeneratePlanet, KeepsItsInvariantsOverManySeeds) {
  for (uint64_t seed = 1; seed <= 150; ++seed) {
    TestWorld t(seed);
    World& w = t.world;
    // The border row keeps its values; only the terrain rule touches it.
    for (int x = 0; x < kMapWidth; ++x) {
      w.Map.At(kTerrainLayer, x, -1) = kWater;
      w.Map.At(kFoodKindLayer, x, -1) = 4;
      w.Map.At(kFoodAmountLayer, x, -1) = 7;
    }
    const PlanetFigures f = GeneratePlanet(w);
    SCOPED_TRACE(seed);

    ASSERT_GE(f.MinH, 5.0);
    ASSERT_LE(f.MaxH, 100.0);
    ASSERT_GE(w.SeaLevel, RoundHalfEven(f.MinH));
    ASSERT_LE(w.SeaLevel, RoundHalfEven(f.MaxH));
    ASSERT_GE(w.SeaLevel, 5);
    ASSERT_LE(w.SeaLevel, 100);
    ASSERT_GE(f.DeepX, 0);
    ASSERT_LE(f.DeepX, 320);

    for (int x = 0; x < kMapWidth; ++x) {
      const int top = TopGroundRow(w, x);
      ASSERT_GE(top, RoundHalfEven(f.MinH)) << "column " << x;
      ASSERT_LE(top, RoundHalfEven(f.MaxH)) << "column " << x;
      // Ground runs unbroken from the surface to row 99 (row 100 may be open).
      for (int y = top; y < kMapBottomRow; ++y)
        ASSERT_EQ(kGround, Terrain(w, x, y));

      EXPECT_EQ(kSky, Terrain(w, x, -1));
      EXPECT_EQ(4, Kind(w, x, -1));
      EXPECT_EQ(7, w.Map.At(kFoodAmountLayer, x, -1));
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
          case kNoFood:
            break;
          default:
            FAIL() << "kind " << Kind(w, x, y) << " at " << x << "," << y;
        }
      }
    }
    // The column after DeepX starts at the deepest surface, or, when the
    // depth never grew past the first draw (DeepX 0), column 0 does.
    if (f.DeepX < 320) {
      const bool first = f.DeepX == 0 && TopGroundRow(w, 0) == RoundHalfEven(f.MaxH);
      EXPECT_TRUE(first || TopGroundRow(w, f.DeepX + 1) == RoundHalfEven(f.MaxH));
    }

    EXPECT_EQ(w.display->MiniMap.pixels, w.display->MiniBak.pixels);
  }
}

TEST(GeneratePlanet, SameSeedSameWorldOtherSeedOtherWorld) {
  TestWorld a(42), b(42), c(43);
  GeneratePlanet(a.world);
  GeneratePlanet(b.world);
  GeneratePlanet(c.world);
  EXPECT_EQ(a.world.Map.layers[0], b.world.Map.layers[0]);
  EXPECT_EQ(a.world.Map.layers[1], b.world.Map.layers[1]);
  EXPECT_EQ(a.world.SeaLevel, b.world.SeaLevel);
  EXPECT_NE(a.world.Map.layers[0], c.world.Map.layers[0]);
}

TEST(CreateFounder, WritesTheFounderGenomeAndLeavesTheRest) {
  TestWorld t;
  Animal& a = AnimalAt(t.world, 9);
  a.Unborn.EggColor = {1, 2, 3};
  a.Genes[1].Body.ColourContrastSize = 44;
  a.Genes[0].Head.Taste.Distance = 55;
  a.Mode = 2;
  CreateFounder(t.world, 9);

  for (int s = 0; s < 2; ++s) {
    const GeneSet& g = a.Genes[s];
    EXPECT_EQ(1000, g.Body.BreathCapasity);
    EXPECT_EQ(1, g.Body.BreathingMethod);
    EXPECT_EQ(128, g.Body.ColourX.red);
    EXPECT_EQ(64, g.Body.ColourY.green);
    EXPECT_EQ(5, g.Body.Height);
    EXPECT_EQ(1, g.Body.Covering);
    EXPECT_EQ(0, g.Limb[0].LowerLength);
    EXPECT_EQ(1, g.Limb[1].LowerWidth);
    EXPECT_EQ(kTrue, g.Limb[0].Touch.SensorExists);
    EXPECT_EQ(15, g.Genitalia.YoungPerLitter);
    EXPECT_EQ(10, g.Genitalia.StopsBreeding);
    EXPECT_EQ(kFalse, g.Head.Audio.SensorExists);
    EXPECT_EQ(5000, g.Head.Smell.Distance);
    EXPECT_EQ(5, g.Head.Vision.Distance);
    EXPECT_EQ(kTrue, g.Head.Vision.SensorExists);
    EXPECT_EQ(100, g.Tail.Flexibility);
    EXPECT_EQ(6, g.Tail.Length);
  }
  EXPECT_EQ(1, a.Alive);
  EXPECT_EQ(50, a.Hunger);
  EXPECT_EQ(5, a.Unborn.TimeInEgg);
  EXPECT_EQ(1, a.Unborn.EggSize);
  // Not the founder's business:
  EXPECT_EQ(3, a.Unborn.EggColor.Blue);
  EXPECT_EQ(44, a.Genes[1].Body.ColourContrastSize);
  EXPECT_EQ(55, a.Genes[0].Head.Taste.Distance);
  EXPECT_EQ(2, a.Mode);
}

TEST(NewWorld, LaysTwoFounderEggsStraddlingTheDeepestColumn) {
  for (uint64_t seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    TestWorld t(seed);
    World& w = t.world;
    testing::PutAnimal(w, 3, 1234, 567);
    // Learn the generation's figures from a twin world drawing the same numbers.
    TestWorld twin(seed);
    const PlanetFigures f = GeneratePlanet(twin.world);

    NewWorld(w);
    ASSERT_EQ(twin.world.Map.layers[0], w.Map.layers[0]);
    for (int slot = 1; slot <= 2; ++slot) {
      const Animal& a = AnimalAt(w, slot);
      EXPECT_EQ(1, a.Alive);
      EXPECT_EQ(slot - 1, a.Sex);
      EXPECT_EQ(kStageEgg, a.Stage);
      EXPECT_EQ(f.DeepX * 100 + (slot == 1 ? -1 : 1), a.X);
      const double sea = w.SeaLevel * 100.0;
      EXPECT_EQ(RoundHalfEven(sea + (f.MaxH * 100 - sea) / 2), a.Y);
      EXPECT_EQ(1000, a.Breath);
      EXPECT_EQ(500, a.Hunger);
    }
    EXPECT_EQ(f.DeepX, CellX(AnimalAt(w, 2).X));
    EXPECT_EQ(f.DeepX == 0 ? 1 : f.DeepX - 1, CellX(AnimalAt(w, 1).X));
    // Slots beyond the founders keep their animals.
    EXPECT_EQ(1234, AnimalAt(w, 3).X);
    EXPECT_EQ(1, AnimalAt(w, 3).Alive);

    EXPECT_EQ(1, w.display->Timer2Interval);
    EXPECT_EQ(1, t.seam.timer2Interval);
    EXPECT_EQ(1, w.GameStarted);
    EXPECT_EQ(0, w.Year);
  }
}

// Needs the real month step and message line: until they land, MonthStep and
// LogMessage do nothing and this test fails.
TEST(NewWorld, StartsAtMonthTwoOfYearZeroAndSaysSo) {
  TestWorld t(5);
  World& w = t.world;
  NewWorld(w);
  EXPECT_EQ(0, w.Year);
  EXPECT_EQ(2, w.Month);
  EXPECT_EQ("Y0, February", w.display->Label1);
  EXPECT_EQ(" 2 Animals", w.display->Label2);
  EXPECT_EQ(3, AnimalAt(w, 1).EggTimer);  // 5, less the two month steps
  EXPECT_EQ(3, AnimalAt(w, 2).EggTimer);
  EXPECT_EQ("New World", w.display->Label3);
}

TEST(NewWorld, KeepsALoadedWorld) {
  TestWorld t(8);
  World& w = t.world;
  testing::FillRows(w, 60, 100, kGround);
  w.Map.At(kTerrainLayer, 3, 10) = kWater;  // above the sea: becomes sky
  w.Map.At(kFoodKindLayer, 3, 59) = kMeat;
  w.SeaLevel = 40;
  w.Year = 12;
  w.Month = 4;
  testing::PutAnimal(w, 5, 500, 4000);
  w.WorldLoaded = 1;
  const std::vector<int32_t> kinds = w.Map.layers[kFoodKindLayer];

  NewWorld(w);
  EXPECT_EQ(kSky, w.Map.At(kTerrainLayer, 3, 10));
  EXPECT_EQ(kWater, w.Map.At(kTerrainLayer, 3, 45));
  EXPECT_EQ(kGround, w.Map.At(kTerrainLayer, 3, 60));
  EXPECT_EQ(kinds, w.Map.layers[kFoodKindLayer]);
  EXPECT_EQ(40, w.SeaLevel);
  EXPECT_EQ(0, AnimalAt(w, 1).Alive);  // no founders
  EXPECT_EQ(1, AnimalAt(w, 5).Alive);
  EXPECT_EQ(1, w.display->Timer2Interval);
  EXPECT_EQ(1, w.GameStarted);
  EXPECT_GE(t.seam.mapRedraws, 2u);
  EXPECT_EQ("Loaded World", w.display->Label3);
  EXPECT_EQ(12, w.Year);  // resumes two months after the saved month
  EXPECT_EQ(6, w.Month);
}

TEST(MeatBlockSum, CountsMeatAroundTimesTheOwnAmount) {
  TestWorld t;
  World& w = t.world;
  auto meat = [&](int x, int y, int32_t amount) {
    w.Map.At(kFoodKindLayer, x, y) = kMeat;
    w.Map.At(kFoodAmountLayer, x, y) = amount;
  };
  for (int dx = -1; dx <= 1; ++dx) {
    for (int dy = -1; dy <= 1; ++dy)
      meat(50 + dx, 50 + dy, 10000);
  }
  EXPECT_DOUBLE_EQ(9.0, MeatBlockSum(w, 50, 50));
  w.Map.At(kFoodAmountLayer, 51, 51) = 20000;  // a neighbour's amount is not counted
  EXPECT_DOUBLE_EQ(9.0, MeatBlockSum(w, 50, 50));
  EXPECT_DOUBLE_EQ(6.0, MeatBlockSum(w, 50, 51));  // the row below the block is bare

  meat(100, 30, 2500);
  EXPECT_DOUBLE_EQ(0.25, MeatBlockSum(w, 100, 30));  // lone: its amount / 10000
  // Off the map counts as meat: an edge cell has three such neighbours, a
  // corner five.
  meat(0, 30, 10000);
  EXPECT_DOUBLE_EQ(4.0, MeatBlockSum(w, 0, 30));
  meat(320, 100, 10000);
  EXPECT_DOUBLE_EQ(6.0, MeatBlockSum(w, 320, 100));
  meat(0, -1, 10000);
  EXPECT_DOUBLE_EQ(6.0, MeatBlockSum(w, 0, -1));
}

TEST(ChangeWorld, MovesTheSeaLevelOneRowAndSaturates) {
  TestWorld t(3);
  World& w = t.world;
  int ups = 0;
  for (int i = 0; i < 200; ++i) {
    const int before = w.SeaLevel;
    ChangeWorld(w);
    ASSERT_EQ(1, std::abs(w.SeaLevel - before));
    ups += w.SeaLevel > before;
  }
  EXPECT_GT(ups, 60);
  EXPECT_LT(ups, 140);
  w.SeaLevel = INT16_MAX;
  for (int i = 0; i < 20; ++i) {
    ChangeWorld(w);
    ASSERT_GE(w.SeaLevel, INT16_MAX - 20);
    w.SeaLevel = INT16_MAX;
  }
}

TEST(ChangeWorld, RotsMeatAndClearsWhatIsEatenBelowZero) {
  TestWorld t(4);
  World& w = t.world;
  auto set = [&](int x, int y, int32_t kind, int32_t amount) {
    w.Map.At(kFoodKindLayer, x, y) = kind;
    w.Map.At(kFoodAmountLayer, x, y) = amount;
  };
  set(10, 20, kMeat, 1000);
  set(30, 20, kMeat, 1500);
  set(50, 20, kLandVegetation, -1);
  set(60, 20, kSeaScum, 0);
  set(70, 20, kAquaticVegetation, -10000);
  set(80, 20, kNoFood, -3);
  set(90, 20, kMeat, INT32_MIN + 100);
  ChangeWorld(w);
  EXPECT_EQ(kNoFood, Kind(w, 10, 20));  // 1000 rots in one year
  EXPECT_EQ(-500, w.Map.At(kFoodAmountLayer, 10, 20));
  EXPECT_EQ(kMeat, Kind(w, 30, 20));  // exactly 0 is not below 0
  EXPECT_EQ(0, w.Map.At(kFoodAmountLayer, 30, 20));
  EXPECT_EQ(kNoFood, Kind(w, 50, 20));
  EXPECT_EQ(-1, w.Map.At(kFoodAmountLayer, 50, 20));
  EXPECT_EQ(kSeaScum, Kind(w, 60, 20));
  EXPECT_EQ(kNoFood, Kind(w, 70, 20));
  EXPECT_EQ(kNoFood, Kind(w, 80, 20));
  EXPECT_EQ(INT32_MIN, w.Map.At(kFoodAmountLayer, 90, 20));  // held, not wrapped
  EXPECT_EQ(kNoFood, Kind(w, 90, 20));
}

// Lone meat cells whose block sum reaches 180 always turn; what they become
// depends on the side of the (already moved) sea level and the cell below.
TEST(ChangeWorld, TurnsMeatByTheSeaLevelAndTheGroundBelow) {
  TestWorld t(6);
  World& w = t.world;
  w.SeaLevel = 50;
  const int32_t sure = 180 * 10000;
  auto meat = [&](int x, int y, bool groundBelow) {
    w.Map.At(kFoodKindLayer, x, y) = kMeat;
    w.Map.At(kFoodAmountLayer, x, y) = sure;
    if (groundBelow) w.Map.At(kTerrainLayer, x, std::min(std::abs(y + 1), 100)) = kGround;
  };
  meat(10, 20, true);    // land, ground below: land vegetation
  meat(20, 20, false);   // land, no ground below: stays meat and rots
  meat(30, 80, true);    // sea, ground below: aquatic vegetation
  meat(40, 80, false);   // sea, nothing below: sea scum
  meat(50, 100, false);  // bottom row: "below" is the row itself
  w.Map.At(kTerrainLayer, 50, 100) = kGround;
  meat(60, -1, true);  // border row: below is row 0
  ChangeWorld(w);
  EXPECT_EQ(kLandVegetation, Kind(w, 10, 20));
  EXPECT_EQ(sure, w.Map.At(kFoodAmountLayer, 10, 20));
  EXPECT_EQ(kMeat, Kind(w, 20, 20));
  EXPECT_EQ(sure - 1500, w.Map.At(kFoodAmountLayer, 20, 20));
  EXPECT_EQ(kAquaticVegetation, Kind(w, 30, 80));
  EXPECT_EQ(kSeaScum, Kind(w, 40, 80));
  EXPECT_EQ(kAquaticVegetation, Kind(w, 50, 100));
  EXPECT_EQ(kLandVegetation, Kind(w, 60, -1));
}

// A block sum of 9 turns the cell in about 9 of 180 years.
TEST(ChangeWorld, TurnsMeatWithOddsOfTheBlockSumIn180) {
  TestWorld t(11);
  World& w = t.world;
  w.SeaLevel = 50;
  int turned = 0;
  const int years = 4000;
  for (int i = 0; i < years; ++i) {
    w.Map.At(kFoodKindLayer, 100, 90) = kMeat;
    w.Map.At(kFoodAmountLayer, 100, 90) = 90000;  // lone: sum 9
    w.SeaLevel = 50;
    ChangeWorld(w);
    turned += Kind(w, 100, 90) != kMeat;
  }
  // Expected 200; five standard deviations either side.
  EXPECT_GT(turned, 130);
  EXPECT_LT(turned, 270);
}

}  // namespace
}  // namespace ombrivale
