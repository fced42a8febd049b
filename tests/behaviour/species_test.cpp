#include "behaviour/species.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>

#include "behaviour/mate_search.h"
#include "genetics/body_measures.h"
#include "support/test_world.h"

namespace ombrivale {
namespace {

using testing::TestWorld;

// Adds one to compared value `index` (0..114) of the animal.
void Change(Animal& a, int index, int by = 1) {
  const ComparedValue v = ComparedValues()[static_cast<size_t>(index)];
  auto* at = reinterpret_cast<unsigned char*>(&a) + v.offset;
  if (v.size == 1) {
    *at = static_cast<unsigned char>(*at + by);
  } else {
    int16_t value;
    std::memcpy(&value, at, 2);
    value = static_cast<int16_t>(value + by);
    std::memcpy(at, &value, 2);
  }
}

// An adult born into `slot` with `genome`'s genes, as a birth would leave
// it: the species grouping is told, the family record has it.
void AddAdult(World& world, int slot, const Animal& genome) {
  Animal& a = AnimalAt(world, slot);
  a = genome;
  a.Alive = 1;
  a.Stage = kStageAdult;
  NoteGenesChanged(world, slot);
  RecordFounder(world.lineage, slot, world.Year, world.Month, 0);
}

Animal Founder() {
  TestWorld t;
  return testing::PutAnimal(t.world, 1, 0, 0);
}

// The literal rule: union of every compatible pair of adults.
std::vector<int> LiteralGroups(const World& world) {
  std::vector<int> group(kSlotCount + 1, 0);
  for (int i = 1; i <= kSlotCount; ++i)
    group[static_cast<size_t>(i)] = i;
  const auto find = [&group](int i) {
    while (group[static_cast<size_t>(i)] != i)
      i = group[static_cast<size_t>(i)];
    return i;
  };
  const auto adult = [&world](int i) {
    return IsOccupied(AnimalAt(world, i)) && AnimalAt(world, i).Stage == kStageAdult;
  };
  for (int i = 1; i <= kSlotCount; ++i) {
    for (int j = i + 1; j <= kSlotCount; ++j) {
      if (adult(i) && adult(j) && IsCompatible(world, i, j)) {
        group[static_cast<size_t>(std::max(find(i), find(j)))] = std::min(find(i), find(j));
      }
    }
  }
  std::vector<int> result(kSlotCount + 1, 0);
  for (int i = 1; i <= kSlotCount; ++i)
    result[static_cast<size_t>(i)] = adult(i) ? find(i) : 0;
  return result;
}

// Two partitions alike up to the names of their parts.
void ExpectSamePartition(const std::vector<int>& literal, const World& world) {
  std::map<int, int32_t> speciesOfGroup;
  std::map<int32_t, int> groupOfSpecies;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const int group = literal[static_cast<size_t>(slot)];
    const int32_t species = SpeciesOf(world, slot);
    ASSERT_EQ(group == 0, species == 0) << slot;
    if (group == 0) continue;
    ASSERT_EQ(species, speciesOfGroup.emplace(group, species).first->second) << slot;
    ASSERT_EQ(group, groupOfSpecies.emplace(species, group).first->second) << slot;
  }
  EXPECT_EQ(static_cast<int32_t>(speciesOfGroup.size()), world.species.count);
}

TEST(Species, ChainsOfCompatiblePairsMakeOneSpecies) {
  // Genomes by how many compared values differ from the founder's, each
  // change on its own value: 0 and 29 are compatible, 0 and 30 are not,
  // 30 and 45 share their first 30 changes.
  struct Case {
    std::vector<int> changes;
    int32_t species;
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, 1},  // a clonal population
      {{0, 29}, 1},         {{0, 30}, 2},
      {{0, 30, 30}, 2},     {{0, 20, 40}, 1},  // 0-20 and 20-40 join what 0-40 does not
      {{0, 30, 45, 60}, 2}, {{}, 0},
  };
  for (const Case& c : cases) {
    TestWorld t;
    const Animal founder = Founder();
    int slot = 1;
    for (int n : c.changes) {
      Animal a = founder;
      for (int i = 0; i < n; ++i)
        Change(a, i);
      AddAdult(t.world, slot++, a);
    }
    testing::PutAnimal(t.world, slot, 0, 0, kStageInfant);  // belongs to none
    GroupSpecies(t.world);
    EXPECT_EQ(c.species, t.world.species.count) << ::testing::PrintToString(c.changes);
    EXPECT_EQ(0, SpeciesOf(t.world, slot));
  }
}

// Random populations of a few lines, each animal a few changes from its
// line's ancestor, the lines about as far apart as compatibility reaches,
// so that newcomers join, bridge and split species; then months of deaths
// and new adults, each grouped from what the last grouping knew.
TEST(Species, MatchesTheLiteralRuleMonthAfterMonthAndKeepsItsNumbers) {
  std::mt19937 random(5);
  for (int world = 0; world < 12; ++world) {
    SCOPED_TRACE(world);
    TestWorld t;
    // Ancestors differ from each other in twice `width` values.
    const int lines = 2 + static_cast<int>(random() % 4);
    const int width = 12 + static_cast<int>(random() % 10);
    std::vector<Animal> ancestors;
    for (int l = 0; l < lines; ++l) {
      Animal a = Founder();
      for (int i = l * width; i < (l + 1) * width; ++i)
        Change(a, i % 115);
      ancestors.push_back(a);
    }
    const auto newborn = [&] {
      Animal a = ancestors[random() % ancestors.size()];
      const int changes = static_cast<int>(random() % 16);
      for (int k = 0; k < changes; ++k)
        Change(a, static_cast<int>(random() % 115), 1 + static_cast<int>(random() % 2));
      return a;
    };
    for (int slot = 1; slot <= 150 + static_cast<int>(random() % 600); ++slot)
      AddAdult(t.world, slot, newborn());
    GroupSpecies(t.world);
    ExpectSamePartition(LiteralGroups(t.world), t.world);

    for (int month = 0; month < 6; ++month) {
      for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (!IsOccupied(AnimalAt(t.world, slot))) {
          if (random() % 100 < 8) AddAdult(t.world, slot, newborn());
        } else if (random() % 100 < 5) {
          AnimalAt(t.world, slot).Alive = 0;
        }
      }
      GroupSpecies(t.world);
      ExpectSamePartition(LiteralGroups(t.world), t.world);
      // With no deaths and no newcomers nothing merges or splits: every
      // adult grouped before keeps its number.
      if (month == 5) {
        const std::vector<int32_t> numbers = t.world.species.speciesOfSlot;
        GroupSpecies(t.world);
        EXPECT_EQ(numbers, t.world.species.speciesOfSlot);
      }
    }
  }
}

TEST(Species, ASpeciesThatKeepsMostOfItsMembersKeepsItsNumber) {
  TestWorld t;
  const Animal founder = Founder();
  Animal far = founder;
  for (int i = 0; i < 40; ++i)
    Change(far, i);
  for (int slot = 1; slot <= 10; ++slot)
    AddAdult(t.world, slot, slot <= 6 ? founder : far);
  GroupSpecies(t.world);
  const int32_t first = SpeciesOf(t.world, 1);
  const int32_t second = SpeciesOf(t.world, 7);
  // Four of six die; the two left are all the species has now: it stays.
  for (int slot = 1; slot <= 4; ++slot)
    AnimalAt(t.world, slot).Alive = 0;
  // A newcomer between the two joins them: the larger keeps its number.
  Animal between = founder;
  for (int i = 0; i < 20; ++i)
    Change(between, i);
  AddAdult(t.world, 11, between);
  GroupSpecies(t.world);
  EXPECT_EQ(1, t.world.species.count);
  EXPECT_EQ(second, SpeciesOf(t.world, 5));
  EXPECT_NE(first, second);
}

}  // namespace
}  // namespace ombrivale
