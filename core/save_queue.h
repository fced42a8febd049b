// Where a world's saves are written when not on the world's own thread.
//
// The desktop program and the runner attach a queue that writes the files
// on a thread of its own (world/background_save.h), so a save stalls the
// simulation only for the copy of what it writes. Everything the user hears
// of a save still comes through the world's seam on the world's thread.
#pragma once

#include <string>

namespace ombrivale {

struct World;

class SaveQueue {
 public:
  virtual ~SaveQueue() = default;

  // Copies what a save of `world` writes and has it written into `folder`.
  // Returns at once.
  virtual void Start(World& world, const std::string& folder) = 0;
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
