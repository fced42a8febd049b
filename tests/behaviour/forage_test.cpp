#include "behaviour/forage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "behaviour/literal_reference.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::PutAnimal;
using testing::TestWorld;

// The centre of a cell, in hundredths.
int At(int cell) {
  return cell * 100 + 50;
}

void PutFood(World& world, int x, int y, int32_t kind, int32_t amount = 100) {
  world.Map.At(kFoodKindLayer, x, y) = kind;
  world.Map.At(kFoodAmountLayer, x, y) = amount;
  world.Map.NoteFoodChange(x, y);
}

// A foraging adult standing in cell (x, y).
Animal& PutForager(World& world, int slot, int x, int y, uint8_t diet, int16_t vision,
                   int16_t mouth = 4) {
  Animal& a = PutAnimal(world, slot, At(x), At(y));
  a.Mode = kModeForage;
  a.Hunger = 600;
  for (GeneSet& g : a.Genes) {
    g.Head.Diet = diet;
    g.Head.Vision.Distance = vision;
    g.Head.MouthLength = mouth;
  }
  return a;
}

struct Heading {
  int x, y;
  bool operator==(const Heading&) const = default;
};
Heading HeadingOf(const Animal& a) {
  return {a.HeadingX, a.HeadingY};
}

TEST(Forage, EggsAndBlindAnimalsDoNothing) {
  TestWorld t;
  Animal& egg = PutForager(t.world, 1, 10, 10, 0, 5);
  egg.Stage = kStageEgg;
  Animal& blind = PutForager(t.world, 2, 20, 10, 0, 5);
  for (GeneSet& g : blind.Genes)
    g.Head.Vision.SensorExists = kFalse;
  blind.HeadingX = 0;
  blind.HeadingY = 0;
  PutFood(t.world, 10, 10, kSeaScum);
  PutFood(t.world, 20, 10, kSeaScum);
  PutFood(t.world, 21, 10, kSeaScum);
  Forage(t.world, 1);
  Forage(t.world, 2);
  EXPECT_EQ(600, egg.Hunger);
  EXPECT_EQ(600, blind.Hunger);
  EXPECT_EQ((Heading{0, 0}), HeadingOf(blind));
  EXPECT_EQ(100, t.world.Map.At(kFoodAmountLayer, 20, 10));
}

TEST(Forage, ScumSuckerHeadsForTheNearestScumAndEatsItsOwnCell) {
  TestWorld t;
  Animal& a = PutForager(t.world, 1, 50, 50, 0, 5, 1);
  PutFood(t.world, 53, 49, kSeaScum);
  PutFood(t.world, 50, 55, kSeaScum);  // farther
  PutFood(t.world, 50, 50, kSeaScum, 1);
  Forage(t.world, 1);
  EXPECT_EQ((Heading{0, 0}), HeadingOf(a));  // its own cell is nearest
  EXPECT_EQ(590, a.Hunger);
  EXPECT_EQ(0, t.world.Map.At(kFoodAmountLayer, 50, 50));
  Forage(t.world, 1);  // the own cell is empty now
  EXPECT_EQ((Heading{1, -1}), HeadingOf(a));
  EXPECT_EQ(590, a.Hunger);
  // A mouth of length 0 cannot suck scum.
  Animal& b = PutForager(t.world, 2, 100, 50, 0, 5, 0);
  PutFood(t.world, 100, 50, kSeaScum);
  Forage(t.world, 2);
  EXPECT_EQ(600, b.Hunger);
}

TEST(Forage, FoodAtExactlyTwiceTheVisionIsNeverChosen) {
  // An omnivore browses only when no meat was seen, which shows whether the
  // meat in the corner of the scan square counted.
  for (int dy : {5, 4}) {
    TestWorld t;
    Animal& a = PutForager(t.world, 1, 50, 50, 2, 5);
    PutFood(t.world, 50, 50, kLandVegetation);
    PutFood(t.world, 55, 50 + dy, kMeat);
    Forage(t.world, 1);
    if (dy == 5) {
      EXPECT_EQ(560, a.Hunger) << "distance 10 = 2D: not seen, so it browses";
    } else {
      EXPECT_EQ(600, a.Hunger) << "distance 9: seen, no browsing";
      EXPECT_EQ((Heading{1, 1}), HeadingOf(a));
    }
  }
}

TEST(Forage, ScanFoldsAtTheLeftAndTopEdges) {
  struct Case {
    int x, y;          // the animal's cell
    int foodX, foodY;  // the only scum
    Heading heading;
  };
  const Case cases[] = {
      {0, 50, 3, 50, {-1, 0}},      // column 0: the fold at dx = -3 is met first
      {1, 50, 4, 50, {1, 0}},       // column 1: the true offset +3 is nearer than the fold
      {50, 0, 50, 3, {0, -1}},      // row 0: heads up, against the top
      {50, 1, 50, 4, {0, 1}},       // row 1
      {0, 0, 2, 1, {-1, -1}},       // both folds
      {320, 50, 318, 50, {-1, 0}},  // the right edge caps, no fold
      {50, 100, 50, 97, {0, -1}},   // the bottom edge caps
  };
  for (const Case& c : cases) {
    TestWorld t;
    Animal& a = PutForager(t.world, 1, c.x, c.y, 0, 5);
    PutFood(t.world, c.foodX, c.foodY, kSeaScum);
    Forage(t.world, 1);
    EXPECT_EQ(c.heading, HeadingOf(a)) << c.x << "," << c.y;
  }
}

TEST(Forage, HerbivoreComparesColumnsOnly) {
  struct Case {
    int aquaticDX, aquaticDY;  // 99: none
    int landDX, landDY;
    bool aquatic;  // expected aim
  };
  const Case cases[] = {
      {3, 7, -3, 0, false},  // 3 against 3 columns: land
      {2, 8, 3, 0, true},    // 2 against 3: aquatic, whatever the rows
      {99, 0, 5, 0, true},   // unseen aquatic keeps a random column of 1
      {99, 0, 1, 0, false},  // land within one column wins the tie
      {0, 3, 99, 0, true},   // only aquatic, in its own column
      {2, 0, 99, 0, false},  // only aquatic, two columns away: the random land
  };
  for (const Case& c : cases) {
    TestWorld t;
    Animal& a = PutForager(t.world, 1, 100, 50, 1, 10);
    if (c.aquaticDX != 99)
      PutFood(t.world, 100 + c.aquaticDX, 50 + c.aquaticDY, kAquaticVegetation);
    if (c.landDX != 99) PutFood(t.world, 100 + c.landDX, 50 + c.landDY, kLandVegetation);
    Forage(t.world, 1);
    const bool seen = c.aquatic ? c.aquaticDX != 99 : c.landDX != 99;
    if (seen) {
      const int dx = c.aquatic ? c.aquaticDX : c.landDX;
      const int dy = c.aquatic ? c.aquaticDY : c.landDY;
      EXPECT_EQ((Heading{Sign(dx), Sign(dy)}), HeadingOf(a)) << c.aquaticDX << "/" << c.landDX;
    } else {
      // The random diagonal of the unseen kind.
      EXPECT_EQ(1, std::abs(a.HeadingX));
      EXPECT_EQ(1, std::abs(a.HeadingY)) << c.aquaticDX << "/" << c.landDX;
    }
  }
}

TEST(Forage, FeedingTable) {
  struct Case {
    uint8_t diet;
    int32_t kind;
    int16_t mouth;
    int hunger;  // change
    int taken;
  };
  const Case cases[] = {
      {0, kSeaScum, 1, -10, 1},
      {0, kSeaScum, 0, 0, 0},
      {1, kAquaticVegetation, 1, -20, 1},
      {1, kAquaticVegetation, 0, 0, 0},
      {1, kLandVegetation, 2, -40, 1},
      {1, kLandVegetation, 1, 0, 0},
      {3, kMeat, 3, -80, 10},
      {3, kMeat, 2, 0, 0},
      {2, kMeat, 3, -80, 10},
      {2, kLandVegetation, 2, -40, 1},
      {1, kMeat, 4, 0, 0},
      {0, kLandVegetation, 4, 0, 0},
      {4, kSeaScum, 4, 0, 0},  // no such diet
  };
  for (const Case& c : cases) {
    TestWorld t;
    Animal& a = PutForager(t.world, 1, 100, 50, c.diet, 5, c.mouth);
    PutFood(t.world, 100, 50, c.kind, 50);
    // The herbivore's own cell must win the column comparison.
    if (c.kind == kAquaticVegetation) PutFood(t.world, 103, 50, kLandVegetation);
    Forage(t.world, 1);
    EXPECT_EQ(600 + c.hunger, a.Hunger) << int{c.diet} << " " << c.kind << " " << c.mouth;
    EXPECT_EQ(50 - c.taken, t.world.Map.At(kFoodAmountLayer, 100, 50));
  }
}

TEST(Forage, MeatEatenBelowZeroNoLongerCounts) {
  TestWorld t;
  Animal& a = PutForager(t.world, 1, 100, 50, 3, 5);
  PutFood(t.world, 100, 50, kMeat, 5);
  Forage(t.world, 1);
  EXPECT_EQ(520, a.Hunger);
  EXPECT_EQ(-5, t.world.Map.At(kFoodAmountLayer, 100, 50));
  Forage(t.world, 1);
  EXPECT_EQ(520, a.Hunger);
  EXPECT_EQ(-5, t.world.Map.At(kFoodAmountLayer, 100, 50));
}

TEST(Forage, HuntingComparesTheMeatRecordInCellsWithHundredths) {
  // No meat seen, D = 60: a prey 50 hundredths away in the own cell dies.
  {
    TestWorld t;
    Animal& hunter = PutForager(t.world, 1, 0, 0, 3, 60);
    hunter.X = 1020;
    hunter.Y = 1020;
    PutAnimal(t.world, 2, 1050, 1060);
    Forage(t.world, 1);
    EXPECT_EQ(0, AnimalAt(t.world, 2).Alive);
    EXPECT_EQ(1u, t.seam.beeps);
    EXPECT_EQ(500, hunter.Hunger);
    EXPECT_EQ((Heading{1, 1}), HeadingOf(hunter));
    EXPECT_EQ(1u, t.world.DeathsByCause[static_cast<size_t>(Cause::Eaten)]);
  }
  // The same distance into the next cell: it only turns, still paying 100.
  {
    TestWorld t;
    Animal& hunter = PutForager(t.world, 1, 0, 0, 3, 60);
    hunter.X = 1090;
    hunter.Y = 1050;
    PutAnimal(t.world, 2, 1120, 1090);
    Forage(t.world, 1);
    EXPECT_EQ(1, AnimalAt(t.world, 2).Alive);
    EXPECT_EQ(0u, t.seam.beeps);
    EXPECT_EQ(500, hunter.Hunger);
    EXPECT_EQ((Heading{1, 1}), HeadingOf(hunter));
  }
  // Meat 3 cells away: only prey nearer than 3 hundredths.
  for (int distance : {2, 3}) {
    TestWorld t;
    Animal& hunter = PutForager(t.world, 1, 10, 10, 3, 60);
    PutFood(t.world, 13, 10, kMeat);
    PutAnimal(t.world, 2, At(10) + distance, At(10));
    Forage(t.world, 1);
    EXPECT_EQ(distance == 2 ? 0 : 1, AnimalAt(t.world, 2).Alive) << distance;
    EXPECT_EQ(distance == 2 ? 500 : 600, hunter.Hunger) << distance;
  }
  // Standing on meat: Best(4) = 0 takes no prey at all, not even one on the spot.
  {
    TestWorld t;
    Animal& hunter = PutForager(t.world, 1, 10, 10, 3, 60);
    PutFood(t.world, 10, 10, kMeat);
    PutAnimal(t.world, 2, At(10), At(10));
    Forage(t.world, 1);
    EXPECT_EQ(1, AnimalAt(t.world, 2).Alive);
    EXPECT_EQ(520, hunter.Hunger);  // the meal only
  }
}

TEST(Forage, EachNearerPreyCostsAHundred) {
  // Prey at 40, 30 and 20 in slot order, then one at 25: three are chosen.
  TestWorld t;
  Animal& hunter = PutForager(t.world, 1, 10, 10, 3, 60);
  hunter.X = 1000;
  hunter.Y = 1000;
  PutAnimal(t.world, 2, 960, 1000);   // 40, cell 9: turns left
  PutAnimal(t.world, 3, 1000, 970);   // 30, row 9: turns up
  PutAnimal(t.world, 4, 1020, 1000);  // 20, own cell: eaten
  PutAnimal(t.world, 5, 1000, 1025);  // 25: not nearer than 20
  Forage(t.world, 1);
  EXPECT_EQ(300, hunter.Hunger);
  EXPECT_EQ((Heading{1, 0}), HeadingOf(hunter));
  EXPECT_EQ(0, AnimalAt(t.world, 4).Alive);
  EXPECT_EQ(1, AnimalAt(t.world, 2).Alive);
  EXPECT_EQ(1u, t.seam.beeps);
  // In the other order only the first is chosen.
  TestWorld u;
  Animal& other = PutForager(u.world, 1, 10, 10, 3, 60);
  other.X = 1000;
  other.Y = 1000;
  PutAnimal(u.world, 2, 1020, 1000);
  PutAnimal(u.world, 3, 1000, 970);
  PutAnimal(u.world, 4, 960, 1000);
  Forage(u.world, 1);
  EXPECT_EQ(500, other.Hunger);
}

TEST(Forage, HungerHoldsAtItsLowestValue) {
  TestWorld t;
  Animal& hunter = PutForager(t.world, 1, 10, 10, 3, 60);
  hunter.Hunger = -32700;
  PutAnimal(t.world, 2, At(10) + 30, At(10));
  PutAnimal(t.world, 3, At(10) + 20, At(10));
  Forage(t.world, 1);
  EXPECT_EQ(-32768, hunter.Hunger);
}

TEST(Forage, OmnivoreFallsThroughToBrowsing) {
  struct Case {
    int16_t vision;
    bool prey;
    int hunger;
  };
  const Case cases[] = {
      {5, false, 560},   // neither meat nor prey: browses in the same call
      {60, true, 500},   // a prey (eaten): no browsing
      {0, false, 560},   // D = 0: the record counts as 0 = 2D, browses
      {-2, false, 600},  // negative D: 0 differs from 2D, no browsing
  };
  for (const Case& c : cases) {
    TestWorld t;
    Animal& a = PutForager(t.world, 1, 10, 10, 2, c.vision);
    PutFood(t.world, 10, 10, kLandVegetation);
    if (c.prey) PutAnimal(t.world, 2, At(10) + 10, At(10));
    Forage(t.world, 1);
    EXPECT_EQ(c.hunger, a.Hunger) << c.vision;
  }
}

TEST(Forage, FarVisionFindsFoodAcrossTheMap) {
  for (int16_t vision : {10000, 20000, 32767}) {
    TestWorld t;
    Animal& a = PutForager(t.world, 1, 300, 90, 0, vision);
    PutFood(t.world, 2, 3, kSeaScum);
    Forage(t.world, 1);
    EXPECT_EQ((Heading{-1, -1}), HeadingOf(a)) << vision;
  }
}

// Random worlds: the library's Forage and the literal one must agree on
// every heading, hunger, kill, beep, map cell and draw.
void RandomWorld(World& world, std::mt19937& rng) {
  std::uniform_int_distribution<int> percent(0, 99);
  const int density = std::vector<int>{0, 1, 5, 30}[static_cast<size_t>(percent(rng) % 4)];
  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = 0; y <= kMapBottomRow; ++y) {
      if (std::uniform_int_distribution<int>(0, 999)(rng) >= density * 10) continue;
      world.Map.At(kFoodKindLayer, x, y) = std::uniform_int_distribution<int>(0, 5)(rng);
      world.Map.At(kFoodAmountLayer, x, y) = std::uniform_int_distribution<int>(-12, 12)(rng);
    }
  }
  world.Map.RebuildFoodIndex();
  const int16_t visions[] = {-3, 0, 1, 2, 3, 5, 8, 13, 30, 60, 120, 200, 330, 420};
  const int animals = std::uniform_int_distribution<int>(1, 40)(rng);
  const int cx = std::uniform_int_distribution<int>(0, 32000)(rng);
  const int cy = std::uniform_int_distribution<int>(0, 10000)(rng);
  for (int n = 0; n < animals; ++n) {
    const int slot = std::uniform_int_distribution<int>(1, kSlotCount)(rng);
    int x;
    int y;
    switch (percent(rng) % 5) {
      case 0:  // by an edge
        x = std::vector<int>{
            0, 50, 99, 100, 150, 31950, 32000}[static_cast<size_t>(percent(rng) % 7)];
        y = std::vector<int>{
            0, 50, 99, 100, 150, 9950, 10000}[static_cast<size_t>(percent(rng) % 7)];
        break;
      case 1:  // off the map, as a damaged file could leave it
        x = std::uniform_int_distribution<int>(-600, 32767)(rng);
        y = std::uniform_int_distribution<int>(-600, 32767)(rng);
        break;
      default:  // in a crowd, so the hunt finds prey
        x = cx + std::uniform_int_distribution<int>(-250, 250)(rng);
        y = cy + std::uniform_int_distribution<int>(-250, 250)(rng);
    }
    const int16_t stage = static_cast<int16_t>(percent(rng) % 3 - 1);
    Animal& a = PutAnimal(world, slot, x, y, stage);
    a.Hunger = static_cast<int16_t>(std::uniform_int_distribution<int>(-200, 900)(rng));
    a.HeadingX = 0;
    a.HeadingY = 0;
    for (GeneSet& g : a.Genes) {
      g.Head.Diet = static_cast<uint8_t>(percent(rng) % 5);
      g.Head.Vision.Distance = visions[percent(rng) % 14];
      g.Head.Vision.SensorExists = percent(rng) < 90 ? kTrue : kFalse;
      g.Head.MouthLength = static_cast<int16_t>(percent(rng) % 5);
    }
  }
}

TEST(Forage, SameAsTheLiteralScanOnRandomWorlds) {
  std::mt19937 rng(20261206);
  for (int w = 0; w < 120; ++w) {
    TestWorld a(1000 + static_cast<uint64_t>(w));
    TestWorld b(1);
    RandomWorld(a.world, rng);
    b.world = a.world;
    b.world.seam = &b.seam;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      if (!IsOccupied(AnimalAt(a.world, slot))) continue;
      Forage(a.world, slot);
      testing::LiteralForage(b.world, slot);
      // The generator's state shows a different draw at once; the whole
      // world is compared when the world is done.
      ASSERT_EQ(a.world.Rng.state, b.world.Rng.state) << "world " << w << ", forager " << slot;
    }
    ASSERT_EQ("", testing::DescribeDifference(a.world, b.world, a.seam, b.seam)) << "world " << w;
  }
}

}  // namespace
}  // namespace ombrivale
