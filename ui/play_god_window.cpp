#include "ui/play_god_window.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <span>

#include "core/rules.h"
#include "genetics/play_god_search.h"
#include "ui/display_text.h"

namespace ombrivale::ui {
namespace {

constexpr int kMapWidthUnits = 4860;   // 324 cells' worth
constexpr int kMapHeightUnits = 1560;  // 104 cells' worth
constexpr int kFakeSeaLevelRight = 4800;
// The scroll bar reaches at least rows -1..101 (all sea to all sky) and
// always the sea level at load, wherever the yearly drift has taken it.
constexpr int kLowestOffered = -1;
constexpr int kHighestOffered = 101;

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
      backdrop_(kMapWidthUnits / kTwipsPerPixel, kMapHeightUnits / kTwipsPerPixel,
                QImage::Format_RGB32) {
  setFixedSize(backdrop_.size());
  backdrop_.fill(palette().color(QPalette::Window));
  // Rows 0..100 of the backdrop, one pixel per cell; row -1 is not shown.
  for (int y = 0; y <= kMapBottomRow; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(backdrop_.scanLine(y));
    for (int x = 0; x < kMapWidth; ++x)
      row[x] = 0xFF000000u | display.MiniBak.At(x, y);
  }
  MoveFakeSeaLevel(world.SeaLevel);
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
}

PlayGodWindow::PlayGodWindow(MainWindowServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setWindowTitle(QStringLiteral("Play God"));
  const World& world = services_.GetWorld();

  // Find Animal With These Commonly Queried Characteristics:
  auto* frame1 =
      new QGroupBox(QStringLiteral("Find Animal With These Commonly Queried Characteristics:"));
  comboCov_ = MakeList(frame1, kCoveringEntries);
  comboWalk_ = MakeList(frame1, kWalkingEntries);
  comboDiet_ = MakeList(frame1, kDietEntries);
  comboBreath_ = MakeList(frame1, kBreathingEntries);
  comboCov_->setObjectName(QStringLiteral("Combo_Cov"));
  comboWalk_->setObjectName(QStringLiteral("Combo_Walk"));
  comboDiet_->setObjectName(QStringLiteral("Combo_Diet"));
  comboBreath_->setObjectName(QStringLiteral("Combo_Breath"));
  auto* command1 = new QPushButton(QStringLiteral("&Find Them"), frame1);
  command1->setObjectName(QStringLiteral("Command1"));
  list1_ = new QListWidget(frame1);
  list1_->setObjectName(QStringLiteral("List1"));
  label2_[0] = new QLabel(frame1);
  label2_[1] = new QLabel(frame1);
  auto* search = new QGridLayout(frame1);
  search->addWidget(new QLabel(QStringLiteral("Covering:")), 0, 0);
  search->addWidget(comboCov_, 0, 1);
  search->addWidget(new QLabel(QStringLiteral("Walking:")), 1, 0);
  search->addWidget(comboWalk_, 1, 1);
  search->addWidget(new QLabel(QStringLiteral("Diet:")), 2, 0);
  search->addWidget(comboDiet_, 2, 1);
  search->addWidget(new QLabel(QStringLiteral("Breathing:")), 3, 0);
  search->addWidget(comboBreath_, 3, 1);
  search->addWidget(command1, 4, 0, 1, 2);
  search->addWidget(list1_, 0, 2, 5, 1);
  search->addWidget(label2_[0], 5, 2);
  search->addWidget(label2_[1], 6, 2);
  connect(command1, &QPushButton::clicked, this, &PlayGodWindow::Command1_Click);

  // Sacrifice
  auto* frame2 = new QGroupBox(QStringLiteral("Sacrifice"));
  list2_ = new QListWidget(frame2);
  list2_->setObjectName(QStringLiteral("List2"));
  auto* command2 = new QPushButton(QStringLiteral("&Kill It"), frame2);
  auto* sacrifice = new QVBoxLayout(frame2);
  sacrifice->addWidget(list2_);
  sacrifice->addWidget(command2);

  // Creation
  auto* frame3 = new QGroupBox(QStringLiteral("Creation"));
  auto* command3 = new QPushButton(QStringLiteral("&Design New Animal"), frame3);
  auto* command4 = new QPushButton(QStringLiteral("&Load Animal From OBG"), frame3);
  static const char* const kDrops[] = {"Don't Drop Any", "Place Pair (Both Sexes)",
                                       "Place One (Alternate Sex)"};
  auto* drops = new QButtonGroup(this);
  auto* dropColumn = new QVBoxLayout;
  for (int i = 0; i < 3; ++i) {
    auto* option = new QRadioButton(QString::fromLatin1(kDrops[i]), frame3);
    drops->addButton(option, i);
    connect(option, &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    option1_[static_cast<size_t>(i)] = option;
    dropColumn->addWidget(option);
  }
  option1_[0]->setChecked(true);
  map_ = new SeaMap(world, services_.GetDisplay(), frame3);
  map_->setObjectName(QStringLiteral("Map"));

  seaLevel_ = new QScrollBar(Qt::Vertical, frame3);
  seaLevel_->setObjectName(QStringLiteral("SeaLevel"));
  seaLevel_->setRange(std::min<int>(kLowestOffered, world.SeaLevel),
                      std::max<int>(kHighestOffered, world.SeaLevel));
  seaLevel_->setPageStep(10);
  seaLevel_->setValue(world.SeaLevel);
  // Dragging moves only the line; the value is committed on release.
  seaLevel_->setTracking(false);
  connect(seaLevel_, &QScrollBar::sliderMoved, this, &PlayGodWindow::SeaLevel_Scroll);
  connect(seaLevel_, &QScrollBar::valueChanged, this, &PlayGodWindow::SeaLevel_Change);

  auto* creation = new QGridLayout(frame3);
  auto* creationButtons = new QHBoxLayout;
  creationButtons->addWidget(command3);
  creationButtons->addWidget(command4);
  creation->addLayout(creationButtons, 0, 0, 1, 3);
  creation->addLayout(dropColumn, 1, 0, 1, 3);
  creation->addWidget(map_, 2, 0);
  creation->addWidget(seaLevel_, 2, 1);
  creation->addWidget(new QLabel(QStringLiteral("Sea-Level")), 2, 2, Qt::AlignTop);
  creation->setColumnStretch(3, 1);

  auto* lower = new QHBoxLayout;
  lower->addWidget(frame2);
  lower->addWidget(frame3, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame1);
  layout->addLayout(lower);
}

void PlayGodWindow::Command1_Click() {
  Seam& seam = services_.WindowSeam();
  seam.SetPointer(Pointer::Wait);
  list1_->clear();
  PlayGodQuery query;
  query.covering = comboCov_->currentIndex();
  query.walking = comboWalk_->currentIndex();
  query.diet = comboDiet_->currentIndex();
  query.breathing = comboBreath_->currentIndex();
  const PlayGodResult result = FindThem(services_.GetWorld(), query);
  for (int slot : result.found)
    list1_->addItem(QStringLiteral(" %1").arg(slot));
  label2_[0]->setText(QString::fromStdString(AnimalCountText(list1_->count())));
  label2_[1]->setText(QString::fromStdString(PercentText(list1_->count(), result.living)));
  seam.SetPointer(Pointer::Default);
}

void PlayGodWindow::SeaLevel_Change(int value) {
  services_.GetWorld().SeaLevel = static_cast<int16_t>(value);
  map_->MoveFakeSeaLevel(value);
  services_.RedrawMiniMap();
}

void PlayGodWindow::SeaLevel_Scroll(int value) {
  map_->MoveFakeSeaLevel(value);
}

void PlayGodWindow::Option1_Click(int index) {
  mapMousePointer_ = index == 0 ? 0 : 2;
  map_->setCursor(mapMousePointer_ == 0 ? Qt::ArrowCursor : Qt::CrossCursor);
}

}  // namespace ombrivale::ui
