// Keeping the species history (core/species_history.h) from one grouping to
// the next.
#pragma once

#include <cstdint>

#include "core/world.h"

namespace ombrivale {

// Records the grouping GroupSpecies has just made as month `month` of the
// axis (the index the month's sample is about to get). With `restart` the
// grouping is a newly generated world's first: the species alive before end
// at their last month and the world's tree begins anew.
//
// A species number new to the history is a new species. Its parent is the
// species most of its members belonged to at the grouping before (ties to
// the lower number); when none of them had one (adults all grown up since),
// the species most of their living parents belonged to then; when none of
// those either (every older adult has died), the species with the most
// adults at the world's latest grouping that had any. Only a world's first
// species have none. A number the history does not hold is a new species,
// also one kept from a folder saved without the history: its record begins
// at the first grouping after the load.
//
// REQUIRES: the grouping's species (world.species.speciesOfSlot) are those
// of this month; `month` not before the last month recorded.
void RecordSpeciesGrouping(World& world, uint64_t month, bool restart);

}  // namespace ombrivale
