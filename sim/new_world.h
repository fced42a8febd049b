// The new-world sequence: a world is generated (or a loaded one kept) and
// set running.
#pragma once

#include "core/world.h"

namespace ombrivale {

// Generates a new world, or keeps the one a successful load left (and
// clears WorldLoaded, so every later call generates); then runs the month
// step twice, starts the tick timer and logs "New World" or "Loaded World".
// The handler of "&New World", the end of start-up and the automatic
// restart of an empty world.
void NewWorld(World& world);

}  // namespace ombrivale
