// ombrivale-run killed at random moments of --autosave runs, each run going
// on from the folder the last kill left: after every kill the folder is one
// whole save. Every file its manifest lists is there with its size and
// checksum, and it loads without a single message box. With --savepoints,
// every savepoint listed also loads. And the savepoints a seeded run keeps.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "support/test_world.h"
#include "support/world_files_support.h"
#include "world/manifest.h"
#include "world/safe_folder.h"
#include "world/savepoint.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

using Clock = std::chrono::steady_clock;
using testing::ReadFileText;
using testing::ScratchFolder;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kKills = 16;  // a run under the sanitizers starts and ticks some five times slower
#else
constexpr int kKills = 50;
#endif

// Starts the runner built beside this test with `args`, its output thrown
// away.
pid_t StartRunner(const std::vector<std::string>& args) {
  std::string program = OMBRIVALE_BINARY_DIR "/tools/ombrivale-run";
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::dup2(null, STDERR_FILENO);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  return child;
}

// The runner's exit status, or -1 when it did not exit.
int RunToEnd(const std::vector<std::string>& args) {
  int status = 0;
  ::waitpid(StartRunner(args), &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What the runner prints on standard output.
std::string Output(const std::string& args) {
  std::string text;
  FILE* pipe = ::popen((OMBRIVALE_BINARY_DIR "/tools/ombrivale-run " + args).c_str(), "r");
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    text.append(buffer, n);
  ::pclose(pipe);
  return text;
}

bool Exists(const std::string& path) {
  return ::access(path.c_str(), F_OK) == 0;
}

// "" when every file the folder's manifest lists is there with its size
// and checksum, else what is not.
std::string CheckAgainstManifest(const std::string& folder) {
  Manifest manifest;
  if (const Status error = ParseManifest(ReadFileText(folder + "/manifest.dat"), manifest);
      !error.ok()) {
    return "manifest.dat: " + ErrorDescription(error);
  }
  const ManifestIndex index(manifest);
  for (const ManifestEntry& file : manifest.files) {
    const std::string path = folder + "/" + file.name;
    if (!Exists(path)) return file.name + ": missing";
    if (const Status error = CheckListedFile(index, file.name, ReadFileText(path)); !error.ok()) {
      return file.name + ": " + ErrorDescription(error);
    }
  }
  return "";
}

// The sequence number of the save in `folder` (its manifest's first line);
// 0 when there is none.
uint64_t SequenceOf(const std::string& folder) {
  const std::string text = ReadFileText(folder + "/manifest.dat");
  uint64_t sequence = 0;
  std::from_chars(text.data(), text.data() + text.size(), sequence);
  return sequence;
}

// "" when every savepoint of `folder` extracts and loads without a box.
// `newest`: the highest number, which a kill never takes back.
std::string CheckSavepoints(const std::string& folder, const std::string& scratch, size_t& count,
                            uint64_t& newest) {
  std::vector<SavepointInfo> all;
  if (const Status error = ListSavepoints(folder, all); !error.ok()) return error.ToString();
  count = all.size();
  if (!all.empty() && all.back().number < newest) return "a savepoint was lost";
  if (!all.empty()) newest = all.back().number;
  PosixFileSystem files;
  for (size_t i = 0; i < all.size(); ++i) {
    const std::string into = scratch + "/sp" + std::to_string(i);
    if (const Status error = ExtractSavepoint(files, all[i].path, into); !error.ok())
      return error.ToString();
    testing::TestWorld loaded;
    if (!LoadWorld(loaded.world, into) || !loaded.seam.boxes.empty()) return all[i].path;
    if (const std::string fault = CheckAgainstManifest(into); !fault.empty()) return fault;
    RemoveFolderTree(files, into);
  }
  return "";
}

TEST(SaveKill, EveryKillDuringAutosaveRunsLeavesOneWholeSave) {
  ScratchFolder scratch;
  const std::string folder = scratch.AutoSave();
  const FolderSiblings siblings = SiblingsOf(folder);
  // A world of two founders, then 300 eggs of their kind: a full table
  // within seven years, whose births and deaths empty and fill slots, so
  // that saves carry animal files over.
  ASSERT_EQ(0, RunToEnd({"--world", folder, "--new", "--seed", "5", "--save", "--quiet"}));
  std::vector<std::string> args = {"--world", folder,   "--seed",  "5",       "--years",
                                   "7",       "--save", "--quiet", "--import"};
  for (int egg = 0; egg < 150; ++egg) {
    args.push_back(folder + "/A_1.OBG");
    args.push_back(folder + "/A_2.OBG");
  }
  ASSERT_EQ(0, RunToEnd(args));

  // How long two years take here, load included: the span the kills are
  // spread over. Only where the kills fall depends on it, not the verdict.
  const auto start = Clock::now();
  ASSERT_EQ(0,
            RunToEnd({"--world", folder, "--seed", "6", "--years", "2", "--autosave", "--quiet"}));
  const int64_t span =
      std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();

  const int64_t year = span / 2;

  std::mt19937_64 random(20261207);
  const auto upTo = [&random](int64_t high) {
    return std::uniform_int_distribution<int64_t>(0, high)(random);
  };
  int whole = 0;
  int duringSaves = 0;
  for (int kill = 0; kill < kKills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    const uint64_t before = SequenceOf(folder);
    const pid_t child = StartRunner({"--world", folder, "--seed", std::to_string(100 + kill),
                                     "--years", "1000", "--autosave", "--quiet"});
    ASSERT_GT(child, 0);
    // Up to two whole saves first: a fault that builds up from save to
    // save (a file shared between the folder and the spare one) has the
    // saves to build up in.
    const int64_t saves = upTo(2);
    const auto waitFor = [](const auto& done, int64_t micros) {
      const auto deadline = Clock::now() + std::chrono::microseconds(micros);
      while (!done() && Clock::now() < deadline)
        ::usleep(1000);
    };
    waitFor([&] { return SequenceOf(folder) >= before + saves; }, (saves + 1) * span);
    if (kill % 2 == 0) {
      ::usleep(static_cast<useconds_t>(upTo(year)));  // anywhere in the next year
    } else {
      // Soon after the next save has begun writing.
      waitFor([&] { return Exists(siblings.saving); }, span);
      ::usleep(static_cast<useconds_t>(upTo(30000)));
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the run ended by itself: " << status;

    duringSaves += !Exists(folder) || Exists(siblings.saving) || Exists(siblings.ready) ||
                   Exists(siblings.old);
    PosixFileSystem files;
    ASSERT_TRUE(RecoverFolder(files, folder).ok());  // as the next load does first
    const std::string fault = CheckAgainstManifest(folder);
    EXPECT_EQ("", fault);
    testing::TestWorld loaded;
    const bool loads = LoadWorld(loaded.world, folder) && loaded.seam.boxes.empty();
    EXPECT_TRUE(loads);
    whole += fault.empty() && loads;
  }
  std::printf("%d of %d kills left one whole save; %d cut a save short (a year: %.0f ms)\n", whole,
              kKills, duringSaves, static_cast<double>(year) / 1000);
  EXPECT_EQ(kKills, whole);
}

TEST(SaveKill, EveryKillWithSavepointsLeavesTheWorldAndEverySavepointLoadable) {
  ScratchFolder scratch;
  const std::string folder = scratch.AutoSave();
  std::mt19937_64 random(20261208);
  int whole = 0;
  size_t count = 0;
  uint64_t newest = 0;
  constexpr int kSavepointKills = 20;
  for (int kill = 0; kill < kSavepointKills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    const pid_t child = StartRunner({"--world", folder, "--seed", std::to_string(kill), "--years",
                                     "1000", "--savepoints", "--quiet"});
    ::usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(50, 600)(random)) * 1000);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended by itself: " << status;
    PosixFileSystem files;
    ASSERT_TRUE(RecoverFolder(files, folder).ok());
    testing::TestWorld loaded;
    const bool loads = !Exists(folder + "/manifest.dat") ||
                       (CheckAgainstManifest(folder).empty() && LoadWorld(loaded.world, folder) &&
                        loaded.seam.boxes.empty());
    const std::string fault = CheckSavepoints(folder, scratch.path, count, newest);
    EXPECT_TRUE(loads);
    EXPECT_EQ("", fault);
    whole += loads && fault.empty();
  }
  std::printf("%d of %d kills left the world and its %zu savepoints loadable\n", whole,
              kSavepointKills, count);
  EXPECT_EQ(kSavepointKills, whole);
  // How many a run writes before its kill depends on the machine's speed;
  // none at all would leave the test nothing to check.
  EXPECT_GE(count, 1u);
}

TEST(Savepoints, SixtyYearsKeepWhatTheRulesSayAndASavepointRunsOnAsItsSave) {
  ScratchFolder scratch;
  const std::string a = scratch.path + "/A", b = scratch.path + "/B", c = scratch.path + "/C";
  // Seed 4 dies out in its tenth year: a restart, whose calendar begins again.
  ASSERT_EQ(0, RunToEnd({"--world", a, "--new", "--seed", "4", "--years", "60", "--savepoints",
                         "--quiet"}));
  EXPECT_EQ(
      "1-1 decade\n10-1 decade\n10-6 extinction\n1-1 decade\n10-1 decade\n14-3 species\n"
      "20-1 decade\n21-1 species\n30-1 decade\n40-1 decade\n41-1 yearly\n42-1 yearly\n"
      "43-1 yearly\n44-1 yearly\n45-1 yearly\n46-1 yearly\n47-1 yearly\n48-1 yearly\n"
      "49-1 yearly\n50-1 yearly\n",
      Output("--world " + a + " --list-savepoints"));
  // Within a cap of 1 MB the newest stay.
  ASSERT_EQ(0, RunToEnd({"--world", c, "--new", "--seed", "4", "--years", "60", "--savepoints",
                         "--savepoint-cap", "1", "--quiet"}));
  std::vector<SavepointInfo> capped;
  ASSERT_TRUE(ListSavepoints(c, capped).ok());
  uint64_t bytes = 0;
  for (const SavepointInfo& info : capped)
    bytes += info.bytes;
  EXPECT_LE(bytes, uint64_t{1} << 20);
  EXPECT_GE(capped.size(), 5u);
  EXPECT_EQ("50-1 yearly", SavepointLine(capped.back()));

  // The same run to the yearly save of 41-1: the savepoint holds its files.
  ASSERT_EQ(0, RunToEnd({"--world", b, "--new", "--seed", "4", "--years", "51", "--autosave",
                         "--quiet"}));
  std::vector<SavepointInfo> all;
  ASSERT_TRUE(ListSavepoints(a, all).ok());
  const auto at41 = std::find_if(all.begin(), all.end(), [](const SavepointInfo& info) {
    return SavepointLine(info) == "41-1 yearly";
  });
  ASSERT_NE(all.end(), at41);
  PosixFileSystem files;
  std::vector<std::pair<std::string, std::string>> contents;
  ASSERT_TRUE(ReadSavepoint(files, at41->path, contents).ok());
  EXPECT_GT(contents.size(), 10u);
  for (const auto& [name, text] : contents)
    EXPECT_TRUE(text == ReadFileText(b + "/" + name)) << name;
  // Run on from the savepoint and from the saved folder: the same world.
  ASSERT_EQ(0, RunToEnd({"--world", a, "--savepoint", "41-1", "--seed", "2", "--years", "3",
                         "--save", "--quiet", "--stats", a + ".csv"}));
  ASSERT_EQ(0, RunToEnd({"--world", b, "--seed", "2", "--years", "3", "--save", "--quiet",
                         "--stats", b + ".csv"}));
  EXPECT_TRUE(ReadFileText(a + ".csv") == ReadFileText(b + ".csv"));
  for (const char* name : {"planet_0.dat", "lineage.dat", "stats.csv", "manifest.dat"})
    EXPECT_TRUE(ReadFileText(a + "/" + name) == ReadFileText(b + "/" + name)) << name;

  // A damaged savepoint is refused, named; the runner starts from none.
  const std::string good = ReadFileText(at41->path);
  const std::string damaged[] = {good.substr(0, good.size() - 9), good.substr(0, 40),
                                 good.substr(0, good.size() - 20) + std::string(20, 'x'),
                                 "OMBRIVALE SAVEPOINT 2" + good.substr(21)};
  for (const std::string& bad : damaged) {
    ASSERT_TRUE(WriteWholeFile(files, at41->path, bad, false).ok());
    const Status refused = ReadSavepoint(files, at41->path, contents);
    EXPECT_EQ(Status::Code::kCorruption, refused.code()) << refused.ToString();
    EXPECT_EQ(at41->path, refused.file());
    EXPECT_EQ(1, RunToEnd({"--world", a, "--savepoint", "41-1", "--ticks", "1"}));
  }
  EXPECT_EQ(1, RunToEnd({"--world", a, "--savepoint", "no such label", "--ticks", "1"}));
}

// With --go-back the dead world of 10-6 goes back to the yearly savepoint of
// 9-1; dead again at 10-7, within a year, it goes back further each time
// (8-1, then 7-1) rather than to the same end. Every dead world and every
// year left behind is kept on another branch, the statistics mark the going
// back, and a seeded run is reproducible.
TEST(Savepoints, ADeadWorldGoesBackAYearAndKeepsItsDeathOnAnotherBranch) {
  ScratchFolder scratch;
  const std::string a = scratch.path + "/A", b = scratch.path + "/B";
  for (const std::string& world : {a, b}) {
    ASSERT_EQ(0, RunToEnd({"--world", world, "--new", "--seed", "4", "--years", "14",
                           "--savepoints", "--go-back", "--quiet"}));
  }
  const std::string listed = Output("--world " + a + " --list-savepoints");
  EXPECT_EQ(listed, Output("--world " + b + " --list-savepoints"));
  EXPECT_EQ(
      "1-1 yearly\n2-1 yearly\n3-1 yearly\n4-1 yearly\n5-1 yearly\n6-1 yearly\n7-1 yearly\n"
      "8-1 branch yearly\n9-1 branch yearly\n10-1 branch yearly\n10-6 branch extinction\n"
      "10-1 branch yearly\n10-7 branch extinction\n9-1 branch yearly\n10-1 branch yearly\n"
      "10-7 branch extinction\n8-1 yearly\n",
      listed);
  for (const char* name : {"planet_0.dat", "lineage.dat", "stats.csv", "manifest.dat"})
    EXPECT_TRUE(ReadFileText(a + "/" + name) == ReadFileText(b + "/" + name)) << name;
  // The statistics' last column: 2 where the world went back.
  const std::string stats = ReadFileText(a + "/stats.csv");
  EXPECT_NE(std::string::npos, stats.find(",2\n")) << "no going back in the statistics";
  EXPECT_EQ(2, RunToEnd({"--world", a, "--go-back", "--ticks", "1"}));  // without --savepoints
}

}  // namespace
}  // namespace ombrivale
