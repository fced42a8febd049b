#include "core/needs.h"

// Not built yet: does nothing.
namespace ombrivale {

std::optional<Cause> CheckNeeds(World&, int) {
  return std::nullopt;
}
void KillAnimal(World&, int, Cause) {}
void LogMessage(World&, const std::string&) {}

}  // namespace ombrivale
