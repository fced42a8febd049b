#include "sim/validate.h"

#include <cstdio>
#include <cstdlib>

#include "behaviour/mate_search.h"
#include "behaviour/species.h"
#include "genetics/body_measures.h"

namespace ombrivale {

namespace {

[[noreturn]] void Fail(const char* what, long long value) {
  std::fprintf(stderr, "Validate: %s (value %lld)\n", what, value);
  std::fflush(stderr);
  std::abort();
}

void Check(bool holds, const char* what, long long value) {
  if (!holds) Fail(what, value);
}

void CheckSize(size_t size, size_t expected, const char* what) {
  Check(size == expected, what, static_cast<long long>(size));
}

}  // namespace

void Validate(const World& world) {
  CheckSize(world.Animals.size(), kSlotCount + 1, "animal table does not hold slots 0..750");
  for (const std::vector<int32_t>& layer : world.Map.layers)
    CheckSize(layer.size(), kCellCount, "map layer has the wrong cell count");

  Check(world.SpeedCount < kTicksPerMonth, "SpeedCount reached 31 without a month step",
        world.SpeedCount);
  Check(world.AnimalCount >= 0 && world.AnimalCount <= kSlotCount, "AnimalCount outside 0..750",
        world.AnimalCount);
  Check(world.history.samples.size() <= kHistoryCapacity, "history past its capacity",
        static_cast<long long>(world.history.samples.size()));
  Check(world.history.samples.size() <= world.history.recorded,
        "history holds more samples than were recorded",
        static_cast<long long>(world.history.samples.size()));

  Check(world.Map.FoodIndexMatches(), "the food index differs from the map", 0);
  Check(PrimordialCountsMatch(world), "a kept evolvedness count differs from the animal's", 0);
  Check(world.positions.Matches(world.Animals), "the position index differs from the table", 0);
  Check(MateCandidatesMatch(world), "a slot that may mate is not among the mate candidates", 0);

  if (const Display* display = world.display) {
    CheckSize(display->MiniMap.pixels.size(), kCellCount, "MiniMap has the wrong pixel count");
    CheckSize(display->MiniBak.pixels.size(), kCellCount, "MiniBak has the wrong pixel count");
    Check(display->DeathLog.size() < static_cast<size_t>(kLogLimit),
          "death log holds 500 entries or more", static_cast<long long>(display->DeathLog.size()));
  }

  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    if (animal.X < 0 || animal.X > kMaxX || animal.Y < 0 || animal.Y > kMaxY) {
      std::fprintf(stderr, "Validate: slot %d at (%d, %d)\n", slot, animal.X, animal.Y);
      Fail("occupied slot off the map", slot);
    }
  }
}

void ValidateBeforeTick(const World& world) {
  Check(world.Map.FoodIndexMatches(), "the food index differs from the map before a tick", 0);
  Check(world.positions.Matches(world.Animals),
        "the position index differs from the table before a tick", 0);
}

void ValidateMonthStep(const World& world) {
  int occupied = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot)
    occupied += IsOccupied(AnimalAt(world, slot)) ? 1 : 0;
  Check(occupied == world.AnimalCount,
        "AnimalCount differs from the occupied slots after a month step", world.AnimalCount);
  // Once a month: the family record and the packed genomes cost a pass each.
  if (const char* fault = LineageFault(world.lineage, world.Animals)) {
    Fail(fault, static_cast<long long>(world.lineage.entries.size()));
  }
  Check(PackedGenomesMatch(world), "a packed genome differs from its animal's genes", 0);
}

}  // namespace ombrivale
