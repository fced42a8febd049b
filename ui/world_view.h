#pragma once

#include <QWidget>

#include "ui/main_window_services.h"

namespace ombrivale::ui {

// Caption "Zoom". Placeholder until the window is built.
class WorldViewWindow : public QWidget {
  Q_OBJECT

 public:
  explicit WorldViewWindow(MainWindowServices& services, QWidget* parent = nullptr);
  // Redraws the 15 x 15 cell square under the marker; called once per tick.
  void DoZoomed();

 private:
  MainWindowServices& services_;
};

}  // namespace ombrivale::ui
