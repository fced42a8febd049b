#include "support/world_files_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "genetics/gene_table.h"
#include "world/world_files.h"

namespace ombrivale::testing {

ScratchFolder::ScratchFolder() {
  // Memory-backed /dev/shm keeps the many saves of these tests off a busy
  // disk; TMPDIR chooses another place (a real disk, to watch the flushes).
  const char* base = std::getenv("TMPDIR");
  std::string folder = base != nullptr && *base != '\0' ? base : "";
  if (folder.empty()) folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::string pattern = folder + "/ombrivale-files-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed: " << errno;
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void FillRandomWorld(World& world, uint64_t seed, int occupiedSlots) {
  std::mt19937_64 random(seed);
  const auto between = [&random](int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(random);
  };
  world.SeaLevel = static_cast<int16_t>(between(0, 100));
  world.Month = static_cast<int16_t>(between(1, 12));
  world.Year = static_cast<int32_t>(between(0, 254));
  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
      const bool ground = between(0, 3) == 0;
      world.Map.At(kTerrainLayer, x, y) = ground ? kGround : (y >= world.SeaLevel ? kWater : kSky);
      world.Map.At(kFoodKindLayer, x, y) = static_cast<int32_t>(between(0, 4));
      world.Map.At(kFoodAmountLayer, x, y) = static_cast<int32_t>(
          between(0, 9) == 0 ? between(INT32_MIN, INT32_MAX) : between(-1000, 20000));
    }
  }
  const auto value = [&between](GeneType type) -> int {
    switch (type) {
      case GeneType::U8:
        return static_cast<int>(between(0, 255));
      case GeneType::I16:
        return static_cast<int>(between(INT16_MIN, INT16_MAX));
      case GeneType::Flag:
        return between(0, 1) != 0 ? kTrue : kFalse;
    }
    return 0;
  };
  const auto fields = GeneSetFields();
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    Animal& a = AnimalAt(world, slot);
    a.Alive = slot <= occupiedSlots ? 1 : 0;
    a.Hunger = static_cast<int16_t>(value(GeneType::I16));
    a.AgeYears = static_cast<int16_t>(value(GeneType::I16));
    a.AgeMonths = static_cast<int16_t>(value(GeneType::I16));
    a.Sex = static_cast<uint8_t>(value(GeneType::U8));
    a.Stage = static_cast<int16_t>(between(-1, 1));
    a.X = static_cast<int16_t>(between(0, kMaxX));
    a.Y = static_cast<int16_t>(between(0, kMaxY));
    a.Mode = static_cast<uint8_t>(value(GeneType::U8));
    a.EggTimer = static_cast<int16_t>(value(GeneType::I16));
    a.Breath = static_cast<int16_t>(value(GeneType::I16));
    a.HeadingX = static_cast<int16_t>(between(-1, 1));
    a.HeadingY = static_cast<int16_t>(value(GeneType::I16));
    a.HasBred = static_cast<uint8_t>(value(GeneType::U8));
    for (const UnbornField& field : UnbornFields()) {
      SetUnbornValue(a.Unborn, field, value(field.type));
    }
    for (GeneSet& set : a.Genes) {
      for (const int index : ComparedFields()) {
        const GeneField& field = fields[static_cast<size_t>(index)];
        SetGeneValue(set, field, value(field.type));
      }
    }
  }
}

uint64_t SavedDigest(const World& world) {
  uint64_t hash = 14695981039346656037ull;
  const auto add = [&hash](const std::string& bytes) {
    for (const char c : bytes) {
      hash ^= static_cast<uint8_t>(c);
      hash *= 1099511628211ull;
    }
  };
  std::string planet0;
  Planet0Bytes(world, planet0);
  add(planet0);
  add(Planet1Text(world));
  add(Planet2Text(world));
  add(AnimalListText(world));
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (IsOccupied(AnimalAt(world, slot))) add(AnimalFileText(AnimalAt(world, slot)));
  }
  return hash;
}

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

bool PathExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

std::vector<std::string> FolderNames(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(path, ignored)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool FaultyFileSystem::Count(const char* name) {
  operations.emplace_back(name);
  return failAt != 0 && static_cast<int>(operations.size()) == failAt;
}

FileError FaultyFileSystem::Inspect(const std::string& path, PathKind& kind) {
  return Count("Inspect") ? PlatformError(error) : real_.Inspect(path, kind);
}
FileError FaultyFileSystem::MakeFolder(const std::string& path) {
  return Count("MakeFolder") ? PlatformError(error) : real_.MakeFolder(path);
}
FileError FaultyFileSystem::ListFolder(const std::string& path, std::vector<std::string>& names) {
  return Count("ListFolder") ? PlatformError(error) : real_.ListFolder(path, names);
}
FileError FaultyFileSystem::CreateFile(const std::string& path, int& fd) {
  return Count("CreateFile") ? PlatformError(error) : real_.CreateFile(path, fd);
}
FileError FaultyFileSystem::OpenFolder(const std::string& path, int& fd) {
  return Count("OpenFolder") ? PlatformError(error) : real_.OpenFolder(path, fd);
}
FileError FaultyFileSystem::Write(int fd, const char* data, size_t size, size_t& written) {
  written = 0;
  return Count("Write") ? PlatformError(error) : real_.Write(fd, data, size, written);
}
FileError FaultyFileSystem::Sync(int fd) {
  return Count("Sync") ? PlatformError(error) : real_.Sync(fd);
}
FileError FaultyFileSystem::SyncFileSystem(int fd) {
  return Count("SyncFileSystem") ? PlatformError(error) : real_.SyncFileSystem(fd);
}
FileError FaultyFileSystem::Close(int fd) {
  // The descriptor is released even when the close "fails", as on Linux.
  const bool fail = Count("Close");
  const FileError result = real_.Close(fd);
  return fail ? PlatformError(error) : result;
}
FileError FaultyFileSystem::ReadFile(const std::string& path, std::string& bytes) {
  return Count("ReadFile") ? PlatformError(error) : real_.ReadFile(path, bytes);
}
FileError FaultyFileSystem::Link(const std::string& from, const std::string& to) {
  return Count("Link") ? PlatformError(error) : real_.Link(from, to);
}
FileError FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
  return Count("Rename") ? PlatformError(error) : real_.Rename(from, to);
}
FileError FaultyFileSystem::Exchange(const std::string& first, const std::string& second) {
  if (Count("Exchange")) return PlatformError(error);
  return noExchange ? PlatformError(ENOSYS) : real_.Exchange(first, second);
}
FileError FaultyFileSystem::RemoveFile(const std::string& path) {
  return Count("RemoveFile") ? PlatformError(error) : real_.RemoveFile(path);
}
FileError FaultyFileSystem::RemoveFolder(const std::string& path) {
  return Count("RemoveFolder") ? PlatformError(error) : real_.RemoveFolder(path);
}

}  // namespace ombrivale::testing
