// The family tree window: the tracked animal's ancestors back through the
// generations, its living descendants, and the founders whose lines hold
// most of the living.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "ui/main_window_services.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace ombrivale::ui {

// The columns of one animal of the record: "Animal" (its id), "Generation",
// "Born" ("Y12, March"; only the year for a generated world's founders),
// "Score" (the evolvedness score of its genes, two decimals), "Slot" (where
// it lives, or "dead").
QStringList FamilyTreeRow(const World& world, const LineageEntry& entry);

// Caption "Family Tree". Follows Display::SelectedAnimal: the tree shows
// the animal in that slot and, below each animal, its two parents (filled
// in when a branch is opened, since lines cross and a full tree would grow
// twofold a generation). Clicking a living ancestor shows its genes in the
// properties window.
class FamilyTreeWindow : public QWidget {
  Q_OBJECT

 public:
  explicit FamilyTreeWindow(MainWindowServices& services, QWidget* parent = nullptr);

  // Rebuilds the whole window for the tracked animal ("&Refresh").
  void Refresh();
  // Rebuilds when the tracked slot holds another animal than the one shown.
  void FollowSelection();
  // "Export &ALife CSV...": the whole family record (every living animal
  // and its ancestors) as an ALife phylogeny table, into a file asked for
  // through `chooseFile` (a save dialogue when not set). False when
  // cancelled or not written (an ERROR box says why).
  bool ExportCsv();
  bool ExportCsv(const QString& path);
  std::function<QString()> chooseFile;

  QTreeWidget* Ancestors() const { return ancestors_; }
  QTreeWidget* Founders() const { return founders_; }
  QLabel* Descendants() const { return descendants_; }
  uint64_t ShownId() const { return shownId_; }
  // Wide enough for the six columns of a deep branch.
  QSize sizeHint() const override { return {580, 540}; }

 signals:
  // A living animal of the tree was clicked.
  void ShowGenes(int slot);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QTreeWidgetItem* AddAnimal(QTreeWidgetItem* below, uint64_t id, const QString& role);
  void AddParents(QTreeWidgetItem* item);
  void Clicked(QTreeWidgetItem* item);

  MainWindowServices& services_;
  QLabel* chosen_ = nullptr;
  QLabel* descendants_ = nullptr;
  QTreeWidget* ancestors_ = nullptr;
  QTreeWidget* founders_ = nullptr;
  int shownSlot_ = -1;    // the tracked slot the tree was built for
  uint64_t shownId_ = 0;  // the animal it shows, 0 for none
};

}  // namespace ombrivale::ui
