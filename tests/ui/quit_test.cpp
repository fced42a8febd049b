// Quitting: the two questions, what each answer saves, and the close box.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QDir>
#include <QFile>

#include "sim/new_world.h"
#include "ui_test_support.h"
#include "world/world_gen.h"

namespace ombrivale::testing {
namespace {

struct QuitCase {
  const char* name;
  std::deque<Answer> answers;
  bool ended;
  bool settingsWritten;
  bool worldSaved;
  size_t boxes;
};

TEST(QuitTest, TheThreePathsOfTheDialogue) {
  const QuitCase cases[] = {
      {"No to quitting", {Answer::No}, false, false, false, 1},
      {"Cancel at saving", {Answer::Yes, Answer::Cancel}, false, false, false, 2},
      {"No to saving", {Answer::Yes, Answer::No}, true, true, false, 2},
      {"Yes to saving", {Answer::Yes, Answer::Yes}, true, true, true, 2},
  };
  for (const QuitCase& c : cases) {
    TestMainWindow t(c.answers);
    FillMonthNames(*t.world().display);
    NewWorld(t.world());
    t.seam().ClearBoxes();
    t.window->Action("menu_file_exit")->trigger();
    const auto& boxes = t.seam().Boxes();
    ASSERT_GE(boxes.size(), c.boxes) << c.name;
    EXPECT_EQ(boxes[0].text, "Quit Ombrivale?") << c.name;
    EXPECT_EQ(boxes[0].title, "Confirm") << c.name;
    EXPECT_EQ(boxes[0].buttons, Buttons::YesNo) << c.name;
    if (c.boxes > 1) {
      EXPECT_EQ(boxes[1].text, "Do you want to save?") << c.name;
      EXPECT_EQ(boxes[1].title, "Save?") << c.name;
      EXPECT_EQ(boxes[1].buttons, Buttons::YesNoCancel) << c.name;
    }
    EXPECT_EQ(t.ended, c.ended) << c.name;
    EXPECT_EQ(t.window->Ended(), c.ended) << c.name;
    EXPECT_EQ(QFile::exists(t.window->Folders().settingsPath), c.settingsWritten) << c.name;
    EXPECT_EQ(QFile::exists(t.window->Folders().autoSaveFolder + "/planet_0.dat"), c.worldSaved)
        << c.name;
    // The timers stop only when the program ends.
    EXPECT_EQ(t.window->Timer1().isActive(), !c.ended) << c.name;
  }
}

TEST(QuitTest, EveryCloseAttemptGoesThroughQuit) {
  TestMainWindow t({Answer::No, Answer::Yes, Answer::No});
  t.window->show();
  EXPECT_FALSE(t.window->close());  // refused: "Quit Ombrivale?" answered No
  EXPECT_TRUE(t.window->isVisible());
  ASSERT_EQ(t.seam().Boxes().size(), 1u);
  EXPECT_EQ(t.seam().Boxes()[0].text, "Quit Ombrivale?");
  EXPECT_FALSE(t.ended);

  QCloseEvent event;
  QCoreApplication::sendEvent(t.window.get(), &event);  // Yes, then No to saving
  EXPECT_TRUE(t.ended);
  EXPECT_TRUE(QFile::exists(t.window->Folders().settingsPath));
}

TEST(QuitTest, SettingsRecordTheWindowsAndOptions) {
  TestMainWindow t({Answer::Yes, Answer::No});
  t.window->show();
  t.window->ShowLog();
  t.window->SubWindowOf(t.window->LogIfCreated())->move(20, 10);
  t.window->Action("menu_options_colour")->trigger();
  t.window->Quit();
  QFile file(t.window->Folders().settingsPath);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
  ASSERT_GE(lines.size(), 27);
  EXPECT_EQ(lines[9].trimmed(), "300");   // log window left, twips
  EXPECT_EQ(lines[10].trimmed(), "150");  // top
  EXPECT_EQ(lines[11].trimmed(), "-1");   // shown
  EXPECT_EQ(lines[18].trimmed(), "1");    // RealColours
}

TEST(QuitTest, AFailedSettingsWriteIsReportedAndTheProgramStillEnds) {
  TestMainWindow t({Answer::Yes, Answer::No});
  // A folder where the file should go cannot be written over.
  ASSERT_TRUE(QDir().mkpath(t.window->Folders().settingsPath + "/blocked"));
  t.window->Quit();
  EXPECT_TRUE(t.ended);
  const auto& boxes = t.seam().Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2].title, "ERROR");
  EXPECT_EQ(boxes[2].buttons, Buttons::Ok);
}

}  // namespace
}  // namespace ombrivale::testing
