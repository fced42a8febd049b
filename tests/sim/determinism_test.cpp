#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>

#include "core/helpers.h"
#include "sim/tick.h"
#include "support/test_world.h"
#include "support/world_digest.h"

namespace ombrivale {
namespace {

using testing::FillRows;
using testing::PutAnimal;
using testing::TestWorld;
using testing::WorldDigest;

// A hand-made planet: sky above row 30, sea down to row 69, ground below,
// a ground pillar rising into the sky and an island, scum and plants in the
// sea and on the shore.
void BuildPlanet(World& world) {
  world.SeaLevel = 30;
  FillRows(world, 0, 29, kSky);
  FillRows(world, 30, 69, kWater);
  FillRows(world, 70, 100, kGround);
  for (int x = 100; x <= 105; ++x) {
    for (int y = 20; y <= 69; ++y)
      world.Map.At(kTerrainLayer, x, y) = kGround;
  }
  for (int x = 200; x <= 240; ++x) {
    for (int y = 25; y <= 40; ++y)
      world.Map.At(kTerrainLayer, x, y) = kGround;
  }
  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = 0; y <= kMapBottomRow; ++y) {
      const int32_t terrain = world.Map.At(kTerrainLayer, x, y);
      int32_t kind = kNoFood;
      if (terrain == kWater && (x + y) % 3 == 0) kind = y > 50 ? kAquaticVegetation : kSeaScum;
      if (terrain == kGround && y == 24 && x >= 200) kind = kLandVegetation;
      world.Map.At(kFoodKindLayer, x, y) = kind;
      world.Map.At(kFoodAmountLayer, x, y) = kind == kNoFood ? 0 : 10000;
      const uint32_t colour = terrain == kGround  ? Rgb(255, 255, 0)
                              : terrain == kWater ? Rgb(0, 0, 128)
                                                  : Rgb(128, 128, 255);
      world.display->MiniBak.Set(x, y, colour);
    }
  }
  world.Map.RebuildFoodIndex();
  world.Month = 1;
  world.GameStarted = 1;
  world.LogOn = 1;
  world.Filters = DeathFilters{true, true, true, true, true};
}

// A draw of 0..count-1 from the world's own generator.
int Pick(World& world, int count) {
  return static_cast<int>(Rnd(world) * count);
}

// A varied animal in `slot`: any stage, breathing method, covering and
// diet, mostly in the sea.
void PutVariedAnimal(World& world, int slot) {
  const int16_t stage = static_cast<int16_t>(Pick(world, 3) - 1);
  const int x = 100 + Pick(world, 31800);
  const int y = Pick(world, 10) == 0 ? 500 + Pick(world, 2000) : 3000 + Pick(world, 3900);
  Animal& a = PutAnimal(world, slot, x, y, stage);
  for (GeneSet& g : a.Genes) {
    g.Body.BreathingMethod = static_cast<uint8_t>(Pick(world, 10) < 7 ? 1 : Pick(world, 4));
    g.Body.Covering = static_cast<uint8_t>(Pick(world, 4));
    g.Head.Diet = static_cast<uint8_t>(Pick(world, 4));
    g.Head.MouthLength = static_cast<int16_t>(1 + Pick(world, 4));
    g.Body.Height = static_cast<int16_t>(1 + Pick(world, 10));
    g.Tail.Width = static_cast<int16_t>(1 + Pick(world, 5));
    g.Limb[1].LowerLength = static_cast<int16_t>(Pick(world, 4));
    g.Genitalia.LifeSpan = static_cast<int16_t>(3 + Pick(world, 15));
    g.Genitalia.AdultAge = static_cast<int16_t>(1 + Pick(world, 3));
    g.Genitalia.StartsBreeding = g.Genitalia.AdultAge;
    g.Genitalia.StopsBreeding = g.Genitalia.LifeSpan;
    g.Genitalia.YoungPerLitter = 1;  // small litters keep the table from filling up
  }
  a.Sex = static_cast<uint8_t>(Pick(world, 2));
  a.Hunger = static_cast<int16_t>(Pick(world, 900) - 200);
  a.AgeYears = static_cast<int16_t>(Pick(world, 6));
  a.EggTimer = static_cast<int16_t>(Pick(world, 6));
  a.Mode = static_cast<uint8_t>(Pick(world, 3));
  a.Breath = static_cast<int16_t>(Pick(world, 1000));
}

// Fills every free slot among 1..count with a fresh animal.
void Populate(World& world, int count) {
  for (int slot = 1; slot <= count; ++slot) {
    if (!IsOccupied(AnimalAt(world, slot))) PutVariedAnimal(world, slot);
  }
}

// Regression guard for the tick, the month step, the moves and the needs on
// their own: no animal forages, seeks a mate or sees a new year, so nothing
// outside them runs. A change of this digest is a change of behaviour.
TEST(Determinism, GoldenDigestOfTheTickAlone) {
  TestWorld t(20240501);
  World& world = t.world;
  BuildPlanet(world);
  for (int slot = 1; slot <= 200; ++slot) {
    PutVariedAnimal(world, slot);
    Animal& a = AnimalAt(world, slot);
    a.Mode = 0;
    a.Hunger = -20000;  // never hungry enough to forage in 200 ticks
  }
  for (int tick = 1; tick <= 200; ++tick)
    SimulationTick(world);
  ASSERT_EQ(7, world.Month);  // no year turn, no mating season

  const uint64_t digest = WorldDigest(world);
  constexpr uint64_t kGolden = 0xBE4971A034598E74;
  if (digest != kGolden) std::printf("golden digest: 0x%016" PRIX64 "\n", digest);
  EXPECT_EQ(kGolden, digest);
}

// 100,000 ticks (about 270 years) of a busy world with deaths of every
// kind; the population is topped up every 1000 ticks. Run under the
// sanitizers, and with the invariant checks after every tick.
TEST(Determinism, ALongRunStaysSound) {
  TestWorld t(77);
  t.tally.messageLimit = 1000;
  World& world = t.world;
  BuildPlanet(world);
  Populate(world, 80);
  for (int tick = 1; tick <= 100000; ++tick) {
    SimulationTick(world);
    if (tick % 1000 == 0) Populate(world, 80);
  }
  EXPECT_EQ(100000u, world.TickCount);
  EXPECT_EQ(268, world.Year);
  EXPECT_GT(world.DeathsByCause[static_cast<size_t>(Cause::OldAge)], 0u);
  EXPECT_GT(world.DeathsByCause[static_cast<size_t>(Cause::Hunger)], 0u);
  EXPECT_GT(world.DeathsByCause[static_cast<size_t>(Cause::Suffocation)], 0u);
  EXPECT_LE(world.display->DeathLog.size(), 499u);
}

}  // namespace
}  // namespace ombrivale
