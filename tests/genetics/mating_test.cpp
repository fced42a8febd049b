#include "genetics/mating.h"

#include <gtest/gtest.h>

#include "behaviour/literal_reference.h"
#include "core/helpers.h"
#include "genetics/body_measures.h"
#include "genetics/inheritance.h"
#include "genetics/needs.h"
#include "support/test_world.h"
#include "support/world_digest.h"

namespace ombrivale {
namespace {

using testing::PutAnimal;
using testing::TestWorld;

int Eggs(const World& world) {
  int eggs = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& a = AnimalAt(world, slot);
    eggs += IsOccupied(a) && a.Stage == kStageEgg;
  }
  return eggs;
}

// Partners in slots 1 (sex 0) and 2 (sex 1) with the given adult litter
// genes; the infant sets say 99 so reading the wrong set shows.
void PutPair(World& world, int16_t young1, int16_t young2) {
  Animal& a = PutAnimal(world, 1, 1000, 2000);
  Animal& b = PutAnimal(world, 2, 1500, 2500);
  a.Sex = 0;
  b.Sex = 1;
  a.Genes[1].Genitalia.YoungPerLitter = young1;
  b.Genes[1].Genitalia.YoungPerLitter = young2;
  a.Genes[0].Genitalia.YoungPerLitter = b.Genes[0].Genitalia.YoungPerLitter = 99;
}

TEST(Mate, LitterIsHalfTheMeanOfTheAdultGenesRoundedDown) {
  struct Case {
    int16_t y1, y2;
    int eggs;
  };
  const Case cases[] = {{15, 15, 7}, {2, 3, 1}, {1, 2, 0}, {2, 2, 1},  {3, 3, 1},
                        {4, 5, 2},   {0, 0, 0}, {1, 1, 0}, {-4, 9, 1}, {-6, -6, 0}};
  for (const Case& c : cases) {
    TestWorld t;
    PutPair(t.world, c.y1, c.y2);
    Mate(t.world, 1, 2);
    EXPECT_EQ(c.eggs, Eggs(t.world)) << c.y1 << " and " << c.y2;
  }
}

TEST(Mate, AFullTableStopsTheLitterUnlessOverwritingIsExactlyOne) {
  for (const uint8_t overwrite : {0, 2}) {
    TestWorld t;
    for (int slot = 3; slot <= kSlotCount; ++slot)
      PutAnimal(t.world, slot, 100, 100);
    AnimalAt(t.world, 400).Alive = 0;  // one free slot
    PutPair(t.world, 6, 6);            // a litter of 3
    t.world.OverwriteLeast = overwrite;
    Mate(t.world, 1, 2);
    EXPECT_EQ(1, Eggs(t.world)) << int{overwrite};
    EXPECT_EQ(kStageEgg, AnimalAt(t.world, 400).Stage);
    EXPECT_EQ(0u, t.world.DeathsByCause[static_cast<size_t>(Cause::Overwritten)]);
  }
}

// Regression: in a full table an egg that overwrote a parent became, in
// the family record, the parent of its later siblings (born the same month,
// one generation too high). Every egg names the pair that mated; the genes
// still come from the slots.
TEST(Mate, EveryEggOfALitterNamesThePairThatMatedWhenAnEggTakesAParentsSlot) {
  TestWorld t;
  t.world.OverwriteLeast = 1;
  // Everyone but the pair a little evolved, so the pair go first.
  for (int slot = 3; slot <= kSlotCount; ++slot) {
    Animal& a = PutAnimal(t.world, slot, 100, 100);
    a.Sex = static_cast<uint8_t>(slot % 2);
    a.Genes[1].Body.Height = 7;
    a.Genes[1].Tail.Length = 9;
  }
  PutPair(t.world, 6, 6);  // a litter of 3
  const uint64_t mother = t.world.lineage.idOfSlot[1];
  const uint64_t father = t.world.lineage.idOfSlot[2];
  t.world.Year = 9;
  Mate(t.world, 1, 2);
  EXPECT_NE(mother, t.world.lineage.idOfSlot[1]);  // a parent was overwritten
  int young = 0;
  for (const LineageEntry& e : t.world.lineage.entries) {
    if (e.birthYear != 9) continue;
    ++young;
    EXPECT_EQ(mother, e.parents[0]) << e.id;
    EXPECT_EQ(father, e.parents[1]) << e.id;
    EXPECT_EQ(1u, e.generation) << e.id;
  }
  EXPECT_EQ(3, young);
  EXPECT_TRUE(CheckLineage(t.world.lineage, t.world.Animals).ok());
}

// Mate scores the table once per litter and then updates only the young's
// slot. The litter as written, scoring the whole table for every young, must
// leave the same world (victims, eggs, the fields a birth leaves alone) on
// tables where young overwrite parents and earlier siblings.
TEST(Mate, LitterVictimsMatchScoringTheTableForEveryYoung) {
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    TestWorld fast(seed), literal(seed);
    for (World* w : {&fast.world, &literal.world}) {
      w->OverwriteLeast = 1;
      for (int slot = 1; slot <= kSlotCount; ++slot) {
        Animal& a = PutAnimal(*w, slot, slot * 40 % 32000, 5000);
        a.Sex = static_cast<uint8_t>(slot % 2);
        // A few genes off their primordial value, more in higher slots.
        a.Genes[1].Body.Height = static_cast<int16_t>(5 + (slot * 7 + seed) % 3);
        a.Genes[0].Tail.Length = static_cast<int16_t>(6 + (slot * 13 + seed) % 4);
        a.Unborn.EggSize = static_cast<int16_t>(1 + (slot * 5 + seed) % 2);
        a.Genes[1].Genitalia.YoungPerLitter = 30;
      }
    }
    const int first = static_cast<int>(2 * seed);
    const int second = first + 1;
    Mate(fast.world, first, second);

    testing::LiteralMate(literal.world, first, second);
    ASSERT_EQ(testing::WorldDigest(literal.world), testing::WorldDigest(fast.world))
        << "seed " << seed;
    EXPECT_EQ(15u, fast.world.DeathsByCause[static_cast<size_t>(Cause::Overwritten)]);
  }
}

}  // namespace
}  // namespace ombrivale
