#include "genetics/mating.h"

#include <cmath>

#include "core/helpers.h"
#include "core/rules.h"
#include "genetics/body_measures.h"
#include "genetics/inheritance.h"
#include "genetics/needs.h"

namespace ombrivale {
namespace {

// The young of one litter: the counting loop from m / 2 + 1 up to m in steps
// of 1 (single precision), that is floor(m / 2) young when m >= 2, none below.
int LitterSize(float m) {
  const float start = m / 2 + 1;
  if (!(start <= m)) return 0;
  return static_cast<int>(std::floor(m - start)) + 1;
}

// The slot for the next young, or 0 when the litter has to stop: the table
// is full and either OverwriteLeast is off or no animal scores above 0.
int ClaimSlot(World& world) {
  const int free = FindFreeSlot(world);
  if (free != 0) return free;
  if (world.OverwriteLeast != 1) return 0;
  const int victim = FindLeastEvolvedKept(world);
  if (victim == 0) return 0;
  KillAnimal(world, victim, Cause::Overwritten);
  return victim;
}

}  // namespace

void Mate(World& world, int first, int second) {
  Reseed(world);
  const int16_t y1 = Adult(AnimalAt(world, first)).Genitalia.YoungPerLitter;
  const int16_t y2 = Adult(AnimalAt(world, second)).Genitalia.YoungPerLitter;
  Reseed(world);  // MeanOf's own reseed
  const int young = LitterSize(MeanOf(y1, y2));
  // The family record names the pair that mated, whatever later happens to
  // their slots.
  const LineageParents parents = ParentsInSlots(world.lineage, first, second);
  for (int n = 0; n < young; ++n) {
    const int slot = ClaimSlot(world);
    if (slot == 0) return;
    // The genes are read anew from the slots for every young: an overwritten
    // parent's slot now holds an earlier sibling, whose genes the later
    // young inherit.
    Inherit(world, first, second, slot);
    Mutate(world, slot);
    Animal& egg = AnimalAt(world, slot);
    StartEgg(egg);
    world.events.NoteBorn();
    egg.Sex = static_cast<uint8_t>(Rnd(world) * 2);
    egg.X = AnimalAt(world, second).X;
    egg.Y = AnimalAt(world, second).Y;
    NotePosition(world, slot);
    // Mode, headings, HasBred and the kept genes stay as the slot held them.
    NoteGenesChanged(world, slot);
    RecordYoung(world.lineage, slot, parents, world.Year, world.Month,
                static_cast<int16_t>(KeptPrimordialCount(world, slot)));
  }
}

void StartEgg(Animal& egg) {
  egg.Alive = 1;
  egg.AgeYears = 0;
  egg.AgeMonths = 0;
  egg.Hunger = kHungerAtLaying;
  egg.Breath = egg.Genes[kStageInfant].Body.BreathCapasity;
  egg.Stage = kStageEgg;
  egg.EggTimer = egg.Unborn.TimeInEgg;
}

int FindFreeSlot(const World& world) {
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (!IsOccupied(AnimalAt(world, slot))) return slot;
  }
  return 0;
}

}  // namespace ombrivale
