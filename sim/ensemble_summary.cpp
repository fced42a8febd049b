#include "sim/ensemble_summary.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string_view>

namespace ombrivale {
namespace {

constexpr double kPercentiles[] = {0.10, 0.50, 0.90};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Ten significant digits, as printf's "%.10g" writes them (to_chars is that
// without the locale and some ten times faster: a summary writes thousands).
void AppendNumber(std::string& out, double value) {
  if (std::isnan(value)) return;
  char text[32];
  out.append(text,
             std::to_chars(text, text + sizeof text, value, std::chars_format::general, 10).ptr);
}

// The value of `column` in `row`, kNoValue when the table has no such column.
double ValueAt(const HistoryTable& table, size_t row, size_t column) {
  return column < table.columns.size() ? table.rows[row][column] : kNoValue;
}

// The name, without `prefix`, of the prefixed column with the greatest value
// in the last row.
std::string Dominant(const HistoryTable& table, std::string_view prefix) {
  std::string best;
  double most = 0;
  for (size_t c = 0; c < table.columns.size(); ++c) {
    const double value = table.rows.back()[c];
    if (StartsWith(table.columns[c], prefix) && value > most) {
      most = value;
      best = table.columns[c].substr(prefix.size());
    }
  }
  return best;
}

// "seed-<N>.csv" or "seed-<N>": N; nothing for any other name.
std::optional<uint64_t> SeedOfName(std::string_view name) {
  if (!StartsWith(name, "seed-")) return std::nullopt;
  name.remove_prefix(5);
  if (name.size() > 4 && name.substr(name.size() - 4) == ".csv") name.remove_suffix(4);
  uint64_t seed = 0;
  const auto [ptr, error] = std::from_chars(name.data(), name.data() + name.size(), seed);
  if (name.empty() || error != std::errc() || ptr != name.data() + name.size()) return std::nullopt;
  return seed;
}

// Reads "ensemble.txt": "seeds N N ..." and "years N"; other lines are
// ignored. Returns what is wrong with it, if anything.
std::string ReadEnsembleText(std::string_view text, std::vector<uint64_t>& seeds, int64_t& years) {
  size_t number = 0;
  while (!text.empty()) {
    ++number;
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const bool isSeeds = StartsWith(line, "seeds ");
    if (!isSeeds && !StartsWith(line, "years ")) continue;
    line.remove_prefix(6);
    while (!line.empty()) {
      uint64_t value = 0;
      const auto [ptr, error] = std::from_chars(line.data(), line.data() + line.size(), value);
      if (error != std::errc() || (ptr != line.data() + line.size() && *ptr != ' ')) {
        return "line " + std::to_string(number) + " is not all numbers";
      }
      if (isSeeds) {
        seeds.push_back(value);
      } else {
        years = static_cast<int64_t>(value);
      }
      line.remove_prefix(static_cast<size_t>(ptr - line.data()));
      if (!line.empty()) line.remove_prefix(1);
    }
  }
  return {};
}

}  // namespace

double Percentile(const std::vector<double>& sorted, double p) {
  const double h = static_cast<double>(sorted.size() - 1) * p;
  const size_t low = static_cast<size_t>(std::floor(h));
  if (low + 1 >= sorted.size()) return sorted.back();
  return sorted[low] + (h - static_cast<double>(low)) * (sorted[low + 1] - sorted[low]);
}

int64_t TurnedYears(const HistoryTable& table) {
  const size_t year = table.Column("year");
  int64_t turned = 0;
  for (size_t r = 1; r < table.rows.size(); ++r) {
    if (table.rows[r][year] == table.rows[r - 1][year] + 1) ++turned;
  }
  return turned;
}

SeedOutcome OutcomeOf(uint64_t seed, const HistoryTable& table,
                      const std::vector<std::string>& deathColumns) {
  const size_t year = table.Column("year");
  const size_t month = table.Column("month");
  const size_t population = table.Column("population");
  const size_t lowest = table.Column("lowest_primordial_score");
  SeedOutcome o;
  o.seed = seed;
  o.rows = table.rows.size();
  o.year = table.rows.back()[year];
  o.month = table.rows.back()[month];
  o.population = table.rows.back()[population];
  o.deaths.assign(deathColumns.size(), 0);
  for (size_t r = 0; r < table.rows.size(); ++r) {
    const std::vector<double>& row = table.rows[r];
    if (r > 0) {
      const std::vector<double>& before = table.rows[r - 1];
      const bool restart =
          row[year] < before[year] || (row[year] == before[year] && row[month] < before[month]);
      if (restart) ++o.restarts;
      if (before[population] > 0 && (row[population] == 0 || restart)) ++o.extinctions;
    }
    for (size_t d = 0; d < deathColumns.size(); ++d) {
      const double deaths = ValueAt(table, r, table.Column(deathColumns[d]));
      if (!std::isnan(deaths)) o.deaths[d] += deaths;
    }
    const double score = ValueAt(table, r, lowest);
    if (score < o.lowestScore || (std::isnan(o.lowestScore) && !std::isnan(score))) {
      o.lowestScore = score;
      o.lowestRow = r;
      o.lowestYear = row[year];
      o.lowestMonth = row[month];
    }
  }
  o.diet = Dominant(table, "diet_");
  o.breathing = Dominant(table, "breathing_");
  o.covering = Dominant(table, "covering_");
  return o;
}

EnsembleSummary SummariseEnsemble(const std::vector<SeedHistory>& seeds) {
  EnsembleSummary s;
  size_t rows = 0;
  for (const SeedHistory& seed : seeds) {
    rows = std::max(rows, seed.table.rows.size());
    for (const std::string& name : seed.table.columns) {
      if (name == "year" || name == "month") continue;
      if (std::find(s.columns.begin(), s.columns.end(), name) != s.columns.end()) continue;
      s.columns.push_back(name);
      if (StartsWith(name, "deaths_")) s.deathColumns.push_back(name);
    }
  }
  // Where each summarised column is in each seed's table.
  std::vector<std::vector<size_t>> where(seeds.size());
  for (size_t i = 0; i < seeds.size(); ++i) {
    for (const std::string& name : s.columns)
      where[i].push_back(seeds[i].table.Column(name));
  }

  s.seedsAtRow.assign(rows, 0);
  s.bands.assign(rows, std::vector<Band>(s.columns.size()));
  std::vector<double> values;
  for (size_t r = 0; r < rows; ++r) {
    for (const SeedHistory& seed : seeds) {
      if (r < seed.table.rows.size()) ++s.seedsAtRow[r];
    }
    for (size_t c = 0; c < s.columns.size(); ++c) {
      values.clear();
      double sum = 0;
      for (size_t i = 0; i < seeds.size(); ++i) {
        if (r >= seeds[i].table.rows.size()) continue;
        const double value = ValueAt(seeds[i].table, r, where[i][c]);
        if (std::isnan(value)) continue;
        values.push_back(value);
        sum += value;
      }
      if (values.empty()) continue;
      std::sort(values.begin(), values.end());
      Band& band = s.bands[r][c];
      band.mean = sum / static_cast<double>(values.size());
      band.p10 = Percentile(values, kPercentiles[0]);
      band.p50 = Percentile(values, kPercentiles[1]);
      band.p90 = Percentile(values, kPercentiles[2]);
    }
  }
  for (const SeedHistory& seed : seeds)
    s.outcomes.push_back(OutcomeOf(seed.seed, seed.table, s.deathColumns));
  return s;
}

std::string MonthBandsCsv(const EnsembleSummary& summary) {
  std::string out = "row,seeds";
  for (const std::string& name : summary.columns) {
    for (const char* statistic : {"_mean", "_p10", "_p50", "_p90"})
      out += ',' + name + statistic;
  }
  out += '\n';
  for (size_t r = 0; r < summary.bands.size(); ++r) {
    out += std::to_string(r) + ',' + std::to_string(summary.seedsAtRow[r]);
    for (const Band& band : summary.bands[r]) {
      for (const double value : {band.mean, band.p10, band.p50, band.p90}) {
        out += ',';
        AppendNumber(out, value);
      }
    }
    out += '\n';
  }
  return out;
}

std::string OutcomesCsv(const EnsembleSummary& summary) {
  std::string out = "seed,rows,year,month,population,extinctions,restarts";
  for (const std::string& name : summary.deathColumns)
    out += ',' + name;
  out +=
      ",lowest_primordial_score,lowest_score_row,lowest_score_year,lowest_score_month,"
      "diet,breathing,covering\n";
  for (const SeedOutcome& o : summary.outcomes) {
    out += std::to_string(o.seed) + ',' + std::to_string(o.rows);
    for (const double value : {o.year, o.month, o.population}) {
      out += ',';
      AppendNumber(out, value);
    }
    out += ',' + std::to_string(o.extinctions) + ',' + std::to_string(o.restarts);
    for (const double deaths : o.deaths) {
      out += ',';
      AppendNumber(out, deaths);
    }
    const bool scored = !std::isnan(o.lowestScore);
    out += ',';
    AppendNumber(out, o.lowestScore);
    out += ',' + (scored ? std::to_string(o.lowestRow) : std::string()) + ',';
    AppendNumber(out, o.lowestYear);
    out += ',';
    AppendNumber(out, o.lowestMonth);
    out += ',' + o.diet + ',' + o.breathing + ',' + o.covering + '\n';
  }
  return out;
}

EnsembleFolder ReadEnsembleFolder(FileSystem& files, const std::string& folder) {
  EnsembleFolder result;
  std::vector<uint64_t> expected;
  result.years = -1;
  std::string text;
  if (const Status error = files.ReadFile(folder + "/ensemble.txt", text); !error.ok()) {
    if (error.number() != ENOENT) {
      result.status = error;
      result.status.SetFile(folder + "/ensemble.txt");
      return result;
    }
  } else {
    if (const std::string problem = ReadEnsembleText(text, expected, result.years);
        !problem.empty()) {
      result.status = Status::Corruption(problem);
      result.status.SetFile(folder + "/ensemble.txt");
      return result;
    }
  }
  if (expected.empty()) {
    std::vector<std::string> names;
    if (const Status error = files.ListFolder(folder, names); !error.ok()) {
      result.status = error;
      result.status.SetFile(folder);
      return result;
    }
    for (const std::string& name : names) {
      if (const std::optional<uint64_t> seed = SeedOfName(name)) expected.push_back(*seed);
    }
  }
  std::sort(expected.begin(), expected.end());
  expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
  result.expected = expected.size();

  std::map<uint64_t, std::string> problems;
  for (const uint64_t seed : expected) {
    const std::string name = "seed-" + std::to_string(seed) + ".csv";
    SeedHistory history{seed, {}};
    std::string problem;
    if (const Status error = files.ReadFile(folder + "/" + name, text); !error.ok()) {
      problem = error.number() == ENOENT ? "missing" : ErrorDescription(error);
    } else {
      problem = ParseHistoryCsv(text, history.table).message();
    }
    for (const char* column : {"year", "month", "population"}) {
      if (problem.empty() && history.table.Column(column) == history.table.columns.size()) {
        problem = std::string("line 1 (the header) has no column ") + column;
      }
    }
    if (problem.empty()) {
      result.seeds.push_back(std::move(history));
    } else {
      problems[seed] = name + ": " + problem;
    }
  }

  if (result.years < 0) {
    result.years = 0;
    for (const SeedHistory& seed : result.seeds)
      result.years = std::max(result.years, TurnedYears(seed.table));
  }
  std::erase_if(result.seeds, [&](const SeedHistory& seed) {
    const int64_t turned = TurnedYears(seed.table);
    if (turned >= result.years) return false;
    problems[seed.seed] = "seed-" + std::to_string(seed.seed) + ".csv: cut short after " +
                          std::to_string(turned) + " of " + std::to_string(result.years) + " years";
    return true;
  });
  for (auto& [seed, problem] : problems)
    result.leftOut.push_back(std::move(problem));
  return result;
}

}  // namespace ombrivale
