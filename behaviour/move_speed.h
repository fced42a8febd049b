// How far an animal may step in one tick.
#pragma once

#include "core/world.h"

namespace ombrivale {

// Step length in hundredths of a cell (0 for an egg), from the terrain two
// rows below the animal, its covering and its limbs. An animal without
// feathers over open sky falls: HeadingY becomes +1 and it steps its body
// volume.
double MoveSpeed(World& world, int slot);

}  // namespace ombrivale
