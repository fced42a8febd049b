// How far an animal may step in one tick.
#pragma once

#include <cstdint>

#include "core/world.h"

namespace ombrivale {

// Step length in hundredths of a cell (0 for an egg), from the terrain two
// rows below the animal, its covering and its limbs. An animal without
// feathers over open sky falls: HeadingY becomes +1 and it steps its body
// volume.
double MoveSpeed(World& world, int slot);

// The same step length as MoveSpeed, which is a whole number of hundredths
// (the genes are whole, the factors 2, 4, 6 and 10) except for a fall, the
// body's volume: whole lengths as an integer, so the step can be taken in
// whole numbers, and a fall's as MoveSpeed gives it.
struct StepLength {
  bool whole = true;
  int32_t hundredths = 0;  // when whole
  double fall = 0;         // when not
};
StepLength MoveStep(World& world, int slot);

}  // namespace ombrivale
