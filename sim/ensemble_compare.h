// Two ensembles compared: a treatment against a control, statistic by
// statistic, as an experiment asks "does the outcome differ by more than
// chance?".
//
// For each statistic, each seed gives one number (the value of a column of
// its statistics file at the end of its run or at a chosen year, or a total
// of the whole run such as its extinctions). The comparison reports both
// medians, the difference of the medians (second minus first) with a
// bootstrap confidence interval, and the two-sided p-value of the
// Mann-Whitney U test. Nothing here assumes the values are normal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/ensemble_summary.h"

namespace ombrivale {

// The median of `values` (the mean of the middle two of an even count);
// kNoValue when empty.
double Median(std::vector<double> values);

enum class RankTest : uint8_t {
  Auto,        // Exact for small samples without ties, else Asymptotic
  Exact,       // the exact distribution of U (ties make it approximate)
  Asymptotic,  // the normal approximation, with the tie correction of the
               // variance and the continuity correction of one half
};

struct RankTestResult {
  double u = kNoValue;  // U of the first sample: the pairs (a, b) with a > b, ties counting a half
  double p = kNoValue;  // two-sided
  bool exact = false;
};

// The Mann-Whitney U test of two independent samples (the Wilcoxon rank-sum
// test). `Auto` takes the exact distribution when there are no ties and
// either sample has at most 8 values. The p-value of the exact test is
// 2 P(U >= max(U1, U2)), of the normal approximation 2 P(Z >= z) with
// z = (max(U1, U2) - n1 n2 / 2 - 1/2) / sigma, both held to at most 1; the
// same conventions as SciPy's mannwhitneyu. Either sample empty: kNoValue.
RankTestResult MannWhitneyU(const std::vector<double>& a, const std::vector<double>& b,
                            RankTest method = RankTest::Auto);

struct Interval {
  double low = kNoValue;
  double high = kNoValue;
};

// The percentile bootstrap of median(b) - median(a): `resamples` times, both
// samples are drawn again with replacement (each to its own size) and the
// difference of their medians taken; the interval runs between the
// (1 - level) / 2 and (1 + level) / 2 percentiles of those differences
// (Percentile's interpolation). The draws come from a generator started from
// `seed`, so the same samples and seed give the same interval on every
// machine. Either sample empty: kNoValue.
Interval BootstrapMedianDifference(const std::vector<double>& a, const std::vector<double>& b,
                                   int resamples, uint64_t seed, double level = 0.95);

inline constexpr int kBootstrapResamples = 10000;
inline constexpr uint64_t kBootstrapSeed = 1;

// One statistic compared at one moment.
struct Comparison {
  std::string statistic;  // a column name, or a total: "extinctions", "deaths_hunger_total"
  int64_t year = -1;      // the year compared; -1: the end of the run
  size_t countA = 0;      // seeds with a value
  size_t countB = 0;
  double medianA = kNoValue;
  double medianB = kNoValue;
  double difference = kNoValue;  // medianB - medianA
  Interval interval;             // of the difference, 95 %
  double u = kNoValue;
  double p = kNoValue;
};

// Compares every statistic the two ensembles share, at the end of the runs
// and at each of `years` (row years x 12 of each seed's file: rows are
// months since its start). At the end: the last row's value of every column
// but year and month, then per seed the run's extinctions, restarts, deaths
// of each cause and lowest score (SeedOutcome). A seed without the row of a
// year is left out of that year's comparisons.
std::vector<Comparison> CompareEnsembles(const std::vector<SeedHistory>& a,
                                         const std::vector<SeedHistory>& b,
                                         const std::vector<int64_t>& years);

// "statistic,at,seeds_a,seeds_b,median_a,median_b,difference,ci_low,
// ci_high,u,p_value", then one line per comparison ("at" is "end" or the
// year); numbers with up to ten significant digits, empty when there is no
// value. Lines end in LF.
std::string ComparisonCsv(const std::vector<Comparison>& comparisons);

}  // namespace ombrivale
