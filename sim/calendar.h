// Watching the calendar while a world runs: the runner, the Python module and
// the Run menu count turned months and years, and step to the end of a
// month, the same way.
#pragma once

#include <cstdint>

#include "core/rules.h"
#include "core/world.h"

namespace ombrivale {

// Ticks without a change of the calendar after which a run by months or
// years gives up (a month takes 31 ticks): a world whose calendar stopped.
inline constexpr uint64_t kStuckCalendarTicks = 10000;

enum class CalendarTurn : uint8_t {
  None,
  Month,  // the month changed (also when a new world set the date back)
  Year,   // the year turned by one: a month turned too
};

// The date as last seen, to tell what each tick turned.
struct CalendarWatch {
  explicit CalendarWatch(const World& world) : year(world.Year), month(world.Month) {}

  // Called after every tick.
  CalendarTurn Note(const World& world) {
    if (world.Month == month && world.Year == year) {
      ++ticksSinceChange;
      return CalendarTurn::None;
    }
    const bool yearTurned = world.Year == year + 1;
    year = world.Year;
    month = world.Month;
    ticksSinceChange = 0;
    return yearTurned ? CalendarTurn::Year : CalendarTurn::Month;
  }
  bool Stuck() const { return ticksSinceChange >= kStuckCalendarTicks; }

  int32_t year;
  int16_t month;
  uint64_t ticksSinceChange = 0;
};

// Ticks through `tick` (which ticks the world once, or returns false when it
// can no longer) up to and including the next month step, which runs in the
// 31st tick of a month and leaves the tick count at 0.
template <class Tick>
void StepThroughMonth(const World& world, Tick&& tick) {
  for (int t = 0; t < kTicksPerMonth; ++t) {
    if (!tick() || world.SpeedCount == 0) return;
  }
}

}  // namespace ombrivale
