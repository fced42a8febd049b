#include "world/species_colours.h"

#include "behaviour/species.h"
#include "world/map_picture.h"

namespace ombrivale {

uint32_t SpeciesColour(int32_t species) {
  // The fractional part of species x 0.618..., as 10 bits; six sectors of
  // 256 steps around the edge of the colour cube.
  const uint32_t turn = (static_cast<uint32_t>(species) * 2654435769u) >> 22;
  const int hue = static_cast<int>(turn * 1536 / 1024);
  const int rise = hue % 256;
  const int fall = 255 - rise;
  int red = 0;
  int green = 0;
  int blue = 0;
  switch (hue / 256) {
    case 0:
      red = 255, green = rise;
      break;
    case 1:
      red = fall, green = 255;
      break;
    case 2:
      green = 255, blue = rise;
      break;
    case 3:
      green = fall, blue = 255;
      break;
    case 4:
      red = rise, blue = 255;
      break;
    default:
      red = 255, blue = fall;
      break;
  }
  // Every other number a little paler, so neighbours on the wheel differ.
  const int floor = (species & 1) != 0 ? 0 : 96;
  const auto lift = [floor](int value) { return floor + value * (255 - floor) / 255; };
  uint32_t rgb = Rgb(lift(red), lift(green), lift(blue));
  // The tool tip names the map's own colours; a species never takes one
  // (no two of them differ in blue's lowest bit alone).
  if (MapColourName(rgb) != nullptr || rgb == kColourNoSpecies) rgb ^= 1;
  return rgb;
}

}  // namespace ombrivale
