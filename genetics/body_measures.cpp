#include "genetics/body_measures.h"

// Not built yet: does nothing.
namespace ombrivale {

float MeanOf(double a, double b) { return static_cast<float>((a + b) / 2); }
float LimbBulk(double, double, double, double) { return 0; }
double BodyVolume(const World&, int) { return 0; }
int IsWinged(const World&, int) { return 0; }
int IsBipedal(const World&, int) { return 0; }
int IsBipedaloid(const World&, int) { return 0; }
float PrimordialScore(const World&, int) { return 0; }
int FindMostEvolved(const World&) { return 0; }
int FindLeastEvolved(const World&) { return 0; }

}  // namespace ombrivale
