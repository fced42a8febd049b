#include "sim/statistics.h"

#include <gtest/gtest.h>

#include <cmath>

#include "genetics/needs.h"
#include "sim/history_chart.h"
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

// Regression: an empty world's axis (0..1, five ticks, no decimals) read
// "0 0 0 1 1 1". Counts tick at whole numbers, rates and scores at round ones.
TEST(Statistics, ChartAxesTickAtRoundNumbersAndCountsAtWholeNumbers) {
  struct Case {
    double low, high;
    bool whole;
    AxisTicks expected;
  };
  const Case cases[] = {{0, 1, true, {0, 1, 1, 0}},        {0, 1, false, {0, 1, 0.2, 1}},
                        {0, 825, true, {0, 1000, 200, 0}}, {0, 0.055, false, {0, 0.06, 0.01, 2}},
                        {-12, 40, true, {-20, 40, 10, 0}}, {5, 5, true, {5, 6, 1, 0}}};
  for (const Case& c : cases) {
    const AxisTicks a = NiceAxis(c.low, c.high, c.whole);
    const AxisTicks& e = c.expected;
    EXPECT_NEAR(
        0, std::abs(a.low - e.low) + std::abs(a.high - e.high) + std::abs(a.interval - e.interval),
        1e-12)
        << c.high;
    EXPECT_EQ(e.decimals, a.decimals) << c.high;
  }
  std::string whole;
  for (const ChartPage& page : ChartPages())
    whole += IsWholeNumberPage(page) ? std::string(page.title) + ' ' : "";
  EXPECT_EQ("Population Diet Breathing Covering Species Generations ", whole);
}

}  // namespace
}  // namespace ombrivale
