// The planet's grid: 321 columns by 102 rows of three 32-bit layers.
#pragma once

#include <cassert>
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

// Three 32-bit layers over x 0..320, y -1..100 (MapLayer: terrain, food kind,
// food amount). Each layer is stored column by column (x outer, y inner), the
// order of the world files and of the food scan's inner loop.
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

}  // namespace ombrivale
