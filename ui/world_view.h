#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>

#include "ui/main_window_services.h"

namespace ombrivale::ui {

// Picture1 of the world view: shows the rendered square and can be dragged
// inside the window by pressing the left button on it.
class ZoomPicture : public QWidget {
  Q_OBJECT

 public:
  explicit ZoomPicture(const QImage& image, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const QImage& image_;
};

// Caption "Zoom": an enlarged 15 x 15 cell square of the planet whose top-left
// corner is the mini map's marker, redrawn once per tick by DoZoomed.
class WorldViewWindow : public QWidget {
  Q_OBJECT

 public:
  // Load handler: the first creation maximises the main window.
  explicit WorldViewWindow(MainWindowServices& services, QWidget* parent = nullptr);

  // Redraws the square under the marker; does nothing while this view or the
  // main window cannot be seen.
  void DoZoomed();

  // Pointer moved over Picture1, at (x, y) pixels of Picture1: keeps the
  // grabbed point in Picture1 units (15 per pixel).
  void Picture1_MouseMove(QPoint pixel);
  // The end of dragging Picture1, dropped at `pixel` of this window: the
  // point that was grabbed lands under the pointer.
  void Form_DragDrop(QPoint pixel);

  QWidget* Picture1() const { return picture1_; }
  const QImage& Picture() const { return image_; }
  float MouseX() const { return mouseX_; }
  int16_t MouseY() const { return mouseY_; }
  uint64_t RedrawCount() const { return redraws_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Shown while paused, the view draws the world at once rather than at the
  // next tick.
  void showEvent(QShowEvent* event) override;

 private:
  bool CannotBeSeen() const;

  MainWindowServices& services_;
  QImage image_;
  ZoomPicture* picture1_ = nullptr;
  float mouseX_ = 0;  // Picture1 units
  int16_t mouseY_ = 0;
  bool dragging_ = false;
  QPoint dragStart_;  // Picture1's place when the drag began
  uint64_t redraws_ = 0;
};

}  // namespace ombrivale::ui
