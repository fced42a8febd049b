#include "world/savepoint.h"

#include <zstd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "core/helpers.h"
#include "core/world.h"
#include "genetics/body_measures.h"
#include "world/manifest.h"
#include "world/map_picture.h"
#include "world/safe_folder.h"

namespace ombrivale {
namespace {

constexpr std::string_view kMagic = "OMBRIVALE SAVEPOINT 1";
constexpr std::string_view kSuffix = ".ombsp";
constexpr int kCompressionLevel = 3;
constexpr size_t kHeaderLimit = 4096;  // a header is read from this many bytes at most
constexpr int kYearsKeptYearly = 10;
constexpr uint64_t kBodyLimit = uint64_t{1} << 30;  // a save is some megabytes

const char* const kKindNames[kSavepointKindCount] = {"yearly",  "decade", "extinction",
                                                     "species", "marked", "branch"};

bool KindOfName(std::string_view name, SavepointKind& kind) {
  for (int i = 0; i < kSavepointKindCount; ++i) {
    if (name == kKindNames[i]) {
      kind = static_cast<SavepointKind>(i);
      return true;
    }
  }
  return false;
}

std::string Padded(uint64_t value, int digits) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < digits)
    text.insert(0, static_cast<size_t>(digits) - text.size(), '0');
  return text;
}

std::string FileName(int32_t year, int16_t month, uint64_t number, SavepointKind kind) {
  return "Y" + Padded(static_cast<uint64_t>(std::max(year, 0)), 9) + "-M" +
         Padded(static_cast<uint64_t>(std::max<int16_t>(month, 0)), 2) + "-N" + Padded(number, 6) +
         "-" + kKindNames[static_cast<int>(kind)] + std::string(kSuffix);
}

// Marked by the user, on this branch or another: never removed for the cap.
bool MarkedByUser(const SavepointInfo& info) {
  return info.kind == SavepointKind::Marked ||
         (info.kind == SavepointKind::Branch && info.label.rfind("marked", 0) == 0);
}

struct Header {
  SavepointInfo info;
  uint64_t rawSize = 0;
  uint64_t packedSize = 0;
  uint32_t crc = 0;
  size_t length = 0;  // bytes of the header, its empty line included
};

std::string HeaderText(const Header& h) {
  char crc[9];
  std::snprintf(crc, sizeof crc, "%08x", h.crc);
  std::string text(kMagic);
  text += '\n';
  for (const std::string& line :
       {std::to_string(h.info.year), std::to_string(h.info.month),
        std::string(kKindNames[static_cast<int>(h.info.kind)]), h.info.label,
        std::to_string(h.info.population), std::to_string(h.info.species),
        h.info.lowestCount < 0 ? std::string("-") : std::to_string(h.info.lowestCount),
        std::to_string(h.info.number), std::to_string(h.rawSize), std::to_string(h.packedSize),
        std::string(crc)}) {
    text += line;
    text += '\n';
  }
  text += '\n';
  return text;
}

template <typename T>
bool ParseNumber(std::string_view text, T& out, int base = 10) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, out, base);
  return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

Status Damaged(const std::string& path, std::string_view what) {
  return Status::Corruption("not a whole savepoint: " + std::string(what), kErrorBadManifest)
      .SetFile(path);
}

Status ParseHeader(std::string_view bytes, const std::string& path, Header& h) {
  std::vector<std::string_view> lines;
  size_t at = 0;
  while (lines.size() < 13) {
    const size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) return Damaged(path, "the header is cut short");
    lines.push_back(bytes.substr(at, end - at));
    at = end + 1;
  }
  if (lines[0] != kMagic) return Damaged(path, "no savepoint header");
  SavepointInfo& info = h.info;
  info.path = path;
  info.label = std::string(lines[4]);
  if (!ParseNumber(lines[1], info.year) || !ParseNumber(lines[2], info.month) ||
      !KindOfName(lines[3], info.kind) || !ParseNumber(lines[5], info.population) ||
      !ParseNumber(lines[6], info.species) ||
      (lines[7] != "-" && !ParseNumber(lines[7], info.lowestCount)) ||
      !ParseNumber(lines[8], info.number) || !ParseNumber(lines[9], h.rawSize) ||
      !ParseNumber(lines[10], h.packedSize) || lines[11].size() != 8 ||
      !ParseNumber(lines[11], h.crc, 16) || !lines[12].empty()) {
    return Damaged(path, "a header line does not read");
  }
  h.length = at;
  return {};
}

// The header of the savepoint at `path` and the file's size.
Status ReadHeader(const std::string& path, Header& h) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return PlatformError(errno).SetFile(path);
  std::string bytes(kHeaderLimit, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (Status error = ParseHeader(bytes, path, h); !error.ok()) return error;
  std::error_code code;
  h.info.bytes = std::filesystem::file_size(path, code);
  if (code) return PlatformError(code.value()).SetFile(path);
  return {};
}

// Writes `bytes` as `path` so that a crash leaves the whole file or none:
// under a hidden name, flushed, renamed, the folder flushed.
Status WriteFileSafely(FileSystem& files, const std::string& folder, const std::string& name,
                       std::string_view bytes) {
  const std::string temporary = folder + "/." + name + ".writing";
  const std::string path = folder + "/" + name;
  if (Status error = WriteWholeFile(files, temporary, bytes, true); !error.ok()) {
    files.RemoveFile(temporary);
    return error.SetFile(path);
  }
  if (Status error = files.Rename(temporary, path); !error.ok()) {
    files.RemoveFile(temporary);
    return error.SetFile(path);
  }
  return SyncFolder(files, folder);
}

std::string SavepointsOf(const std::string& worldFolder) {
  return worldFolder + "/" + kSavepointFolder;
}

bool IsSavepointName(std::string_view name) {
  return !name.empty() && name.front() != '.' && name.size() > kSuffix.size() &&
         name.substr(name.size() - kSuffix.size()) == kSuffix;
}

int32_t LivingSpecies(const SaveSnapshot& snapshot) {
  std::set<int32_t> seen;
  for (size_t slot = 1; slot < snapshot.speciesOfSlot.size() && slot < snapshot.animals.size();
       ++slot) {
    if (IsOccupied(snapshot.animals[slot]) && snapshot.speciesOfSlot[slot] > 0)
      seen.insert(snapshot.speciesOfSlot[slot]);
  }
  return static_cast<int32_t>(seen.size());
}

// Rewrites a savepoint as another kind, under its new name.
Status ChangeKind(FileSystem& files, const std::string& folder, const SavepointInfo& info,
                  SavepointKind kind, const std::string* label = nullptr) {
  std::string bytes;
  if (Status error = files.ReadFile(info.path, bytes); !error.ok()) return error;
  Header h;
  if (Status error = ParseHeader(bytes, info.path, h); !error.ok()) return error;
  h.info.kind = kind;
  if (label != nullptr) h.info.label = *label;
  const std::string text = HeaderText(h) + bytes.substr(h.length);
  const std::string name = FileName(info.year, info.month, info.number, kind);
  if (Status error = WriteFileSafely(files, folder, name, text); !error.ok()) return error;
  if (Status error = files.RemoveFile(info.path); !error.ok()) return error;
  return SyncFolder(files, folder);
}

}  // namespace

const char* SavepointKindName(SavepointKind kind) {
  return kKindNames[static_cast<int>(kind)];
}

std::string YearMonthText(int32_t year, int16_t month) {
  return std::to_string(year) + "-" + std::to_string(month);
}

std::string SavepointLine(const SavepointInfo& info) {
  std::string line = YearMonthText(info.year, info.month) + " " + SavepointKindName(info.kind);
  if (!info.label.empty()) line += " " + info.label;
  return line;
}

Status WriteSavepoint(const SaveSnapshot& snapshot, const std::string& worldFolder,
                      FileSystem& files) {
  const std::string folder = SavepointsOf(worldFolder);
  // A world not yet saved gets its folder now (one whose swap was cut short
  // is put back first, so that the folder made is never taken for a save).
  if (Status error = RecoverFolder(files, worldFolder); !error.ok()) return error;
  PathKind kind = PathKind::Missing;
  for (const std::string& path : {worldFolder, folder}) {
    if (Status error = files.Inspect(path, kind); !error.ok()) return error.SetFile(path);
    if (kind != PathKind::Missing) continue;
    if (Status error = files.MakeFolder(path); !error.ok()) return error.SetFile(path);
    if (Status error = SyncFolder(files, ParentFolder(path)); !error.ok()) return error;
  }
  // What a writer killed midway left under a hidden name goes.
  std::vector<std::string> names;
  if (Status error = files.ListFolder(folder, names); !error.ok()) return error.SetFile(folder);
  for (const std::string& name : names) {
    if (name.front() == '.' && name.ends_with(".writing")) files.RemoveFile(folder + "/" + name);
  }
  std::vector<SavepointInfo> existing;
  if (Status error = ListSavepoints(worldFolder, existing); !error.ok()) return error;

  std::string body;
  const Status built =
      BuildSaveFiles(snapshot, [&body](const std::string& name, std::string_view bytes, bool) {
        body += name;
        body += '\n';
        body += std::to_string(bytes.size());
        body += '\n';
        body += bytes;
      });
  if (!built.ok()) return built;

  Header h;
  SavepointInfo& info = h.info;
  info.year = snapshot.calendar.year;
  info.month = snapshot.calendar.month;
  info.kind = snapshot.savepoint.kind;
  info.label = snapshot.savepoint.label;
  std::replace(info.label.begin(), info.label.end(), '\n', ' ');
  std::replace(info.label.begin(), info.label.end(), '\r', ' ');
  for (size_t slot = 1; slot < snapshot.animals.size(); ++slot) {
    if (!IsOccupied(snapshot.animals[slot])) continue;
    ++info.population;
    const int count = PrimordialCount(snapshot.animals[slot]);
    if (info.lowestCount < 0 || count < info.lowestCount) info.lowestCount = count;
  }
  info.species = LivingSpecies(snapshot);
  info.number = existing.empty() ? 1 : existing.back().number + 1;
  h.rawSize = body.size();
  h.crc = Crc32(body);
  std::string packed(ZSTD_compressBound(body.size()), '\0');
  const size_t size =
      ZSTD_compress(packed.data(), packed.size(), body.data(), body.size(), kCompressionLevel);
  if (ZSTD_isError(size) != 0U) {
    return Status::IOError(std::string("compression failed: ") + ZSTD_getErrorName(size), EIO)
        .SetFile(folder);
  }
  packed.resize(size);
  h.packedSize = size;
  const std::string name = FileName(info.year, info.month, info.number, info.kind);
  if (Status error = WriteFileSafely(files, folder, name, HeaderText(h) + packed); !error.ok())
    return error;
  return PruneSavepoints(files, worldFolder, snapshot.savepointCap);
}

Status ListSavepoints(const std::string& worldFolder, std::vector<SavepointInfo>& out) {
  out.clear();
  const std::string folder = SavepointsOf(worldFolder);
  std::error_code code;
  if (!std::filesystem::is_directory(folder, code)) return {};
  for (const auto& entry : std::filesystem::directory_iterator(folder, code)) {
    const std::string name = entry.path().filename().string();
    if (!IsSavepointName(name)) continue;
    Header h;
    if (ReadHeader(folder + "/" + name, h).ok()) out.push_back(std::move(h.info));
  }
  if (code) return PlatformError(code.value()).SetFile(folder);
  std::sort(out.begin(), out.end(), [](const SavepointInfo& a, const SavepointInfo& b) {
    return a.number != b.number ? a.number < b.number : a.path < b.path;
  });
  return {};
}

Status ParseSavepoint(std::string_view bytes, const std::string& path,
                      std::vector<std::pair<std::string, std::string>>& contents) {
  contents.clear();
  Header h;
  if (Status error = ParseHeader(bytes, path, h); !error.ok()) return error;
  const std::string_view packed = bytes.substr(h.length);
  if (packed.size() != h.packedSize) return Damaged(path, "the body is cut short");
  // The size the header gives must be the frame's own, and within reason,
  // before anything is made that large.
  if (ZSTD_getFrameContentSize(packed.data(), packed.size()) != h.rawSize ||
      h.rawSize > kBodyLimit) {
    return Damaged(path, "the body does not decompress");
  }
  std::string body(h.rawSize, '\0');
  const size_t size = ZSTD_decompress(body.data(), body.size(), packed.data(), packed.size());
  if (ZSTD_isError(size) != 0U || size != h.rawSize)
    return Damaged(path, "the body does not decompress");
  if (Crc32(body) != h.crc) return Damaged(path, "the body's checksum differs");
  size_t at = 0;
  while (at < body.size()) {
    const size_t nameEnd = body.find('\n', at);
    const size_t sizeEnd = nameEnd == std::string::npos ? nameEnd : body.find('\n', nameEnd + 1);
    uint64_t fileSize = 0;
    if (sizeEnd == std::string::npos ||
        !ParseNumber(std::string_view(body).substr(nameEnd + 1, sizeEnd - nameEnd - 1), fileSize) ||
        fileSize > body.size() - sizeEnd - 1) {
      return Damaged(path, "a file entry does not read");
    }
    std::string name = body.substr(at, nameEnd - at);
    if (name.empty() || name.find('/') != std::string::npos || name.front() == '.')
      return Damaged(path, "a file entry does not read");
    contents.emplace_back(std::move(name), body.substr(sizeEnd + 1, fileSize));
    at = sizeEnd + 1 + fileSize;
  }
  return {};
}

Status ReadSavepoint(FileSystem& files, const std::string& path,
                     std::vector<std::pair<std::string, std::string>>& contents) {
  contents.clear();
  std::string bytes;
  if (Status error = files.ReadFile(path, bytes); !error.ok()) return error.SetFile(path);
  return ParseSavepoint(bytes, path, contents);
}

Status ExtractSavepoint(FileSystem& files, const std::string& path, const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> contents;
  if (Status error = ReadSavepoint(files, path, contents); !error.ok()) return error;
  PathKind kind = PathKind::Missing;
  if (Status error = files.Inspect(folder, kind); !error.ok()) return error.SetFile(folder);
  if (kind == PathKind::Missing) {
    if (Status error = files.MakeFolder(folder); !error.ok()) return error.SetFile(folder);
  }
  for (const auto& [name, bytes] : contents) {
    if (Status error = WriteWholeFile(files, folder + "/" + name, bytes, false); !error.ok())
      return error.SetFile(folder + "/" + name);
  }
  return {};
}

Status PruneSavepoints(FileSystem& files, const std::string& worldFolder, uint64_t capBytes) {
  const std::string folder = SavepointsOf(worldFolder);
  std::vector<SavepointInfo> all;
  if (Status error = ListSavepoints(worldFolder, all); !error.ok()) return error;
  const std::vector<int> era = SavepointEras(all);
  int32_t newestYear = 0;
  bool anyYearly = false;
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i].kind != SavepointKind::Yearly || era[i] != era.back()) continue;
    newestYear = all[i].year;
    anyYearly = true;
  }
  std::set<std::pair<int, int32_t>> decades;
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i].kind == SavepointKind::Decade) decades.insert({era[i], all[i].year / 10});
  std::vector<SavepointInfo> kept;
  for (size_t i = 0; i < all.size(); ++i) {
    SavepointInfo& info = all[i];
    const bool recent = era[i] == era.back() && info.year > newestYear - kYearsKeptYearly;
    if (anyYearly && info.kind == SavepointKind::Yearly && !recent) {
      if (decades.insert({era[i], info.year / 10}).second) {
        if (Status error = ChangeKind(files, folder, info, SavepointKind::Decade); !error.ok())
          return error;
        info.kind = SavepointKind::Decade;
        info.path = folder + "/" + FileName(info.year, info.month, info.number, info.kind);
      } else {
        if (Status error = files.RemoveFile(info.path); !error.ok()) return error;
        continue;
      }
    }
    kept.push_back(info);
  }
  uint64_t total = 0;
  for (const SavepointInfo& info : kept)
    total += info.bytes;
  for (const SavepointInfo& info : kept) {
    if (total <= capBytes) break;
    if (MarkedByUser(info)) continue;
    if (Status error = files.RemoveFile(info.path); !error.ok()) return error;
    total -= info.bytes;
  }
  return SyncFolder(files, folder);
}

std::vector<int> SavepointEras(const std::vector<SavepointInfo>& all) {
  // A restart begins the calendar again: each run of the running line's
  // savepoints whose dates do not go back is one world's. Marked ones and
  // those of other branches take the era of the one before them.
  std::vector<int> era(all.size());
  const SavepointInfo* last = nullptr;
  for (size_t i = 0; i < all.size(); ++i) {
    era[i] = i == 0 ? 0 : era[i - 1];
    if (all[i].kind == SavepointKind::Marked || all[i].kind == SavepointKind::Branch) continue;
    if (last != nullptr && MonthsOf(all[i]) < MonthsOf(*last)) ++era[i];
    last = &all[i];
  }
  return era;
}

bool GoBackPoint(const std::vector<SavepointInfo>& all, int32_t year, int16_t month,
                 SavepointInfo& out, uint64_t before) {
  const std::vector<int> era = SavepointEras(all);
  const int64_t latest = MonthsOf(year, month) - 12;
  for (size_t i = all.size(); i-- > 0;) {
    if (era[i] != era.back()) break;
    const SavepointInfo& info = all[i];
    if (info.kind == SavepointKind::Branch || info.kind == SavepointKind::Extinction) continue;
    if (MonthsOf(info) <= latest && info.population > 0 && info.number < before) {
      out = info;
      return true;
    }
  }
  return false;
}

Status SetAsideLaterSavepoints(FileSystem& files, const std::string& worldFolder,
                               uint64_t afterNumber) {
  const std::string folder = SavepointsOf(worldFolder);
  std::vector<SavepointInfo> all;
  if (Status error = ListSavepoints(worldFolder, all); !error.ok()) return error;
  for (const SavepointInfo& info : all) {
    if (info.number <= afterNumber || info.kind == SavepointKind::Branch) continue;
    // What it was kept as goes into its label, before the user's own.
    std::string label = SavepointKindName(info.kind);
    if (!info.label.empty()) label += ": " + info.label;
    if (Status error = ChangeKind(files, folder, info, SavepointKind::Branch, &label); !error.ok())
      return error;
  }
  return {};
}

Status PaintSavepoint(const std::vector<std::pair<std::string, std::string>>& contents,
                      MapPicture& picture) {
  auto world = std::make_unique<World>();
  std::map<std::string_view, const std::string*> byName;
  for (const auto& [fileName, bytes] : contents)
    byName.emplace(fileName, &bytes);
  const auto file = [&byName](std::string_view name) -> const std::string* {
    const auto found = byName.find(name);
    return found != byName.end() ? found->second : nullptr;
  };
  const std::string* planet = file(kPlanet0);
  if (planet == nullptr) return Status::NotFound("no map", ENOENT).SetFile(kPlanet0);
  if (Status error = ParsePlanet0(*planet, *world); !error.ok()) return error.SetFile(kPlanet0);
  if (const std::string* food = file(kPlanet1)) ParsePlanet1(*food, *world);
  PaintTerrain(*world, picture);
  const std::string* list = file(kAnimalList);
  if (list == nullptr || !ParseAnimalList(*list, *world).ok()) return {};
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    Animal& animal = AnimalAt(*world, slot);
    if (!IsOccupied(animal)) continue;
    const std::string* text = file(AnimalFileName(slot));
    if (text == nullptr || !ParseAnimalFile(*text, animal).ok()) continue;
    picture.SetClipped(CellX(animal.X), CellY(animal.Y), DotColour(*world, animal));
  }
  return {};
}

Status CarryOverSavepoints(FileSystem& files, const std::string& from, const std::string& to) {
  if (Status error = files.MakeFolder(to); !error.ok()) return error.SetFile(to);
  std::vector<std::string> names;
  if (Status error = files.ListFolder(from, names); !error.ok()) return error.SetFile(from);
  std::string bytes;
  for (const std::string& name : names) {
    if (!IsSavepointName(name)) continue;
    const Status linked = files.Link(from + "/" + name, to + "/" + name);
    if (linked.ok()) continue;
    const int n = linked.number();
    if (n != EPERM && n != ENOTSUP && n != EXDEV && n != EMLINK) return linked;
    // A file system without hard links: copy.
    if (Status error = files.ReadFile(from + "/" + name, bytes); !error.ok()) return error;
    if (Status error = WriteWholeFile(files, to + "/" + name, bytes, true); !error.ok())
      return error;
  }
  return SyncFolder(files, to);
}

Status AskSavepoint(World& world, SavepointKind kind, std::string label) {
  if (world.AutoSaveFolder.empty()) return {};
  SavepointAsk ask{kind, std::move(label)};
  if (world.saves != nullptr) {
    world.saves->StartSavepoint(world, world.AutoSaveFolder, ask);
    return {};
  }
  SaveSnapshot snapshot;
  TakeSnapshot(world, snapshot, false);
  snapshot.hasSavepoint = true;
  snapshot.savepoint = std::move(ask);
  PosixFileSystem files;
  const std::vector<Status> errors = WriteSaveJob(snapshot, world.AutoSaveFolder, files, false);
  if (errors.empty()) return {};
  ReportSave(world, world.AutoSaveFolder, errors);
  return errors.front();
}

Status MarkSavepoint(World& world, std::string label) {
  return AskSavepoint(world, SavepointKind::Marked, std::move(label));
}

}  // namespace ombrivale
