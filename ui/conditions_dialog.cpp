#include "ui/conditions_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ombrivale::ui {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ValueText(double value) {
  return QString::fromStdString(ConditionValueText(value));
}

}  // namespace

ConditionsDialog::ConditionsDialog(const Conditions& start, QWidget* parent)
    : QDialog(parent), chosen_(start) {
  setWindowTitle(QStringLiteral("World Conditions"));
  auto* grid = new QGridLayout;
  const QString headers[] = {QStringLiteral("Condition"), QStringLiteral("Value"),
                             QStringLiteral("Default"), QStringLiteral("Range")};
  for (int column = 0; column < 4; ++column) {
    auto* header = new QLabel(QStringLiteral("<b>%1</b>").arg(headers[column]), this);
    grid->addWidget(header, 0, column);
  }
  const auto& rules = ConditionRules();
  for (int i = 0; i < kConditionCount; ++i) {
    const ConditionRule& rule = rules[size_t(i)];
    const int row = i + 1;
    names_[size_t(i)] = new QLabel(this);
    names_[size_t(i)]->setObjectName(Text(rule.name));
    auto* box = new QLineEdit(ValueText(ConditionValue(chosen_, i)), this);
    box->setObjectName(Text(rule.name) + QStringLiteral("_value"));
    box->setToolTip(Text(rule.means));
    const int width = box->fontMetrics().horizontalAdvance(QStringLiteral("88.888888")) + 16;
    box->setMinimumWidth(width);
    boxes_[size_t(i)] = box;
    grid->addWidget(names_[size_t(i)], row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(new QLabel(ValueText(rule.standard), this), row, 2);
    const QString range =
        rule.high - rule.low == 1 && rule.whole
            ? QStringLiteral("%1 or %2").arg(ValueText(rule.low), ValueText(rule.high))
            : QStringLiteral("%1 to %2").arg(ValueText(rule.low), ValueText(rule.high));
    grid->addWidget(
        new QLabel(range + (rule.whole ? QString() : QStringLiteral(" (any fraction)")), this), row,
        3);
    // Enter, Tab and leaving the box all end the editing.
    connect(box, &QLineEdit::editingFinished, this, [this, i] { Enter(i); });
    connect(box, &QLineEdit::textEdited, this,
            [box] { box->setStyleSheet(QString()); });  // red until mended
    MarkChanged(i);
  }
  grid->setColumnStretch(3, 1);

  refusal_ = new QLabel(this);
  refusal_->setObjectName(QStringLiteral("Refusal"));
  refusal_->setWordWrap(true);
  refusal_->setStyleSheet(QStringLiteral("color: #b00000"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("Ok"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &ConditionsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("The rules' numbers this world runs under, saved with it. A changed value "
                     "is marked *; OK applies the values at once."),
      this));
  layout->addLayout(grid);
  layout->addWidget(refusal_);
  layout->addStretch(1);
  layout->addWidget(buttons);
}

bool ConditionsDialog::Enter(int index) {
  QLineEdit* box = boxes_[size_t(index)];
  double value = 0;
  const Status status = ParseConditionValue(index, box->text().trimmed().toStdString(), value);
  if (!status.ok()) {
    refusal_->setText(QString::fromStdString(std::string(status.message())) +
                      QStringLiteral(": refused."));
    box->setStyleSheet(QStringLiteral("color: #b00000"));
    return false;
  }
  refusal_->clear();
  box->setStyleSheet(QString());
  SetConditionValue(chosen_, index, value);
  MarkChanged(index);
  return true;
}

void ConditionsDialog::MarkChanged(int index) {
  const ConditionRule& rule = ConditionRules()[size_t(index)];
  const bool changed = ConditionValue(chosen_, index) != rule.standard;
  QLabel* name = names_[size_t(index)];
  name->setText(changed ? QStringLiteral("<b>%1 *</b>").arg(Text(rule.name)) : Text(rule.name));
  name->setToolTip(
      Text(rule.means) +
      (changed ? QStringLiteral("\nChanged: the default is %1").arg(ValueText(rule.standard))
               : QString()));
}

void ConditionsDialog::accept() {
  // The box being edited has not been entered yet when OK is pressed with
  // Enter; every box is read again so none is taken half typed.
  for (int i = 0; i < kConditionCount; ++i) {
    if (!Enter(i)) {
      boxes_[size_t(i)]->setFocus();
      return;
    }
  }
  QDialog::accept();
}

}  // namespace ombrivale::ui
