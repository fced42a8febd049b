#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <optional>
#include <vector>

#include "genetics/play_god_actions.h"
#include "ui/main_window_services.h"

class QComboBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QScrollBar;

class QGroupBox;

namespace ombrivale::ui {

// The Play God window's `Map`: a copy of the mini map's backdrop, taken
// afresh whenever the window is shown and whenever the mini map is redrawn,
// with the line FakeSeaLevel across it and a cross on each of the latest
// drops. One pixel is one cell; a left click reports its cell.
class SeaMap : public QWidget {
  Q_OBJECT

 public:
  SeaMap(const World& world, const Display& display, QWidget* parent = nullptr);
  // Copies the mini map's backdrop as it is now.
  void RefreshBackdrop();
  // Both end points at height 15 v units; the right end at x 4800 units.
  void MoveFakeSeaLevel(int v);
  int FakeSeaLevelY() const { return fakeSeaLevelY_; }  // Map units
  const QImage& Backdrop() const { return backdrop_; }
  // Marks a cell where eggs were dropped (the latest few are kept).
  void MarkDrop(int cellX, int cellY);

 signals:
  // A left press on the picture, in cells (past the map's edges too).
  void CellPressed(int cellX, int cellY);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const Display& display_;
  QImage backdrop_;
  int fakeSeaLevelY_ = 0;  // 32-bit: 15 x any 16-bit sea level fits
  std::vector<QPoint> drops_;
};

// Caption "Play God": finds the living animals by four traits and moves the
// sea level; kills one of the animals found ("Sacrifice"); loads or designs
// an animal and drops eggs of it where the map is clicked ("Creation").
class PlayGodWindow : public QWidget {
  Q_OBJECT

 public:
  // Load: takes the backdrop copy and sets the scroll bar to the sea level.
  explicit PlayGodWindow(MainWindowServices& services, QWidget* parent = nullptr);

  void Command1_Click();            // "&Find Them"
  void SeaLevel_Change(int value);  // the scroll bar's value committed
  void SeaLevel_Scroll(int value);  // the scroll bar being dragged
  void Option1_Click(int index);    // the drop options
  void Command2_Click();            // "&Kill It": the animal chosen in List2
  void Command3_Click();            // "&Design New Animal"
  void Command4_Click();            // "&Load Animal From OBG": asks for a file
  // Reads the animal to drop from `path`; a file that cannot be read is
  // reported (its name and line) and changes nothing. True when read.
  bool LoadAnimalFrom(const QString& path);
  // Makes `animal` the one to drop.
  void UseAnimal(const Animal& animal, const QString& source);
  // A left press on the map's cell (x, y): drops eggs of the animal to drop
  // there as the drop option says, or reports why none were laid.
  void Map_MouseDown(int cellX, int cellY);

  QComboBox* ComboCov() const { return comboCov_; }
  QComboBox* ComboWalk() const { return comboWalk_; }
  QComboBox* ComboDiet() const { return comboDiet_; }
  QComboBox* ComboBreath() const { return comboBreath_; }
  QListWidget* List1() const { return foundList_; }
  QListWidget* List2() const { return sacrificeList_; }
  QLabel* Label2(int index) const { return foundCounts_[static_cast<size_t>(index)]; }
  QScrollBar* SeaLevelBar() const { return seaLevel_; }
  SeaMap* Map() const { return map_; }
  QRadioButton* Option1(int index) const { return dropOptions_[static_cast<size_t>(index)]; }
  // The map's pointer setting: 0 with "Don't Drop Any", 2 with either placing option.
  int MapMousePointer() const { return mapMousePointer_; }
  // The animal eggs are dropped of, once one was loaded or designed.
  const std::optional<Animal>& AnimalToDrop() const { return toDrop_; }
  QLabel* DropLabel() const { return dropLabel_; }
  // The sex the next "Place One" egg gets.
  uint8_t NextSex() const { return drop_.nextSex; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QGroupBox* BuildSearchFrame();
  QGroupBox* BuildSacrificeFrame();
  QGroupBox* BuildCreationFrame();

  MainWindowServices& services_;
  QComboBox* comboCov_ = nullptr;
  QComboBox* comboWalk_ = nullptr;
  QComboBox* comboDiet_ = nullptr;
  QComboBox* comboBreath_ = nullptr;
  QListWidget* foundList_ = nullptr;
  QListWidget* sacrificeList_ = nullptr;
  std::array<QLabel*, 2> foundCounts_{};
  std::array<QRadioButton*, 3> dropOptions_{};
  QScrollBar* seaLevel_ = nullptr;
  SeaMap* map_ = nullptr;
  int mapMousePointer_ = 0;
  QLabel* dropLabel_ = nullptr;
  std::optional<Animal> toDrop_;
  DropPolicy drop_;
};

}  // namespace ombrivale::ui
