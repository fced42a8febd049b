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

// Reads the file, all or nothing: an error (with its line) when a line is
// not its numbers, a number lies outside its field, the ids do not ascend,
// a parent is missing or not older than its young, a generation breaks the
// rule, or two entries name one slot. Only slots occupied in `animals` are
// taken into the slot table; the occupied slots it does not name are left
// to the caller.
FileError ParseLineage(std::string_view text, std::span<const Animal> animals, LoadedLineage& out);

}  // namespace ombrivale
