// The planet's grid: 321 columns by 102 rows of three 32-bit layers.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/codes.h"

namespace ombrivale {

inline constexpr int kSlotCount = 750;  // slots 1..750; index 0 is never used
inline constexpr int kMapWidth = 321;   // columns 0..320
inline constexpr int kMapTopRow = -1;   // a border row above row 0; no position maps to it
inline constexpr int kMapBottomRow = 100;
inline constexpr int kMapHeight = kMapBottomRow - kMapTopRow + 1;  // 102 rows
inline constexpr int kCellCount = kMapWidth * kMapHeight;          // 32,742
inline constexpr int kMaxX = 32000;                                // hundredths of a cell
inline constexpr int kMaxY = 10000;

// The food index holds, for each kind of food and each row, the columns
// whose cell offers that kind: bit x % 64 of word x / 64. A row takes one
// word more than its 321 bits need, always zero, so a 64-bit window can be
// read at any column without a bounds check.
inline constexpr int kFoodRowWords = kMapWidth / 64 + 2;  // 7

// Three 32-bit layers over x 0..320, y -1..100 (MapLayer: terrain, food kind,
// food amount). Each layer is stored column by column (x outer, y inner), the
// order of the world files and of the food scan's inner loop.
//
// Beside the layers, an index of where each kind of food lies (a cell offers
// food while its amount is at least 1), so the food scan can skip empty
// rows and columns. Whatever writes layer 1 or 2 keeps it up to date:
// NoteFoodChange after a change to one cell, RebuildFoodIndex after many.
struct WorldMap {
  std::vector<int32_t> layers[3] = {std::vector<int32_t>(kCellCount),
                                    std::vector<int32_t>(kCellCount),
                                    std::vector<int32_t>(kCellCount)};
  std::vector<uint64_t> food =
      std::vector<uint64_t>(static_cast<size_t>(kFoodKindCount * kMapHeight * kFoodRowWords));
  // The index's changes, counted: `foodChanges` is the count so far and
  // `foodChangedAt` the count when each band of kFoodBandRows rows (of any
  // kind) last changed, so what a look at the food saw can be trusted again
  // while none of the bands it covered has changed since. A cell begins or
  // stops offering food a few times a hundred ticks, so a band is fine
  // enough, and a look of a few rows checks two or three of them.
  static constexpr int kFoodBandRows = 8;
  static constexpr int kFoodBands = (kMapHeight + kFoodBandRows - 1) / kFoodBandRows;  // 13
  uint64_t foodChanges = 0;
  std::vector<uint64_t> foodChangedAt = std::vector<uint64_t>(kFoodBands);
  static int FoodBandOf(int y) { return (y - kMapTopRow) / kFoodBandRows; }

  static int Index(int x, int y) {
    assert(x >= 0 && x < kMapWidth && y >= kMapTopRow && y <= kMapBottomRow);
    return x * kMapHeight + (y - kMapTopRow);
  }
  int32_t& At(int layer, int x, int y) { return layers[layer][Index(x, y)]; }
  int32_t At(int layer, int x, int y) const { return layers[layer][Index(x, y)]; }

  // The columns of row y that offer food of `kind` (kSeaScum..kMeat), as
  // kFoodRowWords words.
  const uint64_t* FoodRow(int kind, int y) const {
    return food.data() + static_cast<size_t>((kind * kMapHeight + y - kMapTopRow) * kFoodRowWords);
  }

  // Brings the index in line with cell (x, y) after its kind or amount changed.
  void NoteFoodChange(int x, int y);
  // Builds the whole index from layers 1 and 2.
  void RebuildFoodIndex();
  // True when the index says what the layers say (for the invariant checks).
  bool FoodIndexMatches() const;
  // The change count when a cell of rows y0..y1 (on the map) last began or
  // stopped offering food, or a later one: what was seen over those rows at
  // a count at least this is still true.
  uint64_t LatestFoodChange(int y0, int y1) const {
    uint64_t latest = 0;
    for (int band = FoodBandOf(y0); band <= FoodBandOf(y1); ++band)
      latest = std::max(latest, foodChangedAt[static_cast<size_t>(band)]);
    return latest;
  }
};

}  // namespace ombrivale
