#include "world/lineage_file.h"

#include <gtest/gtest.h>

namespace ombrivale {
namespace {

// Founders 1 and 2 (slots 1 and 2, species 7) and their young 3 (slot 5,
// dead since, so not in a slot).
struct Saved {
  Lineage lineage;
  std::vector<Animal> animals = std::vector<Animal>(kSlotCount + 1);
  std::vector<int32_t> species = std::vector<int32_t>(kSlotCount + 1);
  Saved() {
    for (int slot : {1, 2, 5})
      animals[static_cast<size_t>(slot)].Alive = 1;
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
  ASSERT_FALSE(ParseLineage(text, s.animals, loaded).failed());
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
    int error;
    int line;
  };
  const Case cases[] = {
      {"", kErrorPastEnd, 1},
      {"4\r\n", kErrorPastEnd, 2},
      {"x\r\n9\r\n", kErrorNotNumber, 1},
      {"4\r\n9\r\n1 0 0 0 0 0 107 1\r\n", kErrorPastEnd, 3},        // cut short
      {"4\r\n9\r\n1 0 0 0 0 0 107 1 7 8\r\n", kErrorNotNumber, 3},  // one too many
      {"4\r\n9\r\n4 0 0 0 0 0 107 1 7\r\n", kErrorOutOfRange, 3},   // not below the next id
      {"4\r\n9\r\n2 0 0 0 0 0 0 1 0\r\n1 0 0 0 0 0 0 2 0\r\n", kErrorOutOfRange, 4},  // descending
      {"4\r\n9\r\n1 0 0 0 0 0 107 1 7\r\n3 1 2 3 11 1 100 0 0\r\n", kErrorOutOfRange, 4},  // no 2
      {"4\r\n9\r\n1 0 0 0 0 0 0 0 0\r\n2 0 0 0 0 0 0 0 0\r\n3 1 2 0 0 2 0 0 0\r\n",
       kErrorOutOfRange, 5},                                       // generation 2, not 1
      {"4\r\n9\r\n1 0 0 0 0 0 116 1 7\r\n", kErrorOutOfRange, 3},  // count above 115
      {"4\r\n9\r\n1 0 0 0 0 0 0 1 0\r\n2 0 0 0 0 0 0 1 0\r\n", kErrorBadSlot, 4},
  };
  Saved s;
  for (const Case& c : cases) {
    LoadedLineage loaded;
    loaded.nextSpecies = 33;
    const FileError error = ParseLineage(c.text, s.animals, loaded);
    EXPECT_EQ(c.error, error.number) << c.text;
    EXPECT_EQ(c.line, error.where) << c.text;
    EXPECT_EQ(33, loaded.nextSpecies) << c.text;
  }
}

}  // namespace
}  // namespace ombrivale
