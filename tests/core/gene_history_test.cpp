#include "core/gene_history.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace ombrivale {
namespace {

// Month n of one gene: mean n % 50 over two animals, lowest one below, highest one above.
GeneStat Month(uint64_t n) {
  const int16_t value = static_cast<int16_t>(n % 50);
  return {static_cast<float>(value), static_cast<int16_t>(value - 1),
          static_cast<int16_t>(value + 1)};
}

void Append(GeneHistory& h, uint64_t n, uint32_t animals = 2) {
  const GeneStat stat = animals > 0 ? Month(n) : GeneStat{std::nanf(""), 0, 0};
  AppendGeneMonth(h, n, animals, std::span(&stat, 1));
}

TEST(GeneHistory, OneGrainThatDoublesWhenFullKeepingTheBandOfWhatMerges) {
  GeneHistory h;
  for (uint64_t n = 0; n < kGeneHistoryCapacity; ++n)
    Append(h, n);
  ASSERT_EQ(kGeneHistoryCapacity, h.records.size());
  EXPECT_EQ(1u, h.grain);

  Append(h, kGeneHistoryCapacity);  // full: every two records merge first
  ASSERT_EQ(kGeneHistoryCapacity / 2 + 1, h.records.size());
  EXPECT_EQ(2u, h.grain);
  EXPECT_EQ(1u, h.records[0].last);
  EXPECT_EQ(2u, h.records[0].months);
  EXPECT_EQ(4u, h.records[0].animals);
  EXPECT_FLOAT_EQ(0.5f, h.Values(0)[0].mean);
  EXPECT_EQ(-1, h.Values(0)[0].lowest);
  EXPECT_EQ(2, h.Values(0)[0].highest);

  // The newest record gathers a second month before the next one begins.
  Append(h, kGeneHistoryCapacity + 1);
  ASSERT_EQ(kGeneHistoryCapacity / 2 + 1, h.records.size());
  EXPECT_EQ(kGeneHistoryCapacity + 1, h.records.back().last);
  EXPECT_EQ(2u, h.records.back().months);

  // A month without animals adds its month and no value.
  Append(h, kGeneHistoryCapacity + 2, 0);
  Append(h, kGeneHistoryCapacity + 3, 0);
  EXPECT_TRUE(std::isnan(h.Values(h.records.size() - 1)[0].mean));
  Append(h, kGeneHistoryCapacity + 4);
  Append(h, kGeneHistoryCapacity + 5, 0);
  const GeneStat kept = h.Values(h.records.size() - 1)[0];
  EXPECT_FLOAT_EQ(static_cast<float>((kGeneHistoryCapacity + 4) % 50), kept.mean);

  // Three hundred years: the whole span, between half and all of the capacity,
  // every record but the newest at the one grain.
  for (uint64_t n = kGeneHistoryCapacity + 6; n < 3600; ++n)
    Append(h, n);
  uint64_t months = 0;
  for (const GeneRecord& record : h.records) {
    months += record.months;
    if (&record != &h.records.back()) {
      EXPECT_EQ(h.grain, record.months);
    }
  }
  EXPECT_EQ(3600u, months);
  EXPECT_EQ(16u, h.grain);
  EXPECT_GE(h.records.size(), kGeneHistoryCapacity / 2);
  EXPECT_LE(h.records.size(), kGeneHistoryCapacity);
  EXPECT_EQ(h.records.size(), h.values.size());
}

}  // namespace
}  // namespace ombrivale
