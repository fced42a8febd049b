#include "world/world_files.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/new_world.h"
#include "sim/tick.h"
#include "support/test_world.h"
#include "support/world_files_support.h"

namespace ombrivale {
namespace {

using testing::FillRandomWorld;
using testing::FolderNames;
using testing::PathExists;
using testing::ReadFileText;
using testing::SavedDigest;
using testing::ScratchFolder;
using testing::TestWorld;
using testing::WriteFileText;

std::string Lines(const std::vector<long>& values) {
  std::string text;
  for (const long v : values)
    text += std::to_string(v) + "\r\n";
  return text;
}

// The 128 lines of an animal file, listed field by field from the file's
// own table rather than from the gene table.
std::vector<long> ExpectedAnimalLines(const Animal& a) {
  const auto flag = [](int16_t v) -> long { return v != 0 ? -1 : 0; };
  std::vector<long> lines = {a.Hunger,
                             a.AgeYears,
                             a.AgeMonths,
                             a.Sex,
                             a.Stage,
                             a.X,
                             a.Y,
                             a.Mode,
                             a.EggTimer,
                             a.Breath,
                             a.HeadingX,
                             a.HeadingY,
                             a.HasBred,
                             a.Unborn.EggSize,
                             a.Unborn.EggColor.Red,
                             a.Unborn.EggColor.Green,
                             a.Unborn.EggColor.Blue,
                             a.Unborn.TimeInEgg};
  for (const GeneSet& g : a.Genes) {
    const std::vector<long> set = {g.Body.BreathCapasity, g.Body.BreathingMethod,
                                   g.Body.ColourContrast, g.Body.ColourContrastSize,
                                   g.Body.ColourX.red,    g.Body.ColourX.green,
                                   g.Body.ColourX.blue,   g.Body.ColourY.red,
                                   g.Body.ColourY.green,  g.Body.ColourY.blue,
                                   g.Body.Height,         g.Body.Width,
                                   g.Body.Covering};
    lines.insert(lines.end(), set.begin(), set.end());
    for (const Limb& limb : g.Limb) {
      const std::vector<long> l = {limb.DigitLength,
                                   limb.DigitNumber,
                                   limb.LowerLength,
                                   limb.LowerWidth,
                                   flag(limb.Touch.SensorExists),
                                   limb.UpperLength,
                                   limb.UpperWidth};
      lines.insert(lines.end(), l.begin(), l.end());
    }
    const std::vector<long> rest = {g.Genitalia.AdultAge,
                                    g.Genitalia.BirthKind,
                                    g.Genitalia.LifeSpan,
                                    g.Genitalia.StartsBreeding,
                                    g.Genitalia.StopsBreeding,
                                    g.Genitalia.YoungPerLitter,
                                    g.Head.Audio.Distance,
                                    g.Head.Audio.MaxFrequency,
                                    g.Head.Audio.MinFrequency,
                                    g.Head.Audio.Resolution,
                                    flag(g.Head.Audio.SensorExists),
                                    g.Head.Diet,
                                    g.Head.LipType,
                                    g.Head.MouthLength,
                                    g.Head.MouthNose,
                                    g.Head.NeckHeight,
                                    g.Head.NeckWidth,
                                    g.Head.NoseLength,
                                    g.Head.Smell.Distance,
                                    flag(g.Head.Smell.SensorExists),
                                    flag(g.Head.Taste.SensorExists),
                                    flag(g.Head.Vision.SensorExists),
                                    g.Head.Vision.Distance,
                                    g.Head.Height,
                                    g.Head.Width,
                                    g.Tail.Flexibility,
                                    g.Tail.Length,
                                    g.Tail.Width};
    lines.insert(lines.end(), rest.begin(), rest.end());
  }
  return lines;
}

// Every field of the animal file set to a distinct value, so a swapped pair
// of lines shows.
void SetDistinctFields(Animal& a, int base) {
  int next = base;
  const auto v = [&next]() { return static_cast<int16_t>(next++); };
  const auto b = [&next]() { return static_cast<uint8_t>(next++ % 256); };
  a.Hunger = v(), a.AgeYears = v(), a.AgeMonths = v(), a.Sex = b(), a.Stage = v();
  a.X = 12345, a.Y = v(), a.Mode = b(), a.EggTimer = v(), a.Breath = v();
  a.HeadingX = -1, a.HeadingY = v(), a.HasBred = b();
  a.Unborn.EggSize = v(), a.Unborn.EggColor = {b(), b(), b()}, a.Unborn.TimeInEgg = v();
  for (GeneSet& g : a.Genes) {
    g.Body.BreathCapasity = v(), g.Body.BreathingMethod = b(), g.Body.ColourContrast = b();
    g.Body.ColourContrastSize = v(), g.Body.ColourX = {b(), b(), b()};
    g.Body.ColourY = {b(), b(), b()}, g.Body.Height = v(), g.Body.Width = v();
    g.Body.Covering = b();
    for (Limb& limb : g.Limb) {
      limb.DigitLength = v(), limb.DigitNumber = v(), limb.LowerLength = v();
      limb.LowerWidth = v(), limb.Touch.SensorExists = static_cast<int16_t>(next++ % 2 ? 1 : 0);
      limb.UpperLength = v(), limb.UpperWidth = v();
    }
    g.Genitalia = {v(), v(), v(), v(), v(), b()};
    g.Head.Audio = {v(), v(), v(), v(), kTrue};
    g.Head.Diet = b(), g.Head.LipType = b(), g.Head.MouthLength = v(), g.Head.MouthNose = b();
    g.Head.NeckHeight = v(), g.Head.NeckWidth = v(), g.Head.NoseLength = v();
    g.Head.Smell.Distance = v(), g.Head.Smell.SensorExists = kFalse;
    g.Head.Taste.SensorExists = kTrue, g.Head.Vision.SensorExists = kTrue;
    g.Head.Vision.Distance = v(), g.Head.Height = v(), g.Head.Width = v();
    g.Tail.Flexibility = b(), g.Tail.Length = v(), g.Tail.Width = v();
  }
}

std::string ErrorBoxText(int number, const std::string& description) {
  return "Error  " + std::to_string(number) + "\n\r" + description +
         "\n\rIt'd be a good idea to give this number to Brenlo.";
}

TEST(NumberText, PlainDecimalWithoutBlanks) {
  EXPECT_EQ("0", NumberText(0));
  EXPECT_EQ("-1", NumberText(-1));
  EXPECT_EQ("32000", NumberText(32000));
  EXPECT_EQ("-32768", NumberText(INT16_MIN));
  EXPECT_EQ("255", NumberText(uint8_t{255}));
  EXPECT_EQ("2147483647", NumberText(INT32_MAX));
  EXPECT_EQ("-2147483648", NumberText(INT32_MIN));
}

TEST(WorldFiles, SmallWorldIsSavedByteForByte) {
  ScratchFolder scratch;
  TestWorld t;
  World& w = t.world;
  w.SeaLevel = 40;
  w.Month = 7;
  w.Year = 12;
  for (int x = 0; x < kMapWidth; ++x) {
    for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
      w.Map.At(kTerrainLayer, x, y) = (x + y) % 7 == 0 ? kGround : (y >= 40 ? kWater : kSky);
      w.Map.At(kFoodKindLayer, x, y) = (x * 3 + y) % 5;
      w.Map.At(kFoodAmountLayer, x, y) = (x * 131 + y * 7) % 20011 - 2000;
    }
  }
  w.Map.At(kFoodKindLayer, 0, -1) = -1;      // the byte 0
  w.Map.At(kFoodKindLayer, 320, 100) = 254;  // the byte 255, at the last offset
  w.Map.At(kFoodAmountLayer, 5, 5) = 10000;
  SetDistinctFields(AnimalAt(w, 1), 100);
  SetDistinctFields(AnimalAt(w, 17), 300);
  AnimalAt(w, 1).Alive = 1;
  AnimalAt(w, 17).Alive = 1;
  AnimalAt(w, 18).Alive = 2;  // not 1: a free slot

  ASSERT_FALSE(SaveWorld(w, scratch.AutoSave()).failed());

  std::string planet0(65487, '\0');
  planet0[0] = static_cast<char>(41);
  planet0[1] = static_cast<char>(8);
  planet0[2] = static_cast<char>(13);
  std::string planet1;
  char line[32];
  for (int x = 0; x <= 320; ++x) {
    for (int y = -1; y <= 100; ++y) {
      for (int l = 0; l < 2; ++l) {
        planet0[static_cast<size_t>(3 + (x * 102 + (y + 1)) * 2 + l)] =
            static_cast<char>(w.Map.At(l, x, y) + 1);
      }
      std::snprintf(line, sizeof line, "% d \r\n", w.Map.At(kFoodAmountLayer, x, y));
      planet1 += line;
    }
  }
  const std::string folder = scratch.AutoSave() + "/";
  const std::string saved0 = ReadFileText(folder + "planet_0.dat");
  ASSERT_EQ(65487u, saved0.size());
  EXPECT_EQ(0, saved0[4]);  // layer 1 of cell (0, -1): -1
  EXPECT_EQ('\xff', saved0[65486]);
  EXPECT_TRUE(saved0 == planet0);
  const std::string saved1 = ReadFileText(folder + "planet_1.dat");
  EXPECT_EQ(32742, std::count(saved1.begin(), saved1.end(), '\n'));
  EXPECT_NE(std::string::npos, saved1.find(" 10000 \r\n"));
  EXPECT_TRUE(saved1 == planet1);
  EXPECT_EQ("40\r\n7\r\n12\r\n", ReadFileText(folder + "planet_2.dat"));
  EXPECT_EQ("1\r\n17\r\n", ReadFileText(folder + "animals.dat"));
  for (const int slot : {1, 17}) {
    const std::string text = ReadFileText(folder + "A_" + std::to_string(slot) + ".OBG");
    EXPECT_EQ(Lines(ExpectedAnimalLines(AnimalAt(w, slot))), text) << "slot " << slot;
    EXPECT_EQ(128, std::count(text.begin(), text.end(), '\n'));
  }
  // Line 6 holds X alone; HeadingX -1 is "-1".
  const std::string a1 = ReadFileText(folder + "A_1.OBG");
  EXPECT_NE(std::string::npos, a1.find("\r\n12345\r\n"));
  EXPECT_EQ((std::vector<std::string>{"A_1.OBG", "A_17.OBG", "animals.dat", "planet_0.dat",
                                      "planet_1.dat", "planet_2.dat"}),
            FolderNames(scratch.AutoSave()));
  // Nothing is left beside the folder.
  EXPECT_EQ(std::vector<std::string>{"AutoSave"}, FolderNames(scratch.path));
}

TEST(WorldFiles, FullWorldRoundTrips) {
  ScratchFolder scratch;
  TestWorld saved;
  FillRandomWorld(saved.world, 7);
  ASSERT_FALSE(SaveWorld(saved.world, scratch.AutoSave()).failed());
  EXPECT_EQ(std::vector<std::string>{"Saved"}, saved.seam.messageLines);
  EXPECT_EQ("Saved", saved.world.display->Label3);
  EXPECT_TRUE(saved.seam.boxes.empty());
  EXPECT_EQ(2u, saved.seam.pointerChanges);  // the wait pointer, then the normal one
  EXPECT_EQ(Pointer::Default, saved.seam.pointer);

  TestWorld loaded;
  // Fields no file holds keep their values through a load.
  AnimalAt(loaded.world, 9).Genes[1].Head.Vision.Resolution = 77;
  AnimalAt(loaded.world, 9).Genes[0].Limb[1].Touch.Distance = -5;
  ASSERT_TRUE(LoadWorld(loaded.world, scratch.AutoSave()));
  EXPECT_EQ(1, loaded.world.WorldLoaded);
  EXPECT_TRUE(loaded.seam.boxes.empty());
  EXPECT_EQ(SavedDigest(saved.world), SavedDigest(loaded.world));
  EXPECT_EQ(saved.world.Map.layers[2], loaded.world.Map.layers[2]);
  EXPECT_EQ(77, AnimalAt(loaded.world, 9).Genes[1].Head.Vision.Resolution);
  EXPECT_EQ(-5, AnimalAt(loaded.world, 9).Genes[0].Limb[1].Touch.Distance);
  EXPECT_EQ(1u, loaded.seam.mapRedraws);
}

TEST(WorldFiles, EmptyWorldSavesEmptyListAndLoadsEmptyTable) {
  ScratchFolder scratch;
  TestWorld saved;
  FillRandomWorld(saved.world, 3, 0);
  ASSERT_FALSE(SaveWorld(saved.world, scratch.AutoSave()).failed());
  EXPECT_EQ("", ReadFileText(scratch.AutoSave() + "/animals.dat"));
  EXPECT_EQ(4u, FolderNames(scratch.AutoSave()).size());
  TestWorld loaded;
  AnimalAt(loaded.world, 5).Alive = 1;
  ASSERT_TRUE(LoadWorld(loaded.world, scratch.AutoSave()));
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    EXPECT_FALSE(IsOccupied(AnimalAt(loaded.world, slot)));
  }
  EXPECT_EQ(saved.world.Map.layers[0], loaded.world.Map.layers[0]);
  EXPECT_EQ(saved.world.Map.layers[1], loaded.world.Map.layers[1]);
}

// Years past 254 and a drifting sea level once came back as garbage: the
// header holds one byte each. They are clamped there and kept exactly in
// planet_2.dat.
TEST(WorldFiles, CalendarAndSeaLevelOutgrowingOneByte) {
  struct Case {
    int16_t seaLevel;
    int16_t month;
    int32_t year;
    uint8_t seaByte, monthByte, yearByte;
  };
  const Case cases[] = {
      {100, 12, 254, 101, 13, 255}, {-1, 1, 0, 0, 2, 1},
      {101, 12, 255, 102, 13, 255}, {-5, 0, 100000, 0, 1, 255},
      {300, 1, -7, 255, 2, 0},      {INT16_MIN, INT16_MAX, INT32_MAX, 0, 255, 255},
  };
  for (const Case& c : cases) {
    ScratchFolder scratch;
    TestWorld t;
    t.world.SeaLevel = c.seaLevel;
    t.world.Month = c.month;
    t.world.Year = c.year;
    ASSERT_FALSE(SaveWorld(t.world, scratch.AutoSave()).failed()) << c.year;
    EXPECT_TRUE(t.seam.boxes.empty());
    const std::string bytes = ReadFileText(scratch.AutoSave() + "/planet_0.dat");
    EXPECT_EQ(c.seaByte, static_cast<uint8_t>(bytes[0])) << c.seaLevel;
    EXPECT_EQ(c.monthByte, static_cast<uint8_t>(bytes[1])) << c.month;
    EXPECT_EQ(c.yearByte, static_cast<uint8_t>(bytes[2])) << c.year;
    TestWorld loaded;
    ASSERT_TRUE(LoadWorld(loaded.world, scratch.AutoSave()));
    EXPECT_EQ(c.seaLevel, loaded.world.SeaLevel);
    EXPECT_EQ(c.month, loaded.world.Month);
    EXPECT_EQ(c.year, loaded.world.Year);

    // Without planet_2.dat (an older save) or with a damaged one, the
    // header bytes count.
    for (const char* planet2 :
         std::initializer_list<const char*>{"", "12\r\n", "1\r\n2\r\nx\r\n", "1\r\n40000\r\n3\r\n",
                                            "1\r\n2\r\n3\r\n4\r\n", nullptr}) {
      const std::string path = scratch.AutoSave() + "/planet_2.dat";
      if (planet2 == nullptr) {
        std::remove(path.c_str());
      } else {
        WriteFileText(path, planet2);
      }
      TestWorld old;
      ASSERT_TRUE(LoadWorld(old.world, scratch.AutoSave()));
      EXPECT_TRUE(old.seam.boxes.empty());
      EXPECT_EQ(c.seaByte - 1, old.world.SeaLevel);
      EXPECT_EQ(c.monthByte - 1, old.world.Month);
      EXPECT_EQ(c.yearByte - 1, old.world.Year);
    }
  }
}

TEST(WorldFiles, MapValueOneByteCannotHoldFailsTheSave) {
  ScratchFolder scratch;
  TestWorld t;
  FillRandomWorld(t.world, 11, 20);
  ASSERT_FALSE(SaveWorld(t.world, scratch.AutoSave()).failed());
  const uint64_t before = SavedDigest(t.world);
  for (const int32_t bad : {255, -2, 1000}) {
    TestWorld changed;
    FillRandomWorld(changed.world, 12, 30);
    changed.world.Map.At(kFoodKindLayer, 10, 10) = bad;
    EXPECT_EQ(kErrorByteOverflow, SaveWorld(changed.world, scratch.AutoSave()).number);
    ASSERT_EQ(1u, changed.seam.boxes.size());
    EXPECT_EQ("ERROR", changed.seam.boxes[0].title);
    EXPECT_EQ(ErrorBoxText(1005, "Overflow: a map value does not fit in one byte"),
              changed.seam.boxes[0].text);
    EXPECT_EQ(std::vector<std::string>{"Save Failed"}, changed.seam.messageLines);
    TestWorld loaded;
    ASSERT_TRUE(LoadWorld(loaded.world, scratch.AutoSave()));
    EXPECT_EQ(before, SavedDigest(loaded.world));
  }
}

TEST(WorldFiles, MissingFolderIsReportedAndLoadsNothing) {
  ScratchFolder scratch;
  TestWorld t;
  t.world.Year = 9;
  EXPECT_FALSE(LoadWorld(t.world, scratch.AutoSave()));
  ASSERT_EQ(2u, t.seam.boxes.size());
  EXPECT_EQ("Can't Find Files to Load", t.seam.boxes[0].text);
  EXPECT_EQ("ERROR", t.seam.boxes[0].title);
  EXPECT_EQ("AutoSave Not Loaded", t.seam.boxes[1].text);
  EXPECT_EQ("Same Error", t.seam.boxes[1].title);
  EXPECT_EQ(0, t.world.WorldLoaded);
  EXPECT_EQ(9, t.world.Year);
  EXPECT_EQ(0u, t.seam.mapRedraws);
}

TEST(WorldFiles, SaveCreatesTheMissingFolderSilently) {
  ScratchFolder scratch;
  TestWorld t;
  const std::string deep = scratch.path + "/program/AutoSave";
  EXPECT_FALSE(SaveWorld(t.world, deep).failed());
  EXPECT_TRUE(t.seam.boxes.empty());
  EXPECT_TRUE(PathExists(deep + "/planet_0.dat"));
}

// A folder saved from a world, to be damaged by a test.
struct DamagedSave {
  DamagedSave() {
    FillRandomWorld(source.world, 21, 5);
    EXPECT_FALSE(SaveWorld(source.world, scratch.AutoSave()).failed());
  }
  std::string File(const std::string& name) const { return scratch.AutoSave() + "/" + name; }
  void Write(const std::string& name, const std::string& text) const {
    WriteFileText(File(name), text);
  }

  ScratchFolder scratch;
  TestWorld source;
};

// Short, missing or garbled files are reported failures with the Skip?
// question, never a crash or a value taken from garbage.
TEST(WorldFiles, DamagedFilesAreReportedAndSkippedOrCancelled) {
  std::string full0;
  Planet0Bytes(DamagedSave().source.world, full0);
  struct Case {
    const char* name;
    const char* file;
    std::string text;  // "" with remove: the file is deleted
    bool remove;
    int number;
  };
  const std::string planet1 = Planet1Text(DamagedSave().source.world);
  const Case cases[] = {
      {"planet_0 missing", "planet_0.dat", "", true, 2},
      {"planet_0 empty", "planet_0.dat", "", false, 1001},
      {"planet_0 one byte short", "planet_0.dat", full0.substr(0, 65486), false, 1001},
      {"planet_1 missing", "planet_1.dat", "", true, 2},
      {"planet_1 cut mid-file", "planet_1.dat", planet1.substr(0, planet1.size() / 2), false, 1001},
      {"planet_1 text", "planet_1.dat", " 5 \r\n abc \r\n" + planet1, false, 1002},
      {"planet_1 beyond 32 bits", "planet_1.dat", " 2147483648 \r\n" + planet1, false, 1003},
      {"planet_1 decimal point", "planet_1.dat", " 1.5 \r\n" + planet1, false, 1002},
      {"animals.dat missing", "animals.dat", "", true, 2},
      {"slot 0", "animals.dat", "1\r\n0\r\n", false, 1004},
      {"slot 751", "animals.dat", "751\r\n", false, 1004},
      {"slot -3", "animals.dat", "-3\r\n", false, 1004},
      {"slot text", "animals.dat", "4\r\nfive\r\n", false, 1002},
      {"slot huge", "animals.dat", "99999999999999999999\r\n", false, 1003},
      {"animal file missing", "A_3.OBG", "", true, 2},
  };
  for (const Case& c : cases) {
    for (const Answer answer : {Answer::Yes, Answer::No}) {
      DamagedSave save;
      if (c.remove) {
        std::remove(save.File(c.file).c_str());
      } else {
        save.Write(c.file, c.text);
      }
      TestWorld t;
      t.world.Map.At(kFoodAmountLayer, 3, 3) = 4242;  // shows whether layer 2 was replaced
      t.world.Map.At(kTerrainLayer, 3, 3) = 77;       // likewise layer 0
      t.seam.answers = {answer};
      const bool loaded = LoadWorld(t.world, save.scratch.AutoSave());
      ASSERT_GE(t.seam.boxes.size(), 2u) << c.name;
      EXPECT_EQ("ERROR", t.seam.boxes[0].title) << c.name;
      EXPECT_EQ(0u, t.seam.boxes[0].text.rfind("Error  " + std::to_string(c.number) + "\n\r", 0))
          << c.name << ": " << t.seam.boxes[0].text;
      EXPECT_EQ("Skip?", t.seam.boxes[1].title);
      EXPECT_EQ("Do you want to cancel this routine?", t.seam.boxes[1].text);
      EXPECT_EQ(Buttons::YesNo, t.seam.boxes[1].buttons);
      EXPECT_EQ(1u, t.seam.mapRedraws) << c.name;
      if (answer == Answer::Yes) {
        EXPECT_FALSE(loaded) << c.name;
        EXPECT_EQ(0, t.world.WorldLoaded);
        EXPECT_EQ(2u, t.seam.boxes.size());
      } else {
        EXPECT_TRUE(loaded) << c.name;
        EXPECT_EQ(1, t.world.WorldLoaded);
      }
      const std::string file = c.file;
      if (file == "planet_0.dat") {
        EXPECT_EQ(77, t.world.Map.At(kTerrainLayer, 3, 3)) << c.name;
      } else {
        EXPECT_NE(77, t.world.Map.At(kTerrainLayer, 3, 3)) << c.name;
      }
      if (file == "planet_1.dat" || (file == "planet_0.dat" && answer == Answer::Yes)) {
        EXPECT_EQ(4242, t.world.Map.At(kFoodAmountLayer, 3, 3)) << c.name;
      }
      if (answer == Answer::Yes) {
        // Regression: slots marked alive before the fault stayed in the new
        // world, hatched and suffocated at once.
        NewWorld(t.world);
        for (int tick = 0; tick < kTicksPerMonth; ++tick)
          SimulationTick(t.world);
        EXPECT_EQ(2, t.world.AnimalCount) << c.name;
        EXPECT_EQ(kStageEgg, AnimalAt(t.world, 1).Stage);
        EXPECT_EQ(kStageEgg, AnimalAt(t.world, 2).Stage);
        EXPECT_EQ((std::array<uint64_t, kCauseCount>{}), t.world.DeathsByCause) << c.name;
      }
    }
  }
}

TEST(WorldFiles, DamagedAnimalFileKeepsTheFieldsBeforeTheFault) {
  struct Case {
    const char* name;
    int line;          // 1-based line replaced (or where the file is cut)
    const char* text;  // nullptr: the file is cut before `line`
    int number;
  };
  const Case cases[] = {
      {"cut at line 50", 50, nullptr, 1001},
      {"cut at line 1", 1, nullptr, 1001},
      {"text in line 20", 20, "x", 1002},
      {"blank line 7", 7, "", 1002},
      {"8-bit 256 in line 4", 4, "256", 1003},
      {"8-bit -1 in line 15", 15, "-1", 1003},
      {"16-bit 32768 in line 1", 1, "32768", 1003},
      {"16-bit -32769 in line 128", 128, "-32769", 1003},
      {"number and text in line 9", 9, "12 ab", 1002},
  };
  for (const Case& c : cases) {
    DamagedSave save;
    const std::string original = ReadFileText(save.File("A_3.OBG"));
    std::vector<std::string> lines;
    for (size_t at = 0; at < original.size();) {
      const size_t end = original.find("\r\n", at);
      lines.push_back(original.substr(at, end - at));
      at = end + 2;
    }
    ASSERT_EQ(128u, lines.size());
    std::string damaged;
    for (int i = 1; i <= 128; ++i) {
      if (c.text == nullptr && i == c.line) break;
      damaged += (i == c.line ? std::string(c.text) : lines[static_cast<size_t>(i - 1)]) + "\r\n";
    }
    save.Write("A_3.OBG", damaged);

    TestWorld t;
    Animal& slot3 = AnimalAt(t.world, 3);
    slot3.Hunger = 1111;                        // line 1
    slot3.Genes[1].Tail.Width = 2222;           // line 128
    slot3.Genes[0].Body.BreathCapasity = 3333;  // line 19
    t.seam.answers = {Answer::No};
    EXPECT_TRUE(LoadWorld(t.world, save.scratch.AutoSave())) << c.name;
    ASSERT_EQ(2u, t.seam.boxes.size()) << c.name;
    EXPECT_EQ(0u, t.seam.boxes[0].text.rfind("Error  " + std::to_string(c.number) + "\n\r", 0))
        << c.name << ": " << t.seam.boxes[0].text;
    const Animal& want = AnimalAt(save.source.world, 3);
    EXPECT_EQ(c.line > 1 ? want.Hunger : 1111, slot3.Hunger) << c.name;
    EXPECT_EQ(c.line > 19 ? want.Genes[0].Body.BreathCapasity : 3333,
              slot3.Genes[0].Body.BreathCapasity)
        << c.name;
    EXPECT_EQ(2222, slot3.Genes[1].Tail.Width) << c.name;
    // The other animals load in full.
    for (const int slot : {1, 2, 4, 5}) {
      EXPECT_EQ(AnimalFileText(AnimalAt(save.source.world, slot)),
                AnimalFileText(AnimalAt(t.world, slot)))
          << c.name;
    }
  }
}

TEST(WorldFiles, ReadAnimalFileRefusesSlotsOutsideTheTable) {
  ScratchFolder scratch;
  TestWorld t;
  const std::string path = scratch.path + "/A_1.OBG";
  WriteFileText(path, AnimalFileText(Animal{}));
  for (const int slot : {0, -1, 751, 100000}) {
    EXPECT_EQ(kErrorBadSlot, ReadAnimalFile(t.world, path, slot).number) << slot;
  }
  EXPECT_FALSE(ReadAnimalFile(t.world, path, 750).failed());
  EXPECT_EQ(2, ReadAnimalFile(t.world, scratch.path + "/none.OBG", 1).number);
}

TEST(WorldFiles, TruthValuesReadNonZeroAsTrue) {
  Animal animal;
  std::string text = AnimalFileText(animal);
  // Line 36 is limb 0's Touch.SensorExists, line 65 Smell.SensorExists,
  // line 111 the adult Audio.SensorExists.
  const auto setLine = [&text](int line, const std::string& value) {
    size_t at = 0;
    for (int i = 1; i < line; ++i)
      at = text.find("\r\n", at) + 2;
    text.replace(at, text.find("\r\n", at) - at, value);
  };
  setLine(36, "-1");
  setLine(65, "5");
  setLine(111, "-40000");
  setLine(66, "0");
  animal.Genes[0].Head.Taste.SensorExists = kTrue;
  ASSERT_FALSE(ParseAnimalFile(text, animal).failed());
  EXPECT_EQ(kTrue, animal.Genes[0].Limb[0].Touch.SensorExists);
  EXPECT_EQ(kTrue, animal.Genes[0].Head.Smell.SensorExists);
  EXPECT_EQ(kTrue, animal.Genes[1].Head.Audio.SensorExists);
  EXPECT_EQ(kFalse, animal.Genes[0].Head.Taste.SensorExists);
  // A stored truth value other than -1 is written as -1.
  animal.Genes[0].Limb[0].Touch.SensorExists = 1;
  EXPECT_NE(std::string::npos, AnimalFileText(animal).find("\r\n-1\r\n"));
}

TEST(WorldFiles, AnimalListQuirks) {
  DamagedSave save;
  // A slot listed twice is read once; more than 750 lines: only 750 read;
  // blanks around numbers and LF-only lines are accepted; trailing blank
  // lines are the end of the file.
  std::string list = "1\r\n 2 \n1\r\n";
  for (int i = 0; i < 800; ++i)
    list += "3\r\n";
  list += "junk\r\n\r\n";
  save.Write("animals.dat", list);
  TestWorld t;
  ASSERT_TRUE(LoadWorld(t.world, save.scratch.AutoSave()));
  EXPECT_TRUE(t.seam.boxes.empty());
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    EXPECT_EQ(slot <= 3, IsOccupied(AnimalAt(t.world, slot))) << slot;
  }
  save.Write("animals.dat", "4\r\n\r\n  \r\n");
  TestWorld u;
  ASSERT_TRUE(LoadWorld(u.world, save.scratch.AutoSave()));
  EXPECT_TRUE(u.seam.boxes.empty());
  EXPECT_TRUE(IsOccupied(AnimalAt(u.world, 4)));
}

TEST(WorldFiles, FilesOfFreedSlotsStayAndAreIgnored) {
  ScratchFolder scratch;
  TestWorld t;
  FillRandomWorld(t.world, 5, 10);
  WriteFileText(scratch.path + "/placeholder", "");
  ASSERT_FALSE(SaveWorld(t.world, scratch.AutoSave()).failed());
  WriteFileText(scratch.AutoSave() + "/notes.txt", "mine");
  AnimalAt(t.world, 7).Alive = 0;
  const std::string old7 = ReadFileText(scratch.AutoSave() + "/A_7.OBG");
  ASSERT_FALSE(SaveWorld(t.world, scratch.AutoSave()).failed());
  EXPECT_EQ(old7, ReadFileText(scratch.AutoSave() + "/A_7.OBG"));
  EXPECT_EQ("mine", ReadFileText(scratch.AutoSave() + "/notes.txt"));
  EXPECT_EQ(std::string::npos, ReadFileText(scratch.AutoSave() + "/animals.dat").find("7\r\n"));
  // Damage the stale file: the load must not read it.
  WriteFileText(scratch.AutoSave() + "/A_7.OBG", "garbage");
  TestWorld loaded;
  ASSERT_TRUE(LoadWorld(loaded.world, scratch.AutoSave()));
  EXPECT_TRUE(loaded.seam.boxes.empty());
  EXPECT_FALSE(IsOccupied(AnimalAt(loaded.world, 7)));
  EXPECT_EQ(SavedDigest(t.world), SavedDigest(loaded.world));
}

TEST(WorldFiles, ErrorBoxNamesNumberDescriptionAndBrenlo) {
  DamagedSave save;
  save.Write("animals.dat", "1\r\nabc\r\n");
  TestWorld t;
  t.seam.answers = {Answer::Yes};
  LoadWorld(t.world, save.scratch.AutoSave());
  ASSERT_EQ(2u, t.seam.boxes.size());
  EXPECT_EQ(ErrorBoxText(1002, "Type mismatch: not a number (at 2)"), t.seam.boxes[0].text);
  EXPECT_EQ(Buttons::Ok, t.seam.boxes[0].buttons);
}

TEST(WorldFiles, ParsersTakeWhatTheBuildersGive) {
  TestWorld t;
  FillRandomWorld(t.world, 99, 200);
  World copy;
  std::string planet0;
  ASSERT_FALSE(Planet0Bytes(t.world, planet0));
  ASSERT_FALSE(ParsePlanet0(planet0, copy).failed());
  ASSERT_FALSE(ParsePlanet1(Planet1Text(t.world), copy).failed());
  ASSERT_FALSE(ParseAnimalList(AnimalListText(t.world), copy).failed());
  for (int slot = 1; slot <= 200; ++slot) {
    ASSERT_FALSE(
        ParseAnimalFile(AnimalFileText(AnimalAt(t.world, slot)), AnimalAt(copy, slot)).failed());
  }
  EXPECT_EQ(SavedDigest(t.world), SavedDigest(copy));
  Calendar calendar;
  ASSERT_FALSE(ParsePlanet2(Planet2Text(t.world), calendar));
  EXPECT_EQ(t.world.Year, calendar.year);
}

}  // namespace
}  // namespace ombrivale
