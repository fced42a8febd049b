#include "behaviour/mate_search.h"

#include <gtest/gtest.h>

#include <random>

#include "behaviour/literal_reference.h"
#include "behaviour/species.h"
#include "genetics/gene_table.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::PutAnimal;
using testing::TestWorld;

// An adult of the founder genome (breeding window 5..10) seeking a mate.
Animal& PutAdult(World& world, int slot, int x, int y, uint8_t sex, int16_t age = 7) {
  Animal& a = PutAnimal(world, slot, x, y);
  a.Sex = sex;
  a.AgeYears = age;
  a.Mode = kModeSeekMate;
  a.HeadingX = 0;
  a.HeadingY = 0;
  return a;
}

int Eggs(const World& world) {
  int eggs = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& a = AnimalAt(world, slot);
    eggs += IsOccupied(a) && a.Stage == kStageEgg;
  }
  return eggs;
}

// Changes the first `count` of the 115 compared values of `a` (egg genes,
// then set 0, then set 1), each by one step.
void ChangeComparedValues(Animal& a, int count) {
  const auto step = [](int v) { return v == 255 ? v - 1 : v + 1; };
  for (const UnbornField& f : UnbornFields()) {
    if (count-- <= 0) return;
    SetUnbornValue(a.Unborn, f, step(UnbornValue(a.Unborn, f)));
  }
  for (GeneSet& g : a.Genes) {
    for (const int index : ComparedFields()) {
      if (count-- <= 0) return;
      const GeneField& f = GeneSetFields()[static_cast<size_t>(index)];
      SetGeneValue(g, f, step(GeneValue(g, f)));
    }
  }
}

TEST(IsCompatible, NeedsEightySixEqualValuesOfOneHundredFifteen) {
  for (int differing = 0; differing <= 115; ++differing) {
    TestWorld t;
    PutAdult(t.world, 1, 0, 0, 0);
    ChangeComparedValues(PutAdult(t.world, 2, 0, 0, 1), differing);
    const bool expected = differing <= 29;  // 86 equal: 75.4 per cent; 85 equal: 74.6
    EXPECT_EQ(expected, IsCompatible(t.world, 1, 2)) << differing;
    EXPECT_EQ(expected, IsCompatible(t.world, 2, 1)) << differing;
    EXPECT_EQ(expected, testing::LiteralIsCompatible(t.world, 1, 2)) << differing;
    EXPECT_EQ(expected, AreCompatible(PackedGenomeOf(t.world, 1), PackedGenomeOf(t.world, 2)))
        << differing;
  }
}

TEST(SeekMate, MatesBelowOneCellAndTurnsWithinSmellRange) {
  struct Case {
    int partnerX, partnerY;
    int16_t smell;
    bool mates;
    int headingX, headingY;  // when not mating
  };
  const Case cases[] = {
      {1000, 1000, 5000, true, 0, 0},     // the same place
      {1099, 1000, 5000, true, 0, 0},     // 99 apart
      {1060, 1080, 5000, false, 1, 1},    // exactly 100 apart: turns
      {1000, 900, 101, false, 0, -1},     // 100 below the smell distance
      {1000, 900, 100, false, 0, 0},      // 100 not below it: unchanged
      {1000, 1110, 60, false, 0, 0},      // 110 is below 2 x 60 but not below 60
      {26000, 9000, 30000, false, 1, 1},  // 2 x 30000 is done in 32 bits
  };
  for (const Case& c : cases) {
    TestWorld t;
    Animal& seeker = PutAdult(t.world, 1, 1000, 1000, 0);
    Animal& partner = PutAdult(t.world, 2, c.partnerX, c.partnerY, 1);
    for (Animal* a : {&seeker, &partner}) {
      for (GeneSet& g : a->Genes)
        g.Head.Smell.Distance = c.smell;  // both: they stay compatible
    }
    SeekMate(t.world, 1);
    EXPECT_EQ(c.mates ? 7 : 0, Eggs(t.world)) << c.partnerX << "," << c.partnerY;
    if (!c.mates) {
      EXPECT_EQ(c.headingX, seeker.HeadingX) << c.partnerX << "," << c.partnerY;
      EXPECT_EQ(c.headingY, seeker.HeadingY) << c.partnerX << "," << c.partnerY;
    }
  }
}

// Random crowds of near-compatible animals of every stage, age and smell:
// the library's search (cheap tests and distance before the genome, an
// early-ending comparison) and the literal one leave identical worlds,
// litters included.
void RandomCrowd(World& world, std::mt19937& rng) {
  auto draw = [&rng](int low, int high) { return std::uniform_int_distribution(low, high)(rng); };
  const int16_t smells[] = {-5, 0, 50, 120, 300, 5000, 20000};
  for (int n = draw(2, 120); n > 0; --n) {
    const int16_t stage = static_cast<int16_t>(draw(0, 3) == 0 ? draw(-1, 0) : kStageAdult);
    Animal& a = PutAnimal(world, draw(1, kSlotCount), draw(2000, 2600), draw(2000, 2600), stage);
    a.Sex = static_cast<uint8_t>(draw(0, 1));
    a.AgeYears = static_cast<int16_t>(draw(3, 11));
    a.HasBred = draw(0, 4) == 0 ? 1 : 0;
    a.HeadingX = 0;
    a.HeadingY = 0;
    ChangeComparedValues(a, draw(0, 40));
    for (GeneSet& g : a.Genes) {
      g.Head.Smell.Distance = smells[draw(0, 6)];
      g.Genitalia.YoungPerLitter = static_cast<int16_t>(draw(0, 8));
    }
  }
  world.OverwriteLeast = static_cast<uint8_t>(draw(0, 1));
}

TEST(SeekMate, SameAsTheLiteralSearchOnRandomCrowds) {
  std::mt19937 rng(6121);
  int bred = 0;
  for (int w = 0; w < 150; ++w) {
    TestWorld t(500 + static_cast<uint64_t>(w));
    RandomCrowd(t.world, rng);
    const int eggs = Eggs(t.world);
    ASSERT_TRUE(testing::SameAsLiteral(t, SeekMate, testing::LiteralSeekMate)) << "world " << w;
    bred += Eggs(t.world) != eggs;
  }
  EXPECT_GT(bred, 30);  // the crowds do breed
}

}  // namespace
}  // namespace ombrivale
