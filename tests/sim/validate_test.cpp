#include "sim/validate.h"

#include <gtest/gtest.h>

#include "genetics/body_measures.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

TEST(ValidateDeathTest, StopsAtTheFirstBrokenInvariant) {
  testing::TestWorld t;
  World& world = t.world;
  testing::PutAnimal(world, 5, 5050, 5050);
  Validate(world);  // sound: returns
  AnimalAt(world, 5).X = -1;
  EXPECT_DEATH(Validate(world), "slot 5 at \\(-1, 5050\\)");
  AnimalAt(world, 5).Alive = 0;  // a free slot may hold anything
  Validate(world);
  world.SpeedCount = 31;
  EXPECT_DEATH(Validate(world), "SpeedCount");
  world.SpeedCount = 0;

  // Food written past the index, and a kept count left behind by a gene
  // written past it.
  world.Map.At(kFoodKindLayer, 7, 7) = kSeaScum;
  world.Map.At(kFoodAmountLayer, 7, 7) = 1;
  EXPECT_DEATH(Validate(world), "food index");
  world.Map.NoteFoodChange(7, 7);
  Validate(world);
  AnimalAt(world, 5).Alive = 1;
  AnimalAt(world, 5).X = 5050;
  EXPECT_EQ(5, FindLeastEvolvedKept(world));  // counts the table: now kept
  AnimalAt(world, 5).Genes[1].Tail.Length = 99;
  EXPECT_DEATH(Validate(world), "evolvedness count");
  NoteGenesChanged(world, 5);
  Validate(world);
}

TEST(ValidateDeathTest, AnimalCountMustMatchTheOccupiedSlotsAfterAMonthStep) {
  testing::TestWorld t;
  World& world = t.world;
  for (const int slot : {3, 9, 750})
    testing::PutAnimal(world, slot, 5050, 5050);
  testing::PutAnimal(world, 10, 5050, 5050, kStageEgg);  // eggs count
  world.AnimalCount = 4;
  ValidateMonthStep(world);
  for (const int16_t wrong : {3, 5, 0}) {
    world.AnimalCount = wrong;
    EXPECT_DEATH(ValidateMonthStep(world), "AnimalCount differs from the occupied slots");
  }
  AnimalAt(world, 9).Alive = 2;  // anything but 1 is a free slot
  world.AnimalCount = 3;
  ValidateMonthStep(world);
}

}  // namespace
}  // namespace ombrivale
