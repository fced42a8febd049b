// The statistics window's charts as numbers: which series each page shows,
// where a sample lies on the time axis and the value of a series in a
// sample or in a line of an ensemble summary. The window draws these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/history.h"
#include "world/history_file.h"

namespace ombrivale {

enum class ChartStyle : uint8_t { Lines, Stacked };

struct ChartSeries {
  const char* column;   // the statistics CSV column: "eggs"
  const char* caption;  // the legend: "Eggs"
};

struct ChartPage {
  const char* title;       // the tab: "Population"
  const char* valueTitle;  // the value axis: "Animals"
  ChartStyle style;
  // Deaths: a merged sample's count divided by the months it stands for.
  bool perMonth;
  std::vector<ChartSeries> series;
};

// The pages drawn from the samples, in tab order; the genes page follows
// them.
std::span<const ChartPage> ChartPages();

// The value of `series` of `page` in `sample`; NaN where there is none (the
// scores of an empty world).
double SeriesValue(const ChartPage& page, size_t series, const MonthSample& sample);

// Appends the time-axis position, in years since the history began, of
// samples[years.size()] onwards: sample i lies at (the months of samples
// 0..i) - 1, over 12. `months` carries the running count between calls.
void AppendSampleYears(const History& history, std::vector<double>& years, uint64_t& months);

// Where a sample that ends at `years` (AppendSampleYears) begins on the
// same axis: its first month's place, where a restart is drawn.
inline double SampleStartYears(const MonthSample& sample, double years) {
  return years - static_cast<double>(sample.months - 1) / 12;
}

// True when every value of the page is a whole number (counts, not means
// or rates): its value axis takes whole-number ticks.
bool IsWholeNumberPage(const ChartPage& page);

// A value axis over at least low..high whose ticks fall on round numbers
// (1, 2 or 5 times a power of ten), about `most` of them at the most; the
// labels show `decimals` decimals, enough to tell the ticks apart. On a
// whole-number axis the ticks are whole numbers (0..1 for an empty world,
// not 0, 0.2 ... 1 read as "0 0 0 1 1 1").
struct AxisTicks {
  double low = 0;
  double high = 1;
  double interval = 1;
  int decimals = 0;
};
AxisTicks NiceAxis(double low, double high, bool wholeNumbers, int most = 6);

// A gene record's position on the same axis.
inline double RecordYears(const GeneRecord& record) {
  return static_cast<double>(record.last) / 12;
}

// The columns of an ensemble summary (sim/ensemble_summary.h) that hold one
// statistics column's band: 10th, 50th and 90th percentile; each is
// table.columns.size() when the summary lacks it.
struct SummaryBand {
  size_t low;
  size_t median;
  size_t high;
  bool Complete(const HistoryTable& table) const {
    const size_t none = table.columns.size();
    return low != none && median != none && high != none;
  }
};
SummaryBand FindSummaryBand(const HistoryTable& table, const std::string& column);

}  // namespace ombrivale
