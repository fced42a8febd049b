// The evolved worlds the tick benchmarks run on, shared by the library's and
// the window's benchmark.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/world.h"

namespace ombrivale::bench {

// Starts a world as ombrivale-run does, without a window or a display:
// loaded from `folder` (load) or new, with the virtual clock of `seed`.
std::unique_ptr<World> StartWorld(const std::string& folder, bool load, uint64_t seed);

// The folder of the world `ombrivale-run --new --seed 1 --years <years>
// --save` leaves, made the first time it is asked for and kept beside the
// benchmark program (worlds/seed1-<years>y).
std::string EvolvedWorld(int years);

}  // namespace ombrivale::bench
