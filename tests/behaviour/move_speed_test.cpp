#include "behaviour/move_speed.h"

#include <gtest/gtest.h>

#include "genetics/body_measures.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

// Rows 0..39 sky, 40..69 water, 70..99 ground, row 100 water: an animal
// walks, swims or flies by the cell two rows below its own, row 100 at most.
// The adult set: tail width 2, limb 0 lengths 3 and 5, limb 1 lengths 1 and
// 2, height 5; the infant set keeps the founder's (skin, tail 1, limbs 0).
TEST(MoveSpeed, ByTheTerrainBelowTheCoveringAndTheExpressedSet) {
  struct Case {
    int y;
    uint8_t covering;
    int16_t stage;
    double speed;  // -1: falls by its body volume
  };
  const Case cases[] = {
      {3850, kFur, kStageAdult, 20},      {3850, kSkin, kStageAdult, 40},
      {3850, kScales, kStageAdult, 60},   {3850, kFeathers, kStageAdult, 20},
      {3850, 4, kStageAdult, 0},          {3850, kScales, kStageInfant, 4},
      {6800, kFur, kStageAdult, 135},     {6800, kFeathers, kStageAdult, 135},  // 13.5 x 10
      {1000, kFeathers, kStageAdult, 10}, {1000, kSkin, kStageAdult, -1},
      {1000, kFur, kStageInfant, -1},     {1000, kSkin, kStageEgg, 0},
      {9900, kSkin, kStageAdult, 40},     {10000, kSkin, kStageAdult, 40},
  };
  for (const Case& c : cases) {
    testing::TestWorld t;
    testing::FillRows(t.world, 40, 69, kWater);
    testing::FillRows(t.world, 70, 99, kGround);
    testing::FillRows(t.world, 100, 100, kWater);
    Animal& a = testing::PutAnimal(t.world, 1, 5050, c.y, c.stage);
    GeneSet& g = a.Genes[kStageAdult];
    g.Body.Covering = c.covering;
    g.Tail.Width = 2;
    g.Limb[0].LowerLength = 3;
    g.Limb[0].UpperLength = 5;
    g.Limb[1].LowerLength = 1;
    g.Limb[1].UpperLength = 2;
    a.HeadingY = -1;
    const double expected = c.speed == -1 ? BodyVolume(t.world, 1) : c.speed;
    EXPECT_EQ(expected, MoveSpeed(t.world, 1)) << c.y << " " << int{c.covering} << " " << c.stage;
    EXPECT_EQ(c.speed == -1 ? 1 : -1, a.HeadingY) << "only a fall turns it down";
  }
}

}  // namespace
}  // namespace ombrivale
