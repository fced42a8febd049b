#include "ui/timeline_window.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/display.h"
#include "core/seam.h"
#include "genetics/body_measures.h"
#include "sim/session.h"
#include "ui/world_document.h"
#include "ui/world_folders.h"
#include "world/file_system.h"

namespace ombrivale::ui {

namespace {

constexpr int kRowHeight = 18;
constexpr int kNameWidth = 70;
constexpr int kThumbnailScale = 1;
constexpr int kAxisHeight = 16;  // the years under the rows
constexpr int kRowsShown = 6;    // rows shown before the strip scrolls

QString DateText(const SavepointInfo& info) {
  const char* month = MonthName(info.month);
  return *month != '\0' ? QStringLiteral("Year %1, %2").arg(info.year).arg(QLatin1String(month))
                        : QStringLiteral("Year %1, month %2").arg(info.year).arg(info.month);
}

QString KeptAs(const SavepointInfo& info) {
  QString text = QString::fromLatin1(SavepointKindName(info.kind));
  if (info.kind == SavepointKind::Branch)
    return QStringLiteral("another branch (%1)").arg(QString::fromStdString(info.label));
  if (!info.label.empty()) text += QStringLiteral(": ") + QString::fromStdString(info.label);
  return text;
}

QColor KindColour(SavepointKind kind) {
  switch (kind) {
    case SavepointKind::Yearly:
      return QColor(70, 110, 200);
    case SavepointKind::Decade:
      return QColor(30, 60, 140);
    case SavepointKind::Extinction:
      return QColor(200, 40, 40);
    case SavepointKind::Species:
      return QColor(30, 150, 60);
    case SavepointKind::Marked:
      return QColor(230, 150, 0);
    case SavepointKind::Branch:
      return QColor(140, 140, 140);
  }
  return Qt::black;
}

}  // namespace

TimelineRows LayOutTimeline(const std::vector<SavepointInfo>& all) {
  TimelineRows rows;
  const std::vector<int> era = SavepointEras(all);
  const int worlds = all.empty() ? 0 : era.back() + 1;
  for (int w = 0; w < worlds; ++w)
    rows.names << QStringLiteral("World %1").arg(w + 1);
  // Another branch's savepoints were written in order: a run of them whose
  // dates do not go back is one branch.
  int branches = 0;
  const SavepointInfo* last = nullptr;
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i].kind != SavepointKind::Branch) {
      rows.row.push_back(era[i]);
      continue;
    }
    const bool back = last == nullptr || MonthsOf(all[i]) < MonthsOf(*last);
    if (back) rows.names << QStringLiteral("Branch %1").arg(++branches);
    rows.row.push_back(worlds + branches - 1);
    last = &all[i];
  }
  return rows;
}

// The savepoints as dots along the years, a row for each world and branch.
class TimelineStrip : public QWidget {
 public:
  explicit TimelineStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TimelineStrip"));
    setMinimumHeight(2 * kRowHeight);
  }

  void SetSavepoints(const std::vector<SavepointInfo>* all) {
    all_ = all;
    rows_ = LayOutTimeline(*all);
    setMinimumHeight(Rows() * kRowHeight + 8 + kAxisHeight);
    first_ = INT64_MAX;
    last_ = INT64_MIN;
    for (const SavepointInfo& info : *all) {
      first_ = std::min(first_, MonthsOf(info));
      last_ = std::max(last_, MonthsOf(info));
    }
    update();
  }
  void SetSelected(int index) {
    selected_ = index;
    update();
  }
  std::function<void(int)> onPicked;
  int Rows() const { return std::max<int>(1, static_cast<int>(rows_.names.size())); }
  const TimelineRows& Layout() const { return rows_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setRenderHint(QPainter::Antialiasing);
    for (int r = 0; r < static_cast<int>(rows_.names.size()); ++r) {
      const int y = 4 + r * kRowHeight;
      painter.setPen(palette().color(QPalette::Text));
      painter.drawText(QRect(4, y, kNameWidth - 6, kRowHeight), Qt::AlignVCenter, rows_.names[r]);
      painter.setPen(palette().color(QPalette::Mid));
      painter.drawLine(kNameWidth, y + kRowHeight / 2, width() - 8, y + kRowHeight / 2);
    }
    if (!all_->empty()) {
      // The first and the last year at the ends of the rows.
      const int y = 4 + Rows() * kRowHeight;
      painter.setPen(palette().color(QPalette::Text));
      const QRect axis(kNameWidth, y, width() - kNameWidth - 8, kAxisHeight);
      painter.drawText(axis, Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("Year %1").arg(first_ / 12));
      painter.drawText(axis, Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("Year %1").arg(last_ / 12));
    }
    for (size_t i = 0; i < all_->size(); ++i) {
      const QPointF at = Position(static_cast<int>(i));
      painter.setPen(Qt::NoPen);
      painter.setBrush(KindColour((*all_)[i].kind));
      painter.drawEllipse(at, 4, 4);
      if (static_cast<int>(i) == selected_) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(at, 7, 7);
      }
    }
  }
  void mousePressEvent(QMouseEvent* event) override {
    int best = -1;
    double bestDistance = 12;
    for (int i = 0; i < static_cast<int>(all_->size()); ++i) {
      const QPointF d = Position(i) - event->position();
      const double distance = std::hypot(d.x(), d.y());
      if (distance < bestDistance) {
        best = i;
        bestDistance = distance;
      }
    }
    if (best >= 0 && onPicked) onPicked(best);
  }

 private:
  // Years run from the earliest savepoint's to the latest's, in months.
  QPointF Position(int index) const {
    const SavepointInfo& info = (*all_)[static_cast<size_t>(index)];
    const double span = static_cast<double>(std::max<int64_t>(last_ - first_, 1));
    const double share = static_cast<double>(MonthsOf(info) - first_) / span;
    const double x = kNameWidth + 8 + share * (width() - kNameWidth - 24);
    return {x, 4 + rows_.row[static_cast<size_t>(index)] * kRowHeight + kRowHeight / 2.0};
  }

  const std::vector<SavepointInfo>* all_ = nullptr;
  TimelineRows rows_;
  int64_t first_ = 0;
  int64_t last_ = 0;
  int selected_ = -1;
};

TimelineWindow::TimelineWindow(WorldDocument& document, Seam& seam, WorldFolders& folders,
                               QWidget* parent)
    : QWidget(parent), document_(document), seam_(seam), folders_(folders) {
  setWindowTitle(QStringLiteral("Timeline"));
  strip_ = new TimelineStrip(this);
  strip_->SetSavepoints(&savepoints_);
  strip_->onPicked = [this](int index) { Select(index); };

  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("TimelineList"));
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QStringLiteral("Date"), QStringLiteral("Population"),
                          QStringLiteral("Species"), QStringLiteral("Lowest Score"),
                          QStringLiteral("Kept As"), QStringLiteral("On")});
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  connect(list_, &QTreeWidget::currentItemChanged, this, [this] { ShowSelected(); });

  thumbnail_ = new QLabel(this);
  thumbnail_->setObjectName(QStringLiteral("TimelineThumbnail"));
  thumbnail_->setFixedSize(kMapWidth * kThumbnailScale, kMapHeight * kThumbnailScale);
  thumbnail_->setAlignment(Qt::AlignCenter);
  thumbnail_->setFrameShape(QFrame::StyledPanel);
  caption_ = new QLabel(this);
  caption_->setWordWrap(true);
  goBack_ = new QPushButton(QStringLiteral("&Go Back Here"), this);
  goBack_->setObjectName(QStringLiteral("TimelineGoBack"));
  branch_ = new QPushButton(QStringLiteral("&Branch As New World..."), this);
  branch_->setObjectName(QStringLiteral("TimelineBranch"));
  connect(goBack_, &QPushButton::clicked, this, [this] { GoBackHere(); });
  connect(branch_, &QPushButton::clicked, this, [this] { BranchAsNewWorld(); });

  // The strip, the list, then the selected one's map beside its caption
  // and the buttons.
  auto* side = new QVBoxLayout;
  side->addWidget(caption_);
  side->addStretch(1);
  side->addWidget(goBack_);
  side->addWidget(branch_);
  auto* lower = new QHBoxLayout;
  lower->addWidget(thumbnail_);
  lower->addLayout(side, 1);
  // Many worlds and branches scroll.
  auto* scroll = new QScrollArea(this);
  scroll->setWidget(strip_);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setMaximumHeight(kRowsShown * kRowHeight + 12 + kAxisHeight);
  auto* column = new QVBoxLayout(this);
  column->addWidget(scroll);
  column->addWidget(list_, 1);
  column->addLayout(lower);

  // A savepoint is written with a save or on its own; either ends as a save.
  connect(&document_, &WorldDocument::SaveEnded, this, [this] {
    if (isVisible()) Refresh();
  });
  connect(&document_, &WorldDocument::WorldReplaced, this, [this] {
    if (isVisible()) Refresh();
  });
  connect(&folders_, &WorldFolders::CurrentChanged, this, [this] {
    if (isVisible()) Refresh();
  });
  ShowSelected();
}

void TimelineWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

void TimelineWindow::Refresh() {
  const SavepointInfo* selected = Selected();
  const uint64_t keep = selected != nullptr ? selected->number : UINT64_MAX;
  std::vector<SavepointInfo> all;
  ListSavepoints(folders_.Current().toStdString(), all);  // none when it does not list
  savepoints_ = std::move(all);
  strip_->SetSavepoints(&savepoints_);
  const TimelineRows& rows = strip_->Layout();
  const QSignalBlocker quiet(list_);
  list_->clear();
  int index = -1;
  for (size_t i = 0; i < savepoints_.size(); ++i) {
    const SavepointInfo& info = savepoints_[i];
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, DateText(info));
    item->setText(1, QString::number(info.population));
    item->setText(2, QString::number(info.species));
    item->setText(3, info.lowestCount < 0
                         ? QStringLiteral("-")
                         : QString::number(ScoreOfCount(info.lowestCount), 'f', 1));
    item->setText(4, KeptAs(info));
    item->setText(5, rows.names[rows.row[i]]);
    if (info.number == keep) index = static_cast<int>(i);
  }
  if (index < 0 && !savepoints_.empty()) index = static_cast<int>(savepoints_.size()) - 1;
  if (index >= 0) list_->setCurrentItem(list_->topLevelItem(index));
  ShowSelected();
}

const SavepointInfo* TimelineWindow::Selected() const {
  const int index = list_->indexOfTopLevelItem(list_->currentItem());
  return index >= 0 && index < static_cast<int>(savepoints_.size())
             ? &savepoints_[static_cast<size_t>(index)]
             : nullptr;
}

void TimelineWindow::Select(int index) {
  if (index >= 0 && index < list_->topLevelItemCount())
    list_->setCurrentItem(list_->topLevelItem(index));
}

void TimelineWindow::ShowSelected() {
  const SavepointInfo* info = Selected();
  strip_->SetSelected(list_->indexOfTopLevelItem(list_->currentItem()));
  goBack_->setEnabled(info != nullptr);
  branch_->setEnabled(info != nullptr);
  thumbnail_->setPixmap(QPixmap());
  if (info == nullptr) {
    thumbnail_->setText(savepoints_.empty() ? QStringLiteral("No savepoints yet") : QString());
    caption_->clear();
    return;
  }
  PosixFileSystem files;
  std::vector<std::pair<std::string, std::string>> contents;
  MapPicture picture;
  Status read = ReadSavepoint(files, info->path, contents);
  if (read.ok()) read = PaintSavepoint(contents, picture);
  if (!read.ok()) {
    thumbnail_->setText(QStringLiteral("This savepoint does not read:\n%1")
                            .arg(QString::fromStdString(FileErrorText(read))));
  } else {
    QImage image(kMapWidth, kMapHeight, QImage::Format_RGB32);
    for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
      auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y - kMapTopRow));
      for (int x = 0; x < kMapWidth; ++x)
        line[x] = picture.At(x, y) | 0xFF000000u;
    }
    thumbnail_->setPixmap(QPixmap::fromImage(image.scaled(thumbnail_->size())));
  }
  caption_->setText(QStringLiteral("%1: %2 animals, %3 species; kept as %4.")
                        .arg(DateText(*info))
                        .arg(info->population)
                        .arg(info->species)
                        .arg(KeptAs(*info)));
}

bool TimelineWindow::GoBackHere() {
  const SavepointInfo* selected = Selected();
  if (selected == nullptr || document_.InTick()) return false;
  const SavepointInfo target = *selected;
  const std::string question =
      "Go back to " + DateText(target).toStdString() +
      "?\nThe running world is replaced by the savepoint; the savepoints after it are kept as "
      "another branch.";
  if (seam_.ShowMessageBox(question, "Timeline", Buttons::YesNo) != Answer::Yes) return false;
  std::string refusal;
  const bool went = GoBack(document_.GetWorld(), target, refusal);
  if (!went) {
    seam_.ShowMessageBox("The world did not go back:\n" + refusal, "ERROR", Buttons::Ok);
  }
  document_.Drain();
  Refresh();
  return went;
}

bool TimelineWindow::BranchAsNewWorld() {
  const SavepointInfo* selected = Selected();
  if (selected == nullptr || document_.InTick()) return false;
  const SavepointInfo target = *selected;
  const QString folder =
      QDir::cleanPath(folders_.chooseFolder(QStringLiteral("Branch As New World"), true));
  if (folder.isEmpty() || folder == QStringLiteral(".")) return false;
  const std::string native = QDir::toNativeSeparators(folder).toStdString();
  const QDir dir(folder);
  if (dir.exists() && !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
    // The savepoint's files would mix with what is there.
    seam_.ShowMessageBox(native + " is not empty: choose an empty folder or a new one.", "ERROR",
                         Buttons::Ok);
    return false;
  }
  PosixFileSystem files;
  if (Status error = ExtractSavepoint(files, target.path, folder.toStdString()); !error.ok()) {
    seam_.ShowMessageBox("The branch was not written:\n" + FileErrorText(error), "ERROR",
                         Buttons::Ok);
    return false;
  }
  return folders_.OpenWorldIn(folder);
}

}  // namespace ombrivale::ui
