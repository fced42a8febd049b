// The species of a world: its adults grouped by the mating compatibility
// rule (behaviour/species.h finds them again at every month step), and what
// the grouping keeps from one month to the next.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/map.h"

namespace ombrivale {

// The 115 compared values of an animal, each widened to 16 bits, and five
// zeros: two animals are compatible when at most 29 of the 120 differ.
inline constexpr int kPackedGenomeLength = 120;
struct PackedGenome {
  alignas(16) std::array<uint16_t, kPackedGenomeLength> values{};
};

struct SpeciesRecord {
  // By slot ([0] unused): the slot's genome packed, and its hash, valid while
  // packed[slot] is 1. Whatever changes an animal's genes clears the mark
  // (genetics/body_measures.h NoteGenesChanged), so an adult is packed once,
  // not every month.
  std::vector<PackedGenome> genomes = std::vector<PackedGenome>(kSlotCount + 1);
  std::vector<uint64_t> hashes = std::vector<uint64_t>(kSlotCount + 1);
  std::vector<uint8_t> packed = std::vector<uint8_t>(kSlotCount + 1);

  // By slot: the species of the adult found there at the last grouping (0:
  // none, not an adult then) and the family-record id it was grouped under,
  // so that a slot taken since by another animal does not pass its species on.
  std::vector<int32_t> speciesOfSlot = std::vector<int32_t>(kSlotCount + 1);
  std::vector<uint64_t> groupedId = std::vector<uint64_t>(kSlotCount + 1);
  int32_t count = 0;        // species at the last grouping
  int32_t nextSpecies = 1;  // species numbers are never given twice in a world
  // True while speciesOfSlot is this world's last grouping, so that two
  // adults grouped apart then are known to be incompatible now (genes never
  // change in a living animal). A load, whose numbers come from a file,
  // clears it, and the next grouping starts from nothing.
  bool trusted = false;

  // The grouping's working tables, kept to reuse their storage.
  struct Scratch {
    std::vector<int> adults;             // slots
    std::vector<int32_t> previous;       // per adult: its species last month, 0 for none
    std::vector<int> distinctOf;         // per adult: its genome among the distinct ones
    std::vector<int> distinct;           // per distinct genome: its first adult's slot
    std::vector<int32_t> groupOf;        // per distinct genome: see GroupSpecies
    std::vector<int32_t> table;          // open addressing over the hashes
    std::vector<int> clusterOf;          // per distinct genome
    std::vector<uint8_t> pivotDistance;  // per distinct genome: differences from its pivot
    std::vector<int> pivots;             // per cluster: its pivot (a distinct genome)
    std::vector<uint8_t> pivotPairs;     // differences between pivots, rows of `stride`
    size_t stride = 0;
    std::vector<uint8_t> reach;         // per cluster: the most differences from its pivot
    std::vector<int32_t> clusterGroup;  // per cluster: see GroupSpecies
    std::vector<int> memberStart;       // per cluster: where its members begin in `members`
    std::vector<int> members;           // distinct genomes by cluster
    std::vector<int> next;              // a cursor per cluster
    std::vector<uint32_t> pairs;        // cluster pairs: differences, a, b
    std::vector<int> parent;            // union-find over clusters
    std::vector<int> componentOf;       // per adult
    std::vector<int32_t> label;         // per component: its species number
    std::vector<int> held;              // per component: members behind its number
    std::vector<uint64_t> votes;        // (previous species, component) pairs
  } scratch;
};

// The slot's genes changed, so it holds another animal: its packed genome
// must be taken again and it has no species yet.
inline void MarkGenomeStale(SpeciesRecord& species, int slot) {
  species.packed[static_cast<size_t>(slot)] = 0;
  species.speciesOfSlot[static_cast<size_t>(slot)] = 0;
}
// Genes changed anywhere (a load): every genome is packed again and the
// next grouping trusts nothing of the last.
inline void MarkAllGenomesStale(SpeciesRecord& species) {
  species.packed.assign(species.packed.size(), 0);
  species.trusted = false;
}

}  // namespace ombrivale
