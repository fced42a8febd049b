// The statistics window and the "&Run" menu: pause, steps, Fast, the charts,
// the export, the history across a save and a start, the kept choices.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui_test_support.h"
#include "world/history_file.h"
#include "world/statistics_files.h"

namespace ombrivale::testing {
namespace {

// Runs the event loop until `done` or 20 seconds have passed.
template <class Condition>
bool Spin(Condition done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

// A started window whose timers are left to the run control.
void Start(TestMainWindow& t) {
  t.window->StartUp();
  t.seam().ClearBoxes();
  t.world().AutoSave = 0;
}

qsizetype Points(ui::StatisticsWindow& window, const char* series) {
  const QLineSeries* line = window.Series(QString::fromLatin1(series));
  return line != nullptr ? line->count() : -1;
}

TEST(RunControlTest, PauseFreezesTheTicksWhileTheWindowsAnswerAndStepsAreExact) {
  TestMainWindow t;
  Start(t);
  World& world = t.world();
  ui::RunControl& run = t.window->Run();
  ASSERT_TRUE(Spin([&] { return world.TickCount > 20; }));

  t.window->Action("menu_run_pause")->trigger();
  EXPECT_TRUE(run.Paused());
  EXPECT_EQ("&Resume", t.window->Action("menu_run_pause")->text());
  const uint64_t ticks = world.TickCount;
  bool answered = false;
  QTimer::singleShot(100, [&] {
    t.window->Action("menu_window_statistics")->trigger();
    answered = true;
  });
  ASSERT_TRUE(Spin([&] { return answered; }));
  for (int i = 0; i < 3; ++i)
    t.window->Document().Timer1Fired();  // the month timer holds too
  EXPECT_EQ(ticks, world.TickCount);
  EXPECT_TRUE(t.window->IsShown(t.window->StatisticsIfCreated()));

  t.window->Action("menu_run_step_tick")->trigger();
  EXPECT_EQ(ticks + 1, world.TickCount);
  // Step Month: ticks up to the one whose month step runs, and no further.
  ui::StatisticsWindow& statistics = *t.window->StatisticsIfCreated();
  statistics.Refresh();
  for (int month = 1; month <= 3; ++month) {
    const qsizetype points = Points(statistics, "Total");
    const uint64_t samples = world.history.recorded;
    const int16_t calendar = world.Month;
    t.window->Action("menu_run_step_month")->trigger();
    EXPECT_EQ(0, world.SpeedCount);
    EXPECT_NE(calendar, world.Month);
    EXPECT_EQ(samples + 1, world.history.recorded);
    statistics.Refresh();
    EXPECT_EQ(points + 1, Points(statistics, "Total")) << month;  // one point a month step
  }
  const uint64_t afterMonths = world.TickCount;
  t.window->Action("menu_run_step_month")->trigger();
  EXPECT_EQ(afterMonths + 31, world.TickCount);

  t.window->Action("menu_run_pause")->trigger();
  EXPECT_TRUE(Spin([&] { return world.TickCount > afterMonths + 31 + 5; }));
}

TEST(RunControlTest, FastRunsThePendingEventsBeforeItsNextBatch) {
  TestMainWindow t;
  Start(t);
  ui::RunControl& run = t.window->Run();
  t.window->Action("menu_run_fast")->trigger();
  EXPECT_FALSE(t.window->Timer2().isActive());
  // An event posted when a batch ends is handled before the next one starts.
  struct Receiver : QObject {
    ui::RunControl* run = nullptr;
    uint64_t handledAt = 0;
    bool event(QEvent* e) override {
      if (e->type() != QEvent::User) return QObject::event(e);
      handledAt = run->BatchesStarted();
      return true;
    }
  } receiver;
  receiver.run = &run;
  uint64_t postedAfter = 0;
  QObject::connect(&run, &ui::RunControl::BatchEnded, &receiver, [&] {
    if (postedAfter != 0) return;
    postedAfter = run.BatchesStarted();
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
  });
  ASSERT_TRUE(Spin([&] { return run.BatchesStarted() >= postedAfter + 2 && postedAfter > 0; }));
  EXPECT_EQ(postedAfter, receiver.handledAt);
  const uint64_t ticks = t.world().TickCount;
  EXPECT_GT(ticks, 31u);

  t.window->Action("menu_run_real_time")->trigger();
  EXPECT_TRUE(t.window->Timer2().isActive());
  const uint64_t batches = run.BatchesStarted();
  ASSERT_TRUE(Spin([&] { return t.world().TickCount > ticks + 10; }));
  EXPECT_EQ(batches, run.BatchesStarted());
}

TEST(StatisticsWindowTest, ExportIsTheRunnersCsvForTheSameSeededWorld) {
  QTemporaryDir out;
  const QString runnerCsv = out.filePath(QStringLiteral("runner.csv"));
  QProcess runner;
  runner.start(
      QStringLiteral(OMBRIVALE_BINARY_DIR "/tools/ombrivale-run"),
      {QStringLiteral("--world"), out.filePath(QStringLiteral("world")), QStringLiteral("--new"),
       QStringLiteral("--seed"), QStringLiteral("9"), QStringLiteral("--ticks"),
       QStringLiteral("700"), QStringLiteral("--stats"), runnerCsv, QStringLiteral("--quiet")});
  ASSERT_TRUE(runner.waitForFinished(60000));
  ASSERT_EQ(0, runner.exitCode());

  QTemporaryDir programFolder;
  ui::ProgramEnvironment environment;
  environment.programFolder = programFolder.path();
  environment.mapScale = 1;
  environment.endProgram = [] {};
  environment.seed = 9;
  environment.startPaused = true;  // not a tick before the steps below
  ui::MainWindow window(environment);
  window.QtWindowSeam().ScriptAnswers({});
  window.StartUp();
  for (int tick = 0; tick < 700; ++tick)
    window.Action("menu_run_step_tick")->trigger();
  window.QtWindowSeam().ClearBoxes();
  ui::StatisticsWindow& statistics = window.Statistics();
  QString asked;
  statistics.chooseFile = [&](bool save, const QString&, const QString&) {
    EXPECT_TRUE(save);
    return asked = out.filePath(QStringLiteral("window.csv"));
  };
  ASSERT_TRUE(statistics.ExportCsv());
  QFile mine(asked), theirs(runnerCsv);
  ASSERT_TRUE(mine.open(QIODevice::ReadOnly) && theirs.open(QIODevice::ReadOnly));
  const QByteArray csv = mine.readAll();
  EXPECT_EQ(theirs.readAll(), csv);
  EXPECT_EQ(24, csv.count('\n'));  // the header, start-up and 22 months

  statistics.chooseFile = [&](bool, const QString&, const QString&) {
    return out.filePath(QStringLiteral("chart.png"));
  };
  statistics.SetPage(statistics.GenesPage());
  EXPECT_TRUE(statistics.ExportPng());
  EXPECT_GT(QFile(out.filePath(QStringLiteral("chart.png"))).size(), 1000);
  statistics.chooseFile = [&](bool, const QString&, const QString&) { return asked; };
  EXPECT_FALSE(statistics.OpenSummary());  // a world's statistics, not a summary
  ASSERT_EQ(1u, window.QtWindowSeam().Boxes().size());
  EXPECT_EQ("ERROR", window.QtWindowSeam().Boxes()[0].title);
}

TEST(StatisticsWindowTest, SummariesShowTheirBandsAloneOrSideBySide) {
  QTemporaryDir out;
  const auto write = [&](const QString& folder, const std::string& rows) {
    QDir(out.path()).mkpath(folder);
    QFile file(out.filePath(folder + QStringLiteral("/summary-months.csv")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(("row,seeds,population_mean,population_p10,population_p50,population_p90\n" + rows)
                   .c_str());
    return file.fileName();
  };
  const QString control = write(QStringLiteral("control"), "0,3,2,2,2,2\n1,3,5,3,4,9\n2,2,,,,\n");
  const QString none = write(QStringLiteral("none"), "0,3,2,2,2,2\n1,3,6,5,6,7\n2,3,7,6,7,8\n");
  TestMainWindow t;
  Start(t);
  t.window->ShowStatistics();
  ui::StatisticsWindow& statistics = t.window->Statistics();
  ASSERT_TRUE(statistics.OpenSummary(control));
  EXPECT_EQ(2, Points(statistics, "Total (median)"));  // the row no seed reached is left out
  EXPECT_EQ(-1, Points(statistics, "Eggs (median)"));  // not in this summary

  statistics.chooseFile = [&](bool save, const QString&, const QString&) {
    EXPECT_FALSE(save);
    return none;
  };
  QTest::mouseClick(statistics.findChild<QPushButton*>("CompareSummary"), Qt::LeftButton);
  EXPECT_EQ(QStringList({"control", "none"}), statistics.SummaryNames());
  EXPECT_EQ(2, Points(statistics, "Total, control (median)"));
  EXPECT_EQ(3, Points(statistics, "Total, none (median)"));
  EXPECT_EQ(Qt::DashLine, statistics.Series("Total, none (median)")->pen().style());
  const QString tip = statistics.View().describe(1.0 / 12);
  EXPECT_TRUE(tip.contains("control:\nTotal: 3 / 4 / 9") && tip.contains("none:\nTotal: 5 / 6 / 7"))
      << tip.toStdString();

  // A file that is not a summary leaves both shown; opening one shows it alone.
  EXPECT_FALSE(statistics.CompareSummary(write(QStringLiteral("bad"), "")));
  EXPECT_EQ(2, statistics.SummaryNames().size());
  ASSERT_TRUE(statistics.OpenSummary(none));
  EXPECT_EQ(QStringList({"none"}), statistics.SummaryNames());
  EXPECT_EQ(3, Points(statistics, "Total (median)"));
  statistics.ShowWorld();
  EXPECT_FALSE(statistics.ShowsSummary());
  EXPECT_EQ(static_cast<qsizetype>(t.world().history.samples.size()), Points(statistics, "Total"));
}

TEST(StatisticsWindowTest, TheHistoryAndTheChoicesComeBackNextTime) {
  TestMainWindow first({Answer::Yes, Answer::Yes});  // quit, save the world
  Start(first);
  first.window->Action("menu_run_pause")->trigger();
  for (int month = 0; month < 14; ++month)
    first.window->Action("menu_run_step_month")->trigger();
  first.window->Action("menu_run_fast")->trigger();
  first.window->ShowStatistics();
  first.window->Statistics().SetPage(first.window->Statistics().GenesPage());
  first.window->Statistics().ChooseGene(GeneGroup::Infant, QStringLiteral("Body.Width"));
  const size_t samples = first.world().history.samples.size();
  first.window->Quit();
  ASSERT_TRUE(first.ended);

  const QString folder = first.folder.path();
  {
    const auto second = StartAgain(folder);
    EXPECT_EQ(ui::Speed::Fast, second->Run().CurrentSpeed());
    ui::StatisticsWindow* statistics = second->StatisticsIfCreated();
    ASSERT_NE(nullptr, statistics);
    EXPECT_TRUE(second->IsShown(statistics));
    EXPECT_EQ(GeneGroup::Infant, statistics->Group());
    EXPECT_EQ("Body.Width", statistics->GeneName());
    statistics->SetPage(0);
    // Every sample saved, and the one this start took.
    EXPECT_EQ(static_cast<qsizetype>(samples + 1), Points(*statistics, "Total"));
    second->Run().SetPaused(true);
  }
  // A folder saved before the history was: an empty one, then this start's.
  QFile::remove(folder + "/AutoSave/" + kStatisticsFileName);
  const auto third = StartAgain(folder);
  EXPECT_TRUE(third->QtWindowSeam().Boxes().empty());
  EXPECT_EQ(1u, third->GetWorld().history.samples.size());
  third->Run().SetPaused(true);
}

}  // namespace
}  // namespace ombrivale::testing
