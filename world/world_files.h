// The saved world: the "AutoSave" folder and its files.
#pragma once

#include <string>

#include "core/world.h"

namespace ombrivale {

// Saves the world into `folder` (the program's "AutoSave" folder).
void SaveWorld(World& world, const std::string& folder);

// Loads the world from `folder`; sets WorldLoaded when it reached its end.
void LoadWorld(World& world, const std::string& folder);

}  // namespace ombrivale
