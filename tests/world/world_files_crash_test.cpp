// A save cut short at any moment - killed, a failing disk, a full disk -
// leaves a folder that loads as one whole world.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/test_world.h"
#include "support/world_files_support.h"
#include "world/safe_folder.h"
#include "world/settings_file.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

using testing::FaultyFileSystem;
using testing::FillRandomWorld;
using testing::FolderNames;
using testing::PathExists;
using testing::ReadFileText;
using testing::SavedDigest;
using testing::ScratchFolder;
using testing::TestWorld;
using testing::WriteFileText;

// Loads the folder into a fresh world; 0 when the load did not complete
// without a single message box.
uint64_t LoadedDigest(const std::string& folder) {
  TestWorld t;
  if (!LoadWorld(t.world, folder) || !t.seam.boxes.empty()) return 0;
  return SavedDigest(t.world);
}

// Every k-th file operation of a save fails in turn: every k leaves either
// the previous save ("Save Failed") or the new one in the folder.
TEST(WorldFilesCrash, EveryFailingOperationLeavesAWholeSave) {
  for (const bool noExchange : {false, true}) {
    TestWorld oldWorld;
    FillRandomWorld(oldWorld.world, 1, 12);
    TestWorld newWorld;
    FillRandomWorld(newWorld.world, 2, 8);  // 4 files carried over
    const uint64_t oldDigest = SavedDigest(oldWorld.world);
    const uint64_t newDigest = SavedDigest(newWorld.world);

    // A clean save counts the operations and finds the point of no return.
    int total = 0;
    int commit = 0;
    {
      ScratchFolder scratch;
      ASSERT_FALSE(SaveWorld(oldWorld.world, scratch.AutoSave()).failed());
      FaultyFileSystem counter;
      counter.noExchange = noExchange;
      ASSERT_FALSE(SaveWorld(newWorld.world, scratch.AutoSave(), counter).failed());
      total = static_cast<int>(counter.operations.size());
      // The swap itself: the exchange, or the last of the renames.
      for (int i = 0; i < total; ++i) {
        const std::string& op = counter.operations[static_cast<size_t>(i)];
        if (op == (noExchange ? "Rename" : "Exchange")) commit = i + 1;
      }
      ASSERT_GT(commit, 0);
    }

    int failures = 0;
    for (int k = 1; k <= total; ++k) {
      ScratchFolder scratch;
      ASSERT_FALSE(SaveWorld(oldWorld.world, scratch.AutoSave()).failed());
      FaultyFileSystem faulty;
      faulty.noExchange = noExchange;
      faulty.failAt = k;
      newWorld.seam.boxes.clear();
      newWorld.seam.messageLines.clear();
      const bool saved = !SaveWorld(newWorld.world, scratch.AutoSave(), faulty).failed();
      const std::string failedOp = faulty.operations[static_cast<size_t>(k - 1)];
      SCOPED_TRACE("operation " + std::to_string(k) + " " + failedOp +
                   (noExchange ? " (renames)" : " (exchange)"));
      ASSERT_EQ(1u, newWorld.seam.messageLines.size());
      EXPECT_EQ(saved ? "Saved" : "Save Failed", newWorld.seam.messageLines[0]);
      EXPECT_EQ(Pointer::Default, newWorld.seam.pointer);
      if (!saved) {
        ++failures;
        ASSERT_FALSE(newWorld.seam.boxes.empty());
        EXPECT_EQ("ERROR", newWorld.seam.boxes[0].title);
        EXPECT_EQ(0u, newWorld.seam.boxes[0].text.rfind("Error  5\n\r", 0));  // EIO
      } else {
        EXPECT_TRUE(newWorld.seam.boxes.empty());
      }
      const uint64_t loaded = LoadedDigest(scratch.AutoSave());
      if (saved) {
        // Only a leftover that could not be looked at is not worth failing for.
        if (k <= commit) {
          EXPECT_EQ("Inspect", failedOp);
        }
        EXPECT_EQ(newDigest, loaded);
      } else if (k <= commit) {
        EXPECT_EQ(oldDigest, loaded);
      } else {
        // The swap is done but the flush of the parent folder failed.
        EXPECT_TRUE(loaded == oldDigest || loaded == newDigest);
      }
      // The load cleaned up whatever the save left beside the folder.
      EXPECT_EQ(std::vector<std::string>{"AutoSave"}, FolderNames(scratch.path));
      // And the next save goes through.
      TestWorld again;
      FillRandomWorld(again.world, 3, 10);
      EXPECT_FALSE(SaveWorld(again.world, scratch.AutoSave()).failed());
      EXPECT_EQ(SavedDigest(again.world), LoadedDigest(scratch.AutoSave()));
    }
    EXPECT_GE(failures, commit - 3);
  }
}

// Every file operation of a settings save fails in turn: the error box
// shows and OB.ini keeps the previous settings, or holds the new ones when
// only the flush of the folder after the rename failed.
TEST(WorldFilesCrash, EveryFailingOperationKeepsThePreviousSettings) {
  ScratchFolder scratch;
  const std::string path = scratch.path + "/OB.ini";
  TestWorld t;
  WindowPlacement windows[kWindowCount];
  const std::string previous = SettingsText(t.world, t.display, windows);
  t.display.QuickDrawZoom = 321;
  const std::string next = SettingsText(t.world, t.display, windows);
  FaultyFileSystem counter;
  ASSERT_FALSE(SaveSettings(t.world, t.display, path, windows, counter));
  // A temporary file written and flushed, renamed over OB.ini, the folder flushed.
  const std::vector<std::string>& ops = counter.operations;
  ASSERT_EQ((std::vector<std::string>{"CreateFile", "Write", "Sync", "Close", "Rename",
                                      "OpenFolder", "Sync", "Close"}),
            ops);
  const size_t rename = 5;
  for (size_t k = 1; k <= ops.size(); ++k) {
    SCOPED_TRACE("operation " + std::to_string(k) + " " + ops[k - 1]);
    WriteFileText(path, previous);
    FaultyFileSystem faulty;
    faulty.failAt = static_cast<int>(k);
    t.seam.boxes.clear();
    EXPECT_EQ(EIO, SaveSettings(t.world, t.display, path, windows, faulty).number);
    ASSERT_EQ(1u, t.seam.boxes.size());
    EXPECT_EQ(0u, t.seam.boxes[0].text.rfind("Error  5\n\r" + std::string(std::strerror(EIO)), 0));
    EXPECT_EQ(k > rename ? next : previous, ReadFileText(path));
    EXPECT_EQ(std::vector<std::string>{"OB.ini"}, FolderNames(scratch.path));
  }
}

// The states a swap can be cut in, as the folder shows them afterwards.
TEST(WorldFilesCrash, LoadRecoversAnInterruptedSwap) {
  TestWorld a;
  FillRandomWorld(a.world, 4, 8);
  TestWorld b;
  FillRandomWorld(b.world, 5, 9);
  const auto saveInto = [](World& world, const std::string& path) {
    ScratchFolder scratch;
    ASSERT_FALSE(SaveWorld(world, scratch.AutoSave()).failed());
    ASSERT_EQ(0, std::rename(scratch.AutoSave().c_str(), path.c_str()));
  };
  struct Case {
    const char* name;
    bool folder, ready, old, saving;
    int expect;  // 0 none, 1 world a (old), 2 world b (new)
  };
  const Case cases[] = {
      {"ready, old: between the renames", false, true, true, false, 2},
      {"old only", false, false, true, false, 1},
      {"folder and ready: before the swap", true, true, false, false, 1},
      {"folder and half-written saving", true, false, false, true, 1},
      {"only a half-written saving", false, false, false, true, 0},
  };
  for (const Case& c : cases) {
    ScratchFolder scratch;
    const FolderSiblings s = SiblingsOf(scratch.AutoSave());
    if (c.folder) saveInto(a.world, scratch.AutoSave());
    if (c.ready) saveInto(b.world, s.ready);
    if (c.old) saveInto(a.world, s.old);
    if (c.saving) {
      saveInto(b.world, s.saving);
      std::remove((s.saving + "/animals.dat").c_str());
      WriteFileText(s.saving + "/planet_1.dat", " 1 \r\n");
    }
    TestWorld t;
    const bool loaded = LoadWorld(t.world, scratch.AutoSave());
    EXPECT_EQ(c.expect != 0, loaded) << c.name;
    if (c.expect != 0) {
      EXPECT_TRUE(t.seam.boxes.empty()) << c.name;
      EXPECT_EQ(SavedDigest(c.expect == 1 ? a.world : b.world), SavedDigest(t.world)) << c.name;
      EXPECT_EQ(std::vector<std::string>{"AutoSave"}, FolderNames(scratch.path)) << c.name;
    } else {
      EXPECT_EQ("Can't Find Files to Load", t.seam.boxes.at(0).text);
      EXPECT_TRUE(FolderNames(scratch.path).empty()) << c.name;
    }
  }
}

// A child process saves two worlds in turn and is killed at random moments;
// every time, the folder loads as one of the two.
TEST(WorldFilesCrash, KilledMidSaveTheFolderLoadsWhole) {
  ScratchFolder scratch;
  TestWorld a;
  FillRandomWorld(a.world, 6, 300);
  TestWorld b;
  FillRandomWorld(b.world, 7, 500);
  const uint64_t digestA = SavedDigest(a.world);
  const uint64_t digestB = SavedDigest(b.world);
  ASSERT_FALSE(SaveWorld(a.world, scratch.AutoSave()).failed());

  // How long one save takes here, to spread the kills over whole saves.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_FALSE(SaveWorld(b.world, scratch.AutoSave()).failed());
  ASSERT_FALSE(SaveWorld(a.world, scratch.AutoSave()).failed());
  const auto saveMicros =
      std::max<int64_t>(200, std::chrono::duration_cast<std::chrono::microseconds>(
                                 std::chrono::steady_clock::now() - start)
                                     .count() /
                                 2);

  std::mt19937_64 random(20240611);
  int seenA = 0;
  int seenB = 0;
  constexpr int kKills = 120;
  for (int round = 0; round < kKills; ++round) {
    const bool noExchange = round % 3 == 2;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      FaultyFileSystem files;  // the real one, with the fallback on demand
      files.noExchange = noExchange;
      a.world.seam = nullptr;
      b.world.seam = nullptr;
      for (;;) {
        files.operations.clear();
        SaveWorld(b.world, scratch.AutoSave(), files);
        files.operations.clear();
        SaveWorld(a.world, scratch.AutoSave(), files);
      }
    }
    const int64_t delay = std::uniform_int_distribution<int64_t>(0, saveMicros * 3)(random);
    ::usleep(static_cast<useconds_t>(delay));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    const uint64_t loaded = LoadedDigest(scratch.AutoSave());
    ASSERT_TRUE(loaded == digestA || loaded == digestB)
        << "round " << round << " after " << delay << " us: the folder holds neither world";
    (loaded == digestA ? seenA : seenB) += 1;
  }
  std::printf("killed %d saves of ~%lld us: loaded world A %d times, world B %d times\n", kKills,
              static_cast<long long>(saveMicros), seenA, seenB);
}

// A disk that fills up mid-save: the save fails and loses nothing.
TEST(WorldFilesCrash, FullDiskReportsSaveFailedAndKeepsThePreviousSave) {
  ScratchFolder scratch;
  const std::string mountPoint = scratch.path + "/small";
  ASSERT_EQ(0, ::mkdir(mountPoint.c_str(), 0755));
  // 1 MiB: room for two saves of an empty world (about 330 KB each) but not
  // for a full one (750 files of at least a 4 KiB page each).
  const bool mounted =
      ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=1m,nr_inodes=2000") == 0;
  TestWorld small;
  FillRandomWorld(small.world, 8, 0);
  TestWorld full;
  FillRandomWorld(full.world, 9, 750);
  if (mounted) {
    const std::string folder = mountPoint + "/AutoSave";
    ASSERT_FALSE(SaveWorld(small.world, folder).failed());
    EXPECT_EQ(ENOSPC, SaveWorld(full.world, folder).number);
    ASSERT_FALSE(full.seam.boxes.empty());
    EXPECT_EQ(0u, full.seam.boxes[0].text.rfind("Error  28\n\rNo space left on device\n\r", 0))
        << full.seam.boxes[0].text;
    EXPECT_EQ("Save Failed", full.seam.messageLines.back());
    EXPECT_EQ(SavedDigest(small.world), LoadedDigest(folder));
    // The failed attempt freed its space: a small save still fits.
    small.world.Year = 77;
    EXPECT_FALSE(SaveWorld(small.world, folder).failed());
    EXPECT_EQ(SavedDigest(small.world), LoadedDigest(folder));
    ::umount2(mountPoint.c_str(), MNT_DETACH);
  } else {
    std::printf("no tmpfs mount allowed here: /dev/full stands in for the disk\n");
  }

  // /dev/full: every write reports a full disk (the kernel's own ENOSPC).
  class FullFileSystem final : public FileSystem {
   public:
    FileError Inspect(const std::string& p, PathKind& k) override { return real.Inspect(p, k); }
    FileError MakeFolder(const std::string& p) override { return real.MakeFolder(p); }
    FileError ListFolder(const std::string& p, std::vector<std::string>& n) override {
      return real.ListFolder(p, n);
    }
    FileError CreateFile(const std::string& p, int& fd) override {
      // planet_1.dat lands on a full disk.
      if (p.size() >= 12 && p.compare(p.size() - 12, 12, "planet_1.dat") == 0) {
        return real.CreateFile("/dev/full", fd);
      }
      return real.CreateFile(p, fd);
    }
    FileError OpenFolder(const std::string& p, int& fd) override { return real.OpenFolder(p, fd); }
    FileError Write(int fd, const char* d, size_t s, size_t& w) override {
      return real.Write(fd, d, s, w);
    }
    FileError Sync(int fd) override { return real.Sync(fd); }
    FileError SyncFileSystem(int fd) override { return real.SyncFileSystem(fd); }
    FileError Close(int fd) override { return real.Close(fd); }
    FileError ReadFile(const std::string& p, std::string& b) override {
      return real.ReadFile(p, b);
    }
    FileError Link(const std::string& f, const std::string& t) override { return real.Link(f, t); }
    FileError Rename(const std::string& f, const std::string& t) override {
      return real.Rename(f, t);
    }
    FileError Exchange(const std::string& f, const std::string& s) override {
      return real.Exchange(f, s);
    }
    FileError RemoveFile(const std::string& p) override { return real.RemoveFile(p); }
    FileError RemoveFolder(const std::string& p) override { return real.RemoveFolder(p); }
    PosixFileSystem real;
  };
  if (!PathExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::string folder = scratch.path + "/AutoSave";
  small.seam.boxes.clear();
  ASSERT_FALSE(SaveWorld(small.world, folder).failed())
      << (small.seam.boxes.empty() ? "" : small.seam.boxes[0].text);
  FullFileSystem devFull;
  full.seam.boxes.clear();
  EXPECT_EQ(ENOSPC, SaveWorld(full.world, folder, devFull).number);
  ASSERT_EQ(1u, full.seam.boxes.size());
  EXPECT_EQ(0u, full.seam.boxes[0].text.rfind("Error  28\n\r", 0)) << full.seam.boxes[0].text;
  EXPECT_EQ("Save Failed", full.seam.messageLines.back());
  EXPECT_EQ(SavedDigest(small.world), LoadedDigest(folder));
}

}  // namespace
}  // namespace ombrivale
