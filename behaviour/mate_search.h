// Looking for a partner and the test of being of one kind.
#pragma once

#include <cstdint>
#include <span>

#include "core/world.h"

namespace ombrivale {

// An adult in its breeding window looks for the nearest ready, compatible
// animal of the other sex; mates when it is under one cell away, otherwise
// turns towards it when within smell range.
void SeekMate(World& world, int seeker);

// Where each of the 115 compared values lies in the Animal record, built
// from the gene table once, so a comparison is a run of one- or two-byte
// compares: the 5 egg genes, then the 55 of the infant and of the adult set.
struct ComparedValue {
  uint16_t offset;  // bytes from the start of the Animal
  uint8_t size;     // 1 or 2
};
std::span<const ComparedValue> ComparedValues();

// True when more than 75 per cent (of 114) of the 115 compared genes are equal.
bool IsCompatible(const World& world, int a, int b);

}  // namespace ombrivale
