#include "world/lineage_file.h"

#include <gtest/gtest.h>

#include "support/test_world.h"
#include "support/world_files_support.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

// Founders 1 and 2 (slots 1 and 2, sex 0 and 1, species 7) and their young
// 3 (slot 5, dead since, so not in a slot).
struct Saved {
  Lineage lineage;
  std::vector<Animal> animals = std::vector<Animal>(kSlotCount + 1);
  std::vector<int32_t> species = std::vector<int32_t>(kSlotCount + 1);
  Saved() {
    for (int slot : {1, 2, 5})
      animals[static_cast<size_t>(slot)].Alive = 1;
    animals[2].Sex = 1;
    RecordFounder(lineage, 1, 0, 0, 107);
    RecordFounder(lineage, 2, 0, 0, 107);
    RecordYoung(lineage, 5, 1, 2, 3, 11, 100);
    animals[5].Alive = 0;
    species[1] = species[2] = 7;
  }
};

constexpr const char* kText =
    "4\r\n9\r\n1 0 0 0 0 0 107 1 7\r\n2 0 0 0 0 0 107 2 7\r\n3 1 2 3 11 1 100 0 0\r\n";

TEST(LineageFile, WritesOneLinePerEntryAndReadsItBack) {
  Saved s;
  std::string text;
  LineageText(s.lineage, s.animals, s.species, 9, text);
  EXPECT_EQ(kText, text);
  LoadedLineage loaded;
  ASSERT_EQ("", ParseLineage(text, s.animals, loaded));
  EXPECT_EQ(3u, loaded.lineage.entries.size());
  EXPECT_EQ(4u, loaded.lineage.nextId);
  EXPECT_EQ(9, loaded.nextSpecies);
  EXPECT_EQ(2u, loaded.lineage.idOfSlot[2]);
  EXPECT_EQ(7, loaded.speciesOfSlot[2]);
  EXPECT_EQ(nullptr, LineageFault(loaded.lineage, s.animals));
}

TEST(LineageFile, ADamagedFileIsRefusedAtItsLineAndChangesNothing) {
  struct Case {
    const char* text;
    const char* problem;
  };
  const Case cases[] = {
      {"", "line 1 is missing"},
      {"4\r\n", "line 2 is missing"},
      {"x\r\n9\r\n", "line 1, the next id: 'x' is not a number"},
      {"4\r\n9\r\n1 0 0 0 0 0 107 1\r\n", "line 3 is cut short: no species"},
      {"4\r\n9\r\n1 0 0 0 0 0 107 1 7 8\r\n", "line 3 has more than 9 numbers"},
      {"4\r\n9\r\n1 0 0 0 0 0 1x7 1 7\r\n", "line 3, evolvedness count: '1x7' is not a number"},
      {"4\r\n9\r\n4 0 0 0 0 0 107 1 7\r\n", "line 3, id: 4 is out of range (1..3)"},
      {"4\r\n9\r\n2 0 0 0 0 0 0 1 0\r\n1 0 0 0 0 0 0 2 0\r\n",
       "line 4, id: 1 is out of range (3..3)"},  // descending
      {"4\r\n9\r\n1 0 0 0 0 0 107 1 7\r\n3 1 2 3 11 1 100 0 0\r\n",
       "line 4: parent 2 is not an earlier line"},
      {"4\r\n9\r\n1 0 0 0 0 0 0 0 0\r\n2 0 0 0 0 0 0 0 0\r\n3 1 2 0 1 2 0 0 0\r\n",
       "line 5: generation 2 is not 1 (one more than the older parent's)"},
      {"4\r\n9\r\n1 0 0 0 0 1 0 0 0\r\n", "line 3: generation 1 is not 0 (a founder's)"},
      {"4\r\n9\r\n1 0 0 0 0 0 0 0 0\r\n2 0 0 0 0 0 0 0 0\r\n3 1 0 0 1 1 0 0 0\r\n",
       "line 5: one parent without the other"},
      {"4\r\n9\r\n1 0 0 0 0 0 116 1 7\r\n",
       "line 3, evolvedness count: 116 is out of range (0..115)"},
      {"4\r\n9\r\n1 0 0 0 0 0 0 1 0\r\n2 0 0 0 0 0 0 1 0\r\n", "line 4: slot 1 is named twice"},
      // The young born in the month of a parent, or before it.
      {"4\r\n9\r\n1 0 0 3 11 0 0 0 0\r\n2 0 0 0 0 0 0 0 0\r\n3 1 2 3 11 1 0 0 0\r\n",
       "line 5: parent 1 (born year 3, month 11) is not born before its young"},
      {"4\r\n9\r\n1 0 0 0 0 0 0 0 0\r\n2 0 0 4 1 0 0 0 0\r\n3 1 2 3 11 1 0 0 0\r\n",
       "line 5: parent 2 (born year 4, month 1) is not born before its young"},
      // The sex-1 parent alive in slot 1 (sex 0), the sex-0 one in slot 2 (sex 1).
      {"4\r\n9\r\n1 0 0 0 0 0 0 0 0\r\n2 0 0 0 0 0 0 1 0\r\n3 1 2 3 11 1 0 0 0\r\n",
       "line 5: parent 2 lives in slot 1 as sex 0, but stands in the sex-1 parent's place"},
      {"4\r\n9\r\n1 0 0 0 0 0 0 2 0\r\n2 0 0 0 0 0 0 0 0\r\n3 1 2 3 11 1 0 0 0\r\n",
       "line 5: parent 1 lives in slot 2 as sex 1, but stands in the sex-0 parent's place"},
  };
  Saved s;
  for (const Case& c : cases) {
    LoadedLineage loaded;
    loaded.nextSpecies = 33;
    EXPECT_EQ(c.problem, ParseLineage(c.text, s.animals, loaded)) << c.text;
    EXPECT_EQ(33, loaded.nextSpecies) << c.text;
  }
  // The sexes the right way round, and a dead parent's not known: sound.
  for (const char* sound :
       {"4\r\n9\r\n1 0 0 0 0 0 0 1 0\r\n2 0 0 0 0 0 0 2 0\r\n3 1 2 3 11 1 0 0 0\r\n",
        "4\r\n9\r\n1 0 0 0 0 0 0 0 0\r\n2 0 0 0 0 0 0 0 0\r\n3 1 2 3 11 1 0 0 0\r\n"}) {
    LoadedLineage loaded;
    EXPECT_EQ("", ParseLineage(sound, s.animals, loaded)) << sound;
  }
}

// A saved world whose record does not hold (here a young born in the month
// of its parent, as the sibling fault left them) loads all the same: the
// record is refused whole with a message naming the file and the line, and
// every living animal starts as a founder, as in a folder without the file.
TEST(LineageFile, ARecordThatDoesNotHoldIsRefusedWholeAndTheWorldLoads) {
  testing::ScratchFolder scratch;
  testing::TestWorld t;
  World& world = t.world;
  testing::FillRows(world, 0, 100, kWater);
  for (const int slot : {1, 2})
    testing::PutAnimal(world, slot, 5000 + slot, 5000).Sex = static_cast<uint8_t>(slot - 1);
  world.Year = 4;
  world.Month = 6;
  testing::PutAnimal(world, 3, 5000, 5000, kStageEgg);
  world.lineage.entries.pop_back();  // slot 3 as the young of 1 and 2
  world.lineage.nextId = 3;
  RecordYoung(world.lineage, 3, 1, 2, 4, 6, 100);
  ASSERT_FALSE(SaveWorld(world, scratch.AutoSave()).failed());
  const std::string path = scratch.AutoSave() + "/lineage.dat";
  const std::string sound = testing::ReadFileText(path);
  ASSERT_EQ("4\r\n1\r\n1 0 0 0 0 0 107 1 0\r\n2 0 0 0 0 0 107 2 0\r\n3 1 2 4 6 1 100 3 0\r\n",
            sound);

  struct Case {
    std::string text;
    std::string message;  // empty: loads without a word
  };
  const auto replaced = [&sound](const std::string& from, const std::string& to) {
    std::string text = sound;
    return text.replace(text.find(from), from.size(), to);
  };
  const std::string tail = "): every living animal starts as a founder of generation 0.";
  const Case cases[] = {
      {sound, ""},
      {replaced("2 0 0 0 0 0 107", "2 0 0 4 6 0 107"),
       "lineage.dat could not be read (line 5: parent 2 (born year 4, month 6) is not born "
       "before its young" +
           tail},
      {replaced("3 1 2", "3 2 1"),
       "lineage.dat could not be read (line 5: parent 2 lives in slot 2 as sex 1, but stands "
       "in the sex-0 parent's place" +
           tail},
      {replaced("6 1 100", "6 2 100"),
       "lineage.dat could not be read (line 5: generation 2 is not 1 (one more than the older "
       "parent's)" +
           tail},
      {sound.substr(0, sound.size() - 6),
       "lineage.dat could not be read (line 5 is cut short: no slot" + tail},
  };
  for (const Case& c : cases) {
    testing::WriteFileText(path, c.text);
    testing::TestWorld back;
    ASSERT_TRUE(LoadWorld(back.world, scratch.AutoSave()));
    ASSERT_EQ(c.message.empty() ? 0u : 1u, back.seam.boxes.size()) << c.message;
    const Lineage& lineage = back.world.lineage;
    EXPECT_EQ(nullptr, LineageFault(lineage, back.world.Animals));
    EXPECT_EQ(3u, lineage.entries.size());
    if (c.message.empty()) {
      EXPECT_EQ(1u, lineage.entries[2].generation);
      continue;
    }
    EXPECT_EQ("Family Record Not Loaded", back.seam.boxes[0].title);
    EXPECT_EQ(c.message, back.seam.boxes[0].text);
    for (const LineageEntry& e : lineage.entries) {
      EXPECT_EQ(0u, e.generation);
      EXPECT_EQ(0u, e.parents[0]);
      EXPECT_EQ(4, e.birthYear);  // the date the world was loaded at
    }
    EXPECT_TRUE(IsOccupied(AnimalAt(back.world, 3)));  // the rest of the world is there
  }
}

}  // namespace
}  // namespace ombrivale
