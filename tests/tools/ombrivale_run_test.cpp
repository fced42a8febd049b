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
    RunOptions refused;
    EXPECT_NE("", ParseRunOptions(args, refused)) << (args.empty() ? "" : args.back());
  }
  RunOptions o;
  ASSERT_EQ("", ParseRunOptions({"--world=w", "--years=300", "--seed", "7"}, o));
  EXPECT_EQ(300u, o.count);
  EXPECT_EQ(7u, o.seed.value());
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

}  // namespace
}  // namespace ombrivale::tools
