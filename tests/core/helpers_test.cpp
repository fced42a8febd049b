#include "core/helpers.h"

#include <gtest/gtest.h>

#include "core/numeric.h"

#include <cmath>
#include <limits>

#include "support/test_world.h"

namespace ombrivale {
namespace {

// The rule the fast cell functions must match: |floor(x / 100)| capped.
int LiteralCell(double x, int cap) {
  const double c = std::fabs(std::floor(x / 100.0));
  return c > cap ? cap : static_cast<int>(c);
}

TEST(CellMapping, WholeAndFractionalPositionsFoldAndCapAsTheFloorRule) {
  for (int x = -70000; x <= 70000; ++x) {
    ASSERT_EQ(LiteralCell(x, 320), CellX(x)) << x;
    ASSERT_EQ(LiteralCell(x, 100), CellY(x)) << x;
    ASSERT_EQ(LiteralCell(x, 320), CellX(static_cast<double>(x))) << x;
    ASSERT_EQ(LiteralCell(x, 100), CellY(static_cast<double>(x))) << x;
  }
  for (const double x :
       {-100.5, -100.0000001, -99.9999999, -0.5, -1e-300, 99.99999999999, 199.9999999999999,
        200.0000000001, 31999.5, 32099.9, 1e8, -1e8, 4.5e15, -4.5e15}) {
    EXPECT_EQ(LiteralCell(x, 320), CellX(x)) << x;
    EXPECT_EQ(LiteralCell(x, 100), CellY(x)) << x;
  }
  // Far off the map, and not a number at all: the cap.
  EXPECT_EQ(320, CellX(1e300));
  EXPECT_EQ(100, CellY(-1e300));
  EXPECT_EQ(320, CellX(std::nan("")));
  EXPECT_EQ(320, CellX(std::numeric_limits<int>::min()));
  EXPECT_EQ(100, CellY(std::numeric_limits<int>::max()));
}

TEST(Generator, AReseedMixesTheReadingIntoTheStateRatherThanReplacingIt) {
  testing::TestWorld t;
  ReseedWith(t.world, 1234.5);
  const double first = Rnd(t.world);
  ReseedWith(t.world, 1234.5);
  EXPECT_NE(first, Rnd(t.world));  // the same reading twice still gives new draws
}

// The sign taken from the draw's top bit against the rule's floor(r x 10).
TEST(Generator, RandomSignIsTheRuleOnTheSameDraws) {
  testing::TestWorld fast(7);
  testing::TestWorld literal(7);
  int plus = 0;
  for (int i = 0; i < 200000; ++i) {
    const int16_t sign = RandomSign(fast.world);
    Reseed(literal.world);
    const int k = static_cast<int>(Rnd(literal.world) * 10.0);
    ASSERT_EQ(k <= 4 ? -1 : 1, sign) << i;
    plus += sign > 0;
  }
  EXPECT_NEAR(100000, plus, 1000);
  EXPECT_EQ(fast.world.Rng.state, literal.world.Rng.state);
}

// Rounding without the library call against std::nearbyint: halves, the
// edges of the range where the trick stops, signs, and random values.
TEST(Numeric, RoundHalfEvenIsNearbyint) {
  const double cases[] = {0.5,
                          1.5,
                          2.5,
                          -0.5,
                          -1.5,
                          -2.5,
                          0.49999999999999994,
                          1e15 + 0.5,
                          4503599627370495.5,
                          4503599627370496.0,
                          9007199254740993.0,
                          -4503599627370495.5,
                          1e300,
                          -1e-300,
                          0.0,
                          std::numeric_limits<double>::infinity()};
  for (const double v : cases)
    EXPECT_EQ(std::nearbyint(v), RoundHalfEven(v)) << v;
  EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
  testing::TestWorld t(3);
  for (int i = 0; i < 100000; ++i) {
    const double v = (Rnd(t.world) - 0.5) * std::ldexp(1.0, i % 60);
    ASSERT_EQ(std::nearbyint(v), RoundHalfEven(v)) << v;
  }
}

}  // namespace
}  // namespace ombrivale
