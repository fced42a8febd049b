// Pictures of the running program with a populated world, written into the
// build folder to be looked at (main_window.png, about.png).
#include <gtest/gtest.h>

#include <QDir>
#include <QMdiSubWindow>

#include "core/helpers.h"
#include "sim/new_world.h"
#include "support/ui_support.h"
#include "ui/about_window.h"
#include "ui/log_window.h"
#include "ui_test_support.h"
#include "world/world_gen.h"

namespace ombrivale::testing {
namespace {

TEST(ScreenshotTest, RunningMainWindowWithAPopulatedWorld) {
  TestMainWindow t({}, 768, 2);
  t.window->StartUp();
  t.window->Timer2().stop();
  World& world = t.world();
  // A fixed planet with a wide sea, so the picture is the same every run.
  UseVirtualClock(world, 1);
  NewWorld(world);
  FillTable(world, 400, true);
  t.window->showNormal();
  t.window->resize(1400, 900);
  t.window->ShowPropertiesWindow();
  t.window->ShowWorldView();
  t.window->ShowLog();
  t.window->showNormal();
  t.window->resize(1400, 900);
  t.window->SubWindowOf(t.window->WorldView())->move(560, 0);
  t.window->SubWindowOf(t.window->LogIfCreated())->move(560, 330);
  for (int i = 0; i < 400; ++i)
    t.window->Tick();
  // Track the first living animal, as a left click on it would.
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    if (AnimalAt(world, slot).Alive == 1) {
      t.window->MiniMapLeftPressed(CellX(AnimalAt(world, slot).X) * 15.0,
                                   CellY(AnimalAt(world, slot).Y) * 15.0);
      break;
    }
  }
  for (int i = 0; i < 5; ++i)
    t.window->Tick();
  PumpEvents(5);

  // The log refreshes on its own timer; bring it up to date for the picture.
  t.window->LogIfCreated()->SyncFromDisplay();
  EXPECT_EQ(t.window->LogIfCreated()->List1().count(),
            static_cast<int>(world.display->DeathLog.size()));
  PumpEvents(2);
  const QImage shot = t.window->grab().toImage();
  const QString path = QStringLiteral(OMBRIVALE_BINARY_DIR "/main_window.png");
  ASSERT_TRUE(shot.save(path));
  // The map shows the planet: sky at the top left, not an empty picture.
  const QImage map = t.window->MiniMap().grab().toImage();
  EXPECT_EQ(map.pixelColor(2, 2), QColor(128, 128, 255));
  EXPECT_NE(t.window->Frame(2).Label().text(), "Animals");
}

TEST(ScreenshotTest, AboutWindow) {
  ui::AboutWindow about;
  about.show();
  PumpEvents();
  ASSERT_TRUE(about.grab().toImage().save(QStringLiteral(OMBRIVALE_BINARY_DIR "/about.png")));
  ASSERT_TRUE(ui::DrawPlanetPicture(QSize(128, 128), true)
                  .save(QStringLiteral(OMBRIVALE_BINARY_DIR "/icon.png")));
}

}  // namespace
}  // namespace ombrivale::testing
