#include "core/log.h"

namespace ombrivale {

void LogMessage(World& world, const std::string& text) {
  if (Display* display = world.display) {
    display->Label3 = text;
    if (world.LogOn) {
      std::deque<std::string>& log = display->DeathLog;
      bool changed = false;
      if (log.empty() || log.back() != text) {
        log.push_back(text);
        changed = true;
      }
      if (log.size() >= static_cast<size_t>(kLogLimit)) {
        log.pop_front();
        changed = true;
      }
      if (changed) ++display->logVersion;
    }
  }
  if (world.events.Listening()) world.events.Post(MessageShown{text});
}

}  // namespace ombrivale
