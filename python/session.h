// One world driven from Python: made or opened, run and saved through the
// same session functions as ombrivale-run (sim/session.h, sim/tick.h,
// world/world_files.h), with a seam that answers every box as the runner's
// does and keeps what it was told for Python to read.
//
// Nothing here knows of Python: the functions return an empty string on
// success, else the reason, and module.cpp turns that into an exception.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/seam.h"
#include "core/world.h"

namespace ombrivale::python {

// Nobody answers: a box gets the answer that ends the routine asking (OK;
// Yes to "Skip?", which abandons a load; Cancel to three buttons), as
// ombrivale-run's boxes do. The latest kKeptMessages boxes are kept.
class CollectingSeam : public Seam {
 public:
  struct Box {
    std::string title;
    std::string text;  // line breaks (CR, LF) as blanks
  };
  static constexpr size_t kKeptMessages = 1000;

  Answer ShowMessageBox(const std::string& text, const std::string& title,
                        Buttons buttons) override;

  std::deque<Box> boxes;
  uint64_t boxCount = 0;  // every box ever shown
};

struct Session {
  std::unique_ptr<World> world = std::make_unique<World>();
  CollectingSeam seam;
  // The world's events as they were drained: the message lines (at most
  // kKeptMessages) and the saves that failed.
  EventTally events;
  // The history's rows as `ombrivale-run --stats` writes them: one per month
  // sampled since the start (a loaded world's saved points first).
  std::vector<MonthSample> rows;
  uint64_t rowsTaken = 0;  // history.recorded when the rows were last taken
};

struct SessionPlan {
  std::optional<uint64_t> seed;  // a virtual clock from it; none: the time of day
  std::string folder;            // a saved world to open; empty: a new world
  bool autoRestart = true;       // a new world when the population dies out
  bool overwriteLeast = true;    // a full table's newborn replaces the least evolved
};

// Starts the world as ombrivale-run does (`--new --seed N`, or `--world DIR`
// with the folder): options, clock, the saved world or a new one, the first
// sample. Empty on success; else why the folder could not be opened.
std::string StartSession(Session& session, const SessionPlan& plan);

enum class RunLength : uint8_t { Ticks, Months, Years };

// Ticks between two calls of `carryOn` (a few milliseconds' work).
inline constexpr uint64_t kCarryOnTicks = 1024;

// Runs `count` ticks, or until `count` months or years have turned, taking
// the history's rows after every tick. Stops early, with `ticks` telling how
// far it got, when `carryOn` returns false (its reason is the caller's) or
// the calendar stands still (said in the result).
std::string RunSession(Session& session, RunLength length, uint64_t count,
                       const std::function<bool()>& carryOn, uint64_t& ticks);

// Saves into `folder` through the crash-safe save; empty on success, else
// the failed step's description. Sets `errorNumber` to its errno value (0
// for none or a fault of another kind).
std::string SaveSession(Session& session, const std::string& folder, int& errorNumber);

// The `--set` text of a value: a whole number as is, any other in plain
// decimals ("0.00001", never an exponent), so ParseConditionValue judges it.
std::string ConditionText(double value);

// Lays one egg of `design`'s genes at (x, y), hundredths of a cell, for each
// of `sexes`, as Play God and `--import` do (DropAnimals). Empty on success,
// with the slots taken in `placed`; else what is wrong: "the position
// (x, y) is in the ground", "... is off the map", "the world is full".
std::string DropEggs(World& world, const Animal& design, int x, int y,
                     std::span<const uint8_t> sexes, std::vector<int>& placed);

// The history's rows as the CSV text `--stats` writes, header first.
std::string HistoryCsv(const Session& session);

}  // namespace ombrivale::python
