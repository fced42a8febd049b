// Cross-table checks of the world's invariants, run in the test builds.
#pragma once

#include "core/world.h"

namespace ombrivale {

// Checks what the simulation guarantees after every tick: the table and map
// sizes, every occupied slot's position on the map (0..32000 x 0..10000),
// the food index, the kept evolvedness counts and the position index true
// to the map and the table, the tick counters in range, the history within
// its capacity, the family record's young of this month each born after its
// parents and named with a living parent of the sex its place says, and,
// with a display, the pictures' sizes and the death log within its cap. Prints the
// first violation to stderr and aborts. One pass over the 750 slots; the
// tick calls it when built with OMBRIVALE_VALIDATE.
void Validate(const World& world);

// Checks what whatever ran since the last tick (a load, Play God, the
// windows) must have kept true: the food index and the position index. The
// tick calls it first when built with OMBRIVALE_VALIDATE.
void ValidateBeforeTick(const World& world);

// Checks what holds right after a month step: AnimalCount is the number of
// occupied slots, the family record is whole and true to the table
// (CheckLineage: dates, sexes and generations included), the species'
// packed genomes are true to the genes, the history's points add up to its
// months, and the species history is sound (CheckSpeciesHistory) with its
// last grouping's adults those of the last sample. The month step calls it
// when built with OMBRIVALE_VALIDATE.
void ValidateMonthStep(const World& world);

}  // namespace ombrivale
