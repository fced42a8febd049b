// Speed of the simulation tick, the species grouping and its history, the
// world files, the map redraw and its repaint by trait, and world generation.
//
// Two kinds of world feed the tick benchmarks:
//  - Evolved worlds, as `ombrivale-run --world W --new --seed 1 --years N
//    --save` leaves them (N = 80, 300, 850 and 1500; the last two take a
//    minute or two to make, once): made through the same session
//    functions the runner uses, saved into the build folder the first time
//    (bench/worlds/seed1-<N>y) and loaded from there, then ticked as the
//    runner ticks them, with the virtual clock of seed 7.
//  - The fixed-vision reference: the seed-1 world ticked until its table is
//    full, thinned (or cloned) to 100, 300 or 750 animals and, when asked,
//    every animal's vision set to 5, 50 or 500; it starts again from its copy
//    every simulated year so the population stays near its size.
// Neither keeps a display, as the runner does not.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "behaviour/species.h"
#include "behaviour/species_history.h"
#include "bench/evolved_world.h"
#include "core/helpers.h"
#include "core/world.h"
#include "genetics/body_measures.h"
#include "sim/new_world.h"
#include "sim/session.h"
#include "sim/tick.h"
#include "world/map_colouring.h"
#include "world/map_picture.h"
#include "world/safe_folder.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

namespace fs = std::filesystem;
using bench::EvolvedWorld;
using bench::StartWorld;

constexpr uint64_t kReferenceSeed = 1;
constexpr int kReferenceYearLimit = 400;
constexpr int kTicksPerYear = kTicksPerMonth * kMonthsPerYear;

int CountOccupied(const World& world) {
  int count = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot)
    count += IsOccupied(AnimalAt(world, slot));
  return count;
}

// Ticks `start` over and over, starting again from it every `length` ticks;
// reports ticks per second and the mean population.
void TickFrom(benchmark::State& state, const World& start, int length) {
  World world = start;
  int64_t animalSum = 0;
  int sinceReset = 0;
  for (auto _ : state) {
    if (sinceReset == length) {
      state.PauseTiming();
      world = start;
      sinceReset = 0;
      state.ResumeTiming();
    }
    SimulationTick(world);
    ++sinceReset;
    animalSum += world.AnimalCount;
  }
  state.counters["ticks/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["animals"] = static_cast<double>(animalSum) /
                              static_cast<double>(std::max<int64_t>(1, state.iterations()));
}

// Ticks per second on the seed-1 world evolved for range(0) years.
void BM_TickEvolved(benchmark::State& state) {
  const std::string folder = EvolvedWorld(static_cast<int>(state.range(0)));
  const std::unique_ptr<World> start = StartWorld(folder, true, 7);
  TickFrom(state, *start, 20000);  // the runs measured by hand are 20,000 ticks long
}
BENCHMARK(BM_TickEvolved)
    ->ArgName("years")
    ->Arg(80)
    ->Arg(300)
    ->Arg(850)
    ->Arg(1500)
    ->Unit(benchmark::kMicrosecond);

// The species grouping of one month step on the evolved seed-1 table
// (range(0) years: at 80 a full table of one species, at 150 some 570
// animals of three): with range(1) 1, as every month step runs it, after a
// month of ticks with last month's grouping kept; with 0, from nothing (a
// loaded world's first month: every genome packed and compared afresh).
void BM_GroupSpecies(benchmark::State& state) {
  const std::unique_ptr<World> start =
      StartWorld(EvolvedWorld(static_cast<int>(state.range(0))), true, 7);
  const bool steady = state.range(1) != 0;
  World world = *start;
  GroupSpecies(world);
  SpeciesRecord before;
  std::vector<uint64_t> ids;
  int64_t adultSum = 0;
  // Timed by hand around the grouping alone: pausing the timer costs more
  // than the grouping.
  for (auto _ : state) {
    if (world.Year >= start->Year + 50) world = *start;  // the table stays as evolved
    if (steady) {
      // The month's ticks group the species at their end; that grouping is
      // undone, and done again timed, from last month's record and the
      // stale marks the month's births left.
      before = world.species;
      ids = world.lineage.idOfSlot;
      const int32_t month = world.Month;
      while (world.Month == month)
        SimulationTick(world);
      world.species = before;
      for (int slot = 1; slot <= kSlotCount; ++slot) {
        if (world.lineage.idOfSlot[static_cast<size_t>(slot)] != ids[static_cast<size_t>(slot)])
          MarkGenomeStale(world.species, slot);
      }
    } else {
      MarkAllGenomesStale(world.species);
    }
    const auto begin = std::chrono::steady_clock::now();
    GroupSpecies(world);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    for (int slot = 1; slot <= kSlotCount; ++slot)
      adultSum += SpeciesOf(world, slot) != 0;
  }
  state.counters["species"] = world.species.count;
  state.counters["adults"] =
      static_cast<double>(adultSum) / static_cast<double>(std::max<int64_t>(1, state.iterations()));
}
BENCHMARK(BM_GroupSpecies)
    ->ArgNames({"years", "steady"})
    ->Args({80, 1})
    ->Args({80, 0})
    ->Args({150, 1})
    ->Args({150, 0})
    ->Iterations(600)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// What the species history adds to a month step: recording the month's
// grouping, on the evolved seed-1 table (range(0) years, as for
// BM_GroupSpecies). Each month's ticks record it themselves; that record is
// undone and done again, timed.
void BM_RecordSpeciesGrouping(benchmark::State& state) {
  const std::unique_ptr<World> start =
      StartWorld(EvolvedWorld(static_cast<int>(state.range(0))), true, 7);
  World world = *start;
  for (int month = 0; month < 2; ++month) {  // a history begun, as in a long run
    const int16_t now = world.Month;
    while (world.Month == now)
      SimulationTick(world);
  }
  SpeciesHistory before;
  for (auto _ : state) {
    if (world.Year >= start->Year + 50) world = *start;
    before = world.speciesHistory;
    const int16_t month = world.Month;
    while (world.Month == month)
      SimulationTick(world);
    world.speciesHistory = before;
    const auto begin = std::chrono::steady_clock::now();
    RecordSpeciesGrouping(world, world.history.recorded - 1, false);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
  }
  state.counters["species"] = static_cast<double>(world.speciesHistory.species.size());
  state.counters["living"] = static_cast<double>(world.speciesHistory.living.size());
}
BENCHMARK(BM_RecordSpeciesGrouping)
    ->ArgName("years")
    ->Arg(80)
    ->Arg(150)
    ->Iterations(600)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

const World& ReferenceWorld() {
  static const std::unique_ptr<World> reference = [] {
    std::unique_ptr<World> world = StartWorld("", false, kReferenceSeed);
    const uint64_t limit = static_cast<uint64_t>(kReferenceYearLimit) * kTicksPerYear;
    uint64_t ticks = 0;
    while (ticks < limit) {
      SimulationTick(*world);
      ++ticks;
      if (ticks % kTicksPerMonth == 0 && CountOccupied(*world) >= kSlotCount) break;
    }
    std::fprintf(stderr, "reference world: seed %llu, %llu ticks, year %d, %d animals\n",
                 static_cast<unsigned long long>(kReferenceSeed),
                 static_cast<unsigned long long>(ticks), world->Year, CountOccupied(*world));
    return world;
  }();
  return *reference;
}

// The reference world with exactly `population` occupied slots (as far as it
// has any animal to clone) and, when vision > 0, that vision distance.
World ShapedWorld(int population, int vision) {
  World world = ReferenceWorld();
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
  ForgetPrimordialCounts(world);  // genes were written past the kept counts
  return world;
}

// Ticks per second; range(0) animals, range(1) vision distance (0: as evolved).
void BM_Tick(benchmark::State& state) {
  const World start =
      ShapedWorld(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  TickFrom(state, start, kTicksPerYear);
}
BENCHMARK(BM_Tick)
    ->ArgNames({"animals", "vision"})
    ->ArgsProduct({{100, 300, 750}, {0, 5, 50, 500}})
    ->Unit(benchmark::kMicrosecond);

std::string ScratchFolder(const char* name) {
  const fs::path folder =
      fs::temp_directory_path() / ("ombrivale_bench_" + std::to_string(::getpid()) + "_" + name);
  fs::remove_all(folder);
  return folder.string();
}

void BM_SaveWorld(benchmark::State& state) {
  World world = ShapedWorld(kSlotCount, 0);
  const std::string folder = ScratchFolder("save");
  for (auto _ : state)
    SaveWorld(world, folder);
  if (!fs::exists(fs::path(folder) / "planet_0.dat")) state.SkipWithError("no world was saved");
  fs::remove_all(folder);
}
BENCHMARK(BM_SaveWorld)->Unit(benchmark::kMillisecond);

// What a save stalls the simulation for: the copy of what it writes.
void BM_TakeSnapshot(benchmark::State& state) {
  const std::unique_ptr<World> world = StartWorld(EvolvedWorld(80), true, 7);
  SaveSnapshot snapshot;
  for (auto _ : state) {
    TakeSnapshot(*world, snapshot);
    benchmark::DoNotOptimize(snapshot.animals.data());
  }
}
BENCHMARK(BM_TakeSnapshot)->Unit(benchmark::kMicrosecond);

// The same file system flushed whole (syncfs) instead of file by file: the
// other way a save could make sure of its files, measured beside it.
class WholeFlushFileSystem : public PosixFileSystem {
 public:
  Status SyncFiles(const std::vector<std::string>& paths) override {
    if (paths.empty()) return {};
    const int fd = ::open(paths.front().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return PlatformError(errno);
    const int result = ::syncfs(fd);
    const int error = errno;
    ::close(fd);
    return result == 0 ? Status() : PlatformError(error);
  }
};

// The background part of a save of the 80-year world: the files written
// into the spare folder, flushed and swapped in; range(0) 0 flushes only the
// files written (what saves do), 1 the whole file system.
void BM_WriteSnapshot(benchmark::State& state) {
  const std::unique_ptr<World> world = StartWorld(EvolvedWorld(80), true, 7);
  SaveSnapshot snapshot;
  TakeSnapshot(*world, snapshot);
  const std::string folder = ScratchFolder("write");
  PosixFileSystem fileByFile;
  WholeFlushFileSystem whole;
  FileSystem& files = state.range(0) == 0 ? static_cast<FileSystem&>(fileByFile) : whole;
  for (auto _ : state) {
    if (!WriteSnapshot(snapshot, folder, files).empty()) state.SkipWithError("the save failed");
  }
  fs::remove_all(folder);
  fs::remove_all(SiblingsOf(folder).spare);
}
BENCHMARK(BM_WriteSnapshot)
    ->ArgName("whole_fs_flush")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_LoadWorld(benchmark::State& state) {
  World saved = ShapedWorld(kSlotCount, 0);
  const std::string folder = ScratchFolder("load");
  SaveWorld(saved, folder);
  World world;
  bool loaded = true;
  for (auto _ : state)
    loaded = LoadWorld(world, folder) && loaded;
  if (!loaded) state.SkipWithError("the saved world did not load");
  fs::remove_all(folder);
}
BENCHMARK(BM_LoadWorld)->Unit(benchmark::kMillisecond);

void BM_ReDrawMap(benchmark::State& state) {
  World world = ReferenceWorld();
  Display display;
  world.display = &display;
  for (auto _ : state) {
    ReDrawMap(world);
    benchmark::DoNotOptimize(display.MiniBak.pixels.data());
  }
}
BENCHMARK(BM_ReDrawMap)->Unit(benchmark::kMicrosecond);

// The mini map repainted for another colouring on a full table (the
// reference world): the animals' colours and legend, the background copied
// back and the dots drawn. range(0) is the choice, named in the label.
void BM_RepaintMiniMap(benchmark::State& state) {
  static constexpr const char* kChoices[] = {
      "real",  "species", "generation", "age",       "hunger",   "score",
      "stage", "sex",     "diet",       "breathing", "covering", "adult.Body.Height"};
  const World& world = ReferenceWorld();
  const ColourChoice choice = *ParseColourChoice(kChoices[state.range(0)]);
  MapPicture background;
  PaintTerrain(world, background);
  MapPicture picture;
  MapColouring colouring;
  for (auto _ : state) {
    ColourAnimals(world, choice, colouring);
    picture.pixels = background.pixels;
    PaintAnimals(world, colouring, picture);
    benchmark::DoNotOptimize(picture.pixels.data());
  }
  state.SetLabel(kChoices[state.range(0)]);
}
BENCHMARK(BM_RepaintMiniMap)->DenseRange(0, 11)->Unit(benchmark::kMicrosecond);

void BM_NewWorld(benchmark::State& state) {
  std::unique_ptr<World> world = StartWorld("", false, 2);
  for (auto _ : state) {
    NewWorld(*world);
    benchmark::DoNotOptimize(world->SeaLevel);
  }
}
BENCHMARK(BM_NewWorld)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ombrivale

BENCHMARK_MAIN();
