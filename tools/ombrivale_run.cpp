// ombrivale-run: runs a world without a window, to fast-forward evolution
// and to measure the simulation. See kRunUsage for the command line.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "core/world.h"
#include "genetics/body_measures.h"
#include "genetics/play_god_actions.h"
#include "sim/calendar.h"
#include "sim/session.h"
#include "sim/tick.h"
#include "tools/frame_file.h"
#include "tools/run_options.h"
#include "tools/runner_seam.h"
#include "world/animal_import.h"
#include "world/background_save.h"
#include "world/history_file.h"
#include "world/map_colouring.h"
#include "world/phylogeny_export.h"
#include "world/savepoint.h"
#include "world/world_files.h"

namespace ombrivale::tools {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kExitOk = 0;
constexpr int kExitWorldFailed = 1;
constexpr int kExitBadArguments = 2;

// The history's rows as CSV, written as the samples are taken.
class StatsFile {
 public:
  bool Open(const std::string& path) {
    out_.open(path, std::ios::binary | std::ios::trunc);
    if (!out_) return false;
    out_ << HistoryCsvHeader();
    return static_cast<bool>(out_);
  }
  bool IsOpen() const { return out_.is_open(); }

  // Writes the months sampled since the last call: the one sample a tick
  // takes as it was taken, or the points of a history loaded with the world
  // (gathered, as the save kept them).
  void Catch(const World& world) {
    const History& history = world.history;
    const uint64_t fresh = history.recorded - written_;
    row_.clear();
    if (fresh == 1) {
      AppendHistoryCsvRow(row_, history.newest);
    } else if (fresh > 1) {
      for (const MonthSample& point : history.samples)
        AppendHistoryCsvRow(row_, point);
    }
    out_ << row_;
    written_ = history.recorded;
  }

  bool Close() {
    out_.close();
    return !out_.fail();
  }

 private:
  std::ofstream out_;
  std::string row_;
  uint64_t written_ = 0;
};

// The mini map as numbered PNG files (--frames), every few months.
class FrameRecorder {
 public:
  explicit FrameRecorder(const RunOptions& options) : options_(options) {}
  bool IsOn() const { return !options_.frames.empty() && !failed_; }

  // False, with the reason on standard error, when the folder cannot be made.
  bool Open() {
    std::error_code error;
    fs::create_directories(options_.frames, error);
    if (!error) return true;
    std::cerr << "ombrivale-run: cannot make the frames' folder " << options_.frames << ": "
              << error.message() << '\n';
    return false;
  }

  // Called at the start and at every month that passes: a frame at the
  // start and every frameMonths months. False once a frame could not be
  // written (said on standard error; no more are taken).
  bool Month(const World& world, bool start) {
    if (!IsOn()) return !failed_;
    if (!start && ++months_ % options_.frameMonths != 0) return true;
    ColourAnimals(world, options_.colourBy, colouring_);
    PaintMiniMap(world, colouring_, picture_);
    int width = 0;
    int height = 0;
    ScaleMiniMap(picture_, static_cast<int>(options_.frameScale), rgb_, width, height);
    const std::string path = FramePath(options_.frames, written_);
    if (const Status status = WritePng(path, width, height, rgb_); !status.ok()) {
      std::cerr << "ombrivale-run: cannot write the frame " << path << ": " << status.message()
                << '\n';
      failed_ = true;
      return false;
    }
    ++written_;
    return true;
  }
  bool Failed() const { return failed_; }

 private:
  const RunOptions& options_;
  MapColouring colouring_;
  MapPicture picture_;
  std::vector<uint8_t> rgb_;
  uint64_t months_ = 0;
  uint64_t written_ = 0;
  bool failed_ = false;
};

// Writes the species tree and the family record asked for; false, with the
// reason on standard error, when one could not be written.
bool WriteExports(const World& world, const RunOptions& options) {
  bool written = true;
  std::string text;
  const auto write = [&written, &text](const std::string& path, const char* what) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (out.fail()) {
      std::cerr << "ombrivale-run: cannot write " << what << ' ' << path << '\n';
      written = false;
    }
  };
  for (const std::string& path : options.phylogeny) {
    if (path.ends_with(".csv")) {
      SpeciesPhylogenyCsv(world.speciesHistory, text);
    } else {
      SpeciesNewick(world.speciesHistory, text);
    }
    write(path, "the species tree");
  }
  if (!options.lineageCsv.empty()) {
    FamilyPhylogenyCsv(world, text);
    write(options.lineageCsv, "the family record");
  }
  return written;
}

// "Y3, March  12 Animals", as the window's "Time:" and "Life:" frames read.
std::string Caption(const World& world) {
  std::string caption = "Y";
  caption += std::to_string(world.Year);
  caption += ", ";
  caption += MonthName(world.Month);
  caption += "  ";
  caption += std::to_string(world.AnimalCount);
  caption += " Animals";
  return caption;
}

// A one-line bar on standard error, redrawn at most ten times a second.
class ProgressBar {
 public:
  explicit ProgressBar(bool enabled) : enabled_(enabled) {}

  void Show(double fraction, const World& world, uint64_t ticks, double seconds) {
    if (!enabled_) return;
    const auto now = Clock::now();
    if (now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    fraction = std::clamp(fraction, 0.0, 1.0);
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(fraction * kWidth);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(kWidth, '.');
    const double rate = seconds > 0 ? static_cast<double>(ticks) / seconds : 0;
    std::fprintf(stderr, "\r\033[K[%s] %3d%%  %s  %.0f ticks/s", bar.c_str(),
                 static_cast<int>(fraction * 100), Caption(world).c_str(), rate);
    std::fflush(stderr);
    drawn_ = true;
  }
  // Takes the bar off the terminal before other output.
  void Clear() {
    if (!drawn_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    drawn_ = false;
  }

 private:
  bool enabled_;
  bool drawn_ = false;
  Clock::time_point lastDraw_{};
};

// Saves into `folder`; false when the save reported any failure or left no
// world behind.
bool SaveInto(World& world, RunnerSeam& seam, const std::string& folder) {
  const uint64_t boxes = seam.boxes;
  const uint64_t failed = seam.failedSaves;
  SaveWorld(world, folder);
  world.saves->Finish(world);
  seam.Drain(world);
  std::error_code error;
  return seam.boxes == boxes && seam.failedSaves == failed &&
         fs::exists(fs::path(folder) / "planet_0.dat", error);
}

// Reads every file of --import; false, with the reason on standard error,
// when one cannot be read.
bool ReadImports(const std::vector<std::string>& paths, std::vector<Animal>& animals) {
  PosixFileSystem files;
  animals.resize(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    if (const Status error = ReadAnimalToDrop(files, paths[i], animals[i]); !error.ok()) {
      std::cerr << "ombrivale-run: cannot import " << paths[i] << ": " << AnimalFileFault(error)
                << '\n';
      return false;
    }
  }
  return true;
}

// Lays one egg of each animal where its file puts it, with its sex, as Play
// God drops it; false, with the reason on standard error, when one cannot
// be laid.
bool DropImports(World& world, const std::vector<std::string>& paths,
                 const std::vector<Animal>& animals) {
  std::vector<int> placed;
  for (size_t i = 0; i < animals.size(); ++i) {
    const Animal& animal = animals[i];
    const uint8_t sex[] = {animal.Sex};
    const DropOutcome outcome = DropAnimals(world, animal, animal.X, animal.Y, sex, placed);
    if (outcome == DropOutcome::Placed) continue;
    std::cerr << "ombrivale-run: cannot import " << paths[i] << ": "
              << (outcome == DropOutcome::Ground   ? "its position (lines 6 and 7) is in the ground"
                  : outcome == DropOutcome::OffMap ? "its position (lines 6 and 7) is off the map"
                                                   : "the world is full")
              << '\n';
    return false;
  }
  return true;
}

// A folder of its own under the system's temporary folder, removed with it.
struct ScratchFolder {
  std::string path;
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
};

// The savepoint --savepoint names: the latest of that label, else the latest
// of that YEAR-MONTH. Null when none.
const SavepointInfo* ChooseSavepoint(const std::vector<SavepointInfo>& all,
                                     const std::string& which) {
  for (auto it = all.rbegin(); it != all.rend(); ++it)
    if (!it->label.empty() && it->label == which) return &*it;
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    if (std::to_string(it->year) + "-" + std::to_string(it->month) == which) return &*it;
  }
  return nullptr;
}

// Writes the chosen savepoint's files into a new scratch folder.
bool ExtractChosenSavepoint(const RunOptions& options, ScratchFolder& scratch) {
  std::vector<SavepointInfo> all;
  if (const Status error = ListSavepoints(options.world, all); !error.ok()) {
    std::cerr << "ombrivale-run: " << error.ToString() << '\n';
    return false;
  }
  const SavepointInfo* chosen = ChooseSavepoint(all, options.savepoint);
  if (chosen == nullptr) {
    std::cerr << "ombrivale-run: no savepoint '" << options.savepoint << "' in " << options.world
              << '\n';
    return false;
  }
  std::string pattern = (std::filesystem::temp_directory_path() / "ombrivale-savepoint-XXXXXX");
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::cerr << "ombrivale-run: cannot make a scratch folder in "
              << std::filesystem::temp_directory_path() << '\n';
    return false;
  }
  scratch.path = pattern;
  PosixFileSystem files;
  if (const Status error = ExtractSavepoint(files, chosen->path, scratch.path); !error.ok()) {
    std::cerr << "ombrivale-run: " << error.ToString() << '\n';
    return false;
  }
  return true;
}

// --list-savepoints.
int ListWorldSavepoints(const RunOptions& options) {
  std::vector<SavepointInfo> all;
  if (const Status error = ListSavepoints(options.world, all); !error.ok()) {
    std::cerr << "ombrivale-run: " << error.ToString() << '\n';
    return kExitWorldFailed;
  }
  for (const SavepointInfo& info : all)
    std::cout << SavepointLine(info) << '\n';
  return kExitOk;
}

// One run: the world with its seam and saver, and what the loop counts for
// the report. Members are destroyed in reverse: the saver before the world.
struct Runner {
  explicit Runner(const RunOptions& runOptions)
      : options(runOptions), world(std::make_unique<World>()), frames(runOptions) {}

  const RunOptions& options;
  ScratchFolder scratch;  // a savepoint's files, for the load
  std::vector<Animal> imports;
  StatsFile stats;
  std::unique_ptr<World> world;
  RunnerSeam seam;
  // Yearly saves are written on their own thread while the run goes on.
  BackgroundSaver saver;
  FrameRecorder frames;
  bool progress = false;  // a progress bar on standard error
  ProgressBar bar{false};

  // The seam's counts as the loop starts: a yearly save failed when they grew.
  uint64_t runBoxes = 0;
  uint64_t runFailedSaves = 0;
  uint64_t ticks = 0;
  uint64_t yearsTurned = 0;
  bool stuck = false;  // the calendar stopped
  double elapsed = 0;  // seconds the loop took
};

// Reads the imports, opens the statistics file, loads or makes the world and
// lays the imports; the exit status when one of them failed, else kExitOk.
int SetUpRun(Runner& run) {
  const RunOptions& options = run.options;
  if (!ReadImports(options.imports, run.imports)) return kExitWorldFailed;
  if (!options.stats.empty() && !run.stats.Open(options.stats)) {
    std::cerr << "ombrivale-run: cannot write the statistics file " << options.stats << '\n';
    return kExitBadArguments;
  }
  World& world = *run.world;
  world.seam = &run.seam;
  world.events.Listen();
  world.saves = &run.saver;

  // As the program starts, without a settings file or a display: the option
  // defaults (some turned off by the command line), the generator's clock,
  // then the saved world or a new one.
  StartUpPlan plan;
  plan.options.autoRestart = options.autoRestart;
  plan.options.overwriteLeast = options.overwriteLeast;
  plan.options.autoSave = options.autosave;
  plan.worldFolder = options.world;
  plan.loadWorld = !options.newWorld && HasSavedWorld(options.world);
  plan.seed = options.seed;
  if (!options.savepoint.empty()) {
    if (!ExtractChosenSavepoint(options, run.scratch)) return kExitWorldFailed;
    plan.worldFolder = run.scratch.path;
    plan.loadWorld = true;
  }
  const bool started = StartUp(world, plan) == plan.loadWorld;
  run.seam.Drain(world);  // what the load refused is told first
  if (!started) {
    std::cerr << "ombrivale-run: the world in " << plan.worldFolder << " could not be loaded\n";
    return kExitWorldFailed;
  }
  world.AutoSaveFolder = options.world;  // a savepoint's run saves into the world's folder
  world.savepoints.on = options.savepoints;
  world.savepoints.capBytes = options.savepointCapMb << 20;
  world.savepoints.goBackOnExtinction = options.goBack;
  for (const auto& [index, value] : options.conditions)
    SetConditionValue(world.conditions, index, value);
  if (!DropImports(world, options.imports, run.imports)) return kExitWorldFailed;
  if (run.frames.IsOn() && !run.frames.Open()) return kExitBadArguments;
  run.frames.Month(world, true);

  run.progress = !options.quiet && ::isatty(STDERR_FILENO) != 0;
  run.bar = ProgressBar(run.progress);
  if (!options.quiet) std::cout << Caption(world) << std::endl;
  if (run.stats.IsOpen()) run.stats.Catch(world);
  return kExitOk;
}

// How much of the run is done, 0..1 (the bar clamps it).
double DoneFraction(const Runner& run) {
  const RunOptions& options = run.options;
  if (options.length == RunOptions::Length::Ticks) {
    return static_cast<double>(run.ticks) / static_cast<double>(options.count);
  }
  const double month = std::clamp(static_cast<double>(run.world->Month), 0.0, 12.0);
  return (static_cast<double>(run.yearsTurned) + month / 12.0) / static_cast<double>(options.count);
}

bool LengthReached(const Runner& run) {
  const RunOptions& options = run.options;
  switch (options.length) {
    case RunOptions::Length::None:
      return true;
    case RunOptions::Length::Ticks:
      return run.ticks >= options.count;
    case RunOptions::Length::Years:
      return run.yearsTurned >= options.count;
  }
  return true;
}

// Ticks until the run's length is reached or the calendar stops, writing the
// statistics rows, the frames and the yearly date lines as it goes; then
// waits for the last yearly save.
void LoopRun(Runner& run) {
  const RunOptions& options = run.options;
  World& world = *run.world;
  run.seam.Drain(world);
  run.runBoxes = run.seam.boxes;
  run.runFailedSaves = run.seam.failedSaves;
  CalendarWatch calendar(world);
  const auto start = Clock::now();
  auto seconds = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };

  while (!LengthReached(run)) {
    const uint64_t newWorlds = run.seam.newWorlds;
    SimulationTick(world);
    run.seam.Drain(world);
    ++run.ticks;
    if (run.stats.IsOpen()) run.stats.Catch(world);
    if (run.seam.newWorlds != newWorlds && !options.quiet) {
      run.bar.Clear();
      std::cout << "New World (the population had died out)" << std::endl;
    }
    const CalendarTurn turn = calendar.Note(world);
    if (turn == CalendarTurn::Year) {
      ++run.yearsTurned;
      if (!options.quiet) {
        run.bar.Clear();
        std::cout << Caption(world) << std::endl;
      }
    }
    if (turn != CalendarTurn::None) {
      run.frames.Month(world, false);
    } else if (options.length == RunOptions::Length::Years && calendar.Stuck()) {
      run.stuck = true;
      break;
    }
    if (run.progress && (run.ticks & 63) == 0) {
      run.bar.Show(DoneFraction(run), world, run.ticks, seconds());
    }
  }
  run.saver.Finish(world);  // the last yearly save, written to the end
  run.seam.Drain(world);
  run.elapsed = seconds();
  run.bar.Clear();
}

// Saves and writes what was asked for at the end, reports what failed on
// standard error and the summary line on standard output; the exit status.
int ReportRun(Runner& run) {
  const RunOptions& options = run.options;
  World& world = *run.world;
  int status = kExitOk;
  if (run.stuck) {
    std::cerr << "ombrivale-run: the calendar stopped: no month passed in " << kStuckCalendarTicks
              << " ticks\n";
    status = kExitWorldFailed;
  }
  if (options.autosave &&
      (run.seam.boxes != run.runBoxes || run.seam.failedSaves != run.runFailedSaves)) {
    std::cerr << "ombrivale-run: a yearly save into " << options.world << " failed\n";
    status = kExitWorldFailed;
  }
  if (options.save && !SaveInto(world, run.seam, options.world)) {
    std::cerr << "ombrivale-run: the world could not be saved into " << options.world << '\n';
    status = kExitWorldFailed;
  }
  if (run.frames.Failed() || !WriteExports(world, options)) status = kExitWorldFailed;
  if (run.stats.IsOpen() && !run.stats.Close()) {
    std::cerr << "ombrivale-run: writing the statistics file " << options.stats << " failed\n";
    status = kExitWorldFailed;
  }

  const int best = FindMostEvolved(world);
  char summary[256];
  const double elapsed = run.elapsed;
  const double rate = elapsed > 0 ? static_cast<double>(run.ticks) / elapsed : 0;
  if (best > 0) {
    std::snprintf(summary, sizeof summary,
                  "; most evolved: slot %d, score %.2f; %" PRIu64 " ticks in %.2f s (%.0f ticks/s)",
                  best, static_cast<double>(PrimordialScore(world, best)), run.ticks, elapsed,
                  rate);
  } else {
    std::snprintf(summary, sizeof summary,
                  "; most evolved: none; %" PRIu64 " ticks in %.2f s (%.0f ticks/s)", run.ticks,
                  elapsed, rate);
  }
  std::cout << Caption(world) << summary << std::endl;
  return status;
}

int Run(const RunOptions& options) {
  Runner run(options);
  if (const int status = SetUpRun(run); status != kExitOk) return status;
  LoopRun(run);
  return ReportRun(run);
}

}  // namespace
}  // namespace ombrivale::tools

int main(int argc, char** argv) {
  using namespace ombrivale::tools;
  const std::vector<std::string> args(argv + 1, argv + argc);
  RunOptions options;
  if (const ombrivale::Status status = ParseRunOptions(args, options); !status.ok()) {
    std::cerr << "ombrivale-run: " << status.message() << "\n" << kRunUsage;
    return kExitBadArguments;
  }
  if (options.help) {
    std::cout << kRunUsage;
    return kExitOk;
  }
  if (options.listSavepoints) return ListWorldSavepoints(options);
  return Run(options);
}
