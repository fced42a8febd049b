// Litters and eggs.
#pragma once

#include "core/world.h"

namespace ombrivale {

// Lays the pair's litter. first has Sex 0, second Sex 1; the eggs lie where
// second stands.
void Mate(World& world, int first, int second);

// The lowest free slot, or 0 when all 750 are taken.
int FindFreeSlot(const World& world);

}  // namespace ombrivale
