#include "core/tick.h"

// Not built yet: does nothing.
namespace ombrivale {

void SimulationTick(World&) {}
void MonthStep(World&) {}
void AnimalStep(World&, int) {}

}  // namespace ombrivale
