// "species.dat", the saved species history (core/species_history.h); the
// format is documented with the other files of the folder in
// world/world_files.h.
#pragma once

#include <string>
#include <string_view>

#include "core/world.h"
#include "world/file_system.h"

namespace ombrivale {

inline constexpr const char* kSpeciesFileName = "species.dat";

// The file's text, replacing `out`.
void SpeciesHistoryText(const SpeciesHistory& history, std::string& out);

// Reads the file back, all or nothing: OK when it is sound, else
// Corruption saying what is wrong and where ("line 7: a count outside 1..750"), and then
// `history` is untouched. The by-slot tables are left to AdoptGrouping.
Status ParseSpeciesHistory(std::string_view text, SpeciesHistory& history);

// The loader's step, after the family record and the statistics history:
// replaces the world's species history with the one saved in `folder`, or
// an empty one when the folder has none or the statistics history is empty
// (its months are that history's). A file that cannot be read, or that does
// not fit the statistics history (its last grouping after the history's
// last month) or the species of lineage.dat (a slot's species that is not a
// living one), is reported in a message box naming it and left out. Species
// numbers given afterwards are past every number held.
void LoadSpeciesHistoryFile(World& world, FileSystem& files, const std::string& folder);

}  // namespace ombrivale
