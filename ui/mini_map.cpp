#include "ui/mini_map.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>
#include <cstring>

#include "core/helpers.h"
#include "world/map_colouring.h"
#include "world/map_picture.h"

namespace ombrivale::ui {

namespace {

constexpr int kShownRows = kMapBottomRow + 1;  // rows 0..100; row -1 is not shown

}  // namespace

QPointF MiniMapUnitsAt(QPoint widgetPosition, int scale) {
  const int s = std::max(scale, 1);
  const int px = static_cast<int>(std::floor(static_cast<double>(widgetPosition.x()) / s));
  const int py = static_cast<int>(std::floor(static_cast<double>(widgetPosition.y()) / s));
  return QPointF(px * kTwipsPerPixel, py * kTwipsPerPixel);
}

void MoveMarker(Display& display, double x, double y) {
  display.Image1.Left = x - display.Image1.Width / 2;
  display.Image1.Top = y - display.Image1.Height / 2;
  display.SelectedAnimal = 0;
}

void DrawAnimalDots(const World& world, Display& display) {
  display.MiniMap.pixels = display.MiniBak.pixels;
  if (display.colourBy.by != ColourBy::Real) {
    display.colouringStale = true;
    ColourDotsIfStale(world, display);
    return;
  }
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (IsOccupied(animal)) {
      display.MiniMap.SetClipped(CellX(animal.X), CellY(animal.Y), DotColour(world, animal));
    }
  }
}

void ColourDotsIfStale(const World& world, Display& display) {
  if (!display.colouringStale) return;
  display.colouringStale = false;
  if (display.colourBy.by == ColourBy::Real) return;
  ColourAnimals(world, display.colourBy, display.colouring);
  PaintAnimals(world, display.colouring, display.MiniMap);
}

void PlaceMarkerOnTracked(const World& world, Display& display) {
  const int tracked = display.SelectedAnimal;
  if (tracked < 1 || tracked > kSlotCount || !IsOccupied(AnimalAt(world, tracked))) return;
  const Animal& animal = AnimalAt(world, tracked);
  Marker& marker = display.Image1;
  marker.Left =
      (animal.X / double(kHundredthsPerCell) - marker.Width / 2 / kTwipsPerPixel) * kTwipsPerPixel;
  marker.Top =
      (animal.Y / double(kHundredthsPerCell) - marker.Height / 2 / kTwipsPerPixel) * kTwipsPerPixel;
}

const char* MiniMapToolTip(const Display& display, double x, double y) {
  const int px = static_cast<int>(std::floor(x / kTwipsPerPixel));
  const int py = static_cast<int>(std::floor(y / kTwipsPerPixel));
  if (px < 0 || px >= kMapWidth || py < 0 || py > kMapBottomRow) return nullptr;
  return MapColourName(display.MiniMap.At(px, py));
}

MiniMapWidget::MiniMapWidget(Display& display, QWidget* parent)
    : QWidget(parent), display_(display), image_(kMapWidth, kShownRows, QImage::Format_RGB32) {
  setObjectName(QStringLiteral("MiniMap"));
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  image_.fill(Qt::black);
  SetScale(1);
}

void MiniMapWidget::SetScale(int scale) {
  scale_ = std::max(scale, 1);
  setFixedSize(4860 / kTwipsPerPixel * scale_, 1560 / kTwipsPerPixel * scale_);
  update();
}

void MiniMapWidget::paintEvent(QPaintEvent*) {
  if (beforePaint) beforePaint();
  // The picture is enlarged here, one cell to a square of device pixels,
  // rather than by QPainter's scaler (a quarter of a tick's time at a full
  // table), and only when painted, so a hidden or covered map costs nothing.
  // The alpha byte is forced opaque.
  const qreal ratio = devicePixelRatioF();
  const int block = std::max(1, qRound(scale_ * ratio));
  if (image_.width() != kMapWidth * block) {
    image_ = QImage(kMapWidth * block, kShownRows * block, QImage::Format_RGB32);
  }
  image_.setDevicePixelRatio(static_cast<qreal>(block) / scale_);
  const uint32_t* source = display_.MiniMap.pixels.data() + MapPicture::Index(0, 0);
  const qsizetype rowBytes = static_cast<qsizetype>(kMapWidth) * block * 4;
  for (int y = 0; y < kShownRows; ++y) {
    auto* line = reinterpret_cast<uint32_t*>(image_.scanLine(y * block));
    const uint32_t* row = source + y * kMapWidth;
    if (block == 1) {
      for (int x = 0; x < kMapWidth; ++x)
        line[x] = row[x] | 0xFF000000u;
    } else {
      for (int x = 0; x < kMapWidth; ++x) {
        const uint32_t pixel = row[x] | 0xFF000000u;
        for (int k = 0; k < block; ++k)
          *line++ = pixel;
      }
      const uchar* first = image_.constScanLine(y * block);
      for (int r = 1; r < block; ++r)
        std::memcpy(image_.scanLine(y * block + r), first, rowBytes);
    }
  }

  QPainter painter(this);
  const int s = scale_;
  // The 324 x 104 box is three cells wider and taller than the picture; the
  // margin takes the window's own colour.
  painter.fillRect(QRect(kMapWidth * s, 0, width() - kMapWidth * s, height()),
                   palette().color(QPalette::Window));
  painter.fillRect(QRect(0, kShownRows * s, kMapWidth * s, height() - kShownRows * s),
                   palette().color(QPalette::Window));
  painter.drawImage(QPointF(0, 0), image_);

  // SeaLine: from x 0 to 4800 units at the sea level's height.
  const double seaY = display_.SeaLineY / kTwipsPerPixel * s;
  painter.fillRect(QRectF(0, seaY, 4800.0 / kTwipsPerPixel * s, s), QColor(0, 0, 0));

  // Image1: a rectangle outline one cell wide, black with a white inner line
  // so it shows on sky, sea and ground alike.
  const Marker& marker = display_.Image1;
  const QRectF box(marker.Left / kTwipsPerPixel * s, marker.Top / kTwipsPerPixel * s,
                   marker.Width / kTwipsPerPixel * s, marker.Height / kTwipsPerPixel * s);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(0, 0, 0), s, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter.drawRect(box.adjusted(s / 2.0, s / 2.0, -s / 2.0, -s / 2.0));
  if (s >= 2) {
    painter.setPen(QPen(QColor(255, 255, 255), 1));
    painter.drawRect(box.adjusted(s + 0.5, s + 0.5, -s - 0.5, -s - 0.5));
  }
}

void MiniMapWidget::mousePressEvent(QMouseEvent* event) {
  const QPointF units = MiniMapUnitsAt(event->position().toPoint(), scale_);
  if (event->button() == Qt::LeftButton) {
    emit LeftPressed(units.x(), units.y());
  } else if (event->button() == Qt::RightButton) {
    emit RightPressed(units.x(), units.y());
  }
}

void MiniMapWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPointF units = MiniMapUnitsAt(event->position().toPoint(), scale_);
  const char* name = MiniMapToolTip(display_, units.x(), units.y());
  if (name == nullptr) return;
  const QString text = QString::fromLatin1(name);
  if (text == toolTip()) return;
  setToolTip(text);
  if (QToolTip::isVisible()) QToolTip::showText(event->globalPosition().toPoint(), text, this);
}

}  // namespace ombrivale::ui
