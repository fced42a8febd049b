#include "genetics/mating.h"

// Not built yet: does nothing.
namespace ombrivale {

void Mate(World&, int, int) {}
int FindFreeSlot(const World&) { return 0; }

}  // namespace ombrivale
