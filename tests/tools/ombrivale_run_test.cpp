#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/run_options.h"

namespace ombrivale::tools {
namespace {

namespace fs = std::filesystem;

std::string Parse(std::vector<std::string> args, RunOptions& options) {
  return ParseRunOptions(args, options);
}

TEST(ParseRunOptions, ReadsEveryOption) {
  RunOptions o;
  ASSERT_EQ("",
            Parse({"--world", "w", "--new", "--seed", "7", "--years=300", "--save", "--autosave",
                   "--stats", "s.csv", "--no-overwrite-least", "--no-auto-restart", "--quiet"},
                  o));
  EXPECT_EQ("w", o.world);
  EXPECT_TRUE(o.newWorld);
  EXPECT_EQ(7u, o.seed.value());
  EXPECT_EQ(RunOptions::Length::Years, o.length);
  EXPECT_EQ(300u, o.count);
  EXPECT_TRUE(o.save);
  EXPECT_TRUE(o.autosave);
  EXPECT_EQ("s.csv", o.stats);
  EXPECT_FALSE(o.overwriteLeast);
  EXPECT_FALSE(o.autoRestart);
  EXPECT_TRUE(o.quiet);

  ASSERT_EQ("", Parse({"--world=AutoSave", "--ticks", "0"}, o));
  EXPECT_EQ(RunOptions::Length::Ticks, o.length);
  EXPECT_EQ(0u, o.count);
  EXPECT_FALSE(o.seed.has_value());
  EXPECT_TRUE(o.overwriteLeast);
  EXPECT_TRUE(o.autoRestart);
  EXPECT_FALSE(o.save);
}

TEST(ParseRunOptions, RefusesWhatItCannotRun) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--new"},
      {"--world"},
      {"--world", ""},
      {"--world", "w", "--ticks", "10", "--years", "2"},
      {"--world", "w", "--ticks", "-5"},
      {"--world", "w", "--ticks", "5x"},
      {"--world", "w", "--years", "99999999999999999999999"},
      {"--world", "w", "--seed"},
      {"--world", "w", "--new=1"},
      {"--world", "w", "--frobnicate"},
      {"--world", "w", "extra"},
  };
  for (const auto& args : bad) {
    RunOptions o;
    std::string joined;
    for (const auto& a : args)
      joined += a + " ";
    EXPECT_NE("", Parse(args, o)) << joined;
  }
  RunOptions o;
  EXPECT_EQ("", Parse({"--help"}, o));
  EXPECT_TRUE(o.help);
}

// Runs the built program; the folder holds its outputs.
class RunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("ombrivale_run_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    binary_ = fs::path(OMBRIVALE_BINARY_DIR) / "tools" / "ombrivale-run";
    ASSERT_TRUE(fs::exists(binary_)) << binary_ << " is not built";
  }
  void TearDown() override { fs::remove_all(folder_); }

  int Run(const std::string& args) {
    const std::string command = binary_.string() + " " + args + " >" + (folder_ / "out").string() +
                                " 2>" + (folder_ / "err").string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Slurp(const fs::path& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string Out() const { return Slurp(folder_ / "out"); }
  std::string Err() const { return Slurp(folder_ / "err"); }
  std::string Dir(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
  fs::path binary_;
};

TEST_F(RunnerTest, BadArgumentsExitTwoWithTheUsage) {
  EXPECT_EQ(2, Run(""));
  EXPECT_NE(std::string::npos, Err().find("usage: ombrivale-run --world DIR"));
  EXPECT_EQ(2, Run("--world " + Dir("w") + " --ticks ten"));
  EXPECT_NE(std::string::npos, Err().find("--ticks"));
  EXPECT_EQ(2, Run("--world " + Dir("w") + " --stats " + Dir("no/such/folder/s.csv")));
  EXPECT_EQ(0, Run("--help"));
  EXPECT_NE(std::string::npos, Out().find("usage:"));
}

TEST_F(RunnerTest, NewWorldRunsAndSummarisesOnOneLine) {
  ASSERT_EQ(0, Run("--world " + Dir("w") + " --new --seed 3 --ticks 100 --quiet"));
  const std::string out = Out();
  EXPECT_EQ(1, std::count(out.begin(), out.end(), '\n')) << out;
  EXPECT_EQ(0u, out.rfind("Y0, ", 0)) << out;
  EXPECT_NE(std::string::npos, out.find(" Animals")) << out;
  EXPECT_NE(std::string::npos, out.find("100 ticks")) << out;
  EXPECT_FALSE(fs::exists(Dir("w")));  // nothing saved without --save
}

TEST_F(RunnerTest, PrintsEachYearUnlessQuiet) {
  ASSERT_EQ(0, Run("--world " + Dir("w") + " --seed 4 --years 3"));
  const std::string out = Out();
  EXPECT_NE(std::string::npos, out.find("Y0, February")) << out;
  EXPECT_NE(std::string::npos, out.find("Y1, January")) << out;
  EXPECT_NE(std::string::npos, out.find("Y3, January")) << out;
}

TEST_F(RunnerTest, StatsHaveAHeaderAndARowPerMonth) {
  ASSERT_EQ(0,
            Run("--world " + Dir("w") + " --seed 5 --ticks 372 --quiet --stats " + Dir("s.csv")));
  std::istringstream csv(Slurp(folder_ / "s.csv"));
  std::string line;
  std::getline(csv, line);
  EXPECT_EQ(0u, line.rfind("year,month,population,eggs,infants,adults,deaths_old_age,", 0));
  const auto columns = std::count(line.begin(), line.end(), ',');
  int rows = 0;
  while (std::getline(csv, line)) {
    EXPECT_EQ(columns, std::count(line.begin(), line.end(), ',')) << line;
    ++rows;
  }
  EXPECT_EQ(13, rows);  // the set-up's month and twelve more (one a 31 ticks)
}

TEST_F(RunnerTest, TheSameSeedGivesTheSameRun) {
  ASSERT_EQ(0, Run("--world " + Dir("a") + " --seed 9 --years 2 --quiet --stats " + Dir("a.csv")));
  ASSERT_EQ(0, Run("--world " + Dir("b") + " --seed 9 --years 2 --quiet --stats " + Dir("b.csv")));
  EXPECT_EQ(Slurp(folder_ / "a.csv"), Slurp(folder_ / "b.csv"));
}

TEST_F(RunnerTest, AWorldThatCannotBeLoadedIsAnError) {
  fs::create_directories(Dir("w"));
  std::ofstream(Dir("w/planet_0.dat"), std::ios::binary) << "not a world";
  EXPECT_EQ(1, Run("--world " + Dir("w") + " --ticks 10 --quiet"));
  EXPECT_NE(std::string::npos, Err().find("could not be loaded")) << Err();
}

TEST_F(RunnerTest, AWorldThatCannotBeSavedIsAnError) {
  std::ofstream(Dir("file")) << "x";  // a file where the folder's parent should be
  EXPECT_EQ(1, Run("--world " + Dir("file/w") + " --new --seed 2 --ticks 10 --save --quiet"));
  EXPECT_NE(std::string::npos, Err().find("could not be saved")) << Err();
}

// Needs the world files: two runs with one seed save identical folders, and a
// saved world loads again.
TEST_F(RunnerTest, SavesIdenticalFoldersFromOneSeedAndLoadsThem) {
  ASSERT_EQ(0, Run("--world " + Dir("a") + " --new --seed 11 --years 2 --save --quiet"));
  ASSERT_EQ(0, Run("--world " + Dir("b") + " --new --seed 11 --years 2 --save --quiet"));
  size_t files = 0;
  for (const auto& entry : fs::directory_iterator(Dir("a"))) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const fs::path twin = fs::path(Dir("b")) / entry.path().filename();
    EXPECT_EQ(Slurp(entry.path()), Slurp(twin)) << entry.path().filename();
  }
  EXPECT_GE(files, 3u);
  EXPECT_EQ(0, Run("--world " + Dir("a") + " --ticks 31 --quiet"));
}

TEST_F(RunnerTest, AutosaveSavesEveryYearAndAFailedOneIsAnError) {
  ASSERT_EQ(0, Run("--world " + Dir("w") + " --new --seed 6 --years 1 --autosave --quiet"));
  EXPECT_TRUE(fs::exists(Dir("w/planet_0.dat")));
  std::ofstream(Dir("file")) << "x";
  EXPECT_EQ(1, Run("--world " + Dir("file/w") + " --new --seed 6 --years 1 --autosave --quiet"));
  EXPECT_NE(std::string::npos, Err().find("[ERROR] Error ")) << Err();
  EXPECT_NE(std::string::npos, Err().find("yearly save")) << Err();
}

// A save whose swap into place was cut short (the folder gone, the complete
// new save beside it) is still found and loaded, not replaced by a new world.
TEST_F(RunnerTest, LoadsASaveWhoseSwapWasCutShort) {
  ASSERT_EQ(0, Run("--world " + Dir("w") + " --new --seed 12 --ticks 40 --save --quiet"));
  fs::rename(Dir("w"), Dir(".w.ready"));
  EXPECT_EQ(0, Run("--world " + Dir("w") + " --seed 12 --ticks 31 --quiet")) << Err();
  EXPECT_TRUE(fs::exists(Dir("w/planet_0.dat")));
}

}  // namespace
}  // namespace ombrivale::tools
