// Helpers for the world-file tests: scratch folders, full random worlds, a
// fingerprint of what a save holds and a file system that fails on demand.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/world.h"
#include "world/file_system.h"

namespace ombrivale::testing {

// A fresh folder under the system's temporary folder, removed with all its
// contents at the end of the scope.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  // "<path>/AutoSave"
  std::string AutoSave() const { return path_ + "/AutoSave"; }

 private:
  std::string path_;
};

// Fills every saved value with random values its type holds: terrain that
// agrees with the sea level (so the load's map redraw changes nothing), any
// food kind and amount, every slot in `slots` occupied with random state
// and genes. Fields no file holds are left as they are.
void FillRandomWorld(World& world, uint64_t seed, int occupiedSlots = kSlotCount);

// FNV-1a over the saved image of the world (the calendar, the three map
// layers, the occupied slots and their 128 saved fields each).
uint64_t SavedDigest(const World& world);

std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
bool PathExists(const std::string& path);
// The names in a folder, sorted.
std::vector<std::string> FolderNames(const std::string& path);

// The real file system, with one operation (the `failAt`-th, counting from
// 1) failing with `error`, and Exchange reported as unsupported on demand.
// Records the name of every operation in order.
class FaultyFileSystem final : public FileSystem {
 public:
  int failAt = 0;  // 0: nothing fails
  int error = EIO;
  bool noExchange = false;
  std::vector<std::string> operations;

  FileError Inspect(const std::string& path, PathKind& kind) override;
  FileError MakeFolder(const std::string& path) override;
  FileError ListFolder(const std::string& path, std::vector<std::string>& names) override;
  FileError CreateFile(const std::string& path, int& fd) override;
  FileError OpenFolder(const std::string& path, int& fd) override;
  FileError Write(int fd, const char* data, size_t size, size_t& written) override;
  FileError Sync(int fd) override;
  FileError SyncFileSystem(int fd) override;
  FileError Close(int fd) override;
  FileError ReadFile(const std::string& path, std::string& bytes) override;
  FileError Link(const std::string& from, const std::string& to) override;
  FileError Rename(const std::string& from, const std::string& to) override;
  FileError Exchange(const std::string& first, const std::string& second) override;
  FileError RemoveFile(const std::string& path) override;
  FileError RemoveFolder(const std::string& path) override;

 private:
  // True when this operation is the one to fail.
  bool Count(const char* name);
  PosixFileSystem real_;
};

}  // namespace ombrivale::testing
