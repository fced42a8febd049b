#include "ui/species_tree_window.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "core/display.h"
#include "ui/properties_window.h"
#include "world/phylogeny_export.h"

namespace ombrivale::ui {
namespace {

constexpr double kDragPixels = 3;      // a press that moves further pans instead of clicking
constexpr double kZoomPerNotch = 0.8;  // the span kept by one wheel notch in
constexpr double kLeastYears = 1.0 / 12;

QColor ColourOf(uint32_t rgb, uint8_t alpha) {
  QColor colour(static_cast<int>((rgb >> 16) & 255), static_cast<int>((rgb >> 8) & 255),
                static_cast<int>(rgb & 255));
  colour.setAlpha(alpha);
  return colour;
}

// "Y12, March", as the family tree dates a birth.
QString MonthText(const History& history, uint64_t month) {
  int32_t year = 0;
  int monthOfYear = 0;
  if (!AxisMonthDate(history, month, year, monthOfYear)) {
    return QStringLiteral("month %1 of the history").arg(month);
  }
  return QStringLiteral("Y%1, %2").arg(year).arg(QString::fromLatin1(MonthName(monthOfYear)));
}

}  // namespace

void PaintSpeciesTreeScene(QPainter& painter, const SpeciesTreeScene& scene) {
  painter.fillRect(0, 0, scene.width, scene.height, Qt::white);
  QPolygonF polygon;
  for (const ScenePolygon& shape : scene.polygons) {
    const auto n = static_cast<qsizetype>(shape.xy.size() / 2);
    polygon.resize(n);
    for (qsizetype i = 0; i < n; ++i) {
      const auto at = static_cast<size_t>(2 * i);
      polygon[i] = QPointF(shape.xy[at], shape.xy[at + 1]);
    }
    painter.setBrush(ColourOf(shape.fill, shape.alpha));
    painter.setPen(QPen(ColourOf(shape.outline, shape.alpha), 1));
    painter.drawPolygon(polygon);
  }
  for (const SceneLine& line : scene.lines) {
    painter.setPen(QPen(ColourOf(line.colour, 255), 1, line.dashed ? Qt::DashLine : Qt::SolidLine));
    painter.drawLine(QPointF(line.x1, line.y1), QPointF(line.x2, line.y2));
  }
  QFont font = painter.font();
  font.setPixelSize(kTreeFontPixels);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const QFontMetricsF metrics(font);
  for (const SceneText& text : scene.texts) {
    const QString words = QString::fromStdString(text.text);
    const double x = text.centred ? text.x - metrics.horizontalAdvance(words) / 2 : text.x;
    painter.drawText(QPointF(x, text.y), words);
  }
}

// --- The picture -------------------------------------------------------------

SpeciesTreeView::SpeciesTreeView(SpeciesTreeWindow& window) : QWidget(&window), window_(window) {
  setMouseTracking(true);
  setMinimumSize(420, 240);
}

void SpeciesTreeView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintSpeciesTreeScene(painter, window_.Scene());
  if (window_.Layout().bands.empty()) {
    painter.setPen(Qt::darkGray);
    painter.drawText(rect(), Qt::AlignCenter,
                     QStringLiteral("No species yet: the adults are grouped at each month step."));
  }
}

void SpeciesTreeView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  dragged_ = false;
  pressX_ = event->position().x();
  pressFrom_ = window_.From();
  pressTo_ = window_.To();
}

void SpeciesTreeView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (pressed_ && (dragged_ || std::abs(at.x() - pressX_) > kDragPixels)) {
    dragged_ = true;
    const double shift = (at.x() - pressX_) / window_.Frame().width * (pressTo_ - pressFrom_);
    window_.ShowYears(pressFrom_ - shift, pressTo_ - shift);
    return;
  }
  const QString text = window_.Describe(window_.BandAt(at));
  if (text.isEmpty()) {
    QToolTip::hideText();
  } else {
    QToolTip::showText(event->globalPosition().toPoint(), text, this);
  }
}

void SpeciesTreeView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  if (!dragged_) window_.ChooseBand(window_.BandAt(event->position()));
}

void SpeciesTreeView::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps != 0) window_.Zoom(window_.Frame().Years(event->position().x()), steps);
  event->accept();
}

// --- The window ----------------------------------------------------------------

SpeciesTreeWindow::SpeciesTreeWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setWindowTitle(QStringLiteral("Species Tree"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 4);
  view_ = new SpeciesTreeView(*this);
  view_->setObjectName(QStringLiteral("SpeciesTreeView"));
  column->addWidget(view_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel(QStringLiteral("Wheel: zoom. Drag: pan. Click: choose."), this), 1);
  const auto button = [&](const char* name, const QString& caption, auto handler) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    connect(b, &QPushButton::clicked, this, handler);
    buttons->addWidget(b);
  };
  button("Fit", QStringLiteral("&Fit"), [this] { Fit(); });
  button("ExportPng", QStringLiteral("Export &PNG..."), [this] { ExportPng(); });
  button("ExportSvg", QStringLiteral("Export S&VG..."), [this] { ExportSvg(); });
  button("ExportNewick", QStringLiteral("Export &Newick..."), [this] { ExportNewick(); });
  button("ExportCsv", QStringLiteral("Export &ALife CSV..."), [this] { ExportPhylogenyCsv(); });
  column->addLayout(buttons);

  chooseFile = [this](bool save, const QString& caption, const QString& filter) {
    return save ? QFileDialog::getSaveFileName(this, caption, QString(), filter)
                : QFileDialog::getOpenFileName(this, caption, QString(), filter);
  };
  WorldDocument& document = services_.Document();
  connect(&document, &WorldDocument::SpeciesRegrouped, this, [this] {
    if (isVisible()) Refresh();
  });
  connect(&document, &WorldDocument::WorldReplaced, this, [this] {
    if (isVisible()) Refresh();
  });
  resize(760, 460);
  Refresh();
}

void SpeciesTreeWindow::Refresh() {
  const World& world = services_.GetWorld();
  const SpeciesHistory& history = world.speciesHistory;
  if (history.nextMonth == shownMonth_ && history.species.size() == shownSpecies_ &&
      history.grain == shownGrain_) {
    return;
  }
  LayOutSpeciesTree(history, RestartYears(world.history), layout_);
  shownMonth_ = history.nextMonth;
  shownSpecies_ = history.species.size();
  shownGrain_ = history.grain;
  if (fitted_) {
    Fit();
  } else {
    view_->update();
  }
}

void SpeciesTreeWindow::Fit() {
  fitted_ = true;
  from_ = 0;
  to_ = std::max(layout_.endYears, kLeastYears);
  view_->update();
}

void SpeciesTreeWindow::ShowYears(double from, double to) {
  const double end = std::max(layout_.endYears, kLeastYears);
  const double span = std::clamp(to - from, kLeastYears, end);
  from = std::clamp(from, 0.0, end - span);
  from_ = from;
  to_ = from + span;
  fitted_ = false;
  view_->update();
}

void SpeciesTreeWindow::Zoom(double years, double steps) {
  const double keep = std::pow(kZoomPerNotch, steps);
  const double from = years - (years - from_) * keep;
  ShowYears(from, from + (to_ - from_) * keep);
}

TreeFrame SpeciesTreeWindow::Frame() const {
  return FrameTree(layout_, from_, to_, view_->width(), view_->height());
}

const SpeciesTreeScene& SpeciesTreeWindow::Scene() {
  DrawSpeciesTree(layout_, Frame(), services_.GetDisplay().colourBy.palette, view_->width(),
                  view_->height(), scene_);
  return scene_;
}

QImage SpeciesTreeWindow::Picture() {
  QImage image(view_->size(), QImage::Format_RGB32);
  QPainter painter(&image);
  PaintSpeciesTreeScene(painter, Scene());
  return image;
}

int SpeciesTreeWindow::BandAt(QPointF at) const {
  const TreeFrame frame = Frame();
  if (at.x() < frame.left || at.x() > frame.left + frame.width || at.y() < frame.top ||
      at.y() > frame.top + frame.height) {
    return -1;
  }
  return SpeciesBandAt(layout_, frame.Years(at.x()), frame.Adults(at.y()));
}

QString SpeciesTreeWindow::Describe(int band) const {
  if (band < 0 || static_cast<size_t>(band) >= layout_.bands.size()) return {};
  const World& world = services_.GetWorld();
  const SpeciesLife* life =
      FindSpeciesLife(world.speciesHistory, layout_.bands[static_cast<size_t>(band)].number);
  if (life == nullptr) return {};
  const bool living = IsLiving(world.speciesHistory, *life);
  return QStringLiteral(
             "Species %1\nParent: %2\nFirst: %3\nLast: %4\nPeak: %5 adults\n"
             "Living members: %6")
      .arg(life->number)
      .arg(life->parent != 0 ? QStringLiteral("species %1").arg(life->parent)
                             : QStringLiteral("none"))
      .arg(MonthText(world.history, life->first))
      .arg(living ? QStringLiteral("alive") : MonthText(world.history, life->last))
      .arg(life->peak)
      .arg(living ? LivingMembers(world, life->number) : 0);
}

void SpeciesTreeWindow::ChooseBand(int band) {
  if (band < 0 || static_cast<size_t>(band) >= layout_.bands.size()) return;
  World& world = services_.GetWorld();
  const SpeciesLife* life =
      FindSpeciesLife(world.speciesHistory, layout_.bands[static_cast<size_t>(band)].number);
  if (life == nullptr) return;
  const Marker& marker = services_.GetDisplay().Image1;
  const int slot =
      IsLiving(world.speciesHistory, *life)
          ? NearestMember(world, life->number, (marker.Left + marker.Width / 2) / kTwipsPerPixel,
                          (marker.Top + marker.Height / 2) / kTwipsPerPixel)
          : 0;
  PropertiesWindow& properties = services_.Properties();
  if (slot != 0) {
    // As a click on the mini map chooses an animal.
    properties.UpdateList();
    properties.SelectSlot(slot);
    properties.DrawIt();
    properties.LocateIt();
  } else {
    properties.ShowAnimal(
        life->representative,
        QStringLiteral("%1, none living: its representative genome").arg(life->number));
  }
  emit ShowProperties();
}

// --- Files ---------------------------------------------------------------------

bool SpeciesTreeWindow::Export(const QString& caption, const QString& filter,
                               bool (SpeciesTreeWindow::*write)(const QString&)) {
  const QString path = chooseFile(true, caption, filter);
  return !path.isEmpty() && (this->*write)(path);
}

bool SpeciesTreeWindow::ExportPng() {
  return Export(QStringLiteral("Export the Species Tree as PNG"),
                QStringLiteral("PNG pictures (*.png)"), &SpeciesTreeWindow::ExportPng);
}

bool SpeciesTreeWindow::ExportSvg() {
  return Export(QStringLiteral("Export the Species Tree as SVG"),
                QStringLiteral("SVG pictures (*.svg)"), &SpeciesTreeWindow::ExportSvg);
}

bool SpeciesTreeWindow::ExportNewick() {
  return Export(QStringLiteral("Export the Species Tree as Newick"),
                QStringLiteral("Newick trees (*.nwk *.tree)"), &SpeciesTreeWindow::ExportNewick);
}

bool SpeciesTreeWindow::ExportPhylogenyCsv() {
  return Export(QStringLiteral("Export the Species as an ALife Phylogeny Table"),
                QStringLiteral("CSV files (*.csv)"), &SpeciesTreeWindow::ExportPhylogenyCsv);
}

bool SpeciesTreeWindow::ExportPng(const QString& path) {
  if (Picture().save(path, "PNG")) return true;
  services_.WindowSeam().ShowMessageBox(
      "The species tree could not be written to " + path.toStdString() + ".", "ERROR", Buttons::Ok);
  return false;
}

bool SpeciesTreeWindow::ExportSvg(const QString& path) {
  return WriteText(path, SpeciesTreeSvg(Scene()));
}

bool SpeciesTreeWindow::ExportNewick(const QString& path) {
  std::string text;
  SpeciesNewick(services_.GetWorld().speciesHistory, text);
  return WriteText(path, text);
}

bool SpeciesTreeWindow::ExportPhylogenyCsv(const QString& path) {
  std::string text;
  SpeciesPhylogenyCsv(services_.GetWorld().speciesHistory, text);
  return WriteText(path, text);
}

bool SpeciesTreeWindow::WriteText(const QString& path, const std::string& text) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
      file.write(text.data(), static_cast<qint64>(text.size())) ==
          static_cast<qint64>(text.size()) &&
      file.flush()) {
    return true;
  }
  services_.WindowSeam().ShowMessageBox("The species tree could not be written to " +
                                            path.toStdString() + ": " +
                                            file.errorString().toStdString(),
                                        "ERROR", Buttons::Ok);
  return false;
}

void SpeciesTreeWindow::showEvent(QShowEvent* event) {
  Refresh();
  QWidget::showEvent(event);
}

}  // namespace ombrivale::ui
