// The whole life cycle through the real tick: two founder eggs in a sea full
// of scum hatch, grow up, breed over generations and leave a population that
// has drifted away from the founders' genome.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include "genetics/body_measures.h"
#include "genetics/gene_table.h"
#include "sim/tick.h"
#include "support/test_world.h"
#include "world/map_picture.h"
#include "world/world_gen.h"

namespace ombrivale {
namespace {

using testing::FillRows;
using testing::TestWorld;

constexpr int kYears = 300;
constexpr int kSeaLevel = 15;
constexpr int kSeaBed = 95;  // ground from here down

// Sky above row 15, water down to row 94 with sea scum in every water cell,
// ground below; the founders as the new-world routine lays them, mid-sea.
void BuildSeaWorld(World& world) {
  FillRows(world, kMapTopRow, kSeaLevel - 1, kSky);
  FillRows(world, kSeaLevel, kSeaBed - 1, kWater);
  FillRows(world, kSeaBed, kMapBottomRow, kGround);
  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = kSeaLevel; y < kSeaBed; ++y) {
      world.Map.At(kFoodKindLayer, x, y) = kSeaScum;
      world.Map.At(kFoodAmountLayer, x, y) = 10000;
    }
  }
  world.Map.RebuildFoodIndex();
  world.SeaLevel = kSeaLevel;
  ReDrawMap(world);
  for (int slot = 1; slot <= 2; ++slot) {
    CreateFounder(world, slot);
    Animal& egg = AnimalAt(world, slot);
    egg.Sex = static_cast<uint8_t>(slot - 1);
    egg.X = static_cast<int16_t>(16000 + (slot == 1 ? -1 : 1));
    egg.Y = 5000;
    egg.Stage = kStageEgg;
    egg.EggTimer = egg.Unborn.TimeInEgg;
    egg.Breath = egg.Genes[0].Body.BreathCapasity;
    egg.Hunger = 500;
  }
  world.Year = 0;
  world.Month = 2;
  world.GameStarted = 1;
}

// The compared genes of an animal, as one comparable list.
std::vector<int> Genome(const Animal& a) {
  std::vector<int> genome;
  for (const UnbornField& f : UnbornFields())
    genome.push_back(UnbornValue(a.Unborn, f));
  for (const GeneSet& g : a.Genes) {
    for (int index : ComparedFields())
      genome.push_back(GeneValue(g, GeneSetFields()[static_cast<size_t>(index)]));
  }
  return genome;
}

TEST(LifeCycle, TwoFounderEggsBecomeAnEvolvingPopulation) {
  TestWorld t(20261206);
  World& world = t.world;
  BuildSeaWorld(world);
  const std::vector<int> founderGenome = Genome(AnimalAt(world, 1));
  const float founderScore = PrimordialScore(world, 1);

  bool hatched = false;
  bool grewUp = false;
  int mostAlive = 0;
  int laid = 0;  // eggs seen appearing in a slot that held no egg the tick before
  std::vector<uint8_t> wasEgg(kSlotCount + 1, 0);
  for (int slot = 1; slot <= 2; ++slot)
    wasEgg[static_cast<size_t>(slot)] = 1;
  while (world.Year < kYears) {
    SimulationTick(world);
    int alive = 0;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      const Animal& a = AnimalAt(world, slot);
      const bool egg = IsOccupied(a) && a.Stage == kStageEgg;
      laid += egg && !wasEgg[static_cast<size_t>(slot)];
      wasEgg[static_cast<size_t>(slot)] = egg;
      if (!IsOccupied(a)) continue;
      ++alive;
      hatched |= a.Stage >= kStageInfant;
      grewUp |= a.Stage == kStageAdult;
    }
    mostAlive = std::max(mostAlive, alive);
    if (alive == 0) break;
  }

  EXPECT_TRUE(hatched);
  EXPECT_TRUE(grewUp);
  EXPECT_GT(laid, 100) << "eggs laid";
  EXPECT_EQ(kYears, world.Year) << "the population died out";

  std::set<std::vector<int>> genomes;
  float lowestScore = 100;
  int living = 0;
  int changed = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& a = AnimalAt(world, slot);
    if (!IsOccupied(a)) continue;
    ++living;
    const std::vector<int> genome = Genome(a);
    genomes.insert(genome);
    changed += genome != founderGenome;
    lowestScore = std::min(lowestScore, PrimordialScore(world, slot));
  }
  EXPECT_GT(living, 10);
  EXPECT_GT(genomes.size(), 1u) << "distinct genomes";
  EXPECT_GT(changed, 0);
  EXPECT_LT(lowestScore, founderScore);
  RecordProperty("MostAlive", mostAlive);
  RecordProperty("Living", living);
  RecordProperty("DistinctGenomes", static_cast<int>(genomes.size()));
  RecordProperty("EggsLaid", laid);
  std::printf(
      "most alive %d, living %d, distinct genomes %zu, eggs laid %d, lowest score %.2f "
      "(founders %.2f)\n",
      mostAlive, living, genomes.size(), laid, static_cast<double>(lowestScore),
      static_cast<double>(founderScore));
}

}  // namespace
}  // namespace ombrivale
