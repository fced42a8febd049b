// The family record of a world: every animal born, founded or dropped gets an
// id, and the record keeps who its parents were, when it was born and its
// generation, for as long as it lives or has a living descendant.
//
// Ids count up from 1 and are never given twice in a world, so a parent's id
// is always below its young's. The record is kept in id order; the slot
// table says which id lives in which slot. Lines that died out are pruned at
// every turn of the year (PruneLineage), so the record holds the living and
// their ancestors and nothing else. No random draw is made here: keeping the
// record changes nothing of the simulation.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/map.h"
#include "core/status.h"

namespace ombrivale {

struct Animal;

struct LineageEntry {
  uint64_t id = 0;
  // The sex-0 and the sex-1 parent's ids; both 0 for a founder or a drop.
  uint64_t parents[2] = {0, 0};
  int32_t birthYear = 0;
  int16_t birthMonth = 0;       // 0 for the founders of a world being generated
  int16_t primordialCount = 0;  // the evolvedness count of its genes (fixed at birth)
  // 0 for founders and drops; a young's is one more than its older parent's.
  uint32_t generation = 0;
};

struct Lineage {
  std::vector<LineageEntry> entries;  // ascending ids
  // By slot ([0] unused): the id of the animal the slot holds or last held,
  // 0 when none was recorded; and that animal's generation.
  std::vector<uint64_t> idOfSlot = std::vector<uint64_t>(kSlotCount + 1);
  std::vector<uint32_t> generationOfSlot = std::vector<uint32_t>(kSlotCount + 1);
  uint64_t nextId = 1;  // the id the next animal gets
  // The pruning's marks, one per entry, and its table of entries by id
  // (1 + index, 0 for none), kept to reuse their storage.
  std::vector<uint8_t> marks;
  std::vector<uint32_t> placeOfId;
};

// The two parents of a litter as the record knows them: the sex-0 and the
// sex-1 parent's ids and the older one's generation.
struct LineageParents {
  uint64_t ids[2] = {0, 0};
  uint32_t olderGeneration = 0;
};

// The animals in slots `first` (sex 0) and `second` (sex 1) now. A litter
// takes them once, before its first young: a later young may take a
// parent's slot, and its siblings are still that parent's young.
LineageParents ParentsInSlots(const Lineage& lineage, int first, int second);

// Records the young laid in `slot` by `parents`, one generation after the
// older of them. Returns its id.
uint64_t RecordYoung(Lineage& lineage, int slot, const LineageParents& parents, int32_t year,
                     int16_t month, int16_t primordialCount);
// The same for the animals in slots `first` and `second` now.
inline uint64_t RecordYoung(Lineage& lineage, int slot, int first, int second, int32_t year,
                            int16_t month, int16_t primordialCount) {
  return RecordYoung(lineage, slot, ParentsInSlots(lineage, first, second), year, month,
                     primordialCount);
}
// Records a founder or a dropped animal: no parents, generation 0.
uint64_t RecordFounder(Lineage& lineage, int slot, int32_t year, int16_t month,
                       int16_t primordialCount);

// The entry of `id`, or nullptr when the record does not hold it.
const LineageEntry* FindLineageEntry(const Lineage& lineage, uint64_t id);

// The id of the animal in an occupied slot (0 when none is recorded).
uint64_t LivingId(const Lineage& lineage, std::span<const Animal> animals, int slot);
// The slot of a living animal, 0 when the id is not alive.
int SlotOfId(const Lineage& lineage, std::span<const Animal> animals, uint64_t id);

// Drops every entry that is neither alive (in an occupied slot of
// `animals`, indexed by slot) nor an ancestor of one that is.
void PruneLineage(Lineage& lineage, std::span<const Animal> animals);

// Forgets everything but the id counter, which never goes back; then every
// occupied slot gets a founder entry of generation 0 with `counts[slot]` as
// its evolvedness count. What a world loaded without a family record holds.
void RestartLineage(Lineage& lineage, std::span<const Animal> animals, int32_t year, int16_t month,
                    std::span<const int16_t> counts);

// The number of living animals descended from `id` (itself not counted).
int CountLivingDescendants(const Lineage& lineage, std::span<const Animal> animals, uint64_t id);

struct FounderShare {
  uint64_t id = 0;
  int livingDescendants = 0;
};
// The founders and drops the record holds (generation-0 entries), with the
// living animals descended from each, most first (ties to the lower id); at
// most `limit` of them.
std::vector<FounderShare> TopFounders(const Lineage& lineage, std::span<const Animal> animals,
                                      size_t limit);

// True when a parent born in (parentYear, parentMonth) may have a young born
// in (year, month): strictly earlier. A litter is laid by adults, so no
// young shares its birth month with a parent.
inline bool BornBefore(int32_t parentYear, int16_t parentMonth, int32_t year, int16_t month) {
  return parentYear < year || (parentYear == year && parentMonth < month);
}

// Checks the record against the animal table: ids ascending and below the
// counter, parents' ids below their young's and present, each parent born
// before its young, the generation rule, every occupied slot with an entry
// of its own (no two slots sharing one), the slot generations true, and a
// living parent of the sex its place says (the sex-0 parent first). OK when
// all of it holds, else Corruption saying what is broken.
Status CheckLineage(const Lineage& lineage, std::span<const Animal> animals);

}  // namespace ombrivale
