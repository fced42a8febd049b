// One fuzz input for the settings reader, shared by the libFuzzer target and
// the test that replays the committed corpus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "world/settings_file.h"

namespace ombrivale::fuzz {

// Reads `data` as a settings file; whatever was read must write back as text
// that reads again without a failure and gives the same values. Returns false
// when that does not hold.
inline bool SettingsFuzzOne(const uint8_t* data, size_t size) {
  // Worlds are big; the reader touches only the settings items, which are
  // reset for every input.
  static World first;
  static Display firstDisplay;
  first.display = &firstDisplay;
  static World second;
  static Display secondDisplay;
  second.display = &secondDisplay;
  auto reset = [](World& world, uint8_t flag, int16_t number, bool truth) {
    world.LogOn = world.AutoRestart = world.RealColours = flag;
    world.OverwriteLeast = world.AutoSave = flag;
    world.display->SelectedAnimal = number;
    world.display->QuickDrawZoom = number;
    world.Filters = {truth, truth, truth, truth, truth};
  };
  reset(first, 0, 100, false);
  reset(second, 1, 7, true);
  WindowPlacement firstWindows[kWindowCount];
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const Status error = ReadSettingsText(first, *first.display, input, firstWindows);
  if (!error.ok() && (error.number() < kErrorPastEnd || error.number() > kErrorOutOfRange ||
                      error.where() < 1 || error.where() > kSettingsLineCount)) {
    return false;
  }

  const std::string text = SettingsText(first, *first.display, firstWindows);
  WindowPlacement secondWindows[kWindowCount];
  for (WindowPlacement& w : secondWindows)
    w = {-1, -1, true};
  if (!ReadSettingsText(second, *second.display, text, secondWindows).ok()) return false;
  return SettingsText(second, *second.display, secondWindows) == text;
}

}  // namespace ombrivale::fuzz
