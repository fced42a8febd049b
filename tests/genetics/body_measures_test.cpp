#include "genetics/body_measures.h"

#include <gtest/gtest.h>

#include "genetics/gene_table.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::PutAnimal;
using testing::TestWorld;

constexpr double kPi = 3.14159265358979;

// Every gene the score tests set to its primordial value (or, with
// `offBy` = 1, to a value that differs from it).
void SetPrimordial(Animal& a, int offBy = 0) {
  for (const UnbornField& field : UnbornFields()) {
    SetUnbornValue(a.Unborn, field, field.primordial + offBy);
  }
  const auto fields = GeneSetFields();
  for (GeneSet& set : a.Genes) {
    for (const int index : ComparedFields()) {
      const GeneField& field = fields[static_cast<size_t>(index)];
      int value = field.primordial + offBy;
      if (field.type == GeneType::Flag && offBy != 0) value = field.primordial == kTrue ? 0 : kTrue;
      SetGeneValue(set, field, value);
    }
  }
}

TEST(MeanOfTest, IsTheSinglePrecisionMean) {
  EXPECT_EQ(1.5f, MeanOf(1, 2));
  EXPECT_EQ(-2.0f, MeanOf(-5, 1));
  // 8388608.5 is not a float: single precision rounds it half to even.
  EXPECT_EQ(8388608.0f, MeanOf(16777217, 0));
}

TEST(BodyVolumeTest, SumsTheSevenCrossSections) {
  TestWorld t;
  // Founder genome: body 5x1, upper limbs 0x0, lower limbs 0x1, head 1x1,
  // tail width 1, length 6.
  PutAnimal(t.world, 1, 100, 100);
  const double expected = kPi * (2.25 + 0 + 0 + 0.0625 + 0.0625 + 0.25 + 3.0625);
  EXPECT_NEAR(expected, BodyVolume(t.world, 1), 1e-12);

  // The limb's cross-sections enter once per segment and limb.
  Animal& a = PutAnimal(t.world, 2, 100, 100);
  a.Genes[1].Limb[1].UpperLength = 4;
  a.Genes[1].Limb[1].UpperWidth = 2;  // mean 3: pi * 2.25
  EXPECT_NEAR(expected + kPi * 2.25, BodyVolume(t.world, 2), 1e-12);

  // The expressed set decides: the infant's genes are untouched.
  a.Stage = kStageInfant;
  EXPECT_NEAR(expected, BodyVolume(t.world, 2), 1e-12);

  a.Stage = kStageEgg;
  EXPECT_EQ(0.0, BodyVolume(t.world, 2));
}

TEST(LimbBulkTest, IsTheMeanOfTheTwoSegments) {
  // Upper 10x10: pi * 25; lower 2x4: pi * 2.25.
  EXPECT_FLOAT_EQ(static_cast<float>((kPi * 25 + kPi * 2.25) / 2), LimbBulk(10, 10, 2, 4));
  EXPECT_EQ(0.0f, LimbBulk(0, 0, 0, 0));
}

TEST(ShapeTests, WalkingClassesAndTheWingTest) {
  TestWorld t;
  // With the founder genome the rest of the body (all but limb 1) is
  // pi * 5.625.
  auto withLimb1 = [&](int slot, int size, int16_t stage = kStageAdult) -> Animal& {
    Animal& a = PutAnimal(t.world, slot, 100, 100, stage);
    Limb& limb = a.Genes[1].Limb[1];
    limb.UpperLength = limb.UpperWidth = limb.LowerLength = limb.LowerWidth =
        static_cast<int16_t>(size);
    return a;
  };
  withLimb1(1, 10);  // bulk 25 pi > (50 + 5.625) pi / 3
  EXPECT_EQ(1, IsBipedal(t.world, 1));
  EXPECT_EQ(1, IsBipedaloid(t.world, 1));

  withLimb1(2, 3);  // bulk 2.25 pi: below 10.125 pi / 3, above 10.125 pi / 6
  EXPECT_EQ(0, IsBipedal(t.world, 2));
  EXPECT_EQ(1, IsBipedaloid(t.world, 2));

  withLimb1(3, 2);  // bulk pi: below 7.625 pi / 6
  EXPECT_EQ(0, IsBipedal(t.world, 3));
  EXPECT_EQ(0, IsBipedaloid(t.world, 3));

  // An infant walks on its infant genes: the big adult limb does not count.
  withLimb1(4, 10, kStageInfant);
  EXPECT_EQ(0, IsBipedal(t.world, 4));
  AnimalAt(t.world, 4).Stage = kStageAdult;
  EXPECT_EQ(1, IsBipedal(t.world, 4));

  // Limb 0 is part of the body volume it is compared with, so no animal is
  // ever winged, however large its limb 0.
  Animal& bird = PutAnimal(t.world, 5, 100, 100);
  Limb& wing = bird.Genes[1].Limb[0];
  wing.UpperLength = wing.UpperWidth = wing.LowerLength = wing.LowerWidth = 1000;
  EXPECT_EQ(0, IsWinged(t.world, 5));

  // An egg has no shape.
  withLimb1(6, 10).Stage = kStageEgg;
  EXPECT_EQ(0, IsBipedal(t.world, 6));
  EXPECT_EQ(0, IsBipedaloid(t.world, 6));
  EXPECT_EQ(0, IsWinged(t.world, 6));
}

TEST(PrimordialScoreTest, CountsOverADivisorOf144) {
  TestWorld t;
  Animal& a = PutAnimal(t.world, 1, 100, 100);
  SetPrimordial(a);
  EXPECT_EQ(static_cast<float>(115 / 144.0 * 100), PrimordialScore(t.world, 1));
  EXPECT_NEAR(79.86, PrimordialScore(t.world, 1), 0.01);

  // One tested gene away from its value costs one count, in either set or
  // in the egg; genes the score does not test cost nothing.
  a.Genes[0].Head.Vision.MinFrequency = 77;
  a.Genes[1].Limb[1].Touch.Resolution = 3;
  EXPECT_EQ(static_cast<float>(115 / 144.0 * 100), PrimordialScore(t.world, 1));
  a.Genes[1].Limb[1].DigitLength = 1;
  EXPECT_EQ(static_cast<float>(114 / 144.0 * 100), PrimordialScore(t.world, 1));
  a.Genes[0].Head.Audio.SensorExists = kTrue;  // primordial false
  a.Unborn.TimeInEgg = 4;
  EXPECT_EQ(static_cast<float>(112 / 144.0 * 100), PrimordialScore(t.world, 1));

  SetPrimordial(a, 1);
  EXPECT_EQ(0.0f, PrimordialScore(t.world, 1));
}

TEST(EvolvedSearch, TiesGoToTheLowerSlotAndScoreZeroIsNeverLeastEvolved) {
  TestWorld t;
  EXPECT_EQ(0, FindMostEvolved(t.world));
  EXPECT_EQ(0, FindLeastEvolved(t.world));

  SetPrimordial(PutAnimal(t.world, 3, 100, 100));
  SetPrimordial(PutAnimal(t.world, 5, 100, 100));
  AnimalAt(t.world, 5).Genes[0].Body.Height = 9;
  SetPrimordial(PutAnimal(t.world, 7, 100, 100));
  AnimalAt(t.world, 7).Genes[1].Body.Width = 9;
  SetPrimordial(PutAnimal(t.world, 9, 100, 100));
  EXPECT_EQ(5, FindMostEvolved(t.world));   // 5 and 7 tie: the lower slot
  EXPECT_EQ(3, FindLeastEvolved(t.world));  // 3 and 9 tie: the lower slot

  AnimalAt(t.world, 3).Alive = 0;
  AnimalAt(t.world, 5).Alive = 2;  // anything but 1 is a free slot
  EXPECT_EQ(7, FindMostEvolved(t.world));
  EXPECT_EQ(9, FindLeastEvolved(t.world));

  // With every living animal at score 0 there is no least evolved one.
  TestWorld none;
  SetPrimordial(PutAnimal(none.world, 2, 100, 100), 1);
  EXPECT_EQ(0, FindLeastEvolved(none.world));
  EXPECT_EQ(2, FindMostEvolved(none.world));
}

}  // namespace
}  // namespace ombrivale
