// The animal record: one slot of the 750-slot table.
//
// Field names follow the system's own names (Head.MouthLength,
// Genitalia.YoungPerLitter, Body.BreathCapasity) so that a rule reads the
// same here as it does in the gene table and the world files. Fields keep
// their stored widths: int16_t for the 16-bit fields, uint8_t for the 8-bit
// ones; truth values stored in 16 bits are -1 (true) and 0 (false).
#pragma once

#include <cstdint>

#include "core/codes.h"

namespace ombrivale {

inline constexpr int16_t kTrue = -1;
inline constexpr int16_t kFalse = 0;

struct Sensor {
  int16_t MinFrequency = 0;
  int16_t MaxFrequency = 0;
  int16_t Distance = 0;
  int16_t Resolution = 0;
  int16_t SensorExists = kFalse;
};

struct Limb {
  int16_t UpperLength = 0;
  int16_t UpperWidth = 0;
  int16_t LowerLength = 0;
  int16_t LowerWidth = 0;
  int16_t DigitNumber = 0;
  int16_t DigitLength = 0;
  Sensor Touch;
};

struct HeadGenes {
  int16_t NeckWidth = 0;
  int16_t NeckHeight = 0;
  uint8_t MouthNose = 0;
  int16_t MouthLength = 0;  // decides which foods the animal can eat
  int16_t NoseLength = 0;
  uint8_t LipType = 0;
  uint8_t Diet = 0;  // Diet code
  Sensor Vision;     // Distance: food and prey range, cells for food, hundredths for prey
  Sensor Audio;
  Sensor Smell;  // Distance: mate range in hundredths of a cell
  Sensor Taste;
  int16_t Height = 0;  // head size; drawn but not listed in the properties window
  int16_t Width = 0;
};

struct Colour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

struct GenitaliaGenes {
  int16_t YoungPerLitter = 0;
  int16_t LifeSpan = 0;        // years; always read from the adult set
  int16_t AdultAge = 0;        // years; always read from the adult set
  int16_t StartsBreeding = 0;  // years
  int16_t StopsBreeding = 0;   // years
  uint8_t BirthKind = 0;
};

struct BodyGenes {
  uint8_t BreathingMethod = 0;  // BreathingMethod code
  int16_t BreathCapasity = 0;   // full breath
  Colour ColourX;               // dot colour on the mini map in real-colour mode
  Colour ColourY;
  uint8_t ColourContrast = 0;
  int16_t ColourContrastSize = 0;
  int16_t Height = 0;
  int16_t Width = 0;
  uint8_t Covering = 0;  // Covering code
};

struct TailGenes {
  int16_t Length = 0;
  int16_t Width = 0;
  uint8_t Flexibility = 0;
};

// One body plan. Every animal carries two: index 0 for its infant body and
// index 1 for its adult body.
struct GeneSet {
  HeadGenes Head;
  ombrivale::Limb Limb[2];
  GenitaliaGenes Genitalia;
  BodyGenes Body;
  TailGenes Tail;
};

struct EggColour {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
};

// The egg's genes, one copy per animal.
struct UnbornGenes {
  int16_t TimeInEgg = 0;  // months of incubation, copied into EggTimer at laying
  int16_t EggSize = 0;
  EggColour EggColor;
};

struct Animal {
  UnbornGenes Unborn;
  GeneSet Genes[2];    // 0 infant, 1 adult; the expressed set is Genes[Stage]
  int16_t Hunger = 0;  // above 500 forages, at 1000 dies
  int16_t AgeYears = 0;
  int16_t AgeMonths = 0;  // 0..11
  uint8_t Sex = 0;        // 0 or 1
  uint8_t Alive = 0;      // 1 = slot occupied (animal or egg); anything else = free
  int16_t Stage = 0;  // Stage code; 0 in a slot never used
  int16_t X = 0;  // hundredths of a cell, 0..32000
  int16_t Y = 0;  // hundredths of a cell, 0..10000, growing downward
  uint8_t Mode = kModeRoam;
  int16_t EggTimer = 0;  // months left in the egg
  int16_t Breath = 0;
  int16_t HeadingX = 0;  // -1, 0, +1
  int16_t HeadingY = 0;  // -1 up, 0, +1 down
  uint8_t HasBred = 0;   // 1 once bred this season; cleared in January
};

// True when the slot holds a live animal or an egg.
inline bool IsOccupied(const Animal& animal) {
  return animal.Alive == 1;
}

// Index of the gene set the animal's body expresses: its Stage. Callers rule
// out eggs first; a Stage outside 0..1 (only a damaged file can give one) is
// read as the nearer set rather than past the array.
inline int ExpressedIndex(const Animal& animal) {
  return animal.Stage >= kStageAdult ? kStageAdult : kStageInfant;
}
inline const GeneSet& Expressed(const Animal& animal) {
  return animal.Genes[ExpressedIndex(animal)];
}
inline GeneSet& Expressed(Animal& animal) {
  return animal.Genes[ExpressedIndex(animal)];
}

inline const GeneSet& Adult(const Animal& animal) {
  return animal.Genes[kStageAdult];
}

}  // namespace ombrivale
