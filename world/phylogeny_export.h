// The species history and the family record in the formats phylogenetics
// tools read: Newick trees, and the ALife Data Standards phylogeny table
// (CSV with the columns id, ancestor_list, origin_time, destruction_time,
// then columns of our own; ancestor_list is "[none]" for an entry without
// ancestors, else its ancestors' ids as "[3]" or "[3,7]"; a destruction_time
// of "none" marks one still living).
#pragma once

#include <string>

#include "core/world.h"

namespace ombrivale {

// One Newick tree per world of the species history, a line each, in world
// order; branch lengths in years. Every species is a leaf named "S" and its
// number ("S12"), ending at the end of its last month (for the living, the
// last grouping's). Where a species split from its parent, the parent's
// line and the child's meet at an unnamed node at the child's first month
// (at the parent's end when the parent had died out before it), the
// parent's line written first. A world whose first grouping found several
// species joins them at a root named "W" and the world's number ("W0") at
// the earliest one's first month. Nothing for an empty history.
void SpeciesNewick(const SpeciesHistory& history, std::string& out);

// The species as an ALife phylogeny table, a line per species in number
// order: id (the species number), ancestor_list (its parent),
// origin_time and destruction_time in years on the statistics history's
// axis (its first month, and the month after its last), then world,
// first_month, last_month (months on that axis), peak_adults and adults (at
// the last grouping, 0 for a species died out).
void SpeciesPhylogenyCsv(const SpeciesHistory& history, std::string& out);

// The family record (every living animal and its ancestors) as an ALife
// phylogeny table, a line per animal in id order: id, ancestor_list (the
// sex-0 and the sex-1 parent, "[none]" for a founder or a dropped animal),
// origin_time (its birth in years of its world's calendar: year + (month -
// 1) / 12), destruction_time ("none" for the living, empty for the dead,
// whose death the record does not keep), then generation,
// evolvedness_count, slot (0 for the dead) and species (0 for none).
void FamilyPhylogenyCsv(const World& world, std::string& out);

}  // namespace ombrivale
