#include "sim/statistics.h"

#include <gtest/gtest.h>

#include "genetics/needs.h"
#include "sim/tick.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

constexpr size_t kHunger = static_cast<size_t>(Cause::Hunger);

TEST(Statistics, OneSampleAMonthWithItsDeathsAndRestartsFlagged) {
  testing::TestWorld t;
  World& world = t.world;
  testing::FillRows(world, 0, 100, kWater);
  world.Year = 4;
  world.Month = 5;
  world.GameStarted = 1;
  for (int slot = 1; slot <= 3; ++slot)
    testing::PutAnimal(world, slot, 5050, 5050);
  RecordSample(world);
  const std::vector<MonthSample>& samples = world.history.samples;
  ASSERT_EQ(1u, samples.size());
  EXPECT_EQ(3, samples[0].adults);

  KillAnimal(world, 2, Cause::Hunger);
  for (int tick = 1; tick <= 30; ++tick)
    SimulationTick(world);
  RecordSampleIfMonthChanged(world);  // no month step yet: nothing
  ASSERT_EQ(1u, samples.size());
  SimulationTick(world);
  ASSERT_EQ(2u, samples.size());
  EXPECT_EQ(6, samples[1].month);
  EXPECT_EQ(2, samples[1].population);
  EXPECT_EQ(1u, samples[1].deaths[kHunger]);
  EXPECT_FALSE(samples[1].restart);
  for (int tick = 1; tick <= 31 * 7; ++tick)
    SimulationTick(world);
  ASSERT_EQ(9u, samples.size());
  EXPECT_EQ(5, samples.back().year);
  EXPECT_EQ(1, samples.back().month);
  EXPECT_EQ(0u, samples.back().deaths[kHunger]);  // counted once only

  // An empty world restarts: the new world's first sample says so.
  for (int slot = 1; slot <= 3; ++slot)
    AnimalAt(world, slot).Alive = 0;
  world.AnimalCount = 0;
  world.AutoRestart = 1;
  SimulationTick(world);
  ASSERT_EQ(10u, samples.size());
  EXPECT_TRUE(samples.back().restart);
  EXPECT_EQ(0, samples.back().year);
  EXPECT_EQ(2, samples.back().month);
  EXPECT_EQ(2, samples.back().eggs);
  for (int tick = 1; tick <= 31; ++tick)
    SimulationTick(world);
  ASSERT_EQ(11u, samples.size());
  EXPECT_FALSE(samples.back().restart);
  EXPECT_EQ(11u, world.history.recorded);
}

}  // namespace
}  // namespace ombrivale
