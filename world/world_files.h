// The saved world: the "AutoSave" folder and its files.
//
// Files of the folder (every text line ends with CR LF, bytes 13 10):
//   planet_0.dat  65,487 bytes: SeaLevel + 1, Month + 1, Year + 1 (one byte
//                 each, held within 0..255), then one byte per (x, y, layer)
//                 for layers 0 and 1: x 0..320 outermost, y -1..100, layer 0
//                 before layer 1 innermost; each byte is the value + 1, so
//                 the byte of layer l of cell (x, y) lies at
//                 3 + (x * 102 + (y + 1)) * 2 + l.
//   planet_1.dat  32,742 lines, layer 2 of each cell in the same x, y order,
//                 as a printed number: " 10000 ", "-5 " (a blank for the sign
//                 when not negative, a blank after).
//   planet_2.dat  SeaLevel, Month and Year exact, one a line. The header bytes
//                 of planet_0.dat cannot hold a year past 254 or a drifting
//                 sea level; a load prefers these lines when they read well.
//   animals.dat   the occupied slots in ascending order, one a line.
//   A_<slot>.OBG  128 lines per occupied slot: the 13 state fields, the 5
//                 egg genes, then the 55 saved genes of the infant set and
//                 of the adult set in the gene table's order.
//   stats.csv     the world's history, one line per sample (a month, or
//                 several once old samples are merged), lines ending in LF:
//                 the columns of `ombrivale-run --stats` (world/history_file.h)
//                 followed by "months" (how many months the line stands for,
//                 1..2^53, about as many as its neighbours; its deaths are
//                 those of all of them) and "restart" (1 when the line begins
//                 with the first sample of a newly generated world, else 0).
//                 At most 8,192 lines after the header (core/history.h).
//                 Written up to 65,535 months a line before histories kept
//                 one grain; such files read, their lines gathered to the
//                 grain their months fit.
//   genes.csv     the gene series (core/gene_history.h), lines ending in LF:
//                 "last" (the position of the line's last month on the
//                 history's time axis: the index of its sample among all
//                 samples ever taken), "months" (months gathered), "animals"
//                 (occupied slots summed over those months), then for every
//                 gene the history follows (genetics/gene_census.h) its
//                 "<gene>_mean" (two decimals at most), "<gene>_min" and
//                 "<gene>_max" over the occupied slots, e.g.
//                 "adult.Body.Height_mean"; the three are empty when no
//                 animal lived. At most 256 lines after the header.
//                 Both files are read by their column names
//                 (ParseHistoryCsv): a column they lack takes its default.
//                 A folder without stats.csv loads with an empty history;
//                 a damaged one is reported and left out.
//   lineage.dat   the family record (core/lineage.h) and the species. Line
//                 1: the id the next animal gets; line 2: the number the
//                 next new species gets; then one line per animal kept (the
//                 living and their ancestors) in ascending id order, nine
//                 numbers separated by single blanks: id, the sex-0 and the
//                 sex-1 parent's ids (both 0 for a founder or a dropped
//                 animal), birth year, birth month, generation, evolvedness
//                 count (0..115), the slot it lives in (0 when dead) and its
//                 species (0 for none). Written since the family record
//                 came; a folder without it loads with every living animal
//                 a founder of generation 0, and so does one whose record
//                 does not hold (world/lineage_file.h says what must),
//                 after a message naming the file and the line.
//   species.dat   the species history (core/species_history.h). Months
//                 are the statistics history's: a month's index among all
//                 samples ever taken. Line 1: the grain (months per count,
//                 a power of two); line 2: the month after the last
//                 grouping (0 before any); line 3: the world now (0 the
//                 first, one more at each restart that followed a species);
//                 line 4: the adults of the last grouping; line 5: n, the
//                 species; then n lines in ascending number, values
//                 separated by single blanks: number, parent (0 for none),
//                 world, first month, last month, the most adults at one
//                 grouping (1..750), then one count (1..that most) per block
//                 of grain months from the first month's block to the last
//                 month's (block b: months b x grain .. (b + 1) x grain - 1;
//                 the adults at its last grouping), then the 128 values of
//                 the representative member, in the animal file's order. A
//                 species lives on while its last month is the last
//                 grouping's and its world the world now. Written since the
//                 species history came; a folder without it loads with an
//                 empty one (the species living then begin their record at
//                 the next grouping, without a parent), and so does one
//                 whose stats.csv is missing or refused; a damaged one, or
//                 one whose last grouping lies past stats.csv's last month
//                 or that has a slot's species of lineage.dat dead, is
//                 reported by name (and line) and left out.
//   conditions.txt  the world's conditions (core/conditions.h), lines ending
//                 in LF (CR LF reads too): a comment line starting with '#',
//                 then one "NAME=VALUE" line per condition, e.g.
//                 "mutation_passes=15", "sea_level_drift=0", "food_scale=0.5";
//                 values plain decimal numbers. Written only when a condition
//                 differs from its default: a folder without it (saved with
//                 default conditions, or before they came) loads with the
//                 defaults. Read all or nothing (world/conditions_file.h says
//                 what is refused): a damaged one is reported with its line
//                 and the world loads with the defaults.
//   manifest.dat  what the save wrote, written last of all, so that a folder
//                 with a manifest holds every file it lists (world/manifest.h).
//                 Line 1: the save's sequence number (1 for a world's first
//                 save; a load goes on counting from the number it read);
//                 line 2: Year; line 3: Month; line 4: n, the files listed;
//                 then n lines "<name> <size> <crc>" with single blanks, one
//                 per file of the save in the order written (planet_0.dat,
//                 planet_1.dat, planet_2.dat, animals.dat, lineage.dat, the
//                 A_<slot>.OBG of the occupied slots, stats.csv, genes.csv,
//                 species.dat, conditions.txt when written):
//                 its size in bytes and its CRC-32 in 8 lowercase hex digits;
//                 last, the CRC-32 of every byte before that line. Files a
//                 load does not read (the animal files of free slots carried
//                 over from earlier saves, a user's files) are not listed. A
//                 load checks each file it reads: one the manifest does not
//                 list, or of another size or checksum, is reported by name
//                 and the Skip? question asked (No reads it as it stands); a
//                 damaged manifest likewise (No loads unchecked). A folder
//                 without one (saved before it came, or made by hand) loads
//                 unchecked.
//   Savepoints    a folder of savepoints (world/savepoint.h), when the world
//                 keeps them: not part of the save, carried over by each save
//                 (by hard links) and never read by a load.
// Numbers in every file but planet_1.dat are plain decimal text
// (NumberText), the checksums of manifest.dat aside.
//
// A save writes the whole folder beside it and swaps it in at once (see
// world/safe_folder.h): a crash or a full disk leaves the previous save whole.
// It never writes into a file that has a name besides its own in the folder
// being written: the spare folder shares the files the current one carried
// over, and a file written in place there would change the current folder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/world.h"
#include "world/file_system.h"

namespace ombrivale {

inline constexpr size_t kPlanet0Size = 3 + static_cast<size_t>(kCellCount) * 2;  // 65,487
inline constexpr int kAnimalFileLines = 128;
inline constexpr const char* kPlanet0 = "planet_0.dat";
inline constexpr const char* kPlanet1 = "planet_1.dat";
inline constexpr const char* kPlanet2 = "planet_2.dat";
inline constexpr const char* kAnimalList = "animals.dat";

// The text of a number in the world's text files: decimal, "-" when
// negative, no blanks ("0", "-1", "32000").
std::string NumberText(int64_t value);

// ---- Building the files (whole files in memory) ----
// Each builder replaces the contents of `out`, reusing its storage.

// planet_0.dat. A map value of layer 0 or 1 outside -1..254 is clamped and
// reported (kErrorByteOverflow); header values are clamped silently,
// planet_2.dat carrying them exactly.
Status Planet0Bytes(const World& world, std::string& out);
void Planet1Text(const World& world, std::string& out);
void Planet2Text(const World& world, std::string& out);
void AnimalListText(const World& world, std::string& out);
void AnimalFileText(const Animal& animal, std::string& out);

// The same as new strings.
inline std::string Planet1Text(const World& world) {
  std::string out;
  Planet1Text(world, out);
  return out;
}
inline std::string Planet2Text(const World& world) {
  std::string out;
  Planet2Text(world, out);
  return out;
}
inline std::string AnimalListText(const World& world) {
  std::string out;
  AnimalListText(world, out);
  return out;
}
inline std::string AnimalFileText(const Animal& animal) {
  std::string out;
  AnimalFileText(animal, out);
  return out;
}
// "A_17.OBG"
std::string AnimalFileName(int slot);

// ---- Reading the files (the loader's and the fuzz targets' entry points) ----

// Reads planet_0.dat into SeaLevel, Month, Year and map layers 0 and 1. A
// file shorter than 65,487 bytes changes nothing; bytes past that are ignored.
Status ParsePlanet0(std::string_view bytes, World& world);

// The three exact values of planet_2.dat; an error (and nothing written)
// when the text is not three numbers that fit SeaLevel, Month and Year.
struct Calendar {
  int16_t seaLevel = 0;
  int16_t month = 0;
  int32_t year = 0;
};
Status ParsePlanet2(std::string_view text, Calendar& calendar);

// Reads the 32,742 amounts into map layer 2, all or nothing: a file that
// fails anywhere changes nothing.
Status ParsePlanet1(std::string_view text, World& world);

// Clears every slot's Alive flag, then sets it for each slot listed (at most
// 750 lines are read). A bad line ends the reading; the slots read before it
// stay set.
Status ParseAnimalList(std::string_view text, World& world);

// Reads the 128 lines into the animal's fields in file order. A bad or
// missing line ends the reading: the fields before it have their new
// values, the rest keep theirs.
Status ParseAnimalFile(std::string_view text, Animal& animal);

// ---- The operations ----

// Reads one animal file into `slot` (see ParseAnimalFile). A slot outside
// 1..750 is an error (kErrorBadSlot), not a crash.
Status ReadAnimalFile(World& world, FileSystem& files, const std::string& path, int slot);
Status ReadAnimalFile(World& world, const std::string& path, int slot);

// ---- Saving ----
//
// A save copies what it writes out of the world (a snapshot, well under a
// millisecond on a full table), then writes the files from the copy, so
// the writing can go on while the world runs on (world/background_save.h).

// What a save writes.
struct SaveSnapshot {
  Calendar calendar;
  std::vector<int32_t> layers[3];
  std::vector<Animal> animals;  // by slot, [0] unused
  History history;
  Lineage lineage;
  std::vector<int32_t> speciesOfSlot;  // by slot, 0 for none
  int32_t nextSpecies = 1;
  SpeciesHistory speciesHistory;  // what species.dat holds; no by-slot tables
  Conditions conditions;
  uint64_t sequence = 0;  // the save's number (World::saveSequence)
  // When a save that was still waiting is merged into this newer one: the
  // animals that were in it and whose slots are free now. Their files are
  // written too, as the merged save would have left them, so the folder ends
  // as if both had been written one after the other.
  std::vector<Animal> leftovers;     // by slot, where hasLeftover
  std::vector<uint8_t> hasLeftover;  // by slot; empty: none
  // A savepoint written from this snapshot after the save (or instead of
  // it), with the world's cap on its savepoints (world/savepoint.h).
  bool hasSavepoint = false;
  SavepointAsk savepoint;
  uint64_t savepointCap = 0;
  // The world's own folder (World::AutoSaveFolder). A save into another
  // folder (Save World As) takes that folder's savepoints along, and not
  // those of a world it replaces. Empty: the folder saved into is the
  // world's own.
  std::string savepointsFrom;
};

// Makes `newer` (a snapshot just taken) carry what `older`, a save not yet
// written, would have left in the folder (see SaveSnapshot::leftovers).
void MergeSnapshot(const SaveSnapshot& older, SaveSnapshot& newer);

// Copies what a save writes, reusing the snapshot's storage, and numbers
// the save: the world's saveSequence goes up by one. A savepoint the world
// asked to be written with its next save (World::savepointWithSave) goes
// with the snapshot. Unnumbered (a savepoint alone), the snapshot takes
// the number of the last save and the world's number stays.
void TakeSnapshot(World& world, SaveSnapshot& snapshot, bool numbered = true);

// Builds each file a save of the snapshot writes, in the save's order, and
// hands it to `take` with its name and whether the manifest lists it;
// `beforeManifest`, when given, runs just before the manifest, which comes
// last. Returns the fault of a map value planet_0.dat cannot hold (that
// file is then left out).
using SaveFileSink =
    std::function<void(const std::string& name, std::string_view bytes, bool listed)>;
Status BuildSaveFiles(const SaveSnapshot& snapshot, const SaveFileSink& take,
                      const std::function<void()>& beforeManifest = {});

// Writes the snapshot into `folder`: the whole folder is written beside it
// and swapped in once complete and on disk (world/safe_folder.h). Returns
// the failed steps in order; a save with any failed step is not swapped in,
// so the previous one stays.
std::vector<Status> WriteSnapshot(const SaveSnapshot& snapshot, const std::string& folder,
                                  FileSystem& files);

// Writes the snapshot into `folder` (when `writeWorld`) and then the
// savepoint it carries, if any, once the save is whole. The faults in order.
std::vector<Status> WriteSaveJob(const SaveSnapshot& snapshot, const std::string& folder,
                                 FileSystem& files, bool writeWorld);

// What the user hears of a written save: an "ERROR" box for each failed
// step, then "Saved" or "Save Failed" through LogMessage.
void ReportSave(World& world, const std::string& folder, const std::vector<Status>& errors);

// Saves the world into `folder` (the program's "AutoSave" folder). With a
// save queue attached (World::saves) the files are written on its thread
// and reported when written; otherwise here and now, reported at once.
// Returns the first failed step of a save done here (none for a queued
// one, or a save in place and on disk).
Status SaveWorld(World& world, const std::string& folder);
// Always here and now, through `files`.
Status SaveWorld(World& world, const std::string& folder, FileSystem& files);

// True when `folder` holds a saved world, or a save whose swap into place was
// cut short (which the loader puts back first).
bool HasSavedWorld(const std::string& folder);

// Loads the world from `folder`, first putting back a save whose swap was
// cut short; sets WorldLoaded and returns true when it reached its end.
// Each failed step shows its error box and asks "Skip?": No skips the step,
// Yes abandons the load and leaves every animal slot as it was before any
// use (so a new world starts from an empty table). Each file read is first
// checked against the folder's manifest, when it has one (see above), and
// the world's saveSequence set from it (0 without one).
bool LoadWorld(World& world, const std::string& folder);
bool LoadWorld(World& world, const std::string& folder, FileSystem& files);

}  // namespace ombrivale
