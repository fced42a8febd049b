// ombrivale-summary: sums up an ensemble's statistics files (see
// sim/ensemble_summary.h) into two CSV files and a short table, or compares
// two ensembles statistic by statistic (sim/ensemble_compare.h).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "sim/ensemble_compare.h"
#include "sim/ensemble_summary.h"
#include "world/file_system.h"

namespace ombrivale::tools {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitSeedsLeftOut = 1;
constexpr int kExitBadArguments = 2;

// Seeds listed one per line on the terminal; more are in the seeds file.
constexpr size_t kSeedLines = 20;
// Rows of the table across seeds, evenly spaced from the first to the last
// every seed has.
constexpr size_t kBandLines = 11;

constexpr const char kUsage[] =
    "usage: ombrivale-summary DIR\n"
    "       ombrivale-summary --compare DIR_A DIR_B [--years Y[,Y...]] [--out FILE]\n"
    "\n"
    "Reads DIR/seed-<N>.csv of every seed of an ensemble (the seeds and years\n"
    "of DIR/ensemble.txt, or every seed-<N>.csv found) and writes\n"
    "  DIR/summary-months.csv  per month (row): mean and 10th, 50th and 90th\n"
    "                          percentiles across seeds of every column\n"
    "  DIR/summary-seeds.csv   per seed: how its world ended\n"
    "with a short table on standard output. A missing, damaged or cut file is\n"
    "reported on standard error and its seed left out.\n"
    "\n"
    "--compare: for every statistic at the end of the runs (and at each year\n"
    "given), both ensembles' medians, the difference (B - A) with a bootstrap\n"
    "95% interval (10,000 resamples, seeded) and the Mann-Whitney U test's\n"
    "two-sided p-value, into FILE (default: compare-<A>-<B>.csv beside DIR_B)\n"
    "and, for the main statistics, as a table on standard output.\n"
    "Exit status: 0 every seed summarised, 1 some left out (the rest are\n"
    "summarised), 2 bad arguments or no seed to summarise.\n";

// The statistics the terminal table shows; the file has them all.
constexpr const char* kTableStatistics[] = {"population",
                                            "adults",
                                            "mean_primordial_score",
                                            "lowest_primordial_score",
                                            "species",
                                            "highest_generation",
                                            "extinctions",
                                            "restarts",
                                            "lowest_score_reached"};

std::string Number(double value, int decimals) {
  if (std::isnan(value)) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Trio(const Band& band, int decimals) {
  return Number(band.p10, decimals) + " / " + Number(band.p50, decimals) + " / " +
         Number(band.p90, decimals);
}

void PrintSeeds(const EnsembleSummary& s) {
  std::printf("%6s %10s %11s %8s %12s %7s  %-12s %-16s %s\n", "seed", "population", "extinctions",
              "restarts", "lowest score", "in year", "diet", "breathing", "covering");
  for (size_t i = 0; i < s.outcomes.size() && i < kSeedLines; ++i) {
    const SeedOutcome& o = s.outcomes[i];
    std::printf("%6llu %10s %11d %8d %12s %7s  %-12s %-16s %s\n",
                static_cast<unsigned long long>(o.seed), Number(o.population, 0).c_str(),
                o.extinctions, o.restarts, Number(o.lowestScore, 2).c_str(),
                Number(o.lowestYear, 0).c_str(), o.diet.empty() ? "-" : o.diet.c_str(),
                o.breathing.empty() ? "-" : o.breathing.c_str(),
                o.covering.empty() ? "-" : o.covering.c_str());
  }
  if (s.outcomes.size() > kSeedLines) {
    std::printf("%6s (%zu more in summary-seeds.csv)\n", "...", s.outcomes.size() - kSeedLines);
  }
}

// "breathing at the end: lungs 9, gills 5, - 1" ("-": none hatched).
void PrintTally(const EnsembleSummary& s, const char* what, std::string SeedOutcome::*trait) {
  std::map<std::string, int> counts;
  for (const SeedOutcome& o : s.outcomes)
    ++counts[(o.*trait).empty() ? "-" : o.*trait];
  std::printf("%s at the end:", what);
  const char* separator = " ";
  for (const auto& [name, count] : counts) {
    std::printf("%s%s %d", separator, name.c_str(), count);
    separator = ", ";
  }
  std::printf("\n");
}

void PrintBands(const EnsembleSummary& s) {
  const auto find = [&](const char* name) {
    for (size_t c = 0; c < s.columns.size(); ++c) {
      if (s.columns[c] == name) return c;
    }
    return s.columns.size();
  };
  const size_t population = find("population");
  const size_t lowest = find("lowest_primordial_score");
  // Up to the last row every seed has: beyond it, seeds whose worlds
  // restarted go on alone.
  size_t rows = s.bands.size();
  for (const SeedOutcome& o : s.outcomes)
    rows = std::min(rows, o.rows);
  std::printf("\nAcross seeds, 10th / 50th / 90th percentile (row: months since the start)\n");
  std::printf("%6s %6s  %-24s %s\n", "row", "seeds", "population", "lowest score");
  for (size_t line = 0; line < kBandLines && rows > 0; ++line) {
    const size_t r = line * (rows - 1) / (kBandLines - 1);
    if (line > 0 && r == (line - 1) * (rows - 1) / (kBandLines - 1)) continue;
    const std::vector<Band>& bands = s.bands[r];
    std::printf("%6zu %6d  %-24s %s\n", r, s.seedsAtRow[r],
                population < bands.size() ? Trio(bands[population], 0).c_str() : "-",
                lowest < bands.size() ? Trio(bands[lowest], 2).c_str() : "-");
  }
}

// An ensemble folder that cannot be read: "ombrivale-summary: DIR/ensemble.txt: why".
void ReportUnreadable(const Status& status) {
  std::cerr << "ombrivale-summary: " << status.file() << ": " << ErrorDescription(status) << '\n';
}

int Summarise(const std::string& folder) {
  PosixFileSystem files;
  const EnsembleFolder ensemble = ReadEnsembleFolder(files, folder);
  if (!ensemble.status.ok()) {
    ReportUnreadable(ensemble.status);
    return kExitBadArguments;
  }
  for (const std::string& problem : ensemble.leftOut)
    std::cerr << "ombrivale-summary: left out " << problem << '\n';
  if (ensemble.seeds.empty()) {
    std::cerr << "ombrivale-summary: no seed to summarise in " << folder << '\n';
    return kExitBadArguments;
  }

  const EnsembleSummary summary = SummariseEnsemble(ensemble.seeds);
  const std::pair<const char*, std::string> outputs[] = {
      {"summary-months.csv", MonthBandsCsv(summary)},
      {"summary-seeds.csv", OutcomesCsv(summary)},
  };
  for (const auto& [name, bytes] : outputs) {
    const std::string path = folder + "/" + name;
    if (const Status error = WriteWholeFile(files, path, bytes, false); !error.ok()) {
      std::cerr << "ombrivale-summary: " << path << ": " << ErrorDescription(error) << '\n';
      return kExitBadArguments;
    }
  }

  std::printf(
      "%zu of %zu seeds, %lld years each; written: %s/summary-months.csv, "
      "summary-seeds.csv\n\n",
      ensemble.seeds.size(), ensemble.expected, static_cast<long long>(ensemble.years),
      folder.c_str());
  PrintSeeds(summary);
  std::printf("\n");
  PrintTally(summary, "diet", &SeedOutcome::diet);
  PrintTally(summary, "breathing", &SeedOutcome::breathing);
  PrintTally(summary, "covering", &SeedOutcome::covering);
  PrintBands(summary);
  return ensemble.leftOut.empty() ? kExitOk : kExitSeedsLeftOut;
}

std::string BaseName(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Parent(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// "12.5 [3.0, 20.5]"
std::string WithInterval(const Comparison& c) {
  return Number(c.difference, 2) + " [" + Number(c.interval.low, 2) + ", " +
         Number(c.interval.high, 2) + "]";
}

// Reads one ensemble for a comparison; false (reported) when it has no seed.
bool ReadForComparison(FileSystem& files, const std::string& folder, EnsembleFolder& out) {
  out = ReadEnsembleFolder(files, folder);
  if (!out.status.ok()) {
    ReportUnreadable(out.status);
    return false;
  }
  for (const std::string& problem : out.leftOut)
    std::cerr << "ombrivale-summary: " << folder << ": left out " << problem << '\n';
  if (out.seeds.empty()) {
    std::cerr << "ombrivale-summary: no seed to compare in " << folder << '\n';
    return false;
  }
  return true;
}

int Compare(const std::string& first, const std::string& second, const std::vector<int64_t>& years,
            std::string out) {
  PosixFileSystem files;
  EnsembleFolder a;
  EnsembleFolder b;
  if (!ReadForComparison(files, first, a) || !ReadForComparison(files, second, b)) {
    return kExitBadArguments;
  }
  const std::vector<Comparison> comparisons = CompareEnsembles(a.seeds, b.seeds, years);
  if (out.empty())
    out = Parent(second) + "/compare-" + BaseName(first) + "-" + BaseName(second) + ".csv";
  if (const Status error = WriteWholeFile(files, out, ComparisonCsv(comparisons), false);
      !error.ok()) {
    std::cerr << "ombrivale-summary: " << out << ": " << ErrorDescription(error) << '\n';
    return kExitBadArguments;
  }
  std::printf("A: %s, %zu seeds; B: %s, %zu seeds; written: %s\n", first.c_str(), a.seeds.size(),
              second.c_str(), b.seeds.size(), out.c_str());
  std::printf(
      "Medians across seeds; difference B - A with its 95%% bootstrap interval;\n"
      "p: Mann-Whitney U, two-sided (* below 0.05)\n\n");
  std::printf("%-24s %6s %12s %12s  %-30s %s\n", "statistic", "at", "median A", "median B",
              "difference [95% interval]", "p");
  for (const Comparison& c : comparisons) {
    if (std::find_if(std::begin(kTableStatistics), std::end(kTableStatistics),
                     [&c](const char* name) { return c.statistic == name; }) ==
        std::end(kTableStatistics)) {
      continue;
    }
    const std::string at = c.year < 0 ? "end" : "y" + std::to_string(c.year);
    std::printf("%-24s %6s %12s %12s  %-30s %s%s\n", c.statistic.c_str(), at.c_str(),
                Number(c.medianA, 2).c_str(), Number(c.medianB, 2).c_str(), WithInterval(c).c_str(),
                Number(c.p, 4).c_str(), !std::isnan(c.p) && c.p < 0.05 ? " *" : "");
  }
  const bool whole = a.leftOut.empty() && b.leftOut.empty();
  return whole ? kExitOk : kExitSeedsLeftOut;
}

// "--years 50,100": the years, or false when one is not a whole number >= 0.
bool ParseYears(const std::string& text, std::vector<int64_t>& years) {
  size_t begin = 0;
  while (begin <= text.size()) {
    const size_t end = std::min(text.find(',', begin), text.size());
    const std::string item = text.substr(begin, end - begin);
    char* stop = nullptr;
    const long long value = std::strtoll(item.c_str(), &stop, 10);
    if (item.empty() || *stop != '\0' || value < 0) return false;
    years.push_back(value);
    begin = end + 1;
  }
  return true;
}

int CompareCommand(const std::vector<std::string>& args) {
  std::vector<std::string> folders;
  std::vector<int64_t> years;
  std::string out;
  for (size_t i = 1; i < args.size(); ++i) {
    if ((args[i] == "--years" || args[i] == "--out") && i + 1 < args.size()) {
      if (args[i] == "--out") {
        out = args[++i];
      } else if (!ParseYears(args[++i], years)) {
        std::cerr << "ombrivale-summary: --years takes whole years, e.g. --years 50,100\n";
        return kExitBadArguments;
      }
    } else if (args[i].rfind("--", 0) == 0 || args[i].empty()) {
      std::cerr << kUsage;
      return kExitBadArguments;
    } else {
      folders.push_back(args[i]);
    }
  }
  if (folders.size() != 2) {
    std::cerr << kUsage;
    return kExitBadArguments;
  }
  return Compare(folders[0], folders[1], years, out);
}

}  // namespace
}  // namespace ombrivale::tools

int main(int argc, char** argv) {
  using namespace ombrivale::tools;
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kUsage;
    return kExitOk;
  }
  if (!args.empty() && args[0] == "--compare") return CompareCommand(args);
  if (args.size() != 1 || args[0].empty() || args[0].rfind("--", 0) == 0) {
    std::cerr << kUsage;
    return kExitBadArguments;
  }
  return Summarise(args[0]);
}
