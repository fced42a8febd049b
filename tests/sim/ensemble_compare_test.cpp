#include "sim/ensemble_compare.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>

namespace ombrivale {
namespace {

using Values = std::vector<double>;

TEST(Median, OddEvenAndEmpty) {
  EXPECT_EQ(2, Median({3, 1, 2}));
  EXPECT_EQ(2.5, Median({4, 1, 3, 2}));
  EXPECT_EQ(7, Median({7}));
  EXPECT_TRUE(std::isnan(Median({})));
}

// Worked by hand: U1 counts the pairs (a, b) with a > b, ties a half; the
// exact p is 2 P(U >= max(U1, U2)) over the C(m + n, m) orderings.
TEST(MannWhitneyU, MatchesHandCalculations) {
  struct Case {
    Values a, b;
    RankTest method;
    double u, p;
  };
  const Case cases[] = {
      // 1 of the 20 orderings of 3 + 3 has U = 9.
      {{1, 2, 3}, {4, 5, 6}, RankTest::Exact, 0, 0.1},
      {{4, 5, 6}, {1, 2, 3}, RankTest::Exact, 9, 0.1},
      // 3 orderings of 2 + 1, U = 0, 1, 2: P(U >= 2) = 1/3.
      {{1, 2}, {3}, RankTest::Exact, 0, 2.0 / 3},
      // Interleaved 1 3 | 2 4: U1 = 1, max 3, P(U >= 3) = 2/6.
      {{1, 3}, {2, 4}, RankTest::Exact, 1, 2.0 / 3},
      // 4 + 4 apart: mu 8, variance 16 / 12 x 9 = 12, z = 7.5 / sqrt 12.
      {{1, 2, 3, 4}, {5, 6, 7, 8}, RankTest::Asymptotic, 0, std::erfc(7.5 / std::sqrt(24.0))},
      // Ties: ranks 1.5 1.5 | 3 4 with b = {1, 2}... pooled 1 1 2 3:
      // a = {1, 3}: ranks 1.5 + 4 = 5.5, U1 = 2.5; tie term 6;
      // variance 4 / 12 x (5 - 6 / 12) = 1.5, z = (2.5 - 2 - 0.5) / sqrt 1.5 = 0.
      {{1, 3}, {1, 2}, RankTest::Asymptotic, 2.5, 1},
      // Every value the same: nothing to tell them apart.
      {{5, 5}, {5, 5, 5}, RankTest::Asymptotic, 3, 1},
  };
  for (const Case& c : cases) {
    const RankTestResult r = MannWhitneyU(c.a, c.b, c.method);
    EXPECT_DOUBLE_EQ(c.u, r.u);
    EXPECT_NEAR(c.p, r.p, 1e-12) << c.a.size() << " + " << c.b.size();
  }
  EXPECT_TRUE(std::isnan(MannWhitneyU({}, {1}).p));
  // Auto: exact for a small sample without ties, else the approximation.
  EXPECT_TRUE(MannWhitneyU({1, 2, 3}, {4, 5, 6}).exact);
  EXPECT_FALSE(MannWhitneyU({1, 2, 3}, {3, 5, 6}).exact);
  Values large(20), other(20);
  for (size_t i = 0; i < 20; ++i) {
    large[i] = static_cast<double>(2 * i);
    other[i] = static_cast<double>(2 * i + 1);
  }
  EXPECT_FALSE(MannWhitneyU(large, other).exact);
}

TEST(BootstrapMedianDifference, IsSeededAndCoversTheDifference) {
  // Constant samples: every resample has the same medians.
  const Interval constant = BootstrapMedianDifference({5, 5, 5}, {7, 7}, 1000, 1);
  EXPECT_EQ(2, constant.low);
  EXPECT_EQ(2, constant.high);

  const Values a = {10, 12, 9, 11, 13, 10, 12, 11, 9, 14, 10, 12, 11, 13, 10, 12};
  const Values b = {20, 22, 19, 21, 25, 18, 22, 21, 19, 24, 20, 23, 21, 22, 20, 21};
  const Interval first = BootstrapMedianDifference(a, b, kBootstrapResamples, kBootstrapSeed);
  const Interval again = BootstrapMedianDifference(a, b, kBootstrapResamples, kBootstrapSeed);
  EXPECT_EQ(first.low, again.low);
  EXPECT_EQ(first.high, again.high);
  const double difference = Median(b) - Median(a);
  EXPECT_LE(first.low, difference);
  EXPECT_GE(first.high, difference);
  EXPECT_GT(first.low, 5);  // far apart: the interval stays clear of 0
  const Interval other = BootstrapMedianDifference(a, b, kBootstrapResamples, 2);
  EXPECT_NEAR(first.low, other.low, 1.0);
  EXPECT_TRUE(std::isnan(BootstrapMedianDifference({}, b, 100, 1).low));
}

HistoryTable Table(const std::string& rows) {
  HistoryTable table;
  EXPECT_EQ("OK",
            ParseHistoryCsv("year,month,population,deaths_hunger\n" + rows, table).ToString());
  return table;
}

TEST(CompareEnsembles, ComparesTheEndTotalsAndChosenYears) {
  // Twelve months a year: row 12 is year 1 of each seed.
  const auto run = [](double start, double step, double hungerDeaths) {
    std::string rows;
    for (int r = 0; r <= 24; ++r) {
      rows += std::to_string(r / 12) + ',' + std::to_string(r % 12 + 1) + ',' +
              std::to_string(start + step * r) + ',' + std::to_string(hungerDeaths) + '\n';
    }
    return Table(rows);
  };
  const std::vector<SeedHistory> a = {{1, run(10, 1, 1)}, {2, run(12, 1, 1)}, {3, run(14, 1, 1)}};
  const std::vector<SeedHistory> b = {{1, run(10, 2, 2)}, {2, run(12, 2, 2)}};
  const std::vector<Comparison> result = CompareEnsembles(a, b, {1, 5});
  const auto find = [&](const std::string& name, int64_t year) {
    for (const Comparison& c : result) {
      if (c.statistic == name && c.year == year) return c;
    }
    ADD_FAILURE() << name << " at " << year;
    return Comparison{};
  };
  const Comparison end = find("population", -1);
  EXPECT_EQ(3u, end.countA);
  EXPECT_EQ(2u, end.countB);
  EXPECT_EQ(36, end.medianA);  // 12 + 24
  EXPECT_EQ(59, end.medianB);  // (58 + 60) / 2
  EXPECT_EQ(23, end.difference);
  EXPECT_EQ(0, end.u);
  EXPECT_NEAR(0.2, end.p, 1e-12);  // 1 of 10 orderings, doubled
  const Comparison year1 = find("population", 1);
  EXPECT_EQ(24, year1.medianA);  // 12 + 12
  EXPECT_EQ(35, year1.medianB);  // (34 + 36) / 2
  // Year 5 is past every run: no seed has a value.
  const Comparison year5 = find("population", 5);
  EXPECT_EQ(0u, year5.countA);
  EXPECT_TRUE(std::isnan(year5.p));
  EXPECT_EQ(25, find("deaths_hunger_total", -1).medianA);
  EXPECT_EQ(50, find("deaths_hunger_total", -1).medianB);
  EXPECT_EQ(0, find("extinctions", -1).medianA);

  const std::string csv = ComparisonCsv(result);
  EXPECT_EQ(0u, csv.find("statistic,at,seeds_a,seeds_b,median_a,median_b,difference,"
                         "ci_low,ci_high,u,p_value\n"));
  EXPECT_NE(std::string::npos, csv.find("\npopulation,end,3,2,36,59,23,"));
  EXPECT_NE(std::string::npos, csv.find("\npopulation,5,0,0,,,,,,,\n"));
}

// SciPy's mannwhitneyu on the same numbers, when Debian's python3-scipy is
// installed: random samples with and without ties, both methods.
TEST(MannWhitneyU, AgreesWithSciPy) {
  if (std::system("/usr/bin/python3 -c 'import scipy.stats' 2>/dev/null") != 0) {
    GTEST_SKIP() << "python3-scipy is not installed";
  }
  std::mt19937_64 random(7);
  std::ostringstream script;
  script << "import scipy.stats as s\n";
  std::vector<RankTestResult> ours;
  for (int trial = 0; trial < 24; ++trial) {
    const size_t m = 2 + random() % 20;
    const size_t n = 2 + random() % 20;
    const int spread = trial % 3 == 0 ? 4 : 1000;  // few distinct values: ties
    Values a(m), b(n);
    for (double& x : a)
      x = static_cast<double>(random() % static_cast<uint64_t>(spread));
    for (double& x : b)
      x = static_cast<double>(random() % static_cast<uint64_t>(spread) + trial % 2);
    const RankTest method = trial % 4 == 1 && m * n <= 200 ? RankTest::Exact : RankTest::Asymptotic;
    ours.push_back(MannWhitneyU(a, b, method));
    const auto list = [](const Values& v) {
      std::string out = "[";
      for (const double x : v)
        out += std::to_string(x) + ",";
      return out + "]";
    };
    script << "r = s.mannwhitneyu(" << list(a) << "," << list(b) << ", method='"
           << (method == RankTest::Exact ? "exact" : "asymptotic") << "')\n"
           << "print('%.17g %.17g' % (r.statistic, r.pvalue))\n";
  }
  char path[] = "/tmp/ombrivale_mwu_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  const std::string text = script.str();
  ASSERT_EQ(static_cast<ssize_t>(text.size()), write(fd, text.data(), text.size()));
  close(fd);
  FILE* pipe = popen(("/usr/bin/python3 " + std::string(path)).c_str(), "r");
  ASSERT_NE(nullptr, pipe);
  for (const RankTestResult& r : ours) {
    double u = 0, p = 0;
    ASSERT_EQ(2, std::fscanf(pipe, "%lf %lf", &u, &p));
    EXPECT_DOUBLE_EQ(u, r.u);
    EXPECT_NEAR(p, r.p, 1e-9 * std::max(1.0, p));
  }
  pclose(pipe);
  unlink(path);
}

}  // namespace
}  // namespace ombrivale
