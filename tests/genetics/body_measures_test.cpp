#include "genetics/body_measures.h"

#include <gtest/gtest.h>

#include "genetics/gene_table.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::PutAnimal;
using testing::TestWorld;

// Every tested gene at its primordial value, or with `off` away from it.
Animal& PutPrimordial(World& world, int slot, bool off = false) {
  Animal& a = PutAnimal(world, slot, 100, 100);
  for (const UnbornField& field : UnbornFields())
    SetUnbornValue(a.Unborn, field, field.primordial + off);
  for (GeneSet& set : a.Genes) {
    for (const int index : ComparedFields()) {
      const GeneField& field = GeneSetFields()[static_cast<size_t>(index)];
      int value = field.primordial + off;
      if (field.type == GeneType::Flag && off) value = field.primordial == kTrue ? 0 : kTrue;
      SetGeneValue(set, field, value);
    }
  }
  return a;
}

TEST(BodyMeasures, WalkingClassesByTheBackLegsBulk) {
  struct Case {
    int size;  // every length and width of limb 1
    int16_t stage;
    int bipedal, bipedaloid;
  };
  // The rest of the founder's body is pi x 5.625.
  const Case cases[] = {
      {10, kStageAdult, 1, 1},   // bulk 25 pi > (50 + 5.625) pi / 3
      {3, kStageAdult, 0, 1},    // 2.25 pi: below 10.125 pi / 3, above 10.125 pi / 6
      {2, kStageAdult, 0, 0},    // pi: below 7.625 pi / 6
      {10, kStageInfant, 0, 0},  // an infant walks on its infant genes
      {10, kStageEgg, 0, 0},     // an egg has no shape
  };
  for (const Case& c : cases) {
    TestWorld t;
    Limb& limb = PutAnimal(t.world, 1, 100, 100, c.stage).Genes[1].Limb[1];
    limb.UpperLength = limb.UpperWidth = limb.LowerLength = limb.LowerWidth =
        static_cast<int16_t>(c.size);
    EXPECT_EQ(c.bipedal, IsBipedal(t.world, 1)) << c.size << " " << c.stage;
    EXPECT_EQ(c.bipedaloid, IsBipedaloid(t.world, 1)) << c.size << " " << c.stage;
  }
  // Limb 0 is part of the volume it is compared with: nothing is ever winged.
  TestWorld t;
  Limb& wing = PutAnimal(t.world, 1, 100, 100).Genes[1].Limb[0];
  wing.UpperLength = wing.UpperWidth = wing.LowerLength = wing.LowerWidth = 1000;
  EXPECT_EQ(0, IsWinged(t.world, 1));
}

TEST(BodyMeasures, ScoreCountsTestedGenesOverADivisorOf144) {
  TestWorld t;
  Animal& a = PutPrimordial(t.world, 1);
  EXPECT_EQ(static_cast<float>(115 / 144.0 * 100), PrimordialScore(t.world, 1));
  a.Genes[0].Head.Vision.MinFrequency = 77;  // not tested
  a.Genes[1].Limb[1].Touch.Resolution = 3;
  EXPECT_EQ(static_cast<float>(115 / 144.0 * 100), PrimordialScore(t.world, 1));
  a.Genes[1].Limb[1].DigitLength = 1;
  a.Genes[0].Head.Audio.SensorExists = kTrue;  // primordial false
  a.Unborn.TimeInEgg = 4;
  EXPECT_EQ(static_cast<float>(112 / 144.0 * 100), PrimordialScore(t.world, 1));
  PutPrimordial(t.world, 2, true);
  EXPECT_EQ(0.0f, PrimordialScore(t.world, 2));
}

TEST(BodyMeasures, MostAndLeastEvolvedTieToTheLowerSlotAndZeroIsNeverLeast) {
  TestWorld t;
  EXPECT_EQ(0, FindMostEvolved(t.world));
  EXPECT_EQ(0, FindLeastEvolved(t.world));
  PutPrimordial(t.world, 3);
  PutPrimordial(t.world, 5).Genes[0].Body.Height = 9;
  PutPrimordial(t.world, 7).Genes[1].Body.Width = 9;
  PutPrimordial(t.world, 9);
  EXPECT_EQ(5, FindMostEvolved(t.world));
  EXPECT_EQ(3, FindLeastEvolved(t.world));
  AnimalAt(t.world, 3).Alive = 0;
  AnimalAt(t.world, 5).Alive = 2;  // anything but 1 is a free slot
  EXPECT_EQ(7, FindMostEvolved(t.world));
  EXPECT_EQ(9, FindLeastEvolved(t.world));
  TestWorld none;
  PutPrimordial(none.world, 2, true);
  EXPECT_EQ(0, FindLeastEvolved(none.world));
  EXPECT_EQ(2, FindMostEvolved(none.world));
}

}  // namespace
}  // namespace ombrivale
