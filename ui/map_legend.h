// The legend under the mini map while it colours its animals by a trait:
// the scale with its lowest and highest value, or each category's colour
// with its count. Hidden with the rule's colours, so the main window looks
// as the rules draw it.
#pragma once

#include <QWidget>
#include <functional>

#include "core/world.h"

namespace ombrivale::ui {

// The legend's text as painted, for the tests and the tool tip: "Sex: Sex 0
// 312, Sex 1 301" or "Hunger: 12 .. 940 (eggs 37)".
QString LegendText(const Legend& legend);

class MapLegendWidget : public QWidget {
  Q_OBJECT

 public:
  MapLegendWidget(const Display& display, QWidget* parent);

  // Shows or hides the legend for the display's choice and repaints it.
  void Refresh();

  QSize sizeHint() const override;

  // Called first when the legend paints, as the mini map's.
  std::function<void()> beforePaint;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const Display& display_;
};

}  // namespace ombrivale::ui
