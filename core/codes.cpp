#include "core/codes.h"

namespace ombrivale {
namespace {

const char* NameIn(const char* const (&names)[kCodeValueCount], int value) {
  return value >= 0 && value < kCodeValueCount ? names[value] : nullptr;
}

}  // namespace

const char* DietName(int diet) {
  static const char* const kNames[] = {"Scum Sucker", "Herbivorous", "Omnivorous", "Carnivorous"};
  return NameIn(kNames, diet);
}

const char* BreathingMethodName(int method) {
  static const char* const kNames[] = {"No Method", "Gills", "Gills and Lungs", "Lungs"};
  return NameIn(kNames, method);
}

const char* CoveringName(int covering) {
  static const char* const kNames[] = {"Fur", "Skin", "Scales", "Feathers"};
  return NameIn(kNames, covering);
}

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

}  // namespace ombrivale
