// Where a world's saves are written when not on the world's own thread.
//
// The desktop program and the runner attach a queue that writes the files
// on a thread of its own (world/background_save.h), so a save stalls the
// simulation only for the copy of what it writes. Everything the user hears
// of a save still comes through the world's seam on the world's thread.
#pragma once

#include <cstdint>
#include <string>

namespace ombrivale {

struct World;

// Savepoints: whole copies of a world's save kept in its folder
// (world/savepoint.h). What made one.
enum class SavepointKind : uint8_t {
  Yearly,      // at a yearly save, kept for the last 10 years
  Decade,      // a yearly one older than that, one kept per decade
  Extinction,  // the world as its population died out, before a restart
  Species,     // a grouping that found a new species (one a month at most)
  Marked,      // asked for by the user, with a label
  // Left on another branch when the world went back to an earlier one: its
  // label says what it was kept as ("yearly", "marked: before the flood").
  Branch,
};
inline constexpr int kSavepointKindCount = 6;

struct SavepointAsk {
  SavepointKind kind = SavepointKind::Yearly;
  std::string label;  // one line; marked ones only
};

// Whether a world keeps savepoints and how many bytes they may take in all.
struct SavepointOptions {
  bool on = false;
  uint64_t capBytes = uint64_t{200} << 20;
  // When the population dies out: back to the last savepoint at least a
  // year earlier, in place of a new world.
  bool goBackOnExtinction = false;
  // The dead world was kept and nothing could be done for it (no savepoint
  // to go back to, Auto Restart off): not tried again until life returns.
  bool deadWorldSettled = false;
  // The last going back on extinction: the savepoint gone back to and the
  // month (year x 12 + month) the world had died in. A world that dies
  // again within a year of that goes back further.
  uint64_t wentBackTo = 0;
  int64_t diedAt = INT64_MIN;
};

class SaveQueue {
 public:
  virtual ~SaveQueue() = default;

  // Copies what a save of `world` writes and has it written into `folder`.
  // Returns at once.
  virtual void Start(World& world, const std::string& folder) = 0;
  // Copies the world as it stands and writes it as a savepoint of `folder`,
  // leaving the world's own files alone. Returns at once.
  virtual void StartSavepoint(World& world, const std::string& folder, const SavepointAsk& ask) = 0;
  // Reports the saves written since the last call (their error boxes, then
  // "Saved" or "Save Failed"). Called on the world's thread, often: it costs
  // next to nothing when no save has ended.
  virtual void ReportEnded(World& world) = 0;
  // Waits until every save asked for is written, then reports them.
  virtual void Finish(World& world) = 0;
  // True while a save is being written or waits to be.
  virtual bool Busy() const = 0;
};

}  // namespace ombrivale
