#include "world/history_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>

namespace ombrivale {
namespace {

template <class Number>
void AppendField(std::string& out, Number value) {
  char digits[24];
  out += ',';
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// Splits one line at its commas.
void SplitFields(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  for (;;) {
    const size_t comma = line.find(',');
    fields.push_back(line.substr(0, comma));
    if (comma == std::string_view::npos) return;
    line.remove_prefix(comma + 1);
  }
}

std::string LineText(size_t line) {
  return "line " + std::to_string(line);
}

}  // namespace

const std::string& HistoryCsvHeader() {
  static const std::string header =
      "year,month,population,eggs,infants,adults,"
      "deaths_old_age,deaths_eaten,deaths_overwritten,deaths_suffocation,deaths_hunger,"
      "deaths_sacrificed,"
      "diet_scum_sucker,diet_herbivorous,diet_omnivorous,diet_carnivorous,"
      "breathing_none,breathing_gills,breathing_gills_and_lungs,breathing_lungs,"
      "covering_fur,covering_skin,covering_scales,covering_feathers,"
      "mean_primordial_score,lowest_primordial_score,species,highest_generation\n";
  return header;
}

void AppendHistoryCsvRow(std::string& out, const MonthSample& sample) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, sample.year).ptr);
  AppendField(out, sample.month);
  AppendField(out, sample.population);
  AppendField(out, sample.eggs);
  AppendField(out, sample.infants);
  AppendField(out, sample.adults);
  for (const uint32_t deaths : sample.deaths)
    AppendField(out, deaths);
  for (const auto* group : {&sample.diet, &sample.breathing, &sample.covering}) {
    for (const int32_t count : *group)
      AppendField(out, count);
  }
  char scores[64] = ",,";
  if (sample.population > 0) {
    std::snprintf(scores, sizeof scores, ",%.4f,%.4f", sample.meanScore, sample.lowestScore);
  }
  out += scores;
  AppendField(out, sample.species);
  AppendField(out, sample.highestGeneration);
  out += '\n';
}

ColumnIndex::ColumnIndex(size_t count) {
  size_t size = 16;
  while (size < 2 * count)
    size *= 2;
  slots_.resize(size);
  mask_ = size - 1;
}

bool ColumnIndex::Add(std::string_view name, size_t column) {
  for (size_t at = std::hash<std::string_view>{}(name)&mask_;; at = (at + 1) & mask_) {
    if (slots_[at].first.empty()) {
      slots_[at] = {name, column};
      return true;
    }
    if (slots_[at].first == name) return false;
  }
}

size_t ColumnIndex::Find(std::string_view name, size_t none) const {
  for (size_t at = std::hash<std::string_view>{}(name)&mask_;; at = (at + 1) & mask_) {
    if (slots_[at].first.empty()) return none;
    if (slots_[at].first == name) return slots_[at].second;
  }
}

size_t HistoryTable::Column(std::string_view name) const {
  return static_cast<size_t>(std::find(columns.begin(), columns.end(), name) - columns.begin());
}

std::string ParseHistoryCsv(std::string_view text, HistoryTable& table) {
  table = HistoryTable{};
  if (text.empty()) return "the file is empty";
  std::vector<std::string_view> fields;
  size_t number = 0;
  while (!text.empty()) {
    ++number;
    const size_t end = text.find('\n');
    if (end == std::string_view::npos) return LineText(number) + " is cut short (no end of line)";
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    SplitFields(line, fields);

    if (number == 1) {
      ColumnIndex met(fields.size());
      for (const std::string_view name : fields) {
        if (name.empty()) return "line 1 (the header) has an empty column name";
        if (!met.Add(name, 0)) {
          return "line 1 (the header) names column " + std::string(name) + " twice";
        }
        table.columns.emplace_back(name);
      }
      continue;
    }
    if (fields.size() != table.columns.size()) {
      return LineText(number) + " has " + std::to_string(fields.size()) + " fields, the header " +
             std::to_string(table.columns.size());
    }
    std::vector<double>& row = table.rows.emplace_back();
    row.reserve(fields.size());
    for (const std::string_view field : fields) {
      double value = std::numeric_limits<double>::quiet_NaN();
      if (!field.empty()) {
        const char* last = field.data() + field.size();
        const auto [ptr, error] = std::from_chars(field.data(), last, value);
        if (error != std::errc() || ptr != last || !std::isfinite(value)) {
          std::string problem = LineText(number) + ", column " + table.columns[row.size()] + ": '" +
                                std::string(field) + "' is not a number";
          table.rows.pop_back();
          return problem;
        }
      }
      row.push_back(value);
    }
  }
  if (table.rows.empty()) return "no rows after the header (line 1)";
  return {};
}

}  // namespace ombrivale
