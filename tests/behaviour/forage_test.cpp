#include "behaviour/forage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

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

// A foraging adult with hunger 600 and a mouth for any food in cell (x, y).
Animal& PutForager(World& world, int slot, int x, int y, uint8_t diet, int16_t vision) {
  Animal& a = PutAnimal(world, slot, At(x), At(y));
  a.Mode = kModeForage;
  a.Hunger = 600;
  for (GeneSet& g : a.Genes) {
    g.Head.Diet = diet;
    g.Head.Vision.Distance = vision;
    g.Head.MouthLength = 4;
  }
  return a;
}

// The hunt compares the meat record, in cells, with prey distances in
// hundredths; a carnivore with vision 60 in cell (10, 10).
TEST(Forage, HuntingComparesTheMeatRecordInCellsWithHundredths) {
  struct Case {
    int meatDX;          // the nearest meat, columns away; -1: none
    int preyDX, preyDY;  // hundredths from the hunter's centre
    bool eaten;
    int hunger;
  };
  const Case cases[] = {
      {-1, 30, 40, true, 500},  // no meat: a prey 50 away in its own cell dies
      {-1, 55, 0, false, 500},  // 55 away in the next cell: it turns, still paying 100
      {-1, 60, 0, false, 600},  // not nearer than the vision
      {3, 2, 0, true, 500},     // meat 3 cells away: prey nearer than 3 hundredths only
      {3, 3, 0, false, 600},
      {0, 0, 0, false, 520},  // standing on meat: no prey at all, the meal only
  };
  for (const Case& c : cases) {
    TestWorld t;
    Animal& hunter = PutForager(t.world, 1, 10, 10, kCarnivorous, 60);
    if (c.meatDX >= 0) PutFood(t.world, 10 + c.meatDX, 10, kMeat);
    PutAnimal(t.world, 2, At(10) + c.preyDX, At(10) + c.preyDY);
    Forage(t.world, 1);
    EXPECT_EQ(c.eaten ? 0 : 1, AnimalAt(t.world, 2).Alive) << c.meatDX << " " << c.preyDX;
    EXPECT_EQ(c.eaten ? 1u : 0u, t.seam.beeps);
    EXPECT_EQ(c.hunger, hunter.Hunger) << c.meatDX << " " << c.preyDX;
  }
}

// The literal scan walks (2D + 1)^2 cells: a far sight is checked here alone.
TEST(Forage, FarSightFindsFoodAcrossTheMap) {
  for (const int16_t vision : {10000, 20000, 32767}) {
    TestWorld t;
    Animal& a = PutForager(t.world, 1, 300, 90, kScumSucker, vision);
    PutFood(t.world, 2, 3, kSeaScum);
    Forage(t.world, 1);
    EXPECT_EQ(-1, a.HeadingX) << vision;
    EXPECT_EQ(-1, a.HeadingY) << vision;
  }
}

// A forager remembers what it saw from its cell while no food in reach has
// appeared or gone. Each change below comes between two looks from the same
// cell; the second look must be the literal scan's.
TEST(Forage, ASightIsTakenAgainOnlyWhileTheFoodInReachIsUnchanged) {
  struct Case {
    int x, y;  // a cell whose food changes
    int32_t kind, amount;
  };
  const Case cases[] = {
      {53, 50, kLandVegetation, 0},     // the nearest land vegetation eaten out
      {49, 50, kLandVegetation, 100},   // land vegetation appears nearer
      {50, 44, kAquaticVegetation, 5},  // aquatic vegetation appears in the last row in reach
      {50, 43, kAquaticVegetation, 5},  // ...and beyond it: nothing seen changes
      {50, 50, kLandVegetation, 100},   // in the forager's own cell
      {40, 50, kMeat, 30},              // meat, which a herbivore does not look for
  };
  for (const Case& c : cases) {
    TestWorld t;
    PutForager(t.world, 1, 50, 50, kHerbivorous, 6);
    PutFood(t.world, 53, 50, kLandVegetation);
    PutFood(t.world, 46, 54, kAquaticVegetation);
    Forage(t.world, 1);
    PutFood(t.world, c.x, c.y, c.kind, c.amount);
    ASSERT_TRUE(testing::SameAsLiteral(t, Forage, testing::LiteralForage)) << c.x << "," << c.y;
  }
}

// Random worlds: food of every kind and amount, foragers of every diet,
// vision and mouth, in crowds (so the hunt finds prey), by the edges and off
// the map as a damaged file could leave them.
void RandomWorld(World& world, std::mt19937& rng) {
  auto draw = [&rng](int low, int high) { return std::uniform_int_distribution(low, high)(rng); };
  const int densities[] = {0, 10, 50, 300};  // per thousand cells
  const int density = densities[draw(0, 3)];
  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = 0; y <= kMapBottomRow; ++y) {
      if (draw(0, 999) >= density) continue;
      world.Map.At(kFoodKindLayer, x, y) = draw(0, 5);
      world.Map.At(kFoodAmountLayer, x, y) = draw(-12, 12);
    }
  }
  world.Map.RebuildFoodIndex();
  const int16_t visions[] = {-3, 0, 1, 2, 3, 5, 8, 13, 30, 60, 120, 200, 330, 420};
  const int edges[] = {0, 50, 99, 100, 150, 9950, 10000, 31950, 32000};
  const int cx = draw(0, 32000);
  const int cy = draw(0, 10000);
  for (int n = draw(1, 40); n > 0; --n) {
    const int where = draw(0, 4);  // 0: by an edge; 1: anywhere; else in the crowd
    const int x = where == 0   ? edges[draw(0, 8)]
                  : where == 1 ? draw(-600, 32767)
                               : cx + draw(-250, 250);
    const int y = where == 0   ? edges[draw(0, 6)]
                  : where == 1 ? draw(-600, 32767)
                               : cy + draw(-250, 250);
    Animal& a = PutAnimal(world, draw(1, kSlotCount), x, y, static_cast<int16_t>(draw(-1, 1)));
    a.Hunger = static_cast<int16_t>(draw(-200, 900));
    for (GeneSet& g : a.Genes) {
      g.Head.Diet = static_cast<uint8_t>(draw(0, 4));
      g.Head.Vision.Distance = visions[draw(0, 13)];
      g.Head.Vision.SensorExists = draw(0, 9) > 0 ? kTrue : kFalse;
      g.Head.MouthLength = static_cast<int16_t>(draw(0, 4));
    }
  }
}

// Between two looks: food appears or goes in the crowd's neighbourhood and
// some foragers step to a neighbouring cell, where another may have looked.
void ChangeAround(World& world, std::mt19937& rng) {
  auto draw = [&rng](int low, int high) { return std::uniform_int_distribution(low, high)(rng); };
  int cx = 0;
  int cy = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    Animal& a = AnimalAt(world, slot);
    if (!IsOccupied(a)) continue;
    cx = std::clamp(CellX(a.X), 0, kMapWidth - 1);
    cy = std::clamp(CellY(a.Y), 0, kMapBottomRow);
    if (draw(0, 2) == 0) {
      a.X = static_cast<int16_t>(a.X + 100 * draw(-1, 1));
      a.Y = static_cast<int16_t>(a.Y + 100 * draw(-1, 1));
      NotePosition(world, slot);
    }
  }
  for (int n = draw(0, 6); n > 0; --n) {
    const int x = std::clamp(cx + draw(-20, 20), 0, kMapWidth - 1);
    const int y = std::clamp(cy + draw(-20, 20), 0, kMapBottomRow);
    world.Map.At(kFoodKindLayer, x, y) = draw(0, 5);
    world.Map.At(kFoodAmountLayer, x, y) = draw(-2, 3);
    world.Map.NoteFoodChange(x, y);
  }
}

// Three looks a world: the later ones take sights kept by any forager's
// earlier look, from the same cell or not, and must still see what the
// literal scan sees.
TEST(Forage, SameAsTheLiteralScanOnRandomWorlds) {
  std::mt19937 rng(20261206);
  uint64_t kills = 0;
  for (int w = 0; w < 120; ++w) {
    TestWorld t(1000 + static_cast<uint64_t>(w));
    RandomWorld(t.world, rng);
    for (int look = 0; look < 3; ++look) {
      if (look > 0) ChangeAround(t.world, rng);
      t.seam.beeps = 0;
      ASSERT_TRUE(testing::SameAsLiteral(t, Forage, testing::LiteralForage))
          << "world " << w << ", look " << look;
      kills += t.seam.beeps;
    }
  }
  EXPECT_GT(kills, 20u);  // the crowds do hunt
}

}  // namespace
}  // namespace ombrivale
