#include "core/world.h"

namespace ombrivale {

const char* CauseText(Cause cause) {
  switch (cause) {
    case Cause::OldAge:
      return "Old Age";
    case Cause::Eaten:
      return "Eaten";
    case Cause::Overwritten:
      return "Overwritten";
    case Cause::Suffocation:
      return "Suffocation";
    case Cause::Hunger:
      return "Hunger";
  }
  return "";
}

bool& FilterFor(DeathFilters& filters, Cause cause) {
  switch (cause) {
    case Cause::OldAge:
      return filters.OldAge;
    case Cause::Eaten:
      return filters.Eaten;
    case Cause::Overwritten:
      return filters.Overwritten;
    case Cause::Suffocation:
      return filters.Suffocation;
    case Cause::Hunger:
      break;
  }
  return filters.Hunger;
}

Seam& SeamOf(World& world) {
  // Stateless, so sharing one between worlds shares nothing.
  static Seam noWindow;
  return world.seam != nullptr ? *world.seam : noWindow;
}

void FillMonthNames(World& world) {
  static const char* const kNames[12] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
  for (int i = 0; i < 12; ++i) {
    std::string name = kNames[i];
    name.resize(9, ' ');
    world.MonthNames[static_cast<size_t>(i)] = name;
  }
}

}  // namespace ombrivale
