// Small helpers for building worlds in tests.
#pragma once

#include <cstdint>

#include "core/seam.h"
#include "core/world.h"

namespace ombrivale::testing {

// A world with a recording seam, a display with the month names filled in
// and a virtual clock from `seed`. The map is all sky with no food.
struct TestWorld {
  explicit TestWorld(uint64_t seed = 1);
  TestWorld(const TestWorld&) = delete;
  TestWorld& operator=(const TestWorld&) = delete;

  // What the world posted, drained into the tally first; what the user is
  // told of it (a failed save's faults, a file refused) is shown through the
  // seam first, as the program does.
  EventTally& Events();

  World world;
  HeadlessSeam seam;
  Display display;
  EventTally tally;
};

// Sets every cell of rows y0..y1 (inclusive, all columns) to `terrain`.
void FillRows(World& world, int y0, int y1, int32_t terrain);

// An occupied slot holding an animal of the given stage at (x, y), hunger
// 100 and a full breath, with the genome a new world's founders get (gills,
// skin, scum sucker; both sets alike), recorded as a founder in the family
// record.
Animal& PutAnimal(World& world, int slot, int x, int y, int16_t stage = kStageAdult);

}  // namespace ombrivale::testing
