#pragma once

#include <QImage>
#include <QWidget>
#include <array>

#include "ui/main_window_services.h"

class QComboBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QScrollBar;

namespace ombrivale::ui {

// The Play God window's `Map`: a copy of the mini map's backdrop taken at
// load, with the line FakeSeaLevel across it.
class SeaMap : public QWidget {
  Q_OBJECT

 public:
  SeaMap(const World& world, const Display& display, QWidget* parent = nullptr);
  // Both end points at height 15 v units; the right end at x 4800 units.
  void MoveFakeSeaLevel(int v);
  int FakeSeaLevelY() const { return fakeSeaLevelY_; }  // Map units
  const QImage& Backdrop() const { return backdrop_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage backdrop_;
  int fakeSeaLevelY_ = 0;  // 32-bit: 15 x any 16-bit sea level fits
};

// Caption "Play God": finds the living animals by four traits and moves the
// sea level. The "Sacrifice" and "Creation" controls carry no behaviour
// beyond the drop options' map setting.
class PlayGodWindow : public QWidget {
  Q_OBJECT

 public:
  // Load: takes the backdrop copy and sets the scroll bar to the sea level.
  explicit PlayGodWindow(MainWindowServices& services, QWidget* parent = nullptr);

  void Command1_Click();            // "&Find Them"
  void SeaLevel_Change(int value);  // the scroll bar's value committed
  void SeaLevel_Scroll(int value);  // the scroll bar being dragged
  void Option1_Click(int index);    // the drop options

  QComboBox* ComboCov() const { return comboCov_; }
  QComboBox* ComboWalk() const { return comboWalk_; }
  QComboBox* ComboDiet() const { return comboDiet_; }
  QComboBox* ComboBreath() const { return comboBreath_; }
  QListWidget* List1() const { return list1_; }
  QListWidget* List2() const { return list2_; }
  QLabel* Label2(int index) const { return label2_[static_cast<size_t>(index)]; }
  QScrollBar* SeaLevelBar() const { return seaLevel_; }
  SeaMap* Map() const { return map_; }
  QRadioButton* Option1(int index) const { return option1_[static_cast<size_t>(index)]; }
  // The map's pointer setting: 0 with "Don't Drop Any", 2 with either placing option.
  int MapMousePointer() const { return mapMousePointer_; }

 private:
  MainWindowServices& services_;
  QComboBox* comboCov_ = nullptr;
  QComboBox* comboWalk_ = nullptr;
  QComboBox* comboDiet_ = nullptr;
  QComboBox* comboBreath_ = nullptr;
  QListWidget* list1_ = nullptr;
  QListWidget* list2_ = nullptr;
  std::array<QLabel*, 2> label2_{};
  std::array<QRadioButton*, 3> option1_{};
  QScrollBar* seaLevel_ = nullptr;
  SeaMap* map_ = nullptr;
  int mapMousePointer_ = 0;
};

}  // namespace ombrivale::ui
