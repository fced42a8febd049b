// The mini map's full picture and the terrain rule of the sea level.
#pragma once

#include "core/world.h"

namespace ombrivale {

// Paints every cell of MiniMap from the map, turns non-ground cells into
// water at or below the sea level and sky above it, copies the picture into
// MiniBak and moves the sea line.
void ReDrawMap(World& world);

}  // namespace ombrivale
