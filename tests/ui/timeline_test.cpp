// The timeline window, driven with clicks: its list and map of the world's
// savepoints, going back to one and branching one off as a world.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QtTest/QTest>
#include <cstdio>

#include "core/log.h"
#include "support/world_files_support.h"
#include "ui/world_folders.h"
#include "ui_test_support.h"
#include "world/savepoint.h"

namespace ombrivale::testing {
namespace {

void Click(QWidget* widget) {
  ASSERT_NE(widget, nullptr);
  QTest::mouseClick(widget, Qt::LeftButton);
}

void ClickRow(ui::TimelineWindow& timeline, int row) {
  QTreeWidget& list = timeline.List();
  const QRect place = list.visualItemRect(list.topLevelItem(row));
  ASSERT_TRUE(place.isValid()) << "row " << row << " is not shown";
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, place.center());
}

TEST(TimelineTest, ListsTheSavepointsAndGoesBackOrBranchesWithItsButtons) {
  TestMainWindow t(TestMainWindow::StartedPaused{3});
  ui::MainWindow& window = *t.window;
  World& world = t.world();
  ASSERT_TRUE(world.savepoints.on);
  // Options > On Extinction: &Go Back, from the keyboard, and back off.
  for (const bool on : {true, false}) {
    QTest::keyClick(&window, Qt::Key_O, Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_G);
    EXPECT_EQ(on, world.savepoints.goBackOnExtinction);
  }
  for (const char* label : {"first", "second", "third", "gone"}) {
    if (label[0] != 'g') t.run().StepMonth();
    ASSERT_TRUE(MarkSavepoint(world, label).ok());
  }
  window.Document().Saver().Finish(world);

  // Window > Show T&imeline, from the keyboard.
  QTest::keyClick(&window, Qt::Key_W, Qt::AltModifier);
  ASSERT_NE(QApplication::activePopupWidget(), nullptr);
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_I);
  ui::TimelineWindow* timeline = window.TimelineIfCreated();
  ASSERT_NE(timeline, nullptr);
  ASSERT_TRUE(timeline->isVisible());
  ASSERT_EQ(4, timeline->List().topLevelItemCount());
  EXPECT_EQ(QStringLiteral("marked: third"), timeline->List().topLevelItem(2)->text(4));
  EXPECT_FALSE(timeline->Thumbnail().pixmap().isNull());  // the newest is selected

  // One that went while the question was open (thinned, say) is refused and
  // the world runs on untouched.
  const int16_t now = world.Month;
  ASSERT_EQ(0, std::remove(timeline->Selected()->path.c_str()));
  t.seam().ScriptAnswers({Answer::Yes});
  t.seam().ClearBoxes();
  Click(timeline->findChild<QPushButton*>(QStringLiteral("TimelineGoBack")));
  ASSERT_EQ(2u, t.seam().Boxes().size());
  EXPECT_NE(std::string::npos, t.seam().Boxes()[1].text.find("is no longer kept"));
  EXPECT_EQ(now, world.Month);
  ASSERT_EQ(3, timeline->List().topLevelItemCount());

  // Going back to the first: asked, then the world is the first's; the two
  // after it and the world as it was left stay, on another branch.
  ClickRow(*timeline, 0);
  const SavepointInfo first = *timeline->Selected();
  t.seam().ScriptAnswers({Answer::No});
  Click(timeline->findChild<QPushButton*>(QStringLiteral("TimelineGoBack")));
  EXPECT_EQ(now, world.Month) << "No keeps the world";
  t.seam().ClearBoxes();
  t.seam().ScriptAnswers({Answer::Yes});
  Click(timeline->findChild<QPushButton*>(QStringLiteral("TimelineGoBack")));
  ASSERT_EQ(1u, t.seam().Boxes().size());
  // The loaded world's start turns two months, as opening a world does.
  EXPECT_EQ(first.month + 2, world.Month);
  EXPECT_EQ("Went Back to 0-" + std::to_string(first.month), world.display->Label3);
  EXPECT_TRUE(world.history.samples.back().wentBack);
  window.Document().Saver().Finish(world);
  timeline->Refresh();
  std::vector<std::string> kept;
  for (const SavepointInfo& info : timeline->Savepoints())
    kept.push_back(SavepointLine(info));
  const std::string left = "0-" + std::to_string(first.month + 2) + " branch ";
  EXPECT_EQ(
      (std::vector<std::string>{SavepointLine(first),
                                "0-" + std::to_string(first.month + 1) + " branch marked: second",
                                left + "marked: third", left + "left when the world went back"}),
      kept);
  EXPECT_EQ(QStringLiteral("Branch 1"), timeline->List().topLevelItem(1)->text(5));

  // Branching the second off into a folder that is not empty is refused;
  // into a new one, its files are the savepoint's and it is the world now.
  QTemporaryDir place;
  QString chosen = place.path();
  QFile other(place.path() + "/notes.txt");
  ASSERT_TRUE(other.open(QIODevice::WriteOnly));
  other.close();
  window.Worlds().chooseFolder = [&chosen](const QString&, bool) { return chosen; };
  ClickRow(*timeline, 1);
  const SavepointInfo second = *timeline->Selected();
  t.seam().ClearBoxes();
  Click(timeline->findChild<QPushButton*>(QStringLiteral("TimelineBranch")));
  ASSERT_EQ(1u, t.seam().Boxes().size());
  EXPECT_EQ("ERROR", t.seam().Boxes()[0].title);
  chosen = place.path() + "/Branch";
  t.seam().ScriptAnswers({Answer::No});  // not saved first
  Click(timeline->findChild<QPushButton*>(QStringLiteral("TimelineBranch")));
  EXPECT_EQ(QDir::cleanPath(chosen), window.Worlds().Current());
  EXPECT_EQ(second.month + 2, world.Month);
  PosixFileSystem files;
  std::vector<std::pair<std::string, std::string>> contents;
  ASSERT_TRUE(ReadSavepoint(files, second.path, contents).ok());
  for (const auto& [name, bytes] : contents)
    EXPECT_TRUE(bytes == ReadFileText(chosen.toStdString() + "/" + name)) << name;
}

}  // namespace
}  // namespace ombrivale::testing
