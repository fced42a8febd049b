// Generating a planet and its founders, and the yearly change.
#pragma once

#include "core/world.h"

namespace ombrivale {

// Generates a new world (or, after a successful load, keeps the loaded one),
// runs two month steps and starts the tick timer.
void NewWorld(World& world);

// Writes the founder genome and birth state into a slot.
void CreateFounder(World& world, int slot);

// The sea level moves a row; meat turns into plants or scum, or rots.
void ChangeWorld(World& world);

}  // namespace ombrivale
