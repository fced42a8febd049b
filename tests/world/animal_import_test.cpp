#include "world/animal_import.h"

#include <gtest/gtest.h>

#include "support/world_files_support.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

// An animal with random genes and state (the saved fields), placed where a
// drop may go.
Animal RandomAnimal(uint64_t seed) {
  World world;
  testing::FillRandomWorld(world, seed, 1);
  Animal animal = AnimalAt(world, 1);
  animal.Sex = static_cast<uint8_t>(seed % 2);
  animal.X = 32000;
  animal.Y = 0;
  return animal;
}

// The file's text with line `line` (1-based) replaced; an empty `text`
// removes the line.
std::string WithLine(std::string file, int line, const std::string& text) {
  size_t begin = 0;
  for (int i = 1; i < line; ++i)
    begin = file.find('\n', begin) + 1;
  const size_t end = file.find('\n', begin) + 1;
  file.replace(begin, end - begin, text.empty() ? "" : text + "\r\n");
  return file;
}

TEST(AnimalImport, ExportThenImportGivesBackTheSameLines) {
  testing::ScratchFolder scratch;
  PosixFileSystem files;
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    const Animal animal = RandomAnimal(seed);
    const std::string path = scratch.path + "/A_" + std::to_string(seed) + ".OBG";
    ASSERT_TRUE(WriteAnimalToFile(files, path, animal).ok());
    Animal read;
    ASSERT_TRUE(ReadAnimalToDrop(files, path, read).ok()) << seed;
    EXPECT_EQ(testing::ReadFileText(path), AnimalFileText(read)) << seed;
  }
}

TEST(AnimalImport, ADamagedFileNamesItsLineAndChangesNothing) {
  const std::string good = AnimalFileText(RandomAnimal(3));
  struct Case {
    std::string text;
    const char* fault;
  };
  const Case cases[] = {
      {"", "line 1 is missing or cut short"},
      {good.substr(0, good.size() - 2), "line 128 is missing or cut short"},  // no line end
      {good.substr(0, good.rfind('\n', good.size() - 3) + 1), "line 128 is missing or cut short"},
      {WithLine(good, 57, "twelve"), "line 57 is not a number"},
      {WithLine(good, 1, "40000"), "line 1 is out of range"},  // Hunger, 16-bit
      {WithLine(good, 4, "2"), "line 4 is out of range"},      // Sex
      {WithLine(good, 6, "32001"), "line 6 is out of range"},  // X
      {WithLine(good, 6, "-1"), "line 6 is out of range"},
      {WithLine(good, 7, "10001"), "line 7 is out of range"},     // Y
      {WithLine(good, 8, "256"), "line 8 is out of range"},       // Mode, a byte
      {WithLine(good, 14, "-32769"), "line 14 is out of range"},  // EggSize
  };
  for (const Case& c : cases) {
    Animal kept = RandomAnimal(9);
    const Animal before = kept;
    const Status error = ParseAnimalToDrop(c.text, kept);
    ASSERT_FALSE(error.ok()) << c.fault;
    EXPECT_EQ(c.fault, AnimalFileFault(error));
    EXPECT_EQ(AnimalFileText(before), AnimalFileText(kept)) << c.fault;
  }
  // Lines after the 128th are ignored, as the loader ignores them.
  Animal read;
  EXPECT_TRUE(ParseAnimalToDrop(good + "junk\r\n", read).ok());
}

TEST(AnimalImport, AMissingFileSaysSo) {
  PosixFileSystem files;
  Animal read;
  const Status error = ReadAnimalToDrop(files, "/nonexistent/A_1.OBG", read);
  EXPECT_EQ("No such file or directory", AnimalFileFault(error));
}

}  // namespace
}  // namespace ombrivale
