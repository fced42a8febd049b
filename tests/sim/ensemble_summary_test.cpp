#include "sim/ensemble_summary.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace ombrivale {
namespace {

namespace fs = std::filesystem;

TEST(ParseHistoryCsv, ReportsTheFirstFaultByLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "the file is empty"},
      {"a,b\n", "no rows after the header (line 1)"},
      {"a,b\n1,2\n3,", "line 3 is cut short (no end of line)"},
      {"a,b\n1,2\n3\n", "line 3 has 1 fields, the header 2"},
      {"a,b\n1,2,\n", "line 2 has 3 fields, the header 2"},
      {"a,b\n1,x\n", "line 2, column b: 'x' is not a number"},
      {"a,b\n1,2.5.1\n", "line 2, column b: '2.5.1' is not a number"},
      {"a,b\ninf,2\n", "line 2, column a: 'inf' is not a number"},
      {"a,,b\n1,2,3\n", "line 1 (the header) has an empty column name"},
      {"a,a\n1,2\n", "line 1 (the header) names column a twice"},
      {"a,b\r\n-1,\r\n", ""},
  };
  for (const auto& [text, problem] : cases) {
    HistoryTable table;
    EXPECT_EQ(problem, ParseHistoryCsv(text, table).message()) << text;
  }
  HistoryTable table;
  ASSERT_EQ("OK", ParseHistoryCsv("a,b\r\n-1,\r\n", table).ToString());
  EXPECT_EQ(-1, table.rows[0][0]);
  EXPECT_TRUE(std::isnan(table.rows[0][1]));
}

HistoryTable Table(const char* rows) {
  HistoryTable table;
  const std::string header =
      "year,month,population,deaths_eaten,diet_herbivorous,diet_carnivorous,"
      "lowest_primordial_score\n";
  EXPECT_EQ("OK", ParseHistoryCsv(header + rows, table).ToString());
  return table;
}

// Three seeds of 3, 4 and 3 rows: the second dies out at row 2 (its score
// empty), the third restarts at row 2.
TEST(SummariseEnsemble, PercentilesAndOutcomesMatchAHandCalculation) {
  const EnsembleSummary s = SummariseEnsemble({
      {1, Table("0,2,2,0,0,0,90\n0,3,5,1,2,1,88.5\n0,4,0,2,0,0,\n")},
      {2, Table("0,2,2,0,0,0,90\n0,3,9,0,3,3,87\n0,4,4,1,1,3,86\n0,5,6,0,2,2,85\n")},
      {5, Table("0,2,2,0,0,0,90\n0,3,3,0,1,0,89\n0,2,2,0,0,1,90\n")},
  });
  ASSERT_EQ(4u, s.bands.size());
  EXPECT_EQ((std::vector<int32_t>{3, 3, 3, 1}), s.seedsAtRow);
  const size_t population = 0, lowest = 4;
  ASSERT_EQ("lowest_primordial_score", s.columns[lowest]);
  // Row 1: 3, 5, 9. Row 2: 0, 2, 4; scores 86 and 90 (one empty).
  const Band& a = s.bands[1][population];
  EXPECT_DOUBLE_EQ(17.0 / 3, a.mean);
  EXPECT_DOUBLE_EQ(3.4, a.p10);
  EXPECT_DOUBLE_EQ(5, a.p50);
  EXPECT_DOUBLE_EQ(8.2, a.p90);
  const Band& b = s.bands[2][lowest];
  EXPECT_DOUBLE_EQ(88, b.mean);
  EXPECT_DOUBLE_EQ(86.4, b.p10);
  EXPECT_DOUBLE_EQ(89.6, b.p90);
  EXPECT_DOUBLE_EQ(3.6, s.bands[2][population].p90);
  EXPECT_DOUBLE_EQ(6, s.bands[3][population].p10);  // one seed alone

  const std::string months = MonthBandsCsv(s);
  EXPECT_EQ(0u, months.find("row,seeds,population_mean,population_p10,population_p50,"
                            "population_p90,deaths_eaten_mean,"));
  EXPECT_NE(std::string::npos, months.find("\n1,3,5.666666667,3.4,5,8.2,"));
  HistoryTable back;
  EXPECT_EQ("OK", ParseHistoryCsv(months, back).ToString());

  EXPECT_EQ(
      "seed,rows,year,month,population,extinctions,restarts,deaths_eaten,"
      "lowest_primordial_score,lowest_score_row,lowest_score_year,lowest_score_month,"
      "diet,breathing,covering\n"
      "1,3,0,4,0,1,0,3,88.5,1,0,3,,,\n"
      "2,4,0,5,6,0,0,1,85,3,0,5,herbivorous,,\n"
      "5,3,0,2,2,1,1,0,89,1,0,3,carnivorous,,\n",
      OutcomesCsv(s));
}

// Seed 1 ran two years; seed 2 stopped after one at the end of a line, seed
// 3 in the middle of one, seed 4 wrote nothing.
TEST(ReadEnsembleFolder, LeavesOutMissingDamagedAndShortenedSeedsByName) {
  const fs::path folder = fs::temp_directory_path() / ("ombrivale_ens_" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "seed-4");
  const auto write = [&](const char* name, const std::string& text) {
    std::ofstream(folder / name, std::ios::binary) << text;
  };
  const std::string head = "year,month,population\n0,2,2\n0,12,3\n1,1,4\n";
  write("seed-1.csv", head + "1,12,5\n2,1,6\n");
  write("seed-2.csv", head);
  write("seed-3.csv", head + "1,2,");
  PosixFileSystem files;
  EnsembleFolder e = ReadEnsembleFolder(files, folder.string());
  EXPECT_EQ("OK", e.status.ToString());
  EXPECT_EQ(4u, e.expected);
  EXPECT_EQ(2, e.years);
  ASSERT_EQ(1u, e.seeds.size());
  EXPECT_EQ(1u, e.seeds[0].seed);
  EXPECT_EQ((std::vector<std::string>{"seed-2.csv: cut short after 1 of 2 years",
                                      "seed-3.csv: line 5 is cut short (no end of line)",
                                      "seed-4.csv: missing"}),
            e.leftOut);

  // The ensemble's own record wins: seeds 1 and 9, three years.
  write("ensemble.txt", "seeds 1 9\nyears 3\n");
  e = ReadEnsembleFolder(files, folder.string());
  EXPECT_EQ(
      (std::vector<std::string>{"seed-1.csv: cut short after 2 of 3 years", "seed-9.csv: missing"}),
      e.leftOut);
  write("ensemble.txt", "seeds 1 x\n");
  e = ReadEnsembleFolder(files, folder.string());
  EXPECT_EQ(Status::Code::kCorruption, e.status.code());
  EXPECT_EQ(folder.string() + "/ensemble.txt", e.status.file());
  EXPECT_NE(std::string::npos, e.status.message().find("line 1"));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace ombrivale
