#pragma once

#include <QWidget>

#include "ui/main_window_services.h"

namespace ombrivale::ui {

// Caption "Play God". Placeholder until the window is built.
class PlayGodWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PlayGodWindow(MainWindowServices& services, QWidget* parent = nullptr);

 private:
  MainWindowServices& services_;
};

}  // namespace ombrivale::ui
