#include "ui/play_god_window.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <span>

#include "core/helpers.h"
#include "core/rules.h"
#include "genetics/play_god_actions.h"
#include "genetics/play_god_search.h"
#include "ui/design_dialog.h"
#include "ui/display_text.h"
#include "world/animal_import.h"
#include "world/map_picture.h"
#include "world/world_gen.h"

namespace ombrivale::ui {
namespace {

constexpr int kMapWidthUnits = 4860;   // 324 cells' worth
constexpr int kMapHeightUnits = 1560;  // 104 cells' worth
constexpr int kFakeSeaLevelRight = 4800;
// The scroll bar reaches at least rows -1..101 (all sea to all sky) and
// always the sea level at load, wherever the yearly drift has taken it.
constexpr int kLowestOffered = -1;
constexpr int kHighestOffered = 101;
constexpr size_t kDropsMarked = 8;
constexpr int kSlotRole = Qt::UserRole;
constexpr int kIdRole = Qt::UserRole + 1;
constexpr const char* kCaption = "Play God";

// List2's entry for an animal found: the slot, then what it is.
QString SacrificeEntry(const Animal& animal, int slot) {
  static const char* const kStages[] = {"egg", "infant", "adult"};
  const GeneSet& genes = animal.Genes[animal.Stage == kStageAdult ? 1 : 0];
  const auto name = [](const auto& names, int value) {
    return value >= 0 && value < static_cast<int>(names.size()) ? names[static_cast<size_t>(value)]
                                                                : "?";
  };
  return QStringLiteral(" %1  %2, sex %3, %4, %5, %6")
      .arg(slot)
      .arg(QString::fromLatin1(kStages[std::clamp<int>(animal.Stage, -1, 1) + 1]))
      .arg(animal.Sex)
      .arg(QString::fromLatin1(name(kDietNames, genes.Head.Diet)),
           QString::fromLatin1(name(kBreathingMethodNames, genes.Body.BreathingMethod)),
           QString::fromLatin1(name(kCoveringNames, genes.Body.Covering)));
}

QString DropText(const Animal& animal, const QString& source) {
  return QStringLiteral("Animal to drop: %1 (sex %2)").arg(source).arg(animal.Sex);
}

QComboBox* MakeList(QWidget* parent, std::span<const char* const> entries) {
  auto* combo = new QComboBox(parent);
  combo->addItem(QString::fromLatin1(kIgnoreEntry));
  for (const char* entry : entries)
    combo->addItem(QString::fromLatin1(entry));
  combo->setCurrentIndex(0);
  return combo;
}

}  // namespace

SeaMap::SeaMap(const World& world, const Display& display, QWidget* parent)
    : QWidget(parent),
      display_(display),
      backdrop_(kMapWidthUnits / kTwipsPerPixel, kMapHeightUnits / kTwipsPerPixel,
                QImage::Format_RGB32) {
  setFixedSize(backdrop_.size());
  RefreshBackdrop();
  MoveFakeSeaLevel(world.SeaLevel);
}

void SeaMap::RefreshBackdrop() {
  backdrop_.fill(palette().color(QPalette::Window));
  // Rows 0..100 of the backdrop, one pixel per cell; row -1 is not shown.
  for (int y = 0; y <= kMapBottomRow; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(backdrop_.scanLine(y));
    for (int x = 0; x < kMapWidth; ++x)
      row[x] = 0xFF000000u | display_.MiniBak.At(x, y);
  }
  update();
}

void SeaMap::MarkDrop(int cellX, int cellY) {
  if (drops_.size() == kDropsMarked) drops_.erase(drops_.begin());
  drops_.emplace_back(cellX, cellY);
  update();
}

void SeaMap::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  emit CellPressed(at.x(), at.y());
}

void SeaMap::MoveFakeSeaLevel(int v) {
  fakeSeaLevelY_ = kTwipsPerPixel * v;
  update();
}

void SeaMap::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, backdrop_);
  painter.setPen(QPen(Qt::white, 1));
  const double y = static_cast<double>(fakeSeaLevelY_) / kTwipsPerPixel;
  painter.drawLine(QPointF(0, y),
                   QPointF(static_cast<double>(kFakeSeaLevelRight) / kTwipsPerPixel, y));
  // A magenta cross edged in white shows on every terrain colour.
  for (const QPen& pen : {QPen(Qt::white, 3), QPen(QColor(255, 0, 200), 1)}) {
    painter.setPen(pen);
    for (const QPoint& drop : drops_) {
      painter.drawLine(drop + QPoint(-4, 0), drop + QPoint(4, 0));
      painter.drawLine(drop + QPoint(0, -4), drop + QPoint(0, 4));
    }
  }
}

PlayGodWindow::PlayGodWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setWindowTitle(QStringLiteral("Play God"));
  QGroupBox* search = BuildSearchFrame();
  QGroupBox* sacrifice = BuildSacrificeFrame();
  QGroupBox* creation = BuildCreationFrame();
  auto* lower = new QHBoxLayout;
  lower->addWidget(sacrifice);
  lower->addWidget(creation, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(search);
  layout->addLayout(lower);
  connect(&services_.Document(), &WorldDocument::MapRedrawn, map_, &SeaMap::RefreshBackdrop);
}

// "Find Animal With These Commonly Queried Characteristics:" (Frame1).
QGroupBox* PlayGodWindow::BuildSearchFrame() {
  auto* frame =
      new QGroupBox(QStringLiteral("Find Animal With These Commonly Queried Characteristics:"));
  comboCov_ = MakeList(frame, kCoveringEntries);
  comboWalk_ = MakeList(frame, kWalkingEntries);
  comboDiet_ = MakeList(frame, kDietEntries);
  comboBreath_ = MakeList(frame, kBreathingEntries);
  comboCov_->setObjectName(QStringLiteral("Combo_Cov"));
  comboWalk_->setObjectName(QStringLiteral("Combo_Walk"));
  comboDiet_->setObjectName(QStringLiteral("Combo_Diet"));
  comboBreath_->setObjectName(QStringLiteral("Combo_Breath"));
  auto* findThem = new QPushButton(QStringLiteral("&Find Them"), frame);
  findThem->setObjectName(QStringLiteral("Command1"));
  foundList_ = new QListWidget(frame);
  foundList_->setObjectName(QStringLiteral("List1"));
  foundCounts_[0] = new QLabel(frame);
  foundCounts_[1] = new QLabel(frame);
  auto* grid = new QGridLayout(frame);
  grid->addWidget(new QLabel(QStringLiteral("Covering:")), 0, 0);
  grid->addWidget(comboCov_, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Walking:")), 1, 0);
  grid->addWidget(comboWalk_, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("Diet:")), 2, 0);
  grid->addWidget(comboDiet_, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("Breathing:")), 3, 0);
  grid->addWidget(comboBreath_, 3, 1);
  grid->addWidget(findThem, 4, 0, 1, 2);
  grid->addWidget(foundList_, 0, 2, 5, 1);
  grid->addWidget(foundCounts_[0], 5, 2);
  grid->addWidget(foundCounts_[1], 6, 2);
  connect(findThem, &QPushButton::clicked, this, &PlayGodWindow::Command1_Click);
  return frame;
}

// "Sacrifice" (Frame2): the animals found, and "&Kill It".
QGroupBox* PlayGodWindow::BuildSacrificeFrame() {
  auto* frame = new QGroupBox(QStringLiteral("Sacrifice"));
  sacrificeList_ = new QListWidget(frame);
  sacrificeList_->setObjectName(QStringLiteral("List2"));
  auto* killIt = new QPushButton(QStringLiteral("&Kill It"), frame);
  killIt->setObjectName(QStringLiteral("Command2"));
  connect(killIt, &QPushButton::clicked, this, &PlayGodWindow::Command2_Click);
  auto* column = new QVBoxLayout(frame);
  column->addWidget(sacrificeList_);
  column->addWidget(killIt);
  return frame;
}

// "Creation" (Frame3): the animal to drop, how to drop it, the map and the
// sea level.
QGroupBox* PlayGodWindow::BuildCreationFrame() {
  const World& world = services_.GetWorld();
  auto* frame = new QGroupBox(QStringLiteral("Creation"));
  auto* design = new QPushButton(QStringLiteral("&Design New Animal"), frame);
  auto* loadFile = new QPushButton(QStringLiteral("&Load Animal From OBG"), frame);
  design->setObjectName(QStringLiteral("Command3"));
  loadFile->setObjectName(QStringLiteral("Command4"));
  connect(design, &QPushButton::clicked, this, &PlayGodWindow::Command3_Click);
  connect(loadFile, &QPushButton::clicked, this, &PlayGodWindow::Command4_Click);
  dropLabel_ = new QLabel(QStringLiteral("Animal to drop: none yet (load or design one)"), frame);
  dropLabel_->setObjectName(QStringLiteral("DropLabel"));
  static const char* const kDrops[] = {"Don't Drop Any", "Place Pair (Both Sexes)",
                                       "Place One (Alternate Sex)"};
  auto* drops = new QButtonGroup(this);
  auto* dropColumn = new QVBoxLayout;
  for (int i = 0; i < 3; ++i) {
    auto* option = new QRadioButton(QString::fromLatin1(kDrops[i]), frame);
    drops->addButton(option, i);
    connect(option, &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    dropOptions_[static_cast<size_t>(i)] = option;
    dropColumn->addWidget(option);
  }
  dropOptions_[0]->setChecked(true);
  map_ = new SeaMap(world, services_.GetDisplay(), frame);
  map_->setObjectName(QStringLiteral("Map"));
  map_->setToolTip(QStringLiteral("With a placing option chosen, click to drop eggs here."));
  connect(map_, &SeaMap::CellPressed, this, &PlayGodWindow::Map_MouseDown);

  seaLevel_ = new QScrollBar(Qt::Vertical, frame);
  seaLevel_->setObjectName(QStringLiteral("SeaLevel"));
  seaLevel_->setRange(std::min<int>(kLowestOffered, world.SeaLevel),
                      std::max<int>(kHighestOffered, world.SeaLevel));
  seaLevel_->setPageStep(10);
  seaLevel_->setValue(world.SeaLevel);
  // Dragging moves only the line; the value is committed on release.
  seaLevel_->setTracking(false);
  connect(seaLevel_, &QScrollBar::sliderMoved, this, &PlayGodWindow::SeaLevel_Scroll);
  connect(seaLevel_, &QScrollBar::valueChanged, this, &PlayGodWindow::SeaLevel_Change);

  auto* grid = new QGridLayout(frame);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(design);
  buttons->addWidget(loadFile);
  grid->addLayout(buttons, 0, 0, 1, 3);
  grid->addLayout(dropColumn, 1, 0, 1, 3);
  grid->addWidget(dropLabel_, 2, 0, 1, 3);
  grid->addWidget(map_, 3, 0);
  grid->addWidget(seaLevel_, 3, 1);
  grid->addWidget(new QLabel(QStringLiteral("Sea-Level")), 3, 2, Qt::AlignTop);
  grid->setColumnStretch(3, 1);
  return frame;
}

void PlayGodWindow::Command1_Click() {
  Seam& seam = services_.WindowSeam();
  seam.SetPointer(Pointer::Wait);
  foundList_->clear();
  PlayGodQuery query;
  query.covering = comboCov_->currentIndex();
  query.walking = comboWalk_->currentIndex();
  query.diet = comboDiet_->currentIndex();
  query.breathing = comboBreath_->currentIndex();
  const PlayGodResult result = FindThem(services_.GetWorld(), query);
  sacrificeList_->clear();
  const World& world = services_.GetWorld();
  for (int slot : result.found) {
    foundList_->addItem(QStringLiteral(" %1").arg(slot));
    auto* entry = new QListWidgetItem(SacrificeEntry(AnimalAt(world, slot), slot), sacrificeList_);
    entry->setData(kSlotRole, slot);
    entry->setData(kIdRole,
                   QVariant::fromValue<qulonglong>(LivingId(world.lineage, world.Animals, slot)));
  }
  foundCounts_[0]->setText(QString::fromStdString(AnimalCountText(foundList_->count())));
  foundCounts_[1]->setText(QString::fromStdString(PercentText(foundList_->count(), result.living)));
  seam.SetPointer(Pointer::Default);
}

void PlayGodWindow::SeaLevel_Change(int value) {
  SetSeaLevel(services_.GetWorld(), value);
  map_->MoveFakeSeaLevel(value);
  ReDrawMap(services_.GetWorld());
  services_.Document().Drain();  // the main window shows the new sea line
}

void PlayGodWindow::SeaLevel_Scroll(int value) {
  map_->MoveFakeSeaLevel(value);
}

void PlayGodWindow::Option1_Click(int index) {
  mapMousePointer_ = index == 0 ? 0 : 2;
  map_->setCursor(mapMousePointer_ == 0 ? Qt::ArrowCursor : Qt::CrossCursor);
}

void PlayGodWindow::showEvent(QShowEvent* event) {
  // Start-up creates the window before a world exists, and the terrain
  // changes while it is hidden.
  map_->RefreshBackdrop();
  QWidget::showEvent(event);
}

void PlayGodWindow::Command2_Click() {
  Seam& seam = services_.WindowSeam();
  QListWidgetItem* entry = sacrificeList_->currentItem();
  if (entry == nullptr) {
    seam.ShowMessageBox("Choose an animal to sacrifice: \"Find Them\" lists them here.", kCaption,
                        Buttons::Ok);
    return;
  }
  const int slot = entry->data(kSlotRole).toInt();
  const uint64_t id = entry->data(kIdRole).toULongLong();
  delete entry;  // dead either way
  if (!SacrificeAnimal(services_.GetWorld(), slot, id)) {
    seam.ShowMessageBox("The animal in slot " + std::to_string(slot) +
                            " has died since it was found: nothing was killed.",
                        kCaption, Buttons::Ok);
    return;
  }
  services_.Document().Drain();
}

void PlayGodWindow::Command3_Click() {
  const World& world = services_.GetWorld();
  const int chosen = services_.GetDisplay().SelectedAnimal;
  Animal start;
  if (chosen >= 1 && chosen <= kSlotCount && IsOccupied(AnimalAt(world, chosen))) {
    start = AnimalAt(world, chosen);
  } else {
    SetFounderGenome(start);
  }
  auto* dialog = new DesignDialog(start, services_.WindowSeam(), this);
  dialog->setObjectName(QStringLiteral("DesignDialog"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  const QString source = chosen >= 1 && chosen <= kSlotCount && IsOccupied(AnimalAt(world, chosen))
                             ? QStringLiteral("designed from slot %1").arg(chosen)
                             : QStringLiteral("designed from the founder");
  connect(dialog, &QDialog::accepted, this,
          [this, dialog, source] { UseAnimal(dialog->Design(), source); });
  dialog->open();
}

void PlayGodWindow::Command4_Click() {
  const QString path =
      QFileDialog::getOpenFileName(this, QStringLiteral("Load Animal From OBG"), QString(),
                                   QStringLiteral("Animal files (*.OBG *.obg);;All files (*)"));
  if (!path.isEmpty()) LoadAnimalFrom(path);
}

bool PlayGodWindow::LoadAnimalFrom(const QString& path) {
  PosixFileSystem files;
  Animal animal;
  if (const Status error = ReadAnimalToDrop(files, path.toStdString(), animal); !error.ok()) {
    services_.WindowSeam().ShowMessageBox("The animal file " + path.toStdString() +
                                              " cannot be loaded: " + AnimalFileFault(error) +
                                              ". Nothing was changed.",
                                          kCaption, Buttons::Ok);
    return false;
  }
  UseAnimal(animal, QFileInfo(path).fileName());
  return true;
}

void PlayGodWindow::UseAnimal(const Animal& animal, const QString& source) {
  toDrop_ = animal;
  drop_.nextSex = animal.Sex <= 1 ? animal.Sex : 0;
  dropLabel_->setText(DropText(animal, source));
}

void PlayGodWindow::Map_MouseDown(int cellX, int cellY) {
  if (mapMousePointer_ == 0) return;  // "Don't Drop Any"
  Seam& seam = services_.WindowSeam();
  if (!toDrop_) {
    seam.ShowMessageBox(
        "There is no animal to drop yet: use \"Load Animal From OBG\" or \"Design New "
        "Animal\" first.",
        kCaption, Buttons::Ok);
    return;
  }
  drop_.pair = dropOptions_[1]->isChecked();
  std::vector<int> placed;
  const DropOutcome outcome =
      DropByPolicy(services_.GetWorld(), *toDrop_, cellX * kHundredthsPerCell,
                   cellY * kHundredthsPerCell, drop_, placed);
  if (!placed.empty()) {
    map_->MarkDrop(cellX, cellY);
    services_.Document().Drain();
  }
  switch (outcome) {
    case DropOutcome::Placed:
      return;
    case DropOutcome::OffMap:
      seam.ShowMessageBox("That point lies off the map: drop the animal on the planet itself.",
                          kCaption, Buttons::Ok);
      return;
    case DropOutcome::Ground:
      seam.ShowMessageBox("That cell is solid ground: drop the animal in the sea or the sky.",
                          kCaption, Buttons::Ok);
      return;
    case DropOutcome::Full:
      seam.ShowMessageBox(
          "The world is full: no egg was dropped. Turn on \"Overwrite Least Evolved\" in the "
          "Options menu to make room.",
          kCaption, Buttons::Ok);
      return;
  }
}

}  // namespace ombrivale::ui
