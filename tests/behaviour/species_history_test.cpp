#include "behaviour/species_history.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "behaviour/mate_search.h"
#include "behaviour/species.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::PutAnimal;
using testing::TestWorld;

// A grouping that gave these slots these species (every other slot none),
// recorded as `month`.
void Group(World& world, uint64_t month, const std::map<int, int32_t>& species,
           bool restart = false) {
  std::fill(world.species.speciesOfSlot.begin(), world.species.speciesOfSlot.end(), 0);
  for (const auto& [slot, number] : species)
    world.species.speciesOfSlot[static_cast<size_t>(slot)] = number;
  RecordSpeciesGrouping(world, month, restart);
  ASSERT_TRUE(CheckSpeciesHistory(world.speciesHistory).ok()) << month;
}

TEST(SpeciesHistory, ParentsComeFromTheMembersTheirParentsOrTheLargestAndRestartsBeginATree) {
  TestWorld t;
  World& w = t.world;
  for (int slot = 1; slot <= 6; ++slot)
    PutAnimal(w, slot, 100 * slot, 100);
  Group(w, 0, {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}});  // 1: a world's first
  Group(w, 1, {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 6}});  // 2 and 6 split from 1
  AnimalAt(w, 7) = AnimalAt(w, 3);
  RecordYoung(w.lineage, 7, 3, 4, 0, 3, 0);  // a young of two of 2's
  PutAnimal(w, 8, 800, 100);                 // a founder: no parents
  // 3: its parents were 2's. 4: the largest at the grouping before, 1 and 2
  // alike, so the lower number.
  Group(w, 2, {{1, 1}, {3, 2}, {4, 2}, {6, 2}, {7, 3}, {8, 4}});
  Group(w, 3, {{8, 4}, {9, 5}});  // 5: 2 was the largest
  Group(w, 4, {}, true);          // a new world
  Group(w, 5, {{1, 7}, {2, 7}});  // 7: its first
  Group(w, 6, {}, true);          // the world died out
  Group(w, 7, {});

  struct Expected {
    int32_t number, parent;
    uint32_t world;
    uint64_t first, last;
    uint16_t peak;
  };
  const Expected expected[] = {{1, 0, 0, 0, 2, 5}, {2, 1, 0, 1, 2, 3}, {3, 2, 0, 2, 2, 1},
                               {4, 1, 0, 2, 3, 1}, {5, 2, 0, 3, 3, 1}, {6, 1, 0, 1, 1, 1},
                               {7, 0, 1, 5, 5, 2}};
  const SpeciesHistory& h = w.speciesHistory;
  ASSERT_EQ(std::size(expected), h.species.size());
  for (size_t i = 0; i < h.species.size(); ++i) {
    const SpeciesLife& life = h.species[i];
    const Expected& e = expected[i];
    EXPECT_EQ(e.number, life.number);
    EXPECT_EQ(e.parent, life.parent) << e.number;
    EXPECT_EQ(e.world, life.world) << e.number;
    EXPECT_EQ(e.first, life.first) << e.number;
    EXPECT_EQ(e.last, life.last) << e.number;
    EXPECT_EQ(e.peak, life.peak) << e.number;
  }
  EXPECT_EQ((std::vector<uint16_t>{5, 2, 1}), h.species[0].counts);
  EXPECT_EQ(2u, h.world);  // a restart after a world with species begins the next
  EXPECT_TRUE(h.living.empty());
  EXPECT_EQ(8u, h.nextMonth);
}

TEST(SpeciesHistory, TheRepresentativeIsTheMemberNearestTheOthers) {
  TestWorld t;
  World& w = t.world;
  // Slot 2 differs from 1 in five compared values and from 3 in five
  // others: 1 and 3 differ in ten.
  for (int slot = 1; slot <= 3; ++slot) {
    Animal& a = PutAnimal(w, slot, 100 * slot, 100);
    for (int i = 0; i < 10; ++i) {
      if ((slot == 1 && i < 5) || (slot == 3 && i >= 5)) continue;
      const ComparedValue v = ComparedValues()[static_cast<size_t>(i)];
      *(reinterpret_cast<unsigned char*>(&a) + v.offset) += 1;
    }
  }
  Group(w, 0, {{1, 1}, {2, 1}, {3, 1}});
  PackedGenome kept;
  PackGenome(w.speciesHistory.species[0].representative, kept);
  EXPECT_EQ(0, GenomeDifferences(kept, PackedGenomeOf(w, 2)));
}

}  // namespace
}  // namespace ombrivale
