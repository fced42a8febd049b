#include "world/statistics_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "genetics/gene_census.h"
#include "genetics/needs.h"
#include "sim/statistics.h"
#include "support/test_world.h"
#include "support/world_files_support.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

using testing::ReadFileText;
using testing::ScratchFolder;
using testing::TestWorld;
using testing::WriteFileText;

// A history of five months of three animals of different heights, with a
// death, an empty world and a restart; its first two samples merged.
void MakeHistory(World& world) {
  testing::FillRows(world, 0, 100, kWater);
  world.Year = 7;
  world.Month = 3;
  for (int slot = 1; slot <= 3; ++slot) {
    Animal& animal = testing::PutAnimal(world, slot, 5050, 5050, slot == 3 ? kStageEgg : 1);
    animal.Genes[kStageAdult].Body.Height = static_cast<int16_t>(slot * slot);
  }
  RecordSample(world);
  KillAnimal(world, 2, Cause::Eaten);
  for (const int slot : {0, 1, 3}) {
    ++world.Month;
    if (slot > 0) AnimalAt(world, slot).Alive = 0;
    if (slot == 3) MarkRestart(world);
    RecordSample(world);
  }
  world.history.samples[1].months = 2;  // as a merge leaves it
  world.history.samples[1].restart = true;
}

std::string StatsText(const History& history) {
  std::string text;
  StatisticsFileText(history, text);
  return text;
}
std::string GenesText(const GeneHistory& genes) {
  std::string text;
  GenesFileText(genes, text);
  return text;
}

TEST(StatisticsFiles, RoundTripKeepsEverySampleAndTheGeneSeries) {
  TestWorld t;
  MakeHistory(t.world);
  const History& saved = t.world.history;
  History read;
  ASSERT_EQ("OK", ParseStatisticsFile(StatsText(saved), read).ToString());
  ASSERT_EQ("OK", ParseGenesFile(GenesText(saved.genes), read.genes).ToString());
  EXPECT_EQ(StatsText(saved), StatsText(read));
  EXPECT_EQ(GenesText(saved.genes), GenesText(read.genes));
  EXPECT_EQ(5u, read.recorded);  // the months the samples stand for
  EXPECT_EQ(2, read.samples[1].months);
  EXPECT_TRUE(read.samples[1].restart);
  EXPECT_EQ(1u, read.samples[1].deaths[static_cast<size_t>(Cause::Eaten)]);
  // Heights 1, 4 and 9, then 4 and 9, then none.
  const size_t height = 10;  // adult Body.Height in the properties' order
  ASSERT_EQ(4u, read.genes.records.size());
  EXPECT_FLOAT_EQ(14.0f / 3, saved.genes.Values(0)[height].mean);
  EXPECT_FLOAT_EQ(4.67f, read.genes.Values(0)[height].mean);  // two decimals on file
  EXPECT_EQ(1, read.genes.Values(0)[height].lowest);
  EXPECT_EQ(9, read.genes.Values(0)[height].highest);
  EXPECT_TRUE(std::isnan(read.genes.Values(3)[height].mean));
  EXPECT_EQ(3u, read.genes.records[3].last);
}

// Ten thousand years of months pushed directly, a restart every few
// decades, through stats.csv and genes.csv: every month, every restart's
// place, the grain and the genes come back. (Months were 16 bits.)
TEST(StatisticsFiles, TenThousandYearsGoThroughTheFilesWhole) {
  History saved;
  std::vector<GeneStat> stats(SeriesGenes().size());
  for (uint64_t n = 0, next = 0; n < 12 * 10000; ++n) {
    MonthSample sample;
    sample.population = static_cast<int32_t>(n % 751);
    sample.restart = n == next;
    if (sample.restart) next = n + 1 + (n * 7919 + 12345) % 1000;
    AppendSample(saved, sample);
    stats.assign(stats.size(), GeneStat{static_cast<float>(n % 50), 0, 9});
    AppendGeneMonth(saved.genes, saved.recorded - 1, 3, stats);
  }
  History read;
  ASSERT_EQ("OK", ParseStatisticsFile(StatsText(saved), read).ToString());
  ASSERT_EQ("OK", ParseGenesFile(GenesText(saved.genes), read.genes).ToString());
  EXPECT_EQ(StatsText(saved), StatsText(read));
  EXPECT_EQ(GenesText(saved.genes), GenesText(read.genes));
  EXPECT_EQ(saved.grain, read.grain);

  // A line of more months than 16 bits hold, as an older program wrote.
  ASSERT_EQ(
      "OK",
      ParseStatisticsFile("year,month,population,months\n9000,1,5,100000\n", read).ToString());
  EXPECT_EQ(100000u, read.recorded);
}

TEST(StatisticsFiles, DamagedFilesSayWhatAndWhere) {
  TestWorld t;
  MakeHistory(t.world);
  const std::string stats = StatsText(t.world.history);
  const std::string genes = GenesText(t.world.history.genes);
  const auto replaced = [](std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
  };
  struct Case {
    std::string text;
    bool genesFile;
    std::string problem;
  };
  const Case cases[] = {
      {stats.substr(0, stats.size() - 1), false, "line 5 is cut short (no end of line)"},
      {replaced(stats, ",2,1\n", ",0,1\n"), false, "line 3, column months: '0' is out of range"},
      {replaced(stats, "7,4,", "7,4.5,"), false,
       "line 3, column month: '4.5' is not a whole number"},
      {replaced(stats, "7,3,3,", "7,13,3,"), false, "line 2, column month: '13' is out of range"},
      {replaced(stats, "year,", "yr,"), false, "line 1 (the header) has no column year"},
      {replaced(genes, "\n1,", "\n0,"), true, "line 3: last is not after the line before"},
      {replaced(genes, "\n0,1,3,", "\n0,1,,"), true, "line 2, column animals is empty"},
  };
  for (const Case& c : cases) {
    History history;
    history.recorded = 99;
    const Status status =
        c.genesFile ? ParseGenesFile(c.text, history.genes) : ParseStatisticsFile(c.text, history);
    EXPECT_EQ(c.problem, status.message());
    EXPECT_EQ(99u, history.recorded);  // untouched
    EXPECT_TRUE(history.genes.records.empty());
  }
}

TEST(StatisticsFiles, TheSaveCarriesTheHistoryAndOlderOrDamagedFoldersLoadWithout) {
  ScratchFolder scratch;
  TestWorld t;
  MakeHistory(t.world);
  ASSERT_TRUE(SaveWorld(t.world, scratch.AutoSave()).ok());
  const std::string statsFile = scratch.AutoSave() + "/" + kStatisticsFileName;
  const std::string genesFile = scratch.AutoSave() + "/" + kGenesFileName;
  const std::string stats = ReadFileText(statsFile);
  EXPECT_EQ(StatsText(t.world.history), stats);

  // Loads the folder: no message, or one naming `damaged` and the line.
  const auto load = [&](const char* damaged) {
    TestWorld loaded;
    loaded.world.history.recorded = 42;  // whatever was there goes
    EXPECT_TRUE(LoadWorld(loaded.world, scratch.AutoSave()));
    loaded.Events();
    EXPECT_EQ(damaged != nullptr ? 1u : 0u, loaded.seam.boxes.size());
    if (damaged != nullptr) {
      EXPECT_EQ("History Not Loaded", loaded.seam.boxes[0].title);
      EXPECT_EQ(0u,
                loaded.seam.boxes[0].text.find(std::string(damaged) + " could not be read (line "));
    }
    return std::make_pair(StatsText(loaded.world.history),
                          loaded.world.history.genes.records.size());
  };
  EXPECT_EQ(std::make_pair(stats, size_t{4}), load(nullptr));
  // Damaged by hand, without the save's manifest: the readers report.
  std::remove((scratch.AutoSave() + "/manifest.dat").c_str());

  WriteFileText(genesFile, "last,months\n1,x\n");  // the samples stay, the genes go
  EXPECT_EQ(std::make_pair(stats, size_t{0}), load(kGenesFileName));
  WriteFileText(statsFile, stats.substr(0, 40));
  const std::string empty = StatsText(History{});
  EXPECT_EQ(std::make_pair(empty, size_t{0}), load(kStatisticsFileName));
  std::remove(statsFile.c_str());  // a folder saved before the history was
  EXPECT_EQ(std::make_pair(empty, size_t{0}), load(nullptr));
}

}  // namespace
}  // namespace ombrivale
