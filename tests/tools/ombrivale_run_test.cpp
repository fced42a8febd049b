#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
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
      {"--world", "w", "--import"},
      {"--world", "w", "--import", "--quiet"},
      {"--world", "w", "--frames", "f"},
      {"--world", "w", "--frame-months", "3"},
      {"--world", "w", "--frames", "f", "--frame-months", "0"},
      {"--world", "w", "--frames", "f", "--frame-months", "3", "--frame-scale", "17"},
      {"--world", "w", "--frames", "f", "--frame-months", "3", "--colour-by", "adult.Body"},
      {"--world", "w", "--colour-by", "diet"},
      {"--world", "w", "--phylogeny"},
      {"--world", "w", "--new", "--savepoint", "3-1"},
      {"--world", "w", "--savepoints=1"},
  };
  for (const auto& args : bad) {
    RunOptions refused;
    EXPECT_EQ(Status::Code::kInvalidArgument, ParseRunOptions(args, refused).code())
        << (args.empty() ? "" : args.back());
  }
  RunOptions o;
  ASSERT_EQ("OK", ParseRunOptions({"--world=w", "--years=300", "--seed", "7"}, o).ToString());
  EXPECT_EQ(300u, o.count);
  EXPECT_EQ(7u, o.seed.value());
  ASSERT_EQ("OK", ParseRunOptions({"--world=w", "--import", "a", "b", "--quiet"}, o).ToString());
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), o.imports);
  EXPECT_TRUE(o.quiet);
}

TEST(ParseRunOptions, SetTakesEachConditionWithinItsRange) {
  struct Case {
    std::vector<std::string> args;
    const char* error;  // "" when taken
    size_t taken = 0;
  };
  const Case cases[] = {
      {{"--set", "mutation_passes=0", "--set=food_scale=2.5", "--set", "sea_level_drift=0"}, "", 3},
      {{"--set", "mutation_passes=50", "--set", "mutation_passes=7"}, "", 2},
      {{"--set", "tides=3"},
       "--set: no condition is named \"tides\" (there are mutation_passes, "
       "sea_level_drift, food_scale)"},
      {{"--set", "mutation_passes=51"},
       "--set: mutation_passes must be a whole number from 0 to 50, not \"51\""},
      {{"--set", "food_scale=-0.5"}, "--set: food_scale must be a number from 0 to 10, not"},
      {{"--set", "sea_level_drift=on"},
       "--set: sea_level_drift must be a whole number from 0 to 1"},
      {{"--set", "food_scale"}, "--set: \"food_scale\" is not NAME=VALUE"},
      {{"--set"}, "--set needs a value"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--world", "w"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    RunOptions o;
    const std::string error(ParseRunOptions(args, o).message());
    EXPECT_EQ(0u, error.find(c.error)) << error;
    EXPECT_EQ(c.taken, o.conditions.size()) << error;
  }
  RunOptions o;
  ASSERT_EQ("OK", ParseRunOptions({"--world", "w", "--set", "food_scale=2.5"}, o).ToString());
  EXPECT_EQ((std::vector<std::pair<int, double>>{{2, 2.5}}), o.conditions);
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
  EXPECT_EQ(2, Run("--world " + Dir("w") + " --set mutation_passes=99"));
  EXPECT_EQ(0u, Slurp("err").find("ombrivale-run: --set: mutation_passes must be a whole number "
                                  "from 0 to 50, not \"99\"\nusage:"));
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

// A file that is not the one the save wrote is named on standard error, and
// the load given up with status 1.
TEST_F(RunnerTest, AFileThatDoesNotMatchTheManifestIsNamedAndTheLoadGivenUp) {
  ASSERT_EQ(0, Run("--world " + Dir("w") + " --new --seed 1 --save --quiet"));
  const std::string animal = Slurp("w/A_1.OBG");
  std::string changed = animal;
  changed[0] = changed[0] == '1' ? '2' : '1';  // the hunger
  std::ofstream(Dir("w/A_1.OBG"), std::ios::binary) << changed;
  EXPECT_EQ(1, Run("--world " + Dir("w") + " --ticks 10 --quiet"));
  EXPECT_NE(std::string::npos,
            Slurp("err").find("[ERROR] Error  1013 A_1.OBG: Not the file this save wrote: its "
                              "checksum differs from the manifest's It'd be a good idea"))
      << Slurp("err");
  EXPECT_NE(std::string::npos, Slurp("err").find("[Skip?] Do you want to cancel this routine?\n"
                                                 "ombrivale-run: the world in " +
                                                 Dir("w") + " could not be loaded"));

  std::ofstream(Dir("w/A_1.OBG"), std::ios::binary) << animal;
  EXPECT_EQ(0, Run("--world " + Dir("w") + " --ticks 10 --quiet"));
}

TEST_F(RunnerTest, ImportLaysEachFileAsAnEggOrEndsWithStatusOne) {
  ASSERT_EQ(0, Run("--world " + Dir("w") + " --new --seed 1 --save --quiet"));
  const std::string founder = Slurp("w/A_1.OBG");
  std::ofstream(Dir("a.OBG"), std::ios::binary) << founder;
  ASSERT_EQ(0, Run("--world " + Dir("w2") + " --new --seed 1 --save --quiet --import " +
                   Dir("a.OBG") + " " + Dir("a.OBG")));
  EXPECT_EQ("1\r\n2\r\n3\r\n4\r\n", Slurp("w2/animals.dat"));
  const auto genes = [](const std::string& file) {  // lines 14..128
    size_t at = 0;
    for (int line = 1; line <= 13; ++line)
      at = file.find('\n', at) + 1;
    return file.substr(at);
  };
  EXPECT_EQ(genes(Slurp("w2/A_1.OBG")), genes(Slurp("w2/A_4.OBG")));

  const auto withLine = [&](int line, const std::string& text) {
    std::string file = founder;
    size_t begin = 0;
    for (int i = 1; i < line; ++i)
      begin = file.find('\n', begin) + 1;
    file.replace(begin, file.find('\n', begin) + 1 - begin, text + "\r\n");
    std::ofstream(Dir("bad.OBG"), std::ios::binary) << file;
  };
  struct Case {
    int line;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {57, "x", "bad.OBG: line 57 is not a number"},
      {4, "3", "bad.OBG: line 4 is out of range"},
      {7, "10000", "bad.OBG: its position (lines 6 and 7) is in the ground"},
  };
  for (const Case& c : cases) {
    withLine(c.line, c.text);
    EXPECT_EQ(1, Run("--world " + Dir("w3") + " --new --seed 1 --save --quiet --import " +
                     Dir("a.OBG") + " " + Dir("bad.OBG")));
    EXPECT_NE(std::string::npos, Slurp("err").find(c.message)) << Slurp("err");
    EXPECT_FALSE(fs::exists(Dir("w3")));
  }
  EXPECT_EQ(1, Run("--world " + Dir("w3") + " --new --import " + Dir("none.OBG")));
  EXPECT_NE(std::string::npos, Slurp("err").find("none.OBG: No such file or directory"));
}

// Twenty-five years of seed 4 (a world that dies out near year 10 and one
// that follows) with every export and a frame a decade; the exports read
// back by an independent reader against the species.dat saved with them.
TEST_F(RunnerTest, ExportsTheSpeciesTreeAndTheFamilyAndRecordsFrames) {
  const std::string run = "--world " + Dir("w") + " --new --seed 4 --years 25 --save --quiet " +
                          "--phylogeny " + Dir("tree.nwk") + " --phylogeny=" + Dir("tree.csv") +
                          " --lineage-csv " + Dir("family.csv");
  ASSERT_EQ(0, Run(run + " --frames " + Dir("frames") +
                   " --frame-months 120 --colour-by species --frame-scale 3"))
      << Slurp("err");
  const std::string check = "/usr/bin/python3 " OMBRIVALE_SOURCE_DIR
                            "/tests/tools/check_phylogeny.py " +
                            Dir("w/species.dat") + " " + Dir("tree.nwk") + " " + Dir("tree.csv") +
                            " " + Dir("family.csv") + " " + Dir("frames") + " >" + Dir("check");
  EXPECT_EQ(0, std::system(check.c_str())) << Slurp("check");
  EXPECT_EQ(0u, Slurp("check").find("ok: ")) << Slurp("check");
  EXPECT_NE(std::string::npos, Slurp("check").find("frames 963x303, 3 frames"));
  const std::string trees = Slurp("tree.nwk");
  EXPECT_EQ(2, std::count(trees.begin(), trees.end(), ';')) << trees;

  EXPECT_EQ(2, Run(run + " --frames " + Dir("family.csv") + " --frame-months 1"));
  EXPECT_NE(std::string::npos, Slurp("err").find("cannot make the frames' folder"));
}

}  // namespace
}  // namespace ombrivale::tools
