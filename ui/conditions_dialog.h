#pragma once

#include <QDialog>
#include <array>

#include "core/conditions.h"

class QLabel;
class QLineEdit;

namespace ombrivale::ui {

// Caption "World Conditions": each condition of the world (core/conditions.h)
// with its value, its default and its range. A value that differs from the
// default is marked: the name in bold with a "*", and a tool tip giving the
// default. A value that is not a number within the range is refused when it
// is entered (Enter, Tab or leaving the box), with the reason under the
// table, and stays in the box as typed, in red. OK takes the values (and is
// refused while a box holds a refused value); Cancel leaves them.
class ConditionsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ConditionsDialog(const Conditions& start, QWidget* parent = nullptr);

  // The values as entered so far.
  const Conditions& Chosen() const { return chosen_; }

  QLineEdit* ValueBox(int index) const { return boxes_[size_t(index)]; }
  QLabel* NameLabel(int index) const { return names_[size_t(index)]; }
  QLabel* Refusal() const { return refusal_; }

  void accept() override;

 private:
  // Reads box `index`: takes its value, or refuses it with the reason.
  bool Enter(int index);
  void MarkChanged(int index);

  Conditions chosen_;
  std::array<QLineEdit*, kConditionCount> boxes_{};
  std::array<QLabel*, kConditionCount> names_{};
  QLabel* refusal_ = nullptr;
};

}  // namespace ombrivale::ui
