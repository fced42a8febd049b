// Litters and eggs.
#pragma once

#include "core/world.h"

namespace ombrivale {

// Lays the pair's litter. first has Sex 0, second Sex 1; the eggs lie where
// second stands.
void Mate(World& world, int first, int second);

// Gives `egg` the fields of a newly laid egg of its own genes: alive, ages 0,
// Hunger kHungerAtLaying, Breath its infant BreathCapasity, Stage egg and
// EggTimer its TimeInEgg. Sex, place, mode and headings are the layer's.
void StartEgg(Animal& egg);

// The lowest free slot, or 0 when all 750 are taken.
int FindFreeSlot(const World& world);

}  // namespace ombrivale
