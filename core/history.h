// The world's history: one sample of its population per simulated month,
// kept for the whole life of the world within a bounded memory.
//
// The history is a row of points, each standing for a run of months. It
// keeps one grain over its whole span, so a chart of ten thousand years is
// as fine at its start as at its end: a new month is gathered into the
// newest point while that spans fewer months than the grain, else it begins
// a new point; when kHistoryCapacity points are held, the grain doubles and
// neighbouring points gather again. A world's first sample (a restart)
// always begins a point of its own, so every restart keeps its true place
// on the time axis; the point before it may span fewer months than the
// grain.
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
  // Months this sample stands for: 1, or more once samples are gathered.
  // Its deaths are those of all of them; everything else, the date
  // included, is the last one's.
  uint64_t months = 1;
  // The first sample of a newly generated world (start-up, "&New World", or
  // the automatic restart of an empty world); of a gathered point, its
  // first month's.
  bool restart = false;
  // With `restart`: the world went back to one of its savepoints when its
  // population died out, in place of a new world.
  bool wentBack = false;

  int32_t population = 0;  // occupied slots, eggs included
  int32_t eggs = 0;
  int32_t infants = 0;
  int32_t adults = 0;
  std::array<uint32_t, kCauseCount> deaths{};  // since the sample before; held at the top
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

// The most points a history holds; when full, the grain doubles.
inline constexpr size_t kHistoryCapacity = 8192;

struct History {
  std::vector<MonthSample> samples;  // the points, oldest first
  uint64_t recorded = 0;             // months sampled since the history began
  uint64_t grain = 1;                // months a point gathers before the next begins (a power of 2)
  MonthSample newest;                // the last sample as taken, one month

  // What the next sample compares with.
  int32_t sampledYear = 0;
  int16_t sampledMonth = 0;
  std::array<uint64_t, kCauseCount> deathsAtLastSample{};
  bool restartPending = false;
  bool wentBackPending = false;

  // The genes' series, taken with the samples (core/gene_history.h).
  GeneHistory genes;
};

// Appends a month's sample: gathered into the newest point or as a new one,
// the grain doubling first when the history is full.
void AppendSample(History& history, const MonthSample& sample);

// After points were read back (`samples` and `recorded` set): takes the
// finest grain that keeps the months within the capacity (a file says no
// grain: it is that of a history of as many months, or half of it), gathers
// the points finer than that (those of a file an older program wrote) and
// coarsens until within the capacity. Points are never split: an older
// file's coarse first points stay as they are. Settling changes nothing in
// settled points.
void SettleHistory(History& history);

}  // namespace ombrivale
