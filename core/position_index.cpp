#include "core/position_index.h"

#include <algorithm>
#include <bit>

namespace ombrivale {
namespace {

// Past this many squares a query reads the table slot by slot: an empty
// square costs about what a slot does, and the slots come in order.
constexpr int64_t kMostSquaresVisited = 256;

// All four tests each time, without a branch between them: whether a
// neighbour is in reach follows no pattern a predictor could learn.
bool WithinReach(int px, int py, int x, int y, int64_t reach) {
  const int64_t dx = px - x;
  const int64_t dy = py - y;
  return (dx < reach) & (-dx < reach) & (dy < reach) & (-dy < reach);
}

// A coordinate bound as an int the square functions take: anything past
// the plane's edge files like the edge.
int Bound(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, -1, kMaxX + 1));
}

// Puts out[0..count) in ascending order: a few by insertion, many through a
// set of 750 bits.
void PutInOrder(int16_t* out, int count) {
  if (count <= 16) {
    for (int i = 1; i < count; ++i) {
      const int16_t slot = out[i];
      int j = i;
      for (; j > 0 && out[j - 1] > slot; --j)
        out[j] = out[j - 1];
      out[j] = slot;
    }
    return;
  }
  uint64_t found[(kSlotCount + 64) / 64] = {};
  for (int i = 0; i < count; ++i)
    found[out[i] / 64] |= uint64_t{1} << (out[i] % 64);
  int n = 0;
  for (int word = 0; n < count; ++word) {
    for (uint64_t bits = found[word]; bits != 0; bits &= bits - 1)
      out[n++] = static_cast<int16_t>(word * 64 + std::countr_zero(bits));
  }
}

}  // namespace

void PositionIndex::Keep(std::span<const Animal> animals) {
  if (kept) return;
  std::fill(first.begin(), first.end(), int16_t{0});
  std::fill(bySlot.begin(), bySlot.end(), Filed{});
  kept = true;
  for (int slot = 1; slot <= kSlotCount; ++slot)
    Note(animals, slot);
}

// Whether a slot is first in its square's list or has neighbours follows
// the crowd, not a pattern: the links are chosen rather than branched to,
// and a link to no slot (0) writes into the unused bySlot[0].
void PositionIndex::Refile(int slot, int wanted) {
  Filed& filed = bySlot[static_cast<size_t>(slot)];
  if (filed.square != kNotFiled) {
    int16_t& before = filed.previous != 0 ? bySlot[static_cast<size_t>(filed.previous)].next
                                          : first[static_cast<size_t>(filed.square)];
    before = filed.next;
    bySlot[static_cast<size_t>(filed.next)].previous = filed.previous;
  }
  filed.square = static_cast<int16_t>(wanted);
  if (wanted == kNotFiled) return;
  int16_t& head = first[static_cast<size_t>(wanted)];
  filed.previous = 0;
  filed.next = head;
  bySlot[static_cast<size_t>(head)].previous = static_cast<int16_t>(slot);
  head = static_cast<int16_t>(slot);
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
      if (IsOccupied(animal) && WithinReach(animal.X, animal.Y, x, y, reach))
        out[count++] = static_cast<int16_t>(slot);
    }
    return count;
  }
  for (int column = firstColumn; column <= lastColumn; ++column) {
    for (int row = firstRow; row <= lastRow; ++row) {
      for (int16_t slot = first[static_cast<size_t>(column * kRows + row)]; slot != 0;) {
        // Written either way and kept when in reach (out has room for every
        // slot, and each slot is filed once).
        const Filed& filed = bySlot[static_cast<size_t>(slot)];
        out[count] = slot;
        count += WithinReach(filed.x, filed.y, x, y, reach) &
                 IsOccupied(animals[static_cast<size_t>(slot)]);
        slot = filed.next;
      }
    }
  }
  PutInOrder(out, count);
  return count;
}

bool PositionIndex::Matches(std::span<const Animal> animals) const {
  if (!kept) return true;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = animals[static_cast<size_t>(slot)];
    const Filed& filed = bySlot[static_cast<size_t>(slot)];
    if (IsOccupied(animal) && (filed.square != SquareOf(animal.X, animal.Y) ||
                               filed.x != animal.X || filed.y != animal.Y)) {
      return false;
    }
  }
  // Every list runs forward and back through the slots filed in its square,
  // and nothing else: as many listed as filed.
  int listed = 0;
  for (int at = 0; at < kColumns * kRows; ++at) {
    int16_t before = 0;
    for (int16_t slot = first[static_cast<size_t>(at)]; slot != 0;) {
      if (slot < 1 || slot > kSlotCount || ++listed > kSlotCount) return false;
      const Filed& filed = bySlot[static_cast<size_t>(slot)];
      if (filed.square != at || filed.previous != before) return false;
      before = slot;
      slot = filed.next;
    }
  }
  const auto filed = std::count_if(bySlot.begin() + 1, bySlot.end(),
                                   [](const Filed& f) { return f.square != kNotFiled; });
  return listed == filed;
}

}  // namespace ombrivale
