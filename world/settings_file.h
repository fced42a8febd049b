// The settings file "OB.ini": window places, options, tracked animal,
// QuickDraw zoom and the death-log filters, 27 lines of decimal text.
//
// Lines, each ending in CR LF (LF alone and blanks around a number are read
// too):
//   1-15  for each of the five windows: left, top (twips, single precision,
//         no fraction when whole), shown (-1 true, 0 false)
//   16-21 LogOn, AutoRestart, SelectedAnimal (16-bit), RealColours,
//         OverwriteLeast, AutoSave (flags 0 or 1; SelectedAnimal any 16-bit)
//   22    QuickDraw zoom, per cent (1..500)
//   23-27 "Show &These" filters: old age, eaten, overwritten, suffocation,
//         hunger (-1 true, 0 false; any non-zero number reads as true)
// A non-negative number is written with one leading blank.
#pragma once

#include <string>
#include <string_view>

#include "core/world.h"

namespace ombrivale {

inline constexpr int kSettingsLineCount = 27;

// Reads the 27 lines into the world (LogOn, AutoRestart, RealColours,
// OverwriteLeast, AutoSave, Filters), the display (SelectedAnimal,
// QuickDrawZoom) and `windows`. Every failing line (missing, not a number, out of its field's
// range) is skipped and keeps the item's current value. After the whole
// attempt, when anything failed (a missing file included), shows one box
// "Error Loading Ini" titled "Ini" through the seam. Returns true when every
// line read well.
bool LoadSettings(World& world, Display& display, const std::string& path,
                  WindowPlacement (&windows)[kWindowCount]);

// Writes the 27 lines (through a temporary file renamed over the old one, so
// a failed write leaves the previous file). On failure shows an "ERROR" box
// with the platform's error description and returns false.
bool SaveSettings(World& world, const Display& display, const std::string& path,
                  const WindowPlacement (&windows)[kWindowCount]);

// The parsing half of LoadSettings, without the file and the box: applies
// every line of `text` that reads well and returns how many of the 27 items
// failed (0..27).
int ReadSettingsText(World& world, Display& display, std::string_view text,
                     WindowPlacement (&windows)[kWindowCount]);

// The 27 lines as SaveSettings writes them.
std::string SettingsText(const World& world, const Display& display,
                         const WindowPlacement (&windows)[kWindowCount]);

}  // namespace ombrivale
