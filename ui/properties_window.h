#pragma once

#include <QWidget>
#include <string>

#include "ui/main_window_services.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

class QGridLayout;

namespace ombrivale::ui {

// The row names of List1 (123: five egg rows, then 59 per gene set with the
// prefixes "infant" and "adult ") and of List4 (the five state values).
std::vector<std::string> CharacteristicNames();
std::vector<std::string> StateNames();
// List3: the chosen animal's value for every List1 row, in the same order.
// Bytes and 16-bit genes as plain decimals, the SensorExists flags as
// "True" / "False".
std::vector<std::string> CharacteristicValues(const Animal& animal);
// The species line for the animal in `slot`: its species at the last
// grouping and how many there were, or why it has none.
std::string SpeciesText(const World& world, int slot);

// Caption "Animal Properties": picks a living animal by slot, shows its genes
// and state, draws it in QuickDraw, tracks it, and finds the most evolved.
class PropertiesWindow : public QWidget {
  Q_OBJECT

 public:
  // Load: fills List4 and List1, then the animal list.
  explicit PropertiesWindow(MainWindowServices& services, QWidget* parent = nullptr);

  void RefreshAnimalList();   // Timer1 handler: List2 = the occupied slots
  void UpdateList();          // "&Update List"
  void SelectSlot(int slot);  // walks List2 and selects the entry equal to slot
  void DrawIt();              // "&Draw It"
  void LocateIt();            // "&Locate It"
  void FindMostEvolved();     // "Find Most &Evolved"
  void UpdateListFive();      // the state values, called by the month step
  // Play God laid or killed animals: the list follows, and a chosen animal
  // that died is shown no longer.
  void FollowHandChanges();
  // Shows the genes and state of an animal that lives in no slot (an extinct
  // species' representative): no slot is chosen, and `species` stands on
  // the species line until a slot is.
  void ShowAnimal(const Animal& animal, const QString& species);
  void SaveAsObg();  // "Save As OBG...": asks for the file
  // Writes the chosen animal's file to `path`; nothing chosen or a failed
  // write is reported. True when written.
  bool SaveChosenTo(const QString& path);

  // Choose animal: List2 selected (by the user or by a handler).
  void List2_Click();
  // Selects entry `index` of List2 (-1: none) as a click would.
  void SelectList2Index(int index);
  // The slot number of List2's current entry, 0 when none is selected.
  int ChosenNumber() const;

  QComboBox* List2() const { return animalChoice_; }
  QListWidget* List1() const { return geneNames_; }
  QListWidget* List3() const { return geneValues_; }
  QListWidget* List4() const { return stateNames_; }
  QListWidget* List5() const { return stateValues_; }
  QLabel* LabelSpecies() const { return labelSpecies_; }

 private:
  QGridLayout* BuildButtons();
  void FillStateValues(const Animal& animal);

  MainWindowServices& services_;
  QComboBox* animalChoice_ = nullptr;
  QListWidget* geneNames_ = nullptr;
  QListWidget* geneValues_ = nullptr;
  QListWidget* stateNames_ = nullptr;
  QListWidget* stateValues_ = nullptr;
  QLabel* labelSpecies_ = nullptr;
};

}  // namespace ombrivale::ui
