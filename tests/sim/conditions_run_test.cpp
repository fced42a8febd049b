// Conditions change a real run: without mutation passes every young is the
// mean of its parents, so a world of identical founders stays one genome;
// without the drift the sea level never moves. (Default conditions keeping
// a run as it was is what the seeded runs' pinned digests check.)
#include <gtest/gtest.h>

#include "genetics/gene_table.h"
#include "sim/session.h"
#include "sim/tick.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

// Runs seed 7 for sixteen years under `conditions`; counts the occupied slots
// whose inherited genes differ from the first founder's.
int RunCountingChangedGenomes(const Conditions& conditions, int& hatched, bool& seaMoved) {
  testing::TestWorld t;
  World& world = t.world;
  StartUpPlan plan;
  plan.loadWorld = false;
  plan.seed = 7;
  StartUp(world, plan);
  world.conditions = conditions;
  const Animal founder = AnimalAt(world, 1);
  const int16_t seaLevel = world.SeaLevel;
  seaMoved = false;
  while (world.Year < 16) {
    SimulationTick(world);
    seaMoved |= world.SeaLevel != seaLevel;
  }
  int changed = 0;
  hatched = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& a = AnimalAt(world, slot);
    if (!IsOccupied(a)) continue;
    hatched += a.Stage != kStageEgg;
    bool differs = false;
    for (const UnbornField& f : UnbornFields())
      differs |= UnbornValue(a.Unborn, f) != UnbornValue(founder.Unborn, f);
    for (int l = 0; l < 2; ++l) {
      for (const GeneField& f : GeneSetFields())
        differs |=
            f.blend != Blend::Kept && GeneValue(a.Genes[l], f) != GeneValue(founder.Genes[l], f);
    }
    changed += differs;
  }
  return changed;
}

TEST(Conditions, NoMutationKeepsTheFoundersGenomeAndNoDriftTheSeaLevel) {
  int hatched = 0;
  bool seaMoved = false;
  Conditions still;
  still.mutationPasses = 0;
  still.seaLevelDrift = 0;
  EXPECT_EQ(0, RunCountingChangedGenomes(still, hatched, seaMoved));
  EXPECT_GT(hatched, 10);
  EXPECT_FALSE(seaMoved);

  EXPECT_GT(RunCountingChangedGenomes(Conditions{}, hatched, seaMoved), 10);
  EXPECT_GT(hatched, 10);
  EXPECT_TRUE(seaMoved);
}

}  // namespace
}  // namespace ombrivale
