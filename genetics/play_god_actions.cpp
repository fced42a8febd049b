#include "genetics/play_god_actions.h"

#include <algorithm>
#include <cmath>

#include "core/helpers.h"
#include "core/rules.h"
#include "genetics/body_measures.h"
#include "genetics/inheritance.h"
#include "genetics/mating.h"
#include "genetics/needs.h"

namespace ombrivale {
namespace {

GeneRange TypeRange(GeneType type) {
  switch (type) {
    case GeneType::U8:
      return {0, 255};
    case GeneType::Flag:
      return {kTrue, kFalse};
    case GeneType::I16:
      break;
  }
  return {INT16_MIN, INT16_MAX};
}

}  // namespace

GeneRange DesignRange(const GeneSet& set, const GeneField& field) {
  GeneRange range = TypeRange(field.type);
  const double breathingArea = BreathingAreaOf(set);
  if (const double low = BoundValue(field.low, set, breathingArea); low != -1) {
    range.low = std::max(range.low, static_cast<int>(std::clamp(std::ceil(low), -1e9, 1e9)));
  }
  if (const double high = BoundValue(field.high, set, breathingArea); high != -1) {
    range.high = std::min(range.high, static_cast<int>(std::clamp(std::floor(high), -1e9, 1e9)));
  }
  return range;
}

GeneRange DesignRange(const UnbornField& field) {
  GeneRange range = TypeRange(field.type);
  if (field.low != -1) range.low = std::max(range.low, field.low);
  if (field.high != -1) range.high = std::min(range.high, field.high);
  return range;
}

bool SacrificeAnimal(World& world, int slot, uint64_t id) {
  if (slot < 1 || slot > kSlotCount) return false;
  if (id == 0 || LivingId(world.lineage, world.Animals, slot) != id) return false;
  KillAnimal(world, slot, Cause::Sacrificed);
  world.events.NoteSacrificed();
  return true;
}

DropOutcome DropAnimals(World& world, const Animal& design, int x, int y,
                        std::span<const uint8_t> sexes, std::vector<int>& placed) {
  placed.clear();
  if (x < 0 || x > kMaxX || y < 0 || y > kMaxY) return DropOutcome::OffMap;
  if (world.Map.At(kTerrainLayer, CellX(x), CellY(y)) == kGround) return DropOutcome::Ground;

  for (int slot = 1; slot <= kSlotCount && placed.size() < sexes.size(); ++slot) {
    if (!IsOccupied(AnimalAt(world, slot))) placed.push_back(slot);
  }
  if (placed.size() < sexes.size() && world.OverwriteLeast != 1) {
    placed.clear();
    return DropOutcome::Full;
  }
  while (placed.size() < sexes.size()) {
    const int victim = FindLeastEvolvedKept(world);
    if (victim == 0) break;
    KillAnimal(world, victim, Cause::Overwritten);
    placed.push_back(victim);
  }

  for (size_t i = 0; i < placed.size(); ++i) {
    const int slot = placed[i];
    Animal& egg = AnimalAt(world, slot);
    egg.Unborn = design.Unborn;
    egg.Genes[0] = design.Genes[0];
    egg.Genes[1] = design.Genes[1];
    StartEgg(egg);
    world.events.NoteBorn();
    world.events.NoteDropped();
    egg.Sex = sexes[i];
    egg.X = static_cast<int16_t>(x);
    egg.Y = static_cast<int16_t>(y);
    NotePosition(world, slot);
    egg.Mode = kModeRoam;
    egg.HeadingX = 0;
    egg.HeadingY = 0;
    egg.HasBred = 0;
    NoteGenesChanged(world, slot);
    RecordFounder(world.lineage, slot, world.Year, world.Month,
                  static_cast<int16_t>(KeptPrimordialCount(world, slot)));
  }
  return placed.size() == sexes.size() ? DropOutcome::Placed : DropOutcome::Full;
}

DropOutcome DropByPolicy(World& world, const Animal& design, int x, int y, DropPolicy& policy,
                         std::vector<int>& placed) {
  static constexpr uint8_t kPair[] = {0, 1};
  const uint8_t single[] = {policy.nextSex};
  const DropOutcome outcome = policy.pair ? DropAnimals(world, design, x, y, kPair, placed)
                                          : DropAnimals(world, design, x, y, single, placed);
  if (!policy.pair && !placed.empty()) policy.nextSex = static_cast<uint8_t>(1 - policy.nextSex);
  return outcome;
}

}  // namespace ombrivale
