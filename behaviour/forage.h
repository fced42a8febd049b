// Finding food, eating and hunting.
#pragma once

#include "core/world.h"

namespace ombrivale {

// A hungry animal's look around, heading choice, meal and hunt for one tick.
void Forage(World& world, int slot);

}  // namespace ombrivale
