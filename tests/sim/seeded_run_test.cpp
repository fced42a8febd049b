// A whole seeded run through the session, as ombrivale-run does it: start-up
// with a new world, thirty years of ticks with the yearly auto-save, a last
// save. The saved folder and the history's CSV are pinned by their digests:
// a change of either is a change of behaviour (or of a file format).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "genetics/body_measures.h"
#include "sim/session.h"
#include "sim/tick.h"
#include "support/test_world.h"
#include "support/world_digest.h"
#include "support/world_files_support.h"
#include "world/history_file.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

namespace fs = std::filesystem;

// FNV-1a over the folder's files in name order, names and bytes.
uint64_t FolderDigest(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  uint64_t hash = testing::Fnv1a("");
  for (const fs::path& file : files) {
    std::stringstream bytes;
    bytes << std::ifstream(file, std::ios::binary).rdbuf();
    hash = testing::Fnv1a(bytes.str(), testing::Fnv1a(file.filename().string() + '\n', hash));
  }
  return hash;
}

void ExpectGolden(const char* what, uint64_t golden, uint64_t actual) {
  if (actual != golden) std::printf("%s digest: 0x%016" PRIX64 "\n", what, actual);
  EXPECT_EQ(golden, actual) << what;
}

TEST(SeededRun, ThirtyYearsFromANewWorldSaveTheSameFolderAndHistory) {
  const fs::path folder =
      fs::temp_directory_path() / ("ombrivale_seeded_run_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  testing::TestWorld t;
  World& world = t.world;
  StartUpPlan plan;
  plan.worldFolder = (folder / "AutoSave").string();
  plan.loadWorld = false;
  plan.seed = 7;  // fills the table in its twenties: overwriting runs too
  ASSERT_FALSE(StartUp(world, plan));
  ASSERT_EQ(1, world.AutoSave);
  const float founderScore = PrimordialScore(world, 1);
  while (world.Year < 30)
    SimulationTick(world);
  ASSERT_TRUE(SaveWorld(world, plan.worldFolder).ok());

  // The run foraged (several hundred animals live for decades), mated and
  // evolved, and never died out: one sample a month, one restart.
  std::string csv = HistoryCsvHeader();
  int mostAnimals = 0, restarts = 0, eggs = 0;
  uint32_t overwritten = 0;
  for (const MonthSample& sample : world.history.samples) {
    AppendHistoryCsvRow(csv, sample);
    mostAnimals = std::max(mostAnimals, sample.population);
    restarts += sample.restart;
    eggs += sample.eggs;
    overwritten += sample.deaths[static_cast<size_t>(Cause::Overwritten)];
  }
  EXPECT_EQ(30u * 12, world.history.samples.size());
  EXPECT_EQ(1, restarts);
  EXPECT_GT(eggs, 1000);
  EXPECT_EQ(kSlotCount, mostAnimals);
  EXPECT_GT(overwritten, 0u);
  EXPECT_LT(world.history.samples.back().lowestScore, founderScore);

  ExpectGolden("saved folder", 0x3A5BC401F190AFF5, FolderDigest(plan.worldFolder));
  ExpectGolden("history CSV", 0xCE6B7B0BC0BBB345, testing::Fnv1a(csv));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace ombrivale
