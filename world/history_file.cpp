#include "world/history_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <type_traits>

namespace ombrivale {
namespace {

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

constexpr double kInt32Max = std::numeric_limits<int32_t>::max();
constexpr double kUint32Max = std::numeric_limits<uint32_t>::max();

#define OMBRIVALE_SAMPLE_COLUMN(text, field, low, high, integral)               \
  SampleColumn {                                                                \
    text, [](const MonthSample& s) { return static_cast<double>(s.field); },    \
        [](MonthSample& s, double v) {                                          \
          s.field = static_cast<std::remove_reference_t<decltype(s.field)>>(v); \
        },                                                                      \
        low, high, integral                                                     \
  }
#define OMBRIVALE_COUNT(text, field) OMBRIVALE_SAMPLE_COLUMN(text, field, 0, kInt32Max, true)
#define OMBRIVALE_DEATHS(text, cause) \
  OMBRIVALE_SAMPLE_COLUMN(text, deaths[static_cast<size_t>(cause)], 0, kUint32Max, true)

const SampleColumn kSampleColumns[] = {
    OMBRIVALE_SAMPLE_COLUMN("year", year, -kInt32Max - 1, kInt32Max, true),
    OMBRIVALE_SAMPLE_COLUMN("month", month, 0, 12, true),
    OMBRIVALE_COUNT("population", population),
    OMBRIVALE_COUNT("eggs", eggs),
    OMBRIVALE_COUNT("infants", infants),
    OMBRIVALE_COUNT("adults", adults),
    OMBRIVALE_DEATHS("deaths_old_age", Cause::OldAge),
    OMBRIVALE_DEATHS("deaths_eaten", Cause::Eaten),
    OMBRIVALE_DEATHS("deaths_overwritten", Cause::Overwritten),
    OMBRIVALE_DEATHS("deaths_suffocation", Cause::Suffocation),
    OMBRIVALE_DEATHS("deaths_hunger", Cause::Hunger),
    OMBRIVALE_DEATHS("deaths_sacrificed", Cause::Sacrificed),
    OMBRIVALE_COUNT("diet_scum_sucker", diet[kScumSucker]),
    OMBRIVALE_COUNT("diet_herbivorous", diet[kHerbivorous]),
    OMBRIVALE_COUNT("diet_omnivorous", diet[kOmnivorous]),
    OMBRIVALE_COUNT("diet_carnivorous", diet[kCarnivorous]),
    OMBRIVALE_COUNT("breathing_none", breathing[kNoMethod]),
    OMBRIVALE_COUNT("breathing_gills", breathing[kGills]),
    OMBRIVALE_COUNT("breathing_gills_and_lungs", breathing[kGillsAndLungs]),
    OMBRIVALE_COUNT("breathing_lungs", breathing[kLungs]),
    OMBRIVALE_COUNT("covering_fur", covering[kFur]),
    OMBRIVALE_COUNT("covering_skin", covering[kSkin]),
    OMBRIVALE_COUNT("covering_scales", covering[kScales]),
    OMBRIVALE_COUNT("covering_feathers", covering[kFeathers]),
    OMBRIVALE_SAMPLE_COLUMN("mean_primordial_score", meanScore, 0, 100, false),
    OMBRIVALE_SAMPLE_COLUMN("lowest_primordial_score", lowestScore, 0, 100, false),
    OMBRIVALE_COUNT("species", species),
    OMBRIVALE_SAMPLE_COLUMN("highest_generation", highestGeneration, 0, kUint32Max, true),
};

#undef OMBRIVALE_DEATHS
#undef OMBRIVALE_COUNT
#undef OMBRIVALE_SAMPLE_COLUMN

}  // namespace

std::span<const SampleColumn> SampleColumns() {
  return kSampleColumns;
}

const SampleColumn* FindSampleColumn(std::string_view name) {
  for (const SampleColumn& column : kSampleColumns) {
    if (name == column.name) return &column;
  }
  return nullptr;
}

const std::string& HistoryCsvHeader() {
  static const std::string header = [] {
    std::string text;
    for (const SampleColumn& column : kSampleColumns) {
      if (!text.empty()) text += ',';
      text += column.name;
    }
    return text + '\n';
  }();
  return header;
}

void AppendHistoryCsvRow(std::string& out, const MonthSample& sample) {
  bool first = true;
  for (const SampleColumn& column : kSampleColumns) {
    if (!first) out += ',';
    first = false;
    const double value = column.get(sample);
    if (column.integral) {
      char digits[24];
      out.append(digits,
                 std::to_chars(digits, digits + sizeof digits, static_cast<int64_t>(value)).ptr);
    } else if (sample.population > 0) {
      char decimals[32];
      std::snprintf(decimals, sizeof decimals, "%.4f", value);
      out += decimals;
    }
  }
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

Status ParseHistoryCsv(std::string_view text, HistoryTable& table) {
  table = HistoryTable{};
  if (text.empty()) return Status::Corruption("the file is empty");
  std::vector<std::string_view> fields;
  size_t number = 0;
  while (!text.empty()) {
    ++number;
    const size_t end = text.find('\n');
    if (end == std::string_view::npos)
      return Status::Corruption(LineText(number) + " is cut short (no end of line)");
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    SplitFields(line, fields);

    if (number == 1) {
      ColumnIndex met(fields.size());
      for (const std::string_view name : fields) {
        if (name.empty()) return Status::Corruption("line 1 (the header) has an empty column name");
        if (!met.Add(name, 0)) {
          return Status::Corruption("line 1 (the header) names column " + std::string(name) +
                                    " twice");
        }
        table.columns.emplace_back(name);
      }
      continue;
    }
    if (fields.size() != table.columns.size()) {
      return Status::Corruption(LineText(number) + " has " + std::to_string(fields.size()) +
                                " fields, the header " + std::to_string(table.columns.size()));
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
          return Status::Corruption(problem);
        }
      }
      row.push_back(value);
    }
  }
  if (table.rows.empty()) return Status::Corruption("no rows after the header (line 1)");
  return Status::OK();
}

}  // namespace ombrivale
