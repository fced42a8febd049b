// The world view's picture as numbers: which cells the square covers, the
// colour of each cell and of each animal's dot, and the whole 240 x 240
// pixel picture. The window only puts the pixels on the screen.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/world.h"

namespace ombrivale::ui {

inline constexpr int kZoomCells = 15;                             // the square is 15 x 15 cells
inline constexpr int kZoomCellPixels = 16;                        // each cell a 16 x 16 box
inline constexpr int kZoomPixels = kZoomCells * kZoomCellPixels;  // Picture1: 240 pixels
// An animal's offset in the square, in hundredths of a cell, times these
// gives its place in Picture1 units (not 2.4: the dots sit a little left and up).
inline constexpr double kDotScaleX = 2.37;
inline constexpr double kDotScaleY = 2.39;

inline constexpr uint32_t kOutsideColour = Rgb(0, 0, 0);

// The cells under the marker: columns c0..c1 and rows r0..r1, not clamped to
// the map (a marker past an edge gives cells outside it).
struct ZoomSquare {
  int64_t c0 = 0;
  int64_t c1 = 14;
  int64_t r0 = 0;
  int64_t r1 = 14;
};
ZoomSquare SquareUnder(const Marker& marker);

// The colour of a cell from its terrain, food kind and amount (0x00RRGGBB).
// Food colours grow with the amount a through s(n) = a x n / 10000, each
// component held to 0..255 and then rounded half to even; any amount works.
// Codes that fit no rule give `previous`, the colour of the cell drawn before.
uint32_t CellColour(int32_t terrain, int32_t kind, int32_t amount, uint32_t previous);

// The colour of map cell (x, y), black outside columns 0..320 and rows 0..100.
uint32_t MapCellColour(const World& world, int64_t x, int64_t y, uint32_t previous);

// The dot of an animal: the rounded mean of its two body colours in real-colour
// mode, otherwise red shaded to yellow by diet. An egg uses its infant genes.
uint32_t AnimalDotColour(const Animal& animal, bool realColours);

// True when the animal lies strictly inside the square:
// 100 c0 < X < 100 c1 and 100 r0 < Y < 100 r1.
bool IsInSquare(const ZoomSquare& square, const Animal& animal);

// The pixel of Picture1 under the animal's dot: its offset times 2.37 / 2.39
// in units, 15 units to the pixel, rounded down.
struct DotPixel {
  int x = 0;
  int y = 0;
};
DotPixel DotPixelOf(const ZoomSquare& square, const Animal& animal);

// Paints the whole view into `pixels` (240 x 240, row by row, 0xFFRRGGBB):
// 225 boxes, then one 3 x 3 dot for every occupied slot inside the square,
// slot 1 first, in the rule's colours or, given `colourOfSlot` (by slot, as
// the mini map drew them), in those. REQUIRES: pixels.size() == 240 * 240.
void RenderZoomed(const World& world, const Marker& marker, std::span<uint32_t> pixels,
                  const std::vector<uint32_t>* colourOfSlot = nullptr);

}  // namespace ombrivale::ui
