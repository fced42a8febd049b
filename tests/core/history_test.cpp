#include "core/history.h"

#include <gtest/gtest.h>

#include <tuple>

namespace ombrivale {
namespace {

constexpr size_t kHunger = static_cast<size_t>(Cause::Hunger);

// Month n (from 0) of a long run: two deaths of hunger a month.
MonthSample Month(uint64_t n, bool restart = false) {
  MonthSample s;
  s.year = static_cast<int32_t>(n / 12);
  s.month = static_cast<int16_t>(n % 12 + 1);
  s.population = static_cast<int32_t>(n % 100000);
  s.deaths[kHunger] = 2;
  s.restart = restart || n == 0;
  return s;
}

// The month (from 0) each point begins at.
std::vector<uint64_t> Starts(const History& h) {
  std::vector<uint64_t> starts;
  uint64_t month = 0;
  for (const MonthSample& s : h.samples) {
    starts.push_back(month);
    month += s.months;
  }
  return starts;
}

TEST(History, AFullHistoryDoublesItsGrainAndTheNewestPointGathersUpToIt) {
  History h;
  for (uint64_t n = 0; n <= kHistoryCapacity; ++n)
    AppendSample(h, Month(n));
  ASSERT_EQ(kHistoryCapacity / 2 + 1, h.samples.size());  // 8,192 held, then the grain doubled
  EXPECT_EQ(2u, h.grain);
  // Months 0 and 1 became one point: the later state, both months' deaths,
  // the first one's restart.
  const MonthSample& first = h.samples[0];
  EXPECT_EQ(std::tie(first.months, first.population, first.deaths[kHunger], first.restart),
            std::make_tuple(uint64_t{2}, 1, uint32_t{4}, true));
  AppendSample(h, Month(kHistoryCapacity + 1));  // gathered into the newest point
  EXPECT_EQ(kHistoryCapacity / 2 + 1, h.samples.size());
  EXPECT_EQ(static_cast<int32_t>(kHistoryCapacity + 1), h.samples.back().population);
  EXPECT_EQ(1u, h.newest.months);  // as taken
}

// Regression: a sample's months were 16 bits and clamped at 65,535, the
// older half merged pairwise so the first row swallowed most of the past
// (55,296 of 83,027 months), and a restart merged into the sample before it
// moved to that sample's end or vanished. Ten thousand years of months,
// pushed directly, with a restart every 1 to 1,000 months: the first points
// keep their share as every other does.
TEST(History, TenThousandYearsKeepEveryMonthEveryRestartsPlaceAndAnEvenGrain) {
  constexpr uint64_t kMonths = 12 * 10000;
  History h;
  std::vector<uint64_t> restarts;
  for (uint64_t n = 0, next = 0; n < kMonths; ++n) {
    if (n == next) {
      restarts.push_back(n);
      next = n + 1 + (n * 7919 + 12345) % 1000;
    }
    AppendSample(h, Month(n, restarts.back() == n));
    ASSERT_LE(h.samples.size(), kHistoryCapacity);
  }
  uint64_t months = 0;
  std::vector<uint64_t> places;
  const std::vector<uint64_t> starts = Starts(h);
  for (size_t i = 0; i < h.samples.size(); ++i) {
    months += h.samples[i].months;
    if (h.samples[i].restart) places.push_back(starts[i]);
    // Every point spans the grain but the newest and those a restart cut short.
    if (i + 1 < h.samples.size() && !h.samples[i + 1].restart) {
      EXPECT_EQ(h.grain, h.samples[i].months) << i;
    }
  }
  EXPECT_EQ(kMonths, months);
  EXPECT_GT(restarts.size(), 100u);
  EXPECT_EQ(restarts, places);  // every restart, at its month
  EXPECT_EQ(16u, h.grain);

  // A world restarting every month still stays within the capacity.
  History crowded;
  for (uint64_t n = 0; n < 3 * kHistoryCapacity; ++n)
    AppendSample(crowded, Month(n, true));
  EXPECT_LE(crowded.samples.size(), kHistoryCapacity);
}

TEST(History, PointsReadBackSettleAtTheGrainTheirMonthsFit) {
  // An older program's file: first rows of most of the past, then month by
  // month. Those rows stay (points are not split); the rest gathers at the
  // grain that fits 83,027 months into the capacity; again, nothing changes.
  History old;
  uint64_t n = 0;
  for (const uint64_t months : {55296, 16384, 4096, 2048})
    old.samples.emplace_back(Month(n++)).months = months;
  for (int i = 0; i < 5203; ++i)
    old.samples.push_back(Month(n++));
  old.recorded = 83027;
  SettleHistory(old);
  EXPECT_EQ(16u, old.grain);
  ASSERT_EQ(4u + 326, old.samples.size());
  EXPECT_EQ(55296u + 16, old.samples[0].months + old.samples[4].months);
  const std::vector<uint64_t> settled = Starts(old);
  SettleHistory(old);
  EXPECT_EQ(settled, Starts(old));
}

}  // namespace
}  // namespace ombrivale
