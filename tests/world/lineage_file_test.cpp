#include "world/lineage_file.h"

#include <gtest/gtest.h>

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
  ASSERT_EQ("OK", ParseLineage(text, s.animals, loaded).ToString());
  EXPECT_EQ(3u, loaded.lineage.entries.size());
  EXPECT_EQ(4u, loaded.lineage.nextId);
  EXPECT_EQ(9, loaded.nextSpecies);
  EXPECT_EQ(2u, loaded.lineage.idOfSlot[2]);
  EXPECT_EQ(7, loaded.speciesOfSlot[2]);
  EXPECT_TRUE(CheckLineage(loaded.lineage, s.animals).ok());
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
      {"4\r\n9\r\n4 0 0 0 0 0 107 1 7\r\n", "line 3, id: 4 is out of range (1..3)"},
      {"4\r\n9\r\n2 0 0 0 0 0 0 1 0\r\n1 0 0 0 0 0 0 2 0\r\n",
       "line 4, id: 1 is out of range (3..3)"},  // descending
      {"4\r\n9\r\n1 0 0 0 0 0 107 1 7\r\n3 1 2 3 11 1 100 0 0\r\n",
       "line 4: parent 2 is not an earlier line"},
      {"4\r\n9\r\n1 0 0 0 0 0 0 0 0\r\n2 0 0 0 0 0 0 0 0\r\n3 1 2 0 1 2 0 0 0\r\n",
       "line 5: generation 2 is not 1 (one more than the older parent's)"},
      {"4\r\n9\r\n1 0 0 0 0 0 0 0 0\r\n2 0 0 0 0 0 0 0 0\r\n3 1 0 0 1 1 0 0 0\r\n",
       "line 5: one parent without the other"},
      {"4\r\n9\r\n1 0 0 0 0 0 116 1 7\r\n",
       "line 3, evolvedness count: 116 is out of range (0..115)"},
      {"4\r\n9\r\n1 0 0 0 0 0 0 1 0\r\n2 0 0 0 0 0 0 1 0\r\n", "line 4: slot 1 is named twice"},
      // The young born in the month of a parent.
      {"4\r\n9\r\n1 0 0 3 11 0 0 0 0\r\n2 0 0 0 0 0 0 0 0\r\n3 1 2 3 11 1 0 0 0\r\n",
       "line 5: parent 1 (born year 3, month 11) is not born before its young"},
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
    EXPECT_EQ(c.problem, ParseLineage(c.text, s.animals, loaded).message()) << c.text;
    EXPECT_EQ(33, loaded.nextSpecies) << c.text;
  }
  // The sexes the right way round: sound.
  LoadedLineage loaded;
  EXPECT_EQ("OK", ParseLineage(
                      "4\r\n9\r\n1 0 0 0 0 0 0 1 0\r\n2 0 0 0 0 0 0 2 0\r\n3 1 2 3 11 1 0 0 0\r\n",
                      s.animals, loaded)
                      .ToString());
}

}  // namespace
}  // namespace ombrivale
