// The Play God window's search: the living animals that share up to four
// commonly asked-about traits.
#pragma once

#include <array>
#include <vector>

#include "core/world.h"

namespace ombrivale {

// The entries of the four search lists after "[Ignore]"; list entry k >= 1
// stands for gene value k - 1 (walking: 1 bipedal, 2 bipedaloid, 3 neither).
inline constexpr const char* kIgnoreEntry = "[Ignore]";
inline constexpr const auto& kCoveringEntries = kCoveringNames;
inline constexpr std::array<const char*, 3> kWalkingEntries = {"Bipedal", "Bipedaloid", "Neither"};
inline constexpr const auto& kDietEntries = kDietNames;
inline constexpr const auto& kBreathingEntries = kBreathingMethodNames;

// The selected entry of each list: -1 when nothing is selected, 0 for
// "[Ignore]"; both let every animal pass that test.
struct PlayGodQuery {
  int covering = 0;   // Combo_Cov
  int walking = 0;    // Combo_Walk
  int diet = 0;       // Combo_Diet
  int breathing = 0;  // Combo_Breath
};

struct PlayGodResult {
  std::vector<int> found;  // the matching slots, ascending
  int living = 0;          // every occupied slot, eggs included, listed or not
};

// "&Find Them". An egg is compared through its infant genes, and it is neither
// bipedal nor bipedaloid (the walking tests fail for eggs), so "Neither" takes
// every egg.
PlayGodResult FindThem(const World& world, const PlayGodQuery& query);

}  // namespace ombrivale
