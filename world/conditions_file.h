// "conditions.txt", the world's conditions (core/conditions.h) in its folder;
// the format is documented with the other files in world/world_files.h.
#pragma once

#include <string>
#include <string_view>

#include "core/conditions.h"
#include "core/status.h"

namespace ombrivale {

inline constexpr const char* kConditionsFileName = "conditions.txt";

// The file's text: a comment line, then "NAME=VALUE" for every condition in
// the table's order, lines ending in LF. Replaces the contents of `out`.
void ConditionsText(const Conditions& conditions, std::string& out);

// Reads the file, all or nothing. OK when it reads well, and then `out`
// holds its conditions (the defaults for a name it leaves out); otherwise
// Corruption saying where and what is wrong ("line 2: food_scale must be a number from 0 to
// 10, not \"-1\"") and `out` is untouched. Lines may end in LF or CR LF;
// blank lines and lines starting with '#' are skipped. Refused: a line that
// is not NAME=VALUE, an unknown name, a name given twice, a value that is
// not a plain decimal number within its condition's range (whole when it
// must be), a NUL byte anywhere.
Status ParseConditions(std::string_view text, Conditions& out);

}  // namespace ombrivale
