#include "genetics/play_god_search.h"

#include <gtest/gtest.h>

#include "genetics/body_measures.h"
#include "support/test_world.h"

namespace ombrivale::testing {
namespace {

std::vector<int> Slots(const World& world, PlayGodQuery query) {
  return FindThem(world, query).found;
}

// Long, thick back legs (limb 1) on a small body: bipedal.
void MakeBipedal(GeneSet& g) {
  g.Body.Height = 2;
  g.Body.Width = 1;
  g.Limb[1] = {10, 10, 10, 10, 0, 0, {}};
}

TEST(PlayGodSearch, AllIgnoreListsEveryLivingSlotEggsIncluded) {
  TestWorld tw;
  PutAnimal(tw.world, 2, 100, 100);
  PutAnimal(tw.world, 5, 100, 100, kStageEgg);
  PutAnimal(tw.world, 750, 100, 100, kStageInfant);
  AnimalAt(tw.world, 6).Alive = 3;  // not 1: free
  const PlayGodResult all = FindThem(tw.world, {});
  EXPECT_EQ((std::vector<int>{2, 5, 750}), all.found);
  EXPECT_EQ(3, all.living);
  // Nothing selected (-1) passes like "[Ignore]".
  EXPECT_EQ(all.found, Slots(tw.world, {-1, -1, -1, -1}));
}

TEST(PlayGodSearch, NoAnimals) {
  TestWorld tw;
  const PlayGodResult none = FindThem(tw.world, {1, 3, 2, 4});
  EXPECT_TRUE(none.found.empty());
  EXPECT_EQ(0, none.living);
}

TEST(PlayGodSearch, GeneListsCompareTheStagesGeneSet) {
  TestWorld tw;
  Animal& egg = PutAnimal(tw.world, 1, 100, 100, kStageEgg);
  egg.Genes[0].Head.Diet = 3;  // found under "Carnivorous" by its infant genes
  egg.Genes[1].Head.Diet = 0;
  Animal& infant = PutAnimal(tw.world, 2, 100, 100, kStageInfant);
  infant.Genes[0].Head.Diet = 1;
  infant.Genes[1].Head.Diet = 3;
  Animal& adult = PutAnimal(tw.world, 3, 100, 100, kStageAdult);
  adult.Genes[1].Head.Diet = 3;
  adult.Genes[1].Body.Covering = 3;
  adult.Genes[1].Body.BreathingMethod = 2;
  EXPECT_EQ((std::vector<int>{1, 3}), Slots(tw.world, {0, 0, 4, 0}));  // Carnivorous
  EXPECT_EQ((std::vector<int>{2}), Slots(tw.world, {0, 0, 2, 0}));     // Herbivorous
  EXPECT_EQ((std::vector<int>{3}), Slots(tw.world, {4, 0, 0, 0}));     // Feathers
  EXPECT_EQ((std::vector<int>{1, 2}), Slots(tw.world, {2, 0, 0, 0}));  // Skin
  EXPECT_EQ((std::vector<int>{3}), Slots(tw.world, {0, 0, 0, 3}));     // Gills and Lungs
  EXPECT_EQ((std::vector<int>{3}), Slots(tw.world, {4, 0, 4, 3}));     // all three
  EXPECT_TRUE(Slots(tw.world, {4, 0, 4, 2}).empty());
  EXPECT_EQ(3, FindThem(tw.world, {4, 0, 4, 2}).living);  // living counts every slot
}

TEST(PlayGodSearch, WalkingUsesTheShapeTests) {
  TestWorld tw;
  PutAnimal(tw.world, 1, 100, 100, kStageEgg);
  Animal& biped = PutAnimal(tw.world, 2, 100, 100, kStageAdult);
  MakeBipedal(biped.Genes[1]);
  Animal& eggOfBiped = PutAnimal(tw.world, 3, 100, 100, kStageEgg);
  MakeBipedal(eggOfBiped.Genes[0]);  // eggs have no shape: still "Neither"
  PutAnimal(tw.world, 4, 100, 100, kStageAdult);
  ASSERT_EQ(1, IsBipedal(tw.world, 2));
  ASSERT_EQ(1, IsBipedaloid(tw.world, 2));
  ASSERT_EQ(0, IsBipedaloid(tw.world, 4));
  EXPECT_EQ((std::vector<int>{2}), Slots(tw.world, {0, 1, 0, 0}));
  EXPECT_EQ((std::vector<int>{2}), Slots(tw.world, {0, 2, 0, 0}));
  EXPECT_EQ((std::vector<int>{1, 3, 4}), Slots(tw.world, {0, 3, 0, 0}));
}

}  // namespace
}  // namespace ombrivale::testing
