#include "world/world_files.h"

// Not built yet: does nothing.
namespace ombrivale {

void SaveWorld(World&, const std::string&) {}
void LoadWorld(World&, const std::string&) {}

}  // namespace ombrivale
