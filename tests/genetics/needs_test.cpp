#include "genetics/needs.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::PutAnimal;
using testing::TestWorld;

TEST(CheckNeeds, BreathByMethodAndTerrain) {
  struct Case {
    uint8_t method;
    int32_t terrain;
    int16_t before, after;
    bool suffocates;
  };
  // Capacity 1000 throughout.
  const Case cases[] = {
      {0, kSky, 500, 1000, false},     {0, kWater, 500, 400, false}, {0, kGround, 100, 0, true},
      {0, kGround, 101, 1, false},     {1, kWater, 10, 1000, false}, {1, kSky, 50, 0, true},
      {1, kSky, 51, 1, false},         {1, kGround, 51, 1, false},   {2, kSky, 5, 1000, false},
      {2, kWater, 5, 1000, false},     {2, kGround, 100, 0, true},   {2, kGround, 101, 1, false},
      {3, kSky, 5, 1000, false},       {3, kWater, 500, 490, false}, {3, kGround, 10, 0, true},
      {3, kGround, 11, 1, false},      {4, kSky, 500, 500, false},   {4, kWater, 500, 500, false},
      {200, kGround, 0, 0, true},       // no drain, no refill, but spent
      {1, 7, 60, 10, false},            // an unknown terrain is not water
      {2, 7, 5, 1000, false},           // ... and not ground
      {1, kSky, -32760, -32768, true},  // the drain holds at the lowest value
  };
  for (const Case& c : cases) {
    TestWorld t;
    t.world.Map.At(kTerrainLayer, 50, 50) = c.terrain;
    Animal& a = PutAnimal(t.world, 1, 5050, 5050);
    a.Genes[1].Body.BreathingMethod = c.method;
    a.Breath = c.before;
    const std::optional<Cause> cause = CheckNeeds(t.world, 1);
    const std::string label = std::to_string(c.method) + " " + std::to_string(c.terrain);
    EXPECT_EQ(c.after, a.Breath) << label;
    EXPECT_EQ(c.suffocates, cause == Cause::Suffocation) << label;
    EXPECT_EQ(1, a.Alive) << "only reports: " << label;
  }
}

TEST(CheckNeeds, SuffocationBeatsOldAgeBeatsHungerAndOldAgeReadsTheAdultSet) {
  struct Case {
    int16_t stage, hunger, age;
    int16_t breath;  // a gill breather in the sky: loses 50
    std::optional<Cause> cause;
  };
  // LifeSpan 10 in the adult set, 3 in the infant set.
  const Case cases[] = {
      {kStageAdult, 999, 9, 51, std::nullopt},     {kStageAdult, 1000, 9, 51, Cause::Hunger},
      {kStageAdult, 32767, 9, 51, Cause::Hunger},  {kStageAdult, 999, 10, 51, Cause::OldAge},
      {kStageAdult, 1000, 10, 51, Cause::OldAge},  {kStageAdult, 1000, 10, 50, Cause::Suffocation},
      {kStageAdult, 0, 0, 50, Cause::Suffocation}, {kStageAdult, -5000, 11, 51, Cause::OldAge},
      {kStageInfant, 0, 9, 5000, std::nullopt},    {kStageInfant, 0, 10, 5000, Cause::OldAge},
      {kStageEgg, 5000, 99, 0, std::nullopt},  // eggs neither breathe nor die
  };
  for (const Case& c : cases) {
    TestWorld t;
    Animal& a = PutAnimal(t.world, 1, 5050, 5050, c.stage);
    a.Genes[0].Genitalia.LifeSpan = 3;
    a.Genes[0].Body.BreathingMethod = kLungs;  // breathes in the sky
    a.Hunger = c.hunger;
    a.AgeYears = c.age;
    a.Breath = c.breath;
    EXPECT_EQ(c.cause, CheckNeeds(t.world, 1))
        << "stage " << c.stage << " hunger " << c.hunger << " age " << c.age;
  }
}

TEST(KillAnimal, TheBodyBecomesMeatOnlyWhereThereIsNoPlantOrMeat) {
  struct Case {
    int16_t stage;
    int32_t kind, amount;
    int32_t kindAfter, amountAfter;
  };
  // The founder's body volume is 17.87: 18 units of meat.
  const Case cases[] = {
      {kStageAdult, kNoFood, 0, kMeat, 18},
      {kStageAdult, kNoFood, 37, kMeat, 55},  // a stale amount under "nothing" is kept
      {kStageAdult, kSeaScum, 10000, kMeat, 10018},
      {kStageAdult, kAquaticVegetation, 10000, kAquaticVegetation, 10000},
      {kStageAdult, kLandVegetation, 10000, kLandVegetation, 10000},
      {kStageAdult, kMeat, -5, kMeat, -5},
      {kStageAdult, kSeaScum, 2147483640, kMeat, 2147483647},  // held at the cell's limit
      {kStageEgg, kNoFood, 0, kMeat, 0},
  };
  for (const Case& c : cases) {
    TestWorld t;
    World& w = t.world;
    w.Map.At(kFoodKindLayer, 50, 50) = c.kind;
    w.Map.At(kFoodAmountLayer, 50, 50) = c.amount;
    Animal& a = PutAnimal(w, 1, 5050, 5050, c.stage);
    a.EggTimer = 3;
    KillAnimal(w, 1, Cause::Eaten);
    EXPECT_EQ(c.kindAfter, w.Map.At(kFoodKindLayer, 50, 50)) << c.kind << " " << c.amount;
    EXPECT_EQ(c.amountAfter, w.Map.At(kFoodAmountLayer, 50, 50)) << c.kind << " " << c.amount;
    EXPECT_EQ(0, a.Alive);
    EXPECT_EQ(3, a.EggTimer);  // only Alive is cleared
  }
}

TEST(KillAnimal, EachFilterSilencesOnlyItsOwnCauseAndEveryDeathCounts) {
  const Cause causes[] = {Cause::OldAge, Cause::Hunger, Cause::Suffocation, Cause::Overwritten,
                          Cause::Eaten};
  for (const Cause off : causes) {
    TestWorld t;
    World& w = t.world;
    w.LogOn = 1;
    w.Filters = DeathFilters{true, true, true, true, true};
    FilterFor(w.Filters, off) = false;
    w.display->Label1 = "Y3, March";
    int slot = 36;
    for (const Cause cause : causes) {
      PutAnimal(w, ++slot, 5050, 5050);
      KillAnimal(w, slot, cause);
      KillAnimal(w, slot, cause);  // a free slot has nothing left to kill
    }
    EXPECT_EQ(4u, t.Events().messageLines.size()) << CauseText(off);
    ASSERT_EQ(4u, w.display->DeathLog.size()) << CauseText(off);
    for (const std::string& line : w.display->DeathLog)
      EXPECT_EQ(std::string::npos, line.find(CauseText(off))) << line;
    EXPECT_EQ(off == Cause::OldAge ? "Y3, March  -  Animal 38 Died  -  Hunger"
                                   : "Y3, March  -  Animal 37 Died  -  Old Age",
              w.display->DeathLog.front());
    for (const Cause cause : causes)
      EXPECT_EQ(1u, w.DeathsByCause[static_cast<size_t>(cause)]) << "counted even when hidden";
  }
}

}  // namespace
}  // namespace ombrivale
