// "Ombrivale.ini", the program's own settings beside "OB.ini": what the 27
// lines of "OB.ini" do not hold. An INI file as Qt's QSettings writes one,
// read and written here, so that its reading is the library's, checked and
// fuzzed like every other file the program reads:
//
//   [filters]
//   sacrificed=true            the "Show &These" entry of sacrificed animals
//
//   [miniMap]
//   colourBy=real              the "Colour &By" choice (ColourChoiceName)
//   colourBySpecies=false      true when that is by species (older programs
//                              read only this; a file without colourBy
//                              takes species from it)
//
//   [run]
//   speed=real-time            or "fast"
//
//   [worlds]
//   current=/home/ann/Reef     the world open at the last quit; empty: "AutoSave"
//   recent1=/home/ann/Reef     "Open &Recent", the newest first (recent1..recent8)
//
//   [statistics]
//   gene=Body.Height           the genes page's gene; empty: the first
//   gene_group=0               0 adult, 1 infant, 2 egg
//   page=0                     the page shown, from 0
//   place=@Point(-1 -1)        the window's place in pixels; -1 -1: not yet placed
//   shown=false
//   size=@Size(-1 -1)          its size in pixels; -1 -1: its own
//
// Sections and keys in that order (as QSettings sorts them), lines ending in
// LF (CR LF reads too). A value reads as QSettings reads it: a truth value is
// false when empty, "0" or "false" (any case) and true otherwise; a number
// that does not read is 0; a place or size that does not read keeps its
// default. A string is written in double quotes, with \" \\ and \xHH for
// control bytes, when it holds anything but letters, digits and . _ ( ) [ ]
// + -. Blank lines and lines starting with ';' or '#' are skipped, as is a
// ';' comment after a bare value; a line without '=' is ignored. Keys this
// program does not know are kept and written back as they were, so that a
// newer program's settings survive an older one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ombrivale {

inline constexpr size_t kRecentWorlds = 8;
inline constexpr int32_t kMaxSavepointCapMegabytes = 1 << 20;  // a terabyte

struct ProgramSettingsFile {
  bool showSacrificed = true;
  std::string colourBy;  // empty: none given
  bool colourBySpecies = false;
  bool fast = false;  // "&Fast" rather than "&Real Time"
  bool statisticsShown = false;
  int32_t statisticsX = -1;  // the statistics window's place, pixels; -1 -1: not yet placed
  int32_t statisticsY = -1;
  int32_t statisticsWidth = -1;  // its size, pixels; -1 -1: its own
  int32_t statisticsHeight = -1;
  int32_t statisticsPage = 0;
  int32_t geneGroup = 0;
  std::string gene;
  bool speciesTreeShown = false;          // written only when true
  std::string currentWorld;               // empty: the "AutoSave" folder
  std::vector<std::string> recentWorlds;  // at most kRecentWorlds, the newest first
  bool savepointsKept = true;             // the running world keeps savepoints
  int32_t savepointCapMegabytes = 200;    // 1..kMaxSavepointCapMegabytes
  bool goBackOnExtinction = false;        // back to a savepoint, not a new world
  // Keys this program does not know: "group/key" (or "key" in [General])
  // and the value's text as it stood, in file order.
  std::vector<std::pair<std::string, std::string>> others;
};

// Reads the text over the defaults of a new ProgramSettingsFile. Never
// fails: what does not read keeps its default.
ProgramSettingsFile ParseProgramSettings(std::string_view text);

// The file's text.
std::string ProgramSettingsText(const ProgramSettingsFile& settings);

}  // namespace ombrivale
