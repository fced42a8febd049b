// A save cut short at any moment - killed, a failing disk, a full disk -
// leaves a folder that loads as one whole world.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "support/test_world.h"
#include "support/world_files_support.h"
#include "world/background_save.h"
#include "world/safe_folder.h"
#include "world/settings_file.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

using testing::FaultyFileSystem;
using testing::FillRandomWorld;
using testing::FirstDifference;
using testing::FolderFiles;
using testing::FolderNames;
using testing::GatedFileSystem;
using testing::LoadedDigest;
using testing::ReadFileText;
using testing::ReadFolder;
using testing::SavedDigest;
using testing::ScratchFolder;
using testing::ShowsError;
using testing::TestWorld;
using testing::WriteFileText;

// A world saved twice: twelve animals, then slots 3 and 5 freed and a
// user's file put in the folder, so that the second save carried A_3.OBG,
// A_5.OBG and notes.txt over from the first. Then slot 3 is filled again
// and slot 13 born, for a third save that writes A_3.OBG anew.
void SaveTwiceFreeingSlots(World& world, const std::string& folder) {
  static const World twelve = [] {
    World filled;
    FillRandomWorld(filled, 31, 12);
    return filled;
  }();
  world.SeaLevel = twelve.SeaLevel, world.Month = twelve.Month, world.Year = twelve.Year;
  world.Map = twelve.Map;
  world.Animals = twelve.Animals;
  ASSERT_TRUE(SaveWorld(world, folder).ok());
  AnimalAt(world, 3).Alive = 0;
  AnimalAt(world, 5).Alive = 0;
  WriteFileText(folder + "/notes.txt", "mine");
  ASSERT_TRUE(SaveWorld(world, folder).ok());
  AnimalAt(world, 3) = AnimalAt(world, 7);
  AnimalAt(world, 3).X = 1234;
  AnimalAt(world, 13) = AnimalAt(world, 8);
}

// Regression: a file carried over by a hard link was shared with the
// spare folder, and the next save that wrote its name truncated it in
// place, so a save that then failed left the live A_3.OBG changed.
TEST(WorldFilesCrash, AFailedSaveLeavesTheFilesItCarriedOverUntouched) {
  ScratchFolder scratch;
  TestWorld t;
  SaveTwiceFreeingSlots(t.world, scratch.AutoSave());
  const FolderFiles before = ReadFolder(scratch.AutoSave());
  ASSERT_EQ(1u, before.count("A_3.OBG"));
  // A folder where the save would write stats.csv, near its end.
  const std::string stats = SiblingsOf(scratch.AutoSave()).spare + "/stats.csv";
  ASSERT_EQ(0, std::remove(stats.c_str()));
  std::filesystem::create_directory(stats);
  EXPECT_EQ(EISDIR, SaveWorld(t.world, scratch.AutoSave()).number());
  EXPECT_EQ("Save Failed", t.Events().messageLines.back());
  EXPECT_EQ("", FirstDifference(before, ReadFolder(scratch.AutoSave())));
}

// Every file operation of a save fails in turn, with files carried over
// from the save before: each leaves the live folder byte for byte as it was
// ("Save Failed") or as the save leaves it when nothing fails.
TEST(WorldFilesCrash, EveryFailingOperationLeavesTheLiveFolderByteForByte) {
  for (const bool noExchange : {false, true}) {
    // A clean save counts the operations and finds the point of no return:
    // the swap itself, the exchange or the last of its renames (the rename
    // after it keeps the old contents as the spare folder).
    std::vector<std::string> ops;
    FolderFiles saved;
    {
      ScratchFolder scratch;
      TestWorld t;
      SaveTwiceFreeingSlots(t.world, scratch.AutoSave());
      FaultyFileSystem counter;
      counter.noExchange = noExchange;
      ASSERT_TRUE(SaveWorld(t.world, scratch.AutoSave(), counter).ok());
      ops = counter.operations;
      saved = ReadFolder(scratch.AutoSave());
      EXPECT_NE(0u, LoadedDigest(scratch.AutoSave()));  // loads without a box
    }
    auto swap = std::find(ops.rbegin(), ops.rend(), noExchange ? "Rename" : "Exchange");
    if (noExchange) swap = std::find(swap + 1, ops.rend(), "Rename");
    const int commit = static_cast<int>(ops.rend() - swap);
    ASSERT_GT(commit, 0);

    int failures = 0;
    for (int k = 1; k <= static_cast<int>(ops.size()); ++k) {
      SCOPED_TRACE("operation " + std::to_string(k) + " " + ops[static_cast<size_t>(k - 1)] +
                   (noExchange ? " (renames)" : " (exchange)"));
      ScratchFolder scratch;
      TestWorld t;
      SaveTwiceFreeingSlots(t.world, scratch.AutoSave());
      const FolderFiles before = ReadFolder(scratch.AutoSave());
      t.Events().messageLines.clear();
      t.seam.boxes.clear();
      FaultyFileSystem faulty;
      faulty.noExchange = noExchange;
      faulty.failAt = k;
      const bool ok = SaveWorld(t.world, scratch.AutoSave(), faulty).ok();
      EXPECT_EQ(std::vector<std::string>{ok ? "Saved" : "Save Failed"}, t.Events().messageLines);
      EXPECT_EQ(Pointer::Default, t.seam.pointer);
      EXPECT_TRUE(ok ? t.seam.boxes.empty() : ShowsError(t.seam, EIO));
      failures += ok ? 0 : 1;
      const FolderFiles after = ReadFolder(scratch.AutoSave());
      const std::string asBefore = FirstDifference(before, after);
      const std::string asSaved = FirstDifference(saved, after);
      if (ok) {
        // Only a leftover that could not be looked at is not worth failing for.
        EXPECT_TRUE(k > commit || ops[static_cast<size_t>(k - 1)] == "Inspect");
        EXPECT_EQ("", asSaved);
      } else if (k <= commit) {
        EXPECT_EQ("", asBefore);
      } else {
        // The swap is done but the flush of the parent folder failed.
        EXPECT_TRUE(asBefore.empty() || asSaved.empty()) << asBefore << ", " << asSaved;
      }
      // The load's first step cleans up whatever the save left beside the
      // folder but the spare one, kept for the next save to write over.
      PosixFileSystem files;
      EXPECT_TRUE(RecoverFolder(files, scratch.AutoSave()).ok());
      std::vector<std::string> names = FolderNames(scratch.path);
      std::erase(names, ".AutoSave.spare");
      EXPECT_EQ(std::vector<std::string>{"AutoSave"}, names);
      // And the next save goes through (numbered as the clean one was).
      t.world.saveSequence = 2;
      ASSERT_TRUE(SaveWorld(t.world, scratch.AutoSave()).ok());
      EXPECT_EQ("", FirstDifference(saved, ReadFolder(scratch.AutoSave())));
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
  ASSERT_TRUE(SaveSettings(t.world, t.display, path, windows, counter).ok());
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
    const Status status = SaveSettings(t.world, t.display, path, windows, faulty);
    EXPECT_EQ(EIO, status.number());
    EXPECT_EQ(0u, FileErrorText(status).rfind("Error  5\n\r" + std::string(std::strerror(EIO)), 0));
    EXPECT_TRUE(t.seam.boxes.empty());  // the program tells it
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
    ASSERT_TRUE(SaveWorld(world, scratch.AutoSave()).ok());
    ASSERT_EQ(0, std::rename(scratch.AutoSave().c_str(), path.c_str()));
  };
  struct Case {
    const char* name;
    bool folder, ready, old, saving;
    const World* expect;  // nullptr: no world
  };
  const Case cases[] = {
      {"ready, old: between the renames", false, true, true, false, &b.world},
      {"old only", false, false, true, false, &a.world},
      {"folder and ready: before the swap", true, true, false, false, &a.world},
      {"folder and half-written saving", true, false, false, true, &a.world},
      {"only a half-written saving", false, false, false, true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
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
    EXPECT_EQ(c.expect != nullptr ? SavedDigest(*c.expect) : 0, LoadedDigest(scratch.AutoSave()));
    // Every sibling is gone; with no world to put back, the folder too.
    EXPECT_EQ(
        c.expect != nullptr ? std::vector<std::string>{"AutoSave"} : std::vector<std::string>{},
        FolderNames(scratch.path));
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
  ASSERT_TRUE(SaveWorld(a.world, scratch.AutoSave()).ok());

  // How long one save takes here, to spread the kills over whole saves.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(SaveWorld(b.world, scratch.AutoSave()).ok());
  ASSERT_TRUE(SaveWorld(a.world, scratch.AutoSave()).ok());
  const auto took = std::chrono::steady_clock::now() - start;
  const int64_t saveMicros = std::max<int64_t>(
      200, std::chrono::duration_cast<std::chrono::microseconds>(took).count() / 2);

  std::mt19937_64 random(20240611);
  for (int round = 0; round < 120; ++round) {
    const bool noExchange = round % 3 == 2;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      FaultyFileSystem files;  // the real one, with the fallback on demand
      files.noExchange = noExchange;
      a.world.seam = nullptr;
      b.world.seam = nullptr;
      // Every other round the saves are written on the saver's own thread.
      BackgroundSaver saver(files);
      if (round % 2 == 1) a.world.saves = b.world.saves = &saver;
      for (;;) {
        files.operations.clear();
        SaveWorld(b.world, scratch.AutoSave());
        if (round % 2 == 1) saver.Finish(b.world);
        files.operations.clear();
        SaveWorld(a.world, scratch.AutoSave());
        if (round % 2 == 1) saver.Finish(a.world);
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
  }
}

// Saves asked for while one is being written are merged, and the folder
// ends byte for byte as after the same saves written one after the other:
// the animal files the merged-away saves would have left are written too.
TEST(BackgroundSave, MergedSavesLeaveTheFolderOfSavesInTurn) {
  ScratchFolder inTurn;
  ScratchFolder merged;
  TestWorld t;
  FillRandomWorld(t.world, 9, 300);
  // Deaths and births between the saves, so that slots empty in a later save
  // held animals in an earlier one.
  const auto setSlots = [&t](int first, int last, bool alive) {
    for (int slot = first; slot <= last; ++slot) {
      Animal& animal = AnimalAt(t.world, slot);
      if (alive) animal = AnimalAt(t.world, 250);
      animal.Alive = alive ? 1 : 0;
      animal.X = static_cast<int16_t>(slot);
    }
  };
  const std::function<void()> changes[] = {
      [] {}, [&] { setSlots(1, 60, false), setSlots(400, 419, true); },
      [&] { setSlots(1, 30, true), setSlots(400, 409, false); },
      [&] { setSlots(100, 160, false), setSlots(500, 519, true); }};
  GatedFileSystem gated;  // holds the first save at its first write
  BackgroundSaver saver(gated);
  for (const std::function<void()>& change : changes) {
    change();
    const uint64_t sequence = t.world.saveSequence;  // both saves take the same number
    ASSERT_TRUE(SaveWorld(t.world, inTurn.AutoSave()).ok());
    t.world.saveSequence = sequence;
    saver.Start(t.world, merged.AutoSave());
    while (!gated.Reached())
      std::this_thread::yield();  // the first is being written
  }
  gated.Open();
  saver.Finish(t.world);
  EXPECT_EQ(2u, saver.Written());  // the first, and the other three as one
  const std::vector<std::string> names = FolderNames(inTurn.AutoSave());
  ASSERT_EQ(names, FolderNames(merged.AutoSave()));
  for (const std::string& name : names) {
    EXPECT_EQ(ReadFileText(inTurn.AutoSave() + "/" + name),
              ReadFileText(merged.AutoSave() + "/" + name))
        << name;
  }
}

// A disk that fills up mid-save: /dev/full reports the kernel's own ENOSPC
// on every write. The save fails, loses nothing and leaves nothing behind.
TEST(WorldFilesCrash, FullDiskReportsSaveFailedAndKeepsThePreviousSave) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ScratchFolder scratch;
  TestWorld small;
  FillRandomWorld(small.world, 8, 0);
  TestWorld full;
  FillRandomWorld(full.world, 9, 750);
  ASSERT_TRUE(SaveWorld(small.world, scratch.AutoSave()).ok());
  FaultyFileSystem devFull;
  devFull.fullDiskName = "/planet_1.dat";
  EXPECT_EQ(ENOSPC, SaveWorld(full.world, scratch.AutoSave(), devFull).number());
  full.Events();
  ASSERT_EQ(1u, full.seam.boxes.size());
  EXPECT_TRUE(full.seam.boxes[0].text.starts_with("Error  28\n\rNo space left on device\n\r"))
      << full.seam.boxes[0].text;
  EXPECT_EQ("Save Failed", full.Events().messageLines.back());
  EXPECT_EQ(std::vector<std::string>{"AutoSave"}, FolderNames(scratch.path));
  EXPECT_EQ(SavedDigest(small.world), LoadedDigest(scratch.AutoSave()));
}

}  // namespace
}  // namespace ombrivale
