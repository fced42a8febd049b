// The codes the records hold, named once: terrain and food kinds of the map,
// behaviour modes and stages of an animal, the values of the diet, breathing
// and covering genes, and the causes of death, with the names the windows
// show for them.
//
// The codes are plain enumerations with the stored field's type underneath,
// so a field compares with them directly (`genes.Head.Diet == kCarnivorous`)
// and keeps its width in the record and the files.
#pragma once

#include <array>
#include <cstdint>

namespace ombrivale {

// Map layer 0.
enum Terrain : int32_t { kSky = 0, kWater = 1, kGround = 2 };

// Map layer 1; layer 2 holds the amount. A cell offers food of its kind only
// while the amount is at least 1.
enum FoodKind : int32_t {
  kNoFood = 0,
  kSeaScum = 1,
  kAquaticVegetation = 2,
  kLandVegetation = 3,
  kMeat = 4,
};
inline constexpr int kFoodKindCount = 5;  // kNoFood .. kMeat

enum MapLayer : int { kTerrainLayer = 0, kFoodKindLayer = 1, kFoodAmountLayer = 2 };

// Animal::Stage; also the index of the expressed gene set once hatched.
enum Stage : int16_t { kStageEgg = -1, kStageInfant = 0, kStageAdult = 1 };

// Animal::Mode.
enum Mode : uint8_t { kModeRoam = 0, kModeForage = 1, kModeSeekMate = 2 };

// Head.Diet.
enum Diet : uint8_t { kScumSucker = 0, kHerbivorous = 1, kOmnivorous = 2, kCarnivorous = 3 };

// Body.BreathingMethod.
enum BreathingMethod : uint8_t { kNoMethod = 0, kGills = 1, kGillsAndLungs = 2, kLungs = 3 };

// Body.Covering.
enum Covering : uint8_t { kFur = 0, kSkin = 1, kScales = 2, kFeathers = 3 };

// How many values each of the three coded genes has (0..3).
inline constexpr int kCodeValueCount = 4;

// Causes of death: the five of the rules, in the order of the "Show &These"
// filters' lines in the settings file, then the user's own killing of an
// animal in the Play God window.
enum class Cause : uint8_t { OldAge, Eaten, Overwritten, Suffocation, Hunger, Sacrificed };
inline constexpr int kCauseCount = 6;

// The names the windows show for each value, in code order.
inline constexpr std::array<const char*, kCodeValueCount> kDietNames = {
    "Scum Sucker", "Herbivorous", "Omnivorous", "Carnivorous"};
inline constexpr std::array<const char*, kCodeValueCount> kBreathingMethodNames = {
    "No Method", "Gills", "Gills and Lungs", "Lungs"};
inline constexpr std::array<const char*, kCodeValueCount> kCoveringNames = {"Fur", "Skin", "Scales",
                                                                            "Feathers"};

// "Old Age", "Eaten", "Overwritten", "Suffocation", "Hunger", "Sacrificed".
const char* CauseText(Cause cause);

}  // namespace ombrivale
