#include "behaviour/move_speed.h"

#include <gtest/gtest.h>

#include "genetics/body_measures.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::FillRows;
using testing::PutAnimal;
using testing::TestWorld;

// Rows 0..39 sky, 40..69 water, 70..100 ground. An animal looks two rows
// below its own row.
class MoveSpeedTest : public ::testing::Test {
 protected:
  MoveSpeedTest() {
    FillRows(world, 40, 69, kWater);
    FillRows(world, 70, 100, kGround);
  }

  // An adult at (5050, y) with tail width 2 and limb-0 lengths 3 (lower)
  // and 5 (upper).
  Animal& Put(int y, uint8_t covering) {
    Animal& a = PutAnimal(world, 1, 5050, y);
    GeneSet& g = a.Genes[kStageAdult];
    g.Body.Covering = covering;
    g.Tail.Width = 2;
    g.Limb[0].LowerLength = 3;
    g.Limb[0].UpperLength = 5;
    return a;
  }

  TestWorld t;
  World& world = t.world;
};

TEST_F(MoveSpeedTest, OverWaterByCovering) {
  struct Case {
    uint8_t covering;
    double speed;
  };
  const Case cases[] = {{0, 20}, {1, 40}, {2, 60}, {3, 20}, {4, 0}, {255, 0}};
  for (const Case& c : cases) {
    Put(3850, c.covering);  // row 38 looks at row 40: water
    EXPECT_EQ(c.speed, MoveSpeed(world, 1)) << int{c.covering};
  }
}

TEST_F(MoveSpeedTest, OnGroundTenTimesHalfHeightAndTheFourLimbs) {
  Animal& a = PutAnimal(world, 1, 5050, 6800);  // row 68 looks at row 70
  a.Genes[1].Body.Height = 5;
  for (Limb& limb : a.Genes[1].Limb)
    limb.LowerLength = limb.UpperLength = 0;
  EXPECT_EQ(25.0, MoveSpeed(world, 1));

  a.Genes[1].Limb[0].UpperLength = 5;
  a.Genes[1].Limb[0].LowerLength = 3;
  a.Genes[1].Limb[1].UpperLength = 2;
  a.Genes[1].Limb[1].LowerLength = 1;
  EXPECT_EQ(135.0, MoveSpeed(world, 1));  // (2.5 + 3 + 5 + 1 + 2) x 10
  for (uint8_t covering = 0; covering < 5; ++covering) {
    a.Genes[1].Body.Covering = covering;
    EXPECT_EQ(135.0, MoveSpeed(world, 1));
  }
}

TEST_F(MoveSpeedTest, OverSkyFeathersFlyAndTheRestFall) {
  Animal& bird = Put(1000, 3);
  bird.HeadingY = -1;
  EXPECT_EQ(10.0, MoveSpeed(world, 1));  // 2 + 3 + 5
  EXPECT_EQ(-1, bird.HeadingY);          // keeps its heading

  for (uint8_t covering : {0, 1, 2, 4}) {
    Animal& a = Put(1000, covering);
    a.HeadingY = -1;
    EXPECT_EQ(BodyVolume(world, 1), MoveSpeed(world, 1));
    EXPECT_EQ(1, a.HeadingY) << int{covering};
  }
  EXPECT_GT(BodyVolume(world, 1), 0.0);
}

TEST_F(MoveSpeedTest, EggsStandStillAndUnknownTerrainStops) {
  Animal& egg = Put(1000, 0);
  egg.Stage = kStageEgg;
  egg.HeadingY = -1;
  EXPECT_EQ(0.0, MoveSpeed(world, 1));
  EXPECT_EQ(-1, egg.HeadingY);  // eggs do not fall

  world.Map.At(kTerrainLayer, 50, 12) = 3;
  Put(1000, 1);
  EXPECT_EQ(0.0, MoveSpeed(world, 1));
  world.Map.At(kTerrainLayer, 50, 12) = -1;
  EXPECT_EQ(0.0, MoveSpeed(world, 1));
}

TEST_F(MoveSpeedTest, TheInfantSetDecides) {
  Animal& a = Put(3850, 2);  // adult: scales, 60
  a.Stage = kStageInfant;    // infant set: skin, tail 1, limbs 0
  EXPECT_EQ(4.0, MoveSpeed(world, 1));
}

TEST_F(MoveSpeedTest, TheBottomRowsLookAtRow100) {
  FillRows(world, 95, 99, kSky);
  FillRows(world, 100, 100, kWater);
  for (int y : {9900, 9950, 10000}) {
    Put(y, 1);
    EXPECT_EQ(40.0, MoveSpeed(world, 1)) << y;
  }
}

}  // namespace
}  // namespace ombrivale
