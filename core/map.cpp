#include "core/map.h"

#include <algorithm>
#include <bit>

namespace ombrivale {
namespace {

uint64_t* RowOf(std::vector<uint64_t>& food, int kind, int y) {
  return food.data() + static_cast<size_t>((kind * kMapHeight + y - kMapTopRow) * kFoodRowWords);
}

bool Offers(const uint64_t* row, int x) {
  return ((row[x / 64] >> (x % 64)) & 1) != 0;
}

}  // namespace

void WorldMap::NoteFoodChange(int x, int y) {
  const int cell = Index(x, y);
  const int32_t kind = layers[kFoodKindLayer][static_cast<size_t>(cell)];
  const bool offered = layers[kFoodAmountLayer][static_cast<size_t>(cell)] >= 1;
  // Most changes are a bite that leaves food behind: the index, which holds a
  // cell under one kind at most, already says so.
  if (offered && kind >= kSeaScum && kind <= kMeat && Offers(FoodRow(kind, y), x)) return;
  const uint64_t bit = uint64_t{1} << (x % 64);
  bool changed = false;
  for (int k = kSeaScum; k <= kMeat; ++k) {
    uint64_t& word = RowOf(food, k, y)[x / 64];
    const uint64_t now = offered && kind == k ? (word | bit) : (word & ~bit);
    changed = changed || now != word;
    word = now;
  }
  if (changed) {
    foodChangedAt[static_cast<size_t>(FoodBandOf(y))] = ++foodChanges;
  }
}

void WorldMap::RebuildFoodIndex() {
  std::fill(food.begin(), food.end(), uint64_t{0});
  std::fill(foodChangedAt.begin(), foodChangedAt.end(), ++foodChanges);
  const int32_t* kinds = layers[kFoodKindLayer].data();
  const int32_t* amounts = layers[kFoodAmountLayer].data();
  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
      const int cell = Index(x, y);
      const int32_t kind = kinds[cell];
      if (kind >= kSeaScum && kind <= kMeat && amounts[cell] >= 1) {
        RowOf(food, kind, y)[x / 64] |= uint64_t{1} << (x % 64);
      }
    }
  }
}

bool WorldMap::FoodIndexMatches() const {
  // Every offering cell has its bit, and there are no other bits.
  const int32_t* kinds = layers[kFoodKindLayer].data();
  const int32_t* amounts = layers[kFoodAmountLayer].data();
  int64_t offering = 0;
  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
      const int cell = Index(x, y);
      const int32_t kind = kinds[cell];
      if (kind < kSeaScum || kind > kMeat || amounts[cell] < 1) continue;
      if (!Offers(FoodRow(kind, y), x)) return false;
      ++offering;
    }
  }
  int64_t bits = 0;
  for (const uint64_t word : food)
    bits += std::popcount(word);
  return bits == offering;
}

}  // namespace ombrivale
