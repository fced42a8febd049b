// Breath, natural death, killing and the message line.
#pragma once

#include <optional>
#include <string>

#include "core/world.h"

namespace ombrivale {

// Drains or refills the animal's breath for the cell it stands in and
// returns the natural cause of death that applies, if any (suffocation wins
// over old age, old age over hunger). Eggs return none.
std::optional<Cause> CheckNeeds(World& world, int slot);

// The one way an animal leaves the world: leaves meat in its cell, frees the
// slot and, with a display, reports the death unless its cause is filtered
// out.
// REQUIRES: slot occupied.
void KillAnimal(World& world, int slot, Cause cause);

}  // namespace ombrivale
