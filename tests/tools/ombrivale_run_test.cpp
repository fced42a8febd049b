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

TEST(ParseRunOptions, ReadsEveryOptionAndRefusesWhatItCannotRun) {
  RunOptions o;
  ASSERT_EQ("", ParseRunOptions(
                    {"--world", "w", "--new", "--seed", "7", "--years=300", "--save", "--autosave",
                     "--stats", "s.csv", "--no-overwrite-least", "--no-auto-restart", "--quiet"},
                    o));
  EXPECT_EQ("w", o.world);
  EXPECT_EQ(7u, o.seed.value());
  EXPECT_EQ(RunOptions::Length::Years, o.length);
  EXPECT_EQ(300u, o.count);
  EXPECT_EQ("s.csv", o.stats);
  EXPECT_TRUE(o.newWorld && o.save && o.autosave && o.quiet);
  EXPECT_FALSE(o.overwriteLeast || o.autoRestart);
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
    RunOptions refused;
    EXPECT_NE("", ParseRunOptions(args, refused)) << (args.empty() ? "" : args.back());
  }
}

// Runs the built program in a scratch folder.
class RunnerTest : public ::testing::Test {
 protected:
  RunnerTest()
      : folder_(fs::temp_directory_path() /
                ("ombrivale_run_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  ~RunnerTest() override { fs::remove_all(folder_); }

  int Run(const std::string& args) {
    const std::string command = std::string(OMBRIVALE_BINARY_DIR) + "/tools/ombrivale-run " + args +
                                " >" + Dir("out") + " 2>" + Dir("err");
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Slurp(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string Dir(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
};

TEST_F(RunnerTest, ExitStatusTwoForBadArgumentsOneForAWorldNotLoadedOrSaved) {
  EXPECT_EQ(2, Run(""));
  EXPECT_NE(std::string::npos, Slurp("err").find("usage: ombrivale-run --world DIR"));
  EXPECT_EQ(2, Run("--world " + Dir("w") + " --stats " + Dir("no/such/folder/s.csv")));
  fs::create_directories(Dir("w"));
  std::ofstream(Dir("w/planet_0.dat"), std::ios::binary) << "not a world";
  EXPECT_EQ(1, Run("--world " + Dir("w") + " --ticks 10 --quiet"));
  EXPECT_NE(std::string::npos, Slurp("err").find("could not be loaded"));
  std::ofstream(Dir("file")) << "x";  // a file where the world's parent folder should be
  EXPECT_EQ(1, Run("--world " + Dir("file/w") + " --new --seed 2 --ticks 10 --save --quiet"));
  EXPECT_NE(std::string::npos, Slurp("err").find("could not be saved"));
  EXPECT_EQ(1, Run("--world " + Dir("file/w") + " --new --seed 6 --years 1 --autosave --quiet"));
  EXPECT_NE(std::string::npos, Slurp("err").find("yearly save"));
}

TEST_F(RunnerTest, OneSeedGivesOneRunItsStatsAndSavesAndTheSaveLoads) {
  for (const char* name : {"a", "b"}) {
    ASSERT_EQ(0, Run("--world " + Dir(name) + " --new --seed 11 --years 2 --save --quiet --stats " +
                     Dir(std::string(name) + ".csv")));
  }
  const std::string csv = Slurp("a.csv");
  EXPECT_EQ(csv, Slurp("b.csv"));
  EXPECT_EQ(0u, csv.rfind("year,month,population,", 0));
  // A row a month, from February of year 0 to January of year 2.
  EXPECT_EQ(24, std::count(csv.begin(), csv.end(), '\n') - 1);
  size_t files = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(Dir("a"))) {
    const std::string name = "a/" + entry.path().filename().string();
    EXPECT_EQ(Slurp(name), Slurp("b/" + entry.path().filename().string())) << name;
    ++files;
  }
  EXPECT_GE(files, 5u);
  EXPECT_EQ(0, Run("--world " + Dir("a") + " --ticks 31 --quiet"));
}

}  // namespace
}  // namespace ombrivale::tools
