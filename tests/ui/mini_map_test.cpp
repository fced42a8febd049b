// A left click on the mini map chooses an animal; every map shows the world
// after a click, a kill or a drop, paused or running.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest/QTest>

#include "core/helpers.h"
#include "support/test_world.h"
#include "ui/mini_map.h"
#include "ui/world_view_colours.h"
#include "ui_test_support.h"
#include "world/map_picture.h"
#include "world/world_gen.h"

namespace ombrivale::testing {
namespace {

TEST(MiniMapTest, ALeftClickChoosesTheNearestAnimalByItsCellTiesToTheLowerSlot) {
  struct Case {
    int column;  // of the click, on row 20
    int chosen;
  };
  // Slot 9 in cell (10, 20), slot 4 in (20, 20), slot 2 at the far corner of
  // cell (30, 20): distances are measured to the cell.
  const Case cases[] = {{15, 4}, {14, 9}, {16, 4}, {25, 2}, {300, 2}};
  for (const Case& c : cases) {
    TestMainWindow t({}, 768, 2);
    PutAnimal(t.world(), 9, 1050, 2050);
    PutAnimal(t.world(), 4, 2050, 2050);
    PutAnimal(t.world(), 2, 3099, 2099);
    PutAnimal(t.world(), 1, 2050, 2050).Alive = 0;  // a free slot is never chosen
    t.window->show();
    QTest::mouseClick(&t.window->MiniMap(), Qt::LeftButton, {}, QPoint(2 * c.column + 1, 41));
    EXPECT_EQ(t.window->LastChosenSlot(), c.chosen) << c.column;
    // Through the properties window's "&Locate It" and "&Draw It" it is now
    // the tracked and the drawn one.
    EXPECT_EQ(t.world().display->SelectedAnimal, c.chosen) << c.column;
    EXPECT_EQ(t.world().display->QuickDrawAnimal, c.chosen) << c.column;
  }
  EXPECT_EQ(NearestAnimal(TestWorld().world, 150, 150, 2.0 * 8505), 0);  // nobody lives
}

// Whether the mini map as painted is the terrain with a dot in its colour on
// every living animal's cell, and the world view, when shown, the square
// under the marker as it is now: neither black, neither a tick behind.
::testing::AssertionResult ShowsTheWorld(TestMainWindow& t) {
  const World& world = t.world();
  const Display& display = *world.display;
  std::vector<uint32_t> expected(display.MiniBak.pixels);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Animal& animal = AnimalAt(world, slot);
    if (IsOccupied(animal))
      expected[MapPicture::Index(CellX(animal.X), CellY(animal.Y))] = DotColour(world, animal);
  }
  t.window->MiniMap().grab();  // paints the widget's picture
  const QImage& painted = t.window->MiniMap().Picture();
  for (int y = 0; y <= kMapBottomRow; ++y) {
    for (int x = 0; x < kMapWidth; ++x) {
      if ((painted.pixel(x, y) & 0xFFFFFFu) != expected[MapPicture::Index(x, y)])
        return ::testing::AssertionFailure() << "mini map cell " << x << ", " << y;
    }
  }
  ui::WorldViewWindow* view = t.window->WorldView();
  if (view == nullptr || !t.window->IsShown(view)) return ::testing::AssertionSuccess();
  QImage square(ui::kZoomPixels, ui::kZoomPixels, QImage::Format_RGB32);
  ui::RenderZoomed(world, display.Image1,
                   std::span<uint32_t>(reinterpret_cast<uint32_t*>(square.bits()),
                                       size_t(ui::kZoomPixels) * ui::kZoomPixels));
  if (view->Picture() != square) return ::testing::AssertionFailure() << "world view";
  return ::testing::AssertionSuccess();
}

// Regression: a left click while paused cleared the mini map until the next
// tick, and the world view opened while paused stayed black.
TEST(MiniMapTest, WhilePausedEveryMapShowsClicksKillsAndDropsAtOnce) {
  TestMainWindow t(TestMainWindow::StartedPaused{});
  World& world = t.world();
  ui::MainWindow& window = *t.window;
  ASSERT_TRUE(ShowsTheWorld(t));
  window.ShowWorldView();
  EXPECT_TRUE(ShowsTheWorld(t)) << "opened";

  const int slot = 1;
  ASSERT_TRUE(IsOccupied(AnimalAt(world, slot)));
  const QPoint animal(CellX(AnimalAt(world, slot).X), CellY(AnimalAt(world, slot).Y));
  QTest::mouseClick(&window.MiniMap(), Qt::LeftButton, {}, animal);
  EXPECT_EQ(window.LastChosenSlot(), slot);
  EXPECT_NEAR(world.display->Image1.Left,
              AnimalAt(world, slot).X * 0.15 - world.display->Image1.Width / 2, 1e-9);
  EXPECT_TRUE(ShowsTheWorld(t)) << "left click";
  QTest::mouseClick(&window.MiniMap(), Qt::RightButton, {}, QPoint(200, 30));
  EXPECT_TRUE(ShowsTheWorld(t)) << "right click";

  window.ShowPlayGod();
  ui::PlayGodWindow& god = *window.PlayGodIfCreated();
  god.Command1_Click();
  god.List2()->setCurrentRow(0);
  const int killed = god.List2()->item(0)->data(Qt::UserRole).toInt();
  QTest::mouseClick(god.findChild<QAbstractButton*>("Command2"), Qt::LeftButton);
  EXPECT_FALSE(IsOccupied(AnimalAt(world, killed)));
  EXPECT_TRUE(ShowsTheWorld(t)) << "Kill It";

  Animal founder;
  SetFounderGenome(founder);
  god.UseAnimal(founder, QStringLiteral("founder"));
  QTest::mouseClick(god.Option1(1), Qt::LeftButton);
  int column = 0;
  while (world.Map.At(kTerrainLayer, column, 5) == kGround)
    ++column;
  t.seam().ClearBoxes();
  QTest::mouseClick(god.Map(), Qt::LeftButton, {}, QPoint(column, 5));
  EXPECT_EQ(t.seam().Boxes().size(), 0u);
  EXPECT_TRUE(ShowsTheWorld(t)) << "dropped";

  // The sea level moved with the keyboard: the mini map shows the new sea
  // line with the animals on it.
  const int16_t sea = world.SeaLevel;
  QTest::keyClick(god.SeaLevelBar(), Qt::Key_PageDown);
  ASSERT_NE(sea, world.SeaLevel);
  EXPECT_TRUE(ShowsTheWorld(t)) << "sea level";

  window.Action("menu_options_colour")->trigger();
  EXPECT_TRUE(ShowsTheWorld(t)) << "real colours";
  EXPECT_EQ(world.TickCount, 0u);  // no tick drew any of it
}

// The ticks of a batch of "&Fast" leave the maps alone; its end shows them
// (looked at as it ends, before a later tick could draw them).
TEST(MiniMapTest, ABatchOfFastShowsTheMapsWhenItEnds) {
  TestMainWindow t(TestMainWindow::StartedPaused{});
  World& world = t.world();
  int slot = 2;
  for (int x = 3; x < kMapWidth && slot <= 80; x += 4) {
    for (int y = 10; y < 90 && slot <= 80; y += 20) {
      if (world.Map.At(kTerrainLayer, x, y) != kGround)
        PutAnimal(world, slot++, static_cast<int16_t>(x * 100 + 50), static_cast<int16_t>(y * 100));
    }
  }
  ui::RunControl& run = t.window->Run();
  ::testing::AssertionResult shown = ::testing::AssertionFailure() << "no batch ended";
  QObject::connect(&run, &ui::RunControl::BatchEnded, t.window.get(), [&] {
    if (run.Paused()) return;
    run.SetPaused(true);
    shown = ShowsTheWorld(t);
  });
  run.SetSpeed(ui::Speed::Fast);
  run.SetPaused(false);
  QTRY_VERIFY_WITH_TIMEOUT(run.Paused(), 60000);
  EXPECT_GT(world.TickCount, 0u);
  EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace ombrivale::testing
