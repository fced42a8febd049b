#include "sim/tick.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <type_traits>

#include "behaviour/move_speed.h"
#include "core/helpers.h"
#include "core/numeric.h"
#include "genetics/needs.h"
#include "sim/new_world.h"
#include "sim/session.h"
#include "sim/statistics.h"
#include "world/map_picture.h"
#include "world/savepoint.h"
#include "world/world_files.h"
#include "world/world_gen.h"

#ifdef OMBRIVALE_VALIDATE
#include "sim/validate.h"
#endif

namespace ombrivale {

namespace {

// The month's name without the blanks of its 9-character field; empty for
// a month outside 1..12 (only a damaged file can give one).
std::string_view MonthName(const World& world, const Display& display) {
  if (world.Month < 1 || world.Month > kMonthsPerYear) return {};
  std::string_view name = display.MonthNames[static_cast<size_t>(world.Month - 1)];
  while (!name.empty() && name.back() == ' ')
    name.remove_suffix(1);
  return name;
}

// Roam: breeding season check, a random heading, and a heading for air or
// water when short of breath.
void Roam(World& world, Animal& animal) {
  if (animal.Hunger < kHungerToBreed && world.Month > kBreedingMonthAfter &&
      world.Month < kBreedingMonthBefore && animal.Stage == kStageAdult && animal.HasBred == 0) {
    const GenitaliaGenes& genitalia = Expressed(animal).Genitalia;
    if (genitalia.StartsBreeding <= animal.AgeYears && animal.AgeYears < genitalia.StopsBreeding) {
      animal.Mode = kModeSeekMate;
    }
  }
  // The roam's reseed and the heading's two signs (the step's reseed came
  // first).
  const uint32_t signs = ReseedAndDrawSigns(world, 1, 2, 3);
  animal.HeadingX = signs & 1u ? 1 : -1;
  animal.HeadingY = signs & 2u ? 1 : -1;
  if (animal.Stage != kStageEgg) {
    const BodyGenes& body = Expressed(animal).Body;
    if (animal.Breath < body.BreathCapasity / 2.0) {
      animal.HeadingX = 0;
      animal.HeadingY = -1;
      if (body.BreathingMethod == kGills) animal.HeadingY = 1;  // down to the water
      if (body.BreathingMethod == kNoMethod) {
        animal.HeadingY = RandomSign(world);
        animal.HeadingX = RandomSign(world);
      }
    }
  }
  if (animal.Hunger > kHungerToForage) animal.Mode = kModeForage;
}

bool IsGround(const World& world, int column, int row) {
  return world.Map.At(kTerrainLayer, column, row) == kGround;
}

// The step to (nx, ny), a whole position (int) or any (double). Ground
// cannot be entered: a blocked vertical move keeps the row (and the column
// too when the horizontal move alone is blocked as well); a blocked diagonal
// target keeps the column.
template <class Position>
void MoveUnlessBlocked(World& world, int slot, Animal& animal, Position nx, Position ny) {
  const Position x = animal.X;
  const Position y = animal.Y;
  if (ny > kMaxY) ny = kMaxY;
  if (nx > kMaxX) nx = kMaxX;  // no lower bound here: the tick clamps later

  const int column = CellX(animal.X);
  const int row = CellY(animal.Y);
  const int newColumn = nx == x ? column : CellX(nx);
  const int newRow = ny == y ? row : CellY(ny);
  if (IsGround(world, column, newRow)) {
    if (IsGround(world, newColumn, row)) nx = x;
    ny = y;
  } else if (IsGround(world, newColumn, newRow)) {
    nx = x;
  }

  if (nx == x && ny == y) return;
  int16_t newX;
  int16_t newY;
  if constexpr (std::is_integral_v<Position>) {
    newX = Saturate<int16_t>(nx);
    newY = Saturate<int16_t>(ny);
  } else {
    newX = RoundTo<int16_t>(nx);
    newY = RoundTo<int16_t>(ny);
  }
  animal.X = newX;
  animal.Y = newY;
  NoteMoved(world, slot, newX, newY);
}

// After the animals stepped: the dots left for the window to colour, the
// minimised window's caption, and the marker on the tracked animal.
void ShowTickOnDisplay(World& world, Display& display, const MapPicture* dots,
                       const MapPicture* ruleColours, bool minimizedWithAnimals) {
  if (dots != nullptr && ruleColours == nullptr) display.colouringStale = true;
  if (minimizedWithAnimals) {
    std::string caption = "Brenlo Ostik's Ombrivale [";
    caption += display.Label1;
    caption += ']';
    if (caption != display.MainCaption) {
      display.MainCaption = std::move(caption);
      world.events.Post(CaptionsChanged{});
    }
  }
  const int selected = display.SelectedAnimal;
  if (selected >= 1 && selected <= kSlotCount && IsOccupied(AnimalAt(world, selected))) {
    const Animal& tracked = AnimalAt(world, selected);
    Marker& marker = display.Image1;
    marker.Left = (tracked.X / double(kHundredthsPerCell) - marker.Width / 2 / kTwipsPerPixel) *
                  kTwipsPerPixel;
    marker.Top = (tracked.Y / double(kHundredthsPerCell) - marker.Height / 2 / kTwipsPerPixel) *
                 kTwipsPerPixel;
  }
}

}  // namespace

void SimulationTick(World& world, const StepRules& rules) {
#ifdef OMBRIVALE_VALIDATE
  ValidateBeforeTick(world);
#endif
  Seam& seam = SeamOf(world);
  ++world.TickCount;
  HoldClock(world);
  // A save written meanwhile on its own thread is reported between ticks'
  // animals, never in the middle of one.
  if (world.saves != nullptr) world.saves->ReportEnded(world);

  AddSaturating(world.SpeedCount, 1);
  if (world.SpeedCount >= kTicksPerMonth) MonthStep(world);

  if (world.AnimalCount != 0) {
    world.savepoints.deadWorldSettled = false;
  } else if (!world.savepoints.deadWorldSettled &&
             (world.AutoRestart || world.savepoints.goBackOnExtinction)) {
    // The dead world is kept before another replaces it.
    if (world.savepoints.on && world.GameStarted != 0 && world.history.recorded > 0)
      AskSavepoint(world, SavepointKind::Extinction);
    if (!world.savepoints.goBackOnExtinction || !GoBackOnExtinction(world)) {
      if (world.AutoRestart) {
        NewWorld(world);
      } else {
        world.savepoints.deadWorldSettled = true;  // left as it is, as without the option
      }
    }
  }

  // Last tick's dots go; the picture's buffer is reused. Without a display
  // nothing is drawn, and a minimised window is no question; nor is a map
  // the window draws only between ticks.
  Display* display = world.display;
  // The window cannot change state inside a tick: nothing yields until the end.
  const bool minimized = display != nullptr && seam.IsMainWindowMinimized();
  MapPicture* dots = display != nullptr && !minimized && !display->dotsBetweenTicksOnly
                         ? &display->MiniMap
                         : nullptr;
  if (display != nullptr && !display->dotsBetweenTicksOnly) {
    std::copy(display->MiniBak.pixels.begin(), display->MiniBak.pixels.end(),
              display->MiniMap.pixels.begin());
  }
  // The rule's colours are drawn as the animals step; any other colouring is
  // left to the window, for when it shows the map (it needs the whole table,
  // as a scale's range does).
  MapPicture* ruleColours =
      dots != nullptr && display->colourBy.by == ColourBy::Real ? dots : nullptr;
  bool anyOccupied = false;

  for (int slot = 1; slot <= kSlotCount; ++slot) {
    // Tested only now: a slot filled by a birth earlier in this tick is
    // stepped in this tick, a prey killed earlier is skipped.
    if (!IsOccupied(AnimalAt(world, slot))) continue;
    anyOccupied = true;

    AnimalStep(world, slot, rules);
    if (const std::optional<Cause> cause = CheckNeeds(world, slot)) {
      KillAnimal(world, slot, *cause);
    }

    // The rest runs for the slot even when the animal has just died.
    Animal& animal = AnimalAt(world, slot);
    if (ruleColours != nullptr) {
      ruleColours->Set(CellX(animal.X), CellY(animal.Y), DotColour(world, animal));
    }
    // Hatching, then growing up (both in one tick when the age allows),
    // counted rather than branched on, so that the one branch is the rarely
    // taken change: a crowd's stages follow no order a predictor could learn.
    static_assert(kStageEgg + 1 == kStageInfant && kStageInfant + 1 == kStageAdult);
    const int stage = animal.Stage;
    const int hatched = stage + ((stage == kStageEgg) & (animal.EggTimer <= 0));
    const int grown = hatched + ((hatched == kStageInfant) &
                                 (animal.AgeYears >= Adult(animal).Genitalia.AdultAge));
    if (grown != stage) {
      animal.Stage = static_cast<int16_t>(grown);
      NoteStageChanged(world, slot);
    }
    if (animal.X < 0 || animal.X > kMaxX || animal.Y < 0 || animal.Y > kMaxY) {
      animal.X = std::clamp<int16_t>(animal.X, 0, kMaxX);
      animal.Y = std::clamp<int16_t>(animal.Y, 0, kMaxY);
      NotePosition(world, slot);
    }
  }

  if (display != nullptr)
    ShowTickOnDisplay(world, *display, dots, ruleColours, minimized && anyOccupied);

  seam.ProcessEvents();
  RecordSampleIfMonthChanged(world);
  ReleaseClock(world);

#ifdef OMBRIVALE_VALIDATE
  Validate(world);
#endif
}

void MonthStep(World& world) {
  if (world.SpeedCount < kTicksPerMonth && world.GameStarted != 0) return;
  world.SpeedCount = 0;

  AddSaturating(world.Month, 1);
  if (world.Month > kMonthsPerYear) {
    world.Month = 1;
    AddSaturating(world.Year, 1);
    world.events.Post(YearTurned{world.Year});
    ChangeWorld(world);
    PruneLineage(world.lineage, world.Animals);
    if (world.AutoSave == 1 && !world.AutoSaveFolder.empty()) {
      if (world.savepoints.on) {
        world.savepointWithSave = true;  // written from the save's own copy
        world.savepointAsk = SavepointAsk{SavepointKind::Yearly, {}};
      }
      SaveWorld(world, world.AutoSaveFolder);
    }
    ReDrawMap(world);
  }

  world.AnimalCount = 0;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    Animal& animal = AnimalAt(world, slot);
    if (!IsOccupied(animal)) continue;
    if (animal.Stage == kStageEgg) {
      AddSaturating(animal.EggTimer, -1);
    } else {
      if (world.Month == 1 && world.AnimalCount < kBreedingResetLimit) animal.HasBred = 0;
      AddSaturating(animal.Hunger, kHungerPerMonth);
      AddSaturating(animal.AgeMonths, 1);
      if (animal.AgeMonths == kMonthsPerYear) {
        animal.AgeMonths = 0;
        AddSaturating(animal.AgeYears, 1);
      }
    }
    AddSaturating(world.AnimalCount, 1);
  }
#ifdef OMBRIVALE_VALIDATE
  ValidateMonthStep(world);
#endif

  world.events.Post(MonthTurned{world.Year, world.Month});
  if (Display* display = world.display) {
    // Built in a local buffer and assigned once: "Y3, March".
    char text[48];
    char* end = std::to_chars(text, text + 16, world.Year).ptr;
    const std::string_view month = MonthName(world, *display);
    *end++ = ',';
    *end++ = ' ';
    end = std::copy(month.begin(), month.end(), end);
    display->Label1.assign(1, 'Y').append(text, end);

    // " 12 Animals": one blank where a minus sign would stand.
    end = std::to_chars(text, text + 16, world.AnimalCount).ptr;
    display->Label2.assign(1, ' ').append(text, end).append(" Animals");
    world.events.Post(CaptionsChanged{});
  }
}

void AnimalStep(World& world, int slot, const StepRules& rules) {
  Animal& animal = AnimalAt(world, slot);
  Reseed(world);  // every step's, whatever the mode
  switch (animal.Mode) {
    case kModeRoam:
      Roam(world, animal);
      break;
    case kModeForage:
      if (animal.Hunger < 0) animal.Mode = kModeRoam;
      rules.forage(world, slot);
      break;
    case kModeSeekMate:
      if (animal.Stage < kStageAdult || world.Month > 11) {
        animal.Mode = kModeRoam;
      } else {
        Seam& seam = SeamOf(world);
        seam.SetPointer(Pointer::ArrowWait);
        rules.seekMate(world, slot);
        seam.SetPointer(Pointer::Default);
      }
      if (animal.HasBred == 1) animal.Mode = kModeRoam;
      break;
    default:
      break;
  }

  const StepLength step = MoveStep(world, slot);
  animal.HeadingX = static_cast<int16_t>(Sign(animal.HeadingX));
  animal.HeadingY = static_cast<int16_t>(Sign(animal.HeadingY));
  // A whole length steps in whole numbers, which give the same cells and
  // position as floating point without its conversions and rounding.
  if (step.whole) {
    MoveUnlessBlocked(world, slot, animal, animal.X + animal.HeadingX * step.hundredths,
                      animal.Y + animal.HeadingY * step.hundredths);
  } else {
    MoveUnlessBlocked(world, slot, animal, animal.X + animal.HeadingX * step.fall,
                      animal.Y + animal.HeadingY * step.fall);
  }
}

}  // namespace ombrivale
