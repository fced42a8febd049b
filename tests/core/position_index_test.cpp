#include "core/position_index.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/world.h"

namespace ombrivale {
namespace {

// The index's answer and the plain one: every slot in order, strictly within
// reach on both axes.
bool SameSlotsNear(World& world, int x, int y, int64_t reach) {
  std::vector<int16_t> plain;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& a = AnimalAt(world, slot);
    if (IsOccupied(a) && std::abs(a.X - x) < reach && std::abs(a.Y - y) < reach)
      plain.push_back(static_cast<int16_t>(slot));
  }
  std::vector<int16_t> out(kSlotCount);
  out.resize(
      static_cast<size_t>(world.positions.SlotsNear(world.Animals, x, y, reach, out.data())));
  return out == plain;
}

// Noted as the tick's move notes it (the position given) or read back.
void Place(World& world, int slot, int x, int y, bool given) {
  Animal& a = AnimalAt(world, slot);
  a.Alive = 1;
  a.X = static_cast<int16_t>(x);
  a.Y = static_cast<int16_t>(y);
  if (given) {
    NoteMoved(world, slot, a.X, a.Y);
  } else {
    NotePosition(world, slot);
  }
}

// Crowds, scattered animals and a few off the plane, moved, killed and born
// again at random: every query gives what the plain filter gives, in slot
// order, and the index stays whole. The reaches meet the crowd's animals
// exactly at the limit (strict on both axes), read a few squares, or so
// many that the slots are read one by one.
TEST(PositionIndex, SameAsThePlainFilterThroughMovesDeathsAndBirths) {
  std::mt19937 rng(2027);
  auto draw = [&rng](int low, int high) { return std::uniform_int_distribution(low, high)(rng); };
  const int64_t reaches[] = {0, 1, 30, 99, 256, 700, 2000, 12000, 40000};
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
      Place(world, draw(1, kSlotCount), x, y, false);  // filed at the first query
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
          Place(world, slot, x, y, draw(0, 1) == 0);
          break;
        default: {
          const int64_t reach = reaches[draw(0, 8)];
          ASSERT_TRUE(SameSlotsNear(world, x, y, reach))
              << "world " << w << " step " << step << " reach " << reach;
        }
      }
      ASSERT_TRUE(world.positions.Matches(world.Animals)) << "world " << w << " step " << step;
    }
  }
}

}  // namespace
}  // namespace ombrivale
