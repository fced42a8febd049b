#include "support/world_files_support.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "genetics/gene_table.h"
#include "support/test_world.h"
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
  path = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
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
    if (type == GeneType::U8) return static_cast<int>(between(0, 255));
    if (type == GeneType::I16) return static_cast<int>(between(INT16_MIN, INT16_MAX));
    return between(0, 1) != 0 ? kTrue : kFalse;
  };
  const auto i16 = [&value] { return static_cast<int16_t>(value(GeneType::I16)); };
  const auto u8 = [&value] { return static_cast<uint8_t>(value(GeneType::U8)); };
  const auto fields = GeneSetFields();
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    Animal& a = AnimalAt(world, slot);
    a.Alive = slot <= occupiedSlots ? 1 : 0;
    a.Hunger = i16(), a.AgeYears = i16(), a.AgeMonths = i16(), a.Sex = u8();
    a.Stage = static_cast<int16_t>(between(-1, 1));
    a.X = static_cast<int16_t>(between(0, kMaxX)), a.Y = static_cast<int16_t>(between(0, kMaxY));
    a.Mode = u8(), a.EggTimer = i16(), a.Breath = i16();
    a.HeadingX = static_cast<int16_t>(between(-1, 1)), a.HeadingY = i16(), a.HasBred = u8();
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

uint64_t LoadedDigest(const std::string& folder) {
  TestWorld t;
  if (!LoadWorld(t.world, folder) || !t.seam.boxes.empty()) return 0;
  return SavedDigest(t.world);
}

std::string ReadFileText(const std::string& path) {
  std::string bytes;
  PosixFileSystem().ReadFile(path, bytes);  // left empty when it cannot be read
  return bytes;
}

void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> FolderNames(const std::string& path) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(path, ignored))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

FolderFiles ReadFolder(const std::string& path) {
  FolderFiles files;
  for (const std::string& name : FolderNames(path))
    files[name] = ReadFileText(path + "/" + name);
  return files;
}

std::string FirstDifference(const FolderFiles& expected, const FolderFiles& actual) {
  for (const auto& [name, bytes] : expected) {
    const auto found = actual.find(name);
    if (found == actual.end()) return name + " (missing)";
    if (found->second != bytes) return name;
  }
  for (const auto& [name, bytes] : actual) {
    if (expected.count(name) == 0) return name + " (not expected)";
  }
  return "";
}

::testing::AssertionResult ShowsError(const HeadlessSeam& seam, int number) {
  if (seam.boxes.empty()) return ::testing::AssertionFailure() << "no message box";
  const HeadlessSeam::Box& box = seam.boxes[0];
  if (box.title == "ERROR" && box.text.starts_with("Error  " + std::to_string(number) + "\n\r")) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << box.title << ": " << box.text;
}

Status GatedFileSystem::Write(int fd, const char* data, size_t size, size_t& written) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    reached_ = true;
    opened_.wait(lock, [this] { return open_; });
  }
  return PosixFileSystem::Write(fd, data, size, written);
}

bool GatedFileSystem::Reached() {
  std::lock_guard<std::mutex> lock(mutex_);
  return reached_;
}

void GatedFileSystem::Open() {
  std::lock_guard<std::mutex> lock(mutex_);
  open_ = true;
  opened_.notify_all();
}

}  // namespace ombrivale::testing
