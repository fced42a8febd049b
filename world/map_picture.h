// The mini map's full picture and the terrain rule of the sea level.
#pragma once

#include <cstdint>

#include "core/world.h"

namespace ombrivale {

// The mini map's colours (0x00RRGGBB).
inline constexpr uint32_t kColourSubmergedGround = Rgb(128, 128, 0);  // olive, y >= SeaLevel
inline constexpr uint32_t kColourExposedGround = Rgb(255, 255, 0);    // yellow, y < SeaLevel
inline constexpr uint32_t kColourSky = Rgb(128, 128, 255);
inline constexpr uint32_t kColourWater = Rgb(0, 0, 128);
inline constexpr uint32_t kColourLandVegetation = Rgb(0, 128, 0);
inline constexpr uint32_t kColourAquaticVegetation = Rgb(0, 255, 0);
inline constexpr uint32_t kColourSeaScum = Rgb(0, 255, 255);
inline constexpr uint32_t kColourMeat = Rgb(128, 0, 0);
// Animal dots without real colours.
inline constexpr uint32_t kColourEgg = Rgb(192, 192, 192);
inline constexpr uint32_t kColourScumSucker = Rgb(192, 0, 64);
inline constexpr uint32_t kColourLiveOrganism = Rgb(255, 0, 0);  // herbivores and omnivores
inline constexpr uint32_t kColourCarnivore = Rgb(255, 192, 0);

// Turns non-ground cells into water at or below the sea level and sky above
// it; with a display, paints every cell of MiniMap (rows -1..100) from the
// map, copies the picture into MiniBak and moves the sea line (SeaLineY =
// SeaLevel x 15). Then lets pending window events run once. Cells of an
// unknown terrain code keep their pixel unless food lies on them.
void ReDrawMap(World& world);

// Paints every cell of `picture` (rows -1..100) from the map's terrain and
// food as ReDrawMap does, without changing the map: the mini map's
// background. Cells of an unknown terrain code keep their pixel unless food
// lies on them.
void PaintTerrain(const World& world, MapPicture& picture);

// The colour of an animal's dot on the mini map: its gene colours with
// RealColours, else by stage and diet.
uint32_t DotColour(const World& world, const Animal& animal);

// The tool-tip text of a mini-map colour ("Sky", "Meat", ...), or nullptr for
// a colour the map does not use for anything named.
const char* MapColourName(uint32_t rgb);

}  // namespace ombrivale
