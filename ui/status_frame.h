// One of the main window's status frames ("Time:", "Life:", "Messages:"):
// an etched border with its title and one label inside, all drawn at the
// main window's enlargement.
#pragma once

#include <QLabel>
#include <QWidget>

#include "ui/main_layout.h"

namespace ombrivale::ui {

class StatusFrame : public QWidget {
  Q_OBJECT

 public:
  StatusFrame(const QString& title, const QString& labelName, QWidget* parent = nullptr);

  // Places the frame and its label (twips of the designed layout).
  void Place(const TwipRect& frame, const TwipRect& label, int scale);
  QLabel& Label() { return *label_; }
  const QString& Title() const { return title_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
  QLabel* label_;
  int scale_ = 1;
};

}  // namespace ombrivale::ui
