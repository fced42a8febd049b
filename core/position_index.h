// Where the animals are: an index of the occupied slots by position, so a
// step that looks for animals near a point (the hunt, the mate search) visits
// the few filed near it instead of all 750 slots.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/animal.h"
#include "core/map.h"

namespace ombrivale {

// The plane of positions is cut into squares of 256 x 256 hundredths of a
// cell (2.56 cells a side); each square holds a list of the slots whose
// position lies in it. A position off the plane (a hand-made file, or a move
// the tick has not clamped yet) is filed in the nearest edge square, so the
// square of a coordinate never decreases as the coordinate grows and a
// rectangle of positions lies in a rectangle of squares.
//
// The index is kept, once asked for, by whatever moves an animal or fills a
// slot (NotePosition in core/helpers.h: the tick's move, a birth, a drop);
// whatever rewrites the table wholesale (a load, a new world) forgets it, and
// the next query files every slot afresh. A slot that has died may stay filed
// where it died until it is noted again: queries skip free slots.
struct PositionIndex {
  static constexpr int kShift = 8;                        // squares of 256 hundredths
  static constexpr int kColumns = (kMaxX >> kShift) + 1;  // 126 for x 0..32000
  static constexpr int kRows = (kMaxY >> kShift) + 1;     // 40 for y 0..10000
  static constexpr int16_t kNotFiled = -1;

  bool kept = false;
  // By square (column-major, column * kRows + row): the first slot filed
  // there, 0 for none.
  std::vector<int16_t> first = std::vector<int16_t>(kColumns * kRows);
  // By slot ([0] unused): the neighbours in its square's list (0 at either
  // end) and its square, kNotFiled when it is in none.
  std::vector<int16_t> next = std::vector<int16_t>(kSlotCount + 1);
  std::vector<int16_t> previous = std::vector<int16_t>(kSlotCount + 1);
  std::vector<int16_t> square = std::vector<int16_t>(kSlotCount + 1, kNotFiled);

  static int ColumnOf(int x) { return x < 0 ? 0 : x > kMaxX ? kColumns - 1 : x >> kShift; }
  static int RowOf(int y) { return y < 0 ? 0 : y > kMaxY ? kRows - 1 : y >> kShift; }
  static int SquareOf(int x, int y) { return ColumnOf(x) * kRows + RowOf(y); }

  // Files `slot` where its animal now stands, or takes it out when the slot
  // is free. Does nothing while the index is not kept. REQUIRES: 1 <= slot <= 750.
  void Note(std::span<const Animal> animals, int slot) {
    if (!kept) return;
    const Animal& animal = animals[static_cast<size_t>(slot)];
    const int wanted = IsOccupied(animal) ? SquareOf(animal.X, animal.Y) : kNotFiled;
    if (wanted != square[static_cast<size_t>(slot)]) Refile(slot, wanted);
  }
  // The next query files every slot afresh.
  void Forget() { kept = false; }
  // Files every occupied slot when the index is not kept.
  void Keep(std::span<const Animal> animals);

  // The occupied slots whose position lies strictly within `reach` of (x, y)
  // on both axes (|X - x| < reach and |Y - y| < reach), in ascending slot
  // order; returns their count. `out` holds room for 750. Keeps the index
  // first. A reach over most of the plane reads the table slot by slot.
  int SlotsNear(std::span<const Animal> animals, int x, int y, int64_t reach, int16_t* out);

  // True when the index is not kept, or every occupied slot is filed in the
  // square of its position and every list is whole (the invariant checks).
  bool Matches(std::span<const Animal> animals) const;

 private:
  void Refile(int slot, int wanted);
};

}  // namespace ombrivale
