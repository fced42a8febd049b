// A busy world for the window tests, screenshots and the window benchmark.
#pragma once

#include "core/world.h"

namespace ombrivale::testing {

// Fills slots 1..count with grown copies of the founder in slot 1, each in a
// random water cell, of both sexes and mixed ages. With `variedDiets` the
// copies eat by slot (scum, plants, both, meat) and so show in all the mini
// map's animal colours. REQUIRES: a generated world (NewWorld ran).
void FillTable(World& world, int count, bool variedDiets = false);

}  // namespace ombrivale::testing
