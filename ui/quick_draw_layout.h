// The QuickDraw picture as numbers: the figures' boxes, colours and fill
// patterns in twips, laid out from an animal's genes. The window paints what
// this computes; tests read the numbers.
#pragma once

#include <cstdint>

#include "core/animal.h"
#include "core/world.h"

namespace ombrivale::ui {

// Fill patterns of a figure, drawn in its fill colour over its background.
inline constexpr int kFillSolid = 0;
inline constexpr int kFillTransparent = 1;
inline constexpr int kFillVertical = 3;
inline constexpr int kFillCross = 6;
inline constexpr int kFillDiagonalCross = 7;

// Outline kinds, fixed per figure by the window's design.
enum class Outline : uint8_t { Rectangle, Oval, RoundedRectangle };

// One filled figure. Places and sizes are twips, stored in single precision:
// a later figure's placement reads these stored values.
struct Figure {
  float Left = 0;
  float Top = 0;
  float Width = 0;
  float Height = 0;
  uint32_t BackColor = Rgb(192, 192, 192);  // 0x00RRGGBB
  bool BackOpaque = true;
  uint32_t FillColor = Rgb(0, 0, 0);
  int FillStyle = kFillTransparent;
  Outline Shape = Outline::Rectangle;
};

struct FigureLine {
  float X1 = 0;
  float Y1 = 0;
  float X2 = 0;
  float Y2 = 0;
};

// The design-time picture; a drawing changes only what its steps name, so
// anything it leaves alone shows as the last drawing (or the design) left it.
struct QuickDrawLayout {
  Figure body{720, 1200, 2295, 1575, Rgb(192, 192, 192), true, 0, kFillTransparent, Outline::Oval};
  Figure head{3480, 360, 1215, 1215, Rgb(192, 192, 192), true, 0, kFillTransparent, Outline::Oval};
  Figure ear{
      3480,         120, 375, 615, Rgb(255, 176, 160), true, Rgb(128, 64, 64), kFillTransparent,
      Outline::Oval};
  Figure mouth{4200,
               840,
               855,
               735,
               Rgb(192, 192, 192),
               true,
               0,
               kFillTransparent,
               Outline::RoundedRectangle};
  Figure nose{4800, 840, 375, 375, Rgb(192, 192, 192), true, 0, kFillTransparent, Outline::Oval};
  Figure tail{600,
              120,
              255,
              2175,
              Rgb(192, 192, 192),
              true,
              0,
              kFillTransparent,
              Outline::RoundedRectangle};
  // Limb 0 stands at the right-hand (head) end of the body, limb 1 at the left.
  Figure upperlimb[2] = {{2520, 2040, 495, 1215, Rgb(192, 192, 192), true, 0, kFillTransparent,
                          Outline::RoundedRectangle},
                         {600, 2040, 495, 1215, Rgb(192, 192, 192), true, 0, kFillTransparent,
                          Outline::RoundedRectangle}};
  Figure lowerlimb[2] = {{2520, 3000, 495, 1215, Rgb(192, 192, 192), true, 0, kFillTransparent,
                          Outline::RoundedRectangle},
                         {600, 3000, 495, 1215, Rgb(192, 192, 192), true, 0, kFillTransparent,
                          Outline::RoundedRectangle}};
  FigureLine neck1{1800, 1200, 4080, 960};
  FigureLine neck2{1920, 2520, 4080, 1560};
  Figure egg{960, 960, 975, 1455, Rgb(255, 255, 255), true, 0, kFillTransparent, Outline::Oval};

  bool bornVisible = true;  // `born` holds the hatched animal, `unborn` the egg
  bool unbornVisible = false;
};

// The drawing scale in twips per gene unit: zoom / 100 x 150.
double DrawingScale(int zoom);

// Largest egg size the drawing takes: EggSize x 90 must fit 16 bits.
inline constexpr int kLargestEggSize = 364;

// Lays the animal out in `layout` as the view `stage` shows it: -1 the egg,
// 0 the infant genes, 1 the adult genes (whatever the animal's own stage).
// Sizes from negative genes are drawn as 0 and egg sizes held to 0..364.
void LayOutAnimal(QuickDrawLayout& layout, const Animal& animal, int stage, int zoom);

}  // namespace ombrivale::ui
