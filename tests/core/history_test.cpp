#include "core/history.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace ombrivale {
namespace {

// Sample n (counting from 0) of a long run: one death of old age and two of
// hunger a month.
MonthSample Month(uint64_t n, bool restart = false) {
  MonthSample s;
  s.year = static_cast<int32_t>(n / 12);
  s.month = static_cast<int16_t>(n % 12 + 1);
  s.population = static_cast<int32_t>(n % 100000);
  s.deaths[static_cast<size_t>(Cause::OldAge)] = 1;
  s.deaths[static_cast<size_t>(Cause::Hunger)] = 2;
  s.restart = restart || n == 0;
  return s;
}

// The month (counting from 0) each point begins at.
std::vector<uint64_t> Starts(const History& h) {
  std::vector<uint64_t> starts;
  uint64_t month = 0;
  for (const MonthSample& s : h.samples) {
    starts.push_back(month);
    month += s.months;
  }
  return starts;
}

TEST(History, AFullHistoryDoublesItsGrainAndGathersEvenly) {
  History h;
  for (uint64_t n = 0; n < kHistoryCapacity; ++n)
    AppendSample(h, Month(n));
  ASSERT_EQ(kHistoryCapacity, h.samples.size());  // full, nothing gathered yet
  EXPECT_EQ(1u, h.grain);

  AppendSample(h, Month(kHistoryCapacity));
  ASSERT_EQ(kHistoryCapacity / 2 + 1, h.samples.size());
  EXPECT_EQ(2u, h.grain);
  // Samples 0 and 1 became one: the later one's state, both months' deaths,
  // the first one's restart.
  const MonthSample& first = h.samples.front();
  EXPECT_EQ(2u, first.months);
  EXPECT_EQ(1, first.population);
  EXPECT_EQ(2u, first.deaths[static_cast<size_t>(Cause::OldAge)]);
  EXPECT_EQ(4u, first.deaths[static_cast<size_t>(Cause::Hunger)]);
  EXPECT_TRUE(first.restart);
  EXPECT_FALSE(h.samples[1].restart);
  EXPECT_EQ(1u, h.samples.back().months);  // the newest begins the next point

  // The newest point gathers until it spans the grain.
  AppendSample(h, Month(kHistoryCapacity + 1));
  ASSERT_EQ(kHistoryCapacity / 2 + 1, h.samples.size());
  EXPECT_EQ(2u, h.samples.back().months);
  EXPECT_EQ(static_cast<int32_t>(kHistoryCapacity + 1), h.samples.back().population);
  EXPECT_EQ(static_cast<int32_t>(kHistoryCapacity + 1), h.newest.population);
  EXPECT_EQ(1u, h.newest.months);
  AppendSample(h, Month(kHistoryCapacity + 2));
  EXPECT_EQ(kHistoryCapacity / 2 + 2, h.samples.size());
}

TEST(History, ARestartAlwaysBeginsAPointOfItsOwn) {
  History h;
  h.grain = 4;
  const bool restarts[] = {true, false, false, true, false, false, false, false, false, true};
  for (uint64_t n = 0; n < std::size(restarts); ++n)
    AppendSample(h, Month(n, restarts[n]));
  // Points: 0-2 (cut short by the restart), 3-6, 7-8 (cut short), 9.
  ASSERT_EQ(4u, h.samples.size());
  EXPECT_EQ((std::vector<uint64_t>{0, 3, 7, 9}), Starts(h));
  EXPECT_EQ(3u, h.samples[0].months);
  EXPECT_EQ(4u, h.samples[1].months);
  EXPECT_TRUE(h.samples[1].restart);
  EXPECT_FALSE(h.samples[2].restart);
  EXPECT_TRUE(h.samples[3].restart);
  EXPECT_EQ(10u, h.recorded);
}

// Regression: a sample's months were 16 bits and clamped at 65,535, the
// older half merged pairwise so the first row swallowed most of the past
// (55,296 of 83,027 months), and a restart merged into the sample before it
// moved to that sample's end or vanished. Ten thousand years of months,
// pushed directly, with a restart every few decades.
TEST(History, TenThousandYearsKeepEveryMonthEveryRestartsPlaceAndAnEvenGrain) {
  constexpr uint64_t kMonths = 12 * 10000;
  History h;
  std::vector<uint64_t> restarts;
  uint64_t next = 0;
  for (uint64_t n = 0; n < kMonths; ++n) {
    const bool restart = n == next;
    if (restart) {
      restarts.push_back(n);
      next = n + 1 + (n * 7919 + 12345) % 1000;  // 1 to 1,000 months later
    }
    AppendSample(h, Month(n, restart));
    ASSERT_LE(h.samples.size(), kHistoryCapacity);
  }
  ASSERT_GT(restarts.size(), 100u);
  EXPECT_EQ(kMonths, h.recorded);

  uint64_t months = 0, hunger = 0;
  std::vector<uint64_t> restartPlaces;
  const std::vector<uint64_t> starts = Starts(h);
  for (size_t i = 0; i < h.samples.size(); ++i) {
    const MonthSample& s = h.samples[i];
    months += s.months;
    hunger += s.deaths[static_cast<size_t>(Cause::Hunger)];
    if (s.restart) restartPlaces.push_back(starts[i]);
  }
  EXPECT_EQ(kMonths, months);
  EXPECT_EQ(2 * kMonths, hunger);
  EXPECT_EQ(restarts, restartPlaces);  // every restart, at its month
  EXPECT_EQ(static_cast<int32_t>((kMonths - 1) % 100000), h.samples.back().population);

  // Even: every point spans the grain, but the newest and those a restart
  // cut short; neighbours within a factor of 2 where neither is cut short.
  EXPECT_EQ(16u, h.grain);
  EXPECT_GE(h.samples.size(), kHistoryCapacity / 2);
  EXPECT_LE(h.samples.front().months, h.grain);  // the first rows keep their share
  for (size_t i = 0; i + 1 < h.samples.size(); ++i) {
    const bool cutShort = h.samples[i + 1].restart;
    if (!cutShort) {
      EXPECT_EQ(h.grain, h.samples[i].months) << i;
    } else {
      EXPECT_LE(h.samples[i].months, h.grain) << i;
    }
  }
}

TEST(History, AWorldRestartingEveryMonthStillStaysWithinTheCapacity) {
  History h;
  for (uint64_t n = 0; n < 3 * kHistoryCapacity; ++n) {
    AppendSample(h, Month(n, true));
    ASSERT_LE(h.samples.size(), kHistoryCapacity);
  }
  uint64_t months = 0;
  for (const MonthSample& s : h.samples)
    months += s.months;
  EXPECT_EQ(3 * kHistoryCapacity, months);
  // The newest restarts keep their own points.
  EXPECT_EQ(1u, h.samples.back().months);
  EXPECT_EQ(1u, h.samples[h.samples.size() - 2].months);
}

TEST(History, SettlingReadPointsFindsTheirGrainAndGathersOlderFilesEvenly) {
  // A history as this program keeps it reads back as it was.
  History kept;
  for (uint64_t n = 0; n < 50000; ++n)
    AppendSample(kept, Month(n, n % 7001 == 0));
  History read;
  read.samples = kept.samples;
  read.recorded = kept.recorded;
  SettleHistory(read);
  EXPECT_EQ(kept.grain, read.grain);
  EXPECT_EQ(Starts(kept), Starts(read));
  // An older program's file: the first rows stood for most of the past,
  // the newer half month by month. Those rows stay (points are not split);
  // the rest gathers at the grain that keeps the months within the capacity.
  History old;
  uint64_t n = 0;
  for (const uint64_t months : {55296, 16384, 4096, 2048})
    old.samples.emplace_back(Month(n++)).months = months;
  for (int i = 0; i < 5203; ++i)
    old.samples.push_back(Month(n++));
  old.recorded = 55296 + 16384 + 4096 + 2048 + 5203;
  SettleHistory(old);
  EXPECT_EQ(16u, old.grain);
  ASSERT_EQ(4u + (5203 + 15) / 16, old.samples.size());
  EXPECT_EQ(55296u, old.samples[0].months);
  EXPECT_EQ(16u, old.samples[4].months);
  EXPECT_EQ(5203u % 16, old.samples.back().months);
  const std::vector<uint64_t> settled = Starts(old);
  SettleHistory(old);  // again: nothing changes
  EXPECT_EQ(settled, Starts(old));
  EXPECT_EQ(16u, old.grain);

  // More points than the capacity coarsen until they fit.
  History many;
  for (uint64_t m = 0; m < 3 * kHistoryCapacity; ++m)
    many.samples.push_back(Month(m));
  many.recorded = 3 * kHistoryCapacity;
  SettleHistory(many);
  EXPECT_EQ(4u, many.grain);
  EXPECT_EQ(3 * kHistoryCapacity / 4, many.samples.size());
}

}  // namespace
}  // namespace ombrivale
