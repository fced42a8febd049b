// Recording the mini map and the statistics page as numbered frames while
// the world runs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTest>

#include "ui/mini_map.h"
#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

QStringList Frames(const QString& folder) {
  return QDir(folder).entryList({QStringLiteral("frame-*.png")}, QDir::Files, QDir::Name);
}

TEST(RecordingTest, TheMapIsRecordedEveryFewMonthsUntilStoppedReplacingOnlyWhenAsked) {
  TestMainWindow t(TestMainWindow::StartedPaused{});
  QTemporaryDir out;
  const QString folder = out.filePath(QStringLiteral("frames"));
  ASSERT_TRUE(QDir().mkpath(folder));
  QFile old(folder + QStringLiteral("/frame-000007.png"));  // an earlier recording
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.close();
  t.window->askRecordFrames = [&](QString& chosen, int& months) {
    chosen = folder;
    months = 3;
    return true;
  };
  QAction* record = t.window->Action("menu_file_record");
  const auto stepMonths = [&](int months) {
    for (int month = 0; month < months; ++month)
      t.window->Action("menu_run_step_month")->trigger();
  };

  t.seam().ScriptAnswers({Answer::No});  // keep the old frames: nothing starts
  record->trigger();
  EXPECT_EQ("Recor&d Frames...", record->text());
  EXPECT_EQ(QStringList({"frame-000007.png"}), Frames(folder));

  t.seam().ScriptAnswers({Answer::Yes});
  record->trigger();
  EXPECT_EQ("Stop Recor&ding", record->text());
  stepMonths(7);
  record->trigger();
  EXPECT_EQ("Recor&d Frames...", record->text());
  stepMonths(3);
  ASSERT_TRUE(t.window->MapFrames()->Flush());
  // At the start and after months 3 and 6; the old frame is gone.
  EXPECT_EQ(QStringList({"frame-000000.png", "frame-000001.png", "frame-000002.png"}),
            Frames(folder));
  EXPECT_EQ(t.window->MiniMap().size(),
            QImage(folder + QStringLiteral("/frame-000002.png")).size());
}

TEST(RecordingTest, AFrameThatCannotBeWrittenStopsTheChartsRecordingWithAMessage) {
  TestMainWindow t(TestMainWindow::StartedPaused{});
  QTemporaryDir out;
  ASSERT_TRUE(QDir(out.path()).mkdir(QStringLiteral("frame-000001.png")));  // not a file
  t.window->ShowStatistics();
  ui::StatisticsWindow& statistics = t.window->Statistics();
  statistics.askRecord = [&](QString& chosen, int& months) {
    chosen = out.path();
    months = 1;
    return true;
  };
  auto* button = statistics.findChild<QPushButton*>(QStringLiteral("Record"));
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ("Stop &Recording", button->text());
  t.window->Action("menu_run_step_month")->trigger();
  EXPECT_FALSE(statistics.Frames()->Flush());
  t.seam().ClearBoxes();
  t.window->Action("menu_run_step_month")->trigger();
  ASSERT_EQ(1u, t.seam().Boxes().size());
  EXPECT_EQ("ERROR", t.seam().Boxes()[0].title);
  EXPECT_NE(std::string::npos, t.seam().Boxes()[0].text.find("frame-000001.png could not be"));
  EXPECT_NE(std::string::npos, t.seam().Boxes()[0].text.find("stopped after 1 frames"));
  EXPECT_EQ("&Record...", button->text());
  EXPECT_EQ(QStringList({"frame-000000.png"}), Frames(out.path()));
}

}  // namespace
}  // namespace ombrivale::testing
