#include "ui/world_folders.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>

#include "core/seam.h"
#include "sim/session.h"
#include "ui/world_document.h"
#include "world/world_files.h"

namespace ombrivale::ui {

namespace {

constexpr const char* kSaveFirst = "Save the current world first?";

std::string Native(const QString& folder) {
  return QDir::toNativeSeparators(folder).toStdString();
}

}  // namespace

WorldFolders::WorldFolders(QMainWindow& window, WorldDocument& document, Seam& seam,
                           QMenu& fileMenu, QAction* before, const QString& autoSaveFolder)
    : QObject(&window), window_(window), document_(document), seam_(seam) {
  const auto add = [&](const char* name, const QString& caption, auto handler) {
    auto* action = new QAction(caption, &fileMenu);
    action->setObjectName(QString::fromLatin1(name));
    fileMenu.insertAction(before, action);
    connect(action, &QAction::triggered, this, handler);
    return action;
  };
  add("menu_file_open", QStringLiteral("&Open World..."), [this] {
    OpenWorld();
  })->setShortcut(QKeySequence::Open);
  add("menu_file_save_as", QStringLiteral("Save World &As..."), [this] { SaveWorldAs(); });
  recentMenu_ = new QMenu(QStringLiteral("Open &Recent"), &fileMenu);
  recentMenu_->setObjectName(QStringLiteral("menu_file_recent"));
  fileMenu.insertMenu(before, recentMenu_);
  fileMenu.insertSeparator(before);
  // Entries of folders that hold no world now are greyed when the menu opens.
  connect(recentMenu_, &QMenu::aboutToShow, this, [this] {
    const QList<QAction*> entries = recentMenu_->actions();
    for (int i = 0; i < entries.size() && i < recent_.size(); ++i)
      entries[i]->setEnabled(HasSavedWorld(recent_[i].toStdString()));
  });

  chooseFolder = [this](const QString& caption, bool) {
    return QFileDialog::getExistingDirectory(&window_, caption, current_);
  };
  current_ = autoSaveFolder;
  RebuildRecentMenu();
}

void WorldFolders::SetCurrent(const QString& folder) {
  const QString clean = QDir::cleanPath(folder);
  document_.GetWorld().AutoSaveFolder = clean.toStdString();
  NoteRecent(clean);
  if (clean == current_) return;
  current_ = clean;
  emit CurrentChanged(current_);
}

void WorldFolders::SetRecent(const QStringList& folders) {
  recent_.clear();
  for (const QString& folder : folders) {
    const QString clean = QDir::cleanPath(folder);
    if (!folder.isEmpty() && !recent_.contains(clean)) recent_ << clean;
  }
  while (recent_.size() > kRecentLimit)
    recent_.removeLast();
  RebuildRecentMenu();
}

void WorldFolders::NoteRecent(const QString& folder) {
  if (!recent_.isEmpty() && recent_.front() == folder) return;
  recent_.removeAll(folder);
  recent_.prepend(folder);
  while (recent_.size() > kRecentLimit)
    recent_.removeLast();
  RebuildRecentMenu();
}

void WorldFolders::RebuildRecentMenu() {
  recentMenu_->clear();
  for (int i = 0; i < recent_.size(); ++i) {
    const QString& folder = recent_[i];
    // "&1 /home/ann/Worlds/Reef", as desktop programs number them.
    QAction* entry = recentMenu_->addAction(
        QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(folder)));
    entry->setObjectName(QStringLiteral("menu_file_recent_%1").arg(i + 1));
    entry->setEnabled(HasSavedWorld(folder.toStdString()));
    connect(entry, &QAction::triggered, this, [this, folder] { OpenWorldIn(folder); });
  }
  if (recent_.isEmpty()) recentMenu_->addAction(QStringLiteral("(none yet)"))->setEnabled(false);
}

bool WorldFolders::AskToSaveFirst() {
  World& world = document_.GetWorld();
  if (world.GameStarted == 0) return true;  // nothing running to keep
  const Answer answer = seam_.ShowMessageBox(kSaveFirst, "Ombrivale", Buttons::YesNoCancel);
  if (answer == Answer::Cancel) return false;
  if (answer == Answer::No) return true;
  return SaveAndWait(current_);  // a failed save was told; the running world stays
}

bool WorldFolders::SaveAndWait(const QString& folder) {
  World& world = document_.GetWorld();
  bool saved = false;
  const QMetaObject::Connection watch =
      connect(&document_, &WorldDocument::SaveEnded, this,
              [&saved](const QString&, const QStringList& errors) { saved = errors.isEmpty(); });
  SaveWorld(world, folder.toStdString());
  document_.Saver().Finish(world);
  document_.Drain();
  disconnect(watch);
  return saved;
}

void WorldFolders::OpenWorld() {
  const QString folder = chooseFolder(QStringLiteral("Open World"), false);
  if (!folder.isEmpty()) OpenWorldIn(folder);
}

bool WorldFolders::OpenWorldIn(const QString& folder) {
  if (document_.InTick()) return false;  // a message box of a tick is open
  if (!AskToSaveFirst()) return false;
  std::string refusal;
  const QString clean = QDir::cleanPath(folder);
  if (!ombrivale::OpenWorld(document_.GetWorld(), clean.toStdString(), refusal)) {
    seam_.ShowMessageBox("The world in " + Native(clean) + " was not opened:\n" + refusal, "ERROR",
                         Buttons::Ok);
    document_.Drain();
    return false;
  }
  SetCurrent(clean);
  document_.Drain();
  return true;
}

void WorldFolders::SaveWorldAs() {
  const QString folder = chooseFolder(QStringLiteral("Save World As"), true);
  if (!folder.isEmpty()) SaveWorldInto(folder);
}

bool WorldFolders::SaveWorldInto(const QString& folder) {
  const QString clean = QDir::cleanPath(folder);
  const QDir dir(clean);
  if (clean != current_ && dir.exists()) {
    const bool empty = dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (HasSavedWorld(clean.toStdString())) {
      if (seam_.ShowMessageBox("Replace the world saved in " + Native(clean) + "?", "Ombrivale",
                               Buttons::YesNo) != Answer::Yes)
        return false;
    } else if (!empty) {
      // A save replaces the folder whole: other files there would be lost.
      seam_.ShowMessageBox(Native(clean) +
                               " holds files that are not a saved world: choose an empty "
                               "folder, a new one or a world's folder.",
                           "ERROR", Buttons::Ok);
      return false;
    }
  }
  const bool saved = SaveAndWait(clean);
  if (saved) SetCurrent(clean);
  return saved;
}

}  // namespace ombrivale::ui
