#include "ui/log_window.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QStringList>
#include <QVBoxLayout>

namespace ombrivale::ui {

LogWindow::LogWindow(WorldDocument& document, QMenu& editMenu, QAction& deleteEntry,
                     QWidget* parent)
    : QWidget(parent),
      display_(document.GetDisplay()),
      editMenu_(editMenu),
      deleteEntry_(deleteEntry),
      list_(new QListWidget(this)) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QStringLiteral("Log"));
  list_->setObjectName(QStringLiteral("List1"));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setUniformItemSizes(true);
  // The right button opens the pop-up without moving the selection.
  list_->viewport()->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list_);

  // Deaths come many a second: the list follows at most four times a second.
  connect(&document, &WorldDocument::MessageShown, this, [this] {
    if (syncQueued_ || !isVisible()) return;
    syncQueued_ = true;
    QTimer::singleShot(kSyncDelayMs, this, [this] {
      syncQueued_ = false;
      if (isVisible()) SyncFromDisplay();
    });
  });
}

void LogWindow::SyncFromDisplay() {
  if (shownVersion_ == display_.logVersion &&
      list_->count() == static_cast<int>(display_.DeathLog.size()))
    return;
  // Keep the selected entry (found by its text at or above its old row, as
  // old entries drop off the top) and stay at the bottom when the user was
  // there. Only a selected entry counts: the list makes its first row
  // current, unselected, when it takes the focus.
  const bool hadSelection = !list_->selectedItems().isEmpty();
  const int oldRow = hadSelection ? list_->currentRow() : -1;
  const QString oldText = oldRow >= 0 ? list_->item(oldRow)->text() : QString();
  QScrollBar* bar = list_->verticalScrollBar();
  const bool atBottom = bar->value() >= bar->maximum();
  const int oldScroll = bar->value();

  QStringList entries;
  entries.reserve(static_cast<int>(display_.DeathLog.size()));
  for (const std::string& entry : display_.DeathLog)
    entries.append(QString::fromStdString(entry));
  list_->setUpdatesEnabled(false);
  list_->clear();
  list_->addItems(entries);
  if (oldRow >= 0) {
    int best = -1;
    for (int row = std::min(oldRow, static_cast<int>(entries.size()) - 1); row >= 0; --row) {
      if (entries[row] == oldText) {
        best = row;
        break;
      }
    }
    if (best >= 0) list_->setCurrentRow(best);
  }
  list_->setUpdatesEnabled(true);
  if (atBottom) {
    list_->scrollToBottom();
  } else {
    bar->setValue(oldScroll);
  }
  shownVersion_ = display_.logVersion;
}

void LogWindow::ShowEditPopup(QPoint globalPosition) {
  deleteEntry_.setEnabled(list_->currentRow() >= 0 && !list_->selectedItems().isEmpty());
  editMenu_.popup(globalPosition);
}

void LogWindow::DeleteEntry() {
  SyncFromDisplay();
  const int row = list_->currentRow();
  if (row < 0 || list_->selectedItems().isEmpty()) return;
  if (row >= static_cast<int>(display_.DeathLog.size())) return;
  display_.DeathLog.erase(display_.DeathLog.begin() + row);
  ++display_.logVersion;
  delete list_->takeItem(row);
  list_->clearSelection();
  list_->setCurrentRow(-1);
  shownVersion_ = display_.logVersion;
}

void LogWindow::showEvent(QShowEvent* event) {
  SyncFromDisplay();
  QWidget::showEvent(event);
}

bool LogWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_->viewport() && event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
      ShowEditPopup(mouse->globalPosition().toPoint());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace ombrivale::ui
