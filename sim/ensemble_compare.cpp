#include "sim/ensemble_compare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numeric>

namespace ombrivale {
namespace {

// The exact distribution is counted in a table of (size of b + 1) x (U's
// range); past this many pairs the normal approximation is as good and far
// cheaper.
constexpr double kExactPairLimit = 10000;
constexpr size_t kExactAutoSize = 8;
constexpr int kMonthsPerYear = 12;

// SplitMix64: small, fast and the same on every machine.
struct SplitMix {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n) without the bias of a plain modulo.
  size_t Below(size_t n) {
    const uint64_t bound = static_cast<uint64_t>(n);
    const uint64_t reject = (0 - bound) % bound;  // 2^64 mod n
    uint64_t x = Next();
    while (x < reject)
      x = Next();
    return static_cast<size_t>(x % bound);
  }
};

double MedianOfSorted(const std::vector<double>& sorted) {
  const size_t n = sorted.size();
  return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

// The median of `count` draws with replacement from `values`, into `scratch`.
double ResampledMedian(const std::vector<double>& values, SplitMix& random,
                       std::vector<double>& scratch) {
  scratch.resize(values.size());
  for (double& x : scratch)
    x = values[random.Below(values.size())];
  const size_t n = scratch.size();
  const auto middle = scratch.begin() + static_cast<std::ptrdiff_t>(n / 2);
  std::nth_element(scratch.begin(), middle, scratch.end());
  if (n % 2 == 1) return *middle;
  const double upper = *middle;
  const double lower = *std::max_element(scratch.begin(), middle);
  return (lower + upper) / 2;
}

// P(U >= k) for samples of sizes m and n without ties: the share of the
// C(m + n, m) orderings whose U is at least k. c[j][u] counts the orderings
// of i values of the first sample and j of the second with U = u; the
// largest value is either the first sample's (adding j to U) or not.
double ExactUpperTail(size_t m, size_t n, double k) {
  const size_t range = m * n;
  std::vector<std::vector<double>> c(n + 1, std::vector<double>(range + 1, 0));
  for (size_t j = 0; j <= n; ++j)
    c[j][0] = 1;  // i = 0: one ordering, U = 0
  for (size_t i = 1; i <= m; ++i) {
    // c[j] still holds row i - 1 until it is rewritten; c[j - 1] already
    // holds row i.
    for (size_t j = 0; j <= n; ++j) {
      std::vector<double> next(range + 1, 0);
      for (size_t u = 0; u <= range; ++u) {
        const double fromFirst = u >= j ? c[j][u - j] : 0;
        const double fromSecond = j > 0 ? c[j - 1][u] : 0;
        next[u] = fromFirst + fromSecond;
      }
      c[j] = std::move(next);
    }
  }
  const std::vector<double>& counts = c[n];
  const double total = std::accumulate(counts.begin(), counts.end(), 0.0);
  double tail = 0;
  for (size_t u = 0; u <= range; ++u) {
    if (static_cast<double>(u) >= k) tail += counts[u];
  }
  return tail / total;
}

void AppendNumber(std::string& out, double value) {
  if (std::isnan(value)) return;
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  out += text;
}

// Every seed's value of one statistic, NaN where it has none.
using SeedValues = std::vector<double>;
// Statistic name to the values of the seeds, in the order met.
struct Statistics {
  std::vector<std::string> names;
  std::map<std::string, SeedValues> values;
  void Add(const std::string& name, double value) {
    auto [at, added] = values.try_emplace(name);
    if (added) names.push_back(name);
    at->second.push_back(value);
  }
};

// The statistics of one ensemble at the end (year -1) or at `year`.
Statistics StatisticsAt(const std::vector<SeedHistory>& seeds, int64_t year) {
  Statistics s;
  std::vector<std::string> deathColumns;
  for (const SeedHistory& seed : seeds) {
    for (const std::string& name : seed.table.columns) {
      if (name.rfind("deaths_", 0) == 0 &&
          std::find(deathColumns.begin(), deathColumns.end(), name) == deathColumns.end()) {
        deathColumns.push_back(name);
      }
    }
  }
  for (size_t i = 0; i < seeds.size(); ++i) {
    const HistoryTable& table = seeds[i].table;
    const bool atEnd = year < 0;
    const size_t row = atEnd ? table.rows.size() - 1 : static_cast<size_t>(year) * kMonthsPerYear;
    for (size_t c = 0; c < table.columns.size(); ++c) {
      const std::string& name = table.columns[c];
      if (name == "year" || name == "month") continue;
      s.Add(name, row < table.rows.size() ? table.rows[row][c] : kNoValue);
    }
    if (!atEnd) continue;
    const SeedOutcome o = OutcomeOf(seeds[i].seed, table, deathColumns);
    s.Add("extinctions", o.extinctions);
    s.Add("restarts", o.restarts);
    for (size_t d = 0; d < deathColumns.size(); ++d)
      s.Add(deathColumns[d] + "_total", o.deaths[d]);
    s.Add("lowest_score_reached", o.lowestScore);
  }
  // A seed that lacks a column has no value in it.
  for (auto& [name, values] : s.values)
    values.resize(seeds.size(), kNoValue);
  return s;
}

std::vector<double> Present(const SeedValues& values) {
  std::vector<double> out;
  for (const double v : values) {
    if (!std::isnan(v)) out.push_back(v);
  }
  return out;
}

}  // namespace

double Median(std::vector<double> values) {
  if (values.empty()) return kNoValue;
  std::sort(values.begin(), values.end());
  return MedianOfSorted(values);
}

RankTestResult MannWhitneyU(const std::vector<double>& a, const std::vector<double>& b,
                            RankTest method) {
  RankTestResult result;
  const size_t m = a.size();
  const size_t n = b.size();
  if (m == 0 || n == 0) return result;
  // Mid-ranks of the pooled values, and the tie term sum(t^3 - t).
  std::vector<std::pair<double, size_t>> pooled;  // (value, 0 for a / 1 for b)
  for (const double x : a)
    pooled.emplace_back(x, 0);
  for (const double x : b)
    pooled.emplace_back(x, 1);
  std::sort(pooled.begin(), pooled.end());
  double rankSumA = 0;
  double tieTerm = 0;
  for (size_t i = 0; i < pooled.size();) {
    size_t j = i;
    while (j < pooled.size() && pooled[j].first == pooled[i].first)
      ++j;
    const double rank = (static_cast<double>(i + 1) + static_cast<double>(j)) / 2;
    for (size_t k = i; k < j; ++k) {
      if (pooled[k].second == 0) rankSumA += rank;
    }
    const double t = static_cast<double>(j - i);
    tieTerm += t * t * t - t;
    i = j;
  }
  const double dm = static_cast<double>(m);
  const double dn = static_cast<double>(n);
  const double u1 = rankSumA - dm * (dm + 1) / 2;
  const double u2 = dm * dn - u1;
  const double larger = std::max(u1, u2);
  result.u = u1;

  const bool ties = tieTerm > 0;
  const bool small = std::min(m, n) <= kExactAutoSize;
  bool exact = method == RankTest::Exact || (method == RankTest::Auto && small && !ties);
  if (dm * dn > kExactPairLimit) exact = false;
  result.exact = exact;
  if (exact) {
    result.p = std::min(1.0, 2 * ExactUpperTail(m, n, std::floor(larger)));
    return result;
  }
  const double total = dm + dn;
  const double variance = dm * dn / 12 * ((total + 1) - tieTerm / (total * (total - 1)));
  if (!(variance > 0)) {
    result.p = 1;  // every value the same: nothing tells the samples apart
    return result;
  }
  const double z = (larger - dm * dn / 2 - 0.5) / std::sqrt(variance);
  result.p = std::min(1.0, std::erfc(z / std::sqrt(2.0)));  // 2 x the upper tail
  return result;
}

Interval BootstrapMedianDifference(const std::vector<double>& a, const std::vector<double>& b,
                                   int resamples, uint64_t seed, double level) {
  Interval interval;
  if (a.empty() || b.empty() || resamples <= 0) return interval;
  SplitMix random{seed};
  std::vector<double> differences;
  differences.reserve(static_cast<size_t>(resamples));
  std::vector<double> scratch;
  for (int r = 0; r < resamples; ++r) {
    const double medianA = ResampledMedian(a, random, scratch);
    const double medianB = ResampledMedian(b, random, scratch);
    differences.push_back(medianB - medianA);
  }
  std::sort(differences.begin(), differences.end());
  interval.low = Percentile(differences, (1 - level) / 2);
  interval.high = Percentile(differences, (1 + level) / 2);
  return interval;
}

std::vector<Comparison> CompareEnsembles(const std::vector<SeedHistory>& a,
                                         const std::vector<SeedHistory>& b,
                                         const std::vector<int64_t>& years) {
  std::vector<Comparison> comparisons;
  std::vector<int64_t> moments = {-1};
  moments.insert(moments.end(), years.begin(), years.end());
  for (const int64_t year : moments) {
    const Statistics first = StatisticsAt(a, year);
    const Statistics second = StatisticsAt(b, year);
    for (const std::string& name : first.names) {
      const auto other = second.values.find(name);
      if (other == second.values.end()) continue;
      const std::vector<double> x = Present(first.values.at(name));
      const std::vector<double> y = Present(other->second);
      Comparison c;
      c.statistic = name;
      c.year = year;
      c.countA = x.size();
      c.countB = y.size();
      c.medianA = Median(x);
      c.medianB = Median(y);
      c.difference = c.medianB - c.medianA;
      c.interval = BootstrapMedianDifference(x, y, kBootstrapResamples, kBootstrapSeed);
      const RankTestResult test = MannWhitneyU(x, y);
      c.u = test.u;
      c.p = test.p;
      comparisons.push_back(c);
    }
  }
  return comparisons;
}

std::string ComparisonCsv(const std::vector<Comparison>& comparisons) {
  std::string out =
      "statistic,at,seeds_a,seeds_b,median_a,median_b,difference,ci_low,ci_high,u,p_value\n";
  for (const Comparison& c : comparisons) {
    out += c.statistic;
    out += ',';
    out += c.year < 0 ? std::string("end") : std::to_string(c.year);
    out += ',' + std::to_string(c.countA) + ',' + std::to_string(c.countB);
    for (const double value :
         {c.medianA, c.medianB, c.difference, c.interval.low, c.interval.high, c.u, c.p}) {
      out += ',';
      AppendNumber(out, value);
    }
    out += '\n';
  }
  return out;
}

}  // namespace ombrivale
