// A full table for the window benchmark.
#pragma once

#include "core/world.h"

namespace ombrivale::bench {

// Fills slots 1..count with grown copies of the founder in slot 1, each in a
// random water cell, of both sexes and mixed ages.
// REQUIRES: a generated world (NewWorld ran).
void FillTable(World& world, int count);

}  // namespace ombrivale::bench
