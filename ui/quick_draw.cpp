#include "ui/quick_draw.h"

namespace ombrivale::ui {

QuickDrawWindow::QuickDrawWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setWindowTitle(QStringLiteral("QuickDraw"));
}

void QuickDrawWindow::DrawAnimal(int, int) {}

}  // namespace ombrivale::ui
