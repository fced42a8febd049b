#include "behaviour/move_speed.h"

// Not built yet: does nothing.
namespace ombrivale {

double MoveSpeed(World&, int) { return 0; }

}  // namespace ombrivale
