#include "sim/history_chart.h"

#include <gtest/gtest.h>

namespace ombrivale {
namespace {

// Regression: an empty world's population axis (0..1 with five ticks,
// labelled without decimals) read "0 0 0 1 1 1".
TEST(HistoryChart, AxesTickAtRoundNumbersAndWholeNumberAxesAtWholeNumbers) {
  struct Case {
    double low, high;
    bool wholeNumbers;
    double tickLow, tickHigh, interval;
    int decimals;
  };
  const Case cases[] = {
      {0, 1, true, 0, 1, 1, 0},         // an empty world: 0 and 1
      {0, 1, false, 0, 1, 0.2, 1},      // a score: 0.0, 0.2 ... 1.0
      {0, 3.3, true, 0, 4, 1, 0},       // a gene of four codes
      {0, 825, true, 0, 1000, 200, 0},  // 750 animals and the margin
      {0, 11000, false, 0, 12000, 2000, 0},
      {0, 0.055, false, 0, 0.06, 0.01, 2},
      {-12, 40, true, -20, 40, 10, 0},  // a gene going below 0
      {5, 5, true, 5, 6, 1, 0},         // no span: one step
      {0, 6, true, 0, 6, 1, 0},
  };
  for (const Case& c : cases) {
    const AxisTicks axis = NiceAxis(c.low, c.high, c.wholeNumbers);
    EXPECT_DOUBLE_EQ(c.tickLow, axis.low) << c.low << ".." << c.high;
    EXPECT_DOUBLE_EQ(c.tickHigh, axis.high) << c.low << ".." << c.high;
    EXPECT_DOUBLE_EQ(c.interval, axis.interval) << c.low << ".." << c.high;
    EXPECT_EQ(c.decimals, axis.decimals) << c.low << ".." << c.high;
  }
  // Counts take whole-number ticks; rates and scores do not.
  std::vector<std::string> whole;
  for (const ChartPage& page : ChartPages()) {
    if (IsWholeNumberPage(page)) whole.push_back(page.title);
  }
  EXPECT_EQ((std::vector<std::string>{"Population", "Diet", "Breathing", "Covering", "Species",
                                      "Generations"}),
            whole);
}

TEST(HistoryChart, APointLiesAtItsLastMonthAndARestartAtItsFirst) {
  History history;
  for (const uint64_t months : {1, 16, 16, 5, 16, 3}) {
    MonthSample& point = history.samples.emplace_back();
    point.months = months;
    point.restart = months == 5;
  }
  std::vector<double> years;
  uint64_t months = 0;
  AppendSampleYears(history, years, months);
  EXPECT_EQ((std::vector<double>{0, 16 / 12.0, 32 / 12.0, 37 / 12.0, 53 / 12.0, 56 / 12.0}), years);
  EXPECT_DOUBLE_EQ(33 / 12.0, SampleStartYears(history.samples[3], years[3]));
  EXPECT_DOUBLE_EQ(0, SampleStartYears(history.samples[0], years[0]));
}

}  // namespace
}  // namespace ombrivale
