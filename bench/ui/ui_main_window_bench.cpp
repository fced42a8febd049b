// Ticks per second of the real main window on a full table of 750 animals (or
// an evolved world), driven by its own 1 ms timer, with one mini-map repaint
// per tick. Runs headless (offscreen) unless QT_QPA_PLATFORM says otherwise.
//
//   TimerDriven/autosave:0|1/worldview:0|1/statistics:0|1
//                              the window as it runs: Timer2, Timer1, events,
//                              with or without the yearly save (written on
//                              its own thread), the world view and the
//                              statistics window open; CPU per tick of the
//                              whole process and of the window's thread,
//                              which runs the simulation
//   Fast/statistics:0|1        the same in the Run menu's "&Fast": ticks in
//                              batches of 30 ms, events and repaints between
//   ChartRedraw/page:N         one whole redraw of the statistics window's
//                              chart page N over 300 years of samples
// With the statistics window open the history first holds 300 years of
// samples (3,600 of the world's own), as after a long run.
//   TickCost                   Tick() back to back: what one tick costs
//   FastEvolved/years:N        "&Fast" on the world `ombrivale-run --new
//                              --seed 1 --years N --save` leaves (80, 850,
//                              1500), loaded at start-up and ticked with the
//                              virtual clock of seed 2, at map scale 2 (a
//                              1920 x 1080 screen), statistics window closed
//   HeadlessEvolved/years:N    the same world as `ombrivale-run --world W
//                              --seed 2` runs it: no window, no display
//   FastMemory/autosave:0|1    "&Fast" on a new world of seed 1 for 1,000
//                              years (map scale 2, statistics window
//                              closed), with or without the yearly save:
//                              resident memory (VmRSS) and its peak (VmHWM)
//                              every 100 years, printed and as counters
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/evolved_world.h"
#include "bench/ui/fill_table.h"
#include "core/helpers.h"
#include "sim/new_world.h"
#include "sim/statistics.h"
#include "sim/tick.h"
#include "ui/main_window.h"
#include "world/world_gen.h"

namespace {

using ombrivale::World;
using ombrivale::ui::MainWindow;

constexpr double kSeconds = 4.0;

// CPU seconds of the whole process (the save's writer thread included), and
// of the window's own thread, which runs the simulation: the share of a tick
// that is ours, even on a machine busy with other work.
double CpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
double ProcessCpuSeconds() {
  return CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
}
double ThreadCpuSeconds() {
  return CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

struct Bench {
  QTemporaryDir folder;
  std::unique_ptr<MainWindow> window;

  // A full table of founders' copies, or (`savedWorld` given) that saved
  // world, loaded at start-up.
  Bench(bool autoSave, bool worldView, bool statistics = false,
        const std::string& savedWorld = "") {
    if (!savedWorld.empty()) {
      std::filesystem::copy(savedWorld, folder.path().toStdString() + "/AutoSave",
                            std::filesystem::copy_options::recursive);
    }
    ombrivale::ui::ProgramEnvironment environment;
    environment.programFolder = folder.path();
    environment.mapScale = 2;
    const int screenHeight = savedWorld.empty() ? 768 : 1080;
    environment.screenHeight = [screenHeight] { return screenHeight; };
    environment.endProgram = [] {};
    window = std::make_unique<MainWindow>(environment);
    window->QtWindowSeam().ScriptAnswers({});
    window->StartUp();
    World& world = window->GetWorld();
    if (savedWorld.empty()) {
      ombrivale::UseVirtualClock(world, 11);
      ombrivale::NewWorld(world);
      ombrivale::bench::FillTable(world, ombrivale::kSlotCount);
      window->resize(1280, 800);
    } else {
      ombrivale::UseVirtualClock(world, 2);
      window->resize(1920, 1040);
    }
    world.AutoSave = autoSave ? 1 : 0;
    window->show();
    if (worldView) window->ShowWorldView();
    if (statistics) {
      for (int month = 0; month < 3600; ++month)
        ombrivale::RecordSample(world);
      window->ShowStatistics();
    }
    QCoreApplication::processEvents();
  }

  int Population() const {
    int count = 0;
    const World& world = window->GetWorld();
    for (int slot = 1; slot <= ombrivale::kSlotCount; ++slot)
      count += ombrivale::AnimalAt(world, slot).Alive == 1;
    return count;
  }
};

// Runs the window for kSeconds per iteration, its ticks started by `start`
// and stopped by `stop`, and reports ticks per second and CPU per tick.
template <class Start, class Stop>
void RunWindow(benchmark::State& state, Bench& bench, const Start& start, const Stop& stop) {
  World& world = bench.window->GetWorld();
  uint64_t ticks = 0;
  double seconds = 0;
  int64_t population = 0;
  int64_t samples = 0;
  double cpu = 0;
  double threadCpu = 0;
  for (auto _ : state) {
    const double cpuBefore = ProcessCpuSeconds();
    const double threadBefore = ThreadCpuSeconds();
    const uint64_t before = world.TickCount;
    QEventLoop loop;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
      population += bench.Population();
      ++samples;
    });
    sampler.start(100);
    QTimer::singleShot(static_cast<int>(kSeconds * 1000), &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    start();
    loop.exec();
    stop();
    seconds += clock.nsecsElapsed() / 1e9;
    ticks += world.TickCount - before;
    cpu += ProcessCpuSeconds() - cpuBefore;
    threadCpu += ThreadCpuSeconds() - threadBefore;
  }
  bench.window->Saver().Finish(world);
  const auto perTick = [ticks](double total) {
    return ticks > 0 ? total * 1e6 / static_cast<double>(ticks) : 0;
  };
  state.counters["cpu_us_per_tick"] = perTick(cpu);
  state.counters["window_thread_us_per_tick"] = perTick(threadCpu);
  state.counters["ticks_per_s"] = static_cast<double>(ticks) / seconds;
  state.counters["mean_animals"] =
      samples > 0 ? static_cast<double>(population) / static_cast<double>(samples) : 0;
  state.counters["years"] = static_cast<double>(ticks) / 372.0;
}

void TimerDriven(benchmark::State& state) {
  Bench bench(state.range(0) != 0, state.range(1) != 0, state.range(2) != 0);
  bench.window->Run().SetPaused(true);
  RunWindow(
      state, bench, [&] { bench.window->Run().SetPaused(false); },
      [&] { bench.window->Run().SetPaused(true); });
}
BENCHMARK(TimerDriven)
    ->ArgNames({"autosave", "worldview", "statistics"})
    ->Args({0, 0, 0})
    ->Args({1, 0, 0})
    ->Args({0, 1, 0})
    ->Args({0, 0, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

void Fast(benchmark::State& state) {
  Bench bench(false, false, state.range(0) != 0);
  ombrivale::ui::RunControl& run = bench.window->Run();
  run.SetPaused(true);
  run.SetSpeed(ombrivale::ui::Speed::Fast);
  RunWindow(
      state, bench, [&] { run.SetPaused(false); }, [&] { run.SetPaused(true); });
  state.counters["batches"] = static_cast<double>(run.BatchesStarted());
}
BENCHMARK(Fast)
    ->ArgNames({"statistics"})
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

void ChartRedraw(benchmark::State& state) {
  Bench bench(false, false, true);
  bench.window->Run().SetPaused(true);
  ombrivale::ui::StatisticsWindow& statistics = bench.window->Statistics();
  statistics.SetPage(static_cast<int>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(statistics.View().grab());
}
BENCHMARK(ChartRedraw)->ArgName("page")->DenseRange(0, 8)->Unit(benchmark::kMillisecond);

// One refresh of the shown page after eight more months (a quarter second
// of Real Time), the chart redrawn.
void ChartRefresh(benchmark::State& state) {
  Bench bench(false, false, true);
  bench.window->Run().SetPaused(true);
  ombrivale::ui::StatisticsWindow& statistics = bench.window->Statistics();
  statistics.SetPage(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (int month = 0; month < 8; ++month)
      ombrivale::RecordSample(bench.window->GetWorld());
    statistics.Refresh();
    statistics.View().viewport()->repaint();
  }
}
BENCHMARK(ChartRefresh)->ArgName("page")->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

void FastEvolved(benchmark::State& state) {
  Bench bench(false, false, false,
              ombrivale::bench::EvolvedWorld(static_cast<int>(state.range(0))));
  ombrivale::ui::RunControl& run = bench.window->Run();
  run.SetPaused(true);
  run.SetSpeed(ombrivale::ui::Speed::Fast);
  RunWindow(
      state, bench, [&] { run.SetPaused(false); }, [&] { run.SetPaused(true); });
}
BENCHMARK(FastEvolved)
    ->ArgName("years")
    ->Arg(80)
    ->Arg(850)
    ->Arg(1500)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

void HeadlessEvolved(benchmark::State& state) {
  const std::unique_ptr<World> world = ombrivale::bench::StartWorld(
      ombrivale::bench::EvolvedWorld(static_cast<int>(state.range(0))), true, 2);
  uint64_t ticks = 0;
  double seconds = 0;
  double cpu = 0;
  for (auto _ : state) {
    const double cpuBefore = ThreadCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    while (clock.nsecsElapsed() < static_cast<qint64>(kSeconds * 1e9)) {
      ombrivale::SimulationTick(*world);
      ++ticks;
    }
    seconds += clock.nsecsElapsed() / 1e9;
    cpu += ThreadCpuSeconds() - cpuBefore;
  }
  state.counters["cpu_us_per_tick"] = ticks > 0 ? cpu * 1e6 / static_cast<double>(ticks) : 0;
  state.counters["ticks_per_s"] = static_cast<double>(ticks) / seconds;
  state.counters["years"] = static_cast<double>(ticks) / 372.0;
}
BENCHMARK(HeadlessEvolved)
    ->ArgName("years")
    ->Arg(80)
    ->Arg(850)
    ->Arg(1500)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The process's resident memory and its peak so far, and what of the heap
// is in use (the rest of what the heap holds is free, kept for reuse), in kB.
struct Resident {
  long rss = 0;
  long peak = 0;
  long heapInUse = 0;
  long heapHeld = 0;
};
Resident ReadResident() {
  Resident out;
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) out.rss = std::stol(line.substr(6));
    if (line.rfind("VmHWM:", 0) == 0) out.peak = std::stol(line.substr(6));
  }
  const struct mallinfo2 heap = mallinfo2();
  out.heapInUse = static_cast<long>((heap.uordblks + heap.hblkhd) / 1024);
  out.heapHeld = static_cast<long>((heap.arena + heap.hblkhd) / 1024);
  return out;
}

void FastMemory(benchmark::State& state) {
  constexpr int kYears = 1000;
  constexpr int kEvery = 100;
  QTemporaryDir folder;
  ombrivale::ui::ProgramEnvironment environment;
  environment.programFolder = folder.path();
  environment.mapScale = 2;
  environment.screenHeight = [] { return 1080; };
  environment.endProgram = [] {};
  environment.seed = 1;
  MainWindow window(environment);
  window.QtWindowSeam().ScriptAnswers({});
  window.StartUp();
  World& world = window.GetWorld();
  world.AutoSave = state.range(0) != 0 ? 1 : 0;
  window.resize(1920, 1040);
  window.show();
  QCoreApplication::processEvents();
  ombrivale::ui::RunControl& run = window.Run();
  run.SetPaused(true);
  run.SetSpeed(ombrivale::ui::Speed::Fast);
  const uint64_t firstTick = world.TickCount;
  double seconds = 0;
  int turned = 0;
  for (auto _ : state) {
    QEventLoop loop;
    QTimer watch;
    QElapsedTimer clock;
    int32_t lastYear = world.Year;
    int nextSample = 0;
    // Years turned, as the runner's --years counts them: a new world's date
    // (set back, or forward past its generation) turns none. A batch of
    // 30 ms runs a year or two.
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (world.Year > lastYear && world.Year - lastYear <= 4) turned += world.Year - lastYear;
      lastYear = world.Year;
      if (turned < nextSample) return;
      const Resident resident = ReadResident();
      std::fprintf(stderr,
                   "year %4d  %6.1f s  world year %4d  VmRSS %6ld kB  VmHWM %6ld kB  "
                   "heap in use %6ld kB of %6ld kB\n",
                   turned, clock.nsecsElapsed() / 1e9, world.Year, resident.rss, resident.peak,
                   resident.heapInUse, resident.heapHeld);
      state.counters["rss_kb_" + std::to_string(nextSample)] = static_cast<double>(resident.rss);
      state.counters["heap_kb_" + std::to_string(nextSample)] =
          static_cast<double>(resident.heapInUse);
      state.counters["peak_kb"] = static_cast<double>(resident.peak);
      nextSample += kEvery;
      if (turned >= kYears) loop.quit();
    });
    clock.start();
    watch.start(5);
    run.SetPaused(false);
    loop.exec();
    run.SetPaused(true);
    seconds += clock.nsecsElapsed() / 1e9;
  }
  window.Saver().Finish(world);
  state.counters["ticks_per_s"] = static_cast<double>(world.TickCount - firstTick) / seconds;
}
BENCHMARK(FastMemory)
    ->ArgName("autosave")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

void TickCost(benchmark::State& state) {
  Bench bench(false, false);
  bench.window->Timer2().stop();
  for (auto _ : state)
    bench.window->Tick();
  state.counters["animals"] = bench.Population();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(TickCost)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
