#include "core/helpers.h"

#include <bit>
#include <chrono>
#include <ctime>

#include "core/numeric.h"

namespace ombrivale {

int NearestAnimal(const World& world, double x, double y, double best) {
  const double cellX = x / kTwipsPerPixel;
  const double cellY = y / kTwipsPerPixel;
  int chosen = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (animal.Alive != 1) continue;
    const double d = Distance(cellX, cellY, CellX(animal.X), CellY(animal.Y));
    if (d < best) {
      best = d;
      chosen = slot;
    }
  }
  return chosen;
}

void SetSeaLevel(World& world, int level) {
  world.SeaLevel = Saturate<int16_t>(level);
}

double ReadTimeOfDay(Clock& clock) {
  // The coarse clock is read without a system call. Its few milliseconds of
  // resolution are enough: a reseed mixes the reading into the state, so
  // draws within one reading still differ.
  timespec now{};
  clock_gettime(CLOCK_REALTIME_COARSE, &now);
  // Compared as now >= checked + 60 so the first reading (checked at
  // INT64_MIN) does not overflow.
  if (now.tv_sec < clock.midnightCheckedAt || now.tv_sec - 60 >= clock.midnightCheckedAt) {
    tm local{};
    localtime_r(&now.tv_sec, &local);
    const int64_t localSeconds = local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    clock.localMidnight = now.tv_sec - localSeconds;
    clock.midnightCheckedAt = now.tv_sec;
  }
  int64_t seconds = now.tv_sec - clock.localMidnight;
  if (seconds < 0 || seconds >= 86400) {  // midnight passed, or the clock was set
    clock.midnightCheckedAt = INT64_MIN;
    seconds = (seconds % 86400 + 86400) % 86400;
  }
  return static_cast<double>(seconds) + now.tv_nsec * 1e-9;
}

void UseVirtualClock(World& world, uint64_t seed) {
  world.RandomClock.isVirtual = true;
  world.RandomClock.virtualSeconds = static_cast<double>(seed % 86400u);
  world.Rng.state = seed ^ 0x9E3779B97F4A7C15ull;
  ReseedWith(world, static_cast<double>(seed));
}

void UseTimeOfDay(World& world) {
  world.RandomClock.isVirtual = false;
}

}  // namespace ombrivale
