#include "sim/new_world.h"

#include "core/log.h"
#include "sim/statistics.h"
#include "sim/tick.h"
#include "world/map_picture.h"
#include "world/world_gen.h"

namespace ombrivale {

void NewWorld(World& world) {
  world.GameStarted = 0;
  const bool loaded = world.WorldLoaded != 0;
  world.WorldLoaded = 0;
  if (loaded) {
    ReDrawMap(world);
  } else {
    GenerateWorld(world);
    ForgetPositions(world);  // the founders were placed by hand
    MarkRestart(world);
    if (world.display != nullptr) world.display->Label1 = "January,  0";
    world.events.Post(CaptionsChanged{});
  }

  // The month timer is held while the first month step runs; it has no state
  // of its own here, so only the tick timer is started.
  MonthStep(world);
  if (world.display != nullptr) world.display->Timer2Interval = kTickIntervalMs;
  world.events.Post(TickIntervalChanged{kTickIntervalMs});

  world.events.Post(
      WorldReplaced{loaded ? WorldReplaced::Origin::Loaded : WorldReplaced::Origin::Generated});
  LogMessage(world, loaded ? "Loaded World" : "New World");
  ReDrawMap(world);
  MonthStep(world);
  world.GameStarted = 1;
}

}  // namespace ombrivale
