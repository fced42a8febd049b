// Worlds as documents: the File menu's "&Open World...", "Save World &As..."
// and "Open &Recent", the folder the running world belongs to, and the
// question before a running world is left.
//
// A world is a folder of the saved-world files (the runner's --world folders
// open as they are). The running world's folder is where the yearly save and
// "&Save World to AutoSave Folder" write; it is the "AutoSave" folder until
// the user opens or saves another.
#pragma once

#include <QMenu>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QMainWindow;

namespace ombrivale {
class Seam;
}

namespace ombrivale::ui {

class WorldDocument;

class WorldFolders : public QObject {
  Q_OBJECT

 public:
  static constexpr int kRecentLimit = 8;

  // The world starts in `autoSaveFolder`; the entries go into `fileMenu`
  // before `before`.
  WorldFolders(QMainWindow& window, WorldDocument& document, Seam& seam, QMenu& fileMenu,
               QAction* before, const QString& autoSaveFolder);

  const QString& Current() const { return current_; }
  // The running world's folder is `folder` now (start-up, a load, a save).
  void SetCurrent(const QString& folder);
  const QStringList& Recent() const { return recent_; }
  // The recent worlds as the settings file kept them (the newest first).
  void SetRecent(const QStringList& folders);

  // "Save the current world first?": Yes saves it into its folder and waits
  // for the save. False on Cancel (or when the save failed), so the caller
  // leaves the running world as it is.
  bool AskToSaveFirst();
  // "&Open World...": asks for the folder through `chooseFolder`.
  void OpenWorld();
  // Opens the world in `folder` after asking about the running one; a
  // folder that is not a whole world is refused with an ERROR box naming
  // the file and the fault. True when the world was opened.
  bool OpenWorldIn(const QString& folder);
  // "Save World &As...": asks for the folder through `chooseFolder`.
  void SaveWorldAs();
  // Saves the running world into `folder` and makes it the world's folder.
  // An existing folder that holds other files than a world's is refused; a
  // world already there is replaced only when the user says so.
  bool SaveWorldInto(const QString& folder);

  // Asks for a folder (its caption; true: for saving); empty: cancelled.
  // Tests set it; by default a folder dialogue.
  std::function<QString(const QString& caption, bool save)> chooseFolder;

 signals:
  // The running world's folder changed (the title bar names it).
  void CurrentChanged(const QString& folder);

 private:
  // Saves the world into `folder` and waits for the save; true when whole.
  bool SaveAndWait(const QString& folder);
  void NoteRecent(const QString& folder);
  void RebuildRecentMenu();

  QMainWindow& window_;
  WorldDocument& document_;
  Seam& seam_;
  QMenu* recentMenu_ = nullptr;
  QString current_;
  QStringList recent_;
};

}  // namespace ombrivale::ui
