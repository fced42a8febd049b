#include "core/helpers.h"

#include <bit>
#include <chrono>
#include <ctime>

namespace ombrivale {

double ReadClock(World& world) {
  Clock& clock = world.RandomClock;
  if (clock.isVirtual) {
    clock.virtualSeconds += clock.step;
    if (clock.virtualSeconds >= 86400.0) clock.virtualSeconds -= 86400.0;
    return clock.virtualSeconds;
  }
  // The coarse clock is read without a system call. Its few milliseconds of
  // resolution are enough: a reseed mixes the reading into the state, so
  // draws within one reading still differ.
  timespec now{};
  clock_gettime(CLOCK_REALTIME_COARSE, &now);
  // Compared as now >= checked + 60 so the first reading (checked at
  // INT64_MIN) does not overflow.
  if (now.tv_sec < clock.offsetCheckedAt || now.tv_sec - 60 >= clock.offsetCheckedAt) {
    tm local{};
    localtime_r(&now.tv_sec, &local);
    clock.utcOffsetSeconds = local.tm_gmtoff;
    clock.offsetCheckedAt = now.tv_sec;
  }
  const int64_t seconds = ((now.tv_sec + clock.utcOffsetSeconds) % 86400 + 86400) % 86400;
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

void ReseedWith(World& world, double value) {
  uint64_t z = world.Rng.state ^ std::bit_cast<uint64_t>(value);
  z = (z ^ (z >> 33)) * 0xFF51AFD7ED558CCDull;
  z = (z ^ (z >> 33)) * 0xC4CEB9FE1A85EC53ull;
  world.Rng.state = z ^ (z >> 33);
}

int16_t RandomSign(World& world) {
  Reseed(world);
  const int k = static_cast<int>(Rnd(world) * 10.0);
  return k <= 4 ? -1 : 1;
}

}  // namespace ombrivale
