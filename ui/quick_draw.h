#pragma once

#include <QWidget>
#include <array>

#include "ui/main_window_services.h"
#include "ui/quick_draw_layout.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace ombrivale::ui {

// The `born` and `unborn` picture areas: paints the figures of a layout.
class QuickDrawCanvas : public QWidget {
  Q_OBJECT

 public:
  QuickDrawCanvas(const QuickDrawLayout& layout, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const QuickDrawLayout& layout_;
};

// Caption "QuickDraw": one animal as a schematic side view built from its
// genes, as an egg, an infant or an adult, with a zoom.
class QuickDrawWindow : public QWidget {
  Q_OBJECT

 public:
  // Creation resets the zoom to 100; the drawn animal is kept in the world.
  explicit QuickDrawWindow(MainWindowServices& services, QWidget* parent = nullptr);

  // Draws the animal in the given view: -1 egg, 0 infant genes, 1 adult genes.
  // Slot 0, a slot outside 1..750 and a slot whose Alive is 0 draw nothing.
  void DrawAnimal(int slot, int stage);

  // "+" (index 0) and "-" (index 1): the zoom moves by one within 1..500.
  void Command1_Click(int index);
  // "Preborn" (0), "Infant" (1), "Adult" (2): draws the drawn animal so.
  void Option1_Click(int index);

  const QuickDrawLayout& Layout() const { return layout_; }
  QString ScaleLabel() const;
  QRadioButton* Option(int index) const { return option1_[static_cast<size_t>(index)]; }
  QPushButton* ZoomButton(int index) const { return command1_[static_cast<size_t>(index)]; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  MainWindowServices& services_;
  QuickDrawLayout layout_;
  QLabel* label1_ = nullptr;
  std::array<QRadioButton*, 3> option1_{};
  std::array<QPushButton*, 2> command1_{};
  QuickDrawCanvas* canvas_ = nullptr;
};

}  // namespace ombrivale::ui
