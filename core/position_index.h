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

// The plane of positions is cut into squares of 128 x 128 hundredths of a
// cell (1.28 cells a side, 251 x 79 of them: a hunter's reach of a cell or
// less covers one to four, holding the few animals near it); each square
// holds a list of the slots whose position lies in it. A position off the
// plane (a hand-made file, or a move the tick has not clamped yet) is filed
// in the nearest edge square, so the square of a coordinate never decreases
// as the coordinate grows and a rectangle of positions lies in a rectangle of
// squares.
//
// The index is kept, once asked for, by whatever moves an animal or fills a
// slot (NotePosition in core/world.h: the tick's move, a birth, a drop, a
// death); whatever rewrites the table wholesale (a load, a new world) forgets
// it, and the next query files every slot afresh. A slot whose Alive was
// cleared behind the index's back stays filed until it is noted again:
// queries skip free slots.
struct PositionIndex {
  static constexpr int kShift = 7;                        // squares of 128 hundredths
  static constexpr int kColumns = (kMaxX >> kShift) + 1;  // 251 for x 0..32000
  static constexpr int kRows = (kMaxY >> kShift) + 1;     // 79 for y 0..10000
  static_assert(kColumns * kRows <= INT16_MAX, "a square's number is an int16_t");
  static constexpr int16_t kNotFiled = -1;

  // A slot as filed: its position when last noted (so a query reads the
  // index alone until it meets a slot within reach), its square, kNotFiled
  // when in none, and its neighbours in that square's list (0 at either end).
  struct Filed {
    int16_t x = 0;
    int16_t y = 0;
    int16_t square = kNotFiled;
    int16_t next = 0;
    int16_t previous = 0;
  };

  bool kept = false;
  // By square (column-major, column * kRows + row): the first slot filed
  // there, 0 for none.
  std::vector<int16_t> first = std::vector<int16_t>(kColumns * kRows);
  // [0] is no slot: links to no slot write into it, and nothing reads it.
  std::vector<Filed> bySlot = std::vector<Filed>(kSlotCount + 1);

  static int ColumnOf(int x) { return x < 0 ? 0 : x > kMaxX ? kColumns - 1 : x >> kShift; }
  static int RowOf(int y) { return y < 0 ? 0 : y > kMaxY ? kRows - 1 : y >> kShift; }
  static int SquareOf(int x, int y) {
    if (static_cast<unsigned>(x) <= kMaxX && static_cast<unsigned>(y) <= kMaxY) {
      return (x >> kShift) * kRows + (y >> kShift);
    }
    return ColumnOf(x) * kRows + RowOf(y);
  }

  // Files `slot` where its animal now stands, or takes it out when the slot
  // is free. Does nothing while the index is not kept. REQUIRES: 1 <= slot <= 750.
  void Note(std::span<const Animal> animals, int slot) {
    const Animal& animal = animals[static_cast<size_t>(slot)];
    NoteAt(animals, slot, animal.X, animal.Y);
  }
  // The same for a slot whose animal has just been put at (x, y), taken as
  // given: read back, the two 16-bit stores just made would be loaded as one
  // word, which waits for both to leave the store buffer.
  // REQUIRES: (x, y) is the animal's position.
  void NoteAt(std::span<const Animal> animals, int slot, int16_t x, int16_t y) {
    if (!kept) return;
    Filed& filed = bySlot[static_cast<size_t>(slot)];
    if (!IsOccupied(animals[static_cast<size_t>(slot)])) {
      if (filed.square != kNotFiled) Refile(slot, kNotFiled);
      return;
    }
    filed.x = x;
    filed.y = y;
    const int wanted = SquareOf(x, y);
    if (wanted != filed.square) Refile(slot, wanted);
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
