// The species history of a world: every species the grouping has numbered
// (behaviour/species.h), when it was first and last seen, the species it
// split from, its adults at every grouping and one member's genes, over the
// whole span of the world's statistics history, restarts included.
//
// Time is the statistics history's axis (core/history.h): a month is the
// index of its sample among all the samples the history ever took, so it
// runs on across restarts and a month m lies m / 12 years after the history
// began. The grouping of month m is recorded just before that month's sample.
//
// A restart begins a new tree: the species of the old world end there, and
// the new world's first species have no parent. The adult counts are kept
// at one grain over the whole history, like the statistics history's: a
// point stands for a block of `grain` months of the axis and holds the
// count at the last grouping within it; when more than
// kSpeciesPointCapacity points are held, the grain doubles and neighbouring
// points merge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/animal.h"
#include "core/map.h"
#include "core/status.h"

namespace ombrivale {

struct SpeciesLife {
  int32_t number = 0;  // the grouping's number, never given twice in a world record
  // The species most of its first members belonged to at the grouping
  // before (see behaviour/species_history.h); 0 for a world's first.
  int32_t parent = 0;
  uint32_t world = 0;  // the world it lived in: 0 the first, one more at each restart
  uint64_t first = 0;  // months on the axis: its first grouping
  uint64_t last = 0;   // and its last (the latest grouping while it lives)
  uint16_t peak = 0;   // the most adults it had at one grouping
  // Adults, one point per block of `grain` months from the block of `first`
  // to the block of `last`: 1..750 each, the count at the last grouping of
  // the block.
  std::vector<uint16_t> counts;
  // The genes (and the state then) of the member nearest to the others at
  // its first grouping: the one with the fewest compared values differing
  // from the others', summed; measured over at most 32 members spread evenly
  // through the slots, ties to the lower slot.
  Animal representative;
};

// Points held over all species before the grain doubles: 32 KB of counts,
// some 450 years of three species living side by side at one month a point.
inline constexpr size_t kSpeciesPointCapacity = 16384;

struct SpeciesHistory {
  std::vector<SpeciesLife> species;  // ascending numbers (numbers are given in order)
  uint64_t grain = 1;                // months a point stands for, a power of two
  uint64_t nextMonth = 0;            // the month after the last grouping; 0: none yet
  uint32_t world = 0;                // the world now
  size_t points = 0;                 // counts held over all species
  int32_t adultsGrouped = 0;         // adults at the last grouping

  // Not saved; rebuilt from the family record and the species numbers a
  // load reads (AdoptGrouping). The species seen at the last grouping
  // (indices into `species`), and by slot that grouping's species and the
  // family-record id of the adult it was given to: a slot taken since by
  // another animal passes nothing on.
  std::vector<uint32_t> living;
  std::vector<int32_t> speciesOfSlot = std::vector<int32_t>(kSlotCount + 1);
  std::vector<uint64_t> idOfSlot = std::vector<uint64_t>(kSlotCount + 1);

  // The recording's working tables, kept to reuse their storage.
  struct Scratch {
    std::vector<int32_t> table;    // open addressing over species numbers: a tally, -1 free
    std::vector<uint32_t> used;    // the table's places taken this time
    std::vector<int32_t> numbers;  // per tally: the species number
    std::vector<uint16_t> counts;  // per tally: its adults
    std::vector<int32_t> fresh;    // the tallies of numbers new to the history
    std::vector<int32_t> members;  // slots of a new species' adults
    std::vector<int32_t> parents;  // per fresh tally: the parent chosen
    std::vector<int32_t> chosen;   // per fresh tally: the representative's slot
    std::vector<std::pair<int32_t, int32_t>> votes;  // (species, votes)
  } scratch;
};

// The species of that number, nullptr when the history has none.
const SpeciesLife* FindSpeciesLife(const SpeciesHistory& history, int32_t number);
SpeciesLife* FindSpeciesLife(SpeciesHistory& history, int32_t number);

// True while the species was seen at the last grouping.
inline bool IsLiving(const SpeciesHistory& history, const SpeciesLife& life) {
  return life.world == history.world && life.last + 1 == history.nextMonth;
}

// The points a species from `first` to `last` holds at `grain`.
inline size_t SpeciesPointCount(uint64_t first, uint64_t last, uint64_t grain) {
  return static_cast<size_t>(last / grain - first / grain + 1);
}

// Adds a new species seen first at `month` with `count` adults, in number
// order. REQUIRES: no species of that number.
SpeciesLife& AddSpeciesLife(SpeciesHistory& history, int32_t number, int32_t parent, uint64_t month,
                            uint16_t count);
// The species was seen at `month` (not before its last) with `count` adults.
void NoteSpeciesCount(SpeciesHistory& history, SpeciesLife& life, uint64_t month, uint16_t count);
// Doubles the grain until the points fit the capacity (or every species is
// down to one point).
void ThinSpeciesHistory(SpeciesHistory& history);

// The by-slot tables and the living list as they stand after a grouping
// that gave the species `speciesOfSlot` to the family-record ids `idOfSlot`
// (what a load reads back from lineage.dat).
void AdoptGrouping(SpeciesHistory& history, const std::vector<int32_t>& speciesOfSlot,
                   const std::vector<uint64_t>& idOfSlot);

// Checks the history on its own: numbers ascending, every species' first
// month not after its last nor the last grouping, its world not past the
// current one, a parent of the same world first seen before it, its points
// as many as its months span at the grain and within 1..peak, the living
// list and the point total true, the living counts adding up to the adults
// grouped. OK when all of it holds, else Corruption saying what is broken.
Status CheckSpeciesHistory(const SpeciesHistory& history);

}  // namespace ombrivale
