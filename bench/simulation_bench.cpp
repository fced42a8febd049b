// Speed of the simulation tick, the world files, the map redraw and world
// generation.
//
// The tick benchmarks start from a reference world: a world generated from a
// fixed seed and ticked until its table is full (or a year limit is reached),
// built once per run and kept in memory. Each variant copies it, sets the
// population to 100, 300 or 750 animals (dropping the highest slots, or
// cloning living animals into free slots) and, when asked, every animal's
// vision distance to 5, 50 or 500; then it ticks, starting again from the
// copy every simulated year so the population stays near its size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/helpers.h"
#include "core/world.h"
#include "sim/new_world.h"
#include "sim/tick.h"
#include "world/map_picture.h"
#include "world/world_files.h"
#include "world/world_gen.h"

namespace ombrivale {
namespace {

constexpr uint64_t kReferenceSeed = 1;
constexpr int kReferenceYearLimit = 400;
constexpr int kTicksPerYear = 31 * 12;

int CountOccupied(const World& world) {
  int count = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot)
    count += IsOccupied(AnimalAt(world, slot));
  return count;
}

World StartWorld(uint64_t seed) {
  World world;
  FillMonthNames(world);
  UseVirtualClock(world, seed);
  world.LogOn = 1;
  world.AutoRestart = 1;
  world.OverwriteLeast = 1;
  world.Filters = {true, true, true, true, true};
  NewWorld(world);
  return world;
}

struct Reference {
  World world;
  uint64_t ticks = 0;
};

const Reference& ReferenceWorld() {
  static const Reference reference = [] {
    Reference r{StartWorld(kReferenceSeed)};
    const uint64_t limit = static_cast<uint64_t>(kReferenceYearLimit) * kTicksPerYear;
    while (r.ticks < limit) {
      SimulationTick(r.world);
      ++r.ticks;
      if (r.ticks % 31 == 0 && CountOccupied(r.world) >= kSlotCount) break;
    }
    std::fprintf(stderr, "reference world: seed %llu, %llu ticks, %s, %d animals\n",
                 static_cast<unsigned long long>(kReferenceSeed),
                 static_cast<unsigned long long>(r.ticks), r.world.display->Label1.c_str(),
                 CountOccupied(r.world));
    return r;
  }();
  return reference;
}

// The reference world with exactly `population` occupied slots (as far as it
// has any animal to clone) and, when vision > 0, that vision distance.
World ShapedWorld(int population, int vision) {
  World world = ReferenceWorld().world;
  std::vector<int> occupied;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (IsOccupied(AnimalAt(world, slot))) occupied.push_back(slot);
  }
  for (size_t i = static_cast<size_t>(population); i < occupied.size(); ++i) {
    AnimalAt(world, occupied[i]).Alive = 0;
  }
  if (!occupied.empty()) {
    int count = std::min<int>(population, static_cast<int>(occupied.size()));
    size_t next = 0;
    for (int slot = 1; slot <= kSlotCount && count < population; ++slot) {
      if (IsOccupied(AnimalAt(world, slot))) continue;
      AnimalAt(world, slot) = AnimalAt(world, occupied[next++ % occupied.size()]);
      ++count;
    }
  }
  if (vision > 0) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      for (GeneSet& g : AnimalAt(world, slot).Genes)
        g.Head.Vision.Distance = static_cast<int16_t>(vision);
    }
  }
  return world;
}

// Ticks per second; range(0) animals, range(1) vision distance (0: as evolved).
void BM_Tick(benchmark::State& state) {
  const World start =
      ShapedWorld(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  World world = start;
  int sinceReset = 0;
  int64_t animalSum = 0;
  for (auto _ : state) {
    if (sinceReset == kTicksPerYear) {
      state.PauseTiming();
      world = start;
      sinceReset = 0;
      state.ResumeTiming();
    }
    SimulationTick(world);
    ++sinceReset;
    animalSum += world.AnimalCount;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["animals"] =
      benchmark::Counter(static_cast<double>(animalSum) /
                         static_cast<double>(std::max<int64_t>(1, state.iterations())));
}
BENCHMARK(BM_Tick)
    ->ArgNames({"animals", "vision"})
    ->ArgsProduct({{100, 300, 750}, {0, 5, 50, 500}})
    ->Unit(benchmark::kMicrosecond);

std::string ScratchFolder(const char* name) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("ombrivale_bench_" + std::to_string(::getpid()) + "_" + name);
  std::filesystem::remove_all(folder);
  return folder.string();
}

void BM_SaveWorld(benchmark::State& state) {
  World world = ShapedWorld(kSlotCount, 0);
  const std::string folder = ScratchFolder("save");
  for (auto _ : state)
    SaveWorld(world, folder);
  if (!std::filesystem::exists(std::filesystem::path(folder) / "planet_0.dat")) {
    state.SkipWithError("SaveWorld wrote no world");
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SaveWorld)->Unit(benchmark::kMillisecond);

void BM_LoadWorld(benchmark::State& state) {
  World saved = ShapedWorld(kSlotCount, 0);
  const std::string folder = ScratchFolder("load");
  SaveWorld(saved, folder);
  World world;
  bool loaded = true;
  for (auto _ : state) {
    world.WorldLoaded = 0;
    LoadWorld(world, folder);
    loaded = loaded && world.WorldLoaded != 0;
  }
  if (!loaded) state.SkipWithError("LoadWorld did not load the saved world");
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadWorld)->Unit(benchmark::kMillisecond);

void BM_ReDrawMap(benchmark::State& state) {
  World world = ReferenceWorld().world;
  for (auto _ : state) {
    ReDrawMap(world);
    benchmark::DoNotOptimize(world.display->MiniBak.pixels.data());
  }
}
BENCHMARK(BM_ReDrawMap)->Unit(benchmark::kMicrosecond);

void BM_NewWorld(benchmark::State& state) {
  World world = StartWorld(2);
  for (auto _ : state) {
    NewWorld(world);
    benchmark::DoNotOptimize(world.SeaLevel);
  }
}
BENCHMARK(BM_NewWorld)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ombrivale

BENCHMARK_MAIN();
