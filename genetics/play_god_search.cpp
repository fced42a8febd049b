#include "genetics/play_god_search.h"

#include "genetics/body_measures.h"

namespace ombrivale {
namespace {

// A list test: nothing selected or "[Ignore]" passes, entry k wants value k - 1.
bool Matches(int entry, int value) {
  return entry <= 0 || value == entry - 1;
}

bool MatchesWalking(const World& world, int slot, int entry) {
  switch (entry) {
    case 1:
      return IsBipedal(world, slot) == 1;
    case 2:
      return IsBipedaloid(world, slot) == 1;
    case 3:
      return IsBipedal(world, slot) == 0 && IsBipedaloid(world, slot) == 0;
    default:
      return entry <= 0;
  }
}

}  // namespace

PlayGodResult FindThem(const World& world, const PlayGodQuery& query) {
  PlayGodResult result;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (animal.Alive != 1) continue;
    const GeneSet& genes = animal.Genes[ExpressedIndex(animal)];
    if (MatchesWalking(world, slot, query.walking) &&
        Matches(query.covering, genes.Body.Covering) && Matches(query.diet, genes.Head.Diet) &&
        Matches(query.breathing, genes.Body.BreathingMethod)) {
      result.found.push_back(slot);
    }
    ++result.living;
  }
  return result;
}

}  // namespace ombrivale
