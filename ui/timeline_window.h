// The timeline window: the running world's savepoints along its time axis.
//
// A strip draws each savepoint as a dot at its year, one row for each
// world of the folder (a restart begins the next) and one for each run of
// savepoints left on another branch; the list below gives each one's date,
// population, species, lowest score and why it was kept. Selecting one (in
// either) shows its map. "&Go Back Here" replaces the running world by the
// selected savepoint, "&Branch As New World..." writes it into a new folder
// and opens that. The list is read again when the window is shown, when a
// save or savepoint has been written and when the world is replaced.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <vector>

#include "world/savepoint.h"

namespace ombrivale {
class Seam;
}

namespace ombrivale::ui {

class WorldDocument;
class WorldFolders;

// Where each savepoint of a listing (oldest first) is drawn: its row on the
// strip and the row's name ("World 2", "Branch 1").
struct TimelineRows {
  std::vector<int> row;  // per savepoint
  QStringList names;
};
TimelineRows LayOutTimeline(const std::vector<SavepointInfo>& all);

class TimelineStrip;

class TimelineWindow : public QWidget {
  Q_OBJECT

 public:
  TimelineWindow(WorldDocument& document, Seam& seam, WorldFolders& folders,
                 QWidget* parent = nullptr);

  QSize sizeHint() const override { return QSize(640, 470); }

  QTreeWidget& List() { return *list_; }
  QLabel& Thumbnail() { return *thumbnail_; }
  const std::vector<SavepointInfo>& Savepoints() const { return savepoints_; }

  // Reads the savepoints of the running world's folder again, keeping the
  // selection where the same savepoint is still listed.
  void Refresh();
  // The selected savepoint; null when none is.
  const SavepointInfo* Selected() const;
  void Select(int index);

  // "&Go Back Here": asks, then replaces the running world by the selected
  // savepoint. True when it went back.
  bool GoBackHere();
  // "&Branch As New World...": asks for an empty folder, writes the selected
  // savepoint's world into it and opens it. True when it was opened.
  bool BranchAsNewWorld();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowSelected();

  WorldDocument& document_;
  Seam& seam_;
  WorldFolders& folders_;
  std::vector<SavepointInfo> savepoints_;
  TimelineStrip* strip_;
  QTreeWidget* list_;
  QLabel* thumbnail_;
  QLabel* caption_;
  QPushButton* goBack_;
  QPushButton* branch_;
};

}  // namespace ombrivale::ui
