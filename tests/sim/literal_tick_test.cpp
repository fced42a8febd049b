// The tick as the library runs it (the food index and the remembered looks,
// the position index, the mate candidates, the kept scores of the least
// evolved) against the same tick with the literal foraging, hunt, mate
// search and litter, which walk every offset and every slot, side by side
// on an evolved table given hunters: the two worlds must be the same after
// every tick, through a breeding season on a full table, Play God's drop
// and kill, the turn of the year and a load.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "behaviour/literal_reference.h"
#include "behaviour/mate_search.h"
#include "genetics/play_god_actions.h"
#include "sim/new_world.h"
#include "sim/session.h"
#include "sim/tick.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

TEST(LiteralTick, SameWorldsAsTheLibraryTickOnAnEvolvedTableWithHunters) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("ombrivale_literal_tick_" + std::to_string(::getpid()));
  testing::TestWorld fast, literal;
  World& w = fast.world;
  w.display = nullptr;  // as ombrivale-run
  StartUpPlan plan;
  plan.options.autoSave = false;
  plan.loadWorld = false;
  plan.seed = 7;  // fills its table in its twenties
  StartUp(w, plan);
  while (w.Year < 30 && (w.Month != 1 || w.AnimalCount < 700))
    SimulationTick(w);
  ASSERT_GE(w.AnimalCount, 700);
  // The animal of every third slot becomes a starving meat eater with the short
  // sight evolved hunters have (30 to 90 hundredths of a cell for prey).
  for (int slot = 3; slot <= kSlotCount; slot += 3) {
    for (GeneSet& g : AnimalAt(w, slot).Genes) {
      g.Head.Diet = slot % 2 == 0 ? kOmnivorous : kCarnivorous;
      g.Head.MouthLength = 3;
      g.Head.Vision.SensorExists = kTrue;
      g.Head.Vision.Distance = static_cast<int16_t>(30 + 30 * (slot / 6 % 3));
    }
    AnimalAt(w, slot).Hunger = 900;
  }
  ForgetPrimordialCounts(w);  // genes written by hand
  literal.world = w;
  literal.world.seam = &literal.seam;
  const auto both = [&](auto act) {
    act(w);
    act(literal.world);
  };
  const StepRules literalRules{testing::LiteralForage, testing::LiteralSeekMate};
  // The first of the next `ticks` ticks after which the worlds differ; 0: none.
  const auto run = [&](int ticks) {
    for (int tick = 1; tick <= ticks; ++tick) {
      SimulationTick(w);
      SimulationTick(literal.world, literalRules);
      if (w.Rng.state != literal.world.Rng.state ||
          w.DeathsByCause != literal.world.DeathsByCause ||
          testing::WorldDigest(w) != testing::WorldDigest(literal.world)) {
        return tick;
      }
    }
    return 0;
  };
  const auto deaths = [&w](Cause cause) { return w.DeathsByCause[static_cast<size_t>(cause)]; };
  const uint64_t eatenBefore = deaths(Cause::Eaten);
  const uint64_t overwrittenBefore = deaths(Cause::Overwritten);

  while (w.Month < 9)  // January to the breeding season
    ASSERT_EQ(0, run(1)) << "month " << w.Month;
  // The animals that may mate are held together for ten ticks, where the
  // first of them stands: seekers meet ties, which go to the lower slot.
  for (int tick = 0; tick < 10; ++tick) {
    both([](World& world) {
      int first = 0;
      for (int slot = 1; slot <= kSlotCount; ++slot) {
        Animal& a = AnimalAt(world, slot);
        if (!MayMate(a)) continue;
        if (first == 0) first = slot;
        a.X = AnimalAt(world, first).X;
        a.Y = AnimalAt(world, first).Y;
        NotePosition(world, slot);
      }
    });
    ASSERT_EQ(0, run(1)) << "held together, tick " << tick;
  }
  // A pair dropped where a hunter stands, and the hunter killed.
  int hunter = 3;
  while (!IsOccupied(AnimalAt(w, hunter)))
    hunter += 3;
  const Animal design = AnimalAt(w, hunter);
  const uint8_t sexes[] = {0, 1};
  std::vector<int> placed;
  both([&](World& world) {
    ASSERT_EQ(DropOutcome::Placed, DropAnimals(world, design, design.X, design.Y, sexes, placed));
    KillAnimal(world, hunter, Cause::Sacrificed);
  });
  ASSERT_EQ(0, run(150));  // through the turn of the year
  ASSERT_TRUE(SaveWorld(w, folder.string()).ok());
  both([&](World& world) {
    ASSERT_TRUE(LoadWorld(world, folder.string()));
    NewWorld(world);
  });
  ASSERT_EQ(0, run(40));
  // The hunters did hunt, and the full table bred over its least evolved.
  EXPECT_GT(deaths(Cause::Eaten), eatenBefore + 20);
  EXPECT_GT(deaths(Cause::Overwritten), overwrittenBefore + 50);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace ombrivale
