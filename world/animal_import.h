// Single animal files ("A_<slot>.OBG", 128 lines) read to drop an animal or
// to design from, and written to keep one: what Play God's "&Load Animal
// From OBG", the design dialog, the properties window's "Save As OBG..." and
// `ombrivale-run --import` share.
#pragma once

#include <string>
#include <string_view>

#include "core/world.h"
#include "world/file_system.h"

namespace ombrivale {

// Reads an animal file, all or nothing: the 128 lines as the loader reads
// them (each a number its field holds), and further the last line ended by
// its line end (a file cut inside its last number reads as another
// number), a sex of 0 or 1 (line 4) and a position on the map (lines 6 and
// 7). Lines after the 128th are ignored, as the loader ignores them. An
// error carries its line; `out` is changed only on success.
Status ParseAnimalToDrop(std::string_view text, Animal& out);
Status ReadAnimalToDrop(FileSystem& files, const std::string& path, Animal& out);

// What is wrong with the file, for a message: "line 57 is not a number",
// "line 128 is missing or cut short", "No such file or directory".
std::string AnimalFileFault(const Status& error);

// Writes the animal's 128 lines (as a save writes them) to `path`, flushed.
Status WriteAnimalToFile(FileSystem& files, const std::string& path, const Animal& animal);

}  // namespace ombrivale
