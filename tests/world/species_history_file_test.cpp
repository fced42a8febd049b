#include "world/species_history_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

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

std::string Text(const SpeciesHistory& history) {
  std::string text;
  SpeciesHistoryText(history, text);
  return text;
}

// Four adults in water grouped month after month: two species once slot 4's
// genes have drifted out of reach.
void MakeSpecies(World& world) {
  testing::FillRows(world, 0, 100, kWater);
  for (int slot = 1; slot <= 4; ++slot)
    testing::PutAnimal(world, slot, 1000 * slot, 5050);
  RecordSample(world);
  Animal& apart = AnimalAt(world, 4);
  apart.Genes[kStageAdult] = Animal{}.Genes[kStageAdult];
  apart.Genes[kStageInfant] = Animal{}.Genes[kStageInfant];
  MarkGenomeStale(world.species, 4);
  for (int month = 0; month < 3; ++month)
    RecordSample(world);
}

TEST(SpeciesHistoryFile, ReadsBackWhatItWritesAndRefusesDamageWithItsLine) {
  TestWorld t;
  MakeSpecies(t.world);
  const std::string text = Text(t.world.speciesHistory);
  ASSERT_EQ(2u, t.world.speciesHistory.species.size());
  SpeciesHistory read;
  ASSERT_EQ("OK", ParseSpeciesHistory(text, read).ToString());
  EXPECT_EQ(text, Text(read));
  EXPECT_EQ(t.world.speciesHistory.living, read.living);

  const auto replaced = [&text](const std::string& from, const std::string& to) {
    std::string damaged = text;
    damaged.replace(damaged.find(from), from.size(), to);
    return damaged;
  };
  const std::string second = text.substr(text.find("\n2 ") + 1);
  const std::pair<std::string, const char*> cases[] = {
      {text.substr(0, text.size() - 1), "line 7 is cut short"},
      {text.substr(0, text.find("\n2 ") + 1), "ends after line 6"},
      {replaced("1\r\n", "3\r\n"), "line 1: the grain is not a power of two"},
      {replaced("\n2\r\n", "\n1\r\n"), "line 7: more species than the 1"},
      {replaced("\n2 1 0 1 3 1 1 1 1 ", "\n2 2 0 1 3 1 1 1 1 "), "line 7: the parent 2 is out"},
      {replaced("\n2 1 0 1 3 1 1 1 1 ", "\n2 1 0 1 3 1 1 0 1 "), "line 7: a count 0 is out"},
      {text.substr(0, text.rfind(' ')) + "\r\n", "line 7: ends before the representative's"},
      {replaced("\r\n2 ", " 9\r\n2 "), "line 6: more values than"},
      {replaced("\n2 1 0 1 3 1 1 1 1 ", "\n2 1 0 1 4 1 1 1 1 "), "line 7: the last month 4 is out"},
      {replaced("\r\n1 0 0 0 3 ", "\r\n1 0 0 0 3 x"), "line 6: the peak 'x4' is not"},
      {text.substr(0, text.find("\n1 0 ")) + "\n" + second, "line 6: the parent 1 is not listed"},
  };
  for (const auto& [damaged, problem] : cases) {
    SpeciesHistory untouched;
    const std::string found(ParseSpeciesHistory(damaged, untouched).message());
    EXPECT_NE(std::string::npos, found.find(problem)) << problem << " / " << found;
    EXPECT_TRUE(untouched.species.empty());
  }
}

TEST(SpeciesHistoryFile, GoesOnAfterALoadAsIfNeverSavedAndOlderOrDamagedFoldersLoadWithout) {
  ScratchFolder scratch;
  TestWorld t;
  MakeSpecies(t.world);
  ASSERT_TRUE(SaveWorld(t.world, scratch.AutoSave()).ok());
  const std::string path = scratch.AutoSave() + "/" + kSpeciesFileName;
  const std::string saved = ReadFileText(path);
  EXPECT_EQ(Text(t.world.speciesHistory), saved);
  RecordSample(t.world);  // the world that was never saved goes on

  const auto load = [&](size_t boxes) {
    auto loaded = std::make_unique<TestWorld>();
    EXPECT_TRUE(LoadWorld(loaded->world, scratch.AutoSave()));
    loaded->Events();
    EXPECT_EQ(boxes, loaded->seam.boxes.size());
    return loaded;
  };
  const auto same = load(0);
  RecordSample(same->world);
  EXPECT_EQ(Text(t.world.speciesHistory), Text(same->world.speciesHistory));

  std::filesystem::remove(scratch.AutoSave() + "/manifest.dat");  // edited by hand below
  std::filesystem::remove(path);                                  // saved before the history came
  EXPECT_TRUE(load(0)->world.speciesHistory.species.empty());
  WriteFileText(path, saved.substr(0, saved.size() / 2));
  const auto damaged = load(1);
  EXPECT_TRUE(damaged->world.speciesHistory.species.empty());
  const std::string& box = damaged->seam.boxes[0].text;
  EXPECT_EQ(0u, box.find("species.dat could not be read (line ")) << box;
  EXPECT_EQ(4, std::count_if(damaged->world.Animals.begin(), damaged->world.Animals.end(),
                             [](const Animal& a) { return IsOccupied(a); }));
  // Numbers go on past those the history held, even without lineage.dat's.
  WriteFileText(path, saved);
  std::filesystem::remove(scratch.AutoSave() + "/lineage.dat");
  EXPECT_EQ(3, load(0)->world.species.nextSpecies);
}

}  // namespace
}  // namespace ombrivale
