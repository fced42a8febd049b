#include "world/settings_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_world.h"
#include "support/world_files_support.h"

namespace ombrivale {
namespace {

using testing::FolderNames;
using testing::ReadFileText;
using testing::ScratchFolder;
using testing::TestWorld;
using testing::WriteFileText;

const char kFile[] =
    " 1234\r\n 567.5\r\n-1\r\n"
    "-15\r\n 0.25\r\n 0\r\n"
    " 1.5e+20\r\n 200\r\n-1\r\n"
    " 100000\r\n 0\r\n 0\r\n"
    " 7200\r\n 300\r\n-1\r\n"
    " 0\r\n 1\r\n 17\r\n 1\r\n 0\r\n 0\r\n 250\r\n"
    "-1\r\n 0\r\n-1\r\n 0\r\n-1\r\n";

// The first `lines` lines of `text`.
std::string FirstLines(const std::string& text, int lines) {
  size_t end = 0;
  for (int line = 0; line < lines; ++line)
    end = text.find('\n', end) + 1;
  return text.substr(0, end);
}

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() {
    // The start-up defaults: four flags on, real colours off; the filters
    // and windows as a run before may have left them.
    World& w = t_.world;
    w.LogOn = w.AutoRestart = w.OverwriteLeast = w.AutoSave = 1;
    w.Filters = {true, true, true, true, true};
    for (WindowPlacement& window : windows_)
      window = {11, 22, true};
  }

  bool Load() { return LoadSettings(t_.world, t_.display, path_, windows_).ok(); }
  std::string Text() const { return SettingsText(t_.world, t_.display, windows_); }
  // True when the one box shown is the settings file's.
  bool ShowsIniBox() {
    t_.Events();
    const auto& boxes = t_.seam.boxes;
    return boxes.size() == 1 && boxes[0].title == "Ini" && boxes[0].text == "Error Loading Ini" &&
           boxes[0].buttons == Buttons::Ok;
  }

  ScratchFolder scratch_;
  std::string path_ = scratch_.path + "/OB.ini";
  TestWorld t_;
  WindowPlacement windows_[kWindowCount];
};

TEST_F(SettingsFileTest, TwentySevenLinesWrittenAndReadByteForByte) {
  windows_[0] = {1234, 567.5f, true};
  windows_[1] = {-15, 0.25f, false};
  windows_[2] = {1.5e20f, 200, true};
  windows_[3] = {100000, -0.0f, false};  // " 100000", " 0": no exponent, no minus sign
  windows_[4] = {7200, 300, true};
  World& w = t_.world;
  w.LogOn = 0, w.AutoRestart = 1, w.RealColours = 1, w.OverwriteLeast = 0, w.AutoSave = 0;
  t_.display.SelectedAnimal = 17;
  t_.display.QuickDrawZoom = 250;
  w.Filters = {true, false, true, false, true};
  ASSERT_TRUE(SaveSettings(w, t_.display, path_, windows_).ok());
  EXPECT_EQ(kFile, ReadFileText(path_));
  EXPECT_EQ(std::vector<std::string>{"OB.ini"}, FolderNames(scratch_.path));

  TestWorld other;
  WindowPlacement windows[kWindowCount];
  ASSERT_TRUE(LoadSettings(other.world, other.display, path_, windows).ok());
  EXPECT_EQ(kFile, SettingsText(other.world, other.display, windows));
  EXPECT_TRUE(t_.seam.boxes.empty());
  EXPECT_TRUE(other.seam.boxes.empty());
}

// Regression: a cut file used to apply the shared holder's stale value (the
// Play God window's shown flag) to all five death filters.
TEST_F(SettingsFileTest, FileCutAfterLineTwentyKeepsTheRestAsItWas) {
  WriteFileText(path_, FirstLines(kFile, 20));
  t_.display.QuickDrawZoom = 100;
  t_.world.Filters = {true, true, false, true, true};
  EXPECT_FALSE(Load());
  // AutoSave, the zoom and the filters keep what they were.
  EXPECT_EQ(FirstLines(kFile, 20) + " 1\r\n 100\r\n-1\r\n-1\r\n 0\r\n-1\r\n-1\r\n", Text());
  EXPECT_TRUE(ShowsIniBox());
}

TEST_F(SettingsFileTest, MissingFileShowsOneBoxAndChangesNothing) {
  const std::string before = Text();
  EXPECT_FALSE(Load());
  EXPECT_TRUE(ShowsIniBox());
  EXPECT_EQ(before, Text());
}

TEST_F(SettingsFileTest, GarbageFailsLineByLineWithOneBox) {
  // Line 2 and line 16 become garbage and keep what they were; the rest reads.
  std::string text = kFile;
  std::string want = kFile;
  text.replace(text.find(" 567.5"), 6, "abc\x01\xff");
  want.replace(want.find(" 567.5"), 6, " 22");
  text.replace(FirstLines(text, 15).size(), 2, "0x");
  want.replace(FirstLines(want, 15).size(), 2, " 1");
  WriteFileText(path_, text);
  EXPECT_FALSE(Load());
  EXPECT_EQ(want, Text());
  EXPECT_TRUE(ShowsIniBox());
}

// One line at a time: what a line holds, the field it lands in, and the
// error it gives (0: it reads).
TEST(ReadSettingsText, ChecksEachFieldsRange) {
  constexpr int kText = kErrorNotNumber;
  constexpr int kRange = kErrorOutOfRange;
  struct Case {
    int line;  // 1..27
    const char* text;
    int error;
  };
  const Case cases[] = {
      {1, " 1e5", 0},       {1, "1e39", kRange},    {1, "inf", kText},      {1, "nan", kText},
      {1, "-3.4e38", 0},    {1, "1e-40", kRange},   {1, "0x10", kText},     {1, "", kText},
      {1, " - 5", kText},   {1, "5 5", kText},      {3, " 2", 0},           {3, " 32768", kRange},
      {16, " 1", 0},        {16, " 2", 0},          {16, " 255", 0},        {16, " 256", kRange},
      {16, "-1", kRange},   {18, "-32768", 0},      {18, " 32768", kRange}, {18, " 2.5", 0},
      {22, " 1", 0},        {22, " 500", 0},        {22, " 0", kRange},     {22, " 501", kRange},
      {22, "-100", kRange}, {27, " 70000", kRange}, {27, "-32768", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.line) + " '" + c.text + "'");
    // The other lines hold values that read.
    std::string text;
    for (int line = 1; line <= kSettingsLineCount; ++line)
      text += (line == c.line ? std::string(c.text) : line == 22 ? " 50" : " 0") + "\r\n";
    TestWorld t;
    WindowPlacement windows[kWindowCount];
    const Status error = ReadSettingsText(t.world, t.display, text, windows);
    EXPECT_EQ(c.error, error.number());
    EXPECT_EQ(c.error != 0 ? c.line : 0, error.where());
  }
}

TEST(ReadSettingsText, StoresFractionsFlagsAndRoundedIntegers) {
  TestWorld t;
  WindowPlacement windows[kWindowCount];
  std::string text = "\t+1234.25  \n";  // blanks, a plus sign, a fraction, LF alone
  for (int line = 2; line <= 15; ++line)
    text += " 0\n";
  text += " 2\n 0\n 2.5\n 3.5\n";
  EXPECT_EQ(20, ReadSettingsText(t.world, t.display, text, windows).where());  // the first missing
  EXPECT_EQ(1234.25f, windows[0].left);
  EXPECT_EQ(1, t.world.LogOn);
  EXPECT_EQ(2, t.display.SelectedAnimal);  // halves to even
  EXPECT_EQ(1, t.world.RealColours);
}

}  // namespace
}  // namespace ombrivale
