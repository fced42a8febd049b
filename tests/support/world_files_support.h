// Helpers for the world-file tests: scratch folders, full random worlds, a
// fingerprint of what a save holds and a file system that fails on demand.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/seam.h"
#include "core/world.h"
#include "world/file_system.h"

namespace ombrivale::testing {

// A fresh folder under the system's temporary folder, removed with all its
// contents at the end of the scope.
struct ScratchFolder {
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  std::string AutoSave() const { return path + "/AutoSave"; }

  std::string path;
};

// Fills every saved value with random values its type holds: terrain that
// agrees with the sea level (so the load's map redraw changes nothing), any
// food kind and amount, slots 1..occupiedSlots occupied with random state
// and genes. Fields no file holds are left as they are.
void FillRandomWorld(World& world, uint64_t seed, int occupiedSlots = kSlotCount);

// FNV-1a over the saved image of the world (the calendar, the three map
// layers, the occupied slots and their 128 saved fields each).
uint64_t SavedDigest(const World& world);
// Loads `folder` into a fresh world: its SavedDigest, or 0 when the load did
// not complete without a single message box.
uint64_t LoadedDigest(const std::string& folder);

std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
// The names in a folder, sorted.
std::vector<std::string> FolderNames(const std::string& path);
// Every file of a folder by name, with its bytes.
using FolderFiles = std::map<std::string, std::string>;
FolderFiles ReadFolder(const std::string& path);
// "" when the two hold the same names with the same bytes, else the first
// name that differs.
std::string FirstDifference(const FolderFiles& expected, const FolderFiles& actual);

// Success when the first message box is the "ERROR" box of error `number`.
::testing::AssertionResult ShowsError(const HeadlessSeam& seam, int number);

// The real file system, with one operation (the `failAt`-th, counting from
// 1) failing with `error`, Exchange reported as unsupported on demand and
// files whose name ends in `fullDiskName` created on /dev/full, where every
// write fails as on a full disk. Records the name of every operation.
class FaultyFileSystem final : public FileSystem {
 public:
  int failAt = 0;  // 0: nothing fails
  int error = EIO;
  bool noExchange = false;
  std::string fullDiskName;  // "": none
  std::vector<std::string> operations;

  Status CreateFile(const std::string& path, int& fd) override {
    const bool full = !fullDiskName.empty() && path.ends_with(fullDiskName);
    return Run("CreateFile", [&] { return real_.CreateFile(full ? "/dev/full" : path, fd); });
  }
  Status Close(int fd) override {
    const Status closed = real_.Close(fd);  // released even when it "fails", as on Linux
    return Run("Close", [&] { return closed; });
  }
  Status Exchange(const std::string& a, const std::string& b) override {
    return Run("Exchange",
               [&] { return noExchange ? PlatformError(ENOSYS) : real_.Exchange(a, b); });
  }
  // The other operations only count before they fail or go through.
#define OMBRIVALE_FORWARD(Name, Parameters, Arguments)       \
  Status Name Parameters override {                          \
    return Run(#Name, [&] { return real_.Name Arguments; }); \
  }
  OMBRIVALE_FORWARD(Inspect, (const std::string& path, PathKind& kind), (path, kind))
  OMBRIVALE_FORWARD(CountLinks, (const std::string& path, uint64_t& links), (path, links))
  OMBRIVALE_FORWARD(MakeFolder, (const std::string& path), (path))
  OMBRIVALE_FORWARD(ListFolder, (const std::string& path, std::vector<std::string>& names),
                    (path, names))
  OMBRIVALE_FORWARD(OpenFolder, (const std::string& path, int& fd), (path, fd))
  OMBRIVALE_FORWARD(Write, (int fd, const char* data, size_t size, size_t& written),
                    (fd, data, size, written))
  OMBRIVALE_FORWARD(Sync, (int fd), (fd))
  OMBRIVALE_FORWARD(SyncFiles, (const std::vector<std::string>& paths), (paths))
  OMBRIVALE_FORWARD(ReadFile, (const std::string& path, std::string& bytes), (path, bytes))
  OMBRIVALE_FORWARD(Link, (const std::string& from, const std::string& to), (from, to))
  OMBRIVALE_FORWARD(Rename, (const std::string& from, const std::string& to), (from, to))
  OMBRIVALE_FORWARD(RemoveFile, (const std::string& path), (path))
  OMBRIVALE_FORWARD(RemoveFolder, (const std::string& path), (path))
#undef OMBRIVALE_FORWARD

 private:
  template <typename Call>
  Status Run(const char* name, const Call& call) {
    operations.emplace_back(name);
    return static_cast<int>(operations.size()) == failAt ? PlatformError(error) : call();
  }
  PosixFileSystem real_;
};

// The real file system, but every write waits while the gate is shut: a
// save as slow as the test wants. Safe to use from a save's own thread.
class GatedFileSystem : public PosixFileSystem {
 public:
  Status Write(int fd, const char* data, size_t size, size_t& written) override;
  // True once a write has come to the gate.
  bool Reached();
  void Open();

 private:
  std::mutex mutex_;
  std::condition_variable opened_;
  bool open_ = false;
  bool reached_ = false;
};

}  // namespace ombrivale::testing
