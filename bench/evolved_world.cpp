#include "bench/evolved_world.h"

#include <cstdio>
#include <filesystem>

#include "sim/session.h"
#include "sim/tick.h"
#include "world/world_files.h"

namespace ombrivale::bench {
namespace {

namespace fs = std::filesystem;

// The folder beside the benchmark program where the evolved worlds are kept.
std::string WorldsFolder() {
  std::error_code error;
  fs::path program = fs::read_symlink("/proc/self/exe", error);
  return (error ? fs::temp_directory_path() : program.parent_path()).string() + "/worlds";
}

}  // namespace

std::unique_ptr<World> StartWorld(const std::string& folder, bool load, uint64_t seed) {
  auto world = std::make_unique<World>();
  StartUpPlan plan;
  plan.options.autoSave = false;
  plan.worldFolder = folder;
  plan.loadWorld = load;
  plan.seed = seed;
  StartUp(*world, plan);
  return world;
}

std::string EvolvedWorld(int years) {
  const std::string folder = WorldsFolder() + "/seed1-" + std::to_string(years) + "y";
  if (HasSavedWorld(folder)) return folder;
  std::fprintf(stderr, "making %s (seed 1, %d years)...\n", folder.c_str(), years);
  std::unique_ptr<World> world = StartWorld(folder, false, 1);
  for (int turned = 0; turned < years;) {
    const int32_t year = world->Year;
    SimulationTick(*world);
    if (world->Year == year + 1) ++turned;
  }
  SaveWorld(*world, folder);
  return folder;
}

}  // namespace ombrivale::bench
