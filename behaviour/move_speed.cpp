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
    case kWater: {
      // Fur and feathers (T + L0 + U0) / 2 x 4, skin (T + L0 + U0) x 4,
      // scales (T + L0 + U0) x 1.5 x 4: the sum is a whole number below
      // 2^17, so each is exactly the sum times 2, 4 or 6, taken from a table
      // rather than through a branch the mixed coverings of a crowd would
      // mispredict.
      static constexpr double kWaterFactor[4] = {2, 4, 6, 2};
      return covering < 4 ? (tail + lower0 + upper0) * kWaterFactor[covering] : 0;
    }
    case kGround:
      return (halfHeight + lower0 + upper0 + lower1 + upper1) * 2.5 * 4;
    default:
      return 0;
  }
}

}  // namespace ombrivale
