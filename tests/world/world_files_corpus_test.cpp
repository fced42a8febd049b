// Replays the world files' fuzz corpora through the fuzz targets' own checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/world_files_fuzz.h"

namespace ombrivale {
namespace {

using FuzzOne = bool (*)(const uint8_t*, size_t);

// Every file of fuzz/corpus/<kind>/; returns how many there were.
int Replay(const char* kind, FuzzOne fuzzOne) {
  const std::filesystem::path folder =
      std::filesystem::path(OMBRIVALE_SOURCE_DIR) / "fuzz" / "corpus" / kind;
  EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
  int inputs = 0;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    EXPECT_TRUE(fuzzOne(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
        << entry.path();
    ++inputs;
  }
  return inputs;
}

TEST(WorldFilesFuzzCorpus, EveryInputIsRefusedOrReadsBackTheSame) {
  EXPECT_GT(Replay("planet_0", fuzz::Planet0FuzzOne), 0);
  EXPECT_GT(Replay("planet_1", fuzz::Planet1FuzzOne), 0);
  EXPECT_GT(Replay("planet_2", fuzz::Planet2FuzzOne), 0);
  EXPECT_GT(Replay("animals_dat", fuzz::AnimalsDatFuzzOne), 0);
  EXPECT_GT(Replay("animal_file", fuzz::AnimalFileFuzzOne), 0);
}

// The real save in the corpus is whole: each file reads without an error.
TEST(WorldFilesFuzzCorpus, RealSaveReadsCleanly) {
  const auto read = [](const char* path) {
    std::ifstream in(std::string(OMBRIVALE_SOURCE_DIR) + "/fuzz/corpus/" + path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  World world;
  EXPECT_FALSE(ParsePlanet0(read("planet_0/real_year30.dat"), world).failed());
  EXPECT_FALSE(ParsePlanet1(read("planet_1/real_year30.dat"), world).failed());
  EXPECT_FALSE(ParseAnimalList(read("animals_dat/real_full.dat"), world).failed());
  EXPECT_FALSE(ParseAnimalFile(read("animal_file/real_A_1.OBG"), AnimalAt(world, 1)).failed());
  Calendar calendar;
  EXPECT_FALSE(ParsePlanet2(read("planet_2/real_year30.dat"), calendar));
  EXPECT_EQ(30, calendar.year);
}

}  // namespace
}  // namespace ombrivale
