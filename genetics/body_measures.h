// Whole-animal measures computed from the genes, and the evolvedness score.
#pragma once

#include "core/world.h"

namespace ombrivale {

// (a + b) / 2 in single precision.
float MeanOf(double a, double b);

// Mean cross-section of a limb's upper and lower segment.
float LimbBulk(double upperLength, double upperWidth, double lowerLength, double lowerWidth);

// Sum of the seven cross-sections of the expressed set; 0 for an egg.
double BodyVolume(const World& world, int slot);

// Shape tests on the expressed set; 0 for an egg.
int IsWinged(const World& world, int slot);
int IsBipedal(const World& world, int slot);
int IsBipedaloid(const World& world, int slot);

// How many of the 115 tested genes hold their primordial value.
int PrimordialCount(const Animal& animal);

// Per cent of the 144-divisor count of genes still at their primordial
// value; an all-primordial animal scores 115/144 x 100.
float PrimordialScore(const World& world, int slot);
// The score of a count (count / 144 x 100, in single precision).
float ScoreOfCount(int count);

// Lowest (most evolved) and highest (least evolved, above 0) score among the
// occupied slots; ties to the lower slot; 0 when none qualifies.
int FindMostEvolved(const World& world);
int FindLeastEvolved(const World& world);

// FindLeastEvolved over the world's kept counts (World::primordialCounts),
// which it takes afresh from the table when they are not kept. A full
// table's litters ask it for every young; the table is scored once.
int FindLeastEvolvedKept(World& world);
// PrimordialCount(slot) from the kept counts (taking them afresh when they
// are not kept). REQUIRES: slot occupied.
int KeptPrimordialCount(World& world, int slot);
// Whatever changes the genes of a living animal (a birth, a founder) calls
// this, so the kept counts stay true; a load, which changes many, forgets
// them instead.
void NoteGenesChanged(World& world, int slot);
// After records were rewritten wholesale (a load, a table filled by hand):
// forgets what is kept of every slot, the counts, the packed genomes, the
// position index and the mate candidates, all taken afresh when next asked
// for.
void ForgetPrimordialCounts(World& world);
// True when every occupied slot's kept count is its count (invariant checks).
bool PrimordialCountsMatch(const World& world);

}  // namespace ombrivale
