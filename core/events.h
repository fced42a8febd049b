// What the library changed that its caller may want to know.
//
// The library never calls a window to say that something changed. It posts a
// typed event on the world's queue instead, and whoever drives the world (the
// desktop program's world document, the runner, the Python module) drains
// the queue after each tick or action and tells its own listeners. The seam
// (core/seam.h) is left for what really asks the window system something: a
// message box and its answer, the pointer, a yield.
//
// A queue that nobody listens to keeps nothing, so a world run by a test or a
// benchmark costs no more than before; a listener that stops draining loses
// the oldest events beyond kEventLimit, never memory without bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <variant>
#include <vector>

#include "core/status.h"

namespace ombrivale {

// A save of the world ended: `errors` holds each fault in the order it was
// met, empty when the save was written whole.
struct SaveEnded {
  std::string folder;
  std::vector<Status> errors;
  bool ok() const { return errors.empty(); }
};

// A file could not be used as it stood (a world folder missing, a family
// record that does not hold, a settings file that cannot be read) and the
// library went on without it. `status` is the fault and names the file;
// `title` and `text` are what the user is told ("Conditions Not Loaded":
// "conditions.txt could not be read (...): the world runs under the
// default conditions.").
struct FileNotice {
  Status status;
  std::string title;
  std::string text;
};

// The world in the table is another one now: a generated world (the user's
// "New World" or an automatic restart) or one loaded from a folder.
struct WorldReplaced {
  enum class Origin : uint8_t { Generated, Loaded };
  Origin origin = Origin::Generated;
};

// Animals came and went since the last drain (one event sums them all).
// Every egg laid is born, a Play God drop included; every death counts in
// `died`, a sacrifice included.
struct AnimalsChanged {
  uint32_t born = 0;
  uint32_t died = 0;
  uint32_t dropped = 0;
  uint32_t sacrificed = 0;
};

// The month step ran: the date and population captions are new.
struct MonthTurned {
  int year = 0;
  int month = 0;
};
struct YearTurned {
  int year = 0;
};
// The map picture was repainted in full (the sea line may have moved).
struct MapRedrawn {};
// The adults were grouped into species again.
struct SpeciesRegrouped {};
// A month's sample was added to the history.
struct SampleRecorded {};
// A message was put on the message line (and in the log when logging).
struct MessageShown {
  std::string text;
};
// The date or population caption, or the main window's own caption, changed.
struct CaptionsChanged {};
// The interval of the tick timer changed (0 stops it), in milliseconds.
struct TickIntervalChanged {
  int milliseconds = 0;
};

using Event = std::variant<SaveEnded, FileNotice, WorldReplaced, AnimalsChanged, MonthTurned,
                           YearTurned, MapRedrawn, SpeciesRegrouped, SampleRecorded, MessageShown,
                           CaptionsChanged, TickIntervalChanged>;

class EventQueue {
 public:
  static constexpr size_t kEventLimit = 4096;

  // From now on events are kept until drained.
  void Listen() { listening_ = true; }
  bool Listening() const { return listening_; }

  void Post(Event event);
  // Counted, not queued one by one: a tick may see hundreds.
  void NoteBorn() { Count(counts_.born); }
  void NoteDied() { Count(counts_.died); }
  void NoteDropped() { Count(counts_.dropped); }
  void NoteSacrificed() { Count(counts_.sacrificed); }

  bool Empty() const;
  // Every event posted since the last drain, oldest first; the animals'
  // counts, if any, come first as one AnimalsChanged.
  std::vector<Event> Drain();
  // Events lost because nobody drained (the oldest went first).
  uint64_t Dropped() const { return dropped_; }

 private:
  void Count(uint32_t& count) {
    if (listening_ && count != UINT32_MAX) ++count;
  }

  bool listening_ = false;
  std::deque<Event> events_;
  AnimalsChanged counts_;
  uint64_t dropped_ = 0;
};

// What the command-line tools, the Python module and tests keep of the events
// they drain: the message lines (at most `messageLimit`, the oldest half
// dropped when full) and counts.
struct EventTally {
  void Take(const std::vector<Event>& events);

  size_t messageLimit = 10000;
  std::vector<std::string> messageLines;
  std::string lastMessage;
  uint64_t savesEnded = 0;
  uint64_t failedSaves = 0;
  uint64_t fileNotices = 0;
  uint64_t generatedWorlds = 0;  // "New World": set-up and automatic restarts
  uint64_t loadedWorlds = 0;
  uint64_t monthsTurned = 0;
  uint64_t yearsTurned = 0;
  uint64_t mapRedraws = 0;
  uint64_t speciesRegroupings = 0;
  uint64_t samplesRecorded = 0;
  uint64_t captionChanges = 0;
  uint64_t born = 0;  // the animals' counts, summed over every drain
  uint64_t died = 0;
  uint64_t dropped = 0;
  uint64_t sacrificed = 0;
  int tickInterval = 0;
};

}  // namespace ombrivale
