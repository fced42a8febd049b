#include "core/helpers.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace ombrivale
