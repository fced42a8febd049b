#include "core/codes.h"

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
    case Cause::Sacrificed:
      return "Sacrificed";
  }
  return "";
}

}  // namespace ombrivale
