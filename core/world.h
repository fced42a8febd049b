// The whole state of one world in one plain record.
//
// Every operation of the simulation is a free function taking the world
// first (SimulationTick(world), KillAnimal(world, slot, cause)). There are no
// globals: tests build several worlds side by side, and a world can be copied
// and compared. The big tables live in vectors so a World is cheap to put on
// the stack.
#pragma once

#include <array>
#include <cassert>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/animal.h"
#include "core/seam.h"

namespace ombrivale {

inline constexpr int kSlotCount = 750;  // slots 1..750; index 0 is never used
inline constexpr int kMapWidth = 321;   // columns 0..320
inline constexpr int kMapTopRow = -1;   // a border row above row 0; no position maps to it
inline constexpr int kMapBottomRow = 100;
inline constexpr int kMapHeight = kMapBottomRow - kMapTopRow + 1;  // 102 rows
inline constexpr int kCellCount = kMapWidth * kMapHeight;          // 32,742
inline constexpr int kMaxX = 32000;                                // hundredths of a cell
inline constexpr int kMaxY = 10000;

// Terrain codes (layer 0).
inline constexpr int32_t kSky = 0;
inline constexpr int32_t kWater = 1;
inline constexpr int32_t kGround = 2;
// Food kinds (layer 1); layer 2 holds the amount.
inline constexpr int32_t kNoFood = 0;
inline constexpr int32_t kSeaScum = 1;
inline constexpr int32_t kAquaticVegetation = 2;
inline constexpr int32_t kLandVegetation = 3;
inline constexpr int32_t kMeat = 4;

inline constexpr int kTerrainLayer = 0;
inline constexpr int kFoodKindLayer = 1;
inline constexpr int kFoodAmountLayer = 2;

// Three 32-bit layers over x 0..320, y -1..100. Each layer is stored column
// by column (x outer, y inner), the order of the world files and of the food
// scan's inner loop.
struct WorldMap {
  std::vector<int32_t> layers[3] = {std::vector<int32_t>(kCellCount),
                                    std::vector<int32_t>(kCellCount),
                                    std::vector<int32_t>(kCellCount)};

  static int Index(int x, int y) {
    assert(x >= 0 && x < kMapWidth && y >= kMapTopRow && y <= kMapBottomRow);
    return x * kMapHeight + (y - kMapTopRow);
  }
  int32_t& At(int layer, int x, int y) { return layers[layer][Index(x, y)]; }
  int32_t At(int layer, int x, int y) const { return layers[layer][Index(x, y)]; }
};

// A 24-bit RGB picture of the map, one pixel per cell, rows -1..100 (row -1
// is held but not shown). Pixels are 0x00RRGGBB.
struct MapPicture {
  std::vector<uint32_t> pixels = std::vector<uint32_t>(kCellCount);

  static int Index(int x, int y) { return (y - kMapTopRow) * kMapWidth + x; }
  uint32_t At(int x, int y) const { return pixels[Index(x, y)]; }
  void Set(int x, int y, uint32_t rgb) { pixels[Index(x, y)] = rgb; }
  // Sets a pixel when it lies on the picture; positions off it are ignored.
  void SetClipped(int x, int y, uint32_t rgb) {
    if (x >= 0 && x < kMapWidth && y >= kMapTopRow && y <= kMapBottomRow) Set(x, y, rgb);
  }
};

constexpr uint32_t Rgb(int red, int green, int blue) {
  return (static_cast<uint32_t>(red & 255) << 16) | (static_cast<uint32_t>(green & 255) << 8) |
         static_cast<uint32_t>(blue & 255);
}

// Causes of death, in the order of the "Show &These" filters' settings lines.
enum class Cause : uint8_t { OldAge, Eaten, Overwritten, Suffocation, Hunger };
inline constexpr int kCauseCount = 5;
const char* CauseText(Cause cause);  // "Old Age", "Eaten", "Overwritten", "Suffocation", "Hunger"

// The check marks of the Edit menu's "Show &These" entries: a death whose
// cause is unchecked is neither shown on the message line nor logged.
struct DeathFilters {
  bool OldAge = false;
  bool Eaten = false;
  bool Overwritten = false;
  bool Suffocation = false;
  bool Hunger = false;
};
// The filter entry of a cause, to read or toggle.
bool& FilterFor(DeathFilters& filters, Cause cause);
inline bool ShowsCause(DeathFilters filters, Cause cause) {
  return FilterFor(filters, cause);
}

// Where the clock reading that reseeds the generator comes from.
struct Clock {
  bool isVirtual = false;
  // Virtual clock: seconds since midnight, advanced by `step` at every reading
  // and wrapped at midnight, so a seeded run is reproducible bit for bit.
  double virtualSeconds = 0;
  double step = 1e-6;
  // Time of day: the clock second of the last local midnight, looked up at
  // most once a minute (the offset from UTC can change), so that a reading
  // costs one clock_gettime and a subtraction.
  int64_t localMidnight = 0;
  int64_t midnightCheckedAt = INT64_MIN;
};

// The world's small uniform generator. Reseeding mixes a clock reading into
// the state (it never replaces it), so draws within one reading still differ.
struct Random {
  uint64_t state = 0x9E3779B97F4A7C15ull;
};

// The marker shape Image1 on the mini map, in mini-map units (15 per cell).
struct Marker {
  double Left = 0;
  double Top = 0;
  double Width = 225;  // the world view's 15 cells
  double Height = 225;
};

struct World {
  std::vector<Animal> Animals = std::vector<Animal>(kSlotCount + 1);  // [0] unused
  WorldMap Map;

  int16_t SeaLevel = 0;  // row; not ground at or below it (y >= SeaLevel) is water
  int32_t Year = 0;
  int16_t Month = 0;                         // 1..12 once running; 0 in a world being generated
  std::array<std::string, 12> MonthNames{};  // 9-character fields; empty until start-up fills them
  int16_t SelectedAnimal = 0;                // tracked slot, 0 for none

  // Options menu flags (0 or 1).
  uint8_t LogOn = 0;
  uint8_t AutoRestart = 0;
  uint8_t RealColours = 0;
  uint8_t OverwriteLeast = 0;
  uint8_t AutoSave = 0;
  uint8_t WorldLoaded = 0;
  int16_t QuickDrawZoom = 100;  // per cent, 1..500
  int16_t QuickDrawAnimal = 0;  // slot the QuickDraw window drew last, 0 for none
  DeathFilters Filters;

  // The main window's loop counters.
  uint8_t SpeedCount = 0;   // ticks since the last month step
  int16_t AnimalCount = 0;  // occupied slots (eggs included) at the last month step
  uint8_t GameStarted = 0;  // 0 while a world is being built
  int Timer2Interval = 0;   // ms; 0 until the first world exists, then 1

  // Captions of the main window's status frames.
  std::string Label1 = "January,  0";  // "Time:" - the date
  std::string Label2 = "Animals";      // "Life:" - the population
  std::string Label3;                  // "Messages:" - the last message

  // The death log (the log window's list), oldest first, at most 499 entries
  // after any append. `logVersion` grows at every change so a window can
  // refresh only when needed.
  std::deque<std::string> DeathLog;
  uint64_t logVersion = 0;

  // Mini map and its background copy (terrain and food, no animals).
  MapPicture MiniMap;
  MapPicture MiniBak;
  Marker Image1;
  double SeaLineY = 0;  // mini-map units: SeaLevel x 15 at the last full redraw

  // The "AutoSave" folder the yearly save writes to; empty: no folder, so
  // the yearly save is skipped.
  std::string AutoSaveFolder;

  Random Rng;
  Clock RandomClock;

  // Running totals for statistics; not part of any saved file.
  uint64_t TickCount = 0;
  std::array<uint64_t, kCauseCount> DeathsByCause{};

  Seam* seam = nullptr;  // not owned; nullptr means no window at all
};

// The world's window seam, or one that does nothing when none is attached.
Seam& SeamOf(World& world);

// REQUIRES: 1 <= slot <= 750.
inline Animal& AnimalAt(World& world, int slot) {
  assert(slot >= 1 && slot <= kSlotCount);
  return world.Animals[static_cast<size_t>(slot)];
}
inline const Animal& AnimalAt(const World& world, int slot) {
  assert(slot >= 1 && slot <= kSlotCount);
  return world.Animals[static_cast<size_t>(slot)];
}

// Fills MonthNames with "January" .. "December", each in a 9-character field.
void FillMonthNames(World& world);

}  // namespace ombrivale
