// The numbers the rules are made of, each named once with its unit.
#pragma once

#include <cstdint>

namespace ombrivale {

// ---- Time ----
inline constexpr int kTicksPerMonth = 31;  // a simulated month, whatever its real length
inline constexpr int kMonthsPerYear = 12;  // Month runs 1..12
inline constexpr int kTickIntervalMs = 1;  // Timer2 once a world exists, milliseconds
inline constexpr int kMonthTimerMs = 500;  // Timer1, milliseconds

// ---- Hunger (hunger units) ----
inline constexpr int16_t kHungerAtLaying = 500;  // an egg's Hunger
inline constexpr int16_t kHungerToForage = 500;  // above it an animal forages
inline constexpr int16_t kHungerToBreed = 500;   // below it an adult may seek a mate
inline constexpr int16_t kHungerDeath = 1000;    // at or above it an animal dies of hunger
inline constexpr int16_t kHungerPerMonth = 8;    // added by every month step after hatching
inline constexpr int16_t kHungerPerPreyChosen =
    100;  // lost for every nearer prey a hunter turns to

// ---- Meals (hunger units lowered, food units taken from the cell) ----
struct Meal {
  int16_t leastMouthLength;  // Head.MouthLength needed
  int16_t hungerDrop;
  int32_t amountTaken;
};
inline constexpr Meal kScumMeal{1, 10, 1};
inline constexpr Meal kAquaticMeal{1, 20, 1};
inline constexpr Meal kLandMeal{2, 40, 1};
inline constexpr Meal kMeatMeal{3, 80, 10};

// ---- Breeding ----
inline constexpr int kBreedingMonthAfter = 8;    // mate seeking starts after August...
inline constexpr int kBreedingMonthBefore = 12;  // ...and ends before December
// Only the first this-many occupied slots of a January month step may breed
// again that year.
inline constexpr int kBreedingResetLimit = 500;
// Within this distance (hundredths of a cell) two partners mate.
inline constexpr double kMatingReach = 100;
// Compatibility: at least this many of the 115 compared values equal (the
// least count with count / 114 x 100 > 75).
inline constexpr int kComparedValueCount = 115;
inline constexpr int kCompatibleAtLeast = 86;

// ---- Food on the map (food units) ----
inline constexpr int32_t kFreshFoodAmount = 10000;  // every cell after generation
inline constexpr int32_t kMeatRotPerYear = 1500;    // a meat cell's loss at each turn of the year
inline constexpr int kMeatTurnOdds = 180;           // a meat cell turns with block sum / 180

// ---- Positions ----
inline constexpr int kHundredthsPerCell = 100;  // positions are in hundredths of a cell
// Window units: 15 twips make one screen pixel, and the mini map and Play
// God's map draw one cell per pixel, so a cell is 15 units there too.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kMarkerSideTwips = 15 * kTwipsPerPixel;  // the world view's 15 cells

// ---- The death log ----
// A log list that reaches this many entries loses its oldest one, so at
// most one less remains after any append.
inline constexpr int kLogLimit = 500;

}  // namespace ombrivale
