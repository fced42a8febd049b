#include "genetics/play_god_search.h"

#include <gtest/gtest.h>

#include "support/test_world.h"

namespace ombrivale {
namespace {

TEST(PlayGodSearch, EachListTestsTheStagesGeneSetAndEggsWalkNeither) {
  testing::TestWorld tw;
  World& w = tw.world;
  Animal& egg = testing::PutAnimal(w, 1, 100, 100, kStageEgg);
  egg.Genes[0].Head.Diet = kCarnivorous;              // an egg is found by its infant genes
  egg.Genes[0].Limb[1] = {10, 10, 10, 10, 0, 0, {}};  // but has no shape
  Animal& infant = testing::PutAnimal(w, 2, 100, 100, kStageInfant);
  infant.Genes[0].Head.Diet = kHerbivorous;
  infant.Genes[1].Head.Diet = kCarnivorous;
  Animal& adult = testing::PutAnimal(w, 3, 100, 100);
  adult.Genes[1].Head.Diet = kCarnivorous;
  adult.Genes[1].Body.Covering = kFeathers;
  adult.Genes[1].Body.BreathingMethod = kGillsAndLungs;
  Animal& biped = testing::PutAnimal(w, 750, 100, 100);
  biped.Genes[1].Body.Height = 2;  // long, thick back legs on a small body
  biped.Genes[1].Body.Width = 1;
  biped.Genes[1].Limb[1] = {10, 10, 10, 10, 0, 0, {}};
  AnimalAt(w, 6).Alive = 3;  // not 1: free

  struct Case {
    PlayGodQuery query;  // entry k >= 1 of a list is gene value k - 1
    std::vector<int> found;
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, {1, 2, 3, 750}},
      {{-1, -1, -1, -1}, {1, 2, 3, 750}},  // nothing selected
      {{0, 0, 4, 0}, {1, 3}},
      {{0, 0, 2, 0}, {2}},
      {{4, 0, 0, 0}, {3}},
      {{2, 0, 0, 0}, {1, 2, 750}},
      {{0, 0, 0, 3}, {3}},
      {{4, 0, 4, 3}, {3}},
      {{4, 0, 4, 2}, {}},
      {{0, 1, 0, 0}, {750}},
      {{0, 2, 0, 0}, {750}},
      {{0, 3, 0, 0}, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    const PlayGodResult result = FindThem(w, c.query);
    EXPECT_EQ(c.found, result.found)
        << c.query.covering << c.query.walking << c.query.diet << c.query.breathing;
    EXPECT_EQ(4, result.living);
  }
  EXPECT_EQ(0, FindThem(testing::TestWorld().world, {}).living);
}

}  // namespace
}  // namespace ombrivale
