// One fuzz input for each reader of the family record, the history, the
// program's own settings, an imported animal file and an ensemble's seed
// file, shared by the libFuzzer targets and the test that replays the
// committed corpora. Each reader must either refuse the input, leaving what
// it promises to leave, or take values that write back as text that reads
// again to the same text (and hold what its record promises).
//
// The checks keep their buffers from one input to the next; whatever a
// check looks at is set before the reading or written by it.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/ensemble_summary.h"
#include "world/animal_import.h"
#include "world/conditions_file.h"
#include "world/lineage_file.h"
#include "world/program_settings_file.h"
#include "world/statistics_files.h"
#include "world/world_files.h"

namespace ombrivale::fuzz {

inline std::string_view Text(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// lineage.dat against a table of two animals, one of each sex, in every 25
// slots (slots 1 and 2, 26 and 27 ...; a fuller table makes the loader's
// founders cost most of an input): refused whole, or a record that, with
// the founders the loader adds for the living it does not name, holds every
// rule (CheckLineage) and writes back as the same text.
inline bool LineageDatFuzzOne(const uint8_t* data, size_t size) {
  static const std::vector<Animal> animals = [] {
    std::vector<Animal> table(kSlotCount + 1);
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      table[static_cast<size_t>(slot)].Alive = slot % 25 == 1 || slot % 25 == 2 ? 1 : 0;
      table[static_cast<size_t>(slot)].Sex = static_cast<uint8_t>(slot % 25 == 2);
    }
    return table;
  }();
  static std::string text;
  static std::string again;
  LoadedLineage loaded;
  loaded.nextSpecies = -7;  // no file reads as it: only a refused one leaves it
  const std::string problem(ParseLineage(Text(data, size), animals, loaded).message());
  if (!problem.empty()) return loaded.nextSpecies == -7 && problem.compare(0, 5, "line ") == 0;
  Lineage& lineage = loaded.lineage;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (IsOccupied(animals[static_cast<size_t>(slot)]) &&
        lineage.idOfSlot[static_cast<size_t>(slot)] == 0) {
      if (lineage.nextId == UINT64_MAX) return true;  // no id left: nothing more to check
      RecordFounder(lineage, slot, 0, 0, 0);
    }
  }
  if (!CheckLineage(lineage, animals).ok()) return false;
  LineageText(lineage, animals, loaded.speciesOfSlot, loaded.nextSpecies, text);
  LoadedLineage back;
  if (!ParseLineage(text, animals, back).ok()) return false;
  LineageText(back.lineage, animals, back.speciesOfSlot, back.nextSpecies, again);
  return again == text && back.lineage.entries.size() == lineage.entries.size();
}

// conditions.txt: refused with a line named and the conditions untouched,
// or values within their ranges that write back as text reading the same.
inline bool ConditionsFuzzOne(const uint8_t* data, size_t size) {
  static std::string text;
  Conditions read;
  read.mutationPasses = -7;  // no file reads as it: only a refused one leaves it
  const std::string problem(ParseConditions(Text(data, size), read).message());
  if (!problem.empty()) return read.mutationPasses == -7 && problem.compare(0, 5, "line ") == 0;
  for (int i = 0; i < kConditionCount; ++i) {
    const ConditionRule& rule = ConditionRules()[static_cast<size_t>(i)];
    const double value = ConditionValue(read, i);
    if (!(value >= rule.low && value <= rule.high)) return false;
  }
  ConditionsText(read, text);
  Conditions back;
  return ParseConditions(text, back).ok() && back == read;
}

// stats.csv: refused with the history untouched, or points adding up to the
// months read, within the capacity, that write back as the same text.
inline bool StatsCsvFuzzOne(const uint8_t* data, size_t size) {
  static std::string text;
  static std::string again;
  History history;
  history.recorded = 99;
  if (!ParseStatisticsFile(Text(data, size), history).ok()) {
    return history.recorded == 99 && history.samples.empty();
  }
  uint64_t months = 0;
  for (const MonthSample& point : history.samples)
    months += point.months;
  if (months != history.recorded || history.samples.size() > kHistoryCapacity) return false;
  StatisticsFileText(history, text);
  History back;
  if (!ParseStatisticsFile(text, back).ok()) return false;
  StatisticsFileText(back, again);
  return again == text && back.recorded == history.recorded;
}

// genes.csv, read for four of the genes the history follows (the adult
// breath capacity and height, the infant height and the egg size; every
// gene is read alike, and the whole header of 345 columns written back for
// every input would cost ten times the rest): refused with the series
// untouched, or a series within its capacity that writes back as the same
// text.
inline bool GenesCsvFuzzOne(const uint8_t* data, size_t size) {
  static const std::vector<SeriesGene> genesRead = [] {
    std::vector<SeriesGene> some;
    for (const size_t g : {0, 10, 63, 106})
      some.push_back(SeriesGenes()[g]);
    return some;
  }();
  static std::string text;
  static std::string again;
  GeneHistory genes;
  genes.grain = 77;
  if (!ParseGenesFile(Text(data, size), genes, genesRead).ok()) {
    return genes.grain == 77 && genes.records.empty();
  }
  if (genes.records.size() > kGeneHistoryCapacity ||
      genes.values.size() != genes.records.size() * genes.genes) {
    return false;
  }
  GenesFileText(genes, text, genesRead);
  GeneHistory back;
  if (!ParseGenesFile(text, back, genesRead).ok()) return false;
  GenesFileText(back, again, genesRead);
  return again == text;
}

// Ombrivale.ini: never refused; what was read writes back as text that
// reads to the same text.
inline bool ProgramSettingsFuzzOne(const uint8_t* data, size_t size) {
  const std::string text = ProgramSettingsText(ParseProgramSettings(Text(data, size)));
  return ProgramSettingsText(ParseProgramSettings(text)) == text;
}

// An animal file as Play God and --import read it: refused with the animal
// untouched, or one of sex 0 or 1 on the map whose file reads back the same.
inline bool AnimalImportFuzzOne(const uint8_t* data, size_t size) {
  static std::string text;
  static std::string again;
  Animal animal;
  animal.Hunger = -12345;  // no file leaves it: the reading is all or nothing
  if (const Status error = ParseAnimalToDrop(Text(data, size), animal); !error.ok()) {
    return animal.Hunger == -12345 && error.where() >= 1 && error.where() <= kAnimalFileLines &&
           AnimalFileFault(error).compare(0, 5, "line ") == 0;
  }
  if (animal.Sex > 1 || animal.X < 0 || animal.X > kMaxX || animal.Y < 0 || animal.Y > kMaxY) {
    return false;
  }
  AnimalFileText(animal, text);
  Animal back;
  if (!ParseAnimalToDrop(text, back).ok()) return false;
  AnimalFileText(back, again);
  return again == text;
}

// One seed's statistics file as the ensemble summary reads it: refused by
// ParseHistoryCsv (with its line), left out for a missing column, or
// summarised alone, when every band of every row is that seed's value (ten
// significant digits, as the summary writes them) and the summary reads
// back with the same reader.
inline bool SeedCsvFuzzOne(const uint8_t* data, size_t size) {
  SeedHistory seed{1, {}};
  if (!ParseHistoryCsv(Text(data, size), seed.table).ok()) return true;
  const HistoryTable& table = seed.table;
  for (const char* column : {"year", "month", "population"}) {
    if (table.Column(column) == table.columns.size()) return true;
  }
  const EnsembleSummary summary = SummariseEnsemble({seed});
  HistoryTable months;
  if (!ParseHistoryCsv(MonthBandsCsv(summary), months).ok()) return false;
  const std::string outcomes = OutcomesCsv(summary);  // a header and the seed's line
  if (std::count(outcomes.begin(), outcomes.end(), '\n') != 2) return false;
  if (months.rows.size() != table.rows.size()) return false;
  for (size_t c = 0; c < table.columns.size(); ++c) {
    const std::string& name = table.columns[c];
    if (name == "year" || name == "month") continue;
    const size_t median = months.Column(name + "_p50");
    if (median == months.columns.size()) return false;
    for (size_t r = 0; r < table.rows.size(); ++r) {
      const double value = table.rows[r][c];
      const double read = months.rows[r][median];
      if (std::isnan(value) != std::isnan(read)) return false;
      if (std::isnan(value)) continue;
      char digits[32];
      const auto written =
          std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 10);
      double expected = 0;
      std::from_chars(digits, written.ptr, expected);
      if (expected != read) return false;
    }
  }
  return true;
}

}  // namespace ombrivale::fuzz
