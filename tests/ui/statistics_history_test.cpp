// The statistics window over a long history: restarts at their months, the
// newest point taken again as it gathers months.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineSeries>
#include <QTabBar>
#include <QTest>
#include <QValueAxis>

#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

// A paused window showing the statistics of `months` months pushed
// directly, with a restart at each month of `restarts`.
struct LongHistory {
  LongHistory(uint64_t months, const std::vector<uint64_t>& restarts) {
    t.window->StartUp();
    t.window->Run().SetPaused(true);
    t.world().history = History{};
    for (uint64_t n = 0; n < months; ++n)
      Push(n, std::find(restarts.begin(), restarts.end(), n) != restarts.end());
    t.window->ShowStatistics();
    statistics.SetPage(0);
    statistics.Refresh();
  }
  void Push(uint64_t n, bool restart) {
    MonthSample s;
    s.population = static_cast<int32_t>(n + 1);  // rising: a thinned line keeps the last
    s.restart = restart;
    AppendSample(t.world().history, s);
  }

  TestMainWindow t;
  ui::StatisticsWindow& statistics = t.window->Statistics();
};

// Regression: restarts vanished or were drawn at the end of the merged
// sample that swallowed them, and "This world: N months" counted every
// world's months. A restart is drawn at its own month, the page clicked too.
TEST(StatisticsHistoryTest, RestartsOfTenThousandYearsAreDrawnAtTheirMonths) {
  LongHistory h(12 * 10000, {0, 10007, 55555, 100001, 119990});
  const auto expectDrawn = [&h] {  // twelfths of a year: exact in a double
    EXPECT_EQ((std::vector<double>{10007 / 12.0, 55555 / 12.0, 100001 / 12.0, 119990 / 12.0}),
              h.statistics.View().restarts);
  };
  expectDrawn();
  EXPECT_GE(qobject_cast<QValueAxis*>(h.statistics.Chart().axes(Qt::Horizontal)[0])->max(),
            10000.0);
  EXPECT_EQ("Whole history: 120000 months since it began",
            h.statistics.findChild<QLabel*>(QStringLiteral("StatisticsSource"))->text());
  QTabBar* tabs = h.statistics.findChild<QTabBar*>(QStringLiteral("StatisticsPages"));
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());  // Deaths
  EXPECT_EQ(1, h.statistics.Page());
  expectDrawn();
}

TEST(StatisticsHistoryTest, TheNewestPointIsTakenAgainAsItGathersMonths) {
  LongHistory h(kHistoryCapacity + 1, {0});  // the grain doubled: 4,097 points
  const QLineSeries* total = h.statistics.Series(QStringLiteral("Total"));
  const qsizetype drawn = total->count();
  h.Push(kHistoryCapacity + 1, false);  // gathered into the newest point
  h.statistics.Refresh();
  EXPECT_EQ(drawn, total->count());
  EXPECT_EQ(kHistoryCapacity + 2.0, total->points().back().y());
  h.Push(kHistoryCapacity + 2, false);
  h.Push(kHistoryCapacity + 3, true);  // mid-grain: a point of its own, at its month
  h.statistics.Refresh();
  EXPECT_EQ(std::vector<double>{(kHistoryCapacity + 3) / 12.0}, h.statistics.View().restarts);
}

}  // namespace
}  // namespace ombrivale::testing
