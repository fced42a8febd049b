#include "ui/quick_draw.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "core/rules.h"
#include "ui/display_text.h"

namespace ombrivale::ui {
namespace {

// Twips to pixels. Huge genes give figures far larger than the window; they
// are held to a range the painter handles, which still covers the window.
double Pixels(double twips) {
  return std::clamp(twips / kTwipsPerPixel, -1e6, 1e6);
}

QRectF Box(const Figure& figure) {
  return QRectF(QPointF(Pixels(figure.Left), Pixels(figure.Top)),
                QPointF(Pixels(static_cast<double>(figure.Left) + figure.Width),
                        Pixels(static_cast<double>(figure.Top) + figure.Height)));
}

QColor ColourOf(uint32_t rgb) {
  return QColor(static_cast<int>((rgb >> 16) & 255), static_cast<int>((rgb >> 8) & 255),
                static_cast<int>(rgb & 255));
}

Qt::BrushStyle PatternOf(int fillStyle) {
  switch (fillStyle) {
    case kFillSolid:
      return Qt::SolidPattern;
    case 2:
      return Qt::HorPattern;
    case kFillVertical:
      return Qt::VerPattern;
    case 4:
      return Qt::BDiagPattern;
    case 5:
      return Qt::FDiagPattern;
    case kFillCross:
      return Qt::CrossPattern;
    case kFillDiagonalCross:
      return Qt::DiagCrossPattern;
    default:
      return Qt::NoBrush;
  }
}

void PaintFigure(QPainter& painter, const Figure& figure) {
  const QRectF box = Box(figure);
  QPainterPath path;
  switch (figure.Shape) {
    case Outline::Oval:
      path.addEllipse(box);
      break;
    case Outline::RoundedRectangle: {
      const double radius = std::min({box.width(), box.height()}) / 4;
      path.addRoundedRect(box, radius, radius);
      break;
    }
    case Outline::Rectangle:
      path.addRect(box);
      break;
  }
  if (figure.BackOpaque) painter.fillPath(path, ColourOf(figure.BackColor));
  const Qt::BrushStyle pattern = PatternOf(figure.FillStyle);
  if (pattern != Qt::NoBrush) painter.fillPath(path, QBrush(ColourOf(figure.FillColor), pattern));
  painter.strokePath(path, QPen(Qt::black, 1));
}

void PaintLine(QPainter& painter, const FigureLine& line) {
  painter.setPen(QPen(Qt::black, 1));
  painter.drawLine(QPointF(Pixels(line.X1), Pixels(line.Y1)),
                   QPointF(Pixels(line.X2), Pixels(line.Y2)));
}

// Design-time places in twips (left, top, width, height).
QRect Place(int left, int top, int width, int height) {
  return QRect(left / 15, top / 15, width / 15, height / 15);
}

}  // namespace

QuickDrawCanvas::QuickDrawCanvas(const QuickDrawLayout& layout, QWidget* parent)
    : QWidget(parent), layout_(layout) {}

void QuickDrawCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing, true);
  if (layout_.bornVisible) {
    // Behind the body: tail, limbs and neck lines; the head's parts on top.
    PaintFigure(painter, layout_.tail);
    for (const Figure& limb : layout_.upperlimb)
      PaintFigure(painter, limb);
    for (const Figure& limb : layout_.lowerlimb)
      PaintFigure(painter, limb);
    PaintLine(painter, layout_.neck1);
    PaintLine(painter, layout_.neck2);
    PaintFigure(painter, layout_.body);
    PaintFigure(painter, layout_.head);
    PaintFigure(painter, layout_.mouth);
    PaintFigure(painter, layout_.nose);
    PaintFigure(painter, layout_.ear);
  }
  if (layout_.unbornVisible) PaintFigure(painter, layout_.egg);
}

QuickDrawWindow::QuickDrawWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setWindowTitle(QStringLiteral("QuickDraw"));
  services_.GetDisplay().QuickDrawZoom = 100;

  auto* label2 = new QLabel(QStringLiteral("View:"), this);
  label2->setGeometry(QRect(120 / 15, 360 / 15, 40, 18));
  static const char* const kViews[] = {"Preborn", "Infant", "Adult"};
  static const int kViewLefts[] = {720, 1920, 3000};
  auto* group = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    auto* option = new QRadioButton(QString::fromLatin1(kViews[i]), this);
    option->setObjectName(QStringLiteral("Option1_%1").arg(i));
    option->setGeometry(QRect(kViewLefts[i] / 15, 360 / 15 - 2, 78, 20));
    group->addButton(option, i);
    connect(option, &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    option1_[static_cast<size_t>(i)] = option;
  }
  static const char* const kZoomCaptions[] = {"+", "-"};
  static const int kZoomLefts[] = {3960, 3600};
  for (int i = 0; i < 2; ++i) {
    auto* button = new QPushButton(QString::fromLatin1(kZoomCaptions[i]), this);
    button->setObjectName(QStringLiteral("Command1_%1").arg(i));
    button->setGeometry(Place(kZoomLefts[i], 0, 300, 300));
    connect(button, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    command1_[static_cast<size_t>(i)] = button;
  }
  label1_ = new QLabel(QStringLiteral("= 10cm  100% Zoom"), this);
  label1_->setObjectName(QStringLiteral("Label1"));
  QFont small = label1_->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  label1_->setFont(small);
  label1_->setGeometry(QRect(1440 / 15, 0, 3600 / 15 - 1440 / 15 - 2, 18));

  canvas_ = new QuickDrawCanvas(layout_, this);
  canvas_->setObjectName(QStringLiteral("born"));
  canvas_->setGeometry(Place(0, 600, 5295, 4695));
  setMinimumSize(5295 / 15, (600 + 4695) / 15);
  resize(5295 / 15, (600 + 4695) / 15);
}

void QuickDrawWindow::paintEvent(QPaintEvent*) {
  // Line1..Line3: the fixed scale bar, 1200 twips long with end ticks.
  QPainter painter(this);
  painter.setPen(QPen(Qt::black, 1));
  painter.drawLine(QPointF(120 / 15.0, 120 / 15.0), QPointF(1320 / 15.0, 120 / 15.0));
  painter.drawLine(QPointF(120 / 15.0, 0), QPointF(120 / 15.0, 240 / 15.0));
  painter.drawLine(QPointF(1320 / 15.0, 0), QPointF(1320 / 15.0, 240 / 15.0));
}

QString QuickDrawWindow::ScaleLabel() const {
  return label1_->text();
}

void QuickDrawWindow::DrawAnimal(int slot, int stage) {
  if (slot < 1 || slot > kSlotCount) return;
  const Animal& animal = AnimalAt(services_.GetWorld(), slot);
  if (animal.Alive == 0) return;
  Display& display = services_.GetDisplay();
  display.QuickDrawAnimal = static_cast<int16_t>(slot);
  const int view = stage <= kStageEgg ? kStageEgg : (stage >= kStageAdult ? kStageAdult : 0);

  // The animal's own stage is bold whichever view is chosen.
  const int own = std::clamp<int>(animal.Stage, kStageEgg, kStageAdult) + 1;
  for (int i = 0; i < 3; ++i) {
    QFont font = option1_[static_cast<size_t>(i)]->font();
    font.setBold(i == own);
    option1_[static_cast<size_t>(i)]->setFont(font);
  }
  option1_[static_cast<size_t>(view + 1)]->setChecked(true);

  LayOutAnimal(layout_, animal, view, display.QuickDrawZoom);
  canvas_->update();
}

void QuickDrawWindow::Command1_Click(int index) {
  Display& display = services_.GetDisplay();
  const int zoom = display.QuickDrawZoom + 2 * (1 - index) - 1;
  // Never below 1: the scale text divides by the zoom.
  display.QuickDrawZoom =
      static_cast<int16_t>(std::clamp<int>(zoom, kQuickDrawZoomMin, kQuickDrawZoomMax));
  label1_->setText(QString::fromStdString(ScaleText(display.QuickDrawZoom)));
  const int drawn = display.QuickDrawAnimal;
  if (drawn >= 1 && drawn <= kSlotCount) {
    DrawAnimal(drawn, AnimalAt(services_.GetWorld(), drawn).Stage);
  }
}

void QuickDrawWindow::Option1_Click(int index) {
  DrawAnimal(services_.GetDisplay().QuickDrawAnimal, index - 1);
}

}  // namespace ombrivale::ui
