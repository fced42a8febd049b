#include "sim/history_chart.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/codes.h"
#include "world/statistics_files.h"

namespace ombrivale {
namespace {

std::vector<ChartPage> BuildPages() {
  // The four values of a coded gene, with the names the windows show.
  const auto coded = [](const std::array<const char*, kCodeValueCount>& names,
                        std::initializer_list<const char*> columns) {
    std::vector<ChartSeries> series;
    size_t i = 0;
    for (const char* column : columns)
      series.push_back({column, names[i++]});
    return series;
  };
  std::vector<ChartSeries> deaths;
  const char* deathColumns[] = {"deaths_old_age",     "deaths_eaten",  "deaths_overwritten",
                                "deaths_suffocation", "deaths_hunger", "deaths_sacrificed"};
  for (int cause = 0; cause < kCauseCount; ++cause)
    deaths.push_back({deathColumns[cause], CauseText(static_cast<Cause>(cause))});
  return {
      {"Population",
       "Animals",
       ChartStyle::Lines,
       false,
       {{"eggs", "Eggs"}, {"infants", "Infants"}, {"adults", "Adults"}, {"population", "Total"}}},
      {"Deaths", "Deaths per month", ChartStyle::Lines, true, deaths},
      {"Diet", "Hatched animals", ChartStyle::Stacked, false,
       coded(kDietNames,
             {"diet_scum_sucker", "diet_herbivorous", "diet_omnivorous", "diet_carnivorous"})},
      {"Breathing", "Hatched animals", ChartStyle::Stacked, false,
       coded(kBreathingMethodNames, {"breathing_none", "breathing_gills",
                                     "breathing_gills_and_lungs", "breathing_lungs"})},
      {"Covering", "Hatched animals", ChartStyle::Stacked, false,
       coded(kCoveringNames,
             {"covering_fur", "covering_skin", "covering_scales", "covering_feathers"})},
      {"Evolvedness",
       "Score (per cent of genes still primordial)",
       ChartStyle::Lines,
       false,
       {{"mean_primordial_score", "Mean Score"}, {"lowest_primordial_score", "Lowest Score"}}},
      {"Species", "Species among the adults", ChartStyle::Lines, false, {{"species", "Species"}}},
      {"Generations",
       "Generation",
       ChartStyle::Lines,
       false,
       {{"highest_generation", "Highest Generation Alive"}}},
  };
}

// The sample field of each series, looked up once.
struct Getters {
  std::vector<std::vector<const SampleColumn*>> pages;
};

const Getters& PageGetters() {
  static const Getters getters = [] {
    Getters g;
    for (const ChartPage& page : ChartPages()) {
      auto& columns = g.pages.emplace_back();
      for (const ChartSeries& series : page.series)
        columns.push_back(FindSampleColumn(series.column));
    }
    return g;
  }();
  return getters;
}

}  // namespace

std::span<const ChartPage> ChartPages() {
  static const std::vector<ChartPage> pages = BuildPages();
  return pages;
}

double SeriesValue(const ChartPage& page, size_t series, const MonthSample& sample) {
  const size_t index = static_cast<size_t>(&page - ChartPages().data());
  const SampleColumn* column = PageGetters().pages[index][series];
  if (column == nullptr) return std::numeric_limits<double>::quiet_NaN();
  if (!column->integral && sample.population == 0) return std::numeric_limits<double>::quiet_NaN();
  const double value = column->get(sample);
  return page.perMonth ? value / sample.months : value;
}

void AppendSampleYears(const History& history, std::vector<double>& years, uint64_t& months) {
  for (size_t i = years.size(); i < history.samples.size(); ++i) {
    months += history.samples[i].months;
    years.push_back(static_cast<double>(months - 1) / 12);
  }
}

bool IsWholeNumberPage(const ChartPage& page) {
  if (page.perMonth) return false;
  const size_t index = static_cast<size_t>(&page - ChartPages().data());
  for (const SampleColumn* column : PageGetters().pages[index]) {
    if (column == nullptr || !column->integral) return false;
  }
  return true;
}

AxisTicks NiceAxis(double low, double high, bool wholeNumbers, int most) {
  if (!(high > low)) high = low + 1;
  const double raw = (high - low) / std::max(1, most);
  int exponent = static_cast<int>(std::floor(std::log10(raw)));
  double magnitude = std::pow(10.0, exponent);
  double step = magnitude;
  for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * magnitude;
    if (step >= raw * (1 - 1e-9)) break;
  }
  if (step >= 10 * magnitude * (1 - 1e-9)) ++exponent;
  if (wholeNumbers && step < 1) {
    step = 1;
    exponent = 0;
  }
  AxisTicks axis;
  axis.interval = step;
  axis.low = std::floor(low / step + 1e-9) * step;
  axis.high = std::ceil(high / step - 1e-9) * step;
  if (axis.high <= axis.low) axis.high = axis.low + step;
  axis.decimals = std::max(0, -exponent);
  return axis;
}

SummaryBand FindSummaryBand(const HistoryTable& table, const std::string& column) {
  return {table.Column(column + "_p10"), table.Column(column + "_p50"),
          table.Column(column + "_p90")};
}

}  // namespace ombrivale
