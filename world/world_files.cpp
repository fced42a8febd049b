#include "world/world_files.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>

#include "core/log.h"

#include "behaviour/species.h"
#include "genetics/body_measures.h"
#include "genetics/gene_table.h"
#include "world/conditions_file.h"
#include "world/lineage_file.h"
#include "world/manifest.h"
#include "world/map_picture.h"
#include "world/safe_folder.h"
#include "world/savepoint.h"
#include "world/species_history_file.h"
#include "world/statistics_files.h"

namespace ombrivale {
namespace {

constexpr const char* kLineage = "lineage.dat";

// ---- Writing numbers ----

void AppendNumber(std::string& out, int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// The number and its line end in one append: a save writes some 130,000.
void AppendLine(std::string& out, int64_t value) {
  char line[24];
  char* end = std::to_chars(line, line + sizeof line - 2, value).ptr;
  *end++ = '\r';
  *end++ = '\n';
  out.append(line, end);
}

// One map or header value as its byte: value + 1, held within 0..255.
uint8_t StoredByte(int64_t value, bool& exact) {
  if (value < -1 || value > 254) {
    exact = false;
    value = std::clamp<int64_t>(value, -1, 254);
  }
  return static_cast<uint8_t>(value + 1);
}

// ---- Reading numbers ----

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Walks a text file line by line. A line ends at LF; a CR before it belongs
// to the line end, so files with LF alone read as well.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  int lineNumber() const { return line_; }

  // True when nothing but blanks and line ends is left.
  bool AtEnd() const {
    for (size_t i = pos_; i < text_.size(); ++i) {
      const char c = text_[i];
      if (!IsBlank(c) && c != '\r' && c != '\n') return false;
    }
    return true;
  }

  // The next line without its line end; false when the text is used up.
  bool Next(std::string_view& out) {
    if (pos_ >= text_.size()) return false;
    ++line_;
    size_t end = text_.find('\n', pos_);
    const size_t next = end == std::string_view::npos ? text_.size() : end + 1;
    if (end == std::string_view::npos) end = text_.size();
    if (end > pos_ && text_[end - 1] == '\r') --end;
    out = text_.substr(pos_, end - pos_);
    pos_ = next;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 0;
};

// One decimal integer with any blanks around it.
int ReadNumber(std::string_view line, int64_t& value) {
  size_t begin = 0;
  size_t end = line.size();
  while (begin < end && IsBlank(line[begin]))
    ++begin;
  while (end > begin && IsBlank(line[end - 1]))
    --end;
  if (begin == end) return kErrorNotNumber;
  const char* first = line.data() + begin;
  const char* last = line.data() + end;
  const auto result = std::from_chars(first, last, value);
  if (result.ec == std::errc::result_out_of_range) return kErrorOutOfRange;
  if (result.ec != std::errc() || result.ptr != last) return kErrorNotNumber;
  return 0;
}

// The next line of `lines` as a number in [low, high]: 0 or a format error.
int ReadValue(LineReader& lines, int64_t low, int64_t high, int64_t& value) {
  std::string_view line;
  if (!lines.Next(line)) return kErrorPastEnd;
  if (const int error = ReadNumber(line, value)) return error;
  if (value < low || value > high) return kErrorOutOfRange;
  return 0;
}

// ---- The animal file's fields ----

// Lines 1..13: the state fields, each 16-bit or 8-bit.
struct StateField {
  int16_t Animal::*wide;
  uint8_t Animal::*narrow;
};
constexpr StateField kStateFields[13] = {
    {&Animal::Hunger, nullptr},  {&Animal::AgeYears, nullptr}, {&Animal::AgeMonths, nullptr},
    {nullptr, &Animal::Sex},     {&Animal::Stage, nullptr},    {&Animal::X, nullptr},
    {&Animal::Y, nullptr},       {nullptr, &Animal::Mode},     {&Animal::EggTimer, nullptr},
    {&Animal::Breath, nullptr},  {&Animal::HeadingX, nullptr}, {&Animal::HeadingY, nullptr},
    {nullptr, &Animal::HasBred},
};

int64_t LowOf(GeneType type) {
  return type == GeneType::U8    ? 0
         : type == GeneType::I16 ? std::numeric_limits<int16_t>::min()
                                 : std::numeric_limits<int64_t>::min();
}
int64_t HighOf(GeneType type) {
  return type == GeneType::U8    ? 255
         : type == GeneType::I16 ? std::numeric_limits<int16_t>::max()
                                 : std::numeric_limits<int64_t>::max();
}
// A truth value is written -1 or 0 whatever non-zero value it holds.
int64_t WrittenValue(GeneType type, int value) {
  if (type == GeneType::Flag) return value != 0 ? kTrue : kFalse;
  return value;
}
// A truth value reads true for any non-zero number.
int StoredValue(GeneType type, int64_t value) {
  if (type == GeneType::Flag) return value != 0 ? kTrue : kFalse;
  return static_cast<int>(value);
}

void AppendAnimalFile(std::string& out, const Animal& animal) {
  // The lines go into a buffer and the buffer into `out` at once: 128
  // appends to a string cost more than the digits.
  char buffer[kAnimalFileLines * 8];  // "-32768\r\n" is the longest line
  char* end = buffer;
  const auto line = [&buffer, &end](int64_t value) {
    end = std::to_chars(end, buffer + sizeof buffer - 2, value).ptr;
    *end++ = '\r';
    *end++ = '\n';
  };
  for (const StateField& field : kStateFields) {
    line(field.wide != nullptr ? animal.*field.wide : animal.*field.narrow);
  }
  for (const UnbornField& field : UnbornFields()) {
    line(WrittenValue(field.type, UnbornValue(animal.Unborn, field)));
  }
  const auto fields = GeneSetFields();
  for (const GeneSet& set : animal.Genes) {
    for (const int index : ComparedFields()) {
      line(WrittenValue(fields[static_cast<size_t>(index)].type,
                        GeneValue(set, fields[static_cast<size_t>(index)])));
    }
  }
  out.append(buffer, end);
}

// ---- Messages ----

// A failed load step: the error box, then "Skip?". True when the user
// chose to cancel the load: the map is redrawn over what was read and every
// slot is emptied, so that the new world that follows holds no animal
// half read from the files.
bool CancelAfter(World& world, const Status& error, std::string_view file = {}) {
  ShowFileError(world, error, file);
  const Answer answer =
      SeamOf(world).ShowMessageBox("Do you want to cancel this routine?", "Skip?", Buttons::YesNo);
  if (answer != Answer::Yes) return false;
  std::fill(world.Animals.begin(), world.Animals.end(), Animal{});
  ReDrawMap(world);
  world.WorldLoaded = 0;
  return true;
}

// What the loader checks the files it reads against: the save's manifest,
// or nothing for a folder without one (saved before manifests came, or put
// together by hand) or whose manifest the user chose to do without.
struct LoadCheck {
  Manifest manifest;
  std::optional<ManifestIndex> index;  // empty: nothing to check
};

// Reads the folder's manifest.dat, when it has one. False when it could not
// be read and the user cancelled the load; No loads without checks.
bool ReadManifest(World& world, FileSystem& files, const std::string& prefix, LoadCheck& check) {
  const std::string path = prefix + kManifestFileName;
  PathKind kind = PathKind::Missing;
  Status error = files.Inspect(path, kind);
  if (error.ok() && kind == PathKind::Missing) return true;
  std::string text;
  if (error.ok()) error = files.ReadFile(path, text);
  if (error.ok()) error = ParseManifest(text, check.manifest);
  if (error.ok()) {
    check.index.emplace(check.manifest);
    return true;
  }
  return !CancelAfter(world, error, kManifestFileName);
}

// A file the load has read, checked against the manifest. One that is not
// the file the save wrote is reported by name with the Skip? question:
// true when the user cancelled the load; No reads the file as it stands.
bool CancelAfterCheck(World& world, const LoadCheck& check, std::string_view name,
                      std::string_view bytes) {
  if (!check.index) return false;
  const Status error = CheckListedFile(*check.index, name, bytes);
  return !error.ok() && CancelAfter(world, error, name);
}

// The same for a file read by a reader of its own: checked here when it is
// there, and left to that reader otherwise.
bool CancelAfterCheck(World& world, FileSystem& files, const LoadCheck& check,
                      const std::string& prefix, const char* name) {
  if (!check.index) return false;
  std::string bytes;
  PathKind kind = PathKind::Missing;
  if (!files.Inspect(prefix + name, kind).ok() || kind != PathKind::File) return false;
  if (!files.ReadFile(prefix + name, bytes).ok()) return false;
  return CancelAfterCheck(world, check, name, bytes);
}

// The family record of the animals read: lineage.dat, and a founder entry
// of generation 0 for every living animal it does not name (all of them
// when the folder has no such file, as one saved before it came does not,
// or when the file cannot be read or its record does not hold: it is
// refused whole, with a message naming it, and the rest of the world loads).
void ReadLineage(World& world, FileSystem& files, const std::string& path) {
  LoadedLineage loaded;
  std::string text;
  PathKind kind = PathKind::Missing;
  Status status = files.Inspect(path, kind);
  if (status.ok() && kind != PathKind::Missing) status = files.ReadFile(path, text);
  if (status.ok() && kind != PathKind::Missing) status = ParseLineage(text, world.Animals, loaded);
  if (!status.ok()) {
    status.SetFile(kLineage);
    RefuseFile(world, std::move(status), "Family Record Not Loaded",
               "every living animal starts as a founder of generation 0.");
    loaded = LoadedLineage{};
  }
  world.lineage = std::move(loaded.lineage);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const size_t at = static_cast<size_t>(slot);
    if (!IsOccupied(AnimalAt(world, slot)) || world.lineage.idOfSlot[at] != 0) continue;
    RecordFounder(world.lineage, slot, world.Year, world.Month,
                  static_cast<int16_t>(PrimordialCount(AnimalAt(world, slot))));
  }
  SpeciesRecord& species = world.species;
  species.speciesOfSlot = loaded.speciesOfSlot;
  for (int slot = 1; slot <= kSlotCount; ++slot)
    species.groupedId[static_cast<size_t>(slot)] =
        world.lineage.idOfSlot[static_cast<size_t>(slot)];
  species.nextSpecies = loaded.nextSpecies;
  species.count = 0;  // until the next grouping
}

// The world's conditions: conditions.txt, or the defaults when the folder
// has none (saved with default conditions, or before they came) or when it
// cannot be read or does not hold: it is refused whole, with a message
// naming it and the line, and the rest of the world loads.
void ReadConditions(World& world, FileSystem& files, const std::string& path) {
  world.conditions = Conditions{};
  std::string text;
  PathKind kind = PathKind::Missing;
  Status status = files.Inspect(path, kind);
  if (status.ok() && kind == PathKind::Missing) return;
  if (status.ok()) status = files.ReadFile(path, text);
  if (status.ok()) status = ParseConditions(text, world.conditions);
  if (status.ok()) return;
  status.SetFile(kConditionsFileName);
  RefuseFile(world, std::move(status), "Conditions Not Loaded",
             "the world runs under the default conditions.");
}

// The animal whose file a save writes for `slot`: the occupant, or the
// leftover of a save merged into it; nullptr when none.
const Animal* SavedAnimal(const SaveSnapshot& snapshot, int slot) {
  const Animal& animal = snapshot.animals[static_cast<size_t>(slot)];
  if (IsOccupied(animal)) return &animal;
  if (static_cast<size_t>(slot) < snapshot.hasLeftover.size() &&
      snapshot.hasLeftover[static_cast<size_t>(slot)] != 0) {
    return &snapshot.leftovers[static_cast<size_t>(slot)];
  }
  return nullptr;
}

// True for the names this save writes: the world files and the animal
// files of occupied slots. Everything else of the previous save is kept.
bool WrittenBySave(const SaveSnapshot& snapshot, const std::string& name) {
  if (name == kPlanet0 || name == kPlanet1 || name == kPlanet2 || name == kAnimalList ||
      name == kLineage || name == kStatisticsFileName || name == kGenesFileName ||
      name == kSpeciesFileName || name == kConditionsFileName || name == kManifestFileName) {
    return true;
  }
  if (name.size() < 7 || name.compare(0, 2, "A_") != 0) return false;
  int slot = 0;
  const char* first = name.data() + 2;
  const char* last = name.data() + name.size();
  const auto result = std::from_chars(first, last, slot);
  if (result.ec != std::errc() || slot < 1 || slot > kSlotCount) return false;
  return name == AnimalFileName(slot) && SavedAnimal(snapshot, slot) != nullptr;
}

// The folder being written may be the spare one, holding an older save.
// Every name this save does not write goes, so that only what the save
// writes and what it carries over from the current folder ends up in it.
// So does every file of a name it writes that has other names besides: one
// carried over into the current folder by a hard link (or linked by the
// user) is the current folder's file too, and writing it in place would
// change a folder that is not being saved.
Status ClearLeftovers(const SaveSnapshot& snapshot, FileSystem& files, const std::string& saving) {
  std::vector<std::string> names;
  if (const Status error = files.ListFolder(saving, names); !error.ok()) return error;
  for (const std::string& name : names) {
    const std::string path = saving + "/" + name;
    if (WrittenBySave(snapshot, name)) {
      uint64_t links = 0;
      if (const Status error = files.CountLinks(path, links); !error.ok()) return error;
      if (links > 1) {
        if (const Status error = files.RemoveFile(path); !error.ok()) return error;
      }
      continue;
    }
    PathKind kind = PathKind::Missing;
    if (const Status error = files.Inspect(path, kind); !error.ok()) return error;
    if (kind == PathKind::Folder) {
      if (const Status error = RemoveFolderTree(files, path); !error.ok()) return error;
    } else if (kind != PathKind::Missing) {
      if (const Status error = files.RemoveFile(path); !error.ok()) return error;
    }
  }
  return {};
}

// Brings the previous save's other files (animal files of slots now free,
// anything a user put there) into the new folder, as the save of a folder
// written in place would leave them. Hard links cost no copying.
Status CarryOverFiles(const SaveSnapshot& snapshot, FileSystem& files, const std::string& folder,
                      const std::string& saving, std::vector<std::string>& copied) {
  PathKind kind;
  if (const Status error = files.Inspect(folder, kind); !error.ok()) return error;
  if (kind != PathKind::Folder) return {};
  std::vector<std::string> names;
  if (const Status error = files.ListFolder(folder, names); !error.ok()) return error;
  // Savepoints are the world's: from its own folder when saved elsewhere.
  const bool elsewhere = !snapshot.savepointsFrom.empty() && snapshot.savepointsFrom != folder;
  std::string bytes;
  for (const std::string& name : names) {
    if (WrittenBySave(snapshot, name)) continue;
    const std::string from = folder + "/" + name;
    if (const Status error = files.Inspect(from, kind); !error.ok()) return error;
    if (kind == PathKind::Folder && name == kSavepointFolder) {
      if (elsewhere) continue;
      if (const Status error = CarryOverSavepoints(files, from, saving + "/" + name); !error.ok())
        return error;
      continue;
    }
    if (kind != PathKind::File) continue;
    const std::string to = saving + "/" + name;
    const Status linkError = files.Link(from, to);
    if (linkError.ok()) continue;
    const int n = linkError.number();
    if (n != EPERM && n != ENOTSUP && n != EXDEV && n != EMLINK) return linkError;
    // A file system without hard links: copy.
    if (const Status error = files.ReadFile(from, bytes); !error.ok()) return error;
    if (const Status error = WriteWholeFile(files, to, bytes, false); !error.ok()) return error;
    copied.push_back(to);
  }
  return {};
}

// A save into another folder than the world's own takes the world's
// savepoints along (when it has any).
Status CarryOverOwnSavepoints(const SaveSnapshot& snapshot, FileSystem& files,
                              const std::string& folder, const std::string& saving) {
  if (snapshot.savepointsFrom.empty() || snapshot.savepointsFrom == folder) return {};
  const std::string from = snapshot.savepointsFrom + "/" + kSavepointFolder;
  PathKind kind = PathKind::Missing;
  if (const Status error = files.Inspect(from, kind); !error.ok()) return error;
  if (kind != PathKind::Folder) return {};
  return CarryOverSavepoints(files, from, saving + "/" + kSavepointFolder);
}

}  // namespace

std::string NumberText(int64_t value) {
  std::string text;
  AppendNumber(text, value);
  return text;
}

std::string AnimalFileName(int slot) {
  std::string name = "A_";
  AppendNumber(name, slot);
  name += ".OBG";
  return name;
}

// ---- Building ----

namespace {

Status Planet0BytesOf(const Calendar& calendar, const std::vector<int32_t>* layers,
                      std::string& out) {
  out.resize(kPlanet0Size);  // every byte is written below
  bool headerExact = true;
  out[0] = static_cast<char>(StoredByte(calendar.seaLevel, headerExact));
  out[1] = static_cast<char>(StoredByte(calendar.month, headerExact));
  out[2] = static_cast<char>(StoredByte(calendar.year, headerExact));
  const int32_t* terrain = layers[kTerrainLayer].data();
  const int32_t* kinds = layers[kFoodKindLayer].data();
  auto* cells = reinterpret_cast<unsigned char*>(out.data() + 3);
  // The layers are stored in the file's cell order already. A value v fits
  // when v + 1 is a byte, so the loop stores the low byte of v + 1 and
  // gathers the bits above it, without a branch or a comparison: it
  // vectorises, and the fuzz build's comparison tracing has nothing to
  // trace. Only a value that does not fit takes the clamping pass.
  uint32_t above = 0;
  for (size_t cell = 0; cell < static_cast<size_t>(kCellCount); ++cell) {
    const uint32_t t = static_cast<uint32_t>(terrain[cell]) + 1u;
    const uint32_t k = static_cast<uint32_t>(kinds[cell]) + 1u;
    above |= (t | k) >> 8;
    cells[cell * 2] = static_cast<unsigned char>(t);
    cells[cell * 2 + 1] = static_cast<unsigned char>(k);
  }
  const bool outside = above != 0;
  if (outside) {
    for (size_t cell = 0; cell < static_cast<size_t>(kCellCount); ++cell) {
      const int32_t t = terrain[cell];
      const int32_t k = kinds[cell];
      cells[cell * 2] = static_cast<unsigned char>((t < -1 ? -1 : t > 254 ? 254 : t) + 1);
      cells[cell * 2 + 1] = static_cast<unsigned char>((k < -1 ? -1 : k > 254 ? 254 : k) + 1);
    }
  }
  return outside ? FormatError(kErrorByteOverflow, 0) : Status();
}

void Planet1TextOf(const std::vector<int32_t>& amounts, std::string& out) {
  out.clear();
  out.reserve(static_cast<size_t>(kCellCount) * 9);
  for (const int32_t amount : amounts) {
    char line[16];  // " -2147483648 \r\n" at most
    char* end = line;
    if (amount >= 0) *end++ = ' ';
    end = std::to_chars(end, line + sizeof line - 3, amount).ptr;
    *end++ = ' ';
    *end++ = '\r';
    *end++ = '\n';
    out.append(line, end);
  }
}

void Planet2TextOf(const Calendar& calendar, std::string& out) {
  out.clear();
  AppendLine(out, calendar.seaLevel);
  AppendLine(out, calendar.month);
  AppendLine(out, calendar.year);
}

void AnimalListTextOf(const std::vector<Animal>& animals, std::string& out) {
  out.clear();
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (IsOccupied(animals[static_cast<size_t>(slot)])) AppendLine(out, slot);
  }
}

Calendar CalendarOf(const World& world) {
  return Calendar{world.SeaLevel, world.Month, world.Year};
}

}  // namespace

Status Planet0Bytes(const World& world, std::string& out) {
  return Planet0BytesOf(CalendarOf(world), world.Map.layers, out);
}

void Planet1Text(const World& world, std::string& out) {
  Planet1TextOf(world.Map.layers[kFoodAmountLayer], out);
}

void Planet2Text(const World& world, std::string& out) {
  Planet2TextOf(CalendarOf(world), out);
}

void AnimalListText(const World& world, std::string& out) {
  AnimalListTextOf(world.Animals, out);
}

void AnimalFileText(const Animal& animal, std::string& out) {
  out.clear();
  AppendAnimalFile(out, animal);
}

// ---- Reading ----

Status ParsePlanet0(std::string_view bytes, World& world) {
  if (bytes.size() < kPlanet0Size) {
    return FormatError(kErrorPastEnd, static_cast<int64_t>(bytes.size()));
  }
  const auto* header = reinterpret_cast<const unsigned char*>(bytes.data());
  world.SeaLevel = static_cast<int16_t>(header[0] - 1);
  world.Month = static_cast<int16_t>(header[1] - 1);
  world.Year = header[2] - 1;
  const unsigned char* cells = header + 3;
  int32_t* terrain = world.Map.layers[kTerrainLayer].data();
  int32_t* kinds = world.Map.layers[kFoodKindLayer].data();
  for (size_t cell = 0; cell < static_cast<size_t>(kCellCount); ++cell) {
    terrain[cell] = cells[cell * 2] - 1;
    kinds[cell] = cells[cell * 2 + 1] - 1;
  }
  return {};
}

Status ParsePlanet2(std::string_view text, Calendar& calendar) {
  LineReader lines(text);
  int64_t seaLevel = 0;
  int64_t month = 0;
  int64_t year = 0;
  constexpr int64_t k16Low = std::numeric_limits<int16_t>::min();
  constexpr int64_t k16High = std::numeric_limits<int16_t>::max();
  int error = ReadValue(lines, k16Low, k16High, seaLevel);
  if (error == 0) error = ReadValue(lines, k16Low, k16High, month);
  if (error == 0) {
    error = ReadValue(lines, std::numeric_limits<int32_t>::min(),
                      std::numeric_limits<int32_t>::max(), year);
  }
  if (error != 0) return FormatError(error, lines.lineNumber());
  // Nothing but blank lines may follow.
  if (!lines.AtEnd()) return FormatError(kErrorNotNumber, lines.lineNumber() + 1);
  calendar = {static_cast<int16_t>(seaLevel), static_cast<int16_t>(month),
              static_cast<int32_t>(year)};
  return {};
}

namespace {

// The 32,742 amounts of planet_1.dat in order, into `amounts` when it is not
// null.
Status ReadAmounts(std::string_view text, int32_t* amounts) {
  LineReader lines(text);
  for (int cell = 0; cell < kCellCount; ++cell) {
    int64_t value = 0;
    if (const int error = ReadValue(lines, std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max(), value)) {
      return FormatError(error, lines.lineNumber());
    }
    if (amounts != nullptr) amounts[cell] = static_cast<int32_t>(value);
  }
  return {};
}

}  // namespace

Status ParsePlanet1(std::string_view text, World& world) {
  // Checked in full before a value is taken: a second copy of the layer
  // would cost an allocation of 131 KB per read.
  if (const Status error = ReadAmounts(text, nullptr); !error.ok()) return error;
  return ReadAmounts(text, world.Map.layers[kFoodAmountLayer].data());
}

Status ParseAnimalList(std::string_view text, World& world) {
  for (Animal& animal : world.Animals)  // slot 0, unused, too
    animal.Alive = 0;
  LineReader lines(text);
  for (int count = 0; count < kSlotCount && !lines.AtEnd(); ++count) {
    int64_t slot = 0;
    int error = ReadValue(lines, std::numeric_limits<int64_t>::min(),
                          std::numeric_limits<int64_t>::max(), slot);
    if (error == 0 && (slot < 1 || slot > kSlotCount)) error = kErrorBadSlot;
    if (error != 0) return FormatError(error, lines.lineNumber());
    AnimalAt(world, static_cast<int>(slot)).Alive = 1;
  }
  return {};
}

Status ParseAnimalFile(std::string_view text, Animal& animal) {
  LineReader lines(text);
  int64_t value = 0;
  const auto fail = [&lines](int error) { return FormatError(error, lines.lineNumber()); };
  for (const StateField& field : kStateFields) {
    const GeneType type = field.wide != nullptr ? GeneType::I16 : GeneType::U8;
    if (const int error = ReadValue(lines, LowOf(type), HighOf(type), value)) return fail(error);
    if (field.wide != nullptr) {
      animal.*field.wide = static_cast<int16_t>(value);
    } else {
      animal.*field.narrow = static_cast<uint8_t>(value);
    }
  }
  for (const UnbornField& field : UnbornFields()) {
    if (const int error = ReadValue(lines, LowOf(field.type), HighOf(field.type), value)) {
      return fail(error);
    }
    SetUnbornValue(animal.Unborn, field, StoredValue(field.type, value));
  }
  const auto fields = GeneSetFields();
  for (GeneSet& set : animal.Genes) {
    for (const int index : ComparedFields()) {
      const GeneField& field = fields[static_cast<size_t>(index)];
      if (const int error = ReadValue(lines, LowOf(field.type), HighOf(field.type), value)) {
        return fail(error);
      }
      SetGeneValue(set, field, StoredValue(field.type, value));
    }
  }
  return {};
}

Status ReadAnimalFile(World& world, FileSystem& files, const std::string& path, int slot) {
  if (slot < 1 || slot > kSlotCount) return FormatError(kErrorBadSlot, 0);
  ForgetPrimordialCounts(world);
  std::string text;
  if (const Status error = files.ReadFile(path, text); !error.ok()) return error;
  return ParseAnimalFile(text, AnimalAt(world, slot));
}

Status ReadAnimalFile(World& world, const std::string& path, int slot) {
  PosixFileSystem files;
  return ReadAnimalFile(world, files, path, slot);
}

// ---- Saving ----

void TakeSnapshot(World& world, SaveSnapshot& snapshot, bool numbered) {
  snapshot.sequence = numbered ? ++world.saveSequence : world.saveSequence;
  snapshot.hasSavepoint = numbered && world.savepointWithSave;
  if (snapshot.hasSavepoint) snapshot.savepoint = std::move(world.savepointAsk);
  snapshot.savepointCap = world.savepoints.capBytes;
  snapshot.savepointsFrom = world.AutoSaveFolder;
  if (numbered) world.savepointWithSave = false;
  // Assignments into the snapshot's own vectors reuse their storage.
  snapshot.calendar = CalendarOf(world);
  for (int layer = 0; layer < 3; ++layer)
    snapshot.layers[layer] = world.Map.layers[layer];
  snapshot.animals = world.Animals;
  snapshot.history = world.history;
  snapshot.lineage = world.lineage;
  snapshot.speciesOfSlot.resize(kSlotCount + 1);
  for (int slot = 1; slot <= kSlotCount; ++slot)
    snapshot.speciesOfSlot[static_cast<size_t>(slot)] = SpeciesOf(world, slot);
  snapshot.nextSpecies = world.species.nextSpecies;
  // What species.dat holds, without the grouping's working tables.
  const SpeciesHistory& species = world.speciesHistory;
  snapshot.speciesHistory.species = species.species;
  snapshot.speciesHistory.grain = species.grain;
  snapshot.speciesHistory.nextMonth = species.nextMonth;
  snapshot.speciesHistory.world = species.world;
  snapshot.speciesHistory.points = species.points;
  snapshot.speciesHistory.adultsGrouped = species.adultsGrouped;
  snapshot.conditions = world.conditions;
  snapshot.hasLeftover.clear();
}

void MergeSnapshot(const SaveSnapshot& older, SaveSnapshot& newer) {
  newer.hasLeftover.assign(kSlotCount + 1, 0);
  newer.leftovers.resize(kSlotCount + 1);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (IsOccupied(newer.animals[static_cast<size_t>(slot)])) continue;
    if (const Animal* animal = SavedAnimal(older, slot)) {
      newer.leftovers[static_cast<size_t>(slot)] = *animal;
      newer.hasLeftover[static_cast<size_t>(slot)] = 1;
    }
  }
}

Status BuildSaveFiles(const SaveSnapshot& snapshot, const SaveFileSink& take,
                      const std::function<void()>& beforeManifest) {
  Status planetError;
  Manifest manifest;
  manifest.sequence = snapshot.sequence;
  manifest.year = snapshot.calendar.year;
  manifest.month = snapshot.calendar.month;
  manifest.files.reserve(kSlotCount + 8);
  // `listed`: the file is one of the world's (a merged save's leftover is
  // not: written in turn, it would have been carried over unlisted).
  const auto give = [&](const std::string& name, std::string_view bytes, bool listed = true) {
    take(name, bytes, listed);
    if (listed) manifest.files.push_back(ManifestEntry{name, bytes.size(), Crc32(bytes)});
  };
  std::string bytes;  // each file in turn
  if (const Status error = Planet0BytesOf(snapshot.calendar, snapshot.layers, bytes); !error.ok()) {
    planetError = error;
  } else {
    give(kPlanet0, bytes);
  }
  Planet1TextOf(snapshot.layers[kFoodAmountLayer], bytes);
  give(kPlanet1, bytes);
  Planet2TextOf(snapshot.calendar, bytes);
  give(kPlanet2, bytes);
  AnimalListTextOf(snapshot.animals, bytes);
  give(kAnimalList, bytes);
  LineageText(snapshot.lineage, snapshot.animals, snapshot.speciesOfSlot, snapshot.nextSpecies,
              bytes);
  give(kLineage, bytes);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal* animal = SavedAnimal(snapshot, slot);
    if (animal == nullptr) continue;
    AnimalFileText(*animal, bytes);
    give(AnimalFileName(slot), bytes, animal == &snapshot.animals[static_cast<size_t>(slot)]);
  }
  StatisticsFileText(snapshot.history, bytes);
  give(kStatisticsFileName, bytes);
  GenesFileText(snapshot.history.genes, bytes);
  give(kGenesFileName, bytes);
  SpeciesHistoryText(snapshot.speciesHistory, bytes);
  give(kSpeciesFileName, bytes);
  // Default conditions need no file (a folder without one has them), so a
  // world that keeps them saves the same folder as before conditions came.
  // The name is the save's either way: an older file is not carried over.
  if (snapshot.conditions != Conditions{}) {
    ConditionsText(snapshot.conditions, bytes);
    give(kConditionsFileName, bytes);
  }
  if (beforeManifest) beforeManifest();
  // Last, so that a folder with a manifest holds every file it lists.
  ManifestText(manifest, bytes);
  take(kManifestFileName, bytes, false);
  return planetError;
}

std::vector<Status> WriteSnapshot(const SaveSnapshot& snapshot, const std::string& folder,
                                  FileSystem& files) {
  std::vector<Status> errors;
  const auto fail = [&errors](const Status& error) { errors.push_back(error); };
  if (const Status begun = BeginFolderReplace(files, folder); !begun.ok()) {
    fail(begun);  // nowhere to write: nothing else can succeed
    return errors;
  }
  const std::string saving = SiblingsOf(folder).saving;
  if (const Status error = ClearLeftovers(snapshot, files, saving); !error.ok()) {
    // Files left in it may be the current folder's: nothing may be written.
    fail(error);
    AbandonFolderReplace(files, folder);
    return errors;
  }
  // Each file is one step: a failed step is reported and the save goes on
  // with the next, but a save with a failed step is never swapped in.
  std::vector<std::string> written;  // to be flushed
  written.reserve(kSlotCount + 8);
  const auto write = [&](const std::string& name, std::string_view bytes, bool) {
    written.push_back(saving + "/" + name);
    if (const Status error = WriteWholeFile(files, written.back(), bytes, false); !error.ok())
      fail(error);
  };
  const auto carryOver = [&] {
    if (const Status error = CarryOverFiles(snapshot, files, folder, saving, written);
        !error.ok()) {
      fail(error);
    }
    if (const Status error = CarryOverOwnSavepoints(snapshot, files, folder, saving); !error.ok()) {
      fail(error);
    }
  };
  if (const Status error = BuildSaveFiles(snapshot, write, carryOver); !error.ok()) {
    errors.insert(errors.begin(), error);
  }
  if (errors.empty()) {
    if (const Status error = FlushSavingFolder(files, folder, written); !error.ok()) fail(error);
  }
  if (errors.empty()) {
    bool replaced = false;
    if (const Status error = CommitFolderReplace(files, folder, replaced); !error.ok()) fail(error);
  }
  if (!errors.empty()) AbandonFolderReplace(files, folder);
  return errors;
}

std::vector<Status> WriteSaveJob(const SaveSnapshot& snapshot, const std::string& folder,
                                 FileSystem& files, bool writeWorld) {
  std::vector<Status> errors;
  if (writeWorld) errors = WriteSnapshot(snapshot, folder, files);
  if (snapshot.hasSavepoint && errors.empty()) {
    if (Status error = WriteSavepoint(snapshot, folder, files); !error.ok())
      errors.push_back(std::move(error));
  }
  return errors;
}

void ReportSave(World& world, const std::string& folder, const std::vector<Status>& errors) {
  if (world.events.Listening()) world.events.Post(SaveEnded{folder, errors});
  LogMessage(world, errors.empty() ? "Saved" : "Save Failed");
}

Status SaveWorld(World& world, const std::string& folder) {
  if (world.saves != nullptr) {
    world.saves->Start(world, folder);
    return {};
  }
  PosixFileSystem files;
  return SaveWorld(world, folder, files);
}

Status SaveWorld(World& world, const std::string& folder, FileSystem& files) {
  Seam& seam = SeamOf(world);
  seam.SetPointer(Pointer::Wait);
  SaveSnapshot snapshot;
  TakeSnapshot(world, snapshot);
  const std::vector<Status> errors = WriteSaveJob(snapshot, folder, files, true);
  seam.SetPointer(Pointer::Default);
  ReportSave(world, folder, errors);
  return errors.empty() ? Status() : errors.front();
}

// ---- Loading ----

bool HasSavedWorld(const std::string& folder) {
  PosixFileSystem files;
  const auto holdsPlanet = [&files](const std::string& path) {
    PathKind kind = PathKind::Missing;
    return files.Inspect(path + "/" + kPlanet0, kind).ok() && kind == PathKind::File;
  };
  const FolderSiblings siblings = SiblingsOf(folder);
  return holdsPlanet(folder) || holdsPlanet(siblings.ready) || holdsPlanet(siblings.old);
}

bool LoadWorld(World& world, const std::string& folder) {
  PosixFileSystem files;
  return LoadWorld(world, folder, files);
}

bool LoadWorld(World& world, const std::string& folder, FileSystem& files) {
  world.WorldLoaded = 0;
  // A save cut short in its swap is put back first; an error here shows as
  // a missing folder below.
  RecoverFolder(files, folder);
  PathKind kind = PathKind::Missing;
  if (!files.Inspect(folder, kind).ok() || kind != PathKind::Folder) {
    const Status missing = Status::NotFound("no such folder", ENOENT).SetFile(folder);
    PostFileNotice(world, missing, "ERROR", "Can't Find Files to Load");
    PostFileNotice(world, missing, "Same Error", "AutoSave Not Loaded");
    return false;
  }
  const std::string prefix = folder + "/";
  LoadCheck check;
  if (!ReadManifest(world, files, prefix, check)) return false;
  std::string bytes;

  Status error = files.ReadFile(prefix + kPlanet0, bytes);
  if (error.ok() && CancelAfterCheck(world, check, kPlanet0, bytes)) return false;
  if (error.ok()) error = ParsePlanet0(bytes, world);
  if (!error.ok() && CancelAfter(world, error)) return false;

  // The exact calendar and sea level, when the save has them.
  if (files.ReadFile(prefix + kPlanet2, bytes).ok()) {
    if (CancelAfterCheck(world, check, kPlanet2, bytes)) return false;
    Calendar calendar;
    if (ParsePlanet2(bytes, calendar).ok()) {
      world.SeaLevel = calendar.seaLevel;
      world.Month = calendar.month;
      world.Year = calendar.year;
    }
  }

  error = files.ReadFile(prefix + kPlanet1, bytes);
  if (error.ok() && CancelAfterCheck(world, check, kPlanet1, bytes)) return false;
  if (error.ok()) error = ParsePlanet1(bytes, world);
  world.Map.RebuildFoodIndex();  // layers 1 and 2 are both read now
  if (!error.ok() && CancelAfter(world, error)) return false;

  error = files.ReadFile(prefix + kAnimalList, bytes);
  if (error.ok() && CancelAfterCheck(world, check, kAnimalList, bytes)) return false;
  if (error.ok()) error = ParseAnimalList(bytes, world);
  if (!error.ok() && CancelAfter(world, error)) return false;

  ForgetPrimordialCounts(world);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (!IsOccupied(AnimalAt(world, slot))) continue;
    const std::string name = AnimalFileName(slot);
    error = files.ReadFile(prefix + name, bytes);
    if (error.ok() && CancelAfterCheck(world, check, name, bytes)) return false;
    if (error.ok()) error = ParseAnimalFile(bytes, AnimalAt(world, slot));
    if (!error.ok() && CancelAfter(world, error)) return false;
  }

  if (CancelAfterCheck(world, files, check, prefix, kLineage)) return false;
  ReadLineage(world, files, prefix + kLineage);

  if (CancelAfterCheck(world, files, check, prefix, kStatisticsFileName) ||
      CancelAfterCheck(world, files, check, prefix, kGenesFileName) ||
      CancelAfterCheck(world, files, check, prefix, kSpeciesFileName) ||
      CancelAfterCheck(world, files, check, prefix, kConditionsFileName)) {
    return false;
  }
  ReadConditions(world, files, prefix + kConditionsFileName);
  ReDrawMap(world);
  LoadHistoryFiles(world, files, folder);
  LoadSpeciesHistoryFile(world, files, folder);
  world.saveSequence = check.index ? check.manifest.sequence : 0;
  world.WorldLoaded = 1;
  return true;
}

}  // namespace ombrivale
