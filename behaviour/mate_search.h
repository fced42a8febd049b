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

// The candidate tests that do not depend on the seeker: a living, hatched
// animal that has not bred this season, with its age strictly inside its own
// breeding window.
bool MayMate(const Animal& animal);

// The mate search keeps, for the length of a tick, the slots that may mate
// (World::mateCandidates). Within a tick only the tick's hatching and
// growing up can make a slot one (births lay eggs; HasBred is cleared and
// ages grow in the month step, before any animal moves): the tick calls this
// after either. Anything may make a slot no longer one, so each is tested
// again when it comes.
void NoteStageChanged(World& world, int slot);
// True when every slot that may mate is among the kept candidates, or none
// are kept for this tick (the invariant checks).
bool MateCandidatesMatch(const World& world);

// True when more than 75 per cent (of 114) of the 115 compared genes are equal.
bool IsCompatible(const World& world, int a, int b);

}  // namespace ombrivale
