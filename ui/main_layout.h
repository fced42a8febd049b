// Where the mini map and the three status frames stand in the main window.
//
// The designed layout is in twips (15 to a pixel, one map cell a pixel);
// the window paints it enlarged by a whole factor `scale` so the 321 x 101
// picture stays crisp and readable on today's screens. Every rule that
// measures in twips or pixels uses the unscaled numbers.
#pragma once

#include <QRect>
#include <QSize>

#include "core/rules.h"

namespace ombrivale::ui {

struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
};

struct MainLayout {
  TwipRect picture1;  // the container, the map at its top-left corner
  TwipRect miniMap;   // 4860 x 1560: 324 x 104 pixels around the 321 x 101 picture
  TwipRect frame1;    // "Time:"
  TwipRect frame2;    // "Life:"
  TwipRect frame3;    // "Messages:"
  TwipRect label;     // each label inside its frame
};

MainLayout ComputeMainLayout();

// Twips to device-independent pixels at the given enlargement.
QRect ToPixels(const TwipRect& rect, int scale);

// The largest whole enlargement (1..4) at which the container takes at most
// three quarters of the screen's width and a third of its height.
int MiniMapScaleFor(QSize availableScreen);

}  // namespace ombrivale::ui
