#include "ui/world_view_colours.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "core/numeric.h"
#include "genetics/body_measures.h"

namespace ombrivale::ui {
namespace {

// One colour component: held to 0..255, then rounded half to even.
int Component(double value) {
  return static_cast<int>(RoundHalfEven(std::clamp(value, 0.0, 255.0)));
}

int64_t FloorToCell(double units) {
  // A marker far off the map stays far off without overflowing.
  const double cell = std::floor(units / kTwipsPerPixel);
  return static_cast<int64_t>(std::clamp(cell, -1e12, 1e12));
}

}  // namespace

ZoomSquare SquareUnder(const Marker& marker) {
  ZoomSquare square;
  square.c0 = FloorToCell(marker.Left);
  square.c1 = FloorToCell(marker.Left + kTwipsPerPixel * 14);
  square.r0 = FloorToCell(marker.Top);
  square.r1 = FloorToCell(marker.Top + kTwipsPerPixel * 14);
  return square;
}

uint32_t CellColour(int32_t terrain, int32_t kind, int32_t amount, uint32_t previous) {
  // In double precision, so a x 255 cannot overflow for any amount.
  const auto s = [amount](double n) { return static_cast<double>(amount) * n / 10000; };
  switch (kind) {
    case kNoFood:
      if (terrain == kSky) return Rgb(128, 128, 255);
      if (terrain == kWater) return Rgb(0, 0, 128);
      if (terrain == kGround) return Rgb(128, 128, 0);
      return previous;
    case kSeaScum:
      return Rgb(0, Component(s(255)), Component(128 + s(255) / 2));
    case kAquaticVegetation:
      return Rgb(0, Component(s(255)), Component((255 - s(255)) / 2));
    case kLandVegetation:
      return Rgb(Component(s(128)), 128, Component(255 - s(255)));
    case kMeat:
      if (terrain == kSky || terrain == kGround) {
        return Rgb(128, Component(128 - s(128)), Component(255 - s(255)));
      }
      if (terrain == kWater) return Rgb(Component(s(128)), 0, Component(255 - s(255)));
      return previous;
    default:
      return previous;
  }
}

uint32_t MapCellColour(const World& world, int64_t x, int64_t y, uint32_t previous) {
  if (x < 0 || x > kMapWidth - 1 || y < 0 || y > kMapBottomRow) return kOutsideColour;
  const int cx = static_cast<int>(x);
  const int cy = static_cast<int>(y);
  return CellColour(world.Map.At(kTerrainLayer, cx, cy), world.Map.At(kFoodKindLayer, cx, cy),
                    world.Map.At(kFoodAmountLayer, cx, cy), previous);
}

uint32_t AnimalDotColour(const Animal& animal, bool realColours) {
  const GeneSet& genes = animal.Genes[ExpressedIndex(animal)];
  if (realColours) {
    const Colour& x = genes.Body.ColourX;
    const Colour& y = genes.Body.ColourY;
    return Rgb(Component(MeanOf(x.red, y.red)), Component(MeanOf(x.green, y.green)),
               Component(MeanOf(x.blue, y.blue)));
  }
  return Rgb(255, Component(85.0 * genes.Head.Diet), 0);
}

bool IsInSquare(const ZoomSquare& square, const Animal& animal) {
  return 100 * square.c0 < animal.X && animal.X < 100 * square.c1 && 100 * square.r0 < animal.Y &&
         animal.Y < 100 * square.r1;
}

DotPixel DotPixelOf(const ZoomSquare& square, const Animal& animal) {
  const double unitsX = static_cast<double>(animal.X - 100 * square.c0) * kDotScaleX;
  const double unitsY = static_cast<double>(animal.Y - 100 * square.r0) * kDotScaleY;
  return {static_cast<int>(std::floor(unitsX / kTwipsPerPixel)),
          static_cast<int>(std::floor(unitsY / kTwipsPerPixel))};
}

void RenderZoomed(const World& world, const Marker& marker, std::span<uint32_t> pixels,
                  const std::vector<uint32_t>* colourOfSlot) {
  assert(pixels.size() == static_cast<size_t>(kZoomPixels) * kZoomPixels);
  constexpr uint32_t kOpaque = 0xFF000000u;
  const ZoomSquare square = SquareUnder(marker);
  uint32_t colour = kOutsideColour;
  for (int64_t x = square.c0; x <= square.c1; ++x) {
    for (int64_t y = square.r0; y <= square.r1; ++y) {
      colour = MapCellColour(world, x, y, colour);
      // c1 - c0 is 14 but for rounding at a cell's edge; boxes past the
      // picture are dropped rather than written past it.
      if (x - square.c0 >= kZoomCells || y - square.r0 >= kZoomCells) continue;
      const int left = static_cast<int>(x - square.c0) * kZoomCellPixels;
      const int top = static_cast<int>(y - square.r0) * kZoomCellPixels;
      for (int py = top; py < top + kZoomCellPixels; ++py) {
        uint32_t* row = &pixels[static_cast<size_t>(py) * kZoomPixels];
        std::fill(row + left, row + left + kZoomCellPixels, kOpaque | colour);
      }
    }
  }
  const bool real = world.RealColours != 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (animal.Alive != 1 || !IsInSquare(square, animal)) continue;
    // A slot the colouring has not seen yet (0) takes the rule's colour.
    const uint32_t chosen =
        colourOfSlot != nullptr ? (*colourOfSlot)[static_cast<size_t>(slot)] : 0;
    const uint32_t dot = kOpaque | (chosen != 0 ? chosen : AnimalDotColour(animal, real));
    const DotPixel centre = DotPixelOf(square, animal);
    for (int py = centre.y - 1; py <= centre.y + 1; ++py) {
      if (py < 0 || py >= kZoomPixels) continue;
      for (int px = centre.x - 1; px <= centre.x + 1; ++px) {
        if (px >= 0 && px < kZoomPixels) pixels[static_cast<size_t>(py) * kZoomPixels + px] = dot;
      }
    }
  }
}

}  // namespace ombrivale::ui
