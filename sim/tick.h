// The simulation tick and the month step.
#pragma once

#include "behaviour/forage.h"
#include "behaviour/mate_search.h"
#include "core/world.h"

namespace ombrivale {

// What a step runs for an animal that forages or seeks a mate: the
// library's Forage and SeekMate, or, in the equivalence tests, the literal
// loops they must match.
struct StepRules {
  void (*forage)(World& world, int slot) = Forage;
  void (*seekMate)(World& world, int seeker) = SeekMate;
};

// One tick: counts toward the month, restarts an empty world when asked,
// restores the mini map, steps, checks and draws every occupied slot in
// ascending order, places the marker, redraws the world view and yields.
void SimulationTick(World& world, const StepRules& rules = {});

// Ages the population, counts down eggs, raises hunger and advances the
// calendar; at a new year changes the world, saves it (AutoSave) and redraws
// the map. Does nothing while the world is running and fewer than 31 ticks
// have passed.
void MonthStep(World& world);

// One animal's behaviour and move for one tick. REQUIRES: slot occupied.
void AnimalStep(World& world, int slot, const StepRules& rules = {});

}  // namespace ombrivale
