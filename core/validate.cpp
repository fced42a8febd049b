#include "core/validate.h"

#include <cstdio>
#include <cstdlib>

namespace ombrivale {

namespace {

[[noreturn]] void Fail(const char* what, long long value) {
  std::fprintf(stderr, "Validate: %s (value %lld)\n", what, value);
  std::fflush(stderr);
  std::abort();
}

void Check(bool holds, const char* what, long long value) {
  if (!holds) Fail(what, value);
}

}  // namespace

void Validate(const World& world) {
  Check(world.Animals.size() == kSlotCount + 1, "animal table does not hold slots 0..750",
        static_cast<long long>(world.Animals.size()));
  for (int layer = 0; layer < 3; ++layer) {
    Check(world.Map.layers[layer].size() == kCellCount, "map layer has the wrong cell count",
          static_cast<long long>(world.Map.layers[layer].size()));
  }
  Check(world.MiniMap.pixels.size() == kCellCount, "MiniMap has the wrong pixel count",
        static_cast<long long>(world.MiniMap.pixels.size()));
  Check(world.MiniBak.pixels.size() == kCellCount, "MiniBak has the wrong pixel count",
        static_cast<long long>(world.MiniBak.pixels.size()));

  Check(world.SpeedCount <= 30, "SpeedCount reached 31 without a month step", world.SpeedCount);
  Check(world.AnimalCount >= 0 && world.AnimalCount <= kSlotCount, "AnimalCount outside 0..750",
        world.AnimalCount);
  Check(world.DeathLog.size() < 500, "death log holds 500 entries or more",
        static_cast<long long>(world.DeathLog.size()));

  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    if (animal.X < 0 || animal.X > kMaxX) {
      std::fprintf(stderr, "Validate: slot %d\n", slot);
      Fail("occupied slot's X outside 0..32000", animal.X);
    }
    if (animal.Y < 0 || animal.Y > kMaxY) {
      std::fprintf(stderr, "Validate: slot %d\n", slot);
      Fail("occupied slot's Y outside 0..10000", animal.Y);
    }
  }
}

}  // namespace ombrivale
