// The log window (Form5): the death log, oldest first, with the main
// window's "&Edit" menu as its right-click pop-up.
//
// The list shows Display::DeathLog; it is rebuilt when the log's version has
// moved, a quarter of a second after a message at the most, and only while
// the window is shown.
#pragma once

#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include "core/display.h"
#include "ui/world_document.h"

namespace ombrivale::ui {

class LogWindow : public QWidget {
  Q_OBJECT

 public:
  // `editMenu` is the main window's "&Edit" menu; `deleteEntry` its
  // "&Delete Entry" entry, greyed by the pop-up when nothing is selected.
  LogWindow(WorldDocument& document, QMenu& editMenu, QAction& deleteEntry,
            QWidget* parent = nullptr);

  QListWidget& List1() { return *list_; }
  QSize sizeHint() const override { return QSize(420, 240); }

  // Brings the list in line with the death log when the log has changed.
  void SyncFromDisplay();
  // The right button pressed on the list: grey or enable "&Delete Entry",
  // then open the Edit menu at `globalPosition` (without waiting).
  void ShowEditPopup(QPoint globalPosition);
  // "&Delete Entry": removes the selected entry; nothing when none is.
  void DeleteEntry();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static constexpr int kSyncDelayMs = 250;

  Display& display_;
  bool syncQueued_ = false;
  QMenu& editMenu_;
  QAction& deleteEntry_;
  QListWidget* list_;
  uint64_t shownVersion_ = UINT64_MAX;
};

}  // namespace ombrivale::ui
