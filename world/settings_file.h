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
#include "world/file_system.h"

namespace ombrivale {

inline constexpr int kSettingsLineCount = 27;

// Reads the 27 lines into the world (LogOn, AutoRestart, RealColours,
// OverwriteLeast, AutoSave, Filters), the display (SelectedAnimal,
// QuickDrawZoom) and `windows`. Every failing line (missing, not a number,
// out of its field's range) is skipped and keeps the item's current value.
// After the whole attempt, when anything failed (a missing file included),
// posts one file notice "Error Loading Ini" titled "Ini". Returns
// the first failure: the file's, or the first line's that did not read.
Status LoadSettings(World& world, Display& display, const std::string& path,
                    WindowPlacement (&windows)[kWindowCount]);

// Writes the 27 lines to a temporary sibling, flushes it, renames it over
// the old file and flushes the folder, so that a failure at any step (or a
// crash) leaves the previous file. Returns the first fault; the caller
// tells the user.
Status SaveSettings(World& world, const Display& display, const std::string& path,
                    const WindowPlacement (&windows)[kWindowCount]);
Status SaveSettings(World& world, const Display& display, const std::string& path,
                    const WindowPlacement (&windows)[kWindowCount], FileSystem& files);

// The parsing half of LoadSettings, without the file and the box: applies
// every line of `text` that reads well and returns the first line that did
// not (kErrorPastEnd, kErrorNotNumber or kErrorOutOfRange at that line).
Status ReadSettingsText(World& world, Display& display, std::string_view text,
                        WindowPlacement (&windows)[kWindowCount]);

// The 27 lines as SaveSettings writes them.
std::string SettingsText(const World& world, const Display& display,
                         const WindowPlacement (&windows)[kWindowCount]);

}  // namespace ombrivale
