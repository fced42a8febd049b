#include "ui/properties_window.h"

namespace ombrivale::ui {

PropertiesWindow::PropertiesWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setWindowTitle(QStringLiteral("Animal Properties"));
}

void PropertiesWindow::RefreshAnimalList() {}
void PropertiesWindow::UpdateList() {}
void PropertiesWindow::SelectSlot(int) {}
void PropertiesWindow::DrawIt() {}
void PropertiesWindow::LocateIt() {}
void PropertiesWindow::FindMostEvolved() {}
void PropertiesWindow::UpdateListFive() {}

}  // namespace ombrivale::ui
