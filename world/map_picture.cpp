#include "world/map_picture.h"

namespace ombrivale {

namespace {

// The sea-level rule: every cell that is not ground is water at or below the
// sea level and sky above it.
void ApplySeaLevel(World& world) {
  const int seaLevel = world.SeaLevel;
  int32_t* terrain = world.Map.layers[kTerrainLayer].data();
  for (int x = 0; x < kMapWidth; ++x) {
    int32_t* column = terrain + x * kMapHeight;
    for (int row = 0; row < kMapHeight; ++row) {
      int32_t& t = column[row];
      if (t == kWater || t == kSky) t = row + kMapTopRow < seaLevel ? kSky : kWater;
    }
  }
}

}  // namespace

void PaintTerrain(const World& world, MapPicture& picture) {
  static constexpr uint32_t kFoodColours[kFoodKindCount] = {
      0, kColourSeaScum, kColourAquaticVegetation, kColourLandVegetation, kColourMeat};
  const int seaLevel = world.SeaLevel;
  const int32_t* terrain = world.Map.layers[kTerrainLayer].data();
  const int32_t* kinds = world.Map.layers[kFoodKindLayer].data();
  uint32_t* pixels = picture.pixels.data();
  // The map is stored column by column, the picture row by row.
  for (int x = 0; x < kMapWidth; ++x) {
    const int column = x * kMapHeight;
    for (int row = 0; row < kMapHeight; ++row) {
      const bool aboveSea = row + kMapTopRow < seaLevel;
      uint32_t& pixel = pixels[row * kMapWidth + x];
      switch (terrain[column + row]) {
        case kGround:
          pixel = aboveSea ? kColourExposedGround : kColourSubmergedGround;
          break;
        case kWater:
          pixel = kColourWater;
          break;
        case kSky:
          pixel = kColourSky;
          break;
        default:
          break;  // an unknown code keeps its pixel
      }
      const int32_t kind = kinds[column + row];
      if (kind >= kSeaScum && kind <= kMeat) pixel = kFoodColours[kind];
    }
  }
}

void ReDrawMap(World& world) {
  ApplySeaLevel(world);
  if (Display* display = world.display) {
    PaintTerrain(world, display->MiniMap);
    display->MiniBak.pixels = display->MiniMap.pixels;
    display->SeaLineY = static_cast<double>(world.SeaLevel) * kTwipsPerPixel;
  }
  Seam& seam = SeamOf(world);
  world.events.Post(MapRedrawn{});
  seam.ProcessEvents();
}

uint32_t DotColour(const World& world, const Animal& animal) {
  if (animal.Stage == kStageEgg) {
    if (!world.RealColours) return kColourEgg;
    const EggColour& c = animal.Unborn.EggColor;
    return Rgb(c.Red, c.Green, c.Blue);
  }
  const GeneSet& g = Expressed(animal);
  if (world.RealColours) return Rgb(g.Body.ColourX.red, g.Body.ColourX.green, g.Body.ColourX.blue);
  switch (g.Head.Diet) {
    case kScumSucker:
      return kColourScumSucker;
    case kCarnivorous:
      return kColourCarnivore;
    default:
      return kColourLiveOrganism;
  }
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
