#include "genetics/needs.h"
#include "core/log.h"

#include <gtest/gtest.h>

#include <string>

#include "genetics/body_measures.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::PutAnimal;
using testing::TestWorld;

void ShowAll(World& world) {
  world.Filters = DeathFilters{true, true, true, true, true};
}

TEST(CheckNeedsTest, BreathTable) {
  struct Case {
    uint8_t method;
    int32_t terrain;
    int16_t before;
    int16_t after;
    bool suffocates;
  };
  // Capacity 1000 throughout.
  const Case cases[] = {
      {0, kSky, 500, 1000, false}, {0, kWater, 500, 400, false}, {0, kGround, 100, 0, true},
      {0, kGround, 101, 1, false}, {1, kWater, 10, 1000, false}, {1, kSky, 50, 0, true},
      {1, kSky, 51, 1, false},     {1, kGround, 51, 1, false},   {2, kSky, 5, 1000, false},
      {2, kWater, 5, 1000, false}, {2, kGround, 100, 0, true},   {2, kGround, 101, 1, false},
      {3, kSky, 5, 1000, false},   {3, kWater, 500, 490, false}, {3, kGround, 10, 0, true},
      {3, kGround, 11, 1, false},  {4, kSky, 500, 500, false},   {4, kWater, 500, 500, false},
      {200, kGround, 0, 0, true},  // no drain, no refill, but still spent
      {1, 7, 60, 10, false},       // an unknown terrain is not water
      {2, 7, 5, 1000, false},      // ... and not ground
  };
  for (const Case& c : cases) {
    TestWorld t;
    t.world.Map.At(kTerrainLayer, 50, 50) = c.terrain;
    Animal& a = PutAnimal(t.world, 1, 5050, 5050);
    a.Genes[1].Body.BreathingMethod = c.method;
    a.Breath = c.before;
    const std::optional<Cause> cause = CheckNeeds(t.world, 1);
    const std::string label = "method " + std::to_string(c.method) + " terrain " +
                              std::to_string(c.terrain) + " breath " + std::to_string(c.before);
    EXPECT_EQ(c.after, a.Breath) << label;
    EXPECT_EQ(c.suffocates, cause == Cause::Suffocation) << label;
    EXPECT_EQ(1, a.Alive) << "CheckNeeds only reports: " << label;
  }
}

TEST(CheckNeedsTest, TheInfantBreathesWithItsOwnGenes) {
  TestWorld t;
  Animal& a = PutAnimal(t.world, 1, 5050, 5050, kStageInfant);  // sky cell
  a.Genes[0].Body.BreathingMethod = 3;
  a.Genes[0].Body.BreathCapasity = 300;
  a.Genes[1].Body.BreathingMethod = 1;  // the adult set would suffocate here
  a.Breath = 40;
  EXPECT_EQ(std::nullopt, CheckNeeds(t.world, 1));
  EXPECT_EQ(300, a.Breath);
}

TEST(CheckNeedsTest, ARefilledAnimalWithNoCapacityStillSuffocates) {
  TestWorld t;
  t.world.Map.At(kTerrainLayer, 50, 50) = kWater;
  Animal& a = PutAnimal(t.world, 1, 5050, 5050);
  a.Genes[1].Body.BreathCapasity = 0;
  a.Breath = 0;
  EXPECT_EQ(Cause::Suffocation, CheckNeeds(t.world, 1));
  EXPECT_EQ(0, a.Breath);
}

TEST(CheckNeedsTest, SuffocationBeatsOldAgeBeatsHunger) {
  struct Case {
    int16_t hunger;
    int16_t ageYears;
    int16_t breath;  // a gill breather in the sky: loses 50
    std::optional<Cause> cause;
  };
  // LifeSpan 10 (adult set).
  const Case cases[] = {
      {999, 9, 51, std::nullopt},     {1000, 9, 51, Cause::Hunger},
      {32767, 9, 51, Cause::Hunger},  {999, 10, 51, Cause::OldAge},
      {1000, 10, 51, Cause::OldAge},  {1000, 10, 50, Cause::Suffocation},
      {0, 0, 50, Cause::Suffocation}, {-5000, 11, 51, Cause::OldAge},
  };
  for (const Case& c : cases) {
    TestWorld t;
    Animal& a = PutAnimal(t.world, 1, 5050, 5050);
    a.Hunger = c.hunger;
    a.AgeYears = c.ageYears;
    a.Breath = c.breath;
    EXPECT_EQ(c.cause, CheckNeeds(t.world, 1))
        << "hunger " << c.hunger << " age " << c.ageYears << " breath " << c.breath;
  }
}

TEST(CheckNeedsTest, OldAgeReadsTheAdultLifeSpanEvenForAnInfant) {
  TestWorld t;
  t.world.Map.At(kTerrainLayer, 50, 50) = kWater;
  Animal& a = PutAnimal(t.world, 1, 5050, 5050, kStageInfant);
  a.Genes[0].Genitalia.LifeSpan = 100;
  a.Genes[1].Genitalia.LifeSpan = 3;
  a.AgeYears = 3;
  EXPECT_EQ(Cause::OldAge, CheckNeeds(t.world, 1));
  a.AgeYears = 2;
  EXPECT_EQ(std::nullopt, CheckNeeds(t.world, 1));
}

TEST(CheckNeedsTest, EggsNeitherBreatheNorDie) {
  TestWorld t;
  t.world.Map.At(kTerrainLayer, 50, 50) = kGround;
  Animal& a = PutAnimal(t.world, 1, 5050, 5050, kStageEgg);
  a.Breath = 0;
  a.Hunger = 5000;
  a.AgeYears = 99;
  EXPECT_EQ(std::nullopt, CheckNeeds(t.world, 1));
  EXPECT_EQ(0, a.Breath);
}

TEST(CheckNeedsTest, BreathDrainSaturatesInsteadOfWrapping) {
  TestWorld t;
  Animal& a = PutAnimal(t.world, 1, 5050, 5050);  // gills in the sky: -50
  a.Breath = -32760;
  EXPECT_EQ(Cause::Suffocation, CheckNeeds(t.world, 1));
  EXPECT_EQ(-32768, a.Breath);
}

TEST(KillAnimalTest, TheFirstDeathInACellLeavesMeat) {
  TestWorld t;
  World& w = t.world;
  PutAnimal(w, 1, 5050, 5050);
  PutAnimal(w, 2, 5099, 5001);             // same cell
  const double volume = BodyVolume(w, 1);  // about 17.87
  KillAnimal(w, 1, Cause::Hunger);
  EXPECT_EQ(kMeat, w.Map.At(kFoodKindLayer, 50, 50));
  EXPECT_EQ(18, w.Map.At(kFoodAmountLayer, 50, 50));
  EXPECT_NEAR(17.87, volume, 0.01);
  KillAnimal(w, 2, Cause::Hunger);
  EXPECT_EQ(18, w.Map.At(kFoodAmountLayer, 50, 50));  // already meat: nothing added
  EXPECT_EQ(0, AnimalAt(w, 2).Alive);
}

TEST(KillAnimalTest, WhatEachFoodKindGetsFromADeath) {
  struct Case {
    int32_t kind;
    int32_t amount;
    int32_t kindAfter;
    int32_t amountAfter;
  };
  const Case cases[] = {
      {kNoFood, 0, kMeat, 18},
      {kNoFood, 37, kMeat, 55},  // a stale amount under "nothing" is kept
      {kSeaScum, 10000, kMeat, 10018},
      {kAquaticVegetation, 10000, kAquaticVegetation, 10000},
      {kLandVegetation, 10000, kLandVegetation, 10000},
      {kMeat, -5, kMeat, -5},
      {kSeaScum, 2147483640, kMeat, 2147483647},  // held at the cell's limit
  };
  for (const Case& c : cases) {
    TestWorld t;
    World& w = t.world;
    w.Map.At(kFoodKindLayer, 50, 50) = c.kind;
    w.Map.At(kFoodAmountLayer, 50, 50) = c.amount;
    PutAnimal(w, 1, 5050, 5050);
    KillAnimal(w, 1, Cause::Eaten);
    EXPECT_EQ(c.kindAfter, w.Map.At(kFoodKindLayer, 50, 50)) << c.kind << " " << c.amount;
    EXPECT_EQ(c.amountAfter, w.Map.At(kFoodAmountLayer, 50, 50)) << c.kind << " " << c.amount;
  }
}

TEST(KillAnimalTest, AnEggLeavesAnEmptyMeatCellAndTheRecordIsKept) {
  TestWorld t;
  World& w = t.world;
  Animal& egg = PutAnimal(w, 4, 5050, 5050, kStageEgg);
  egg.EggTimer = 3;
  KillAnimal(w, 4, Cause::Overwritten);
  EXPECT_EQ(kMeat, w.Map.At(kFoodKindLayer, 50, 50));
  EXPECT_EQ(0, w.Map.At(kFoodAmountLayer, 50, 50));
  EXPECT_EQ(0, egg.Alive);
  EXPECT_EQ(3, egg.EggTimer);  // only Alive is cleared
  EXPECT_EQ(5050, egg.X);
}

TEST(KillAnimalTest, TheMessageAndTheCounts) {
  TestWorld t;
  World& w = t.world;
  ShowAll(w);
  w.display->Label1 = "Y3, March";
  PutAnimal(w, 37, 5050, 5050);
  KillAnimal(w, 37, Cause::OldAge);
  EXPECT_EQ("Y3, March  -  Animal 37 Died  -  Old Age", w.display->Label3);
  ASSERT_EQ(1u, t.seam.messageLines.size());
  EXPECT_EQ(w.display->Label3, t.seam.messageLines.back());
  EXPECT_EQ(1u, w.DeathsByCause[static_cast<size_t>(Cause::OldAge)]);

  // A free slot has nothing left to kill.
  KillAnimal(w, 37, Cause::Hunger);
  EXPECT_EQ(0u, w.DeathsByCause[static_cast<size_t>(Cause::Hunger)]);
  EXPECT_EQ(1u, t.seam.messageLines.size());
}

TEST(KillAnimalTest, EachFilterSilencesOnlyItsOwnCause) {
  const Cause causes[] = {Cause::OldAge, Cause::Hunger, Cause::Suffocation, Cause::Overwritten,
                          Cause::Eaten};
  for (const Cause off : causes) {
    TestWorld t;
    World& w = t.world;
    w.LogOn = 1;
    ShowAll(w);
    switch (off) {
      case Cause::OldAge:
        w.Filters.OldAge = false;
        break;
      case Cause::Hunger:
        w.Filters.Hunger = false;
        break;
      case Cause::Suffocation:
        w.Filters.Suffocation = false;
        break;
      case Cause::Overwritten:
        w.Filters.Overwritten = false;
        break;
      case Cause::Eaten:
        w.Filters.Eaten = false;
        break;
    }
    int slot = 1;
    for (const Cause cause : causes) {
      PutAnimal(w, slot, 5050, 5050);
      KillAnimal(w, slot, cause);
      EXPECT_EQ(0, AnimalAt(w, slot).Alive);
      ++slot;
    }
    EXPECT_EQ(4u, t.seam.messageLines.size()) << CauseText(off);
    EXPECT_EQ(4u, w.display->DeathLog.size()) << CauseText(off);
    for (const std::string& line : w.display->DeathLog) {
      EXPECT_EQ(std::string::npos, line.find(CauseText(off))) << line;
    }
    EXPECT_EQ(1u, w.DeathsByCause[static_cast<size_t>(off)]) << "counted even when hidden";
  }
}

TEST(LogMessageTest, AlwaysShowsButLogsOnlyWithLogOn) {
  TestWorld t;
  World& w = t.world;
  LogMessage(w, "New World");
  EXPECT_EQ("New World", w.display->Label3);
  EXPECT_TRUE(w.display->DeathLog.empty());
  EXPECT_EQ(1u, t.seam.messageLines.size());

  w.LogOn = 1;
  const uint64_t version = w.display->logVersion;
  LogMessage(w, "a");
  LogMessage(w, "a");  // same as the last entry: not again
  LogMessage(w, "b");
  LogMessage(w, "a");
  EXPECT_EQ((std::deque<std::string>{"a", "b", "a"}), w.display->DeathLog);
  EXPECT_EQ(version + 3, w.display->logVersion);
  EXPECT_EQ(5u, t.seam.messageLines.size());  // the message line shows every call
  EXPECT_EQ("a", w.display->Label3);
}

TEST(LogMessageTest, KeepsAtMost499Entries) {
  TestWorld t;
  World& w = t.world;
  w.LogOn = 1;
  for (int i = 1; i <= 499; ++i)
    LogMessage(w, std::to_string(i));
  ASSERT_EQ(499u, w.display->DeathLog.size());
  EXPECT_EQ("1", w.display->DeathLog.front());

  LogMessage(w, "500");  // the 500th entry pushes the oldest out
  EXPECT_EQ(499u, w.display->DeathLog.size());
  EXPECT_EQ("2", w.display->DeathLog.front());
  EXPECT_EQ("500", w.display->DeathLog.back());

  for (int i = 501; i <= 1200; ++i)
    LogMessage(w, std::to_string(i));
  EXPECT_EQ(499u, w.display->DeathLog.size());
  EXPECT_EQ("702", w.display->DeathLog.front());
}

}  // namespace
}  // namespace ombrivale
