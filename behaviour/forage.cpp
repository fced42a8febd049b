#include "behaviour/forage.h"

// Not built yet: does nothing.
namespace ombrivale {

void Forage(World&, int) {}

}  // namespace ombrivale
