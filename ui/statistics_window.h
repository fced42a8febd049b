// The statistics window: the world's history as charts, one page at a time
// (population, deaths, diet, breathing, covering, evolvedness, a gene), or
// the bands of one ensemble summary or of two side by side; export of the history as CSV and of the
// chart as a picture.
//
// The window takes the new samples a few times a second, and only for the
// page it shows: new points are appended to the chart's series (the newest
// one taken again, as it gathers months), and the series are built afresh
// only when the page changes or the history doubled its grain.
#pragma once

#include <QChartView>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "genetics/gene_census.h"
#include "sim/history_chart.h"
#include "ui/frame_recorder.h"
#include "ui/main_window_services.h"
#include "world/history_file.h"

class QAbstractSeries;
class QAreaSeries;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QTabBar;
class QValueAxis;

namespace ombrivale::ui {

// A chart view that names the values under the pointer in a tool tip and
// marks the world's restarts with dashed lines.
class HistoryChartView : public QChartView {
  Q_OBJECT

 public:
  explicit HistoryChartView(QWidget* parent = nullptr);

  std::function<QString(double years)> describe;  // the tool tip at a time; empty: none
  std::vector<double> restarts;                   // years

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void drawForeground(QPainter* painter, const QRectF& rect) override;
};

class StatisticsWindow : public QWidget {
  Q_OBJECT

 public:
  explicit StatisticsWindow(MainWindowServices& services, QWidget* parent = nullptr);

  // The pages: ChartPages() in order, then the genes page.
  int PageCount() const;
  int GenesPage() const;
  int Page() const;
  void SetPage(int page);
  // The gene of the genes page, by its name within its group ("Body.Height").
  void ChooseGene(GeneGroup group, const QString& name);
  GeneGroup Group() const;
  QString GeneName() const;

  // Takes the samples recorded since the last call (the window's own timer
  // calls it while the window is shown).
  void Refresh();

  // Ask for a file through `chooseFile`, then write or read it; a failure is
  // reported in a message box. False when nothing was done.
  bool ExportCsv();
  bool ExportPng();
  bool OpenSummary();
  // Adds a second summary beside the one shown (replacing an earlier
  // second): both are drawn on each page, the second dashed and hatched.
  bool CompareSummary();
  // The same with the file given. Opening a summary shows it alone.
  bool ExportCsv(const QString& path);
  bool ExportPng(const QString& path);
  bool OpenSummary(const QString& path);
  bool CompareSummary(const QString& path);
  // Back from the summaries to the world's history.
  void ShowWorld();
  bool ShowsSummary() const { return !summaries_.empty(); }
  // The summaries shown by name: their folder's name for a
  // "summary-months.csv" ("control"), else their file's.
  QStringList SummaryNames() const;

  // "&Record...": the page shown, as numbered PNG files every few months
  // (asked through `askRecord`, the usual dialogues when not set) until
  // "Stop &Recording". NoteMonths is told the history's months recorded
  // after every tick.
  void Record();
  void NoteMonths(uint64_t monthsNow);
  AskRecording askRecord;
  FrameRecorder* Frames() const { return frames_.get(); }

  // A file name from the user: a save dialogue when `save`, else an open
  // one; empty when cancelled. Tests replace it.
  std::function<QString(bool save, const QString& caption, const QString& filter)> chooseFile;

  // The chart now shown and its series by legend name (nullptr when none).
  QChart& Chart() { return *view_->chart(); }
  QLineSeries* Series(const QString& name) const;
  HistoryChartView& View() { return *view_; }

 protected:
  // Shown again: the samples recorded while hidden.
  void showEvent(QShowEvent* event) override;

 private:
  void Rebuild();
  void BuildSamplePage(const ChartPage& page);
  void AppendSamples();
  void BuildGenePage();
  void FillGenePage();
  void BuildSummaryPage();
  bool ReadSummary(const QString& path, HistoryTable& table);
  QString DescribeSummaries(double years) const;
  void FitAxes();
  void SetAxis(QValueAxis* axis, double low, double high, bool wholeNumbers);
  void FillGeneList();
  QString Describe(double years) const;
  QLineSeries* AddLine(const QString& name, const QColor& colour);
  QAreaSeries* AddBand(QLineSeries* upper, QLineSeries* lower, const QColor& colour,
                       const QString& name, bool inLegend);
  void UpdateSourceText();

  MainWindowServices& services_;
  QTabBar* tabs_ = nullptr;
  QWidget* geneRow_ = nullptr;
  QComboBox* groupBox_ = nullptr;
  QComboBox* geneBox_ = nullptr;
  HistoryChartView* view_ = nullptr;
  QLabel* source_ = nullptr;
  QPushButton* exportCsv_ = nullptr;
  QPushButton* showWorld_ = nullptr;
  QPushButton* compareSummary_ = nullptr;
  QPushButton* record_ = nullptr;
  std::unique_ptr<FrameRecorder> frames_;

  // What the chart shows now.
  QValueAxis* xAxis_ = nullptr;
  QValueAxis* yAxis_ = nullptr;
  std::vector<QLineSeries*> lines_;     // the page's series (stacked: each area's upper edge)
  std::vector<QList<QPointF>> points_;  // their points
  double yMax_ = 0;
  double xMax_ = 0;
  // The points shown: their count, the months recorded and the grain then,
  // and each one's place on the time axis. The newest point may gather
  // months after it was shown: what it added (its first value in each
  // series, the restarts and months before it) is kept to take it again.
  size_t shownSamples_ = 0;
  uint64_t shownRecorded_ = 0;
  uint64_t shownGrain_ = 0;
  std::vector<double> years_;
  uint64_t months_ = 0;
  uint64_t monthsBeforeLast_ = 0;
  size_t restartsBeforeLast_ = 0;
  std::vector<qsizetype> lastPointStart_;
  // The gene records shown: their count, grain and the newest one's months.
  size_t shownRecords_ = 0;
  uint64_t shownGeneGrain_ = 0;
  uint64_t shownRecordMonths_ = 0;
  bool wholeNumbers_ = false;  // the value axis takes whole-number ticks

  struct ShownSummary {
    QString name;
    HistoryTable table;
  };
  std::vector<ShownSummary> summaries_;  // none (the world's history), one or two
};

}  // namespace ombrivale::ui
