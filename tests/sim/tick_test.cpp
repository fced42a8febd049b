#include "sim/tick.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "behaviour/move_speed.h"
#include "core/numeric.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::FillRows;
using testing::PutAnimal;

constexpr uint8_t kModeIdle = 3;  // a mode with no behaviour: the heading stays as set

// A water world (gill breathers breathe everywhere) in May, running.
class TickTest : public ::testing::Test {
 protected:
  TickTest() {
    FillRows(world, 0, 100, kWater);
    world.Month = 5;
    world.GameStarted = 1;
  }

  testing::TestWorld t;
  World& world = t.world;
};

TEST_F(TickTest, GroundBlocksTheVerticalMoveFirst) {
  // A flyer (feathers, speed 150) from cell (50, 50) up and right: the
  // vertical move alone ends in cell (50, 49), the horizontal alone in
  // (52, 50), the diagonal in (52, 49).
  struct Case {
    const char* name;
    bool vertical, horizontal, diagonal;
    int x, y;
  };
  const Case cases[] = {
      {"free", false, false, false, 5200, 4900},
      {"vertical blocked: horizontal move only", true, false, false, 5200, 5050},
      {"vertical and horizontal blocked: no move", true, true, false, 5050, 5050},
      {"diagonal blocked: vertical move only", false, false, true, 5050, 4900},
      {"horizontal alone blocked is not looked at", false, true, false, 5200, 4900},
  };
  for (const Case& c : cases) {
    FillRows(world, 0, 100, kSky);
    Animal& a = PutAnimal(world, 1, 5050, 5050);
    a.Mode = kModeIdle;
    a.Genes[1].Body.Covering = kFeathers;
    a.Genes[1].Tail.Width = 150;
    a.HeadingX = 7;  // headings count by their sign
    a.HeadingY = -300;
    world.Map.At(kTerrainLayer, 50, 49) = c.vertical ? kGround : kSky;
    world.Map.At(kTerrainLayer, 52, 50) = c.horizontal ? kGround : kSky;
    world.Map.At(kTerrainLayer, 52, 49) = c.diagonal ? kGround : kSky;
    AnimalStep(world, 1);
    EXPECT_EQ(c.x, a.X) << c.name;
    EXPECT_EQ(c.y, a.Y) << c.name;
  }
}

// The step length by terrain and covering, against the rule's arithmetic in
// floating point, with odd heights (a half), negative and extreme genes.
TEST_F(TickTest, StepLengthsAreTheRulesByTerrainAndCovering) {
  struct Case {
    int32_t terrain;
    uint8_t covering;
    int16_t height, tail, limb;  // limb: every limb length
  };
  const Case cases[] = {
      {kSky, kFeathers, 5, 2, 3},
      {kWater, kFur, 5, 2, 3},
      {kWater, kSkin, 5, 2, 3},
      {kWater, kScales, 5, 2, 3},
      {kWater, kFeathers, 5, -7, 3},
      {kWater, 4, 5, 2, 3},
      {kGround, kFur, 5, 2, 0},
      {kGround, kScales, -32768, 9, 32767},
      {kWater, kScales, 1, 32767, 32767},
      {kGround, kSkin, 32767, 0, -32768},
      {3, kFur, 5, 2, 3},
      {kSky, kFeathers, 1, -32768, -32768},
  };
  for (const Case& c : cases) {
    FillRows(world, 0, 100, c.terrain);
    Animal& a = PutAnimal(world, 1, 5050, 5050);
    GeneSet& g = a.Genes[1];
    g.Body.Covering = c.covering;
    g.Body.Height = c.height;
    g.Tail.Width = c.tail;
    for (auto& limb : g.Limb) {
      limb.LowerLength = c.limb;
      limb.UpperLength = c.limb;
    }
    const double h = c.height / 2.0;
    const double sum = static_cast<double>(c.tail) + c.limb + c.limb;
    double rule = 0;
    if (c.terrain == kSky) rule = sum;
    if (c.terrain == kWater && (c.covering == kFur || c.covering == kFeathers)) rule = sum / 2 * 4;
    if (c.terrain == kWater && c.covering == kSkin) rule = sum * 4;
    if (c.terrain == kWater && c.covering == kScales) rule = sum * 1.5 * 4;
    if (c.terrain == kGround) rule = (h + c.limb + c.limb + c.limb + c.limb) * 2.5 * 4;
    EXPECT_EQ(rule, MoveSpeed(world, 1)) << c.terrain << " " << int{c.covering} << " " << c.height;
  }
}

// A step of any length, whole or not, ends where the move in floating point
// ends: x + heading x speed, held at the right and bottom edges, rounded half
// to even and held to 16 bits. A flyer's speed is its tail width (negative
// from a mutated gene); without feathers it falls by its body's volume.
TEST_F(TickTest, StepsEndWhereTheFloatingPointMoveEnds) {
  struct Case {
    bool feathers;
    int16_t tail;
    int16_t x, y;
    int16_t headingX, headingY;
  };
  const Case cases[] = {
      {true, 150, 5050, 5050, 1, -1},     {true, 32767, 5050, 5050, 1, 1},
      {true, 32767, -30000, 50, -1, -1},  {true, -150, 31990, 9990, -1, 1},
      {true, 0, 5050, 5050, 1, 1},        {true, 120, 31950, 9950, 1, 1},
      {false, 150, 5050, 5050, 1, 0},     {false, 7, 31990, 9990, -1, 1},
      {false, 32767, -32768, 50, -1, -1}, {true, 99, 50, 50, -1, -1},
  };
  for (const Case& c : cases) {
    FillRows(world, 0, 100, kSky);
    Animal& a = PutAnimal(world, 1, c.x, c.y);
    a.Mode = kModeIdle;
    a.Genes[1].Body.Covering = c.feathers ? kFeathers : kScales;
    a.Genes[1].Body.Height = 3;
    a.Genes[1].Tail.Width = c.tail;
    a.Genes[1].Limb[0].LowerLength = 0;
    a.Genes[1].Limb[0].UpperLength = 0;
    a.HeadingX = c.headingX;
    a.HeadingY = c.headingY;
    testing::TestWorld copy;
    copy.world = world;
    const double speed = MoveSpeed(copy.world, 1);  // a fall heads down
    const int16_t headingY = AnimalAt(copy.world, 1).HeadingY;
    const double x = std::min<double>(c.x + c.headingX * speed, kMaxX);
    const double y = std::min<double>(c.y + headingY * speed, kMaxY);
    AnimalStep(world, 1);
    EXPECT_EQ(RoundTo<int16_t>(x), a.X) << c.tail << " from " << c.x;
    EXPECT_EQ(RoundTo<int16_t>(y), a.Y) << c.tail << " from " << c.y;
  }
}

TEST_F(TickTest, ModesChangeBySeasonHungerAgeAndBreeding) {
  struct Case {
    const char* name;
    uint8_t mode;
    int16_t month, stage, age, hunger;
    uint8_t hasBred;
    uint8_t after;
  };
  // The founder breeds from 5 to 9 years.
  const Case cases[] = {
      {"ready", kModeRoam, 9, kStageAdult, 5, 499, 0, kModeSeekMate},
      {"November", kModeRoam, 11, kStageAdult, 9, 100, 0, kModeSeekMate},
      {"August", kModeRoam, 8, kStageAdult, 5, 100, 0, kModeRoam},
      {"December", kModeRoam, 12, kStageAdult, 5, 100, 0, kModeRoam},
      {"hunger 500", kModeRoam, 10, kStageAdult, 5, 500, 0, kModeRoam},
      {"hunger 501 forages", kModeRoam, 10, kStageAdult, 5, 501, 0, kModeForage},
      {"too old", kModeRoam, 10, kStageAdult, 10, 100, 0, kModeRoam},
      {"infant", kModeRoam, 10, kStageInfant, 5, 100, 0, kModeRoam},
      {"has bred", kModeRoam, 10, kStageAdult, 5, 100, 1, kModeRoam},
      {"bred: stops seeking", kModeSeekMate, 10, kStageAdult, 5, 100, 1, kModeRoam},
      {"December: stops seeking", kModeSeekMate, 12, kStageAdult, 5, 100, 0, kModeRoam},
      {"infant: stops seeking", kModeSeekMate, 10, kStageInfant, 5, 100, 0, kModeRoam},
      {"fed to 0: still foraging", kModeForage, 5, kStageAdult, 5, 0, 0, kModeForage},
      {"fed below 0: roams", kModeForage, 5, kStageAdult, 5, -1, 0, kModeRoam},
  };
  for (const Case& c : cases) {
    world.Month = c.month;
    Animal& a = PutAnimal(world, 1, 5050, 5050, c.stage);
    a.Mode = c.mode;
    a.AgeYears = c.age;
    a.Hunger = c.hunger;
    a.HasBred = c.hasBred;
    AnimalStep(world, 1);
    EXPECT_EQ(c.after, a.Mode) << c.name;
    EXPECT_EQ(Pointer::Default, t.seam.pointer) << c.name;  // the search's hourglass goes
  }
}

TEST_F(TickTest, TheRestOfTheSlotsTurnRunsForTheDeadAndEggsHatchAndGrowUpAtOnce) {
  struct Case {
    int16_t stage, eggTimer, age, hunger, after;
  };
  const Case cases[] = {
      {kStageEgg, 0, 5, 0, kStageAdult},  // AdultAge 5: hatches and grows up at once
      {kStageEgg, -3, 9, 0, kStageAdult},
      {kStageEgg, 0, 4, 0, kStageInfant},
      {kStageEgg, 1, 5, 0, kStageEgg},
      {kStageInfant, 0, 5, 1000, kStageAdult},  // dies of hunger, still grows up
  };
  int slot = 1;
  for (const Case& c : cases) {
    Animal& a = PutAnimal(world, slot++, 5050, 5050, c.stage);
    a.Mode = kModeIdle;
    a.EggTimer = c.eggTimer;
    a.AgeYears = c.age;
    a.Hunger = c.hunger;
  }
  SimulationTick(world);
  slot = 1;
  for (const Case& c : cases)
    EXPECT_EQ(c.after, AnimalAt(world, slot++).Stage) << c.stage << " " << c.eggTimer;
  EXPECT_EQ(0, AnimalAt(world, 5).Alive);
}

TEST_F(TickTest, TheMonthStepComesBeforeThe31stTicksMoves) {
  world.Month = 8;
  world.Filters = DeathFilters{true, true, true, true, true};
  Animal& breeder = PutAnimal(world, 1, 5050, 5050);
  breeder.AgeYears = 5;
  Animal& old = PutAnimal(world, 2, 5050, 5050);
  old.AgeYears = 9;  // LifeSpan 10
  old.AgeMonths = 11;
  for (int tick = 1; tick <= 30; ++tick)
    SimulationTick(world);
  EXPECT_EQ(8, world.Month);
  EXPECT_EQ(kModeRoam, breeder.Mode);
  EXPECT_EQ(1, old.Alive);
  SimulationTick(world);
  EXPECT_EQ(9, world.Month);
  EXPECT_EQ(0, world.SpeedCount);
  EXPECT_EQ(kModeSeekMate, breeder.Mode);  // chose in September
  EXPECT_EQ(0, old.Alive);                 // aged to 10 before its check
  EXPECT_EQ("Y0, September  -  Animal 2 Died  -  Old Age", world.display->Label3);
  world.SpeedCount = 30;
  MonthStep(world);  // the 500 ms timer between ticks: not yet
  EXPECT_EQ(9, world.Month);
}

// November to January: ageing, eggs counting down, the year's turn, HasBred
// cleared in January for the first 500 occupied slots only, every counter
// held at its limit.
TEST_F(TickTest, MonthStepAgesCountsDownTurnsTheYearAndClearsHasBred) {
  world.GameStarted = 0;  // a world being built: every call runs in full
  world.Year = 3;
  world.Month = 11;
  struct Case {
    int16_t stage, hunger, years, months, eggTimer;               // before
    int16_t hungerAfter, yearsAfter, monthsAfter, eggTimerAfter;  // two steps on
  };
  const Case cases[] = {
      {kStageAdult, 100, 2, 10, 5, 116, 3, 0, 5},
      {kStageEgg, 500, 0, 0, 2, 500, 0, 0, 0},  // eggs do not get hungry or older
      {kStageAdult, 32765, 32767, 11, 0, 32767, 32767, 1, 0},
      {kStageEgg, 0, 0, 0, -32767, 0, 0, 0, -32768},
  };
  int slot = 1;
  for (const Case& c : cases) {
    Animal& a = PutAnimal(world, slot++, 5050, 5050, c.stage);
    a.Hunger = c.hunger;
    a.AgeYears = c.years;
    a.AgeMonths = c.months;
    a.EggTimer = c.eggTimer;
    a.HasBred = 1;
  }
  for (; slot <= 601; ++slot)
    PutAnimal(world, slot, 5050, 5050).HasBred = 1;
  AnimalAt(world, 700).HasBred = 1;  // a free slot neither counts nor changes
  MonthStep(world);
  EXPECT_EQ("Y3, December", world.display->Label1);
  EXPECT_EQ(" 601 Animals", world.display->Label2);
  EXPECT_EQ(1, AnimalAt(world, 5).HasBred);
  MonthStep(world);
  EXPECT_EQ("Y4, January", world.display->Label1);
  slot = 1;
  for (const Case& c : cases) {
    const Animal& a = AnimalAt(world, slot++);
    EXPECT_EQ(c.hungerAfter, a.Hunger) << slot - 1;
    EXPECT_EQ(c.yearsAfter, a.AgeYears) << slot - 1;
    EXPECT_EQ(c.monthsAfter, a.AgeMonths) << slot - 1;
    EXPECT_EQ(c.eggTimerAfter, a.EggTimer) << slot - 1;
    EXPECT_EQ(c.stage == kStageEgg ? 1 : 0, a.HasBred) << slot - 1;  // eggs count, but keep it
  }
  EXPECT_EQ(0, AnimalAt(world, 500).HasBred);  // the 500th occupied slot
  EXPECT_EQ(1, AnimalAt(world, 501).HasBred);
  EXPECT_EQ(1, AnimalAt(world, 700).HasBred);
  world.Year = INT32_MAX;
  world.Month = 12;
  MonthStep(world);
  EXPECT_EQ(INT32_MAX, world.Year);
  world.GameStarted = 1;
  world.SpeedCount = 255;  // a damaged counter still reaches the month step
  SimulationTick(world);
  EXPECT_EQ(0, world.SpeedCount);
}

}  // namespace
}  // namespace ombrivale
