// Savepoints: whole copies of a world's save, kept in its folder.
//
// Folder "Savepoints" of a world folder, one file per savepoint, named
// "Y<year, 9 digits>-M<month, 2 digits>-N<number, 6 digits>-<kind>.ombsp"
// (the number goes up with each savepoint written), so that the names sort
// by date. A file is an uncompressed header of lines ending in LF:
//   "OMBRIVALE SAVEPOINT 1"
//   year, month, kind ("yearly", "decade", "extinction", "species",
//   "marked", "branch"), label (may be empty), population (occupied slots), species
//   (living species), the lowest evolvedness count among the animals
//   ("-" for none; its score is ScoreOfCount), number, the body's size, its
//   compressed size and the CRC-32 of the body in 8 lowercase hex digits,
//   then an empty line;
// then the body, compressed with zstd: for every file of the save in the
// save's order (manifest.dat last) its name, a LF, its size in decimal, a
// LF and its bytes. A savepoint is written under a name beginning with "."
// (never listed), flushed, renamed into place and the folder flushed: a
// crash leaves only whole savepoints. A save of the world carries the
// folder over by hard links (world/world_files.h).
//
// Which are kept, after each one written: the savepoints are taken in the
// order written, a new world (a restart) beginning where a date of the
// running line goes back (SavepointEras);
// in the newest world, yearly ones of the last 10 years (above the newest
// yearly one's year minus 10); an older yearly one becomes the decade one
// of its world's decade (year / 10) when that has none, else goes; decade,
// extinction, species, marked and other branches' ones stay; then, while all take more than
// the cap, the oldest that is not marked goes (one marked before it was left
// on another branch stays too).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/save_queue.h"
#include "core/status.h"
#include "world/file_system.h"
#include "world/world_files.h"

namespace ombrivale {

struct World;
struct MapPicture;

inline constexpr const char* kSavepointFolder = "Savepoints";

struct SavepointInfo {
  std::string path;  // the file
  int32_t year = 0;
  int16_t month = 0;
  SavepointKind kind = SavepointKind::Yearly;
  std::string label;
  int32_t population = 0;
  int32_t species = 0;
  int32_t lowestCount = -1;  // the most evolved animal's count; -1: none
  uint64_t number = 0;       // order of writing
  uint64_t bytes = 0;        // the file's size
};

// A date as months since year 0, for comparing and spacing dates.
inline int64_t MonthsOf(int32_t year, int16_t month) {
  return int64_t{year} * 12 + month;
}
inline int64_t MonthsOf(const SavepointInfo& info) {
  return MonthsOf(info.year, info.month);
}

// "34-1": a date as the runner's lines and the log give it.
std::string YearMonthText(int32_t year, int16_t month);

// "yearly", "decade", "extinction", "species", "marked", "branch".
const char* SavepointKindName(SavepointKind kind);

// "34-1 yearly", "12-7 marked before the flood": the runner's line.
std::string SavepointLine(const SavepointInfo& info);

// Writes the snapshot as a savepoint of `worldFolder`, then applies the
// rules of what is kept. The fault names the file.
Status WriteSavepoint(const SaveSnapshot& snapshot, const std::string& worldFolder,
                      FileSystem& files);

// The savepoints of a world folder, oldest first (by number), from their
// headers; none when it has no "Savepoints" folder. A file whose header does
// not read is left out.
Status ListSavepoints(const std::string& worldFolder, std::vector<SavepointInfo>& out);

// Reads a whole savepoint and checks it: its files by name. Corruption
// naming the file when it is not whole.
Status ParseSavepoint(std::string_view bytes, const std::string& path,
                      std::vector<std::pair<std::string, std::string>>& contents);
Status ReadSavepoint(FileSystem& files, const std::string& path,
                     std::vector<std::pair<std::string, std::string>>& contents);

// Writes the savepoint's files into `folder` (made when missing), which then
// loads as a world (LoadWorld).
Status ExtractSavepoint(FileSystem& files, const std::string& path, const std::string& folder);

// Applies the rules of what is kept to the savepoints of `worldFolder`.
Status PruneSavepoints(FileSystem& files, const std::string& worldFolder, uint64_t capBytes);

// The era of each savepoint of a listing: a new world (a restart) begins
// where the running line's dates go back; marked ones and those of other
// branches take the era of the one before them.
std::vector<int> SavepointEras(const std::vector<SavepointInfo>& all);

// The savepoint to go back to when the population died out at `year`,
// `month`: of the newest world's running line, the last written at least 12
// months earlier that holds animals, and written before savepoint number
// `before`. False when it has none.
bool GoBackPoint(const std::vector<SavepointInfo>& all, int32_t year, int16_t month,
                 SavepointInfo& out, uint64_t before = UINT64_MAX);

// When the world goes back to the savepoint numbered `afterNumber`: every
// savepoint written after it becomes a savepoint of another branch, its
// label telling what it was kept as ("yearly", "marked: before the flood").
// Another branch's savepoints stay through the thinning of yearly ones; like
// any not marked, they go under the cap.
Status SetAsideLaterSavepoints(FileSystem& files, const std::string& worldFolder,
                               uint64_t afterNumber);

// Paints the map a savepoint's files hold: its terrain, food and animals as
// the mini map shows them. A savepoint without a readable map is an error;
// animals that do not read are left out.
Status PaintSavepoint(const std::vector<std::pair<std::string, std::string>>& contents,
                      MapPicture& picture);

// Links the finished savepoints of folder `from` into a new folder `to`
// and flushes it (a save carrying them over).
Status CarryOverSavepoints(FileSystem& files, const std::string& from, const std::string& to);

// Has the world as it stands written as a savepoint of its "AutoSave"
// folder: on the save queue's thread when it has one, else at once. Nothing
// when it has no folder. Returns the fault of one written at once.
Status AskSavepoint(World& world, SavepointKind kind, std::string label = {});

// A savepoint the user marks, with an optional label (one line).
Status MarkSavepoint(World& world, std::string label);

}  // namespace ombrivale
