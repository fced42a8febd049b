#include "sim/tick.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/helpers.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::FillRows;
using testing::PutAnimal;
using testing::TestWorld;

constexpr uint32_t kBackground = Rgb(1, 2, 3);
constexpr uint8_t kModeIdle = 3;  // a mode with no behaviour: headings stay as set

// A water world (gill breathers breathe everywhere) with the calendar
// running and a plain background picture.
class TickTest : public ::testing::Test {
 protected:
  TickTest() {
    FillRows(world, 0, 100, kWater);
    std::fill(world.display->MiniBak.pixels.begin(), world.display->MiniBak.pixels.end(),
              kBackground);
    world.Month = 5;
    world.GameStarted = 1;
    world.Filters = DeathFilters{true, true, true, true, true};
  }

  // An adult that stays where it is during AnimalStep and SimulationTick.
  Animal& Still(int slot, int x, int y, int16_t stage = kStageAdult) {
    Animal& a = PutAnimal(world, slot, x, y, stage);
    a.Mode = kModeIdle;
    a.HeadingX = a.HeadingY = 0;
    return a;
  }

  TestWorld t;
  World& world = t.world;
};

// ---- Moving -------------------------------------------------------------

// A feathered adult over open sky: its speed is its tail width, 150.
class MoveTest : public TickTest {
 protected:
  MoveTest() { FillRows(world, 0, 100, kSky); }

  Animal& Flyer(int x, int y, int16_t headingX, int16_t headingY) {
    Animal& a = Still(1, x, y);
    a.Genes[1].Body.Covering = 3;
    a.Genes[1].Body.BreathingMethod = 3;  // lungs: breathes in the sky
    a.Genes[1].Tail.Width = 150;
    a.HeadingX = headingX;
    a.HeadingY = headingY;
    return a;
  }
  void Ground(int x, int y) { world.Map.At(kTerrainLayer, x, y) = kGround; }
};

TEST_F(MoveTest, GroundBlocksTheMove) {
  // From (5050, 5050), cell (50, 50), up and right by 150: the vertical
  // move alone ends in cell (50, 49), the horizontal alone in (52, 50), the
  // diagonal in (52, 49).
  struct Case {
    const char* name;
    bool vertical, horizontal, diagonal;
    int x, y;
  };
  const Case cases[] = {
      {"free", false, false, false, 5200, 4900},
      {"vertical blocked: horizontal move only", true, false, false, 5200, 5050},
      {"vertical and horizontal blocked: no move", true, true, false, 5050, 5050},
      {"all three blocked: no move", true, true, true, 5050, 5050},
      {"diagonal blocked: vertical move only", false, false, true, 5050, 4900},
      {"horizontal alone blocked is not looked at", false, true, false, 5200, 4900},
  };
  for (const Case& c : cases) {
    FillRows(world, 0, 100, kSky);
    if (c.vertical) Ground(50, 49);
    if (c.horizontal) Ground(52, 50);
    if (c.diagonal) Ground(52, 49);
    Animal& a = Flyer(5050, 5050, 1, -1);
    AnimalStep(world, 1);
    EXPECT_EQ(c.x, a.X) << c.name;
    EXPECT_EQ(c.y, a.Y) << c.name;
  }
}

TEST_F(MoveTest, HeadingsAreNormalisedToTheirSign) {
  Animal& a = Flyer(5050, 5050, 7, -300);
  AnimalStep(world, 1);
  EXPECT_EQ(1, a.HeadingX);
  EXPECT_EQ(-1, a.HeadingY);
  EXPECT_EQ(5200, a.X);
  EXPECT_EQ(4900, a.Y);
}

TEST_F(MoveTest, TheStepCapsHighAndTheTickClampsLow) {
  struct Case {
    int x, y;
    int16_t hx, hy;
    int stepX, stepY;  // after AnimalStep
    int tickX, tickY;  // after a whole tick
  };
  const Case cases[] = {
      {31950, 5000, 1, 0, 32000, 5000, 32000, 5000},
      {5000, 9950, 0, 1, 5000, 10000, 5000, 10000},
      {50, 5000, -1, 0, -100, 5000, 0, 5000},  // no lower bound until the tick's clamp
      {5000, 50, 0, -1, 5000, -100, 5000, 0},
      {32000, 10000, 1, 1, 32000, 10000, 32000, 10000},
  };
  for (const Case& c : cases) {
    Animal& a = Flyer(c.x, c.y, c.hx, c.hy);
    AnimalStep(world, 1);
    EXPECT_EQ(c.stepX, a.X) << c.x << "," << c.y;
    EXPECT_EQ(c.stepY, a.Y) << c.x << "," << c.y;
    Flyer(c.x, c.y, c.hx, c.hy);
    SimulationTick(world);
    EXPECT_EQ(c.tickX, a.X) << c.x << "," << c.y;
    EXPECT_EQ(c.tickY, a.Y) << c.x << "," << c.y;
  }
}

TEST_F(MoveTest, AWinglessAnimalFallsByItsBodyVolume) {
  Animal& a = Flyer(5000, 5000, 0, -1);
  a.Genes[1].Body.Covering = 1;
  a.Genes[1].Tail.Width = 1;  // the founder's body: volume 17.87
  AnimalStep(world, 1);
  EXPECT_EQ(1, a.HeadingY);
  EXPECT_EQ(5018, a.Y);  // 5000 + 17.87, rounded
  EXPECT_EQ(5000, a.X);
}

// ---- Choosing a mode and a heading ----------------------------------------

TEST_F(TickTest, ShortOfBreathHeadsForAirOrWater) {
  struct Case {
    uint8_t method;
    int16_t capacity;
    int16_t breath;
    int hx, hy;  // 2: random, so -1 or +1
  };
  const Case cases[] = {
      {1, 1000, 499, 0, 1}, {2, 1000, 499, 0, -1}, {3, 1000, 499, 0, -1},
      {0, 1000, 499, 2, 2}, {1, 1000, 500, 2, 2},  // not below half
      {1, 1001, 500, 0, 1},                        // below 500.5
      {7, 1000, 0, 0, -1},                         // any other method heads up
  };
  for (const Case& c : cases) {
    Animal& a = PutAnimal(world, 1, 5050, 5050);
    a.Genes[1].Body.BreathingMethod = c.method;
    a.Genes[1].Body.BreathCapasity = c.capacity;
    a.Breath = c.breath;
    AnimalStep(world, 1);
    const std::string label = "method " + std::to_string(c.method) + " breath " +
                              std::to_string(c.breath) + "/" + std::to_string(c.capacity);
    if (c.hx == 2) {
      EXPECT_TRUE(a.HeadingX == -1 || a.HeadingX == 1) << label;
      EXPECT_TRUE(a.HeadingY == -1 || a.HeadingY == 1) << label;
    } else {
      EXPECT_EQ(c.hx, a.HeadingX) << label;
      EXPECT_EQ(c.hy, a.HeadingY) << label;
    }
  }
}

TEST_F(TickTest, RoamingTurnsToSeekingAMateOnlyInSeptemberToNovember) {
  for (int16_t month = 1; month <= 12; ++month) {
    world.Month = month;
    Animal& a = PutAnimal(world, 1, 5050, 5050);  // age 0; breeds from 5 to 9
    a.AgeYears = 5;
    AnimalStep(world, 1);
    const bool season = month >= 9 && month <= 11;
    EXPECT_EQ(season ? kModeSeekMate : kModeRoam, a.Mode) << month;
  }
}

TEST_F(TickTest, WhoMaySeekAMate) {
  struct Case {
    const char* name;
    int16_t hunger, age, stage;
    uint8_t hasBred;
    uint8_t mode;
  };
  const Case cases[] = {
      {"ready", 499, 5, kStageAdult, 0, kModeSeekMate},
      {"hunger 500", 500, 5, kStageAdult, 0, kModeRoam},
      {"hunger 501 forages", 501, 5, kStageAdult, 0, kModeForage},
      {"too young", 100, 4, kStageAdult, 0, kModeRoam},
      {"last breeding year", 100, 9, kStageAdult, 0, kModeSeekMate},
      {"too old", 100, 10, kStageAdult, 0, kModeRoam},
      {"infant", 100, 5, kStageInfant, 0, kModeRoam},
      {"has bred", 100, 5, kStageAdult, 1, kModeRoam},
  };
  world.Month = 10;
  for (const Case& c : cases) {
    Animal& a = PutAnimal(world, 1, 5050, 5050, c.stage);
    a.Hunger = c.hunger;
    a.AgeYears = c.age;
    a.HasBred = c.hasBred;
    AnimalStep(world, 1);
    EXPECT_EQ(c.mode, a.Mode) << c.name;
  }
}

TEST_F(TickTest, LeavingTheOtherModes) {
  world.Month = 10;
  Animal& a = PutAnimal(world, 1, 5050, 5050);
  a.AgeYears = 5;

  a.Mode = kModeSeekMate;
  AnimalStep(world, 1);
  EXPECT_EQ(kModeSeekMate, a.Mode);
  EXPECT_EQ(2u, t.seam.pointerChanges);  // arrow-and-hourglass, then back
  EXPECT_EQ(Pointer::Default, t.seam.pointer);

  a.HasBred = 1;
  AnimalStep(world, 1);
  EXPECT_EQ(kModeRoam, a.Mode);

  world.Month = 12;
  a.HasBred = 0;
  a.Mode = kModeSeekMate;
  AnimalStep(world, 1);
  EXPECT_EQ(kModeRoam, a.Mode);
  EXPECT_EQ(4u, t.seam.pointerChanges);  // December does not look

  world.Month = 10;
  a.Stage = kStageInfant;
  a.Mode = kModeSeekMate;
  AnimalStep(world, 1);
  EXPECT_EQ(kModeRoam, a.Mode);

  a.Mode = kModeForage;
  a.Hunger = 0;
  AnimalStep(world, 1);
  EXPECT_EQ(kModeForage, a.Mode);
  a.Hunger = -1;
  AnimalStep(world, 1);
  EXPECT_EQ(kModeRoam, a.Mode);
}

// ---- The tick -----------------------------------------------------------

TEST_F(TickTest, HatchingAndGrowingUpInOneTick) {
  struct Case {
    int16_t eggTimer, ageYears, stageAfter;
  };
  const Case cases[] = {
      {0, 5, kStageAdult},  // AdultAge 5: hatches and grows up at once
      {-3, 9, kStageAdult},
      {0, 4, kStageInfant},
      {1, 5, kStageEgg},
  };
  int slot = 1;
  for (const Case& c : cases) {
    Animal& egg = Still(slot++, 5050, 5050, kStageEgg);
    egg.EggTimer = c.eggTimer;
    egg.AgeYears = c.ageYears;
  }
  SimulationTick(world);
  slot = 1;
  for (const Case& c : cases) {
    EXPECT_EQ(c.stageAfter, AnimalAt(world, slot++).Stage) << c.eggTimer << " " << c.ageYears;
  }
}

TEST_F(TickTest, TheMonthStepComesBeforeThe31stTicksMoves) {
  world.Month = 8;
  Animal& breeder = PutAnimal(world, 1, 5050, 5050);
  breeder.AgeYears = 5;
  Animal& old = PutAnimal(world, 2, 5050, 5050);
  old.AgeYears = 9;  // LifeSpan 10
  old.AgeMonths = 11;

  for (int tick = 1; tick <= 30; ++tick)
    SimulationTick(world);
  EXPECT_EQ(8, world.Month);
  EXPECT_EQ(30, world.SpeedCount);
  EXPECT_EQ(kModeRoam, breeder.Mode);
  EXPECT_EQ(1, old.Alive);

  SimulationTick(world);
  EXPECT_EQ(9, world.Month);
  EXPECT_EQ(0, world.SpeedCount);
  EXPECT_EQ(kModeSeekMate, breeder.Mode);  // chose in September
  EXPECT_EQ(0, old.Alive);                 // aged to 10 before its check
  EXPECT_EQ("Y0, September  -  Animal 2 Died  -  Old Age", world.display->Label3);
}

TEST_F(TickTest, AnEmptyWorldStillCountsTowardTheMonth) {
  world.display->MiniMap.Set(3, 3, Rgb(9, 9, 9));
  for (int tick = 1; tick <= 31; ++tick)
    SimulationTick(world);
  EXPECT_EQ(kBackground, world.display->MiniMap.At(3, 3));
  EXPECT_EQ(6, world.Month);
  EXPECT_EQ(" 0 Animals", world.display->Label2);
  EXPECT_EQ(31u, t.seam.doZoomedCalls);
  EXPECT_EQ(31u, t.seam.eventPumps);
  EXPECT_EQ(31u, world.TickCount);
}

TEST_F(TickTest, AnEmptyWorldRestartsOnlyWithAutoRestart) {
  world.AnimalCount = 0;
  SimulationTick(world);
  EXPECT_FALSE(IsOccupied(AnimalAt(world, 1)));

  world.AutoRestart = 1;
  SimulationTick(world);
  EXPECT_TRUE(IsOccupied(AnimalAt(world, 1)));  // the two founder eggs
  EXPECT_TRUE(IsOccupied(AnimalAt(world, 2)));
  EXPECT_EQ(2, world.AnimalCount);
  EXPECT_EQ("Y0, February", world.display->Label1);
  ASSERT_FALSE(t.seam.messageLines.empty());
  EXPECT_EQ("New World", t.seam.messageLines.front());
}

TEST_F(TickTest, DotColours) {
  struct Case {
    int16_t stage;
    uint8_t diet;
    uint32_t plain;
    uint32_t real;  // EggColor (10, 20, 30), ColourX (40, 50, 60)
  };
  const Case cases[] = {
      {kStageEgg, 3, Rgb(192, 192, 192), Rgb(10, 20, 30)},
      {kStageAdult, 0, Rgb(192, 0, 64), Rgb(40, 50, 60)},
      {kStageAdult, 1, Rgb(255, 0, 0), Rgb(40, 50, 60)},
      {kStageAdult, 2, Rgb(255, 0, 0), Rgb(40, 50, 60)},
      {kStageAdult, 3, Rgb(255, 192, 0), Rgb(40, 50, 60)},
      {kStageInfant, 3, Rgb(255, 192, 0), Rgb(40, 50, 60)},
  };
  for (const uint8_t real : {0, 1}) {
    world.RealColours = real;
    int slot = 1;
    for (const Case& c : cases) {
      Animal& a = Still(slot, 1050 + 300 * slot, 2050, c.stage);
      a.AgeYears = 0;
      a.EggTimer = 5;
      a.Unborn.EggColor = {10, 20, 30};
      a.Genes[c.stage < 0 ? 0 : c.stage].Head.Diet = c.diet;
      a.Genes[c.stage < 0 ? 0 : c.stage].Body.ColourX = {40, 50, 60};
      ++slot;
    }
    SimulationTick(world);
    slot = 1;
    for (const Case& c : cases) {
      const Animal& a = AnimalAt(world, slot++);
      EXPECT_EQ(real ? c.real : c.plain, world.display->MiniMap.At(CellX(a.X), CellY(a.Y)))
          << "stage " << c.stage << " diet " << int{c.diet} << " real " << int{real};
    }
    const auto dots =
        std::count_if(world.display->MiniMap.pixels.begin(), world.display->MiniMap.pixels.end(),
                      [](uint32_t p) { return p != kBackground; });
    EXPECT_EQ(6, dots);
  }
}

TEST_F(TickTest, AnAnimalThatDiesStillGetsItsDotAndGrowsUp) {
  Animal& a = Still(1, 5050, 5050, kStageInfant);
  a.Hunger = 1000;
  a.AgeYears = 5;
  SimulationTick(world);
  EXPECT_EQ(0, a.Alive);
  EXPECT_EQ(Rgb(192, 0, 64), world.display->MiniMap.At(50, 50));
  EXPECT_EQ(kStageAdult, a.Stage);

  SimulationTick(world);  // a free slot is not drawn any more
  EXPECT_EQ(kBackground, world.display->MiniMap.At(50, 50));
}

TEST_F(TickTest, MinimisedTheCaptionShowsTheDateInsteadOfDots) {
  t.seam.minimized = true;
  world.display->Label1 = "Y3, March";
  SimulationTick(world);
  EXPECT_EQ("", t.seam.mainCaption);  // no animal, no caption
  Still(1, 5050, 5050);
  SimulationTick(world);
  EXPECT_EQ("Brenlo Ostik's Ombrivale [Y3, March]", t.seam.mainCaption);
  EXPECT_EQ(kBackground, world.display->MiniMap.At(50, 50));
}

TEST_F(TickTest, TheMarkerIsCentredOnTheTrackedAnimal) {
  Still(3, 5000, 2000);
  world.display->Image1.Left = world.display->Image1.Top = -1;
  for (const int16_t selected : {0, 751, -3, 2}) {  // none, out of range, free slot
    world.display->SelectedAnimal = selected;
    SimulationTick(world);
    EXPECT_EQ(-1, world.display->Image1.Left) << selected;
  }
  world.display->SelectedAnimal = 3;
  SimulationTick(world);
  EXPECT_EQ((50 - 7.5) * 15, world.display->Image1.Left);  // 225 wide: 7.5 cells either side
  EXPECT_EQ((20 - 7.5) * 15, world.display->Image1.Top);
}

// ---- The month step -----------------------------------------------------

TEST_F(TickTest, MonthStepAgesCountsAndLabels) {
  world.GameStarted = 0;  // a world being built: every call runs in full
  world.Year = 3;
  world.Month = 2;
  Animal& a = PutAnimal(world, 4, 5050, 5050);
  a.Hunger = 100;
  a.AgeYears = 2;
  a.AgeMonths = 10;
  Animal& egg = PutAnimal(world, 9, 5050, 5050, kStageEgg);
  egg.EggTimer = 2;
  egg.Hunger = 500;

  MonthStep(world);
  EXPECT_EQ("Y3, March", world.display->Label1);
  EXPECT_EQ(" 2 Animals", world.display->Label2);
  EXPECT_EQ(108, a.Hunger);
  EXPECT_EQ(11, a.AgeMonths);
  EXPECT_EQ(1, egg.EggTimer);
  EXPECT_EQ(500, egg.Hunger);  // eggs do not get hungry
  EXPECT_EQ(1u, t.seam.captionChanges);
  EXPECT_EQ(1u, t.seam.updateListFiveCalls);

  MonthStep(world);
  EXPECT_EQ("Y3, April", world.display->Label1);
  EXPECT_EQ(0, a.AgeMonths);
  EXPECT_EQ(3, a.AgeYears);
  EXPECT_EQ(0, egg.EggTimer);
}

TEST_F(TickTest, MonthStepWaitsFor31TicksOnceTheGameRuns) {
  world.SpeedCount = 30;
  MonthStep(world);  // the 500 ms timer between ticks
  EXPECT_EQ(5, world.Month);
  EXPECT_EQ(30, world.SpeedCount);
  world.SpeedCount = 31;
  MonthStep(world);
  EXPECT_EQ(6, world.Month);
  EXPECT_EQ(0, world.SpeedCount);
  world.GameStarted = 0;
  MonthStep(world);
  EXPECT_EQ(7, world.Month);
}

TEST_F(TickTest, TheYearTurnsAfterDecember) {
  world.Year = 7;
  world.Month = 12;
  world.SpeedCount = 31;
  MonthStep(world);
  EXPECT_EQ(1, world.Month);
  EXPECT_EQ(8, world.Year);
  EXPECT_EQ("Y8, January", world.display->Label1);
}

TEST_F(TickTest, HasBredIsResetOnlyForTheFirst500OccupiedSlots) {
  world.GameStarted = 0;
  world.Month = 0;  // the next month is January
  Animal& egg = PutAnimal(world, 1, 5050, 5050, kStageEgg);
  egg.HasBred = 1;                 // eggs count, but keep their flag
  AnimalAt(world, 2).HasBred = 1;  // a free slot neither counts nor changes
  for (int slot = 3; slot <= 601; ++slot)
    PutAnimal(world, slot, 5050, 5050).HasBred = 1;

  MonthStep(world);
  EXPECT_EQ(600, world.AnimalCount);
  EXPECT_EQ(" 600 Animals", world.display->Label2);
  EXPECT_EQ(1, egg.HasBred);
  EXPECT_EQ(1, AnimalAt(world, 2).HasBred);
  EXPECT_EQ(0, AnimalAt(world, 3).HasBred);
  EXPECT_EQ(0, AnimalAt(world, 501).HasBred);  // the 500th occupied slot
  EXPECT_EQ(1, AnimalAt(world, 502).HasBred);  // the 501st
  EXPECT_EQ(1, AnimalAt(world, 601).HasBred);

  for (int slot = 3; slot <= 6; ++slot)
    AnimalAt(world, slot).HasBred = 1;
  MonthStep(world);  // February resets nobody
  EXPECT_EQ(1, AnimalAt(world, 3).HasBred);
}

TEST_F(TickTest, CountersSaturateInsteadOfWrapping) {
  world.GameStarted = 0;
  Animal& a = PutAnimal(world, 1, 5050, 5050);
  a.Hunger = 32765;
  a.AgeYears = 32767;
  a.AgeMonths = 11;
  Animal& egg = PutAnimal(world, 2, 5050, 5050, kStageEgg);
  egg.EggTimer = -32768;
  MonthStep(world);
  EXPECT_EQ(32767, a.Hunger);
  EXPECT_EQ(32767, a.AgeYears);
  EXPECT_EQ(0, a.AgeMonths);
  EXPECT_EQ(-32768, egg.EggTimer);

  world.GameStarted = 1;
  world.SpeedCount = 255;  // a damaged counter still reaches the month step
  SimulationTick(world);
  EXPECT_EQ(0, world.SpeedCount);
}

}  // namespace
}  // namespace ombrivale
