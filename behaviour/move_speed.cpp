#include "behaviour/move_speed.h"

#include "core/helpers.h"
#include "core/rules.h"
#include "genetics/body_measures.h"

namespace ombrivale {

StepLength MoveStep(World& world, int slot) {
  Animal& animal = AnimalAt(world, slot);
  if (animal.Stage == kStageEgg) return {};

  const GeneSet& g = Expressed(animal);
  const int32_t lower0 = g.Limb[0].LowerLength;
  const int32_t upper0 = g.Limb[0].UpperLength;
  const int32_t tail = g.Tail.Width;
  const uint8_t covering = g.Body.Covering;

  // The ground cell is two rows below the animal's own (row 100 at most).
  const int32_t terrain =
      world.Map.At(kTerrainLayer, CellX(animal.X), CellY(animal.Y + 2 * kHundredthsPerCell));
  switch (terrain) {
    case kSky:
      if (covering == kFeathers) return {true, tail + lower0 + upper0, 0};
      // Without feathers it falls, as fast as it is big.
      animal.HeadingY = 1;
      return {false, 0, BodyVolume(world, slot)};
    case kWater: {
      // Fur and feathers (T + L0 + U0) / 2 x 4, skin (T + L0 + U0) x 4,
      // scales (T + L0 + U0) x 1.5 x 4: the sum times 2, 4 or 6, taken from
      // a table rather than through a branch the mixed coverings of a crowd
      // would mispredict.
      static constexpr int32_t kWaterFactor[4] = {2, 4, 6, 2};
      return {true, covering < 4 ? (tail + lower0 + upper0) * kWaterFactor[covering] : 0, 0};
    }
    case kGround:
      // (H / 2 + L0 + U0 + L1 + U1) x 2.5 x 4: below 2^21 in magnitude.
      return {true,
              5 * g.Body.Height +
                  10 * (lower0 + upper0 + g.Limb[1].LowerLength + g.Limb[1].UpperLength),
              0};
    default:
      return {};
  }
}

double MoveSpeed(World& world, int slot) {
  const StepLength step = MoveStep(world, slot);
  return step.whole ? step.hundredths : step.fall;
}

}  // namespace ombrivale
