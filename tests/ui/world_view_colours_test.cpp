// The world view's colours, computed without painting.
#include <gtest/gtest.h>

#include <climits>

#include "ui/world_view_colours.h"

namespace ombrivale::testing {
namespace {

TEST(WorldViewColours, FoodColoursGrowWithTheAmountAndHoldAtTheirLimits) {
  struct Case {
    int32_t terrain, kind, amount;
    uint32_t expected;
  };
  constexpr uint32_t kPrevious = Rgb(1, 2, 3);
  const Case cases[] = {
      {kWater, kSeaScum, 0, Rgb(0, 0, 128)},  // 127.5 rounds to the even 128
      {kSky, kLandVegetation, 0, Rgb(0, 128, 255)},
      {kWater, kSeaScum, 10000, Rgb(0, 255, 255)},
      {kSky, kLandVegetation, 10000, Rgb(128, 128, 0)},
      {kWater, kMeat, 10000, Rgb(128, 0, 0)},
      {kSky, kLandVegetation, 20000, Rgb(255, 128, 0)},    // red pushed up to 255
      {kSky, kLandVegetation, 8421505, Rgb(255, 128, 0)},  // products past 32 bits
      {kWater, kMeat, INT32_MAX, Rgb(255, 0, 0)},
      {kSky, kMeat, INT32_MIN, Rgb(128, 255, 255)},  // eaten below 0: held at 0 and 255
      {kWater, kSeaScum, 5000, Rgb(0, 128, 192)},    // 127.5 -> 128; 128 + 63.75 -> 192
      {kSky, kNoFood, 77, Rgb(128, 128, 255)},
      {7, kNoFood, 0, kPrevious},  // codes that fit no rule keep the cell drawn before
      {kSky, 5, 0, kPrevious},
      {3, kMeat, 0, kPrevious},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, ui::CellColour(c.terrain, c.kind, c.amount, kPrevious))
        << c.terrain << " " << c.kind << " " << c.amount;
  }
}

}  // namespace
}  // namespace ombrivale::testing
