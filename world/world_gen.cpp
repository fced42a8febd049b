#include "world/world_gen.h"

// Not built yet: does nothing.
namespace ombrivale {

void NewWorld(World&) {}
void CreateFounder(World&, int) {}
void ChangeWorld(World&) {}

}  // namespace ombrivale
