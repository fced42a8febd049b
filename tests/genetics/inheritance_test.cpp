#include "genetics/inheritance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "genetics/gene_table.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::PutAnimal;
using testing::TestWorld;

TEST(BlendGene, WholeMeansStayAndBiasedHalvesGoTheirWay) {
  TestWorld t(7);
  struct Case {
    double a, b;
    int bias;
    float mean;
  };
  const Case cases[] = {{4, 6, 0, 5},  {-2, -4, 1, -3}, {4, 7, 1, 6},
                        {4, 7, -1, 5}, {-1, 0, 1, 0},   {-1, 0, -1, -1}};
  for (const Case& c : cases)
    EXPECT_EQ(c.mean, BlendGene(t.world, c.a, c.b, c.bias)) << c.a << " " << c.b << " " << c.bias;
  const float unbiased = BlendGene(t.world, 4, 7, 0);  // up, down or still a half
  EXPECT_TRUE(unbiased == 5 || unbiased == 6 || unbiased == 5.5f) << unbiased;
}

TEST(Inherit, BlendsEveryGeneByItsRuleAndLeavesKeptGenes) {
  TestWorld t;
  Animal& a = PutAnimal(t.world, 1, 0, 0);
  Animal& b = PutAnimal(t.world, 2, 0, 0);
  Animal& child = AnimalAt(t.world, 3);  // never used: all zero
  a.Genes[0].Body.Height = 4;            // blended up: 5.5 gives 6
  b.Genes[0].Body.Height = 7;
  a.Genes[1].Tail.Flexibility = 10;  // up on an 8-bit gene
  b.Genes[1].Tail.Flexibility = 13;
  a.Genes[1].Limb[1].DigitNumber = 3;
  b.Genes[1].Limb[1].DigitNumber = 5;
  Inherit(t.world, 1, 2, 3);
  EXPECT_EQ(6, child.Genes[0].Body.Height);
  EXPECT_EQ(12, child.Genes[1].Tail.Flexibility);
  EXPECT_EQ(4, child.Genes[1].Limb[1].DigitNumber);
  // Everything else the parents share the child gets; kept genes stay 0.
  for (const UnbornField& f : UnbornFields())
    EXPECT_EQ(UnbornValue(a.Unborn, f), UnbornValue(child.Unborn, f)) << f.name;
  for (int l = 0; l < 2; ++l) {
    for (const GeneField& f : GeneSetFields()) {
      if (GeneValue(a.Genes[l], f) != GeneValue(b.Genes[l], f)) continue;
      const int expected = f.blend == Blend::Kept ? 0 : GeneValue(a.Genes[l], f);
      EXPECT_EQ(expected, GeneValue(child.Genes[l], f)) << l << f.suffix;
    }
  }
}

// Five passes, each one step on one gene within its bounds and rules, run
// on a genome set at the edges of those rules.
TEST(Mutate, OneStepOnAtMostFiveGenesWithinBoundsAndRules) {
  TestWorld t(5);
  bool sawSkin = false, sawScum = false, sawBirthKindStay = false, sawNeckDown = false;
  for (int run = 0; run < 4000; ++run) {
    Animal& a = PutAnimal(t.world, 1, 0, 0, kStageEgg);
    a.Unborn.EggSize = 1;               // bound 1
    a.Unborn.EggColor = {255, 0, 255};  // held, never wrapped
    for (GeneSet& g : a.Genes) {
      g.Body.Covering = kScales;   // feathers need a winged biped: never
      g.Head.Diet = kHerbivorous;  // meat needs a head over 5 wide and 2 high
      g.Head.Width = 5;
      g.Genitalia.AdultAge = g.Genitalia.LifeSpan = 10;  // AdultAge at most LifeSpan
      g.Head.NeckHeight = 32767;                         // unbounded: held, never wrapped
      g.Body.Width = 7;
      g.Limb[0].UpperWidth = 3;  // at most half the body width
    }
    a.Genes[0].Body.BreathingMethod = kLungs;  // a lung breather's long egg: no live birth
    a.Genes[0].Genitalia.BirthKind = 0;
    a.Genes[1].Body.BreathingMethod = kGills;
    a.Genes[1].Genitalia.BirthKind = 0;
    a.Unborn.TimeInEgg = run % 2 == 0 ? 0 : 10;
    const Animal before = a;
    Mutate(t.world, 1);

    int changed = 0;
    for (const UnbornField& f : UnbornFields()) {
      const int d = UnbornValue(a.Unborn, f) - UnbornValue(before.Unborn, f);
      ASSERT_LE(std::abs(d), 5) << f.name;
      changed += d != 0;
    }
    EXPECT_GE(a.Unborn.EggSize, 1);
    EXPECT_GE(a.Unborn.TimeInEgg, 0);
    EXPECT_NE(0, a.Unborn.EggColor.Red);
    EXPECT_NE(255, a.Unborn.EggColor.Green);
    for (int l = 0; l < 2; ++l) {
      const GeneSet& g = a.Genes[l];
      for (const GeneField& f : GeneSetFields()) {
        const int d = GeneValue(g, f) - GeneValue(before.Genes[l], f);
        changed += d != 0;
        if (f.slot < 0) {
          EXPECT_EQ(0, d) << f.suffix;  // kept genes and flags never move
        }
      }
      EXPECT_NE(kFeathers, g.Body.Covering);
      if (g.Head.Width <= 5) {
        EXPECT_LE(g.Head.Diet, kHerbivorous);
      }
      EXPECT_LE(g.Genitalia.AdultAge, std::max<int>(10, g.Genitalia.LifeSpan));
      EXPECT_GT(g.Head.NeckHeight, 32000);
      EXPECT_LE(g.Limb[0].UpperWidth, 4);  // 3.5 stored as 4, and no further
      sawSkin |= g.Body.Covering == kSkin;
      sawScum |= g.Head.Diet == kScumSucker;
      sawNeckDown |= g.Head.NeckHeight == 32766;
    }
    if (a.Genes[0].Body.BreathingMethod == kLungs && before.Unborn.TimeInEgg == 10) {
      EXPECT_EQ(0, a.Genes[0].Genitalia.BirthKind);
    }
    sawBirthKindStay |= a.Genes[1].Genitalia.BirthKind == 1;
    EXPECT_LE(changed, 5);
  }
  EXPECT_TRUE(sawSkin && sawScum && sawBirthKindStay && sawNeckDown);
}

}  // namespace
}  // namespace ombrivale
