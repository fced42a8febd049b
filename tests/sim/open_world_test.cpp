#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/session.h"
#include "sim/tick.h"
#include "support/test_world.h"
#include "support/world_digest.h"
#include "world/world_files.h"

namespace ombrivale {
namespace {

namespace fs = std::filesystem;

void Start(testing::TestWorld& t, uint64_t seed, const std::string& folder = {}) {
  StartUpPlan plan;
  plan.loadWorld = !folder.empty();
  plan.worldFolder = folder;
  plan.seed = seed;
  StartUp(t.world, plan);
}

void RunTicks(World& world, int ticks) {
  for (int i = 0; i < ticks; ++i)
    SimulationTick(world);
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Opening a world in place of a running one: refused whole when the folder
// is not a whole world (the running world untouched to the last bit), and
// when it is, the same world a start-up load of the folder gives.
TEST(OpenWorld, RefusesWhatIsNotAWholeWorldAndOpensOneAsStartUpWould) {
  const fs::path root = fs::path(::testing::TempDir()) / "open_world_test";
  fs::remove_all(root);
  fs::create_directories(root / "empty");

  testing::TestWorld saved;
  Start(saved, 3);
  RunTicks(saved.world, 800);
  const fs::path good = root / "good";
  ASSERT_TRUE(SaveWorld(saved.world, good.string()).ok());
  fs::copy(good, root / "damaged");
  { std::ofstream(root / "damaged" / "planet_0.dat", std::ios::binary | std::ios::trunc) << "x"; }
  fs::copy(good, root / "no_animal_file");
  fs::remove(root / "no_animal_file" / "manifest.dat");  // no manifest: each file parsed alone
  for (const auto& entry : fs::directory_iterator(root / "no_animal_file")) {
    if (entry.path().filename().string().rfind("A_", 0) == 0) {
      std::ofstream(entry.path(), std::ios::trunc) << "not an animal\n";
      break;
    }
  }

  testing::TestWorld running;
  Start(running, 9);
  RunTicks(running.world, 300);
  const uint64_t before = testing::WorldDigest(running.world);
  const struct {
    const char* folder;
    const char* named;  // what the refusal must name
  } refused[] = {
      {"missing", "Can't Find Files"},
      {"empty", "planet_0.dat"},
      {"damaged", "planet_0.dat"},
      {"no_animal_file", "A_"},
  };
  for (const auto& c : refused) {
    std::string refusal;
    EXPECT_FALSE(OpenWorld(running.world, (root / c.folder).string(), refusal)) << c.folder;
    EXPECT_NE(std::string::npos, refusal.find(c.named)) << c.folder << ": " << refusal;
    EXPECT_EQ(before, testing::WorldDigest(running.world)) << c.folder;
    EXPECT_TRUE(running.seam.boxes.empty()) << c.folder;  // told by the caller, once
  }

  std::string refusal;
  ASSERT_TRUE(OpenWorld(running.world, good.string(), refusal)) << refusal;
  EXPECT_EQ(good.string(), running.world.AutoSaveFolder);
  EXPECT_EQ("Loaded World", running.Events().messageLines.back());
  EXPECT_EQ(1u, running.Events().loadedWorlds);

  testing::TestWorld fresh;
  Start(fresh, 9, good.string());
  ASSERT_TRUE(SaveWorld(running.world, (root / "opened").string()).ok());
  ASSERT_TRUE(SaveWorld(fresh.world, (root / "started").string()).ok());
  size_t compared = 0;
  for (const auto& entry : fs::directory_iterator(root / "started")) {
    const std::string name = entry.path().filename().string();
    if (name == "manifest.dat") continue;  // numbers its saves
    EXPECT_EQ(Bytes(entry.path()), Bytes(root / "opened" / name)) << name;
    ++compared;
  }
  EXPECT_GT(compared, 5u);

  // A file the world can go without is refused alone: the world opens, and
  // the running world's listener is told, once, by name.
  fs::copy(good, root / "bad_conditions");
  fs::remove(root / "bad_conditions" / "manifest.dat");
  { std::ofstream(root / "bad_conditions" / "conditions.txt") << "food_scale=lots\n"; }
  running.Events();
  running.seam.boxes.clear();
  ASSERT_TRUE(OpenWorld(running.world, (root / "bad_conditions").string(), refusal)) << refusal;
  EXPECT_EQ(1u, running.Events().fileNotices);
  ASSERT_EQ(1u, running.seam.boxes.size());
  EXPECT_EQ("Conditions Not Loaded", running.seam.boxes[0].title);
  EXPECT_EQ(0u, running.seam.boxes[0].text.rfind("conditions.txt could not be read (line 1: ", 0))
      << running.seam.boxes[0].text;
  fs::remove_all(root);
}

}  // namespace
}  // namespace ombrivale
