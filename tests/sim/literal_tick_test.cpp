// The tick as the library runs it (the food index, the position index, the
// searches that stop early) against the literal tick that walks every offset
// and every slot, side by side on an evolved table given hunters: the two
// worlds must be the same after every tick, through a breeding season, a
// turn of the year, Play God's drop and kill, a load and a restart.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "behaviour/literal_reference.h"
#include "genetics/body_measures.h"
#include "genetics/play_god_actions.h"
#include "sim/new_world.h"
#include "sim/session.h"
#include "sim/tick.h"
#include "support/test_world.h"
#include "support/world_digest.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

namespace fs = std::filesystem;

using testing::TestWorld;

// Every third occupied slot becomes a starving meat eater with the short
// sight evolved hunters have (30 to 90 hundredths of a cell for prey; as
// many cells for food).
void MakeHunters(World& world) {
  const int16_t visions[] = {30, 60, 90};
  int made = 0;
  for (int slot = 3; slot <= kSlotCount; slot += 3) {
    Animal& a = AnimalAt(world, slot);
    if (!IsOccupied(a)) continue;
    for (GeneSet& g : a.Genes) {
      g.Head.Diet = made % 2 == 0 ? kOmnivorous : kCarnivorous;
      g.Head.MouthLength = 3;
      g.Head.Vision.SensorExists = kTrue;
      g.Head.Vision.Distance = visions[made % 3];
    }
    a.Hunger = 900;
    ++made;
  }
  ForgetPrimordialCounts(world);  // genes written by hand
}

struct Pair {
  TestWorld fast;
  TestWorld literal;

  void Sync() {
    literal.world = fast.world;
    literal.world.seam = &literal.seam;
  }
  // Both worlds through `ticks` ticks, compared after each.
  ::testing::AssertionResult Run(int ticks) {
    for (int tick = 1; tick <= ticks; ++tick) {
      SimulationTick(fast.world);
      testing::LiteralTick(literal.world);
      if (fast.world.Rng.state != literal.world.Rng.state ||
          testing::WorldDigest(fast.world) != testing::WorldDigest(literal.world) ||
          fast.world.DeathsByCause != literal.world.DeathsByCause) {
        return ::testing::AssertionFailure()
               << "the worlds part at tick " << tick << " of " << ticks << ", year "
               << fast.world.Year << " month " << fast.world.Month;
      }
    }
    return ::testing::AssertionSuccess();
  }
  template <typename Act>
  void Both(Act act) {
    act(fast.world);
    act(literal.world);
  }
};

int Occupied(const World& world) {
  int count = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot)
    count += IsOccupied(AnimalAt(world, slot));
  return count;
}

TEST(LiteralTick, SameWorldsAsTheLibraryTickOnAnEvolvedTableWithHunters) {
  const fs::path folder =
      fs::temp_directory_path() / ("ombrivale_literal_tick_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  Pair pair;
  World& fast = pair.fast.world;
  fast.display = nullptr;  // as ombrivale-run: the literal tick draws nothing
  StartUpPlan plan;
  plan.options.autoSave = false;
  plan.loadWorld = false;
  plan.seed = 3;  // fills its table in its twenties
  StartUp(fast, plan);
  while (fast.Year < 30 && (fast.Month != 1 || Occupied(fast) < 700))
    SimulationTick(fast);
  ASSERT_GE(Occupied(fast), 700);
  const int32_t year = fast.Year;
  MakeHunters(fast);
  pair.Sync();
  const auto deaths = [&fast](Cause cause) {
    return fast.DeathsByCause[static_cast<size_t>(cause)];
  };
  const uint64_t eatenBefore = deaths(Cause::Eaten);
  const uint64_t overwrittenBefore = deaths(Cause::Overwritten);

  ASSERT_TRUE(pair.Run(280));  // January to the breeding season
  // Play God among the hunters: a pair dropped where a hunter stands, and a
  // hunter killed.
  int hunter = 3;
  while (!IsOccupied(AnimalAt(fast, hunter)))
    hunter += 3;
  const Animal design = AnimalAt(fast, hunter);
  const uint8_t sexes[] = {0, 1};
  std::vector<int> placed;
  pair.Both([&](World& w) {
    ASSERT_EQ(DropOutcome::Placed, DropAnimals(w, design, design.X, design.Y, sexes, placed));
    KillAnimal(w, hunter, Cause::Sacrificed);
  });
  ASSERT_TRUE(pair.Run(120));  // through the turn of the year
  EXPECT_EQ(year + 1, fast.Year);

  // A load, as start-up does it, into both.
  ASSERT_FALSE(SaveWorld(fast, folder.string()).failed());
  pair.Both([&](World& w) {
    ASSERT_TRUE(LoadWorld(w, folder.string()));
    NewWorld(w);
  });
  ASSERT_TRUE(pair.Run(40));

  // Extinction: the next month step counts nobody and a new world follows.
  pair.Both([](World& w) {
    for (int slot = 1; slot <= kSlotCount; ++slot)
      KillAnimal(w, slot, Cause::Sacrificed);
  });
  ASSERT_TRUE(pair.Run(40));
  EXPECT_EQ(0, fast.Year);
  EXPECT_EQ(2, Occupied(fast));

  // The hunters did hunt, and the full table bred.
  EXPECT_GT(deaths(Cause::Eaten), eatenBefore + 20);
  EXPECT_GT(deaths(Cause::Overwritten), overwrittenBefore + 50);
  fs::remove_all(folder);
}

}  // namespace
}  // namespace ombrivale
