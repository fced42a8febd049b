#include "sim/validate.h"

#include <algorithm>
#include <bit>
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

// The young born this month, the newest entries of the family record: each
// parent born before it and, when alive, of the sex its place says (the
// sex-0 parent first). The month step checks the whole record.
void CheckThisMonthsYoung(const World& world) {
  const std::vector<LineageEntry>& entries = world.lineage.entries;
  const auto bornNow = [&world](const LineageEntry& e) {
    return e.birthYear == world.Year && e.birthMonth == world.Month;
  };
  if (entries.empty() || !bornNow(entries.back())) return;
  std::vector<std::pair<uint64_t, uint8_t>> living;  // id and sex
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (IsOccupied(AnimalAt(world, slot)))
      living.emplace_back(world.lineage.idOfSlot[static_cast<size_t>(slot)],
                          AnimalAt(world, slot).Sex);
  }
  std::sort(living.begin(), living.end());
  for (size_t i = entries.size(); i-- > 0 && bornNow(entries[i]);) {
    const LineageEntry& young = entries[i];
    for (size_t place = 0; place < 2; ++place) {
      const uint64_t id = young.parents[place];
      if (id == 0) continue;
      const LineageEntry* parent = FindLineageEntry(world.lineage, id);
      Check(parent != nullptr && BornBefore(parent->birthYear, parent->birthMonth, young.birthYear,
                                            young.birthMonth),
            "a young recorded with a parent not born before it", static_cast<long long>(young.id));
      const auto alive =
          std::lower_bound(living.begin(), living.end(), std::pair<uint64_t, uint8_t>(id, 0));
      if (alive == living.end() || alive->first != id) continue;
      Check((alive->second == 0) == (place == 0),
            "a young recorded with a living parent of the other sex than its place",
            static_cast<long long>(young.id));
    }
  }
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
  CheckThisMonthsYoung(world);
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
  if (const Status fault = CheckLineage(world.lineage, world.Animals); !fault.ok()) {
    Fail(std::string(fault.message()).c_str(),
         static_cast<long long>(world.lineage.entries.size()));
  }
  Check(PackedGenomesMatch(world), "a packed genome differs from its animal's genes", 0);
  const History& history = world.history;
  uint64_t months = 0;
  for (const MonthSample& point : history.samples)
    months += point.months;
  Check(months == history.recorded, "the history's points do not add up to its months",
        static_cast<long long>(months));
  Check(std::has_single_bit(history.grain), "the history's grain is not a power of 2",
        static_cast<long long>(history.grain));
  const SpeciesHistory& species = world.speciesHistory;
  if (const Status fault = CheckSpeciesHistory(species); !fault.ok()) {
    Fail(std::string(fault.message()).c_str(), static_cast<long long>(species.species.size()));
  }
  // The last grouping and the last sample are of one month.
  if (species.nextMonth == world.history.recorded && !world.history.samples.empty()) {
    Check(species.adultsGrouped == world.history.samples.back().adults,
          "the species' adults differ from the last sample's", species.adultsGrouped);
  }
}

}  // namespace ombrivale
