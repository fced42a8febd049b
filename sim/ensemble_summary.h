// The summary of an ensemble: many worlds, one per seed, run to the same
// length, each writing its statistics file (world/history_file.h) into one
// folder as "seed-<N>.csv".
//
// Months are aligned by the row index within each file: row r of every seed
// is its r-th sample since its new world (row 0 is taken at start-up, each
// row after it one month later, unless the world restarted). Columns are
// taken by their header names, so a column added to the statistics file is
// summarised without a change here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "world/file_system.h"
#include "world/history_file.h"

namespace ombrivale {

inline constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// The percentile p (0..1) of `sorted` by linear interpolation between the
// closest ranks: with h = (n - 1) p, x[floor h] + (h - floor h) (x[floor h + 1]
// - x[floor h]), counting from 0 (numpy's default, Excel's PERCENTILE.INC).
// REQUIRES: `sorted` ascending and not empty.
double Percentile(const std::vector<double>& sorted, double p);

// One column at one row across the seeds that have the row and a value in
// it; all kNoValue when none has.
struct Band {
  double mean = kNoValue;
  double p10 = kNoValue;
  double p50 = kNoValue;
  double p90 = kNoValue;
};

// How one seed's world ended.
struct SeedOutcome {
  uint64_t seed = 0;
  size_t rows = 0;
  // The last row's.
  double year = kNoValue;
  double month = kNoValue;
  double population = kNoValue;
  // The population fell to 0: a row of 0 after a row above 0, or a restart
  // right after a row above 0 (the empty world was replaced before the month
  // was sampled).
  int32_t extinctions = 0;
  // A new world: a row earlier in the calendar than the row before it.
  int32_t restarts = 0;
  // The sum over all rows of each of EnsembleSummary::deathColumns.
  std::vector<double> deaths;
  // The lowest "lowest_primordial_score" of any row; the first row reaching it.
  double lowestScore = kNoValue;
  size_t lowestRow = 0;
  double lowestYear = kNoValue;
  double lowestMonth = kNoValue;
  // The diet, breathing method and covering counting the most hatched
  // animals in the last row (the column name without its prefix: "lungs");
  // ties go to the earlier column; empty when none is above 0.
  std::string diet;
  std::string breathing;
  std::string covering;
};

struct SeedHistory {
  uint64_t seed = 0;
  HistoryTable table;  // has year, month and population columns
};

struct EnsembleSummary {
  // Every column of any seed's file except year and month, in the order met.
  std::vector<std::string> columns;
  std::vector<int32_t> seedsAtRow;        // seeds whose file has row r
  std::vector<std::vector<Band>> bands;   // [row][column]
  std::vector<std::string> deathColumns;  // the "deaths_" columns
  std::vector<SeedOutcome> outcomes;      // in the order of the seeds given
};

// Turned years, counted as `ombrivale-run --years` counts them: rows whose
// year is the year of the row before plus one.
int64_t TurnedYears(const HistoryTable& table);

SeedOutcome OutcomeOf(uint64_t seed, const HistoryTable& table,
                      const std::vector<std::string>& deathColumns);

EnsembleSummary SummariseEnsemble(const std::vector<SeedHistory>& seeds);

// The per-month file: "row,seeds", then "<column>_mean", "_p10", "_p50" and
// "_p90" for every summarised column; one line per row index, numbers with
// up to ten significant digits, empty where no seed has a value. Lines end
// in LF. It reads back with ParseHistoryCsv.
std::string MonthBandsCsv(const EnsembleSummary& summary);

// The per-seed file: "seed,rows,year,month,population,extinctions,restarts",
// the death columns (totals of the run), "lowest_primordial_score,
// lowest_score_row,lowest_score_year,lowest_score_month,diet,breathing,
// covering"; one line per seed.
std::string OutcomesCsv(const EnsembleSummary& summary);

// An ensemble's folder as read: its sound seeds and why the others are left
// out.
struct EnsembleFolder {
  std::vector<SeedHistory> seeds;    // by seed number
  std::vector<std::string> leftOut;  // "seed-3.csv: line 12 is cut short ..."
  size_t expected = 0;               // seeds the folder should hold
  int64_t years = 0;                 // turned years a whole run has
  // What makes the folder unreadable, if anything, naming the file it is in.
  Status status;
};

// Reads "<folder>/seed-<N>.csv" of every expected seed. The seeds and years
// expected are those of "<folder>/ensemble.txt" (lines "seeds N N ..." and
// "years N", as the ensemble script writes them); without it, every seed
// with a "seed-<N>.csv" file or a "seed-<N>" folder, and the years of the
// longest of them. A seed is left out when its file is missing, unreadable,
// damaged (ParseHistoryCsv), lacks a year, month or population column, or
// has fewer turned years than expected (its run was cut short).
EnsembleFolder ReadEnsembleFolder(FileSystem& files, const std::string& folder);

}  // namespace ombrivale
