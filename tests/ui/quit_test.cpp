// Quitting: the two questions, what each answer saves, and the close box.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "sim/new_world.h"
#include "support/world_files_support.h"
#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

TEST(QuitTest, TheAnswersDecideWhatIsSavedAndWhetherTheProgramEnds) {
  struct Case {
    const char* name;
    std::deque<Answer> answers;
    size_t boxes;
    bool ended, settingsWritten, worldSaved;
  };
  const Case cases[] = {
      {"No to quitting", {Answer::No}, 1, false, false, false},
      {"Cancel at saving", {Answer::Yes, Answer::Cancel}, 2, false, false, false},
      {"No to saving", {Answer::Yes, Answer::No}, 2, true, true, false},
      {"Yes to saving", {Answer::Yes, Answer::Yes}, 2, true, true, true},
  };
  for (const Case& c : cases) {
    TestMainWindow t(c.answers);
    FillMonthNames(*t.world().display);
    NewWorld(t.world());
    t.seam().ClearBoxes();
    t.window->Action("menu_file_exit")->trigger();
    const auto& boxes = t.seam().Boxes();
    ASSERT_EQ(boxes.size(), c.boxes) << c.name;
    EXPECT_EQ(boxes[0].text, "Quit Ombrivale?") << c.name;
    EXPECT_EQ(boxes[0].buttons, Buttons::YesNo) << c.name;
    if (c.boxes > 1) {
      EXPECT_EQ(boxes[1].text, "Do you want to save?") << c.name;
      EXPECT_EQ(boxes[1].buttons, Buttons::YesNoCancel) << c.name;
    }
    EXPECT_EQ(t.ended, c.ended) << c.name;
    EXPECT_EQ(QFile::exists(t.window->Folders().settingsPath), c.settingsWritten) << c.name;
    EXPECT_EQ(QFile::exists(t.window->Folders().autoSaveFolder + "/planet_0.dat"), c.worldSaved)
        << c.name;
    EXPECT_EQ(t.window->Timer1().isActive(), !c.ended) << c.name;  // timers stop at the end only
  }
}

TEST(QuitTest, EveryCloseAttemptGoesThroughTheDialogue) {
  TestMainWindow t({Answer::No, Answer::Yes, Answer::No});
  t.window->show();
  EXPECT_FALSE(t.window->close());  // refused: "Quit Ombrivale?" answered No
  EXPECT_TRUE(t.window->isVisible());
  EXPECT_FALSE(t.ended);
  QCloseEvent event;
  QCoreApplication::sendEvent(t.window.get(), &event);  // Yes, then No to saving
  EXPECT_TRUE(t.ended);
  EXPECT_EQ(t.seam().Boxes().size(), 3u);
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

// A save on quitting that fails (a full disk) is told in an "ERROR" box
// before the program ends.
TEST(QuitTest, AFailedSaveOnQuittingIsToldBeforeTheEnd) {
  FaultyFileSystem full;
  full.fullDiskName = "/planet_1.dat";
  TestMainWindow t({Answer::Yes, Answer::Yes}, 768, 1, &full);
  t.window->Quit();
  EXPECT_TRUE(t.ended);
  const auto& boxes = t.seam().Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[2].title, "ERROR");
  EXPECT_EQ(0u, boxes[2].text.rfind("Error  28\n\r", 0)) << boxes[2].text;
}

}  // namespace
}  // namespace ombrivale::testing
