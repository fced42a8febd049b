// Looking for a partner and the test of being of one kind.
#pragma once

#include "core/world.h"

namespace ombrivale {

// An adult in its breeding window looks for the nearest ready, compatible
// animal of the other sex; mates when it is under one cell away, otherwise
// turns towards it when within smell range.
void SeekMate(World& world, int seeker);

// True when more than 75 per cent (of 114) of the 115 compared genes are equal.
bool IsCompatible(const World& world, int a, int b);

}  // namespace ombrivale
