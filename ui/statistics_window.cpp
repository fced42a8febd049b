#include "ui/statistics_window.h"

#include <QAreaSeries>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QTabBar>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "core/display.h"
#include "ui/file_export.h"

namespace ombrivale::ui {
namespace {

// Series colours in legend order: distinct on white and in grey print.
const QColor kPalette[] = {QColor(0x1f, 0x5f, 0xbf), QColor(0xd6, 0x5f, 0x00),
                           QColor(0x2c, 0x9c, 0x3c), QColor(0xb0, 0x20, 0x30),
                           QColor(0x7a, 0x4f, 0xb0), QColor(0x8c, 0x6d, 0x2c),
                           QColor(0x40, 0x40, 0x40)};

QColor PaletteColour(size_t i) {
  return kPalette[i % std::size(kPalette)];
}

// "DIR/control/summary-months.csv" is "control": the ensemble script names
// a condition's folder so. Another file goes by its own name.
QString SummaryName(const QString& path) {
  const QFileInfo info(path);
  if (info.fileName() == QLatin1String("summary-months.csv") &&
      !info.absoluteDir().dirName().isEmpty()) {
    return info.absoluteDir().dirName();
  }
  return info.fileName();
}

// A summary's rows past the length of the run hold only the seeds whose
// world restarted (a restart adds a row): rows that fewer than half the
// seeds reach are not drawn, so a handful of seeds is not read as the whole.
double HalfTheSeeds(const HistoryTable& table) {
  const size_t seeds = table.Column("seeds");
  double most = 0;
  if (seeds == table.columns.size()) return 0;
  for (const std::vector<double>& values : table.rows)
    most = std::max(most, values[seeds]);
  return most / 2;
}

const char* const kGroupNames[] = {"Adult", "Infant", "Egg"};

// Past this many points a series is drawn thinned out: Qt Charts lays out
// and strokes every point at each change, and a chart some 900 pixels wide
// shows no more.
constexpr qsizetype kMostPointsDrawn = 1200;
constexpr int kThinnedColumns = 600;

// The points of `all` to draw: all of them, or per one of kThinnedColumns
// slices of the time axis the lowest and the highest (`extremes`: a spike
// stays) or the last (stacked series, which must share their times).
void ThinOut(const QList<QPointF>& all, bool extremes, QList<QPointF>& shown) {
  shown.clear();
  if (all.size() <= kMostPointsDrawn) {
    shown = all;
    return;
  }
  const double first = all.front().x();
  const double width = (all.back().x() - first) / kThinnedColumns;
  qsizetype begin = 0;
  while (begin < all.size()) {
    const auto column = static_cast<int64_t>((all[begin].x() - first) / width);
    qsizetype end = begin + 1;
    qsizetype low = begin, high = begin;
    while (end < all.size() && static_cast<int64_t>((all[end].x() - first) / width) == column) {
      if (all[end].y() < all[low].y()) low = end;
      if (all[end].y() > all[high].y()) high = end;
      ++end;
    }
    if (!extremes) {
      shown.append(all[end - 1]);
    } else {
      shown.append(all[std::min(low, high)]);
      if (low != high) shown.append(all[std::max(low, high)]);
    }
    begin = end;
  }
}

QString YearText(double years) {
  return QString::number(years, 'f', years < 10 ? 2 : 1);
}

QString ValueText(double value) {
  if (std::isnan(value)) return QStringLiteral("none");
  return value == std::floor(value) ? QString::number(value, 'f', 0)
                                    : QString::number(value, 'f', 2);
}

}  // namespace

// --- The chart view ------------------------------------------------------------

HistoryChartView::HistoryChartView(QWidget* parent) : QChartView(parent) {
  setMouseTracking(true);
  setRenderHint(QPainter::Antialiasing, false);
}

void HistoryChartView::mouseMoveEvent(QMouseEvent* event) {
  QChartView::mouseMoveEvent(event);
  QChart* shown = chart();
  if (!describe || shown == nullptr) return;
  const QPointF at = event->position();
  if (!shown->plotArea().contains(at)) {
    QToolTip::hideText();
    return;
  }
  const QString text = describe(shown->mapToValue(at).x());
  if (text.isEmpty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(event->globalPosition().toPoint(), text, this);
  }
}

void HistoryChartView::drawForeground(QPainter* painter, const QRectF& rect) {
  QChartView::drawForeground(painter, rect);
  QChart* shown = chart();
  if (shown == nullptr || restarts.empty()) return;
  const QRectF area = shown->plotArea();
  painter->save();
  painter->setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
  for (const double years : restarts) {
    const double x = shown->mapToPosition(QPointF(years, 0)).x();
    if (x < area.left() || x > area.right()) continue;
    painter->drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
  }
  painter->restore();
}

// --- The window ----------------------------------------------------------------

StatisticsWindow::StatisticsWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setWindowTitle(QStringLiteral("Statistics"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 4);

  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("StatisticsPages"));
  for (const ChartPage& page : ChartPages())
    tabs_->addTab(QString::fromLatin1(page.title));
  tabs_->addTab(QStringLiteral("Genes"));
  tabs_->setExpanding(false);
  column->addWidget(tabs_);

  geneRow_ = new QWidget(this);
  auto* geneLine = new QHBoxLayout(geneRow_);
  geneLine->setContentsMargins(0, 0, 0, 0);
  groupBox_ = new QComboBox(geneRow_);
  groupBox_->setObjectName(QStringLiteral("GeneGroup"));
  for (const char* name : kGroupNames)
    groupBox_->addItem(QString::fromLatin1(name));
  geneBox_ = new QComboBox(geneRow_);
  geneBox_->setObjectName(QStringLiteral("Gene"));
  geneBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  geneBox_->setMaxVisibleItems(20);
  geneLine->addWidget(new QLabel(QStringLiteral("Set:"), geneRow_));
  geneLine->addWidget(groupBox_);
  geneLine->addWidget(new QLabel(QStringLiteral("Gene:"), geneRow_));
  geneLine->addWidget(geneBox_);
  geneLine->addStretch(1);
  column->addWidget(geneRow_);

  view_ = new HistoryChartView(this);
  view_->setObjectName(QStringLiteral("StatisticsChart"));
  view_->setMinimumSize(420, 260);
  view_->describe = [this](double years) { return Describe(years); };
  column->addWidget(view_, 1);

  auto* buttons = new QHBoxLayout;
  source_ = new QLabel(this);
  source_->setObjectName(QStringLiteral("StatisticsSource"));
  buttons->addWidget(source_, 1);
  const auto button = [&](const char* name, const QString& caption, auto handler) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    connect(b, &QPushButton::clicked, this, handler);
    buttons->addWidget(b);
    return b;
  };
  showWorld_ = button("ShowWorld", QStringLiteral("This &World"), [this] { ShowWorld(); });
  button("OpenSummary", QStringLiteral("Open &Summary..."), [this] { OpenSummary(); });
  compareSummary_ =
      button("CompareSummary", QStringLiteral("Co&mpare With..."), [this] { CompareSummary(); });
  exportCsv_ = button("ExportCsv", QStringLiteral("Export &CSV..."), [this] { ExportCsv(); });
  button("ExportPng", QStringLiteral("Export &PNG..."), [this] { ExportPng(); });
  record_ = button("Record", QStringLiteral("&Record..."), [this] { Record(); });
  column->addLayout(buttons);

  chooseFile = [this](bool save, const QString& caption, const QString& filter) {
    return save ? QFileDialog::getSaveFileName(this, caption, QString(), filter)
                : QFileDialog::getOpenFileName(this, caption, QString(), filter);
  };

  FillGeneList();
  connect(tabs_, &QTabBar::currentChanged, this, [this] { Rebuild(); });
  connect(groupBox_, &QComboBox::currentIndexChanged, this, [this] {
    FillGeneList();
    Rebuild();
  });
  connect(geneBox_, &QComboBox::currentIndexChanged, this, [this] { Rebuild(); });
  WorldDocument& document = services_.Document();
  connect(&document, &WorldDocument::SampleRecorded, this, [this] {
    NoteMonths(services_.GetWorld().history.recorded);
    if (isVisible()) Refresh();
  });
  connect(&document, &WorldDocument::WorldReplaced, this, [this] {
    if (isVisible()) Refresh();
  });
  resize(760, 480);
  Rebuild();
}

int StatisticsWindow::PageCount() const {
  return tabs_->count();
}

int StatisticsWindow::GenesPage() const {
  return static_cast<int>(ChartPages().size());
}

int StatisticsWindow::Page() const {
  return tabs_->currentIndex();
}

void StatisticsWindow::SetPage(int page) {
  tabs_->setCurrentIndex(std::clamp(page, 0, PageCount() - 1));
}

GeneGroup StatisticsWindow::Group() const {
  return static_cast<GeneGroup>(std::max(0, groupBox_->currentIndex()));
}

QString StatisticsWindow::GeneName() const {
  return geneBox_->currentText();
}

void StatisticsWindow::ChooseGene(GeneGroup group, const QString& name) {
  groupBox_->setCurrentIndex(static_cast<int>(group));
  const int index = geneBox_->findText(name);
  if (index >= 0) geneBox_->setCurrentIndex(index);
}

void StatisticsWindow::FillGeneList() {
  const QString chosen = geneBox_->currentText();
  const QSignalBlocker quiet(geneBox_);
  geneBox_->clear();
  for (const SeriesGene& gene : SeriesGenes()) {
    if (gene.group == Group()) geneBox_->addItem(QString::fromStdString(gene.name));
  }
  // The same gene in the other set, or the first one.
  geneBox_->setCurrentIndex(std::max(0, geneBox_->findText(chosen)));
}

// --- Building the chart ------------------------------------------------------------

QLineSeries* StatisticsWindow::AddLine(const QString& name, const QColor& colour) {
  auto* line = new QLineSeries;
  line->setName(name);
  // A one-pixel pen draws without stroking: thousands of points stay cheap.
  line->setPen(QPen(colour, 1));
  view_->chart()->addSeries(line);
  line->attachAxis(xAxis_);
  line->attachAxis(yAxis_);
  return line;
}

QAreaSeries* StatisticsWindow::AddBand(QLineSeries* upper, QLineSeries* lower, const QColor& colour,
                                       const QString& name, bool inLegend) {
  auto* area = new QAreaSeries(upper, lower);
  area->setName(name);
  QColor fill = colour;
  if (!inLegend) fill.setAlpha(70);
  area->setBrush(fill);
  area->setPen(inLegend ? QPen(colour.darker(120), 1) : QPen(Qt::NoPen));
  view_->chart()->addSeries(area);
  area->attachAxis(xAxis_);
  area->attachAxis(yAxis_);
  if (!inLegend) {
    for (QLegendMarker* marker : view_->chart()->legend()->markers(area))
      marker->setVisible(false);
  }
  return area;
}

QLineSeries* StatisticsWindow::Series(const QString& name) const {
  for (QAbstractSeries* series : view_->chart()->series()) {
    if (series->name() != name) continue;
    if (auto* line = qobject_cast<QLineSeries*>(series)) return line;
    if (auto* area = qobject_cast<QAreaSeries*>(series)) return area->upperSeries();
  }
  return nullptr;
}

void StatisticsWindow::Rebuild() {
  const int page = Page();
  geneRow_->setVisible(page == GenesPage());
  exportCsv_->setEnabled(!ShowsSummary());
  showWorld_->setVisible(ShowsSummary());
  compareSummary_->setVisible(ShowsSummary());

  auto* chart = new QChart;
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setMargins(QMargins(4, 4, 4, 4));
  QChart* old = view_->chart();
  view_->setChart(chart);
  delete old;
  xAxis_ = new QValueAxis;
  yAxis_ = new QValueAxis;
  xAxis_->setTitleText(ShowsSummary() ? QStringLiteral("Years since the start (summary rows / 12)")
                                      : QStringLiteral("Years since the history began"));
  SetAxis(xAxis_, 0, 1, false);
  SetAxis(yAxis_, 0, 1, wholeNumbers_);
  chart->addAxis(xAxis_, Qt::AlignBottom);
  chart->addAxis(yAxis_, Qt::AlignLeft);
  lines_.clear();
  points_.clear();
  view_->restarts.clear();
  yMax_ = 0;
  xMax_ = 0;
  shownSamples_ = 0;
  shownRecorded_ = 0;
  shownGrain_ = 0;
  years_.clear();
  months_ = 0;
  monthsBeforeLast_ = 0;
  restartsBeforeLast_ = 0;
  lastPointStart_.clear();
  shownRecords_ = 0;
  shownGeneGrain_ = 0;
  shownRecordMonths_ = 0;
  wholeNumbers_ = !ShowsSummary() && (page == GenesPage() ||
                                      IsWholeNumberPage(ChartPages()[static_cast<size_t>(page)]));

  if (ShowsSummary()) {
    BuildSummaryPage();
  } else if (page == GenesPage()) {
    BuildGenePage();
  } else {
    BuildSamplePage(ChartPages()[static_cast<size_t>(page)]);
  }
  FitAxes();
  UpdateSourceText();
}

void StatisticsWindow::BuildSamplePage(const ChartPage& page) {
  view_->chart()->setTitle(QString::fromLatin1(page.title));
  yAxis_->setTitleText(QString::fromLatin1(page.valueTitle));
  QLineSeries* below = nullptr;
  for (size_t s = 0; s < page.series.size(); ++s) {
    const QString caption = QString::fromLatin1(page.series[s].caption);
    if (page.style == ChartStyle::Lines) {
      lines_.push_back(AddLine(caption, PaletteColour(s)));
      continue;
    }
    // A stacked area: its upper edge is the sum of this series and those
    // below it.
    auto* upper = new QLineSeries(this);
    AddBand(upper, below, PaletteColour(s), caption, true);
    lines_.push_back(upper);
    below = upper;
  }
  AppendSamples();
  // The dashed restart marks, in the legend too.
  if (!view_->restarts.empty()) {
    QLineSeries* mark = AddLine(QStringLiteral("World restarted"), QColor(90, 90, 90));
    QPen pen = mark->pen();
    pen.setStyle(Qt::DashLine);
    pen.setWidthF(1);
    mark->setPen(pen);
  }
}

void StatisticsWindow::AppendSamples() {
  const History& history = services_.GetWorld().history;
  const ChartPage& page = ChartPages()[static_cast<size_t>(Page())];
  std::vector<QList<QPointF>>& points = points_;
  points.resize(lines_.size());
  lastPointStart_.resize(lines_.size());
  // The newest point shown may have gathered months since: it is taken
  // again.
  size_t first = shownSamples_;
  if (first > 0) {
    --first;
    years_.resize(first);
    months_ = monthsBeforeLast_;
    view_->restarts.resize(restartsBeforeLast_);
    for (size_t s = 0; s < points.size(); ++s)
      points[s].resize(lastPointStart_[s]);
  }
  AppendSampleYears(history, years_, months_);
  // Each series is replaced whole, once: Qt Charts lays out and strokes a
  // whole series again for every point appended to it.
  for (size_t i = first; i < history.samples.size(); ++i) {
    const MonthSample& sample = history.samples[i];
    if (i + 1 == history.samples.size()) {
      for (size_t s = 0; s < points.size(); ++s)
        lastPointStart_[s] = points[s].size();
      restartsBeforeLast_ = view_->restarts.size();
      monthsBeforeLast_ = months_ - sample.months;
    }
    double stacked = 0;
    for (size_t s = 0; s < lines_.size(); ++s) {
      double value = SeriesValue(page, s, sample);
      if (page.style == ChartStyle::Stacked) value = stacked += value;
      if (std::isnan(value)) continue;
      points[s].append(QPointF(years_[i], value));
      yMax_ = std::max(yMax_, value);
    }
    const double start = SampleStartYears(sample, years_[i]);
    if (sample.restart && start > 0) view_->restarts.push_back(start);
  }
  QList<QPointF> shown;
  for (size_t s = 0; s < lines_.size(); ++s) {
    ThinOut(points[s], page.style == ChartStyle::Lines, shown);
    lines_[s]->replace(shown);
  }
  shownSamples_ = history.samples.size();
  shownRecorded_ = history.recorded;
  shownGrain_ = history.grain;
  if (!years_.empty()) xMax_ = std::max(xMax_, years_.back());
}

void StatisticsWindow::BuildGenePage() {
  const QString name = QString::fromLatin1(kGroupNames[static_cast<int>(Group())]).toLower() +
                       QLatin1Char(' ') + GeneName();
  view_->chart()->setTitle(QStringLiteral("Gene: ") + name);
  yAxis_->setTitleText(GeneName());
  auto* highest = new QLineSeries(this);
  auto* lowest = new QLineSeries(this);
  AddBand(highest, lowest, PaletteColour(0).lighter(150), QStringLiteral("Lowest to highest"),
          true);
  lines_ = {highest, lowest, AddLine(QStringLiteral("Mean"), PaletteColour(3))};
  FillGenePage();
}

void StatisticsWindow::FillGenePage() {
  const History& history = services_.GetWorld().history;
  const GeneHistory& genes = history.genes;
  const auto series = SeriesGenes();
  size_t gene = series.size();
  for (size_t g = 0; g < series.size(); ++g) {
    if (series[g].group == Group() && QString::fromStdString(series[g].name) == GeneName())
      gene = g;
  }
  QList<QPointF> high, low, mean;
  double yMin = 0;
  bool any = false;
  for (size_t r = 0; r < genes.records.size() && gene < genes.genes; ++r) {
    const GeneStat& stat = genes.Values(r)[gene];
    if (std::isnan(stat.mean)) continue;
    const double x = RecordYears(genes.records[r]);
    high.append(QPointF(x, stat.highest));
    low.append(QPointF(x, stat.lowest));
    mean.append(QPointF(x, stat.mean));
    yMin = any ? std::min<double>(yMin, stat.lowest) : stat.lowest;
    yMax_ = any ? std::max<double>(yMax_, stat.highest) : stat.highest;
    any = true;
    xMax_ = std::max(xMax_, x);
  }
  lines_[0]->replace(high);
  lines_[1]->replace(low);
  lines_[2]->replace(mean);
  if (yMin < yAxis_->min()) yAxis_->setMin(yMin);
  shownRecords_ = genes.records.size();
  shownGeneGrain_ = genes.grain;
  shownRecordMonths_ = genes.records.empty() ? 0 : genes.records.back().months;
  // The restarts come from the samples, all of them again: a few thousand
  // additions.
  years_.clear();
  months_ = 0;
  view_->restarts.clear();
  AppendSampleYears(history, years_, months_);
  for (size_t i = 0; i < history.samples.size(); ++i) {
    const double start = SampleStartYears(history.samples[i], years_[i]);
    if (history.samples[i].restart && start > 0) view_->restarts.push_back(start);
  }
  if (!years_.empty()) xMax_ = std::max(xMax_, years_.back());
  shownSamples_ = history.samples.size();
  shownRecorded_ = history.recorded;
  shownGrain_ = history.grain;
}

void StatisticsWindow::BuildSummaryPage() {
  const QStringList names = SummaryNames();
  const QString shown = names.join(QStringLiteral(" against "));
  if (Page() == GenesPage()) {
    view_->chart()->setTitle(names.size() == 1
                                 ? QStringLiteral("The summary holds no gene series")
                                 : QStringLiteral("The summaries hold no gene series"));
    return;
  }
  const ChartPage& chartPage = ChartPages()[static_cast<size_t>(Page())];
  view_->chart()->setTitle(QString::fromLatin1(chartPage.title) +
                           QStringLiteral(" across seeds: ") + shown +
                           QStringLiteral(" (medians; 10th to 90th percentile shaded)"));
  yAxis_->setTitleText(QString::fromLatin1(chartPage.valueTitle));
  // One summary: each series in its colour. Two: the same colours, the
  // second summary's band hatched and its median dashed, each named.
  if (summaries_.size() > 1) {  // each entry marked dashed or not; many go in a column
    if (chartPage.series.size() > 2) view_->chart()->legend()->setAlignment(Qt::AlignRight);
    view_->chart()->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
  }
  for (size_t k = 0; k < summaries_.size(); ++k) {
    const HistoryTable& table = summaries_[k].table;
    const size_t row = table.Column("row");
    const size_t seeds = table.Column("seeds");
    const double half = HalfTheSeeds(table);  // 0 without a seeds column
    const QString suffix = summaries_.size() == 1 ? QString() : QStringLiteral(", ") + names[k];
    for (size_t s = 0; s < chartPage.series.size(); ++s) {
      const SummaryBand band = FindSummaryBand(table, chartPage.series[s].column);
      if (!band.Complete(table)) continue;
      QList<QPointF> low, median, high;
      for (const std::vector<double>& values : table.rows) {
        const double x = values[row] / 12;
        if (std::isnan(values[band.median]) || (half > 0 && values[seeds] < half)) continue;
        low.append(QPointF(x, values[band.low]));
        median.append(QPointF(x, values[band.median]));
        high.append(QPointF(x, values[band.high]));
        yMax_ = std::max(yMax_, values[band.high]);
        xMax_ = std::max(xMax_, x);
      }
      auto* upper = new QLineSeries(this);
      auto* lower = new QLineSeries(this);
      upper->replace(high);
      lower->replace(low);
      const QString caption = QString::fromLatin1(chartPage.series[s].caption) + suffix;
      QAreaSeries* area = AddBand(upper, lower, PaletteColour(s),
                                  caption + QStringLiteral(" (10th to 90th percentile)"), false);
      QLineSeries* line = AddLine(caption + QStringLiteral(" (median)"), PaletteColour(s));
      if (k == 1) {
        QColor hatch = PaletteColour(s);
        hatch.setAlpha(150);
        area->setBrush(QBrush(hatch, Qt::BDiagPattern));
        QPen dashed = line->pen();
        dashed.setStyle(Qt::DashLine);
        line->setPen(dashed);
      }
      line->replace(median);
      lines_.push_back(line);
    }
  }
}

void StatisticsWindow::SetAxis(QValueAxis* axis, double low, double high, bool wholeNumbers) {
  const AxisTicks ticks = NiceAxis(low, high, wholeNumbers);
  axis->setRange(ticks.low, ticks.high);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(ticks.low);
  axis->setTickInterval(ticks.interval);
  axis->setLabelFormat(QStringLiteral("%.") + QString::number(ticks.decimals) +
                       QStringLiteral("f"));
}

void StatisticsWindow::FitAxes() {
  // The axes grow with a margin, so most refreshes leave them alone: a
  // change of range lays every series out again.
  if (xMax_ > xAxis_->max() || xAxis_->max() <= 1) {
    SetAxis(xAxis_, 0, std::max(1.0, xMax_ * 1.1), false);
  }
  const double low = std::min(0.0, yAxis_->min());
  if (yMax_ > yAxis_->max() || yAxis_->max() <= low + 1) {
    SetAxis(yAxis_, low, std::max(low + 1, yMax_ * 1.1), wholeNumbers_);
  }
}

void StatisticsWindow::Refresh() {
  if (ShowsSummary()) return;
  const History& history = services_.GetWorld().history;
  if (Page() == GenesPage()) {
    const GeneHistory& genes = history.genes;
    const uint64_t newest = genes.records.empty() ? 0 : genes.records.back().months;
    if (genes.records.size() < shownRecords_ || genes.grain != shownGeneGrain_ ||
        history.recorded < shownRecorded_) {
      Rebuild();  // coarser, or a new history
    } else if (genes.records.size() != shownRecords_ || newest != shownRecordMonths_ ||
               history.recorded != shownRecorded_) {
      FillGenePage();
      FitAxes();
      UpdateSourceText();
      view_->viewport()->update();  // the restart marks
    }
    return;
  }
  if (history.recorded == shownRecorded_) return;
  // Points only ever join the end and the newest gathers months, unless the
  // history doubled its grain (or a new history replaced it): then
  // everything moved.
  bool continues = history.grain == shownGrain_ && history.recorded > shownRecorded_ &&
                   history.samples.size() >= shownSamples_;
  if (continues && shownSamples_ > 0) {
    uint64_t before = 0;
    for (size_t i = 0; i + 1 < shownSamples_; ++i)
      before += history.samples[i].months;
    continues = before == monthsBeforeLast_;
  }
  if (!continues) {
    Rebuild();
    return;
  }
  const size_t restarts = view_->restarts.size();
  AppendSamples();
  if ((restarts == 0) != view_->restarts.empty()) {
    Rebuild();  // the legend gains its restart entry
    return;
  }
  FitAxes();
  UpdateSourceText();
}

void StatisticsWindow::UpdateSourceText() {
  if (ShowsSummary()) {
    QStringList parts;
    const QStringList names = SummaryNames();
    for (size_t k = 0; k < summaries_.size(); ++k) {
      parts << QStringLiteral("%1 (%2 rows)").arg(names[k]).arg(summaries_[k].table.rows.size());
    }
    source_->setText(
        (summaries_.size() == 1 ? QStringLiteral("Summary: ") : QStringLiteral("Summaries: ")) +
        parts.join(QStringLiteral(", ")));
    return;
  }
  const History& history = services_.GetWorld().history;
  source_->setText(QStringLiteral("Whole history: %1 months since it began").arg(history.recorded));
}

QString StatisticsWindow::Describe(double years) const {
  if (ShowsSummary()) return DescribeSummaries(years);
  const History& history = services_.GetWorld().history;
  if (Page() == GenesPage()) {
    const GeneHistory& genes = history.genes;
    const auto at = std::lower_bound(
        genes.records.begin(), genes.records.end(), years,
        [](const GeneRecord& record, double y) { return RecordYears(record) < y; });
    if (at == genes.records.end()) return {};
    const size_t r = static_cast<size_t>(at - genes.records.begin());
    const auto series = SeriesGenes();
    for (size_t g = 0; g < series.size() && g < genes.genes; ++g) {
      if (series[g].group != Group() || QString::fromStdString(series[g].name) != GeneName())
        continue;
      const GeneStat& stat = genes.Values(r)[g];
      return QStringLiteral("Year %1 of the history (%2 months)\nMean: %3\nLowest: %4\nHighest: %5")
          .arg(YearText(RecordYears(*at)))
          .arg(at->months)
          .arg(ValueText(stat.mean), ValueText(std::isnan(stat.mean) ? NAN : stat.lowest),
               ValueText(std::isnan(stat.mean) ? NAN : stat.highest));
    }
    return {};
  }
  if (years_.empty()) return {};
  const auto at = std::lower_bound(years_.begin(), years_.end(), years - 1.0 / 24);
  if (at == years_.end()) return {};
  const size_t i = static_cast<size_t>(at - years_.begin());
  const MonthSample& sample = history.samples[i];
  const ChartPage& page = ChartPages()[static_cast<size_t>(Page())];
  QString text = QStringLiteral("Y%1, %2 (year %3 of the history)")
                     .arg(sample.year)
                     .arg(QString::fromLatin1(MonthName(sample.month)), YearText(*at));
  if (sample.months > 1) text += QStringLiteral(", %1 months").arg(sample.months);
  if (sample.wentBack) {
    text += QStringLiteral("\nThe world went back to a savepoint");
  } else if (sample.restart) {
    text += QStringLiteral("\nA new world began");
  }
  for (size_t s = 0; s < page.series.size(); ++s) {
    text += QStringLiteral("\n%1: %2")
                .arg(QString::fromLatin1(page.series[s].caption),
                     ValueText(SeriesValue(page, s, sample)));
  }
  return text;
}

QString StatisticsWindow::DescribeSummaries(double years) const {
  if (Page() == GenesPage()) return {};
  const ChartPage& page = ChartPages()[static_cast<size_t>(Page())];
  const double wanted = std::round(years * 12);
  const QStringList names = SummaryNames();
  QString text;
  for (size_t k = 0; k < summaries_.size(); ++k) {
    const HistoryTable& table = summaries_[k].table;
    const size_t row = table.Column("row");
    const auto at = std::lower_bound(
        table.rows.begin(), table.rows.end(), wanted,
        [row](const std::vector<double>& values, double r) { return values[row] < r; });
    if (at == table.rows.end()) continue;
    if (text.isEmpty()) text = QStringLiteral("Month %1 since the start").arg((*at)[row]);
    if (summaries_.size() > 1) text += QStringLiteral("\n") + names[k] + QStringLiteral(":");
    for (const ChartSeries& series : page.series) {
      const SummaryBand band = FindSummaryBand(table, series.column);
      if (!band.Complete(table)) continue;
      text += QStringLiteral("\n%1: %2 / %3 / %4 (10th / 50th / 90th)")
                  .arg(QString::fromLatin1(series.caption), ValueText((*at)[band.low]),
                       ValueText((*at)[band.median]), ValueText((*at)[band.high]));
    }
  }
  return text;
}

// --- Files ---------------------------------------------------------------------

void StatisticsWindow::Record() {
  if (frames_ != nullptr && frames_->Recording()) {
    frames_->Stop();
  } else {
    if (frames_ == nullptr) {
      frames_ = std::make_unique<FrameRecorder>([this] {
        Refresh();  // the page as it stands at this month
        return view_->grab().toImage();
      });
    }
    StartRecording(*frames_, services_.WindowSeam(),
                   askRecord ? askRecord : RecordingDialogues(this, QStringLiteral("the Chart")),
                   services_.GetWorld().history.recorded);
  }
  record_->setText(frames_->Recording() ? QStringLiteral("Stop &Recording")
                                        : QStringLiteral("&Record..."));
}

void StatisticsWindow::NoteMonths(uint64_t monthsNow) {
  if (frames_ == nullptr || !frames_->Recording() || frames_->NoteMonths(monthsNow)) return;
  record_->setText(QStringLiteral("&Record..."));
  ReportRecordingFailure(*frames_, services_.WindowSeam());
}

bool StatisticsWindow::ExportCsv() {
  const QString path = chooseFile(true, QStringLiteral("Export the History as CSV"),
                                  QStringLiteral("CSV files (*.csv)"));
  return !path.isEmpty() && ExportCsv(path);
}

bool StatisticsWindow::ExportPng() {
  const QString path = chooseFile(true, QStringLiteral("Export the Chart as PNG"),
                                  QStringLiteral("PNG pictures (*.png)"));
  return !path.isEmpty() && ExportPng(path);
}

bool StatisticsWindow::OpenSummary() {
  const QString path = chooseFile(false, QStringLiteral("Open an Ensemble Summary"),
                                  QStringLiteral("Summaries (summary-months.csv *.csv)"));
  return !path.isEmpty() && OpenSummary(path);
}

bool StatisticsWindow::ExportCsv(const QString& path) {
  std::string text = HistoryCsvHeader();
  for (const MonthSample& sample : services_.GetWorld().history.samples)
    AppendHistoryCsvRow(text, sample);
  return WriteExport(path, text, "The history", services_.WindowSeam());
}

bool StatisticsWindow::ExportPng(const QString& path) {
  if (view_->grab().save(path, "PNG")) return true;
  services_.WindowSeam().ShowMessageBox(
      "The chart could not be written to " + path.toStdString() + ".", "ERROR", Buttons::Ok);
  return false;
}

bool StatisticsWindow::CompareSummary() {
  const QString path = chooseFile(false, QStringLiteral("Open a Summary to Compare With"),
                                  QStringLiteral("Summaries (summary-months.csv *.csv)"));
  return !path.isEmpty() && CompareSummary(path);
}

bool StatisticsWindow::ReadSummary(const QString& path, HistoryTable& table) {
  QFile file(path);
  std::string problem;
  if (!file.open(QIODevice::ReadOnly)) {
    problem = file.errorString().toStdString();
  } else {
    const QByteArray bytes = file.readAll();
    problem =
        ParseHistoryCsv(std::string_view(bytes.data(), static_cast<size_t>(bytes.size())), table)
            .message();
    if (problem.empty() && table.Column("row") == table.columns.size()) {
      problem = "it has no column row: it is not an ensemble summary";
    }
  }
  if (problem.empty()) return true;
  services_.WindowSeam().ShowMessageBox(
      "The summary " + path.toStdString() + " could not be read: " + problem + ".", "ERROR",
      Buttons::Ok);
  return false;
}

bool StatisticsWindow::OpenSummary(const QString& path) {
  HistoryTable table;
  if (!ReadSummary(path, table)) return false;
  summaries_.clear();
  summaries_.push_back({SummaryName(path), std::move(table)});
  Rebuild();
  return true;
}

bool StatisticsWindow::CompareSummary(const QString& path) {
  if (summaries_.empty()) return OpenSummary(path);
  HistoryTable table;
  if (!ReadSummary(path, table)) return false;
  summaries_.resize(1);
  summaries_.push_back({SummaryName(path), std::move(table)});
  Rebuild();
  return true;
}

QStringList StatisticsWindow::SummaryNames() const {
  QStringList names;
  for (const ShownSummary& summary : summaries_)
    names << summary.name;
  // Two of one name (two "summary-months.csv" of folders both named
  // "control") are told apart by their place.
  if (names.size() == 2 && names[0] == names[1]) {
    names[0] += QStringLiteral(" (1)");
    names[1] += QStringLiteral(" (2)");
  }
  return names;
}

void StatisticsWindow::ShowWorld() {
  summaries_.clear();
  Rebuild();
}

void StatisticsWindow::showEvent(QShowEvent* event) {
  Refresh();
  QWidget::showEvent(event);
}

}  // namespace ombrivale::ui
