// Cross-table checks of the world's invariants.
#pragma once

#include "core/world.h"

namespace ombrivale {

// Checks what the simulation guarantees after every tick: the table and map
// sizes, every occupied slot's position within 0..32000 x 0..10000, the tick
// counters in range and the death log within its cap. Prints the first
// violation to stderr and aborts. Costs one pass over the 750 slots; the
// tick calls it when built with OMBRIVALE_VALIDATE.
void Validate(const World& world);

}  // namespace ombrivale
