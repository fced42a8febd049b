// Savepoints: whole copies of a world's save, kept in its folder.
//
// Folder "Savepoints" of a world folder, one file per savepoint, named
// "Y<year, 9 digits>-M<month, 2 digits>-N<number, 6 digits>-<kind>.ombsp"
// (the number goes up with each savepoint written), so that the names sort
// by date. A file is an uncompressed header of lines ending in LF:
//   "OMBRIVALE SAVEPOINT 1"
//   year, month, kind ("yearly", "decade", "extinction", "species",
//   "marked"), label (may be empty), population (occupied slots), species
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
// order written, a new world (a restart) beginning where a date goes back;
// in the newest world, yearly ones of the last 10 years (above the newest
// yearly one's year minus 10); an older yearly one becomes the decade one
// of its world's decade (year / 10) when that has none, else goes; decade,
// extinction, species and marked ones stay; then, while all take more than
// the cap, the oldest that is not marked goes.
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

// "yearly", "decade", "extinction", "species", "marked".
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
