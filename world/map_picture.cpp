#include "world/map_picture.h"

namespace ombrivale {

void ReDrawMap(World& world) {
  static constexpr uint32_t kFoodColours[5] = {0, kColourSeaScum, kColourAquaticVegetation,
                                               kColourLandVegetation, kColourMeat};
  const int seaLevel = world.SeaLevel;
  int32_t* terrain = world.Map.layers[kTerrainLayer].data();
  const int32_t* kinds = world.Map.layers[kFoodKindLayer].data();
  uint32_t* pixels = world.MiniMap.pixels.data();

  // The map is stored column by column, the picture row by row.
  for (int x = 0; x < kMapWidth; ++x) {
    const int column = x * kMapHeight;
    for (int row = 0; row < kMapHeight; ++row) {
      const int y = row + kMapTopRow;
      const bool aboveSea = y < seaLevel;
      int32_t& t = terrain[column + row];
      uint32_t& pixel = pixels[row * kMapWidth + x];
      if (t == kGround) {
        pixel = aboveSea ? kColourExposedGround : kColourSubmergedGround;
      } else if (t == kWater || t == kSky) {
        // Not ground: water at or below the sea level, sky above it.
        t = aboveSea ? kSky : kWater;
        pixel = aboveSea ? kColourSky : kColourWater;
      }
      const int32_t kind = kinds[column + row];
      if (kind >= kSeaScum && kind <= kMeat) pixel = kFoodColours[kind];
    }
  }

  world.MiniBak.pixels = world.MiniMap.pixels;
  world.SeaLineY = static_cast<double>(seaLevel) * 15.0;
  Seam& seam = SeamOf(world);
  seam.MapRedrawn();
  seam.ProcessEvents();
}

const char* MapColourName(uint32_t rgb) {
  switch (rgb) {
    case kColourSubmergedGround:
      return "Submerged Ground";
    case kColourExposedGround:
      return "Exposed Ground";
    case kColourSky:
      return "Sky";
    case kColourWater:
      return "Water";
    case kColourLandVegetation:
      return "Land Vegetation";
    case kColourAquaticVegetation:
      return "Aquatic Vegetation";
    case kColourSeaScum:
      return "SeaScum";
    case kColourEgg:
      return "Egg";
    case kColourLiveOrganism:
      return "Live Organism";
    case kColourMeat:
      return "Meat";
    default:
      return nullptr;
  }
}

}  // namespace ombrivale
