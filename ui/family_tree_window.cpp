#include "ui/family_tree_window.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "genetics/body_measures.h"
#include "ui/file_export.h"
#include "world/phylogeny_export.h"

namespace ombrivale::ui {
namespace {

constexpr int kIdRole = Qt::UserRole;                // the animal's id (qulonglong)
constexpr int kParentsAddedRole = Qt::UserRole + 1;  // its parents' rows exist
constexpr int kFounderRows = 10;

QString Relation(int depth) {
  switch (depth) {
    case 0:
      return QStringLiteral("Chosen");
    case 1:
      return QStringLiteral("Parent");
    case 2:
      return QStringLiteral("Grandparent");
    case 3:
      return QStringLiteral("Great-grandparent");
    default:
      return QStringLiteral("%1x great-grandparent").arg(depth - 2);
  }
}

int Depth(const QTreeWidgetItem* item) {
  int depth = 0;
  for (; item->parent() != nullptr; item = item->parent())
    ++depth;
  return depth;
}

QString BornText(const LineageEntry& entry) {
  // As the "Time:" frame writes a date.
  if (entry.birthMonth < 1) return QStringLiteral("Y%1").arg(entry.birthYear);
  return QStringLiteral("Y%1, %2")
      .arg(entry.birthYear)
      .arg(QString::fromLatin1(MonthName(entry.birthMonth)));
}

}  // namespace

QStringList FamilyTreeRow(const World& world, const LineageEntry& entry) {
  const int slot = SlotOfId(world.lineage, world.Animals, entry.id);
  return {QString::number(entry.id), QString::number(entry.generation), BornText(entry),
          QString::number(ScoreOfCount(entry.primordialCount), 'f', 2),
          slot != 0 ? QString::number(slot) : QStringLiteral("dead")};
}

FamilyTreeWindow::FamilyTreeWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setWindowTitle(QStringLiteral("Family Tree"));

  chosen_ = new QLabel(this);
  chosen_->setObjectName(QStringLiteral("LabelChosen"));
  auto* refresh = new QPushButton(QStringLiteral("&Refresh"), this);
  refresh->setObjectName(QStringLiteral("CommandRefresh"));
  auto* exportCsv = new QPushButton(QStringLiteral("Export &ALife CSV..."), this);
  exportCsv->setObjectName(QStringLiteral("CommandExportCsv"));
  exportCsv->setToolTip(
      QStringLiteral("The family record as a table that phylogenetics tools read: every living "
                     "animal and its ancestors, both parents in ancestor_list."));
  ancestors_ = new QTreeWidget(this);
  ancestors_->setObjectName(QStringLiteral("TreeAncestors"));
  ancestors_->setHeaderLabels({QStringLiteral("Relation"), QStringLiteral("Animal"),
                               QStringLiteral("Generation"), QStringLiteral("Born"),
                               QStringLiteral("Score"), QStringLiteral("Slot")});
  ancestors_->setToolTip(
      QStringLiteral("Open a branch for the parents; click a living animal for its genes."));
  descendants_ = new QLabel(this);
  descendants_->setObjectName(QStringLiteral("LabelDescendants"));
  auto* foundersCaption =
      new QLabel(QStringLiteral("Founders with the most living descendants:"), this);
  founders_ = new QTreeWidget(this);
  founders_->setObjectName(QStringLiteral("ListFounders"));
  founders_->setRootIsDecorated(false);
  founders_->setHeaderLabels({QStringLiteral("Founder"), QStringLiteral("Born"),
                              QStringLiteral("Living Descendants"), QStringLiteral("Slot")});

  auto* top = new QHBoxLayout;
  top->addWidget(chosen_, 1);
  top->addWidget(exportCsv);
  top->addWidget(refresh);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(ancestors_, 3);
  layout->addWidget(descendants_);
  layout->addWidget(foundersCaption);
  layout->addWidget(founders_, 2);

  connect(refresh, &QPushButton::clicked, this, &FamilyTreeWindow::Refresh);
  connect(exportCsv, &QPushButton::clicked, this, [this] { ExportCsv(); });
  connect(ancestors_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    for (int i = 0; i < item->childCount(); ++i)
      AddParents(item->child(i));
  });
  connect(ancestors_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { Clicked(item); });
  connect(founders_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { Clicked(item); });
  connect(&services_.Document(), &WorldDocument::TrackedAnimalChanged, this, [this] {
    if (isVisible()) FollowSelection();
  });
  Refresh();
}

QTreeWidgetItem* FamilyTreeWindow::AddAnimal(QTreeWidgetItem* below, uint64_t id,
                                             const QString& role) {
  auto* item = below != nullptr ? new QTreeWidgetItem(below) : new QTreeWidgetItem(ancestors_);
  item->setData(0, kIdRole, QVariant::fromValue<qulonglong>(id));
  item->setText(0, role);
  const World& world = services_.GetWorld();
  if (const LineageEntry* entry = FindLineageEntry(world.lineage, id)) {
    const QStringList columns = FamilyTreeRow(world, *entry);
    for (int c = 0; c < columns.size(); ++c)
      item->setText(c + 1, columns[c]);
    if (entry->parents[0] != 0 || entry->parents[1] != 0)
      item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
  } else {
    // Every ancestor of the living is kept; an animal that died since the
    // tree was built may have been pruned at the turn of the year.
    item->setText(1, QString::number(id));
    item->setText(5, QStringLiteral("no longer kept"));
  }
  return item;
}

void FamilyTreeWindow::AddParents(QTreeWidgetItem* item) {
  if (item->data(0, kParentsAddedRole).toBool()) return;
  item->setData(0, kParentsAddedRole, true);
  const uint64_t id = item->data(0, kIdRole).toULongLong();
  const LineageEntry* entry = FindLineageEntry(services_.GetWorld().lineage, id);
  if (entry == nullptr) return;
  const QString role = Relation(Depth(item) + 1);
  for (const uint64_t parent : entry->parents) {
    if (parent != 0) AddAnimal(item, parent, role);
  }
  item->setChildIndicatorPolicy(item->childCount() > 0
                                    ? QTreeWidgetItem::ShowIndicator
                                    : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

bool FamilyTreeWindow::ExportCsv() {
  const QString path =
      chooseFile ? chooseFile()
                 : QFileDialog::getSaveFileName(this, QStringLiteral("Export the Family Record"),
                                                QStringLiteral("family.csv"),
                                                QStringLiteral("CSV files (*.csv)"));
  return !path.isEmpty() && ExportCsv(path);
}

bool FamilyTreeWindow::ExportCsv(const QString& path) {
  std::string text;
  FamilyPhylogenyCsv(services_.GetWorld(), text);
  return WriteExport(path, text, "The family record", services_.WindowSeam());
}

void FamilyTreeWindow::Refresh() {
  const World& world = services_.GetWorld();
  const int slot = services_.GetDisplay().SelectedAnimal;
  const bool inTable = slot >= 1 && slot <= kSlotCount;
  shownSlot_ = slot;
  shownId_ = inTable ? LivingId(world.lineage, world.Animals, slot) : 0;

  ancestors_->clear();
  if (shownId_ == 0) {
    chosen_->setText(inTable ? QStringLiteral("No animal lives in slot %1.").arg(slot)
                             : QStringLiteral("No animal is chosen: left-click one on the map."));
    descendants_->clear();
  } else {
    chosen_->setText(QStringLiteral("Animal %1 in slot %2").arg(shownId_).arg(slot));
    QTreeWidgetItem* root = AddAnimal(nullptr, shownId_, Relation(0));
    // Three generations open at once; further back, a branch at a time.
    AddParents(root);
    root->setExpanded(true);
    for (int i = 0; i < root->childCount(); ++i)
      root->child(i)->setExpanded(true);
    descendants_->setText(QStringLiteral("Living descendants: %1")
                              .arg(CountLivingDescendants(world.lineage, world.Animals, shownId_)));
  }
  for (int c = 0; c < ancestors_->columnCount(); ++c)
    ancestors_->resizeColumnToContents(c);

  founders_->clear();
  for (const FounderShare& share :
       TopFounders(world.lineage, world.Animals, static_cast<size_t>(kFounderRows))) {
    const LineageEntry* entry = FindLineageEntry(world.lineage, share.id);
    if (entry == nullptr) continue;
    const QStringList columns = FamilyTreeRow(world, *entry);
    auto* item = new QTreeWidgetItem(
        founders_, {columns[0], columns[2], QString::number(share.livingDescendants), columns[4]});
    item->setData(0, kIdRole, QVariant::fromValue<qulonglong>(share.id));
  }
  for (int c = 0; c < founders_->columnCount(); ++c)
    founders_->resizeColumnToContents(c);
}

void FamilyTreeWindow::FollowSelection() {
  const World& world = services_.GetWorld();
  const int slot = services_.GetDisplay().SelectedAnimal;
  const uint64_t id =
      slot >= 1 && slot <= kSlotCount ? LivingId(world.lineage, world.Animals, slot) : 0;
  if (slot != shownSlot_ || id != shownId_) Refresh();
}

void FamilyTreeWindow::Clicked(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  const World& world = services_.GetWorld();
  const int slot = SlotOfId(world.lineage, world.Animals, item->data(0, kIdRole).toULongLong());
  if (slot != 0) emit ShowGenes(slot);
}

void FamilyTreeWindow::showEvent(QShowEvent* event) {
  FollowSelection();
  QWidget::showEvent(event);
}

}  // namespace ombrivale::ui
