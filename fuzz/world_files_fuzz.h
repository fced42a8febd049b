// One fuzz input for each kind of world file, shared by the libFuzzer
// targets and the test that replays the committed corpus. Each reader must
// either refuse the input with a known error or take values that write back
// as text (or bytes) that reads again to the same values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "world/world_files.h"

namespace ombrivale::fuzz {

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

inline bool KnownFormatError(const FileError& error) {
  return error.number >= kErrorPastEnd && error.number <= kErrorBadSlot;
}

inline bool Planet0FuzzOne(const uint8_t* data, size_t size) {
  World world;
  const FileError error = ParsePlanet0(AsText(data, size), world);
  if (error.failed()) return error.number == kErrorPastEnd && size < kPlanet0Size;
  std::string bytes;
  return !Planet0Bytes(world, bytes) && bytes == AsText(data, kPlanet0Size);
}

inline bool Planet1FuzzOne(const uint8_t* data, size_t size) {
  World world;
  world.Map.layers[kFoodAmountLayer][7] = 12345;
  const FileError error = ParsePlanet1(AsText(data, size), world);
  if (error.failed()) {
    // All or nothing: a refused file leaves the layer as it was.
    return KnownFormatError(error) && world.Map.layers[kFoodAmountLayer][7] == 12345;
  }
  World again;
  if (ParsePlanet1(Planet1Text(world), again).failed()) return false;
  return again.Map.layers[kFoodAmountLayer] == world.Map.layers[kFoodAmountLayer];
}

inline bool Planet2FuzzOne(const uint8_t* data, size_t size) {
  Calendar calendar{1, 2, 3};
  if (ParsePlanet2(AsText(data, size), calendar)) {
    return calendar.seaLevel == 1 && calendar.month == 2 && calendar.year == 3;
  }
  World world;
  world.SeaLevel = calendar.seaLevel;
  world.Month = calendar.month;
  world.Year = calendar.year;
  Calendar again;
  return !ParsePlanet2(Planet2Text(world), again) && again.seaLevel == calendar.seaLevel &&
         again.month == calendar.month && again.year == calendar.year;
}

inline bool AnimalsDatFuzzOne(const uint8_t* data, size_t size) {
  World world;
  const FileError error = ParseAnimalList(AsText(data, size), world);
  if (error.failed() && !KnownFormatError(error)) return false;
  // Whatever was read, listed again, reads back the same.
  World again;
  if (ParseAnimalList(AnimalListText(world), again).failed()) return false;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (AnimalAt(world, slot).Alive != AnimalAt(again, slot).Alive) return false;
  }
  return true;
}

inline bool AnimalFileFuzzOne(const uint8_t* data, size_t size) {
  Animal animal;
  const FileError error = ParseAnimalFile(AsText(data, size), animal);
  if (error.failed() && !KnownFormatError(error)) return false;
  const std::string text = AnimalFileText(animal);
  Animal again;
  if (ParseAnimalFile(text, again).failed()) return false;
  return AnimalFileText(again) == text;
}

}  // namespace ombrivale::fuzz
