#include "genetics/mating.h"

#include <gtest/gtest.h>

#include "core/helpers.h"
#include "genetics/needs.h"

#include "genetics/body_measures.h"
#include "genetics/gene_table.h"
#include "genetics/inheritance.h"
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

// Two adult partners in slots 1 (sex 0) and 2 (sex 1) with the given adult
// litter genes; the infant sets say 99 so a wrong set shows.
void PutPair(World& world, int16_t young1, int16_t young2) {
  Animal& a = PutAnimal(world, 1, 1000, 2000);
  Animal& b = PutAnimal(world, 2, 1500, 2500);
  a.Sex = 0;
  b.Sex = 1;
  a.Genes[1].Genitalia.YoungPerLitter = young1;
  b.Genes[1].Genitalia.YoungPerLitter = young2;
  a.Genes[0].Genitalia.YoungPerLitter = 99;
  b.Genes[0].Genitalia.YoungPerLitter = 99;
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

TEST(Mate, NewbornIsAnEggAtTheSecondPartnersPlace) {
  TestWorld t;
  PutPair(t.world, 6, 6);
  // Slot 4 was used before: its Mode, headings and HasBred stay.
  Animal& old = PutAnimal(t.world, 4, 9000, 9000);
  old.Mode = kModeSeekMate;
  old.HeadingX = -1;
  old.HeadingY = 1;
  old.HasBred = 1;
  old.AgeYears = 7;
  old.Alive = 0;
  Mate(t.world, 1, 2);
  EXPECT_EQ(3, Eggs(t.world));
  for (int slot : {3, 4, 5}) {
    const Animal& egg = AnimalAt(t.world, slot);
    EXPECT_EQ(1, egg.Alive);
    EXPECT_EQ(kStageEgg, egg.Stage);
    EXPECT_EQ(0, egg.AgeYears);
    EXPECT_EQ(0, egg.AgeMonths);
    EXPECT_EQ(500, egg.Hunger);
    EXPECT_EQ(egg.Genes[0].Body.BreathCapasity, egg.Breath);
    EXPECT_EQ(egg.Unborn.TimeInEgg, egg.EggTimer);
    EXPECT_EQ(1500, egg.X);
    EXPECT_EQ(2500, egg.Y);
    EXPECT_LE(egg.Sex, 1);
  }
  const Animal& reused = AnimalAt(t.world, 4);
  EXPECT_EQ(kModeSeekMate, reused.Mode);
  EXPECT_EQ(-1, reused.HeadingX);
  EXPECT_EQ(1, reused.HeadingY);
  EXPECT_EQ(1, reused.HasBred);
}

TEST(Mate, SexesAreDrawnIndependently) {
  TestWorld t(3);
  int ones = 0;
  int eggs = 0;
  for (int litter = 0; litter < 60; ++litter) {
    for (int slot = 3; slot <= kSlotCount; ++slot)
      AnimalAt(t.world, slot).Alive = 0;
    PutPair(t.world, 15, 15);
    Mate(t.world, 1, 2);
    for (int slot = 3; slot <= 9; ++slot) {
      ones += AnimalAt(t.world, slot).Sex;
      ++eggs;
    }
  }
  EXPECT_NEAR(0.5, static_cast<double>(ones) / eggs, 0.1);
}

TEST(Mate, FullTableWithoutOverwritingStopsTheLitter) {
  TestWorld t;
  for (int slot = 3; slot <= kSlotCount; ++slot)
    PutAnimal(t.world, slot, 100, 100);
  AnimalAt(t.world, 400).Alive = 0;  // 749 slots in use
  PutPair(t.world, 6, 6);            // a litter of 3
  t.world.OverwriteLeast = 0;
  Mate(t.world, 1, 2);
  EXPECT_EQ(1, Eggs(t.world));
  EXPECT_EQ(kStageEgg, AnimalAt(t.world, 400).Stage);
  EXPECT_EQ(0u, t.world.DeathsByCause[static_cast<size_t>(Cause::Overwritten)]);
  // Only exactly 1 counts as on.
  AnimalAt(t.world, 400).Alive = 0;
  t.world.OverwriteLeast = 2;
  Mate(t.world, 1, 2);
  EXPECT_EQ(1, Eggs(t.world));
  EXPECT_EQ(0u, t.world.DeathsByCause[static_cast<size_t>(Cause::Overwritten)]);
}

TEST(Mate, FullTableOverwritesTheLeastEvolved) {
  TestWorld t;
  for (int slot = 3; slot <= kSlotCount; ++slot)
    PutAnimal(t.world, slot, 100, 100);
  // Make slots 300 and 600 the least evolved: more genes at primordial values.
  for (int slot : {300, 600}) {
    for (GeneSet& g : AnimalAt(t.world, slot).Genes) {
      g.Head.Smell.Distance = 500;
      g.Head.Vision.Distance = 2000;
    }
  }
  for (GeneSet& g : AnimalAt(t.world, 300).Genes)
    g.Limb[0].LowerWidth = 0;
  PutPair(t.world, 4, 4);  // a litter of 2
  t.world.OverwriteLeast = 1;
  ASSERT_EQ(300, FindLeastEvolved(t.world));
  Mate(t.world, 1, 2);
  EXPECT_EQ(2u, t.world.DeathsByCause[static_cast<size_t>(Cause::Overwritten)]);
  for (int slot : {300, 600}) {
    EXPECT_EQ(kStageEgg, AnimalAt(t.world, slot).Stage) << slot;
    EXPECT_EQ(1500, AnimalAt(t.world, slot).X) << slot;
  }
  EXPECT_EQ(2, Eggs(t.world));
}

TEST(Mate, NoAnimalAboveScoreZeroStopsTheLitter) {
  TestWorld t;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    Animal& a = PutAnimal(t.world, slot, 100, 100);
    // Every tested gene away from its primordial value: score 0.
    for (const UnbornField& f : UnbornFields())
      SetUnbornValue(a.Unborn, f, f.primordial == 0 ? 1 : 0);
    for (GeneSet& g : a.Genes) {
      for (int index : ComparedFields()) {
        const GeneField& f = GeneSetFields()[static_cast<size_t>(index)];
        SetGeneValue(g, f, f.primordial == 0 ? 1 : 0);
      }
    }
    a.Sex = slot == 2 ? 1 : 0;
  }
  ASSERT_EQ(0.0f, PrimordialScore(t.world, 5));
  t.world.OverwriteLeast = 1;
  for (GeneSet& g : AnimalAt(t.world, 1).Genes)
    g.Genitalia.YoungPerLitter = 8;
  for (GeneSet& g : AnimalAt(t.world, 2).Genes)
    g.Genitalia.YoungPerLitter = 8;
  Mate(t.world, 1, 2);
  EXPECT_EQ(0, Eggs(t.world));
  EXPECT_EQ(0u, t.world.DeathsByCause[static_cast<size_t>(Cause::Overwritten)]);
}

TEST(Mate, YoungMayOverwriteItsOwnParent) {
  TestWorld t;
  for (int slot = 3; slot <= kSlotCount; ++slot)
    PutAnimal(t.world, slot, 100, 100);
  PutPair(t.world, 2, 2);  // one young
  for (GeneSet& g : AnimalAt(t.world, 2).Genes) {
    g.Head.Smell.Distance = 500;  // the second parent is the least evolved
    g.Head.Vision.Distance = 2000;
  }
  t.world.OverwriteLeast = 1;
  Mate(t.world, 1, 2);
  const Animal& young = AnimalAt(t.world, 2);
  EXPECT_EQ(1, young.Alive);
  EXPECT_EQ(kStageEgg, young.Stage);
  EXPECT_EQ(1500, young.X);  // the dead parent's place
  EXPECT_EQ(2500, young.Y);
}

// Mate scores the full table once per litter and then updates only the
// young's slot. A literal litter, scoring the whole table for every young,
// must pick the same victims on a table of scattered genomes where young
// overwrite parents and earlier siblings.
TEST(Mate, LitterVictimsMatchScoringTheTableForEveryYoung) {
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    testing::TestWorld fast(seed), literal(seed);
    for (World* w : {&fast.world, &literal.world}) {
      UseVirtualClock(*w, seed);
      w->OverwriteLeast = 1;
      for (int slot = 1; slot <= kSlotCount; ++slot) {
        Animal& a = testing::PutAnimal(*w, slot, slot * 40 % 32000, 5000);
        a.Sex = static_cast<uint8_t>(slot % 2);
        // A few genes off their primordial value, more in higher slots.
        a.Genes[1].Body.Height = static_cast<int16_t>(5 + (slot * 7 + seed) % 3);
        a.Genes[0].Tail.Length = static_cast<int16_t>(6 + (slot * 13 + seed) % 4);
        a.Unborn.EggSize = static_cast<int16_t>(1 + (slot * 5 + seed) % 2);
        a.Genes[1].Genitalia.YoungPerLitter = 30;
      }
    }
    const int first = static_cast<int>(2 * seed);
    const int second = static_cast<int>(2 * seed + 1);
    Mate(fast.world, first, second);

    // The litter as written: FindLeastEvolved for every young.
    World& w = literal.world;
    Reseed(w);
    Reseed(w);
    const float m = MeanOf(Adult(AnimalAt(w, first)).Genitalia.YoungPerLitter,
                           Adult(AnimalAt(w, second)).Genitalia.YoungPerLitter);
    for (float n = m / 2 + 1; n <= m; n += 1) {
      int slot = FindFreeSlot(w);
      if (slot == 0) {
        slot = FindLeastEvolved(w);
        if (slot == 0) break;
        KillAnimal(w, slot, Cause::Overwritten);
      }
      Inherit(w, first, second, slot);
      Mutate(w, slot);
      Animal& egg = AnimalAt(w, slot);
      egg.Alive = 1;
      egg.AgeYears = 0;
      egg.AgeMonths = 0;
      egg.Hunger = 500;
      egg.Breath = egg.Genes[0].Body.BreathCapasity;
      egg.Stage = kStageEgg;
      egg.Sex = static_cast<uint8_t>(Rnd(w) * 2);
      egg.EggTimer = egg.Unborn.TimeInEgg;
      egg.X = AnimalAt(w, second).X;
      egg.Y = AnimalAt(w, second).Y;
    }
    ASSERT_EQ(testing::WorldDigest(literal.world), testing::WorldDigest(fast.world))
        << "seed " << seed;
    EXPECT_EQ(15u, fast.world.DeathsByCause[static_cast<size_t>(Cause::Overwritten)]);
  }
}

TEST(FindFreeSlot, LowestFreeOrZero) {
  TestWorld t;
  EXPECT_EQ(1, FindFreeSlot(t.world));
  for (int slot = 1; slot <= kSlotCount; ++slot)
    PutAnimal(t.world, slot, 0, 0);
  EXPECT_EQ(0, FindFreeSlot(t.world));
  AnimalAt(t.world, 750).Alive = 0;
  EXPECT_EQ(750, FindFreeSlot(t.world));
  AnimalAt(t.world, 17).Alive = 0;
  EXPECT_EQ(17, FindFreeSlot(t.world));
}

}  // namespace
}  // namespace ombrivale
