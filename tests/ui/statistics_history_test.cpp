// The statistics window over a long history: restarts at their months, the
// newest point taken again as it gathers months, whole-number axes.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineSeries>
#include <QTabBar>
#include <QTest>
#include <QValueAxis>

#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

MonthSample Month(uint64_t n, bool restart) {
  MonthSample s;
  s.year = static_cast<int32_t>(n / 12);
  s.month = static_cast<int16_t>(n % 12 + 1);
  s.population = static_cast<int32_t>(n + 1);  // rising: the thinned line keeps the last
  s.restart = restart;
  return s;
}

// A paused window whose world has `months` months of history pushed
// directly, a restart at each month of `restarts`.
struct LongHistory {
  explicit LongHistory(uint64_t months, const std::vector<uint64_t>& restarts) {
    t.window->StartUp();
    t.window->Run().SetPaused(true);
    t.seam().ClearBoxes();
    History& history = t.world().history;
    history = History{};
    for (uint64_t n = 0; n < months; ++n)
      Push(n, std::find(restarts.begin(), restarts.end(), n) != restarts.end());
  }
  void Push(uint64_t n, bool restart) { AppendSample(t.world().history, Month(n, restart)); }

  TestMainWindow t;
};

const QValueAxis* Axis(ui::StatisticsWindow& window, Qt::Orientation orientation) {
  return qobject_cast<const QValueAxis*>(window.Chart().axes(orientation).value(0));
}

// Regression: restarts vanished or were drawn at the end of the merged
// sample that swallowed them, and "This world: N months" counted samples of
// every world. A restart is drawn at its own month.
TEST(StatisticsHistoryTest, RestartsOfTenThousandYearsAreDrawnAtTheirMonths) {
  const std::vector<uint64_t> restarts = {0, 10007, 55555, 100001, 119990};
  LongHistory h(12 * 10000, restarts);
  ui::StatisticsWindow& statistics = h.t.window->Statistics();
  h.t.window->ShowStatistics();
  statistics.SetPage(0);
  statistics.Refresh();
  std::vector<double> drawn = statistics.View().restarts;
  std::vector<double> expected;
  for (size_t i = 1; i < restarts.size(); ++i)  // the first at 0 is the axis itself
    expected.push_back(static_cast<double>(restarts[i]) / 12);
  ASSERT_EQ(expected.size(), drawn.size());
  for (size_t i = 0; i < drawn.size(); ++i)
    EXPECT_NEAR(expected[i], drawn[i], 1e-9) << i;
  EXPECT_NE(nullptr, statistics.Series(QStringLiteral("World restarted")));
  EXPECT_GE(Axis(statistics, Qt::Horizontal)->max(), 10000.0);
  const QLabel* source = statistics.findChild<QLabel*>(QStringLiteral("StatisticsSource"));
  ASSERT_NE(nullptr, source);
  EXPECT_EQ(QStringLiteral("Whole history: 120000 months since it began"), source->text());

  // The genes page marks the same restarts; a click on the Deaths tab and
  // back shows them again.
  statistics.SetPage(statistics.GenesPage());
  EXPECT_EQ(expected.size(), statistics.View().restarts.size());
  QTabBar* tabs = statistics.findChild<QTabBar*>(QStringLiteral("StatisticsPages"));
  ASSERT_NE(nullptr, tabs);
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  EXPECT_EQ(1, statistics.Page());
  EXPECT_EQ(expected.size(), statistics.View().restarts.size());
}

TEST(StatisticsHistoryTest, TheNewestPointIsTakenAgainAsItGathersMonths) {
  LongHistory h(kHistoryCapacity + 1, {0});  // grain 2: 4,097 points
  ui::StatisticsWindow& statistics = h.t.window->Statistics();
  h.t.window->ShowStatistics();
  statistics.SetPage(0);
  statistics.Refresh();
  const History& history = h.t.world().history;
  ASSERT_EQ(2u, history.grain);
  const QLineSeries* total = statistics.Series(QStringLiteral("Total"));
  ASSERT_NE(nullptr, total);
  const qsizetype points = total->count();
  EXPECT_LE(points, 1300);  // drawn thinned out, a few per column
  // One month more: the newest point gathers it; its value is the new one.
  h.Push(kHistoryCapacity + 1, false);
  statistics.Refresh();
  EXPECT_EQ(kHistoryCapacity / 2 + 1, history.samples.size());
  EXPECT_EQ(static_cast<double>(Month(kHistoryCapacity + 1, false).population),
            total->points().back().y());
  // A new point, then a restart mid-grain: its own point, drawn at its month.
  h.Push(kHistoryCapacity + 2, false);
  h.Push(kHistoryCapacity + 3, true);
  statistics.Refresh();
  ASSERT_EQ(1u, statistics.View().restarts.size());
  EXPECT_NEAR(static_cast<double>(kHistoryCapacity + 3) / 12, statistics.View().restarts[0], 1e-9);
}

// Regression: a population of 0 labelled its axis "0 0 0 1 1 1".
TEST(StatisticsHistoryTest, AnEmptyWorldsAxisTicksAtWholeNumbers) {
  LongHistory h(3, {0});
  for (MonthSample& s : h.t.world().history.samples)
    s = MonthSample{};
  ui::StatisticsWindow& statistics = h.t.window->Statistics();
  h.t.window->ShowStatistics();
  for (const int page : {0, 6, 7}) {  // population, species, generations
    statistics.SetPage(page);
    const QValueAxis* y = Axis(statistics, Qt::Vertical);
    ASSERT_NE(nullptr, y);
    EXPECT_EQ(QValueAxis::TicksDynamic, y->tickType()) << page;
    EXPECT_EQ(1.0, y->tickInterval()) << page;
    EXPECT_EQ(0.0, y->min()) << page;
    EXPECT_EQ(1.0, y->max()) << page;
    EXPECT_EQ(QStringLiteral("%.0f"), y->labelFormat()) << page;
  }
  statistics.SetPage(5);  // the scores take decimals
  EXPECT_EQ(QStringLiteral("%.1f"), Axis(statistics, Qt::Vertical)->labelFormat());
}

}  // namespace
}  // namespace ombrivale::testing
