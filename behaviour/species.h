// Species: the living adults grouped by the mating compatibility rule. Two
// adults are of one species when a chain of compatible pairs joins them.
//
// Exact, and cheap enough for every month step of a full table:
//  - each adult's 115 compared values are packed once, when it is first
//    grouped (a birth marks its slot stale), into 120 16-bit lanes, so a
//    comparison is a few vector compares rather than 115 field reads;
//  - identical genomes are grouped once;
//  - the distinct genomes are clustered around pivots: a genome joins the
//    first pivot it is compatible with (at most 29 differences) or becomes
//    one. A cluster is thus inside one species;
//  - two clusters are joined when any pair across them is compatible. The
//    number of differing values is a metric, so a pair of pivots far enough
//    apart rules a pair of clusters out without looking at their members,
//    and a member far enough from the other pivot rules itself out.
// A species keeps its number from one month to the next when it keeps more
// than half of last month's members still in a species; the number picks
// its colour on the mini map.
#pragma once

#include <cstdint>

#include "core/world.h"

namespace ombrivale {

// Groups the living adults into species: fills world.species (each adult's
// species number, the count). Eggs and infants belong to none.
void GroupSpecies(World& world);

// The species of the animal in `slot` at the last grouping, 0 for none (an
// egg, an infant, or a slot taken since).
int32_t SpeciesOf(const World& world, int slot);

// How many of the 115 compared values differ between two packed genomes.
int GenomeDifferences(const PackedGenome& a, const PackedGenome& b);
// The slot's compared values packed.
void PackGenome(const Animal& animal, PackedGenome& out);
// The packed genome of the animal in `slot`, packed now when its genes
// changed since it last was.
const PackedGenome& PackedGenomeOf(World& world, int slot);
// The mating compatibility of two packed genomes: at most 29 differences.
bool AreCompatible(const PackedGenome& a, const PackedGenome& b);

// True when every packed genome still marked valid matches its slot's genes
// (invariant checks).
bool PackedGenomesMatch(const World& world);

}  // namespace ombrivale
