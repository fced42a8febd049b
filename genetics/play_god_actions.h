// What the Play God window does to the world: kill an animal ("Sacrifice")
// and drop new ones on the map ("Creation").
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/world.h"
#include "genetics/gene_table.h"

namespace ombrivale {

// Kills the animal in `slot` with the cause "Sacrificed", as any death: meat
// left, a log line, the count. `id` is its family-record id when it was
// chosen: false, and nothing done, when the slot holds no animal now or
// another one (it died meanwhile and the slot was taken since).
bool SacrificeAnimal(World& world, int slot, uint64_t id);

enum class DropOutcome : uint8_t {
  Placed,  // every egg asked for
  OffMap,  // the position lies outside 0..32000 x 0..10000
  Ground,  // the position's cell is ground
  Full,    // no slot free (OverwriteLeast off, or no animal to overwrite)
};

// Lays one egg of `design`'s genes at (x, y) (hundredths of a cell) for each
// entry of `sexes`, with a newborn's fields: alive, ages 0, Hunger 500,
// Breath its infant BreathCapasity, Stage egg, EggTimer its TimeInEgg, in
// roam mode with no heading and not yet bred. Each takes the lowest free
// slot; in a full table, with OverwriteLeast on, the least evolved animal is
// overwritten (cause "Overwritten") as for a birth, every victim chosen
// before any egg is laid so that no egg replaces another. Each egg is
// recorded as a founder of generation 0. With OverwriteLeast off and too few
// free slots nothing is laid. `placed` receives the slots taken.
DropOutcome DropAnimals(World& world, const Animal& design, int x, int y,
                        std::span<const uint8_t> sexes, std::vector<int>& placed);

// How Play God drops its animal at each click: a pair (one egg of each sex),
// or one egg at a time whose sex alternates, starting from the sex of the
// animal loaded.
struct DropPolicy {
  bool pair = true;
  uint8_t nextSex = 0;  // 0 or 1: the next single egg's
};
// Drops by the policy; a single egg placed turns the next one's sex.
DropOutcome DropByPolicy(World& world, const Animal& design, int x, int y, DropPolicy& policy,
                         std::vector<int>& placed);

// The values a designer may give a gene: the gene table's bounds as they
// stand for the other genes of `set` (a bound holding -1 bounds nothing, as
// in a mutation), within what the field's type holds. `low` may exceed
// `high` when a gene it depends on has been set below it; then no value
// fits until that gene is raised.
struct GeneRange {
  int low = 0;
  int high = 0;
  bool Holds(int value) const { return value >= low && value <= high; }
};
GeneRange DesignRange(const GeneSet& set, const GeneField& field);
GeneRange DesignRange(const UnbornField& field);

}  // namespace ombrivale
