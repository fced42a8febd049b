#include "behaviour/species_history.h"

#include <algorithm>

#include "behaviour/species.h"
#include "core/lineage.h"

namespace ombrivale {
namespace {

constexpr size_t kTallySize = 2048;  // a power of two above twice 750 numbers
constexpr size_t kMeasuredMembers = 32;

size_t Home(int32_t number) {
  return (static_cast<uint32_t>(number) * 2654435761u) & (kTallySize - 1);
}

// The species the adult in `slot` was given at the grouping before, 0 for
// none or when the slot has changed hands since.
int32_t PreviousSpecies(const World& world, const SpeciesHistory& h, size_t slot) {
  return h.idOfSlot[slot] == world.lineage.idOfSlot[slot] ? h.speciesOfSlot[slot] : 0;
}

// A species a new one may descend from: one of this world, seen before now.
bool MayParent(const SpeciesHistory& h, int32_t number, uint64_t month) {
  const SpeciesLife* life = number > 0 ? FindSpeciesLife(h, number) : nullptr;
  return life != nullptr && life->world == h.world && life->first < month;
}

void Vote(std::vector<std::pair<int32_t, int32_t>>& votes, int32_t species) {
  for (auto& [number, count] : votes) {
    if (number == species) {
      ++count;
      return;
    }
  }
  votes.emplace_back(species, 1);
}

// The most voted species, ties to the lower number; 0 without votes.
int32_t Winner(const std::vector<std::pair<int32_t, int32_t>>& votes) {
  int32_t best = 0;
  int32_t most = 0;
  for (const auto& [number, count] : votes) {
    if (count > most || (count == most && number < best)) {
      best = number;
      most = count;
    }
  }
  return best;
}

// See RecordSpeciesGrouping for the rule. `members` are the new species'
// adults; the history still holds the grouping before.
int32_t ChooseParent(const World& world, SpeciesHistory& h, uint64_t month) {
  SpeciesHistory::Scratch& s = h.scratch;
  s.votes.clear();
  for (const int32_t slot : s.members) {
    const int32_t previous = PreviousSpecies(world, h, static_cast<size_t>(slot));
    if (MayParent(h, previous, month)) Vote(s.votes, previous);
  }
  if (s.votes.empty()) {
    for (const int32_t slot : s.members) {
      const LineageEntry* entry =
          FindLineageEntry(world.lineage, world.lineage.idOfSlot[static_cast<size_t>(slot)]);
      if (entry == nullptr) continue;
      for (const uint64_t parent : entry->parents) {
        if (parent == 0) continue;
        for (size_t other = 1; other <= kSlotCount; ++other) {
          if (h.idOfSlot[other] != parent || h.speciesOfSlot[other] == 0) continue;
          if (MayParent(h, h.speciesOfSlot[other], month)) Vote(s.votes, h.speciesOfSlot[other]);
          break;
        }
      }
    }
  }
  if (!s.votes.empty()) return Winner(s.votes);
  // The largest species of the world's latest grouping with adults.
  const SpeciesLife* best = nullptr;
  for (const SpeciesLife& life : h.species) {
    if (life.world != h.world || life.first >= month) continue;
    if (best == nullptr || life.last > best->last ||
        (life.last == best->last && life.counts.back() > best->counts.back())) {
      best = &life;
    }
  }
  return best != nullptr ? best->number : 0;
}

// The member with the fewest differences from the others, summed over at
// most 32 of them spread through the slots; ties to the lower slot.
int Representative(World& world, const std::vector<int32_t>& members) {
  std::vector<int32_t> measured;
  const size_t n = members.size();
  const size_t take = std::min(n, kMeasuredMembers);
  for (size_t i = 0; i < take; ++i)
    measured.push_back(members[i * n / take]);
  int best = measured.front();
  long bestSum = -1;
  for (const int32_t candidate : measured) {
    const PackedGenome& genome = PackedGenomeOf(world, candidate);
    long sum = 0;
    for (const int32_t other : measured)
      sum += GenomeDifferences(genome, PackedGenomeOf(world, other));
    if (bestSum < 0 || sum < bestSum) {
      bestSum = sum;
      best = candidate;
    }
  }
  return best;
}

void AddNewSpecies(World& world, uint64_t month) {
  SpeciesHistory& h = world.speciesHistory;
  SpeciesHistory::Scratch& s = h.scratch;
  std::sort(s.fresh.begin(), s.fresh.end(), [&s](int32_t a, int32_t b) {
    return s.numbers[static_cast<size_t>(a)] < s.numbers[static_cast<size_t>(b)];
  });
  // Every parent is chosen from the grouping before, none from this one.
  s.parents.clear();
  s.chosen.clear();
  for (const int32_t t : s.fresh) {
    s.members.clear();
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      if (world.species.speciesOfSlot[static_cast<size_t>(slot)] ==
          s.numbers[static_cast<size_t>(t)]) {
        s.members.push_back(slot);
      }
    }
    s.parents.push_back(ChooseParent(world, h, month));
    s.chosen.push_back(Representative(world, s.members));
  }
  for (size_t i = 0; i < s.fresh.size(); ++i) {
    const size_t t = static_cast<size_t>(s.fresh[i]);
    SpeciesLife& life = AddSpeciesLife(h, s.numbers[t], s.parents[i], month, s.counts[t]);
    life.representative = AnimalAt(world, s.chosen[i]);
  }
}

}  // namespace

void RecordSpeciesGrouping(World& world, uint64_t month, bool restart) {
  SpeciesHistory& h = world.speciesHistory;
  SpeciesHistory::Scratch& s = h.scratch;
  month = std::max(month, h.nextMonth);
  if (restart) {
    const bool begun = std::any_of(h.species.begin(), h.species.end(),
                                   [&h](const SpeciesLife& life) { return life.world == h.world; });
    if (begun) ++h.world;
    std::fill(h.speciesOfSlot.begin(), h.speciesOfSlot.end(), 0);
    std::fill(h.idOfSlot.begin(), h.idOfSlot.end(), 0);
    h.living.clear();
  }

  // The adults of each species now. The table is left empty after each use.
  if (s.table.size() != kTallySize) s.table.assign(kTallySize, -1);
  s.numbers.clear();
  s.counts.clear();
  int32_t adults = 0;
  const std::vector<int32_t>& grouped = world.species.speciesOfSlot;
  for (size_t slot = 1; slot <= kSlotCount; ++slot) {
    const int32_t number = grouped[slot];
    if (number <= 0) continue;
    ++adults;
    for (size_t at = Home(number);; at = (at + 1) & (kTallySize - 1)) {
      const int32_t t = s.table[at];
      if (t < 0) {
        s.table[at] = static_cast<int32_t>(s.numbers.size());
        s.numbers.push_back(number);
        s.counts.push_back(1);
        s.used.push_back(static_cast<uint32_t>(at));
        break;
      }
      if (s.numbers[static_cast<size_t>(t)] == number) {
        ++s.counts[static_cast<size_t>(t)];
        break;
      }
    }
  }

  for (const uint32_t at : s.used)
    s.table[at] = -1;
  s.used.clear();

  s.fresh.clear();
  for (size_t t = 0; t < s.numbers.size(); ++t) {
    if (FindSpeciesLife(h, s.numbers[t]) == nullptr) s.fresh.push_back(static_cast<int32_t>(t));
  }
  if (!s.fresh.empty()) AddNewSpecies(world, month);
  h.living.clear();
  for (size_t t = 0; t < s.numbers.size(); ++t) {
    SpeciesLife* life = FindSpeciesLife(h, s.numbers[t]);
    if (life->last < month) NoteSpeciesCount(h, *life, month, s.counts[t]);
    h.living.push_back(static_cast<uint32_t>(life - h.species.data()));
  }
  std::sort(h.living.begin(), h.living.end());

  std::copy(grouped.begin(), grouped.end(), h.speciesOfSlot.begin());
  std::copy(world.lineage.idOfSlot.begin(), world.lineage.idOfSlot.end(), h.idOfSlot.begin());
  h.nextMonth = month + 1;
  h.adultsGrouped = adults;
  if (h.points > kSpeciesPointCapacity) ThinSpeciesHistory(h);
}

}  // namespace ombrivale
