// The mini map: the display's MiniMap picture, one cell a pixel, with the sea
// line and the marker Image1, enlarged by a whole factor when painted.
//
// The widget only paints what the library drew into Display::MiniMap and turns
// mouse presses into mini-map units (15 per cell); the click rules are the
// free functions below.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "core/world.h"

namespace ombrivale::ui {

// Mini-map units of the pixel under a widget position at the given scale:
// the pixel's top-left corner, 15 units a pixel.
QPointF MiniMapUnitsAt(QPoint widgetPosition, int scale);

// Right click: centres the marker on (x, y) (nothing clamps it to the map)
// and stops tracking, so the tick leaves the marker there.
void MoveMarker(Display& display, double x, double y);

// The mini map between ticks: the picture as the last map redraw left it
// (MiniBak) with one dot per occupied slot in its colour (by the display's
// "Colour By" choice), drawn as the tick draws them but from the table as
// it stands, so animals killed or laid since the last tick show at once.
void DrawAnimalDots(const World& world, Display& display);

// Draws the animals of a colouring other than the rule's that the last tick
// left to be drawn (Display::colouringStale), and its legend; once, however
// often it is asked before the next tick.
void ColourDotsIfStale(const World& world, Display& display);

// Centres the marker on the tracked animal as the tick does; nothing when
// no living animal is tracked.
void PlaceMarkerOnTracked(const World& world, Display& display);

// The tool tip for the mini-map pixel under (x, y) units: the colour's name,
// or nullptr for a colour that has none (the tool tip then stays).
const char* MiniMapToolTip(const Display& display, double x, double y);

class MiniMapWidget : public QWidget {
  Q_OBJECT

 public:
  explicit MiniMapWidget(Display& display, QWidget* parent = nullptr);

  // Whole enlargement of the painted picture; the widget is 324 x 104
  // pixels times `scale`.
  void SetScale(int scale);
  int Scale() const { return scale_; }

  // The picture as last painted (rows 0..100, each cell a square of
  // Scale() x the screen's pixel ratio device pixels).
  const QImage& Picture() const { return image_; }

  // Called first when the map paints (the main window colours the dots a
  // tick left to it).
  std::function<void()> beforePaint;

 signals:
  void LeftPressed(double x, double y);  // mini-map units
  void RightPressed(double x, double y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  Display& display_;
  int scale_ = 1;
  QImage image_;  // the enlarged picture, refilled from Display::MiniMap at every paint
};

}  // namespace ombrivale::ui
