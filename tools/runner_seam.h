// The window seam of the command-line tools: there is no window and nobody to
// answer, so message boxes are written to standard error and answered so that
// the routine asking ends (OK, and Yes to "Do you want to cancel this
// routine?"). The runner drains the world's events into it after each tick.
#pragma once

#include <cstdint>
#include <iostream>
#include <string>

#include "core/events.h"
#include "core/seam.h"
#include "core/world.h"
#include "world/file_system.h"

namespace ombrivale::tools {

class RunnerSeam : public Seam {
 public:
  RunnerSeam() { events.messageLimit = 0; }

  Answer ShowMessageBox(const std::string& text, const std::string& title,
                        Buttons buttons) override {
    ++boxes;
    std::cerr << "ombrivale-run: [" << title << "] " << BoxTextOnOneLine(text) << '\n';
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

  // Takes what the world posted since the last call, writing out what the
  // user is told of it (a failed save's faults, a file refused) as boxes.
  void Drain(World& world) {
    if (world.events.Empty()) return;
    const std::vector<Event> drained = world.events.Drain();
    ShowNotices(*this, drained);
    events.Take(drained);
    failedSaves = events.failedSaves;
    newWorlds = events.generatedWorlds;
  }

  EventTally events;
  uint64_t boxes = 0;
  uint64_t failedSaves = 0;  // saves that ended with a fault
  uint64_t newWorlds = 0;    // worlds generated: set-up and automatic restarts
};

}  // namespace ombrivale::tools
