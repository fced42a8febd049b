#include "python/session.h"

#include <charconv>
#include <cmath>

#include "genetics/play_god_actions.h"
#include "sim/calendar.h"
#include "sim/session.h"
#include "sim/tick.h"
#include "world/file_system.h"
#include "world/history_file.h"
#include "world/world_files.h"

namespace ombrivale::python {

Answer CollectingSeam::ShowMessageBox(const std::string& text, const std::string& title,
                                      Buttons buttons) {
  ++boxCount;
  boxes.push_back(Box{title, BoxTextOnOneLine(text)});
  if (boxes.size() > kKeptMessages) boxes.pop_front();
  switch (buttons) {
    case Buttons::Ok:
      return Answer::Ok;
    case Buttons::YesNo:
      return Answer::Yes;
    case Buttons::YesNoCancel:
      return Answer::Cancel;
  }
  return Answer::Ok;
}

namespace {

// What ombrivale-run's statistics file takes after each tick: the one sample
// a tick takes as it was taken, or every point of a history loaded with the
// world (gathered, as the save kept them).
void TakeRows(Session& session) {
  const History& history = session.world->history;
  const uint64_t fresh = history.recorded - session.rowsTaken;
  if (fresh == 1) {
    session.rows.push_back(history.newest);
  } else if (fresh > 1) {
    session.rows.insert(session.rows.end(), history.samples.begin(), history.samples.end());
  }
  session.rowsTaken = history.recorded;
}

void DrainEvents(Session& session) {
  EventQueue& events = session.world->events;
  if (events.Empty()) return;
  const std::vector<Event> drained = events.Drain();
  ShowNotices(session.seam, drained);
  session.events.Take(drained);
}

}  // namespace

std::string StartSession(Session& session, const SessionPlan& plan) {
  World& world = *session.world;
  world.seam = &session.seam;
  world.events.Listen();
  session.events.messageLimit = CollectingSeam::kKeptMessages;
  StartUpPlan startUp;
  startUp.options.autoRestart = plan.autoRestart;
  startUp.options.overwriteLeast = plan.overwriteLeast;
  startUp.options.autoSave = false;
  startUp.worldFolder = plan.folder;
  startUp.loadWorld = !plan.folder.empty();
  startUp.seed = plan.seed;
  const uint64_t boxes = session.seam.boxCount;
  const bool started = StartUp(world, startUp) == startUp.loadWorld;
  DrainEvents(session);
  if (!started) {
    std::string why = "the world in " + plan.folder + " could not be loaded";
    const uint64_t shown =
        std::min<uint64_t>(session.seam.boxCount - boxes, session.seam.boxes.size());
    for (auto box = session.seam.boxes.end() - static_cast<ptrdiff_t>(shown);
         box != session.seam.boxes.end(); ++box)
      why += "; [" + box->title + "] " + box->text;
    return why;
  }
  TakeRows(session);
  return {};
}

std::string RunSession(Session& session, RunLength length, uint64_t count,
                       const std::function<bool()>& carryOn, uint64_t& ticks) {
  World& world = *session.world;
  ticks = 0;
  uint64_t turned = 0;  // months or years
  CalendarWatch calendar(world);
  for (;;) {
    if (length == RunLength::Ticks ? ticks >= count : turned >= count) return {};
    if (ticks % kCarryOnTicks == kCarryOnTicks - 1 && !carryOn()) return {};
    SimulationTick(world);
    ++ticks;
    TakeRows(session);
    DrainEvents(session);
    const CalendarTurn turn = calendar.Note(world);
    if (turn == CalendarTurn::Year ||
        (turn == CalendarTurn::Month && length == RunLength::Months)) {
      ++turned;
    } else if (turn == CalendarTurn::None && length != RunLength::Ticks && calendar.Stuck()) {
      return "the calendar stopped: no month passed in " + std::to_string(kStuckCalendarTicks) +
             " ticks";
    }
  }
}

std::string SaveSession(Session& session, const std::string& folder, int& errorNumber) {
  errorNumber = 0;
  const uint64_t failed = session.events.failedSaves;
  const Status error = SaveWorld(*session.world, folder);
  DrainEvents(session);
  if (error.ok() && session.events.failedSaves == failed) return {};
  if (error.number() > 0 && error.number() < kErrorPastEnd) errorNumber = error.number();
  return !error.ok() ? ErrorDescription(error) : "the save failed";
}

std::string ConditionText(double value) {
  char text[400];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  if (result.ec != std::errc()) return "too large";
  return std::string(text, result.ptr);
}

std::string DropEggs(World& world, const Animal& design, int x, int y,
                     std::span<const uint8_t> sexes, std::vector<int>& placed) {
  placed.clear();
  const std::string where = "the position (" + std::to_string(x) + ", " + std::to_string(y) + ")";
  switch (DropAnimals(world, design, x, y, sexes, placed)) {
    case DropOutcome::Placed:
      return {};
    case DropOutcome::OffMap:
      return where + " is off the map (0..32000 x 0..10000, hundredths of a cell)";
    case DropOutcome::Ground:
      return where + " is in the ground";
    case DropOutcome::Full:
      return "the world is full";
  }
  return "the eggs could not be laid";
}

std::string HistoryCsv(const Session& session) {
  std::string text = HistoryCsvHeader();
  for (const MonthSample& row : session.rows)
    AppendHistoryCsvRow(text, row);
  return text;
}

}  // namespace ombrivale::python
