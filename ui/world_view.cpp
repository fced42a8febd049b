#include "ui/world_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <span>

#include "core/numeric.h"
#include "ui/mini_map.h"
#include "ui/world_view_colours.h"

namespace ombrivale::ui {

ZoomPicture::ZoomPicture(const QImage& image, QWidget* parent) : QWidget(parent), image_(image) {
  setFixedSize(kZoomPixels, kZoomPixels);
  setMouseTracking(true);
  setCursor(Qt::OpenHandCursor);
}

void ZoomPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, image_);
}

WorldViewWindow::WorldViewWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services), image_(kZoomPixels, kZoomPixels, QImage::Format_RGB32) {
  setWindowTitle(QStringLiteral("Zoom"));
  image_.fill(Qt::black);
  picture1_ = new ZoomPicture(image_, this);
  picture1_->setObjectName(QStringLiteral("Picture1"));
  picture1_->move(0, 0);
  picture1_->installEventFilter(this);
  resize(kZoomPixels, kZoomPixels);
  services_.MaximizeMainWindow();
}

bool WorldViewWindow::CannotBeSeen() const {
  if (!isVisible() || services_.IsMainWindowMinimized()) return true;
  // Minimised itself or inside a minimised sub-window.
  for (const QWidget* widget = this; widget != nullptr; widget = widget->parentWidget()) {
    if (widget->isMinimized()) return true;
  }
  return false;
}

void WorldViewWindow::DoZoomed() {
  if (CannotBeSeen()) return;
  auto* bits = reinterpret_cast<uint32_t*>(image_.bits());
  Display& display = services_.GetDisplay();
  ColourDotsIfStale(services_.GetWorld(), display);
  RenderZoomed(services_.GetWorld(), display.Image1,
               std::span<uint32_t>(bits, static_cast<size_t>(kZoomPixels) * kZoomPixels),
               display.colourBy.by != ColourBy::Real ? &display.colouring.colourOfSlot : nullptr);
  ++redraws_;
  picture1_->update();
}

void WorldViewWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  DoZoomed();
}

void WorldViewWindow::Picture1_MouseMove(QPoint pixel) {
  mouseX_ = static_cast<float>(pixel.x() * kTwipsPerPixel);
  mouseY_ = RoundTo<int16_t>(static_cast<double>(pixel.y()) * kTwipsPerPixel);
}

void WorldViewWindow::Form_DragDrop(QPoint pixel) {
  const double left = pixel.x() - static_cast<double>(mouseX_) / kTwipsPerPixel;
  const double top = pixel.y() - static_cast<double>(mouseY_) / kTwipsPerPixel;
  picture1_->move(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)));
}

bool WorldViewWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != picture1_) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) break;
      Picture1_MouseMove(mouse->position().toPoint());
      dragging_ = true;
      dragStart_ = picture1_->pos();
      picture1_->setCursor(Qt::ClosedHandCursor);
      return true;
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (dragging_) {
        // The picture follows the pointer; the grabbed point stays put.
        Form_DragDrop(picture1_->mapToParent(mouse->position().toPoint()));
      } else {
        Picture1_MouseMove(mouse->position().toPoint());
      }
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (!dragging_ || mouse->button() != Qt::LeftButton) break;
      dragging_ = false;
      picture1_->setCursor(Qt::OpenHandCursor);
      const QPoint drop = picture1_->mapToParent(mouse->position().toPoint());
      if (rect().contains(drop)) {
        Form_DragDrop(drop);
      } else {
        picture1_->move(dragStart_);  // dropped outside the window: no drop
      }
      return true;
    }
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace ombrivale::ui
