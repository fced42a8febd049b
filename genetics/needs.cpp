#include "genetics/needs.h"

#include <charconv>

#include "core/helpers.h"
#include "core/log.h"
#include "core/numeric.h"
#include "genetics/body_measures.h"

namespace ombrivale {

namespace {

// The drain per tick in this terrain and whether the animal can breathe
// there; a method outside 0..3 neither drains nor refills.
struct Breathing {
  int drain = 0;
  bool refills = false;
};

Breathing BreathingIn(uint8_t method, int32_t terrain) {
  switch (method) {
    case kNoMethod:
      return terrain == kSky ? Breathing{0, true} : Breathing{100, false};
    case kGills:
      return terrain == kWater ? Breathing{0, true} : Breathing{50, false};
    case kGillsAndLungs:
      return terrain == kGround ? Breathing{100, false} : Breathing{0, true};
    case kLungs:
      return terrain == kSky ? Breathing{0, true} : Breathing{10, false};
    default:
      return {};
  }
}

}  // namespace

std::optional<Cause> CheckNeeds(World& world, int slot) {
  Animal& animal = AnimalAt(world, slot);
  if (animal.Stage == kStageEgg) return std::nullopt;

  std::optional<Cause> result;
  if (animal.Hunger >= kHungerDeath) result = Cause::Hunger;
  if (animal.AgeYears >= Adult(animal).Genitalia.LifeSpan) result = Cause::OldAge;

  const BodyGenes& body = Expressed(animal).Body;
  const int32_t terrain = world.Map.At(kTerrainLayer, CellX(animal.X), CellY(animal.Y));
  const Breathing breathing = BreathingIn(body.BreathingMethod, terrain);
  AddSaturating(animal.Breath, -breathing.drain);
  // Drain and refill never both apply, so a refilled animal suffocates only
  // when its breath was already spent (a capacity gene of 0 or less).
  if (animal.Breath <= 0) result = Cause::Suffocation;
  if (breathing.refills) animal.Breath = body.BreathCapasity;
  return result;
}

void KillAnimal(World& world, int slot, Cause cause) {
  Animal& animal = AnimalAt(world, slot);
  if (!IsOccupied(animal)) return;  // nothing left to kill

  // The body becomes meat, unless the cell already holds plants or meat; a
  // scum cell keeps its amount and the body is added to it.
  const int x = CellX(animal.X);
  const int y = CellY(animal.Y);
  int32_t& kind = world.Map.At(kFoodKindLayer, x, y);
  if (kind == kNoFood || kind == kSeaScum) {
    kind = kMeat;
    int32_t& amount = world.Map.At(kFoodAmountLayer, x, y);
    amount = RoundTo<int32_t>(static_cast<double>(amount) + BodyVolume(world, slot));
    world.Map.NoteFoodChange(x, y);
  }
  animal.Alive = 0;
  NotePosition(world, slot);
  world.events.NoteDied();
  ++world.DeathsByCause[static_cast<size_t>(cause)];

  // The message's date is the date caption: without a display there is
  // neither, and nothing to show.
  if (world.display == nullptr || !ShowsCause(world.Filters, cause)) return;
  // "Y3, March  -  Animal 37 Died  -  Old Age"; the slot keeps the blank of
  // a non-negative number's sign.
  char number[8];
  const auto end = std::to_chars(number, number + sizeof number, slot).ptr;
  const std::string& date = world.display->Label1;
  std::string text;
  text.reserve(date.size() + 48);
  text += date;
  text += "  -  Animal ";
  text.append(number, end);
  text += " Died  -  ";
  text += CauseText(cause);
  LogMessage(world, text);
}

}  // namespace ombrivale
