#pragma once

#include <QWidget>

#include "ui/main_window_services.h"

namespace ombrivale::ui {

// Caption "QuickDraw". Placeholder until the window is built.
class QuickDrawWindow : public QWidget {
  Q_OBJECT

 public:
  explicit QuickDrawWindow(MainWindowServices& services, QWidget* parent = nullptr);
  // Draws the animal in the given view: -1 egg, 0 infant genes, 1 adult genes.
  void DrawAnimal(int slot, int stage);

 private:
  MainWindowServices& services_;
};

}  // namespace ombrivale::ui
