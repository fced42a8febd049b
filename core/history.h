// The world's history: one sample of its population per simulated month,
// kept for the whole life of the world within a bounded memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/codes.h"
#include "core/gene_history.h"

namespace ombrivale {

struct MonthSample {
  int32_t year = 0;
  int16_t month = 0;
  // Months this sample stands for: 1, or more once old samples are merged.
  // Its deaths are those of all of them; everything else is the last one's.
  uint16_t months = 1;
  // The first sample of a newly generated world (start-up, "&New World", or
  // the automatic restart of an empty world).
  bool restart = false;

  int32_t population = 0;  // occupied slots, eggs included
  int32_t eggs = 0;
  int32_t infants = 0;
  int32_t adults = 0;
  std::array<uint32_t, kCauseCount> deaths{};  // since the sample before
  // Hatched animals by the code of their expressed set (0..3).
  std::array<int32_t, kCodeValueCount> diet{};
  std::array<int32_t, kCodeValueCount> breathing{};
  std::array<int32_t, kCodeValueCount> covering{};
  // Evolvedness scores (per cent) of the occupied slots; only meaningful
  // when population > 0.
  double meanScore = 0;
  double lowestScore = 0;
  // Species among the adults (behaviour/species.h), and the highest
  // generation of the occupied slots (core/lineage.h).
  int32_t species = 0;
  uint32_t highestGeneration = 0;
};

// Samples beyond this many make the older half merge pairwise, so a run of
// thousands of years keeps its whole span at a coarser grain.
inline constexpr size_t kHistoryCapacity = 8192;

struct History {
  std::vector<MonthSample> samples;  // oldest first
  uint64_t recorded = 0;             // samples ever taken, merged or not

  // What the next sample compares with.
  int32_t sampledYear = 0;
  int16_t sampledMonth = 0;
  std::array<uint64_t, kCauseCount> deathsAtLastSample{};
  bool restartPending = false;

  // The genes' series, taken with the samples (core/gene_history.h).
  GeneHistory genes;
};

// Appends a sample, merging the older half pairwise when the history is full.
void AppendSample(History& history, const MonthSample& sample);

}  // namespace ombrivale
