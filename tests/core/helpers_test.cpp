#include "core/helpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

#include "support/test_world.h"

namespace ombrivale {
namespace {

TEST(CellMapping, FoldsNegativesAndCapsAtTheEdges) {
  struct Case {
    double position;
    int column;
    int row;
  };
  const Case cases[] = {
      {0, 0, 0},         {99, 0, 0},        {100, 1, 1},       {-1, 1, 1},
      {-100, 1, 1},      {-101, 2, 2},      {9999, 99, 99},    {10000, 100, 100},
      {10099, 100, 100}, {32000, 320, 100}, {40000, 320, 100}, {99.999, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.column, CellX(c.position)) << c.position;
    EXPECT_EQ(c.row, CellY(c.position)) << c.position;
  }
}

// The reference the fast cell functions must match: |floor(x / 100)| with
// std::floor, capped.
int ReferenceCell(double x, int cap) {
  const double c = std::fabs(std::floor(x / 100.0));
  return c > cap ? cap : static_cast<int>(c);
}

TEST(CellMapping, WholeAndFractionalPositionsMatchTheFloorRule) {
  for (int x = -70000; x <= 70000; ++x) {
    ASSERT_EQ(ReferenceCell(x, 320), CellX(x)) << x;
    ASSERT_EQ(ReferenceCell(x, 100), CellY(x)) << x;
    ASSERT_EQ(ReferenceCell(x, 320), CellX(static_cast<double>(x))) << x;
    ASSERT_EQ(ReferenceCell(x, 100), CellY(static_cast<double>(x))) << x;
  }
  const double fractions[] = {-100.5,
                              -100.0000001,
                              -99.9999999,
                              -0.5,
                              -1e-300,
                              0.5,
                              99.5,
                              99.99999999999,
                              199.9999999999999,
                              200.0000000001,
                              31999.5,
                              32099.9,
                              1e8,
                              -1e8,
                              4.5e15,
                              -4.5e15};
  for (const double x : fractions) {
    EXPECT_EQ(ReferenceCell(x, 320), CellX(x)) << x;
    EXPECT_EQ(ReferenceCell(x, 100), CellY(x)) << x;
  }
  // Far off the map, and not a number at all: the cap.
  EXPECT_EQ(320, CellX(1e300));
  EXPECT_EQ(100, CellY(-1e300));
  EXPECT_EQ(320, CellX(std::nan("")));
  EXPECT_EQ(320, CellX(std::numeric_limits<int>::min()));
  EXPECT_EQ(100, CellY(std::numeric_limits<int>::max()));
}

TEST(DistanceTest, IsSymmetricAndExactOnAThreeFourFiveTriangle) {
  EXPECT_EQ(5.0, Distance(0, 0, 3, 4));
  EXPECT_EQ(Distance(7, -2, 1, 9), Distance(1, 9, 7, -2));
  EXPECT_EQ(0.0, Distance(5, 5, 5, 5));
}

TEST(RandomSignTest, IsNeverZeroAndRoughlyFair) {
  testing::TestWorld t(7);
  int plus = 0;
  for (int i = 0; i < 20000; ++i) {
    const int s = RandomSign(t.world);
    ASSERT_TRUE(s == -1 || s == 1);
    plus += s == 1;
  }
  EXPECT_NEAR(plus / 20000.0, 0.5, 0.03);
}

TEST(Generator, SameSeedSameDrawsDifferentSeedDifferentDraws) {
  testing::TestWorld a(42), b(42), c(43);
  bool differs = false;
  for (int i = 0; i < 100; ++i) {
    Reseed(a.world);
    Reseed(b.world);
    Reseed(c.world);
    const double ra = Rnd(a.world);
    ASSERT_EQ(ra, Rnd(b.world));
    differs |= ra != Rnd(c.world);
    ASSERT_GE(ra, 0.0);
    ASSERT_LT(ra, 1.0);
  }
  EXPECT_TRUE(differs);
}

TEST(Generator, ReseedWithTheSameReadingStillGivesNewDraws) {
  testing::TestWorld t(1);
  ReseedWith(t.world, 1234.5);
  const double first = Rnd(t.world);
  ReseedWith(t.world, 1234.5);
  EXPECT_NE(first, Rnd(t.world));
}

}  // namespace
}  // namespace ombrivale

namespace ombrivale {
namespace {

TEST(TimeOfDay, ReadsSecondsSinceLocalMidnight) {
  World world;
  UseTimeOfDay(world);
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  const double expected = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
  const double reading = ReadClock(world);
  ASSERT_GE(reading, 0.0);
  ASSERT_LT(reading, 86400.0);
  // The coarse clock may lag by a few milliseconds; a midnight in between
  // wraps the difference.
  const double difference = std::fabs(reading - expected);
  EXPECT_TRUE(difference < 3.0 || difference > 86400.0 - 3.0) << reading << " vs " << expected;
  // A later reading after a stale midnight (as after the day changes) is
  // still within the day.
  world.RandomClock.localMidnight -= 86400;
  const double next = ReadClock(world);
  EXPECT_GE(next, 0.0);
  EXPECT_LT(next, 86400.0);
}

}  // namespace
}  // namespace ombrivale
