#include "ui/world_view.h"

namespace ombrivale::ui {

WorldViewWindow::WorldViewWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setWindowTitle(QStringLiteral("Zoom"));
}

void WorldViewWindow::DoZoomed() {}

}  // namespace ombrivale::ui
