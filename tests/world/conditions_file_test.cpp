#include "world/conditions_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_world.h"
#include "support/world_files_support.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

using testing::FolderNames;
using testing::ReadFileText;
using testing::ScratchFolder;
using testing::TestWorld;
using testing::WriteFileText;

TEST(ConditionsFile, ReadsWhatItWritesAndRefusesEachDamageWithItsLine) {
  Conditions set;
  set.mutationPasses = 50;
  set.seaLevelDrift = 0;
  set.foodScale = 0.1;
  std::string text;
  ConditionsText(set, text);
  EXPECT_EQ(
      "# Ombrivale world conditions, NAME=VALUE (a name left out has its default)\n"
      "mutation_passes=50\nsea_level_drift=0\nfood_scale=0.1\n",
      text);
  Conditions read;
  ASSERT_EQ("OK", ParseConditions(text, read).ToString());
  EXPECT_EQ(set, read);

  struct Case {
    const char* text;
    const char* problem;  // "" when it reads
    Conditions expected;
  };
  const Case cases[] = {
      {"", "", {}},
      {"\r\n# a note\r\nfood_scale=2.5\r\n\nmutation_passes=0", "", {0, 1, 2.5}},
      {"food_scale=10\nfood_scale=0", "line 2: food_scale is given twice", {}},
      {"\nmutation_passes", "line 2: \"mutation_passes\" is not NAME=VALUE", {}},
      {"tide=1", "line 1: no condition is named \"tide\" (there are mutation_passes,", {}},
      {" mutation_passes=5", "no condition is named \" mutation_passes\"", {}},
      {"mutation_passes=51", "must be a whole number from 0 to 50, not \"51\"", {}},
      {"mutation_passes=2.5", "line 1: mutation_passes must be a whole number", {}},
      {"mutation_passes= 5", "not \" 5\"", {}},
      {"mutation_passes=", "not \"\"", {}},
      {"sea_level_drift=-1", "sea_level_drift must be a whole number from 0 to 1", {}},
      {"food_scale=10.0001", "food_scale must be a number from 0 to 10, not", {}},
      {"food_scale=1e1", "not \"1e1\"", {}},
      {"food_scale=nan", "not \"nan\"", {}},
      {"food_scale=1..2", "not \"1..2\"", {}},
      {"food_scale=1-", "not \"1-\"", {}},
  };
  for (const Case& c : cases) {
    Conditions out;
    out.mutationPasses = 7;  // untouched on failure
    const Status status = ParseConditions(c.text, out);
    const std::string problem(status.message());
    if (*c.problem == '\0') {
      EXPECT_EQ("OK", status.ToString()) << c.text;
      EXPECT_EQ(c.expected, out) << c.text;
    } else {
      EXPECT_EQ(Status::Code::kCorruption, status.code()) << c.text;
      EXPECT_NE(std::string::npos, problem.find(c.problem)) << c.text << " -> " << problem;
      EXPECT_EQ(7, out.mutationPasses) << c.text;
    }
  }
  // The NUL byte is inside the text, not its end.
  Conditions out;
  EXPECT_EQ("line 1: holds a NUL byte",
            ParseConditions(std::string_view("food_scale=1\0", 13), out).message());
}

// Default conditions write no file (a seeded folder stays as it was), and an
// older file is not carried over; others are written, listed in the
// manifest and read back; a damaged file is named with its line and the
// rest of the world loads with the defaults.
TEST(ConditionsFile, SavedWhenNotDefaultListedAndRefusedWholeWhenDamaged) {
  ScratchFolder scratch;
  TestWorld t;
  testing::PutAnimal(t.world, 1, 500, 500);
  ASSERT_TRUE(SaveWorld(t.world, scratch.AutoSave()).ok());
  const std::vector<std::string> defaultNames = FolderNames(scratch.AutoSave());
  EXPECT_EQ(0, std::count(defaultNames.begin(), defaultNames.end(), kConditionsFileName));

  t.world.conditions.foodScale = 0.75;
  ASSERT_TRUE(SaveWorld(t.world, scratch.AutoSave()).ok());
  const std::string path = scratch.AutoSave() + "/" + kConditionsFileName;
  EXPECT_NE(std::string::npos, ReadFileText(path).find("\nfood_scale=0.75\n"));
  EXPECT_NE(std::string::npos,
            ReadFileText(scratch.AutoSave() + "/manifest.dat").find("conditions.txt "));
  {
    TestWorld loaded;
    ASSERT_TRUE(LoadWorld(loaded.world, scratch.AutoSave()));
    EXPECT_TRUE(loaded.seam.boxes.empty());
    EXPECT_EQ(t.world.conditions, loaded.world.conditions);
  }

  // Damaged (and so not the file the save wrote: the manifest's question
  // first, answered No to read it as it stands).
  WriteFileText(path, "food_scale=0.75\nmutation_passes=-3\n");
  {
    TestWorld loaded;
    loaded.world.conditions.seaLevelDrift = 0;
    loaded.seam.answers = {Answer::No};
    ASSERT_TRUE(LoadWorld(loaded.world, scratch.AutoSave()));
    loaded.Events();
    ASSERT_EQ(3u, loaded.seam.boxes.size());
    EXPECT_EQ("Conditions Not Loaded", loaded.seam.boxes[2].title);
    EXPECT_EQ(
        "conditions.txt could not be read (line 2: mutation_passes must be a whole number from 0 "
        "to 50, not \"-3\"): the world runs under the default conditions.",
        loaded.seam.boxes[2].text);
    EXPECT_EQ(Conditions{}, loaded.world.conditions);
    EXPECT_TRUE(IsOccupied(AnimalAt(loaded.world, 1)));
  }

  t.world.conditions = Conditions{};
  ASSERT_TRUE(SaveWorld(t.world, scratch.AutoSave()).ok());
  EXPECT_EQ(defaultNames, FolderNames(scratch.AutoSave()));
}

}  // namespace
}  // namespace ombrivale
