// The About window: the program's name, a credit line and its date under a
// picture of the planet.
#pragma once

#include <QDialog>
#include <QImage>

namespace ombrivale::ui {

// The planet seen from the side as the mini map shows it, painted at any
// size: sky and sun, hills of exposed ground, a sea over the low ground with
// scum and water plants, land plants, and a few animals walking, swimming and
// flying. With `round` the scene is cut to a disc (the program's icon).
QImage DrawPlanetPicture(QSize size, bool round = false);

class AboutWindow : public QDialog {
  Q_OBJECT

 public:
  explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace ombrivale::ui
