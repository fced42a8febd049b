#include "ui/design_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValidator>
#include <functional>

#include "genetics/gene_table.h"
#include "world/animal_import.h"

namespace ombrivale::ui {
namespace {

enum Column { kGeneColumn, kValueColumn, kLowestColumn, kHighestColumn };
constexpr int kFirstGeneLine = 14;
constexpr const char* kSetPrefixes[] = {"infant", "adult "};

// What the value editor holds: any text at all, so that nothing typed is
// lost or changed on the way (a spin box of 0..255 silently dropped the last
// 0 of 300). A whole number within the row's bounds is Acceptable; anything
// else is Intermediate, which keeps the editor open on Enter and Tab with the
// text as typed, and `refused` says why.
class TypedValueValidator : public QValidator {
 public:
  TypedValueValidator(GeneRange range, std::function<void(const QString&)> refused, QObject* parent)
      : QValidator(parent), range_(range), refused_(std::move(refused)) {}

  State validate(QString& text, int&) const override {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && range_.Holds(value) ? Acceptable : Intermediate;
  }
  // Called when Enter, Tab or leaving the box would commit a value that is
  // not acceptable; the text stays as typed.
  void fixup(QString& text) const override { refused_(text); }

 private:
  GeneRange range_;
  std::function<void(const QString&)> refused_;
};

// The value column's editor: a line edit with the validator above, for the
// row's bounds as they stand when the editing starts; a value it cannot take
// shows red.
class ValueDelegate : public QStyledItemDelegate {
 public:
  using Range = std::function<GeneRange(int row)>;
  using Refuse = std::function<void(int row, const QString& typed)>;
  ValueDelegate(Range range, Refuse refuse, QObject* parent)
      : QStyledItemDelegate(parent), range_(std::move(range)), refuse_(std::move(refuse)) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("ValueEditor"));
    const int row = index.row();
    box->setValidator(new TypedValueValidator(
        range_(row), [this, row](const QString& typed) { refuse_(row, typed); }, box));
    QObject::connect(box, &QLineEdit::textChanged, box, [box] {
      box->setStyleSheet(box->hasAcceptableInput() ? QString() : QStringLiteral("color: #b00000"));
    });
    return box;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    static_cast<QLineEdit*>(editor)->setText(index.data().toString());
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    auto* box = static_cast<QLineEdit*>(editor);
    if (!box->hasAcceptableInput()) return;  // refused by the validator's fixup
    model->setData(index, box->text().trimmed());
  }

 private:
  Range range_;
  Refuse refuse_;
};

}  // namespace

std::vector<DesignRow> DesignRows() {
  std::vector<DesignRow> rows;
  int line = kFirstGeneLine;
  for (size_t i = 0; i < UnbornFields().size(); ++i)
    rows.push_back({line++, -1, static_cast<int>(i)});
  for (int set = 0; set < 2; ++set) {
    for (const int field : ComparedFields())
      rows.push_back({line++, set, field});
  }
  return rows;
}

DesignDialog::DesignDialog(const Animal& start, Seam& seam, QWidget* parent)
    : QDialog(parent), design_(start), seam_(seam), rows_(DesignRows()) {
  setWindowTitle(QStringLiteral("Design New Animal"));
  table_ = new QTableWidget(static_cast<int>(rows_.size()), 4, this);
  table_->setObjectName(QStringLiteral("Genes"));
  table_->setHorizontalHeaderLabels({QStringLiteral("Gene"), QStringLiteral("Value"),
                                     QStringLiteral("Lowest"), QStringLiteral("Highest")});
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setItemDelegateForColumn(
      kValueColumn,
      new ValueDelegate([this](int row) { return RangeOf(rows_[size_t(row)]); },
                        [this](int row, const QString& typed) { Refuse(row, typed); }, this));
  const auto unborn = UnbornFields();
  const auto fields = GeneSetFields();
  for (size_t i = 0; i < rows_.size(); ++i) {
    const DesignRow& row = rows_[i];
    const QString name = row.geneSet < 0
                             ? QString::fromLatin1(unborn[size_t(row.field)].name)
                             : QString::fromLatin1(kSetPrefixes[row.geneSet]) +
                                   QString::fromLatin1(fields[size_t(row.field)].suffix);
    const int r = static_cast<int>(i);
    for (int column = 0; column < 4; ++column) {
      auto* item = new QTableWidgetItem;
      if (column != kValueColumn) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
      table_->setItem(r, column, item);
    }
    table_->item(r, kGeneColumn)->setText(name);
    ShowRow(r);
  }
  table_->resizeColumnsToContents();
  // The value box holds any value a gene takes and a digit or two more, so
  // what is typed stays in view.
  const int valueWidth = table_->fontMetrics().horizontalAdvance(QStringLiteral("-8888888")) + 24;
  table_->setColumnWidth(kValueColumn, std::max(table_->columnWidth(kValueColumn), valueWidth));
  table_->horizontalHeader()->setStretchLastSection(true);
  connect(table_, &QTableWidget::itemChanged, this, &DesignDialog::ItemChanged);

  refusal_ = new QLabel(this);
  refusal_->setObjectName(QStringLiteral("Refusal"));
  refusal_->setWordWrap(true);
  refusal_->setStyleSheet(QStringLiteral("color: #b00000"));

  auto* buttons = new QDialogButtonBox(this);
  auto* save = buttons->addButton(QStringLiteral("Save As OBG..."), QDialogButtonBox::ActionRole);
  auto* use = buttons->addButton(QStringLiteral("Use"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  save->setObjectName(QStringLiteral("SaveAs"));
  use->setObjectName(QStringLiteral("Use"));
  connect(save, &QPushButton::clicked, this, &DesignDialog::SaveAs);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("The egg genes and the genes of the infant and adult bodies, as an animal "
                     "file holds them. Double-click a value to change it."),
      this));
  layout->addWidget(table_, 1);
  layout->addWidget(refusal_);
  layout->addWidget(buttons);
  resize(460, 560);
}

GeneRange DesignDialog::RangeOf(const DesignRow& row) const {
  if (row.geneSet < 0) return DesignRange(UnbornFields()[size_t(row.field)]);
  return DesignRange(design_.Genes[row.geneSet], GeneSetFields()[size_t(row.field)]);
}

int DesignDialog::ValueOf(const DesignRow& row) const {
  if (row.geneSet < 0) return UnbornValue(design_.Unborn, UnbornFields()[size_t(row.field)]);
  return GeneValue(design_.Genes[row.geneSet], GeneSetFields()[size_t(row.field)]);
}

void DesignDialog::ShowRow(int row) {
  const DesignRow& r = rows_[size_t(row)];
  const GeneRange range = RangeOf(r);
  showing_ = true;
  table_->item(row, kValueColumn)->setText(QString::number(ValueOf(r)));
  table_->item(row, kLowestColumn)->setText(QString::number(range.low));
  table_->item(row, kHighestColumn)->setText(QString::number(range.high));
  showing_ = false;
}

void DesignDialog::Refuse(int row, const QString& typed) {
  const QString name = table_->item(row, kGeneColumn)->text().simplified();
  bool ok = false;
  typed.trimmed().toInt(&ok);
  if (!ok) {
    refusal_->setText(
        QStringLiteral("%1 takes a whole number: \"%2\" was refused.").arg(name, typed));
    return;
  }
  const GeneRange range = RangeOf(rows_[size_t(row)]);
  refusal_->setText(QStringLiteral("%1 must lie between %2 and %3: %4 was refused.")
                        .arg(name)
                        .arg(range.low)
                        .arg(range.high)
                        .arg(typed.trimmed()));
}

bool DesignDialog::EnterValue(int row, int value) {
  const DesignRow& r = rows_[size_t(row)];
  if (!RangeOf(r).Holds(value)) {
    Refuse(row, QString::number(value));
    ShowRow(row);
    return false;
  }
  refusal_->clear();
  if (r.geneSet < 0) {
    SetUnbornValue(design_.Unborn, UnbornFields()[size_t(r.field)], value);
  } else {
    SetGeneValue(design_.Genes[r.geneSet], GeneSetFields()[size_t(r.field)], value);
  }
  // Other genes' bounds may follow this one.
  for (int i = 0; i < table_->rowCount(); ++i)
    ShowRow(i);
  return true;
}

void DesignDialog::ItemChanged(QTableWidgetItem* item) {
  if (showing_ || item->column() != kValueColumn) return;
  bool ok = false;
  const int value = item->text().trimmed().toInt(&ok);
  if (!ok) {
    Refuse(item->row(), item->text());
    ShowRow(item->row());
    return;
  }
  EnterValue(item->row(), value);
}

bool DesignDialog::SaveTo(const QString& path) {
  PosixFileSystem files;
  if (const Status error = WriteAnimalToFile(files, path.toStdString(), design_); !error.ok()) {
    seam_.ShowMessageBox("The animal file " + path.toStdString() +
                             " could not be written: " + AnimalFileFault(error) + ".",
                         "Design New Animal", Buttons::Ok);
    return false;
  }
  return true;
}

void DesignDialog::SaveAs() {
  const QString path = QFileDialog::getSaveFileName(
      this, QStringLiteral("Save As OBG"), QStringLiteral("Design.OBG"),
      QStringLiteral("Animal files (*.OBG);;All files (*)"));
  if (!path.isEmpty()) SaveTo(path);
}

}  // namespace ombrivale::ui
