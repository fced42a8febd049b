// Worlds as documents: Save As, Open, Open Recent, the title bar, the
// question before a running world is left, and the world open at the last
// quit opened at the next start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtTest/QTest>

#include "support/world_digest.h"
#include "ui/world_folders.h"
#include "ui_test_support.h"
#include "world/savepoint.h"
#include "world/world_files.h"

namespace ombrivale::testing {
namespace {

void PressFileEntry(ui::MainWindow& window, QList<Qt::Key> keys) {
  while (QWidget* open = QApplication::activePopupWidget())
    open->close();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
  for (const Qt::Key key : keys) {
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, key);
  }
}

bool CopyFolder(const QString& from, const QString& to) {
  QDir().mkpath(to);
  for (const QString& name : QDir(from).entryList(QDir::Files)) {
    if (!QFile::copy(from + "/" + name, to + "/" + name)) return false;
  }
  return true;
}

// Ctrl+M marks a savepoint of the running world in its folder, with the
// label given on one line; cancelling the label marks nothing.
TEST(WorldFoldersTest, CtrlMMarksASavepointWithItsLabel) {
  TestMainWindow t(TestMainWindow::StartedPaused{});
  ui::MainWindow& window = *t.window;
  std::deque<std::pair<QString, bool>> labels = {{"", false}, {"  before\nthe flood ", true}};
  window.askSavepointLabel = [&labels](bool& ok) {
    const auto [label, given] = labels.front();
    labels.pop_front();
    ok = given;
    return label;
  };
  const std::string folder = window.Folders().autoSaveFolder.toStdString();
  for (int press = 0; press < 2; ++press) {
    QTest::keyClick(&window, Qt::Key_M, Qt::ControlModifier);
    window.Document().Saver().Finish(t.world());
  }
  EXPECT_TRUE(labels.empty());
  std::vector<SavepointInfo> kept;
  ASSERT_TRUE(ListSavepoints(folder, kept).ok());
  ASSERT_EQ(1u, kept.size());
  EXPECT_EQ("0-2 marked before the flood", SavepointLine(kept[0]));
  EXPECT_EQ("Savepoint Marked: before the flood", t.world().display->Label3);
  // It holds the world as it stood: it opens as a world of its own.
  const QString opened = window.Folders().autoSaveFolder + "-marked";
  PosixFileSystem files;
  ASSERT_TRUE(ExtractSavepoint(files, kept[0].path, opened.toStdString()).ok());
  EXPECT_TRUE(HasSavedWorld(opened.toStdString()));
}

TEST(WorldFoldersTest, SaveAsOpenAndRecentFollowTheWorldsFolderAndRefuseWhatWouldLoseData) {
  TestMainWindow t(TestMainWindow::StartedPaused{4});
  ui::MainWindow& window = *t.window;
  ui::WorldFolders& worlds = window.Worlds();
  QTemporaryDir place;
  QString chosen;
  worlds.chooseFolder = [&chosen](const QString&, bool) { return chosen; };

  // Save World As (Alt+F, A) into a new folder: it is the world's folder now.
  const QString reef = QDir::cleanPath(place.path() + "/Reef");
  chosen = reef;
  PressFileEntry(window, {Qt::Key_A});
  EXPECT_TRUE(HasSavedWorld(reef.toStdString()));
  EXPECT_EQ(reef, worlds.Current());
  EXPECT_EQ(reef.toStdString(), t.world().AutoSaveFolder);  // the yearly save goes there
  EXPECT_TRUE(window.windowTitle().startsWith("Reef - ")) << qPrintable(window.windowTitle());
  ASSERT_FALSE(worlds.Recent().isEmpty());
  EXPECT_EQ(reef, worlds.Recent().front());

  // A folder of other files is never saved over: it would be replaced whole.
  const QString photos = place.path() + "/Photos";
  QDir().mkpath(photos);
  QFile photo(photos + "/beach.jpg");
  ASSERT_TRUE(photo.open(QIODevice::WriteOnly));
  photo.write("jpeg");
  photo.close();
  chosen = photos;
  t.seam().ClearBoxes();
  PressFileEntry(window, {Qt::Key_A});
  ASSERT_EQ(1u, t.seam().Boxes().size());
  EXPECT_EQ("ERROR", t.seam().Boxes()[0].title);
  EXPECT_EQ(QStringList{"beach.jpg"}, QDir(photos).entryList(QDir::Files));
  EXPECT_EQ(reef, worlds.Current());

  // A damaged world is refused by name, and the running one goes on untouched.
  for (int month = 0; month < 3; ++month)
    t.run().StepMonth();
  const QString broken = place.path() + "/Broken";
  ASSERT_TRUE(CopyFolder(reef, broken));
  QFile planet(broken + "/planet_0.dat");
  ASSERT_TRUE(planet.open(QIODevice::WriteOnly | QIODevice::Truncate));
  planet.write("x");
  planet.close();
  const uint64_t running = WorldDigest(t.world());
  chosen = broken;
  t.seam().ScriptAnswers({Answer::No});  // not saved first
  t.seam().ClearBoxes();
  PressFileEntry(window, {Qt::Key_O});
  ASSERT_EQ(2u, t.seam().Boxes().size());
  EXPECT_EQ("Save the current world first?", t.seam().Boxes()[0].text);
  EXPECT_EQ("ERROR", t.seam().Boxes()[1].title);
  EXPECT_NE(std::string::npos, t.seam().Boxes()[1].text.find("planet_0.dat"));
  EXPECT_EQ(running, WorldDigest(t.world()));
  EXPECT_EQ(reef, worlds.Current());

  // "Open &Recent", first entry: Reef as saved, the months since left behind.
  const int32_t savedYear = t.world().Year;
  t.seam().ScriptAnswers({Answer::No});
  PressFileEntry(window, {Qt::Key_R, Qt::Key_1});
  EXPECT_EQ("Loaded World", t.world().display->Label3);
  EXPECT_EQ(reef, worlds.Current());
  EXPECT_LE(t.world().Year, savedYear);

  // New World asks first; Cancel leaves the world running as it was.
  const uint64_t opened = WorldDigest(t.world());
  t.seam().ScriptAnswers({Answer::Cancel});
  t.seam().ClearBoxes();
  PressFileEntry(window, {Qt::Key_N});
  ASSERT_EQ(1u, t.seam().Boxes().size());
  EXPECT_EQ("Save the current world first?", t.seam().Boxes()[0].text);
  EXPECT_EQ(opened, WorldDigest(t.world()));

  // Quitting without a save: the next start opens Reef, not "AutoSave".
  t.seam().ScriptAnswers({Answer::Yes, Answer::No});  // "Quit Ombrivale?", "Do you want to save?"
  window.Quit();
  ASSERT_TRUE(t.ended);
  const auto again = StartAgain(t.folder.path());
  EXPECT_EQ(reef, again->Worlds().Current());
  EXPECT_EQ("Loaded World", again->GetWorld().display->Label3);
  EXPECT_TRUE(again->windowTitle().startsWith("Reef - "));
}

}  // namespace
}  // namespace ombrivale::testing
