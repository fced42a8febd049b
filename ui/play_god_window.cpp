#include "ui/play_god_window.h"

namespace ombrivale::ui {

PlayGodWindow::PlayGodWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setWindowTitle(QStringLiteral("Play God"));
}

}  // namespace ombrivale::ui
