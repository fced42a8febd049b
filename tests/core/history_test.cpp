#include "core/history.h"

#include <gtest/gtest.h>

namespace ombrivale {
namespace {

// Sample n (counting from 0) of a long run: one death of old age and two of
// hunger a month.
MonthSample Month(uint32_t n) {
  MonthSample s;
  s.year = static_cast<int32_t>(n / 12);
  s.month = static_cast<int16_t>(n % 12 + 1);
  s.population = static_cast<int32_t>(n);
  s.deaths[static_cast<size_t>(Cause::OldAge)] = 1;
  s.deaths[static_cast<size_t>(Cause::Hunger)] = 2;
  s.restart = n == 0;
  return s;
}

TEST(History, AFullHistoryMergesItsOlderHalfPairwiseKeepingTheWholeSpan) {
  History h;
  for (uint32_t n = 0; n < kHistoryCapacity; ++n)
    AppendSample(h, Month(n));
  ASSERT_EQ(kHistoryCapacity, h.samples.size());  // full, nothing merged yet

  AppendSample(h, Month(kHistoryCapacity));
  const size_t half = kHistoryCapacity / 2;
  ASSERT_EQ(half / 2 + half + 1, h.samples.size());
  // Samples 0 and 1 became one: the later one's state, both months' deaths.
  const MonthSample& first = h.samples.front();
  EXPECT_EQ(2, first.months);
  EXPECT_EQ(1, first.population);
  EXPECT_EQ(2u, first.deaths[static_cast<size_t>(Cause::OldAge)]);
  EXPECT_EQ(4u, first.deaths[static_cast<size_t>(Cause::Hunger)]);
  EXPECT_TRUE(first.restart);  // a restart is never merged away
  EXPECT_EQ(static_cast<int32_t>(half - 1), h.samples[half / 2 - 1].population);
  // The newer half keeps its full grain.
  EXPECT_EQ(1, h.samples[half / 2].months);
  EXPECT_EQ(static_cast<int32_t>(half), h.samples[half / 2].population);

  // Three thousand years: the whole span kept, older samples coarser.
  const uint32_t months = 12 * 3000;
  for (uint32_t n = kHistoryCapacity + 1; n < months; ++n)
    AppendSample(h, Month(n));
  EXPECT_EQ(months, h.recorded);
  ASSERT_LE(h.samples.size(), kHistoryCapacity);
  uint64_t spanned = 0, hunger = 0;
  for (size_t i = 0; i < h.samples.size(); ++i) {
    const MonthSample& s = h.samples[i];
    spanned += s.months;
    hunger += s.deaths[static_cast<size_t>(Cause::Hunger)];
    if (i > 0) {
      EXPECT_LE(s.months, h.samples[i - 1].months) << i;  // older: coarser or the same
    }
    if (i + kHistoryCapacity / 2 >= h.samples.size()) {
      EXPECT_EQ(1, s.months) << i;
    }
  }
  EXPECT_EQ(months, spanned);
  EXPECT_EQ(2u * months, hunger);
  EXPECT_EQ(static_cast<int32_t>(months - 1), h.samples.back().population);
}

}  // namespace
}  // namespace ombrivale
