#include "world/map_picture.h"

// Not built yet: does nothing.
namespace ombrivale {

void ReDrawMap(World&) {}

}  // namespace ombrivale
