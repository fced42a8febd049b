#include "core/position_index.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/world.h"

namespace ombrivale {
namespace {

// The slots within reach on both axes, found the plain way.
std::vector<int16_t> PlainSlotsNear(const World& world, int x, int y, int64_t reach) {
  std::vector<int16_t> slots;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& a = AnimalAt(world, slot);
    if (IsOccupied(a) && std::abs(a.X - x) < reach && std::abs(a.Y - y) < reach)
      slots.push_back(static_cast<int16_t>(slot));
  }
  return slots;
}

std::vector<int16_t> SlotsNear(World& world, int x, int y, int64_t reach) {
  std::vector<int16_t> out(kSlotCount);
  out.resize(
      static_cast<size_t>(world.positions.SlotsNear(world.Animals, x, y, reach, out.data())));
  return out;
}

void Place(World& world, int slot, int x, int y) {
  Animal& a = AnimalAt(world, slot);
  a.Alive = 1;
  a.X = static_cast<int16_t>(x);
  a.Y = static_cast<int16_t>(y);
  NotePosition(world, slot);
}

TEST(PositionIndex, ReachIsStrictOnBothAxesAndSquareEdgesDoNotMatter) {
  struct Case {
    int x, y;    // the animal
    int qx, qy;  // the query
    int64_t reach;
    bool found;
  };
  const Case cases[] = {
      {255, 0, 256, 0, 2, true},   // across a square's edge
      {255, 0, 257, 0, 2, false},  // 2 away: not within 2
      {0, 0, 0, 0, 1, true},       // the same place
      {0, 0, 0, 0, 0, false},      // no reach at all
      {32000, 10000, 31745, 9745, 256, true},
      {-500, 300, 0, 300, 501, true},  // off the plane, filed at its edge
      {-500, 300, 0, 300, 500, false},
      {32767, 32767, 32000, 10000, 30000, true},
      {-32768, -32768, 32767, 32767, 70000, true},  // a reach past the plane
      {100, 100, 20000, 5000, 19000, false},        // far: the slots read one by one
  };
  for (const Case& c : cases) {
    World world;
    world.positions.Keep(world.Animals);
    Place(world, 9, c.x, c.y);
    const std::vector<int16_t> expected =
        c.found ? std::vector<int16_t>{9} : std::vector<int16_t>{};
    EXPECT_EQ(expected, SlotsNear(world, c.qx, c.qy, c.reach)) << c.x << "," << c.y;
    EXPECT_TRUE(world.positions.Matches(world.Animals));
  }
}

// Crowds, scattered animals and a few off the plane, moved, killed and born
// again at random: every query gives what the plain filter gives, in slot
// order, and the index stays whole.
TEST(PositionIndex, SameAsThePlainFilterThroughMovesDeathsAndBirths) {
  std::mt19937 rng(2027);
  auto draw = [&rng](int low, int high) { return std::uniform_int_distribution(low, high)(rng); };
  const int64_t reaches[] = {1, 30, 99, 256, 700, 2000, 12000, 40000};
  for (int w = 0; w < 20; ++w) {
    World world;
    const auto somewhere = [&](int& x, int& y) {
      const int where = draw(0, 9);
      x = where == 0 ? draw(-32768, 32767) : where < 5 ? 5000 + draw(-600, 600) : draw(0, 32000);
      y = where == 0 ? draw(-32768, 32767) : where < 5 ? 4000 + draw(-600, 600) : draw(0, 10000);
    };
    for (int n = draw(0, 750); n > 0; --n) {
      int x, y;
      somewhere(x, y);
      const int slot = draw(1, kSlotCount);
      AnimalAt(world, slot).Alive = 1;
      AnimalAt(world, slot).X = static_cast<int16_t>(x);
      AnimalAt(world, slot).Y = static_cast<int16_t>(y);
    }
    for (int step = 0; step < 300; ++step) {
      const int slot = draw(1, kSlotCount);
      int x, y;
      somewhere(x, y);
      switch (draw(0, 3)) {
        case 0:  // a death; the slot may stay filed
          AnimalAt(world, slot).Alive = 0;
          if (draw(0, 1) == 0) NotePosition(world, slot);
          break;
        case 1:  // a birth or a move
          Place(world, slot, x, y);
          break;
        default: {
          const int64_t reach = reaches[draw(0, 7)];
          ASSERT_EQ(PlainSlotsNear(world, x, y, reach), SlotsNear(world, x, y, reach))
              << "world " << w << " step " << step << " reach " << reach;
        }
      }
      ASSERT_TRUE(world.positions.Matches(world.Animals)) << "world " << w << " step " << step;
    }
  }
}

}  // namespace
}  // namespace ombrivale
