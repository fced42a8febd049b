#include "world/world_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <tuple>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "support/test_world.h"
#include "support/world_files_support.h"
#include "world/savepoint.h"

namespace ombrivale {
namespace {

using testing::FillRandomWorld;
using testing::FolderNames;
using testing::LoadedDigest;
using testing::ReadFileText;
using testing::SavedDigest;
using testing::ScratchFolder;
using testing::ShowsError;
using testing::TestWorld;
using testing::WriteFileText;

// The lines of a text file without their CR LF; a last line without one is
// left out.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  return text;
}

int OccupiedCount(const World& world) {
  return static_cast<int>(std::count_if(world.Animals.begin(), world.Animals.end(), IsOccupied));
}

// Each file checked against bytes and lines written out by hand: an all-sky
// map without food, a few cells and one animal's fields set apart.
// The errors of file operations keep the numbers and descriptions the
// message boxes show, and sort into codes: a missing file, a refusal of the
// platform, a malformed file.
TEST(FileErrors, KeepTheirNumbersAndDescriptions) {
  struct Case {
    Status status;
    Status::Code code;
    int number;
    const char* description;
  };
  const Case cases[] = {
      {PlatformError(ENOENT), Status::Code::kNotFound, ENOENT, "No such file or directory"},
      {PlatformError(ENOSPC), Status::Code::kIOError, ENOSPC, "No space left on device"},
      {PlatformError(0), Status::Code::kIOError, EIO, "Input/output error"},
      {FormatError(kErrorNotNumber, 2), Status::Code::kCorruption, kErrorNotNumber,
       "Type mismatch: not a number (at 2)"},
      {FormatError(kErrorPastEnd, 0), Status::Code::kCorruption, kErrorPastEnd,
       "Input past end of file"},
      {FormatError(kErrorBadManifest, 4), Status::Code::kCorruption, kErrorBadManifest,
       "Damaged manifest: a line no save writes (at 4)"},
      {Status::Corruption("line 3 is cut short"), Status::Code::kCorruption, 0,
       "line 3 is cut short"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.code, c.status.code()) << c.description;
    EXPECT_EQ(c.number, c.status.number()) << c.description;
    EXPECT_EQ(c.description, ErrorDescription(c.status));
  }
}

TEST(WorldFiles, SmallWorldIsSavedByteForByte) {
  ScratchFolder scratch;
  TestWorld t;
  World& w = t.world;
  w.SeaLevel = 40, w.Month = 7, w.Year = 12;
  w.Map.At(kTerrainLayer, 0, -1) = kGround;          // offset 3, the first cell byte
  w.Map.At(kFoodKindLayer, 0, -1) = -1;              // offset 4: the byte 0
  w.Map.At(kFoodKindLayer, 0, 100) = 3;              // offset 3 + 101 * 2 + 1
  w.Map.At(kTerrainLayer, 1, 0) = kWater;            // offset 3 + (102 + 1) * 2
  w.Map.At(kFoodKindLayer, 320, 100) = 254;          // the byte 255, at the last offset
  w.Map.At(kFoodAmountLayer, 0, -1) = 10000;         // line 1
  w.Map.At(kFoodAmountLayer, 0, 0) = -5;             // line 2
  w.Map.At(kFoodAmountLayer, 1, -1) = INT32_MIN;     // line 103
  w.Map.At(kFoodAmountLayer, 320, 100) = INT32_MAX;  // the last line

  Animal& a = AnimalAt(w, 17);
  GeneSet& infant = a.Genes[0];
  GeneSet& adult = a.Genes[1];
  a.Alive = 1;
  AnimalAt(w, 18).Alive = 2;  // not 1: a free slot
  // Most fields hold their line number; the rest of the file must be zeros.
  a.Hunger = 1, a.Sex = 4, a.X = 12345, a.Mode = 8, a.HeadingX = -1, a.HasBred = 13;
  a.Unborn.EggSize = 14, a.Unborn.TimeInEgg = 18;
  infant.Body.BreathCapasity = 19, infant.Body.BreathingMethod = 20, infant.Body.Covering = 31;
  infant.Limb[0].DigitLength = 32, infant.Limb[0].UpperWidth = 38;
  infant.Limb[0].Touch.SensorExists = 1;  // a truth value other than -1
  infant.Limb[1].DigitLength = 39, infant.Limb[1].UpperWidth = 45;
  infant.Genitalia.AdultAge = 46, infant.Genitalia.YoungPerLitter = 51;
  infant.Head.Audio.SensorExists = kTrue, infant.Head.Vision.Distance = 68;
  infant.Tail.Width = 73;
  adult.Body.BreathCapasity = INT16_MIN, adult.Limb[1].UpperWidth = 100;
  adult.Tail.Width = INT16_MAX;
  // Fields no file holds.
  infant.Head.Vision.Resolution = 7, adult.Head.Taste.MinFrequency = 7;
  adult.Limb[0].Touch.Distance = 7;

  ASSERT_TRUE(SaveWorld(w, scratch.AutoSave()).ok());
  EXPECT_TRUE(t.seam.boxes.empty());
  EXPECT_EQ(std::vector<std::string>{"Saved"}, t.Events().messageLines);
  EXPECT_EQ(2u, t.seam.pointerChanges);  // the wait pointer, then the normal one
  EXPECT_EQ(Pointer::Default, t.seam.pointer);
  const std::string folder = scratch.AutoSave() + "/";

  std::string planet0 = {41, 8, 13};
  for (int cell = 0; cell < 32742; ++cell)
    planet0 += {kSky + 1, 1};
  planet0[3] = kGround + 1, planet0[4] = 0, planet0[206] = 4, planet0[209] = kWater + 1;
  planet0[65486] = '\xff';
  const std::string saved0 = ReadFileText(folder + "planet_0.dat");
  ASSERT_EQ(65487u, saved0.size());
  EXPECT_TRUE(saved0 == planet0);

  std::vector<std::string> planet1(32742, " 0 ");
  planet1[0] = " 10000 ", planet1[1] = "-5 ";
  planet1[102] = "-2147483648 ", planet1[32741] = " 2147483647 ";
  EXPECT_TRUE(Lines(ReadFileText(folder + "planet_1.dat")) == planet1);

  EXPECT_EQ("40\r\n7\r\n12\r\n", ReadFileText(folder + "planet_2.dat"));
  EXPECT_EQ("17\r\n", ReadFileText(folder + "animals.dat"));

  std::vector<std::string> animal(128, "0");
  for (const int line : {1, 4, 8, 13, 14, 18, 19, 20, 31, 32, 38, 39, 45, 46, 51, 68, 73, 100})
    animal[static_cast<size_t>(line - 1)] = std::to_string(line);
  for (const auto& [line, text] : std::vector<std::pair<int, const char*>>{
           {6, "12345"}, {11, "-1"}, {36, "-1"}, {56, "-1"}, {74, "-32768"}, {128, "32767"}}) {
    animal[static_cast<size_t>(line - 1)] = text;
  }
  EXPECT_EQ(animal, Lines(ReadFileText(folder + "A_17.OBG")));

  EXPECT_EQ((std::vector<std::string>{"A_17.OBG", "animals.dat", "genes.csv", "lineage.dat",
                                      "manifest.dat", "planet_0.dat", "planet_1.dat",
                                      "planet_2.dat", "species.dat", "stats.csv"}),
            FolderNames(scratch.AutoSave()));

  // Read back into a world whose slot 17 holds fields no file holds: they
  // stay. Any number but 0 reads as true (in a file edited by hand, read
  // without the save's manifest).
  std::remove((folder + "manifest.dat").c_str());
  animal[35] = "5", animal[55] = "-40000";
  WriteFileText(folder + "A_17.OBG", Joined(animal));
  TestWorld loaded;
  Animal& back = AnimalAt(loaded.world, 17);
  AnimalAt(loaded.world, 5).Alive = 1;
  back.Genes[1].Head.Vision.Resolution = 77, back.Genes[0].Limb[1].Touch.Distance = -5;
  back.Genes[0].Head.Taste.SensorExists = kTrue;  // line 66: 0
  ASSERT_TRUE(LoadWorld(loaded.world, scratch.AutoSave()));
  EXPECT_EQ(1, loaded.world.WorldLoaded);
  EXPECT_TRUE(loaded.seam.boxes.empty());
  EXPECT_EQ(1u, loaded.Events().mapRedraws);
  EXPECT_EQ(-1, loaded.world.Map.At(kFoodKindLayer, 0, -1));
  EXPECT_EQ(254, loaded.world.Map.At(kFoodKindLayer, 320, 100));
  EXPECT_TRUE(w.Map.layers[kFoodAmountLayer] == loaded.world.Map.layers[kFoodAmountLayer]);
  EXPECT_EQ(1, OccupiedCount(loaded.world));
  EXPECT_EQ(AnimalFileText(a), AnimalFileText(back));
  EXPECT_EQ(kTrue, back.Genes[0].Limb[0].Touch.SensorExists);
  EXPECT_EQ(kTrue, back.Genes[0].Head.Audio.SensorExists);
  EXPECT_EQ(77, back.Genes[1].Head.Vision.Resolution);
  EXPECT_EQ(-5, back.Genes[0].Limb[1].Touch.Distance);
}

// Years past 254 and a drifting sea level once came back as garbage: the
// header holds one byte each. They are clamped there and kept exactly in
// planet_2.dat.
TEST(WorldFiles, CalendarAndSeaLevelOutgrowingOneByte) {
  struct Case {
    int16_t seaLevel, month;
    int32_t year;
    uint8_t seaByte, monthByte, yearByte;
  };
  const Case cases[] = {
      {100, 12, 254, 101, 13, 255}, {-1, 1, 0, 0, 2, 1},
      {101, 12, 255, 102, 13, 255}, {-5, 0, 100000, 0, 1, 255},
      {300, 1, -7, 255, 2, 0},      {INT16_MIN, INT16_MAX, INT32_MAX, 0, 255, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.year);
    ScratchFolder scratch;
    TestWorld t;
    t.world.SeaLevel = c.seaLevel, t.world.Month = c.month, t.world.Year = c.year;
    ASSERT_TRUE(SaveWorld(t.world, scratch.AutoSave()).ok());
    EXPECT_TRUE(t.seam.boxes.empty());
    const std::string bytes = ReadFileText(scratch.AutoSave() + "/planet_0.dat");
    EXPECT_EQ(c.seaByte, static_cast<uint8_t>(bytes[0]));
    EXPECT_EQ(c.monthByte, static_cast<uint8_t>(bytes[1]));
    EXPECT_EQ(c.yearByte, static_cast<uint8_t>(bytes[2]));
    // planet_2.dat as saved gives the values; without it (an older save) or
    // with a damaged one, the header bytes count.
    const std::string planet2 = scratch.AutoSave() + "/planet_2.dat";
    std::remove((scratch.AutoSave() + "/manifest.dat").c_str());  // edited by hand
    for (const std::string text : {"as saved", "", "12\r\n", "1\r\n2\r\nx\r\n",
                                   "1\r\n40000\r\n3\r\n", "1\r\n2\r\n3\r\n4\r\n", "missing"}) {
      SCOPED_TRACE(text);
      if (text == "missing") std::remove(planet2.c_str());
      if (text != "missing" && text != "as saved") WriteFileText(planet2, text);
      TestWorld loaded;
      ASSERT_TRUE(LoadWorld(loaded.world, scratch.AutoSave()));
      EXPECT_TRUE(loaded.seam.boxes.empty());
      const bool exact = text == "as saved";
      EXPECT_EQ(exact ? c.seaLevel : c.seaByte - 1, loaded.world.SeaLevel);
      EXPECT_EQ(exact ? c.month : c.monthByte - 1, loaded.world.Month);
      EXPECT_EQ(exact ? c.year : c.yearByte - 1, loaded.world.Year);
    }
  }
}

TEST(WorldFiles, MapValueOneByteCannotHoldFailsTheSave) {
  ScratchFolder scratch;
  TestWorld t;
  FillRandomWorld(t.world, 11, 20);
  ASSERT_TRUE(SaveWorld(t.world, scratch.AutoSave()).ok());
  for (const int32_t bad : {255, -2, 1000, INT32_MAX, INT32_MIN}) {
    TestWorld changed;
    FillRandomWorld(changed.world, 12, 30);
    changed.world.Map.At(kFoodKindLayer, 10, 10) = bad;
    EXPECT_EQ(kErrorByteOverflow, SaveWorld(changed.world, scratch.AutoSave()).number());
    changed.Events();
    ASSERT_EQ(1u, changed.seam.boxes.size());
    EXPECT_EQ("ERROR", changed.seam.boxes[0].title);
    EXPECT_EQ(
        "Error  1005\n\rOverflow: a map value does not fit in one byte\n\r"
        "It'd be a good idea to give this number to Brenlo.",
        changed.seam.boxes[0].text);
    EXPECT_EQ(Buttons::Ok, changed.seam.boxes[0].buttons);
    EXPECT_EQ(std::vector<std::string>{"Save Failed"}, changed.Events().messageLines);
    EXPECT_EQ(SavedDigest(t.world), LoadedDigest(scratch.AutoSave()));
  }
}

TEST(WorldFiles, MissingFolderLoadsNothingAndIsMadeBySaving) {
  ScratchFolder scratch;
  TestWorld t;
  t.world.Year = 9;
  EXPECT_FALSE(LoadWorld(t.world, scratch.AutoSave()));
  t.Events();
  ASSERT_EQ(2u, t.seam.boxes.size());
  EXPECT_EQ("ERROR", t.seam.boxes[0].title);
  EXPECT_EQ("Can't Find Files to Load", t.seam.boxes[0].text);
  EXPECT_EQ("Same Error", t.seam.boxes[1].title);
  EXPECT_EQ("AutoSave Not Loaded", t.seam.boxes[1].text);
  EXPECT_EQ(0, t.world.WorldLoaded);
  EXPECT_EQ(9, t.world.Year);
  EXPECT_EQ(0u, t.Events().mapRedraws);

  // The save makes the folder, and the folders above it, without a word.
  const std::string deep = scratch.path + "/program/AutoSave";
  EXPECT_TRUE(SaveWorld(t.world, deep).ok());
  t.Events();
  EXPECT_EQ(2u, t.seam.boxes.size());
  EXPECT_EQ(65487u, ReadFileText(deep + "/planet_0.dat").size());
}

// A folder saved from a world, to be damaged by a test. Without its
// manifest, as one saved before manifests came: each damaged file is met by
// its reader.
struct DamagedSave {
  DamagedSave() {
    FillRandomWorld(source.world, 21, 5);
    EXPECT_TRUE(SaveWorld(source.world, scratch.AutoSave()).ok());
    std::remove(File("manifest.dat").c_str());
  }
  std::string File(const std::string& name) const { return scratch.AutoSave() + "/" + name; }

  ScratchFolder scratch;
  TestWorld source;
};

// Short, missing or garbled files are reported failures with the Skip?
// question, never a crash or a value taken from garbage. Yes cancels the
// load; No skips the failed step, for an animal file the rest of the file.
TEST(WorldFiles, DamagedFilesAreReportedAndSkippedOrCancelled) {
  const DamagedSave model;
  std::string full0;
  Planet0Bytes(model.source.world, full0);
  const std::string planet1 = Planet1Text(model.source.world);
  const std::vector<std::string> a3 = Lines(ReadFileText(model.File("A_3.OBG")));
  // A_3.OBG cut before line `line`, or with that line replaced by `text`.
  const auto animal = [&a3](int line, const char* text) {
    std::vector<std::string> lines(a3.begin(), a3.begin() + line - 1);
    if (text != nullptr) {
      lines.push_back(text);
      lines.insert(lines.end(), a3.begin() + line, a3.end());
    }
    return Joined(lines);
  };
  struct Case {
    const char* name;
    const char* file;
    std::string text;  // "missing": the file is deleted
    int number;
    int line = 0;  // an animal file's first line not read
  };
  const Case cases[] = {
      {"planet_0 missing", "planet_0.dat", "missing", ENOENT},
      {"planet_0 empty", "planet_0.dat", "", kErrorPastEnd},
      {"planet_0 one byte short", "planet_0.dat", full0.substr(0, 65486), kErrorPastEnd},
      {"planet_1 missing", "planet_1.dat", "missing", ENOENT},
      {"planet_1 cut", "planet_1.dat", planet1.substr(0, planet1.size() / 2), kErrorPastEnd},
      {"planet_1 text", "planet_1.dat", " 5 \r\n abc \r\n" + planet1, kErrorNotNumber},
      {"planet_1 beyond 32 bits", "planet_1.dat", " 2147483648 \r\n" + planet1, kErrorOutOfRange},
      {"planet_1 decimal point", "planet_1.dat", " 1.5 \r\n" + planet1, kErrorNotNumber},
      {"animals.dat missing", "animals.dat", "missing", ENOENT},
      {"slot 0", "animals.dat", "1\r\n0\r\n", kErrorBadSlot},
      {"slot 751", "animals.dat", "751\r\n", kErrorBadSlot},
      {"slot -3", "animals.dat", "-3\r\n", kErrorBadSlot},
      {"slot text", "animals.dat", "4\r\nfive\r\n", kErrorNotNumber},
      {"slot huge", "animals.dat", "99999999999999999999\r\n", kErrorOutOfRange},
      {"animal file missing", "A_3.OBG", "missing", ENOENT, 1},
      {"animal file empty", "A_3.OBG", animal(1, nullptr), kErrorPastEnd, 1},
      {"animal file cut", "A_3.OBG", animal(50, nullptr), kErrorPastEnd, 50},
      {"text in line 20", "A_3.OBG", animal(20, "x"), kErrorNotNumber, 20},
      {"blank line 7", "A_3.OBG", animal(7, ""), kErrorNotNumber, 7},
      {"number and text in line 9", "A_3.OBG", animal(9, "12 ab"), kErrorNotNumber, 9},
      {"8-bit 256 in line 4", "A_3.OBG", animal(4, "256"), kErrorOutOfRange, 4},
      {"8-bit -1 in line 15", "A_3.OBG", animal(15, "-1"), kErrorOutOfRange, 15},
      {"16-bit 32768 in line 1", "A_3.OBG", animal(1, "32768"), kErrorOutOfRange, 1},
      {"16-bit -32769 in line 128", "A_3.OBG", animal(128, "-32769"), kErrorOutOfRange, 128},
  };
  for (const Case& c : cases) {
    for (const Answer answer : {Answer::Yes, Answer::No}) {
      SCOPED_TRACE(std::string(c.name) + (answer == Answer::Yes ? ", cancelled" : ", skipped"));
      DamagedSave save;
      if (c.text == "missing") std::remove(save.File(c.file).c_str());
      if (c.text != "missing") WriteFileText(save.File(c.file), c.text);
      TestWorld t;
      t.world.Map.At(kTerrainLayer, 3, 3) = 77;       // shows whether layer 0 was replaced
      t.world.Map.At(kFoodAmountLayer, 3, 3) = 4242;  // likewise layer 2
      Animal& slot3 = AnimalAt(t.world, 3);
      slot3.Hunger = 1111, slot3.Genes[0].Body.BreathCapasity = 3333;  // lines 1 and 19
      slot3.Genes[1].Tail.Width = 2222;                                // line 128
      t.seam.answers = {answer};
      const bool loaded = LoadWorld(t.world, save.scratch.AutoSave());
      EXPECT_TRUE(ShowsError(t.seam, c.number));
      ASSERT_EQ(2u, t.seam.boxes.size());
      EXPECT_EQ(Buttons::Ok, t.seam.boxes[0].buttons);
      EXPECT_EQ("Skip?: Do you want to cancel this routine?",
                t.seam.boxes[1].title + ": " + t.seam.boxes[1].text);
      EXPECT_EQ(Buttons::YesNo, t.seam.boxes[1].buttons);
      EXPECT_EQ(1u, t.Events().mapRedraws);
      EXPECT_EQ(answer == Answer::No, loaded);
      EXPECT_EQ(answer == Answer::No ? 1 : 0, t.world.WorldLoaded);
      const std::string file = c.file;
      EXPECT_EQ(file == "planet_0.dat", t.world.Map.At(kTerrainLayer, 3, 3) == 77);
      if (file == "planet_1.dat" || (file == "planet_0.dat" && answer == Answer::Yes)) {
        EXPECT_EQ(4242, t.world.Map.At(kFoodAmountLayer, 3, 3));
      }
      if (answer == Answer::Yes) {
        // Regression: slots marked alive before the fault stayed in the new
        // world that follows a cancelled load, hatched and suffocated at once.
        EXPECT_EQ(0, OccupiedCount(t.world));
      } else if (c.line != 0) {
        const Animal& want = AnimalAt(save.source.world, 3);
        EXPECT_EQ(c.line > 1 ? want.Hunger : 1111, slot3.Hunger);
        EXPECT_EQ(c.line > 19 ? want.Genes[0].Body.BreathCapasity : 3333,
                  slot3.Genes[0].Body.BreathCapasity);
        EXPECT_EQ(2222, slot3.Genes[1].Tail.Width);
        EXPECT_EQ(5, OccupiedCount(t.world));
        for (const int slot : {1, 2, 4, 5}) {  // the other animals load in full
          EXPECT_EQ(AnimalFileText(AnimalAt(save.source.world, slot)),
                    AnimalFileText(AnimalAt(t.world, slot)));
        }
      }
    }
  }
}

TEST(WorldFiles, ReadAnimalFileRefusesSlotsOutsideTheTable) {
  DamagedSave save;
  World& w = save.source.world;
  for (const int slot : {0, -1, 751, 100000})
    EXPECT_EQ(kErrorBadSlot, ReadAnimalFile(w, save.File("A_1.OBG"), slot).number()) << slot;
  EXPECT_TRUE(ReadAnimalFile(w, save.File("A_1.OBG"), 750).ok());
}

TEST(WorldFiles, AnimalListQuirks) {
  DamagedSave save;
  // A slot listed twice is read once; blanks around numbers and LF-only
  // lines are accepted; line 750 is read and the lines after it are not;
  // trailing blank lines are the end of the file.
  std::string list = "1\r\n 2 \n1\r\n";
  for (int line = 4; line < 750; ++line)
    list += "3\r\n";
  list += "4\r\njunk\r\n";
  for (const auto& [text, occupied] : std::vector<std::pair<std::string, std::vector<int>>>{
           {list, {1, 2, 3, 4}}, {"4\r\n\r\n  \r\n", {4}}}) {
    WriteFileText(save.File("animals.dat"), text);
    TestWorld t;
    ASSERT_TRUE(LoadWorld(t.world, save.scratch.AutoSave()));
    EXPECT_TRUE(t.seam.boxes.empty());
    EXPECT_EQ(static_cast<int>(occupied.size()), OccupiedCount(t.world));
    for (const int slot : occupied)
      EXPECT_TRUE(IsOccupied(AnimalAt(t.world, slot))) << slot;
  }
}

TEST(WorldFiles, FilesOfFreedSlotsStayAndAreIgnored) {
  ScratchFolder scratch;
  TestWorld t;
  FillRandomWorld(t.world, 5, 10);
  ASSERT_TRUE(SaveWorld(t.world, scratch.AutoSave()).ok());
  WriteFileText(scratch.AutoSave() + "/notes.txt", "mine");
  AnimalAt(t.world, 7).Alive = 0;
  const std::string old7 = ReadFileText(scratch.AutoSave() + "/A_7.OBG");
  ASSERT_TRUE(SaveWorld(t.world, scratch.AutoSave()).ok());
  EXPECT_EQ(old7, ReadFileText(scratch.AutoSave() + "/A_7.OBG"));
  EXPECT_EQ("mine", ReadFileText(scratch.AutoSave() + "/notes.txt"));
  // Damage the stale file: the load must not read it.
  WriteFileText(scratch.AutoSave() + "/A_7.OBG", "garbage");
  EXPECT_EQ(SavedDigest(t.world), LoadedDigest(scratch.AutoSave()));
}

// Savepoints are the world's: a save into another folder (Save World As)
// takes the world's own along, into a new folder or over another world,
// whose savepoints go with its files.
TEST(WorldFiles, ASaveElsewhereTakesTheWorldsSavepointsAndNotThoseOfTheWorldItReplaces) {
  ScratchFolder scratch;
  const std::string own = scratch.path + "/own";
  const std::string other = scratch.path + "/other";
  const std::string mine = "Y000000001-M02-N000001-marked.ombsp";
  const std::string theirs = "Y000000007-M01-N000003-yearly.ombsp";
  TestWorld replaced;
  FillRandomWorld(replaced.world, 5, 10);
  replaced.world.AutoSaveFolder = other;
  ASSERT_TRUE(SaveWorld(replaced.world, other).ok());
  TestWorld t;
  FillRandomWorld(t.world, 6, 10);
  t.world.AutoSaveFolder = own;
  ASSERT_TRUE(SaveWorld(t.world, own).ok());
  for (const auto& [folder, name] : {std::pair{own, mine}, std::pair{other, theirs}}) {
    ASSERT_EQ(0, ::mkdir((folder + "/" + kSavepointFolder).c_str(), 0755));
    WriteFileText(folder + "/" + kSavepointFolder + "/" + name, name);
  }
  ASSERT_TRUE(SaveWorld(t.world, own).ok());  // its own folder keeps them
  EXPECT_EQ(std::vector<std::string>{mine}, FolderNames(own + "/" + kSavepointFolder));
  for (const std::string& folder : {other, scratch.path + "/new"}) {
    ASSERT_TRUE(SaveWorld(t.world, folder).ok()) << folder;
    EXPECT_EQ(std::vector<std::string>{mine}, FolderNames(folder + "/" + kSavepointFolder))
        << folder;
    EXPECT_EQ(mine, ReadFileText(folder + "/" + kSavepointFolder + "/" + mine));
  }
  EXPECT_EQ(std::vector<std::string>{mine}, FolderNames(own + "/" + kSavepointFolder));
}

// Where a dead world goes back to: the last savepoint of its own world's
// running line at least 12 months before, holding animals.
TEST(Savepoints, GoingBackTakesTheLastOfTheRunningLineAYearBefore) {
  using K = SavepointKind;
  struct Case {
    const char* what;
    std::vector<std::tuple<int32_t, int16_t, K, int32_t>> listed;  // year, month, kind, animals
    int32_t year;
    int16_t month;
    int expected;  // index, -1: none
  };
  const Case cases[] = {
      {"exactly a year before", {{8, 6, K::Yearly, 9}, {9, 6, K::Yearly, 9}}, 10, 6, 1},
      {"eleven months is too near", {{8, 6, K::Yearly, 9}, {9, 7, K::Yearly, 9}}, 10, 6, 0},
      {"a marked one counts", {{8, 1, K::Yearly, 9}, {9, 1, K::Marked, 9}}, 10, 6, 1},
      {"no branch, no dead world",
       {{7, 1, K::Decade, 9},
        {9, 1, K::Branch, 9},
        {9, 2, K::Extinction, 0},
        {9, 3, K::Species, 0}},
       10,
       6,
       0},
      {"not from the world before a restart",
       {{30, 1, K::Yearly, 9}, {1, 1, K::Yearly, 9}},
       1,
       6,
       -1},
      {"a branch's dates do not begin a world",
       {{5, 1, K::Yearly, 9}, {20, 1, K::Branch, 9}, {6, 1, K::Yearly, 9}},
       10,
       1,
       2},
      {"nothing listed", {}, 10, 1, -1},
  };
  for (const Case& c : cases) {
    std::vector<SavepointInfo> all;
    for (const auto& [year, month, kind, animals] : c.listed) {
      SavepointInfo& info = all.emplace_back();
      info.year = year;
      info.month = month;
      info.kind = kind;
      info.population = animals;
      info.number = all.size();
    }
    SavepointInfo found;
    const bool any = GoBackPoint(all, c.year, c.month, found);
    EXPECT_EQ(c.expected >= 0, any) << c.what;
    if (any && c.expected >= 0) {
      EXPECT_EQ(uint64_t(c.expected + 1), found.number) << c.what;
    }
  }
}

}  // namespace
}  // namespace ombrivale
