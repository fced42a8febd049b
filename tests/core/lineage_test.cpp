#include "core/lineage.h"

#include <gtest/gtest.h>

#include "core/animal.h"

namespace ombrivale {
namespace {

// A family in slots: founders 1 and 2 (ids 1, 2; sex 0, 1) have young 3 and 4
// (ids 3, 4, generation 1, year 3; sex 1, 0); founder 5 (id 5) and young 3
// have 6 (id 6, generation 2, year 4). Slots keep the animal of that number.
struct Family {
  Lineage lineage;
  std::vector<Animal> animals = std::vector<Animal>(kSlotCount + 1);

  Family() {
    Found(1, 0);
    Found(2, 1);
    Young(3, 1, 2, 3, 1);
    Young(4, 1, 2, 3, 0);
    Found(5, 0);
    Young(6, 5, 3, 4, 0);
  }
  void Found(int slot, uint8_t sex) {
    animals[static_cast<size_t>(slot)].Alive = 1;
    animals[static_cast<size_t>(slot)].Sex = sex;
    RecordFounder(lineage, slot, 0, 1, 100);
  }
  void Young(int slot, int first, int second, int32_t year, uint8_t sex) {
    animals[static_cast<size_t>(slot)].Alive = 1;
    animals[static_cast<size_t>(slot)].Sex = sex;
    RecordYoung(lineage, slot, first, second, year, 4, 90);
  }
  void Die(int slot) { animals[static_cast<size_t>(slot)].Alive = 0; }
  std::vector<uint64_t> Ids() const {
    std::vector<uint64_t> ids;
    for (const LineageEntry& e : lineage.entries)
      ids.push_back(e.id);
    return ids;
  }
};

TEST(Lineage, YoungTakeTheirParentsIdsAndOneGenerationMoreThanTheOlderParent) {
  Family f;
  const LineageEntry* six = FindLineageEntry(f.lineage, 6);
  ASSERT_NE(nullptr, six);
  EXPECT_EQ(5u, six->parents[0]);
  EXPECT_EQ(3u, six->parents[1]);
  EXPECT_EQ(2u, six->generation);
  EXPECT_EQ(4, six->birthYear);
  EXPECT_EQ(0u, FindLineageEntry(f.lineage, 5)->generation);
  EXPECT_TRUE(CheckLineage(f.lineage, f.animals).ok());
  EXPECT_EQ(6, SlotOfId(f.lineage, f.animals, 6));

  // A young that takes a parent's slot is recorded against the parent.
  f.Young(1, 1, 2, 5, 1);
  EXPECT_EQ(1u, FindLineageEntry(f.lineage, 7)->parents[0]);
  EXPECT_EQ(0, SlotOfId(f.lineage, f.animals, 1));  // replaced
}

TEST(Lineage, PruningDropsDeadLinesKeepsAncestorsAndNeverReusesAnId) {
  struct Case {
    std::vector<int> dead;
    std::vector<uint64_t> kept;
  };
  const Case cases[] = {
      {{}, {1, 2, 3, 4, 5, 6}},
      {{1, 2}, {1, 2, 3, 4, 5, 6}},  // dead founders with living young stay
      {{4}, {1, 2, 3, 5, 6}},        // a dead line with no young goes
      {{3, 4}, {1, 2, 3, 5, 6}},     // 3 is an ancestor of 6
      {{6}, {1, 2, 3, 4, 5}},
      {{1, 2, 3, 4, 5, 6}, {}},
  };
  for (const Case& c : cases) {
    Family f;
    for (int slot : c.dead)
      f.Die(slot);
    PruneLineage(f.lineage, f.animals);
    EXPECT_EQ(c.kept, f.Ids()) << ::testing::PrintToString(c.dead);
    EXPECT_TRUE(CheckLineage(f.lineage, f.animals).ok());
    f.Found(7, 0);
    EXPECT_EQ(7u, f.lineage.idOfSlot[7]);
  }
}

TEST(Lineage, DescendantsAndTheFoundersWithMostOfThem) {
  Family f;
  EXPECT_EQ(3, CountLivingDescendants(f.lineage, f.animals, 1));  // 3, 4, 6
  EXPECT_EQ(1, CountLivingDescendants(f.lineage, f.animals, 3));
  EXPECT_EQ(0, CountLivingDescendants(f.lineage, f.animals, 6));
  f.Die(4);
  const std::vector<FounderShare> top = TopFounders(f.lineage, f.animals, 2);
  ASSERT_EQ(2u, top.size());
  EXPECT_EQ(1u, top[0].id);  // ties with 2 go to the lower id
  EXPECT_EQ(2, top[0].livingDescendants);
  EXPECT_EQ(2u, top[1].id);
}

TEST(Lineage, FaultsAreFound) {
  struct Case {
    const char* name;
    void (*spoil)(Family&);
  };
  const Case cases[] = {
      {"a living animal without an entry", [](Family& f) { f.animals[9].Alive = 1; }},
      {"two living animals share an id", [](Family& f) { f.lineage.idOfSlot[4] = 3; }},
      {"a generation breaks the rule", [](Family& f) { f.lineage.entries[5].generation = 1; }},
      {"an ancestor of a kept entry is missing",
       [](Family& f) { f.lineage.entries.erase(f.lineage.entries.begin() + 2); }},
      // 6 born in the month of its parent 3; living 3 (sex 1) made sex 0; a
      // dead parent's sex is not known.
      {"a parent not born before its young", [](Family& f) { f.lineage.entries[5].birthYear = 3; }},
      {"a living parent of the other sex than its place", [](Family& f) { f.animals[3].Sex = 0; }},
      {"none", [](Family& f) { f.animals[3].Sex = f.animals[3].Alive = 0; }},
      {"an entry with one parent", [](Family& f) { f.lineage.entries[5].parents[1] = 0; }},
  };
  for (const Case& c : cases) {
    Family f;
    c.spoil(f);
    const Status fault = CheckLineage(f.lineage, f.animals);
    EXPECT_EQ(c.name, fault.ok() ? "none" : fault.message());
    EXPECT_EQ(fault.ok() ? Status::Code::kOk : Status::Code::kCorruption, fault.code());
  }
}

}  // namespace
}  // namespace ombrivale
