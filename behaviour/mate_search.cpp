#include "behaviour/mate_search.h"

// Not built yet: does nothing.
namespace ombrivale {

void SeekMate(World&, int) {}
bool IsCompatible(const World&, int, int) { return false; }

}  // namespace ombrivale
