#include "world/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/test_world.h"

namespace ombrivale {
namespace {

namespace fs = std::filesystem;
using testing::TestWorld;

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("ombrivale_settings_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    path_ = (folder_ / "OB.ini").string();
    // The start-up defaults: four flags on, real colours off, all filters on.
    World& w = t_.world;
    w.LogOn = w.AutoRestart = w.OverwriteLeast = w.AutoSave = 1;
    w.Filters = {true, true, true, true, true};
    for (WindowPlacement& window : windows_)
      window = {11, 22, true};
  }
  void TearDown() override { fs::remove_all(folder_); }

  void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Read() {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool Load() { return !LoadSettings(t_.world, *t_.world.display, path_, windows_).failed(); }
  // Boxes shown so far, as "title: text".
  std::vector<std::string> Boxes() const {
    std::vector<std::string> out;
    for (const auto& b : t_.seam.boxes)
      out.push_back(b.title + ": " + b.text);
    return out;
  }

  fs::path folder_;
  std::string path_;
  TestWorld t_;
  WindowPlacement windows_[kWindowCount];
};

const char kFile[] =
    " 1234\r\n 567.5\r\n-1\r\n"
    "-15\r\n 0\r\n 0\r\n"
    " 100\r\n 200\r\n-1\r\n"
    " 0\r\n 0\r\n 0\r\n"
    " 7200\r\n 300\r\n-1\r\n"
    " 0\r\n 1\r\n 17\r\n 1\r\n 0\r\n 0\r\n 250\r\n"
    "-1\r\n 0\r\n-1\r\n 0\r\n-1\r\n";

void SetFileValues(World& w, WindowPlacement (&windows)[kWindowCount]) {
  windows[0] = {1234, 567.5f, true};
  windows[1] = {-15, 0, false};
  windows[2] = {100, 200, true};
  windows[3] = {0, 0, false};
  windows[4] = {7200, 300, true};
  w.LogOn = 0;
  w.AutoRestart = 1;
  w.display->SelectedAnimal = 17;
  w.RealColours = 1;
  w.OverwriteLeast = 0;
  w.AutoSave = 0;
  w.display->QuickDrawZoom = 250;
  w.Filters = {true, false, true, false, true};
}

TEST_F(SettingsFileTest, WritesTheTwentySevenLinesByteForByte) {
  SetFileValues(t_.world, windows_);
  ASSERT_FALSE(SaveSettings(t_.world, *t_.world.display, path_, windows_).failed());
  EXPECT_EQ(kFile, Read());
  EXPECT_FALSE(fs::exists(path_ + ".tmp"));
  EXPECT_TRUE(t_.seam.boxes.empty());
}

TEST(SettingsText, WritesWholePositionsWithoutFractionOrExponent) {
  World w;
  Display wDisplay;
  w.display = &wDisplay;
  WindowPlacement windows[kWindowCount];
  windows[0] = {100000, -0.0f, false};
  windows[1] = {1.5e20f, 0.25f, false};
  const std::string text = SettingsText(w, *w.display, windows);
  EXPECT_EQ(0u, text.find(" 100000\r\n 0\r\n 0\r\n 1.5e+20\r\n 0.25\r\n 0\r\n")) << text;
}

TEST_F(SettingsFileTest, ReadsBackWhatItWrote) {
  Write(kFile);
  ASSERT_TRUE(Load());
  World expected;
  Display expectedDisplay;
  expected.display = &expectedDisplay;
  WindowPlacement expectedWindows[kWindowCount];
  SetFileValues(expected, expectedWindows);
  EXPECT_EQ(SettingsText(expected, *expected.display, expectedWindows),
            SettingsText(t_.world, *t_.world.display, windows_));
  EXPECT_TRUE(t_.seam.boxes.empty());
}

TEST_F(SettingsFileTest, AcceptsLineFeedsBlanksAndFractions) {
  std::string text = kFile;
  std::erase(text, '\r');
  text.replace(0, 5, "\t+1234.25  ");  // blanks, a plus sign and a fraction
  Write(text);
  ASSERT_TRUE(Load());
  EXPECT_EQ(1234.25f, windows_[0].left);
  EXPECT_EQ(250, t_.world.display->QuickDrawZoom);
}

// Regression: a cut file used to apply the shared holder's stale value (the
// Play God window's shown flag) to all five death filters.
TEST_F(SettingsFileTest, FileCutAfterLineTwentyKeepsTheRestAsItWas) {
  std::string text = kFile;
  size_t end = 0;
  for (int line = 0; line < 20; ++line)
    end = text.find('\n', end) + 1;
  Write(text.substr(0, end));
  t_.world.display->QuickDrawZoom = 100;
  t_.world.Filters = {true, true, false, true, true};

  EXPECT_FALSE(Load());
  EXPECT_EQ(1234.0f, windows_[0].left);
  EXPECT_TRUE(windows_[4].shown);
  EXPECT_EQ(7200.0f, windows_[4].left);
  EXPECT_EQ(0, t_.world.LogOn);
  EXPECT_EQ(1, t_.world.AutoRestart);
  EXPECT_EQ(17, t_.world.display->SelectedAnimal);
  EXPECT_EQ(1, t_.world.RealColours);
  EXPECT_EQ(0, t_.world.OverwriteLeast);
  EXPECT_EQ(1, t_.world.AutoSave);  // lines 21 on are missing: defaults stay
  EXPECT_EQ(100, t_.world.display->QuickDrawZoom);
  EXPECT_TRUE(t_.world.Filters.OldAge);
  EXPECT_FALSE(t_.world.Filters.Overwritten);
  EXPECT_TRUE(t_.world.Filters.Hunger);
  EXPECT_EQ(std::vector<std::string>{"Ini: Error Loading Ini"}, Boxes());
}

TEST_F(SettingsFileTest, MissingFileShowsOneBoxAndChangesNothing) {
  EXPECT_FALSE(Load());
  EXPECT_EQ(std::vector<std::string>{"Ini: Error Loading Ini"}, Boxes());
  EXPECT_EQ(Buttons::Ok, t_.seam.boxes[0].buttons);
  for (const WindowPlacement& w : windows_) {
    EXPECT_EQ(11.0f, w.left);
    EXPECT_TRUE(w.shown);
  }
  EXPECT_EQ(1, t_.world.LogOn);
  EXPECT_EQ(0, t_.world.RealColours);
  EXPECT_TRUE(t_.world.Filters.Eaten);
}

TEST_F(SettingsFileTest, GarbageFailsLineByLineWithOneBox) {
  std::string text = kFile;
  // Line 2 and line 17 become garbage; the rest still reads.
  text.replace(text.find(" 567.5"), 6, "abc\x01\xff");
  const size_t line17 = [&] {
    size_t at = 0;
    for (int line = 0; line < 16; ++line)
      at = text.find('\n', at) + 1;
    return at;
  }();
  text.replace(line17, 2, "1x");
  Write(text);
  EXPECT_FALSE(Load());
  EXPECT_EQ(1234.0f, windows_[0].left);
  EXPECT_EQ(22.0f, windows_[0].top);   // kept
  EXPECT_EQ(1, t_.world.AutoRestart);  // "1x" failed: kept (was 1)
  EXPECT_EQ(1, t_.world.RealColours);
  EXPECT_FALSE(t_.world.Filters.Eaten);
  EXPECT_EQ(1u, t_.seam.boxes.size());
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
    World w;
    Display wDisplay;
    w.display = &wDisplay;
    WindowPlacement windows[kWindowCount];
    const FileError error = ReadSettingsText(w, *w.display, text, windows);
    EXPECT_EQ(c.error, error.number);
    EXPECT_EQ(c.error != 0 ? c.line : 0, error.where);
  }
}

TEST(ReadSettingsText, StoresFlagsAsZeroOrOneAndRoundsIntegers) {
  World w;
  Display wDisplay;
  w.display = &wDisplay;
  WindowPlacement windows[kWindowCount];
  std::string text;
  for (int line = 1; line <= 15; ++line)
    text += " 0\n";
  text += " 2\n 0\n 2.5\n 3.5\n";
  EXPECT_EQ(20, ReadSettingsText(w, *w.display, text, windows).where);  // the first missing
  EXPECT_EQ(1, w.LogOn);
  EXPECT_EQ(2, w.display->SelectedAnimal);  // halves to even
  EXPECT_EQ(1, w.RealColours);
}

}  // namespace
}  // namespace ombrivale
