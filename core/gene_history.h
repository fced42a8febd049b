// The genes' side of the history: for each gene the history follows, its
// mean, lowest and highest value over the occupied slots, taken with every
// month's sample.
//
// Unlike the samples, the gene series keeps one grain over its whole span,
// so a chart of three hundred years is as fine at its start as at its end:
// when the series is full every two neighbouring records merge, and from
// then on each record gathers twice as many months. It stays within
// kGeneHistoryCapacity records (about 120 KB in memory with 115 genes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ombrivale {

struct GeneStat {
  float mean = 0;  // NaN: no value (no animal, or a gene a loaded file lacked)
  int16_t lowest = 0;
  int16_t highest = 0;
};

struct GeneRecord {
  // The record's last month as a position on the history's time axis: the
  // index of its sample among all samples ever taken (History::recorded - 1).
  uint64_t last = 0;
  uint64_t months = 1;   // months gathered
  uint64_t animals = 0;  // occupied slots summed over those months: the means' weight
};

inline constexpr size_t kGeneHistoryCapacity = 256;

struct GeneHistory {
  size_t genes = 0;                 // values per record; set by the first record
  uint64_t grain = 1;               // months a record gathers before the next one begins
  std::vector<GeneRecord> records;  // oldest first
  std::vector<GeneStat> values;     // records.size() x genes, record by record

  std::span<const GeneStat> Values(size_t record) const {
    return std::span<const GeneStat>(values).subspan(record * genes, genes);
  }
};

// Adds one month's values (`stats`, one per gene) of `animals` occupied
// slots, at position `last`: into the newest record while it holds fewer
// than `grain` months, else as a new record, halving the series first when
// it is full. REQUIRES: stats.size() is the series' gene count (or the
// series is empty).
void AppendGeneMonth(GeneHistory& history, uint64_t last, uint32_t animals,
                     std::span<const GeneStat> stats);

// Merges every two neighbouring records and doubles the grain.
void HalveGeneHistory(GeneHistory& history);

}  // namespace ombrivale
