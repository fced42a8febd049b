#include "world/statistics_files.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

#include "genetics/gene_census.h"
#include "world/history_file.h"

namespace ombrivale {
namespace {

// 2^53: every whole number up to it is exact in a double, and no run counts
// that many months.
constexpr double kWhole = 9007199254740992.0;

// The columns the world folder's file adds after the statistics columns.
constexpr const char* kMonthsColumn = "months";
constexpr const char* kRestartColumn = "restart";

template <class Number>
void AppendField(std::string& out, Number value) {
  char digits[32];
  out += ',';
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string ValueProblem(size_t row, const std::string& column, double value, const char* what) {
  char digits[32];
  char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return "line " + std::to_string(row + 2) + ", column " + column + ": '" +
         std::string(digits, static_cast<size_t>(end - digits)) + "' " + what;
}

// The value of `column` in row `row` when it is a number within low..high
// (whole when `integral`); else the fault in `problem`. A missing column or
// an empty field gives `absent` (NaN when absent is NaN).
double ReadValue(const HistoryTable& table, size_t row, size_t column, double low, double high,
                 bool integral, double absent, std::string& problem) {
  if (!problem.empty() || column >= table.columns.size()) return absent;
  const double value = table.rows[row][column];
  if (std::isnan(value)) {
    if (std::isnan(absent)) return value;
    problem = "line " + std::to_string(row + 2) + ", column " + table.columns[column] + " is empty";
    return absent;
  }
  if (value < low || value > high) {
    problem = ValueProblem(row, table.columns[column], value, "is out of range");
  } else if (integral && value != std::floor(value)) {
    problem = ValueProblem(row, table.columns[column], value, "is not a whole number");
  }
  return value;
}

Status RequireColumns(const HistoryTable& table, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (table.Column(name) == table.columns.size()) {
      return Status::Corruption(std::string("line 1 (the header) has no column ") + name);
    }
  }
  return Status::OK();
}

// A file of the header alone (a history not yet begun) reads as empty.
Status ParseCsv(std::string_view text, HistoryTable& table) {
  Status status = ParseHistoryCsv(text, table);
  if (table.rows.empty() && !table.columns.empty() && text.find('\n') + 1 == text.size())
    return Status::OK();
  return status;
}

}  // namespace

void StatisticsFileText(const History& history, std::string& out) {
  out = HistoryCsvHeader();
  out.pop_back();  // its LF: the world folder's own columns follow
  out += ',';
  out += kMonthsColumn;
  out += ',';
  out += kRestartColumn;
  out += '\n';
  for (const MonthSample& sample : history.samples) {
    AppendHistoryCsvRow(out, sample);
    out.pop_back();
    AppendField(out, sample.months);
    AppendField(out, sample.wentBack ? 2 : sample.restart ? 1 : 0);
    out += '\n';
  }
}

Status ParseStatisticsFile(std::string_view text, History& history) {
  HistoryTable table;
  if (Status status = ParseCsv(text, table); !status.ok()) return status;
  if (Status status = RequireColumns(table, {"year", "month", "population"}); !status.ok()) {
    return status;
  }
  std::vector<size_t> where;
  for (const SampleColumn& column : SampleColumns())
    where.push_back(table.Column(column.name));
  const size_t months = table.Column(kMonthsColumn);
  const size_t restart = table.Column(kRestartColumn);

  History read;
  uint64_t spanned = 0;
  std::string problem;
  for (size_t row = 0; row < table.rows.size(); ++row) {
    MonthSample sample;
    for (size_t c = 0; c < SampleColumns().size(); ++c) {
      const SampleColumn& column = SampleColumns()[c];
      const double absent = column.integral ? 0.0 : std::numeric_limits<double>::quiet_NaN();
      const double value = ReadValue(table, row, where[c], column.low, column.high, column.integral,
                                     absent, problem);
      if (!problem.empty()) return Status::Corruption(problem);
      column.set(sample, std::isnan(value) ? 0.0 : value);
    }
    sample.months =
        static_cast<uint64_t>(ReadValue(table, row, months, 1, kWhole, true, 1, problem));
    // 1: a new world began; 2: the world went back to a savepoint.
    const double began = ReadValue(table, row, restart, 0, 2, true, 0, problem);
    sample.restart = began != 0;
    sample.wentBack = began == 2;
    if (!problem.empty()) return Status::Corruption(problem);
    if (sample.months > kWhole - spanned) {
      return Status::Corruption("line " + std::to_string(row + 2) + ": the months add up past " +
                                std::to_string(static_cast<uint64_t>(kWhole)));
    }
    spanned += sample.months;
    read.samples.push_back(sample);
  }
  read.recorded = spanned;
  SettleHistory(read);
  history.recorded = read.recorded;
  history.grain = read.grain;
  history.newest = read.samples.empty() ? MonthSample{} : read.samples.back();
  history.sampledYear = history.newest.year;
  history.sampledMonth = history.newest.month;
  history.samples = std::move(read.samples);
  history.restartPending = false;
  return Status::OK();
}

void GenesFileText(const GeneHistory& genes, std::string& out, std::span<const SeriesGene> series) {
  out = "last,months,animals";
  for (const SeriesGene& gene : series) {
    for (const char* part : {"_mean", "_min", "_max"}) {
      out += ',';
      out += gene.column;
      out += part;
    }
  }
  out += '\n';
  const size_t count = genes.records.empty() ? 0 : genes.genes;
  for (size_t r = 0; r < genes.records.size(); ++r) {
    const GeneRecord& record = genes.records[r];
    char digits[32];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, record.last).ptr);
    AppendField(out, record.months);
    AppendField(out, record.animals);
    const auto values = genes.Values(r);
    for (size_t g = 0; g < series.size(); ++g) {
      if (g >= count || std::isnan(values[g].mean)) {
        out += ",,,";
        continue;
      }
      // Two decimals, written as short as they go ("5", "52.4", "52.37").
      AppendField(out, std::nearbyint(static_cast<double>(values[g].mean) * 100) / 100);
      AppendField(out, values[g].lowest);
      AppendField(out, values[g].highest);
    }
    out += '\n';
  }
}

Status ParseGenesFile(std::string_view text, GeneHistory& genes,
                      std::span<const SeriesGene> series) {
  HistoryTable table;
  if (Status status = ParseCsv(text, table); !status.ok()) return status;
  if (Status status = RequireColumns(table, {"last", "months", "animals"}); !status.ok()) {
    return status;
  }
  struct Columns {
    size_t mean, lowest, highest;
  };
  // Some 350 columns looked up by name: through an index, not one by one.
  ColumnIndex index(table.columns.size());
  for (size_t c = 0; c < table.columns.size(); ++c)
    index.Add(table.columns[c], c);
  const auto column = [&index, &table](std::string_view name) {
    return index.Find(name, table.columns.size());
  };
  // The three column names of every gene: made once for the genes the
  // history follows.
  const auto namesOf = [](std::span<const SeriesGene> chosen) {
    std::vector<std::string> all;
    for (const SeriesGene& gene : chosen) {
      for (const char* part : {"_mean", "_min", "_max"})
        all.push_back(gene.column + part);
    }
    return all;
  };
  static const std::vector<std::string> followed = namesOf(SeriesGenes());
  const bool all = series.data() == SeriesGenes().data() && series.size() == SeriesGenes().size();
  const std::vector<std::string> given = all ? std::vector<std::string>() : namesOf(series);
  const std::vector<std::string>& names = all ? followed : given;
  std::vector<Columns> where;
  for (size_t g = 0; g < series.size(); ++g)
    where.push_back({column(names[3 * g]), column(names[3 * g + 1]), column(names[3 * g + 2])});
  const size_t last = table.Column("last");
  const size_t months = table.Column("months");
  const size_t animals = table.Column("animals");
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kLow = std::numeric_limits<int16_t>::min();
  constexpr double kHigh = std::numeric_limits<int16_t>::max();

  GeneHistory read;
  read.genes = series.size();
  std::string problem;
  for (size_t row = 0; row < table.rows.size(); ++row) {
    GeneRecord record;
    record.last = static_cast<uint64_t>(ReadValue(table, row, last, 0, kWhole, true, 0, problem));
    record.months =
        static_cast<uint64_t>(ReadValue(table, row, months, 1, kWhole, true, 1, problem));
    record.animals =
        static_cast<uint64_t>(ReadValue(table, row, animals, 0, kWhole, true, 0, problem));
    if (problem.empty() && !read.records.empty() && record.last <= read.records.back().last) {
      problem = "line " + std::to_string(row + 2) + ": last is not after the line before";
    }
    for (size_t g = 0; g < series.size() && problem.empty(); ++g) {
      const double mean = ReadValue(table, row, where[g].mean, kLow, kHigh, false, kNaN, problem);
      const double lowest =
          ReadValue(table, row, where[g].lowest, kLow, kHigh, true, kNaN, problem);
      const double highest =
          ReadValue(table, row, where[g].highest, kLow, kHigh, true, kNaN, problem);
      GeneStat stat{static_cast<float>(kNaN), 0, 0};
      if (!std::isnan(mean) && !std::isnan(lowest) && !std::isnan(highest)) {
        stat = GeneStat{static_cast<float>(mean), static_cast<int16_t>(lowest),
                        static_cast<int16_t>(highest)};
      }
      read.values.push_back(stat);
    }
    if (!problem.empty()) return Status::Corruption(problem);
    read.records.push_back(record);
    read.grain = std::max(read.grain, std::bit_ceil(record.months));
  }
  while (read.records.size() > kGeneHistoryCapacity)
    HalveGeneHistory(read);
  genes = std::move(read);
  return Status::OK();
}

void LoadHistoryFiles(World& world, FileSystem& files, const std::string& folder) {
  History history;
  std::string bytes;
  const auto read = [&](const char* name, const auto& parse, const char* what) {
    Status status = files.ReadFile(folder + "/" + name, bytes);
    if (status.number() == ENOENT) return false;
    if (status.ok()) status = parse(bytes);
    if (status.ok()) return true;
    status.SetFile(name);
    RefuseFile(world, std::move(status), "History Not Loaded",
               std::string("the world goes on ") + what + ".");
    return false;
  };
  const bool samples = read(
      kStatisticsFileName,
      [&history](std::string_view text) { return ParseStatisticsFile(text, history); },
      "with an empty history");
  if (samples) {
    read(
        kGenesFileName,
        [&history](std::string_view text) { return ParseGenesFile(text, history.genes); },
        "without its gene series");
  }
  history.deathsAtLastSample = world.DeathsByCause;
  world.history = std::move(history);
}

}  // namespace ombrivale
