// The message line and the death log.
#pragma once

#include <string>

#include "core/world.h"

namespace ombrivale {

// Shows `text` on the message line and, with LogOn, appends it to the death
// log (not twice in a row; fewer than kLogLimit entries kept). The line and
// the log live in the world's display; without one only the seam hears of
// the message.
void LogMessage(World& world, const std::string& text);

}  // namespace ombrivale
