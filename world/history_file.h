// The history as comma-separated text: one header line, then one row per
// sample. `ombrivale-run --stats` writes it as the run goes; the ensemble
// summary reads it back by its column names, so columns may be added.
//
// Columns: year, month, population, eggs, infants, adults; the deaths since
// the row before by cause (old age, eaten, overwritten, suffocation,
// hunger, sacrificed); the hatched animals by diet (scum sucker, herbivorous,
// omnivorous, carnivorous), by breathing method (none, gills, gills and
// lungs, lungs) and by covering (fur, skin, scales, feathers); the mean and
// the lowest evolvedness score with four decimals, both empty when the
// population is 0; the species among the adults and the highest generation
// alive (0 when the population is 0). Lines end in LF.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/history.h"
#include "core/status.h"

namespace ombrivale {

// One column and the sample field it holds: the header, the rows and the
// readers (the world folder's "stats.csv", the charts, the summary) all
// take the columns from this one list.
struct SampleColumn {
  const char* name;  // "population"
  double (*get)(const MonthSample& sample);
  void (*set)(MonthSample& sample, double value);
  double low;  // the range a file's value must lie in
  double high;
  bool integral;  // else four decimals, and empty when the population is 0
};
std::span<const SampleColumn> SampleColumns();
// The column of that name; nullptr when there is none.
const SampleColumn* FindSampleColumn(std::string_view name);

// The header line, with its LF.
const std::string& HistoryCsvHeader();

// Appends one sample's row, with its LF.
void AppendHistoryCsvRow(std::string& out, const MonthSample& sample);

// A CSV file of numbers read back: the names of its header and one row of
// values per line. An empty field (the scores of an empty world) is NaN.
struct HistoryTable {
  std::vector<std::string> columns;
  std::vector<std::vector<double>> rows;  // each as long as `columns`

  // The index of the named column; columns.size() if there is none.
  size_t Column(std::string_view name) const;
};

// Names to column numbers for a table of hundreds of columns (genes.csv
// has some 350): one open-addressed array, no allocation per name. The
// names are views: what they view must outlive the index.
class ColumnIndex {
 public:
  // Room for `count` names.
  explicit ColumnIndex(size_t count);
  // Adds a non-empty name; false (and nothing added) when it is there already.
  bool Add(std::string_view name, size_t column);
  // The column of `name`, or `none` when it is not there.
  size_t Find(std::string_view name, size_t none) const;

 private:
  std::vector<std::pair<std::string_view, size_t>> slots_;  // an empty name: a free slot
  size_t mask_ = 0;
};

// Reads `text`: a header of distinct non-empty names, then rows of as many
// decimal numbers or empty fields, every line ending in LF (a CR before it
// is allowed). Returns OK when all of it is sound, else Corruption saying
// what is wrong and where, for the first fault met: "line 7 is cut short (no end of
// line)", "line 3 has 24 fields, the header 25", "line 5, column
// population: 'x1' is not a number", "no rows after the header (line 1)". `table` then holds the
// rows before the fault.
Status ParseHistoryCsv(std::string_view text, HistoryTable& table);

}  // namespace ombrivale
