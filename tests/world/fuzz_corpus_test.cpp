// Replays the fuzz corpora of the world files and the settings file through
// the fuzz targets' own checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fuzz/records_fuzz.h"
#include "fuzz/settings_fuzz.h"
#include "fuzz/world_files_fuzz.h"
#include "support/world_files_support.h"

namespace ombrivale {
namespace {

std::string CorpusFile(const std::string& path) {
  return testing::ReadFileText(OMBRIVALE_SOURCE_DIR "/fuzz/corpus/" + path);
}

// Every file of fuzz/corpus/<kind>/; returns how many there were.
int Replay(const char* kind, bool (*fuzzOne)(const uint8_t*, size_t)) {
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(
           OMBRIVALE_SOURCE_DIR "/fuzz/corpus/" + std::string(kind))) {
    if (!entry.is_regular_file()) continue;
    const std::string bytes = testing::ReadFileText(entry.path());
    EXPECT_TRUE(fuzzOne(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
        << entry.path();
    ++inputs;
  }
  return inputs;
}

TEST(FuzzCorpus, EveryInputIsRefusedOrReadsBackTheSame) {
  EXPECT_GT(Replay("planet_0", fuzz::Planet0FuzzOne), 0);
  EXPECT_GT(Replay("planet_1", fuzz::Planet1FuzzOne), 0);
  EXPECT_GT(Replay("planet_2", fuzz::Planet2FuzzOne), 0);
  EXPECT_GT(Replay("animals_dat", fuzz::AnimalsDatFuzzOne), 0);
  EXPECT_GT(Replay("animal_file", fuzz::AnimalFileFuzzOne), 0);
  EXPECT_GT(Replay("settings", fuzz::SettingsFuzzOne), 0);
  EXPECT_GT(Replay("lineage_dat", fuzz::LineageDatFuzzOne), 0);
  EXPECT_GT(Replay("stats_csv", fuzz::StatsCsvFuzzOne), 0);
  EXPECT_GT(Replay("genes_csv", fuzz::GenesCsvFuzzOne), 0);
  EXPECT_GT(Replay("program_settings", fuzz::ProgramSettingsFuzzOne), 0);
  EXPECT_GT(Replay("animal_import", fuzz::AnimalImportFuzzOne), 0);
  EXPECT_GT(Replay("seed_csv", fuzz::SeedCsvFuzzOne), 0);
  EXPECT_GT(Replay("conditions", fuzz::ConditionsFuzzOne), 0);
}

// The real save in the corpus is whole: each file reads without an error.
TEST(FuzzCorpus, RealSaveReadsCleanly) {
  World world;
  EXPECT_TRUE(ParsePlanet0(CorpusFile("planet_0/real_year30.dat"), world).ok());
  EXPECT_TRUE(ParsePlanet1(CorpusFile("planet_1/real_year30.dat"), world).ok());
  EXPECT_TRUE(ParseAnimalList(CorpusFile("animals_dat/real_full.dat"), world).ok());
  EXPECT_TRUE(ParseAnimalFile(CorpusFile("animal_file/real_A_1.OBG"), AnimalAt(world, 1)).ok());
  Calendar calendar;
  EXPECT_TRUE(ParsePlanet2(CorpusFile("planet_2/real_year30.dat"), calendar).ok());
  EXPECT_EQ(30, calendar.year);
}

}  // namespace
}  // namespace ombrivale
