#include "core/position_index.h"

#include <algorithm>
#include <bit>

namespace ombrivale {
namespace {

// Past this many squares a query reads the table slot by slot: an empty
// square costs about what a slot does, and the slots come in order.
constexpr int64_t kMostSquaresVisited = 256;

bool WithinReach(const Animal& animal, int x, int y, int64_t reach) {
  const int64_t dx = animal.X - x;
  const int64_t dy = animal.Y - y;
  return dx < reach && -dx < reach && dy < reach && -dy < reach;
}

// A coordinate bound as an int the square functions take: anything past
// the plane's edge files like the edge.
int Bound(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, -1, kMaxX + 1));
}

}  // namespace

void PositionIndex::Keep(std::span<const Animal> animals) {
  if (kept) return;
  std::fill(first.begin(), first.end(), int16_t{0});
  std::fill(square.begin(), square.end(), kNotFiled);
  kept = true;
  for (int slot = 1; slot <= kSlotCount; ++slot)
    Note(animals, slot);
}

void PositionIndex::Refile(int slot, int wanted) {
  const size_t s = static_cast<size_t>(slot);
  if (const int16_t old = square[s]; old != kNotFiled) {
    const int16_t before = previous[s];
    const int16_t after = next[s];
    if (before != 0) {
      next[static_cast<size_t>(before)] = after;
    } else {
      first[static_cast<size_t>(old)] = after;
    }
    if (after != 0) previous[static_cast<size_t>(after)] = before;
  }
  square[s] = static_cast<int16_t>(wanted);
  if (wanted == kNotFiled) return;
  const int16_t head = first[static_cast<size_t>(wanted)];
  previous[s] = 0;
  next[s] = head;
  if (head != 0) previous[static_cast<size_t>(head)] = static_cast<int16_t>(slot);
  first[static_cast<size_t>(wanted)] = static_cast<int16_t>(slot);
}

int PositionIndex::SlotsNear(std::span<const Animal> animals, int x, int y, int64_t reach,
                             int16_t* out) {
  if (reach <= 0) return 0;
  Keep(animals);
  // Whole positions within reach: x - reach < X < x + reach.
  const int firstColumn = ColumnOf(Bound(x - reach + 1));
  const int lastColumn = ColumnOf(Bound(x + reach - 1));
  const int firstRow = RowOf(Bound(y - reach + 1));
  const int lastRow = RowOf(Bound(y + reach - 1));
  int count = 0;
  if (int64_t{lastColumn - firstColumn + 1} * (lastRow - firstRow + 1) > kMostSquaresVisited) {
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      const Animal& animal = animals[static_cast<size_t>(slot)];
      if (IsOccupied(animal) && WithinReach(animal, x, y, reach))
        out[count++] = static_cast<int16_t>(slot);
    }
    return count;
  }
  // The squares give their slots in no order: a set of 750 bits puts them
  // in order, in one pass over the words.
  uint64_t found[(kSlotCount + 64) / 64] = {};
  for (int column = firstColumn; column <= lastColumn; ++column) {
    for (int row = firstRow; row <= lastRow; ++row) {
      for (int16_t slot = first[static_cast<size_t>(column * kRows + row)]; slot != 0;
           slot = next[static_cast<size_t>(slot)]) {
        const Animal& animal = animals[static_cast<size_t>(slot)];
        if (IsOccupied(animal) && WithinReach(animal, x, y, reach)) {
          found[slot / 64] |= uint64_t{1} << (slot % 64);
          ++count;
        }
      }
    }
  }
  if (count == 0) return 0;
  int n = 0;
  for (int word = 0; n < count; ++word) {
    for (uint64_t bits = found[word]; bits != 0; bits &= bits - 1)
      out[n++] = static_cast<int16_t>(word * 64 + std::countr_zero(bits));
  }
  return count;
}

bool PositionIndex::Matches(std::span<const Animal> animals) const {
  if (!kept) return true;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = animals[static_cast<size_t>(slot)];
    if (IsOccupied(animal) && square[static_cast<size_t>(slot)] != SquareOf(animal.X, animal.Y))
      return false;
  }
  // Every list runs forward and back through the slots filed in its square,
  // and nothing else: as many listed as filed.
  int listed = 0;
  for (int at = 0; at < kColumns * kRows; ++at) {
    int16_t before = 0;
    for (int16_t slot = first[static_cast<size_t>(at)]; slot != 0;
         slot = next[static_cast<size_t>(slot)]) {
      if (slot < 1 || slot > kSlotCount || ++listed > kSlotCount) return false;
      if (square[static_cast<size_t>(slot)] != at) return false;
      if (previous[static_cast<size_t>(slot)] != before) return false;
      before = slot;
    }
  }
  const auto filed =
      std::count_if(square.begin() + 1, square.end(), [](int16_t s) { return s != kNotFiled; });
  return listed == filed;
}

}  // namespace ombrivale
