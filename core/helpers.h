// Cell mapping, distance and the world's random generator.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "core/world.h"

namespace ombrivale {

// |floor(q)| capped at `cap`, for q = position / 100 computed in floating
// point. The floor is taken by truncation and a correction, which costs a
// fraction of std::floor without SSE4.1; anything beyond +-1e9 cells (and
// NaN) is far off the map and gives the cap.
inline int FoldedCell(double q, int cap) {
  if (!(q > -1e9 && q < 1e9)) return cap;
  int f = static_cast<int>(q);
  if (static_cast<double>(f) > q) --f;
  const int c = f < 0 ? -f : f;
  return c > cap ? cap : c;
}

// Column of a whole position (the stored X) in hundredths of a cell:
// |floor(x / 100)| capped at 320, without floating point, since the per-tick
// code maps thousands of positions to cells. Positions left of the map fold
// back (-1 and -100 give 1, -101 gives 2).
inline int CellX(int x) {
  // Unsigned division of the usual, non-negative position: a multiply and a
  // shift, without the signed quotient's correction.
  const int c = x >= 0 ? static_cast<int>(static_cast<unsigned>(x) / 100u) : -(x + 1) / 100 + 1;
  return c > 320 ? 320 : c;
}
// Row of a whole position: |floor(y / 100)| capped at 100.
inline int CellY(int y) {
  const int c = y >= 0 ? static_cast<int>(static_cast<unsigned>(y) / 100u) : -(y + 1) / 100 + 1;
  return c > 100 ? 100 : c;
}

// The same for any position. A whole number (most moves are whole steps)
// takes the integer way: x / 100 in floating point is never rounded across
// a whole number there.
inline int CellX(double x) {
  if (x > -2e9 && x < 2e9 && static_cast<double>(static_cast<int>(x)) == x) {
    return CellX(static_cast<int>(x));
  }
  return FoldedCell(x / 100.0, 320);
}
inline int CellY(double y) {
  if (y > -2e9 && y < 2e9 && static_cast<double>(static_cast<int>(y)) == y) {
    return CellY(static_cast<int>(y));
  }
  return FoldedCell(y / 100.0, 100);
}

inline double Distance(double x1, double y1, double x2, double y2) {
  const double dx = std::fabs(x2 - x1);
  const double dy = std::fabs(y2 - y1);
  return std::sqrt(dx * dx + dy * dy);
}

double ReadTimeOfDay(Clock& clock);

// The living animal nearest the point (x, y) in twips, measured between
// cells (x / 15, y / 15) and each animal's cell, if nearer than `best`
// cells; equal distances keep the lower slot; 0 when none is.
int NearestAnimal(const World& world, double x, double y, double best);

// The sea level a user sets (Play God), held to its field's range.
void SetSeaLevel(World& world, int level);

// Seconds since midnight with a fraction: the time of day, or the virtual
// clock's next reading.
inline double ReadClock(World& world) {
  Clock& clock = world.RandomClock;
  if (!clock.isVirtual) return clock.held ? clock.heldReading : ReadTimeOfDay(clock);
  clock.virtualSeconds += clock.step;
  if (clock.virtualSeconds >= 86400.0) clock.virtualSeconds -= 86400.0;
  return clock.virtualSeconds;
}

// Starts the world's virtual clock from a seed: from then on the run depends
// only on the seed and the starting world.
void UseVirtualClock(World& world, uint64_t seed);
void UseTimeOfDay(World& world);

// The state after `value` is mixed into `state`: the reading's bits xored
// in, then one multiply by an odd constant, which carries every bit into the
// bits above it, and a rotation by half, which brings the best mixed upper
// half down for the next multiply to carry on. For a given reading this is a
// one-to-one map of the state, so a reseed never merges two states. A draw's
// bits go through splitmix64's finaliser (DrawnBits), so the reseed only has
// to keep the states apart and stirred, not to look random itself. It is
// kept this short on purpose: a tick's thousands of reseeds form one chain,
// each waiting on the one before, and two multiplies a link made that chain
// a floor of the tick. `scripts/random-battery` runs dieharder over the draws
// as the tick makes them.
inline uint64_t MixedState(uint64_t state, double value) {
  const uint64_t z = (state ^ std::bit_cast<uint64_t>(value)) * 0xFF51AFD7ED558CCDull;
  return std::rotl(z, 32);
}

// Mixes `value` into the generator's state.
inline void ReseedWith(World& world, double value) {
  world.Rng.state = MixedState(world.Rng.state, value);
}

// Reseeds the generator from the clock; done at the start of every operation
// that draws (the tick's animal step, foraging, mating, mutation, new world).
inline void Reseed(World& world) {
  ReseedWith(world, ReadClock(world));
}

// The generator's step between draws; a draw's bits are the new state mixed.
inline constexpr uint64_t kRandomStep = 0x9E3779B97F4A7C15ull;
inline uint64_t DrawnBits(uint64_t state) {
  uint64_t z = state;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// The next draw's 64 bits (splitmix64: one add and three multiply-xorshifts),
// of which Rnd keeps the top 53.
inline uint64_t RndBits(World& world) {
  return DrawnBits(world.Rng.state += kRandomStep);
}

// The next uniform number on [0, 1).
inline double Rnd(World& world) {
  return static_cast<double>(RndBits(world) >> 11) * 0x1.0p-53;
}

// -1 or +1 with equal chance; reseeds first. The rule draws r on [0, 1) and
// takes k = floor(r x 10): 0..4 give -1, 5..9 give +1. r x 10 rounds below 5
// exactly when r < 1/2, that is when the draw's top bit is clear, so the sign
// is read from that bit without the floating-point round trip.
inline int16_t RandomSign(World& world) {
  Reseed(world);
  return (RndBits(world) >> 63) != 0 ? 1 : -1;
}

// RandomSign's effect on the generator without its result: for a sign the
// rule draws but never reads, so that the draws after it stay the same.
inline void SkipRandomSign(World& world) {
  Reseed(world);
  world.Rng.state += kRandomStep;
}

// `reseeds` reseeds, then `signs` (at most 32) RandomSign draws, each
// reseeding first: the states and draws of those calls one after another.
// Sign k is +1 when bit k of the result is set; a sign whose bit in `read`
// is clear is stepped past (SkipRandomSign) and reads as -1. On the virtual
// clock the generator and the clock stay in locals for the whole run rather
// than going back to the world between calls.
inline uint32_t ReseedAndDrawSigns(World& world, int reseeds, int signs, uint32_t read) {
  Clock& clock = world.RandomClock;
  uint32_t bits = 0;
  if (!clock.isVirtual) {
    for (int i = 0; i < reseeds; ++i)
      Reseed(world);
    for (int k = 0; k < signs; ++k) {
      if ((read >> k) & 1u) {
        bits |= static_cast<uint32_t>(RandomSign(world) > 0) << k;
      } else {
        SkipRandomSign(world);
      }
    }
    return bits;
  }
  double seconds = clock.virtualSeconds;
  const double step = clock.step;
  uint64_t state = world.Rng.state;
  // ReadClock and ReseedWith as locals.
  const auto reseed = [&] {
    seconds += step;
    if (seconds >= 86400.0) seconds -= 86400.0;
    state = MixedState(state, seconds);
  };
  for (int i = 0; i < reseeds; ++i)
    reseed();
  for (int k = 0; k < signs; ++k) {
    reseed();
    state += kRandomStep;
    if ((read >> k) & 1u) bits |= static_cast<uint32_t>(DrawnBits(state) >> 63) << k;
  }
  clock.virtualSeconds = seconds;
  world.Rng.state = state;
  return bits;
}

// Holds the time of day for the length of a tick (see Clock::held).
inline void HoldClock(World& world) {
  Clock& clock = world.RandomClock;
  if (clock.isVirtual) return;
  clock.held = false;
  clock.heldReading = ReadTimeOfDay(clock);
  clock.held = true;
}
inline void ReleaseClock(World& world) {
  world.RandomClock.held = false;
}

}  // namespace ombrivale
