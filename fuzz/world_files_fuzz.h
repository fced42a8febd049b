// One fuzz input for each kind of world file, shared by the libFuzzer
// targets and the test that replays the committed corpus. Each reader must
// either refuse the input with a known error, leaving what it promises to
// leave, or take values that write back as text (or bytes) that reads again
// to the same values.
//
// Each check keeps its worlds and text buffers from one input to the next:
// making a World (some 0.7 MB) for every input cost far more than reading
// the input. Whatever a check looks at is set before the reading or written
// by it, so no outcome depends on the inputs before.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "world/world_files.h"

namespace ombrivale::fuzz {

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

inline bool KnownFormatError(const Status& error) {
  return error.number() >= kErrorPastEnd && error.number() <= kErrorBadSlot && error.where() >= 0;
}

inline bool Planet0FuzzOne(const uint8_t* data, size_t size) {
  static World world;
  static std::string bytes;
  world.SeaLevel = 999;  // no byte reads as it: only a refused file leaves it
  if (const Status error = ParsePlanet0(AsText(data, size), world); !error.ok()) {
    return error.number() == kErrorPastEnd && size < kPlanet0Size && world.SeaLevel == 999;
  }
  return Planet0Bytes(world, bytes).ok() && bytes == AsText(data, kPlanet0Size);
}

inline bool Planet1FuzzOne(const uint8_t* data, size_t size) {
  static World world;
  static World again;
  static std::string text;
  int32_t& marker = world.Map.layers[kFoodAmountLayer][7];
  marker = 12345;
  if (const Status error = ParsePlanet1(AsText(data, size), world); !error.ok()) {
    // All or nothing: a refused file leaves the layer as it was.
    return KnownFormatError(error) && marker == 12345;
  }
  Planet1Text(world, text);
  if (!ParsePlanet1(text, again).ok()) return false;
  return again.Map.layers[kFoodAmountLayer] == world.Map.layers[kFoodAmountLayer];
}

inline bool Planet2FuzzOne(const uint8_t* data, size_t size) {
  Calendar calendar{1, 2, 3};
  if (const Status error = ParsePlanet2(AsText(data, size), calendar); !error.ok()) {
    return KnownFormatError(error) && calendar.seaLevel == 1 && calendar.month == 2 &&
           calendar.year == 3;
  }
  static World world;
  static std::string text;
  world.SeaLevel = calendar.seaLevel;
  world.Month = calendar.month;
  world.Year = calendar.year;
  Planet2Text(world, text);
  Calendar again;
  return ParsePlanet2(text, again).ok() && again.seaLevel == calendar.seaLevel &&
         again.month == calendar.month && again.year == calendar.year;
}

inline bool AnimalsDatFuzzOne(const uint8_t* data, size_t size) {
  static World world;
  static World again;
  static std::string text;
  const Status error = ParseAnimalList(AsText(data, size), world);
  if (!error.ok() && !KnownFormatError(error)) return false;
  // Whatever was read, listed again, reads back the same.
  AnimalListText(world, text);
  if (!ParseAnimalList(text, again).ok()) return false;
  return std::equal(world.Animals.begin(), world.Animals.end(), again.Animals.begin(),
                    [](const Animal& a, const Animal& b) { return a.Alive == b.Alive; });
}

inline bool AnimalFileFuzzOne(const uint8_t* data, size_t size) {
  static std::string text;
  static std::string textAgain;
  Animal animal;
  const Status error = ParseAnimalFile(AsText(data, size), animal);
  if (!error.ok() && !KnownFormatError(error)) return false;
  AnimalFileText(animal, text);
  Animal again;
  if (!ParseAnimalFile(text, again).ok()) return false;
  AnimalFileText(again, textAgain);
  return textAgain == text;
}

}  // namespace ombrivale::fuzz
