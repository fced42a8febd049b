#pragma once

#include <QWidget>

#include "ui/main_window_services.h"

namespace ombrivale::ui {

// Caption "Animal Properties". Placeholder until the window is built.
class PropertiesWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PropertiesWindow(MainWindowServices& services, QWidget* parent = nullptr);
  void RefreshAnimalList();   // Timer1 handler
  void UpdateList();          // "&Update List"
  void SelectSlot(int slot);  // walks List2 and selects the entry equal to slot
  void DrawIt();              // "&Draw It"
  void LocateIt();            // "&Locate It"
  void FindMostEvolved();     // "Find Most &Evolved"
  void UpdateListFive();      // the state values, called by the month step

 private:
  MainWindowServices& services_;
};

}  // namespace ombrivale::ui
