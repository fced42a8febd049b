#include "behaviour/move_speed.h"

#include "core/helpers.h"
#include "core/rules.h"
#include "genetics/body_measures.h"

namespace ombrivale {

double MoveSpeed(World& world, int slot) {
  Animal& animal = AnimalAt(world, slot);
  if (animal.Stage == kStageEgg) return 0;

  const GeneSet& g = Expressed(animal);
  const double halfHeight = g.Body.Height / 2.0;
  const double lower0 = g.Limb[0].LowerLength;
  const double upper0 = g.Limb[0].UpperLength;
  const double lower1 = g.Limb[1].LowerLength;
  const double upper1 = g.Limb[1].UpperLength;
  const double tail = g.Tail.Width;
  const uint8_t covering = g.Body.Covering;

  // The ground cell is two rows below the animal's own (row 100 at most).
  const int32_t terrain =
      world.Map.At(kTerrainLayer, CellX(animal.X), CellY(animal.Y + 2 * kHundredthsPerCell));
  switch (terrain) {
    case kSky:
      if (covering == kFeathers) return tail + lower0 + upper0;
      // Without feathers it falls, as fast as it is big.
      animal.HeadingY = 1;
      return BodyVolume(world, slot);
    case kWater:
      switch (covering) {
        case kFur:
          return (tail + lower0 + upper0) / 2 * 4;
        case kSkin:
          return (tail + lower0 + upper0) * 4;
        case kScales:
          return (tail + lower0 + upper0) * 1.5 * 4;
        case kFeathers:
          return (tail + lower0 + upper0) / 2 * 4;
        default:
          return 0;
      }
    case kGround:
      return (halfHeight + lower0 + upper0 + lower1 + upper1) * 2.5 * 4;
    default:
      return 0;
  }
}

}  // namespace ombrivale
