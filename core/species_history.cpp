#include "core/species_history.h"

#include <algorithm>

namespace ombrivale {
namespace {

constexpr uint64_t kTopGrain = uint64_t{1} << 62;

auto LowerBound(std::vector<SpeciesLife>& species, int32_t number) {
  return std::lower_bound(species.begin(), species.end(), number,
                          [](const SpeciesLife& life, int32_t n) { return life.number < n; });
}

void RebuildLiving(SpeciesHistory& history) {
  history.living.clear();
  for (size_t i = 0; i < history.species.size(); ++i) {
    if (IsLiving(history, history.species[i])) history.living.push_back(static_cast<uint32_t>(i));
  }
}

}  // namespace

const SpeciesLife* FindSpeciesLife(const SpeciesHistory& history, int32_t number) {
  return FindSpeciesLife(const_cast<SpeciesHistory&>(history), number);
}

SpeciesLife* FindSpeciesLife(SpeciesHistory& history, int32_t number) {
  const auto at = LowerBound(history.species, number);
  return at != history.species.end() && at->number == number ? &*at : nullptr;
}

SpeciesLife& AddSpeciesLife(SpeciesHistory& history, int32_t number, int32_t parent, uint64_t month,
                            uint16_t count) {
  const auto at = LowerBound(history.species, number);
  const bool atEnd = at == history.species.end();
  SpeciesLife& life = *history.species.insert(at, SpeciesLife{});
  life.number = number;
  life.parent = parent;
  life.world = history.world;
  life.first = month;
  life.last = month;
  life.peak = count;
  life.counts.assign(1, count);
  ++history.points;
  // Numbers are given in order, so a new species comes last; one that does
  // not (a number the grouping kept from a folder without a history) moves
  // the indices of the living list.
  if (!atEnd) RebuildLiving(history);
  return life;
}

void NoteSpeciesCount(SpeciesHistory& history, SpeciesLife& life, uint64_t month, uint16_t count) {
  const size_t point = SpeciesPointCount(life.first, month, history.grain) - 1;
  if (point >= life.counts.size()) {
    // Months are sampled one after the other; a gap (months without a
    // grouping) keeps the count it had.
    history.points += point + 1 - life.counts.size();
    life.counts.resize(point + 1, life.counts.back());
  }
  life.counts[point] = count;
  life.last = month;
  life.peak = std::max(life.peak, count);
}

void ThinSpeciesHistory(SpeciesHistory& history) {
  while (history.points > kSpeciesPointCapacity && history.grain < kTopGrain) {
    const size_t before = history.points;
    const uint64_t grain = history.grain * 2;
    history.points = 0;
    for (SpeciesLife& life : history.species) {
      // Point i stands for block first / grain + i; at the doubled grain two
      // neighbouring blocks are one, holding the later one's count.
      const uint64_t firstBlock = life.first / history.grain;
      const uint64_t newFirst = life.first / grain;
      size_t out = 0;
      for (size_t i = 0; i < life.counts.size(); ++i) {
        const size_t at = static_cast<size_t>((firstBlock + i) / 2 - newFirst);
        life.counts[at] = life.counts[i];
        out = at + 1;
      }
      life.counts.resize(out);
      history.points += out;
    }
    history.grain = grain;
    if (history.points == before) break;  // one point each: nothing left to merge
  }
}

void AdoptGrouping(SpeciesHistory& history, const std::vector<int32_t>& speciesOfSlot,
                   const std::vector<uint64_t>& idOfSlot) {
  history.speciesOfSlot = speciesOfSlot;
  history.idOfSlot = idOfSlot;
  history.speciesOfSlot.resize(kSlotCount + 1);
  history.idOfSlot.resize(kSlotCount + 1);
  RebuildLiving(history);
}

Status CheckSpeciesHistory(const SpeciesHistory& history) {
  if (history.grain == 0 || (history.grain & (history.grain - 1)) != 0) {
    return Status::Corruption("species history: the grain is not a power of two");
  }
  size_t points = 0;
  size_t living = 0;
  int64_t adults = 0;
  for (size_t i = 0; i < history.species.size(); ++i) {
    const SpeciesLife& life = history.species[i];
    if (life.number <= 0 || (i > 0 && life.number <= history.species[i - 1].number)) {
      return Status::Corruption("species history: numbers not ascending");
    }
    if (life.first > life.last || life.last >= history.nextMonth) {
      return Status::Corruption(
          "species history: a species' first month after its last or the last grouping");
    }
    if (life.world > history.world)
      return Status::Corruption("species history: a species of a world to come");
    if (life.parent != 0) {
      const SpeciesLife* parent = FindSpeciesLife(history, life.parent);
      if (parent == nullptr)
        return Status::Corruption("species history: a parent species it does not hold");
      if (parent->world != life.world || parent->first >= life.first) {
        return Status::Corruption(
            "species history: a parent not older than its child, or of another world");
      }
    }
    if (life.counts.size() != SpeciesPointCount(life.first, life.last, history.grain)) {
      return Status::Corruption("species history: points do not span the species' months");
    }
    for (const uint16_t count : life.counts) {
      if (count == 0 || count > life.peak || count > kSlotCount) {
        return Status::Corruption("species history: a count outside 1..peak");
      }
    }
    points += life.counts.size();
    if (IsLiving(history, life)) {
      if (living >= history.living.size() || history.living[living] != i) {
        return Status::Corruption(
            "species history: the living list differs from the living species");
      }
      ++living;
      adults += life.counts.back();
    }
  }
  if (living != history.living.size()) {
    return Status::Corruption("species history: the living list differs from the living species");
  }
  if (points != history.points)
    return Status::Corruption("species history: the point total is wrong");
  if (adults != history.adultsGrouped) {
    return Status::Corruption(
        "species history: the living species' counts do not add up to the adults grouped");
  }
  return Status::OK();
}

}  // namespace ombrivale
