#include "core/world.h"

namespace ombrivale {

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
      return filters.Hunger;
    case Cause::Sacrificed:
      break;
  }
  return filters.Sacrificed;
}

Seam& SeamOf(World& world) {
  // Stateless, so sharing one between worlds shares nothing.
  static Seam noWindow;
  return world.seam != nullptr ? *world.seam : noWindow;
}

const char* MonthName(int month) {
  static const char* const kNames[kMonthsPerYear] = {
      "January", "February", "March",     "April",   "May",      "June",
      "July",    "August",   "September", "October", "November", "December"};
  return month >= 1 && month <= kMonthsPerYear ? kNames[month - 1] : "";
}

void FillMonthNames(Display& display) {
  for (int month = 1; month <= kMonthsPerYear; ++month) {
    std::string name = MonthName(month);
    name.resize(9, ' ');
    display.MonthNames[static_cast<size_t>(month - 1)] = name;
  }
}

}  // namespace ombrivale
