// Blending the parents' genes and mutating the young.
#pragma once

#include "core/world.h"
#include "genetics/gene_table.h"

namespace ombrivale {

// (a + b) / 2; a mean ending in a half goes up for bias > 0, down for bias
// < 0, and for bias 0 up, down or unchanged with chances 1/4, 1/4, 1/2 (one
// draw, only then).
float BlendGene(World& world, double a, double b, int bias);

// value one step up (chance 0.6) or down (0.4), then held within low and
// high; a bound of -1 means none. One draw.
double NudgeGene(World& world, double value, double low, double high);

// pi r^2 with r = MeanOf(Body.Height, Body.Width) / 2, in double precision:
// the bound of Body.BreathCapasity. Draws nothing.
double BreathingAreaOf(const GeneSet& set);

// A gene bound's value for `set`, given its breathing area; -1 means none
// (so a gene bound that happens to hold -1 bounds nothing either).
double BoundValue(const Bound& bound, const GeneSet& set, double breathingArea);

// Writes the child's egg genes and both gene sets from the two parents.
void Inherit(World& world, int first, int second, int child);

// Mutation passes over the child's genome: the world's mutation_passes
// condition, five by default.
void Mutate(World& world, int child);

}  // namespace ombrivale
