// Replays the settings fuzz corpus through the fuzz target's own check.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/settings_fuzz.h"

namespace ombrivale {
namespace {

TEST(SettingsFuzzCorpus, EveryInputReadsAndRoundTrips) {
  const std::filesystem::path folder =
      std::filesystem::path(OMBRIVALE_SOURCE_DIR) / "fuzz" / "corpus" / "settings";
  ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    EXPECT_TRUE(fuzz::SettingsFuzzOne(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
        << entry.path();
    ++inputs;
  }
  EXPECT_GT(inputs, 0);
}

}  // namespace
}  // namespace ombrivale
