// "lineage.dat", the saved family record and species numbers (the format is
// documented with the other files in world/world_files.h).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/world.h"
#include "world/file_system.h"

namespace ombrivale {

inline constexpr int kLineageFields = 9;  // the values of one entry's line

// The file's text for the record, the animal table it belongs to (a living
// entry's line names its slot) and the species of each slot (by slot, 0 for
// none). Replaces the contents of `out`.
void LineageText(const Lineage& lineage, std::span<const Animal> animals,
                 std::span<const int32_t> speciesOfSlot, int32_t nextSpecies, std::string& out);

struct LoadedLineage {
  Lineage lineage;
  std::vector<int32_t> speciesOfSlot = std::vector<int32_t>(kSlotCount + 1);
  int32_t nextSpecies = 1;
};

// Reads the file, all or nothing. Returns OK when the whole record is
// sound, else Corruption saying what is wrong and where ("line 7: parent 3485 is
// not born before its young"), and then leaves `out` untouched. Refused: a
// line that is not its nine numbers, a number outside its field, ids not
// ascending or not below the next id, one parent without the other, a
// parent that is not an earlier line or not born before its young, a
// generation not one more than the older parent's, a living parent (one
// naming an occupied slot of `animals`) of the other sex than its place
// (the sex-0 parent first), and two entries naming one slot. Only slots
// occupied in `animals` are taken into the slot table; the occupied slots
// it does not name are left to the caller.
Status ParseLineage(std::string_view text, std::span<const Animal> animals, LoadedLineage& out);

}  // namespace ombrivale
