#include "behaviour/mate_search.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "behaviour/literal_reference.h"
#include "genetics/gene_table.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::PutAnimal;
using testing::TestWorld;

// An adult of the founder genome, aged `age` (breeding window 5..10), ready
// to breed.
Animal& PutAdult(World& world, int slot, int x, int y, uint8_t sex, int16_t age = 7) {
  Animal& a = PutAnimal(world, slot, x, y);
  a.Sex = sex;
  a.AgeYears = age;
  a.Mode = kModeSeekMate;
  a.HeadingX = 0;
  a.HeadingY = 0;
  return a;
}

// Eggs laid: eggs in slots 3 and above (the tests' parents use 1 and 2).
int Eggs(const World& world) {
  int eggs = 0;
  for (int slot = 3; slot <= kSlotCount; ++slot) {
    const Animal& a = AnimalAt(world, slot);
    eggs += IsOccupied(a) && a.Stage == kStageEgg;
  }
  return eggs;
}

// Changes the first `count` of the 115 compared values of `a` (egg genes,
// then set 0, then set 1), each by one step.
void ChangeComparedValues(Animal& a, int count) {
  int changed = 0;
  const auto step = [](int v) { return v == 255 ? v - 1 : v + 1; };
  for (const UnbornField& f : UnbornFields()) {
    if (changed == count) return;
    SetUnbornValue(a.Unborn, f, step(UnbornValue(a.Unborn, f)));
    ++changed;
  }
  for (GeneSet& g : a.Genes) {
    for (int index : ComparedFields()) {
      if (changed == count) return;
      const GeneField& f = GeneSetFields()[static_cast<size_t>(index)];
      SetGeneValue(g, f, step(GeneValue(g, f)));
      ++changed;
    }
  }
}

TEST(IsCompatible, NeedsEightySixEqualValuesOfOneHundredFifteen) {
  for (int differing = 0; differing <= 115; ++differing) {
    TestWorld t;
    PutAdult(t.world, 1, 0, 0, 0);
    Animal& b = PutAdult(t.world, 2, 0, 0, 1);
    ChangeComparedValues(b, differing);
    const bool expected = differing <= 29;  // 86 equal: 75.4; 85 equal: 74.6
    EXPECT_EQ(expected, IsCompatible(t.world, 1, 2)) << differing;
    EXPECT_EQ(expected, IsCompatible(t.world, 2, 1)) << differing;
    EXPECT_EQ(expected, testing::LiteralIsCompatible(t.world, 1, 2)) << differing;
  }
}

TEST(IsCompatible, IgnoresTheValuesItDoesNotCompareAndTheState) {
  TestWorld t;
  PutAdult(t.world, 1, 0, 0, 0);
  Animal& b = PutAdult(t.world, 2, 5000, 5000, 1, 2);
  ChangeComparedValues(b, 29);
  for (GeneSet& g : b.Genes) {
    g.Head.Vision.MinFrequency = 9;
    g.Head.Smell.Resolution = 9;
    g.Head.Taste.Distance = 9;
    g.Limb[0].Touch.Distance = 9;
  }
  b.Stage = kStageInfant;
  b.Hunger = 999;
  EXPECT_TRUE(IsCompatible(t.world, 1, 2));
  EXPECT_TRUE(IsCompatible(t.world, 1, 1));  // does not test for the same animal
}

TEST(SeekMate, BreedingWindows) {
  struct Case {
    int16_t seekerAge, partnerAge;
    bool mates;
  };
  const Case cases[] = {
      {5, 6, true},                    // the seeker at exactly StartsBreeding may seek
      {6, 5, false},                   // a candidate at its own StartsBreeding is passed over
      {9, 9, true},   {10, 7, false},  // the seeker's StopsBreeding is excluded
      {7, 10, false},                  // so is the candidate's
      {4, 7, false},
  };
  for (const Case& c : cases) {
    TestWorld t;
    Animal& seeker = PutAdult(t.world, 1, 1000, 1000, 0, c.seekerAge);
    Animal& partner = PutAdult(t.world, 2, 1000, 1050, 1, c.partnerAge);
    SeekMate(t.world, 1);
    EXPECT_EQ(c.mates ? 7 : 0, Eggs(t.world)) << c.seekerAge << "/" << c.partnerAge;
    EXPECT_EQ(c.mates ? 1 : 0, seeker.HasBred);
    EXPECT_EQ(c.mates ? 1 : 0, partner.HasBred);
  }
}

TEST(SeekMate, CandidateTests) {
  enum Change {
    kNone,
    kSameSex,
    kEgg,
    kBred,
    kDead,
    kInfantInWindow,
    kInfantOutOfWindow,
    kSeekerBred,
    kSeekerInfant,
    kFar
  };
  struct Case {
    Change change;
    bool mates;
  };
  const Case cases[] = {{kNone, true},
                        {kSameSex, false},
                        {kEgg, false},
                        {kBred, false},
                        {kDead, false},
                        {kInfantInWindow, true},
                        {kInfantOutOfWindow, false},
                        {kSeekerBred, false},
                        {kSeekerInfant, false}};
  for (const Case& c : cases) {
    TestWorld t;
    Animal& seeker = PutAdult(t.world, 1, 1000, 1000, 1);
    Animal& other = PutAdult(t.world, 2, 1000, 1000, 0);
    switch (c.change) {
      case kSameSex:
        other.Sex = 1;
        break;
      case kEgg:
        other.Stage = kStageEgg;
        break;
      case kBred:
        other.HasBred = 1;
        break;
      case kDead:
        other.Alive = 0;
        break;
      case kInfantInWindow:  // its infant set admits its age
        other.Stage = kStageInfant;
        other.Genes[1].Genitalia.StartsBreeding = 20;
        break;
      case kInfantOutOfWindow:
        other.Stage = kStageInfant;
        other.Genes[0].Genitalia.StopsBreeding = 7;
        break;
      case kSeekerBred:
        seeker.HasBred = 1;
        break;
      case kSeekerInfant:
        seeker.Stage = kStageInfant;
        break;
      default:
        break;
    }
    SeekMate(t.world, 1);
    EXPECT_EQ(c.mates ? 7 : 0, Eggs(t.world)) << c.change;
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
    PutAdult(t.world, 2, c.partnerX, c.partnerY, 1);
    for (GeneSet& g : seeker.Genes)
      g.Head.Smell.Distance = c.smell;
    AnimalAt(t.world, 2).Genes[0].Head.Smell.Distance = c.smell;  // keeps them compatible
    AnimalAt(t.world, 2).Genes[1].Head.Smell.Distance = c.smell;
    SeekMate(t.world, 1);
    EXPECT_EQ(c.mates ? 7 : 0, Eggs(t.world)) << c.partnerX << "," << c.partnerY;
    if (!c.mates) {
      EXPECT_EQ(c.headingX, seeker.HeadingX) << c.partnerX << "," << c.partnerY;
      EXPECT_EQ(c.headingY, seeker.HeadingY) << c.partnerX << "," << c.partnerY;
    }
  }
}

TEST(SeekMate, NoCandidateLeavesTheHeadingUnlessTheSmellIsNegative) {
  TestWorld t;
  Animal& seeker = PutAdult(t.world, 1, 1000, 1000, 0);
  SeekMate(t.world, 1);
  EXPECT_EQ(0, seeker.HeadingX);
  EXPECT_EQ(0, seeker.HeadingY);
  for (GeneSet& g : seeker.Genes)
    g.Head.Smell.Distance = -1;
  SeekMate(t.world, 1);  // -2 < -1: the random diagonal
  EXPECT_EQ(1, std::abs(seeker.HeadingX));
  EXPECT_EQ(1, std::abs(seeker.HeadingY));
}

TEST(SeekMate, TiesGoToTheLowerSlotAndTheNearestWins) {
  TestWorld t;
  Animal& seeker = PutAdult(t.world, 5, 5000, 5000, 0);
  PutAdult(t.world, 9, 5000, 4500, 1);  // 500 up
  PutAdult(t.world, 7, 5000, 5500, 1);  // 500 down: same distance, lower slot
  PutAdult(t.world, 3, 6000, 5000, 1);  // 1000 right: farther
  SeekMate(t.world, 5);
  EXPECT_EQ(0, seeker.HeadingX);
  EXPECT_EQ(1, seeker.HeadingY);
}

TEST(SeekMate, SexZeroPartnerComesFirst) {
  // The eggs lie at the second partner's place: the sex-1 animal's.
  for (uint8_t seekerSex : {0, 1}) {
    TestWorld t;
    PutAdult(t.world, 1, 1000, 1000, seekerSex);
    PutAdult(t.world, 2, 1050, 1000, static_cast<uint8_t>(1 - seekerSex));
    SeekMate(t.world, 1);
    const int sexOneX = seekerSex == 1 ? 1000 : 1050;
    ASSERT_EQ(7, Eggs(t.world));
    EXPECT_EQ(sexOneX, AnimalAt(t.world, 3).X) << int{seekerSex};
  }
}

// Random crowds of near-compatible adults: the library's SeekMate (cheap
// tests and distance before the genome comparison, early-ending comparison)
// and the literal one must leave identical worlds, litters included.
void RandomCrowd(World& world, std::mt19937& rng) {
  std::uniform_int_distribution<int> percent(0, 99);
  const int animals = std::uniform_int_distribution<int>(2, 120)(rng);
  for (int n = 0; n < animals; ++n) {
    const int slot = std::uniform_int_distribution<int>(1, kSlotCount)(rng);
    Animal& a = PutAnimal(world, slot, std::uniform_int_distribution<int>(2000, 2600)(rng),
                          std::uniform_int_distribution<int>(2000, 2600)(rng),
                          static_cast<int16_t>(percent(rng) % 4 == 0 ? percent(rng) % 2 - 1 : 1));
    a.Sex = static_cast<uint8_t>(percent(rng) % 2);
    a.AgeYears = static_cast<int16_t>(std::uniform_int_distribution<int>(3, 11)(rng));
    a.HasBred = percent(rng) < 20 ? 1 : 0;
    a.HeadingX = 0;
    a.HeadingY = 0;
    ChangeComparedValues(a, std::uniform_int_distribution<int>(0, 40)(rng));
    for (GeneSet& g : a.Genes) {
      const int smell[] = {-5, 0, 50, 120, 300, 5000, 20000};
      g.Head.Smell.Distance = static_cast<int16_t>(smell[percent(rng) % 7]);
      g.Genitalia.YoungPerLitter = static_cast<int16_t>(percent(rng) % 9);
    }
  }
  world.OverwriteLeast = static_cast<uint8_t>(percent(rng) % 2);
}

TEST(SeekMate, SameAsTheLiteralSearchOnRandomCrowds) {
  std::mt19937 rng(6121);
  int matings = 0;
  for (int w = 0; w < 150; ++w) {
    TestWorld a(500 + static_cast<uint64_t>(w));
    TestWorld b(1);
    RandomCrowd(a.world, rng);
    b.world = a.world;
    b.world.seam = &b.seam;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      if (!IsOccupied(AnimalAt(a.world, slot))) continue;
      const int before = Eggs(a.world);
      SeekMate(a.world, slot);
      testing::LiteralSeekMate(b.world, slot);
      matings += Eggs(a.world) != before;
      // The generator's state shows a different draw at once; the whole
      // world is compared when the world is done.
      ASSERT_EQ(a.world.Rng.state, b.world.Rng.state) << "world " << w << ", seeker " << slot;
    }
    ASSERT_EQ("", testing::DescribeDifference(a.world, b.world, a.seam, b.seam)) << "world " << w;
  }
  EXPECT_GT(matings, 50);  // the crowds do breed
}

}  // namespace
}  // namespace ombrivale
