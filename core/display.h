// What only the windows read: the captions of the status frames, the death
// log, the mini map's pictures, the marker and the tracked animal, and the
// QuickDraw window's state.
//
// A Display is owned beside the world it shows (World::display points to it)
// and is optional: a world without one runs the same rules and draws,
// captions and logs nothing, which is how the command-line tools run it.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/colour_choice.h"
#include "core/map.h"
#include "core/rules.h"

namespace ombrivale {

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

// The marker shape Image1 on the mini map, in mini-map units (15 per cell).
struct Marker {
  double Left = 0;
  double Top = 0;
  double Width = kMarkerSideTwips;
  double Height = kMarkerSideTwips;
};

// Where a secondary window stands inside the main window, in twips, and
// whether it is shown. The settings file keeps one for each of the five
// windows, in this order: 0 world view, 1 properties, 2 QuickDraw, 3 log,
// 4 Play God.
struct WindowPlacement {
  float left = 0;
  float top = 0;
  bool shown = false;
};
inline constexpr int kWindowCount = 5;

inline constexpr int16_t kQuickDrawZoomMin = 1;  // per cent
inline constexpr int16_t kQuickDrawZoomMax = 500;

struct Display {
  // "January" .. "December", each in a 9-character field; empty until
  // start-up fills them, and no date shows before.
  std::array<std::string, 12> MonthNames{};

  // The tracked animal (slot, 0 for none): the marker follows it and the
  // settings file keeps it.
  int16_t SelectedAnimal = 0;

  // Captions of the main window's status frames.
  std::string Label1 = "January,  0";  // "Time:" - the date
  std::string Label2 = "Animals";      // "Life:" - the population
  std::string Label3;                  // "Messages:" - the last message
  // The main window's caption while it is minimised (the date in its title);
  // empty until a tick of a minimised window sets it.
  std::string MainCaption;

  // The death log (the log window's list), oldest first, fewer than
  // kLogLimit entries after any append. `logVersion` grows at every change
  // so a window can refresh only when needed.
  std::deque<std::string> DeathLog;
  uint64_t logVersion = 0;

  // Mini map and its background copy (terrain and food, no animals).
  MapPicture MiniMap;
  MapPicture MiniBak;
  Marker Image1;
  double SeaLineY = 0;  // mini-map units: SeaLevel x 15 at the last full redraw
  // What the animals' dots are coloured by (the "Colour &By" menu; the
  // program's settings file keeps it), and, for any choice but the rule's
  // colours, the colours and legend of the last picture drawn.
  ColourChoice colourBy;
  MapColouring colouring;
  // Set by a tick that left the animals of such a colouring to be drawn on
  // MiniMap when it is next shown (a hidden or unrepainted map costs nothing).
  bool colouringStale = false;
  // Set while the window shows the map only between runs of ticks (a batch
  // of "Fast"): the ticks leave MiniMap as it is, and the window draws the
  // animals once when the run ends.
  bool dotsBetweenTicksOnly = false;

  int Timer2Interval = 0;  // ms; 0 until the first world exists

  int16_t QuickDrawZoom = 100;  // per cent, 1..500
  int16_t QuickDrawAnimal = 0;  // slot the QuickDraw window drew last, 0 for none
};

// Fills MonthNames with "January" .. "December", each in a 9-character field.
void FillMonthNames(Display& display);

// "January" for 1 .. "December" for 12; "" for any other month.
const char* MonthName(int month);

}  // namespace ombrivale
