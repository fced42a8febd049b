#include "genetics/play_god_actions.h"

#include <gtest/gtest.h>

#include "core/helpers.h"
#include "genetics/body_measures.h"
#include "genetics/gene_table.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::PutAnimal;
using testing::TestWorld;

constexpr uint8_t kPair[] = {0, 1};

// A design unlike the founders: an infant breath of 777 and 3 months in the egg.
Animal Design() {
  TestWorld t;
  Animal design = PutAnimal(t.world, 1, 0, 0);
  design.Genes[kStageInfant].Body.BreathCapasity = 777;
  design.Unborn.TimeInEgg = 3;
  design.Hunger = 1234;
  design.Stage = kStageAdult;
  return design;
}

// Every slot but `free` occupied by a founder-like adult in the sky.
void FillTable(World& world, std::initializer_list<int> free = {}) {
  for (int slot = 1; slot <= kSlotCount; ++slot)
    PutAnimal(world, slot, 100, 100);
  for (int slot : free)
    AnimalAt(world, slot).Alive = 0;
}

TEST(DropAnimals, APairTakesTheLowestFreeSlotsAsNewbornEggs) {
  TestWorld t;
  PutAnimal(t.world, 1, 100, 100);
  PutAnimal(t.world, 3, 100, 100);
  std::vector<int> placed;
  ASSERT_EQ(DropOutcome::Placed, DropAnimals(t.world, Design(), 1250, 4075, kPair, placed));
  ASSERT_EQ((std::vector<int>{2, 4}), placed);
  for (size_t i = 0; i < placed.size(); ++i) {
    const Animal& egg = AnimalAt(t.world, placed[i]);
    EXPECT_EQ(1, egg.Alive);
    EXPECT_EQ(kStageEgg, egg.Stage);
    EXPECT_EQ(kPair[i], egg.Sex);
    EXPECT_EQ(500, egg.Hunger);
    EXPECT_EQ(777, egg.Breath);
    EXPECT_EQ(3, egg.EggTimer);
    EXPECT_EQ(0, egg.AgeYears + egg.AgeMonths + egg.HasBred);
    EXPECT_EQ(1250, egg.X);
    EXPECT_EQ(4075, egg.Y);
    const LineageEntry* entry =
        FindLineageEntry(t.world.lineage, LivingId(t.world.lineage, t.world.Animals, placed[i]));
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(0u, entry->generation);
    EXPECT_EQ(0u, entry->parents[0] + entry->parents[1]);
  }
  EXPECT_TRUE(CheckLineage(t.world.lineage, t.world.Animals).ok());
}

TEST(DropAnimals, AFullTableOverwritesTheLeastEvolvedOnlyWhenAllowed) {
  struct Case {
    uint8_t overwriteLeast;
    std::initializer_list<int> free;
    DropOutcome outcome;
    std::vector<int> placed;
    uint64_t overwritten;
  };
  const Case cases[] = {
      {1, {}, DropOutcome::Placed, {20, 30}, 2},
      {0, {}, DropOutcome::Full, {}, 0},
      {0, {9}, DropOutcome::Full, {}, 0},
      {1, {9}, DropOutcome::Placed, {9, 20}, 1},
      {0, {9, 700}, DropOutcome::Placed, {9, 700}, 0},
  };
  for (const Case& c : cases) {
    TestWorld t;
    FillTable(t.world, c.free);
    // The least evolved are 20, then 30: the others have one gene evolved.
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      if (slot != 20 && slot != 30) AnimalAt(t.world, slot).Genes[1].Tail.Length = 9;
    }
    t.world.OverwriteLeast = c.overwriteLeast;
    std::vector<int> placed;
    EXPECT_EQ(c.outcome, DropAnimals(t.world, Design(), 5000, 5000, kPair, placed));
    EXPECT_EQ(c.placed, placed);
    EXPECT_EQ(c.overwritten, t.world.DeathsByCause[static_cast<size_t>(Cause::Overwritten)]);
    for (int slot : placed)
      EXPECT_EQ(kStageEgg, AnimalAt(t.world, slot).Stage);
    EXPECT_TRUE(CheckLineage(t.world.lineage, t.world.Animals).ok());
  }
}

TEST(DropAnimals, GroundAndPositionsOffTheMapAreRefusedWithNothingLaid) {
  TestWorld t;
  testing::FillRows(t.world, 60, 100, kGround);
  struct Case {
    int x, y;
    DropOutcome outcome;
  };
  const Case cases[] = {{1000, 6000, DropOutcome::Ground}, {1000, 5999, DropOutcome::Placed},
                        {-1, 100, DropOutcome::OffMap},    {32001, 100, DropOutcome::OffMap},
                        {100, 10001, DropOutcome::OffMap}, {32000, 10000, DropOutcome::Ground}};
  for (const Case& c : cases) {
    std::vector<int> placed{99};
    const uint64_t before = t.world.lineage.nextId;
    const DropOutcome outcome = DropAnimals(t.world, Design(), c.x, c.y, kPair, placed);
    EXPECT_EQ(c.outcome, outcome) << c.x << "," << c.y;
    EXPECT_EQ(outcome == DropOutcome::Placed ? 2u : 0u, placed.size());
    EXPECT_EQ(before + placed.size(), t.world.lineage.nextId);
  }
}

TEST(DropByPolicy, APairIsBothSexesAndSinglesAlternateOnlyWhenLaid) {
  TestWorld t;
  testing::FillRows(t.world, 60, 100, kGround);
  DropPolicy policy{false, 1};
  std::vector<int> placed;
  std::vector<uint8_t> sexes;
  // Sky, ground (nothing laid: the sex does not turn), sky, sky.
  for (const int y : {100, 7000, 100, 100}) {
    DropByPolicy(t.world, Design(), 500, y, policy, placed);
    for (const int slot : placed)
      sexes.push_back(AnimalAt(t.world, slot).Sex);
  }
  EXPECT_EQ((std::vector<uint8_t>{1, 0, 1}), sexes);
  policy.pair = true;
  ASSERT_EQ(DropOutcome::Placed, DropByPolicy(t.world, Design(), 500, 100, policy, placed));
  ASSERT_EQ(2u, placed.size());
  EXPECT_EQ(0, AnimalAt(t.world, placed[0]).Sex);
  EXPECT_EQ(1, AnimalAt(t.world, placed[1]).Sex);
  EXPECT_EQ(0, policy.nextSex);  // a pair leaves the alternation where it was
}

TEST(SacrificeAnimal, KillsOnlyTheAnimalThatWasChosen) {
  TestWorld t;
  PutAnimal(t.world, 5, 1000, 1000);
  const uint64_t chosen = LivingId(t.world.lineage, t.world.Animals, 5);
  EXPECT_FALSE(SacrificeAnimal(t.world, 5, chosen + 1));  // not the one chosen
  EXPECT_FALSE(SacrificeAnimal(t.world, 0, chosen));
  EXPECT_FALSE(SacrificeAnimal(t.world, kSlotCount + 1, chosen));
  EXPECT_TRUE(SacrificeAnimal(t.world, 5, chosen));
  EXPECT_EQ(0, AnimalAt(t.world, 5).Alive);
  EXPECT_EQ(1u, t.world.DeathsByCause[static_cast<size_t>(Cause::Sacrificed)]);
  // It died meanwhile; then another animal took the slot.
  EXPECT_FALSE(SacrificeAnimal(t.world, 5, chosen));
  PutAnimal(t.world, 5, 1000, 1000);
  EXPECT_FALSE(SacrificeAnimal(t.world, 5, chosen));
  EXPECT_EQ(1, AnimalAt(t.world, 5).Alive);
  EXPECT_EQ(1u, t.world.DeathsByCause[static_cast<size_t>(Cause::Sacrificed)]);
}

TEST(DesignRange, BoundsFollowTheOtherGenesOfTheSet) {
  GeneSet set = Design().Genes[1];
  const auto fields = GeneSetFields();
  const auto range = [&](const char* suffix) {
    return DesignRange(set, fields[static_cast<size_t>(FieldIndex(suffix))]);
  };
  EXPECT_EQ(0, range(".Body.Covering").low);
  EXPECT_EQ(3, range(".Body.Covering").high);
  EXPECT_EQ(1, range(".Body.Height").low);
  EXPECT_EQ(INT16_MAX, range(".Body.Height").high);
  set.Body.Width = 9;
  const GeneRange before = range(".Body.BreathCapasity");
  set.Body.Width = 40;
  EXPECT_LT(before.high, range(".Body.BreathCapasity").high);
  for (const UnbornField& field : UnbornFields())
    EXPECT_LE(DesignRange(field).low, DesignRange(field).high) << field.name;
}

}  // namespace
}  // namespace ombrivale
