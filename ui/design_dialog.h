#pragma once

#include <QDialog>

#include "core/seam.h"
#include "core/world.h"
#include "genetics/play_god_actions.h"

class QLabel;
class QTableWidget;
class QTableWidgetItem;

namespace ombrivale::ui {

// One row of the design table: an egg gene or a saved gene of one set, in
// the order of the animal file's lines 14..128.
struct DesignRow {
  int line = 0;      // of the animal file
  int geneSet = -1;  // -1 for an egg gene, else 0 (infant) or 1 (adult)
  int field = 0;     // into UnbornFields() or GeneSetFields()
};
// The 115 rows.
std::vector<DesignRow> DesignRows();

// Caption "Design New Animal": every egg gene and every saved gene of both
// sets with the bounds the gene table gives it (for the set as it stands),
// editable; a value outside them is refused when it is entered (Enter, Tab or
// leaving the box), with the reason under the table, and the box keeps it as
// typed, in red, to be mended or left with Escape. "Save As
// OBG..." writes the design as an animal file; "Use" makes it the animal
// Play God drops.
class DesignDialog : public QDialog {
  Q_OBJECT

 public:
  DesignDialog(const Animal& start, Seam& seam, QWidget* parent = nullptr);

  const Animal& Design() const { return design_; }
  // Enters `value` on row `row` as typing it would: false, and the value
  // kept, when it lies outside the row's bounds.
  bool EnterValue(int row, int value);
  // Says under the table why `typed` cannot go in row `row`.
  void Refuse(int row, const QString& typed);
  // Writes the design to `path`; a failure is reported. True when written.
  bool SaveTo(const QString& path);
  void SaveAs();  // "Save As OBG...": asks for the file

  QTableWidget* Table() const { return table_; }
  QLabel* Refusal() const { return refusal_; }

 private:
  GeneRange RangeOf(const DesignRow& row) const;
  int ValueOf(const DesignRow& row) const;
  void ShowRow(int row);
  void ItemChanged(QTableWidgetItem* item);

  Animal design_;
  Seam& seam_;
  std::vector<DesignRow> rows_;
  QTableWidget* table_ = nullptr;
  QLabel* refusal_ = nullptr;
  bool showing_ = false;  // the table is being filled, not edited
};

}  // namespace ombrivale::ui
