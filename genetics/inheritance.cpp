#include "genetics/inheritance.h"

// Not built yet: does nothing.
namespace ombrivale {

float BlendGene(World&, double, double, int) { return 0; }
double NudgeGene(World&, double v, double, double) { return v; }
void Inherit(World&, int, int, int) {}
void Mutate(World&, int) {}

}  // namespace ombrivale
