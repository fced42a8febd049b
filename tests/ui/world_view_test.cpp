#include "ui/world_view.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <climits>

#include "genetics/body_measures.h"
#include "secondary_windows_support.h"
#include "sim/new_world.h"
#include "sim/tick.h"
#include "ui/play_god_window.h"
#include "ui/properties_window.h"
#include "ui/quick_draw.h"
#include "ui/world_view_colours.h"
#include "world/world_gen.h"

namespace ombrivale::testing {
namespace {

using ui::CellColour;
using ui::kZoomPixels;

constexpr uint32_t kPrevious = Rgb(1, 2, 3);

TEST(WorldViewColours, FoodColoursFromAmount) {
  struct Case {
    int32_t terrain, kind, amount;
    uint32_t expected;
  };
  const Case cases[] = {
      // Amount 0: 127.5 rounds to the even 128.
      {kWater, kSeaScum, 0, Rgb(0, 0, 128)},
      {kWater, kAquaticVegetation, 0, Rgb(0, 0, 128)},
      {kSky, kLandVegetation, 0, Rgb(0, 128, 255)},
      {kWater, kMeat, 0, Rgb(0, 0, 255)},
      {kSky, kMeat, 0, Rgb(128, 128, 255)},
      // Amount 10,000: the full colours.
      {kWater, kSeaScum, 10000, Rgb(0, 255, 255)},
      {kWater, kAquaticVegetation, 10000, Rgb(0, 255, 0)},
      {kSky, kLandVegetation, 10000, Rgb(128, 128, 0)},
      {kSky, kMeat, 10000, Rgb(128, 0, 0)},
      {kGround, kMeat, 10000, Rgb(128, 0, 0)},
      {kWater, kMeat, 10000, Rgb(128, 0, 0)},
      // Beyond: land vegetation and meat in water push red up to 255.
      {kSky, kLandVegetation, 20000, Rgb(255, 128, 0)},
      {kWater, kMeat, 20000, Rgb(255, 0, 0)},
      // Amounts whose products overflow 32 bits still give held colours.
      {kSky, kLandVegetation, 8421505, Rgb(255, 128, 0)},
      {kWater, kSeaScum, INT32_MAX, Rgb(0, 255, 255)},
      {kWater, kMeat, INT32_MAX, Rgb(255, 0, 0)},
      // Meat eaten below 0: components held at 0 and 255.
      {kSky, kMeat, INT32_MIN, Rgb(128, 255, 255)},
      {kWater, kMeat, -500, Rgb(0, 0, 255)},
      // Halves round to even: 5000 x 255 / 10000 = 127.5 -> 128; 128 + 63.75 -> 192.
      {kWater, kSeaScum, 5000, Rgb(0, 128, 192)},
      // 100 x 128 / 10000 = 1.28 -> 1.
      {kSky, kLandVegetation, 100, Rgb(1, 128, 252)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, CellColour(c.terrain, c.kind, c.amount, kPrevious))
        << "terrain " << c.terrain << " kind " << c.kind << " amount " << c.amount;
  }
}

TEST(WorldViewColours, TerrainAndUnfitCodes) {
  EXPECT_EQ(Rgb(128, 128, 255), CellColour(kSky, kNoFood, 77, kPrevious));
  EXPECT_EQ(Rgb(0, 0, 128), CellColour(kWater, kNoFood, 0, kPrevious));
  EXPECT_EQ(Rgb(128, 128, 0), CellColour(kGround, kNoFood, 0, kPrevious));
  // Codes that fit no row keep the colour of the cell drawn before.
  EXPECT_EQ(kPrevious, CellColour(7, kNoFood, 0, kPrevious));
  EXPECT_EQ(kPrevious, CellColour(kSky, 5, 0, kPrevious));
  EXPECT_EQ(kPrevious, CellColour(kSky, -1, 0, kPrevious));
  EXPECT_EQ(kPrevious, CellColour(3, kMeat, 0, kPrevious));
}

TEST(WorldViewColours, DotColours) {
  Animal animal;
  animal.Stage = kStageAdult;
  animal.Genes[1].Head.Diet = 2;
  animal.Genes[1].Body.ColourX = {255, 0, 10};
  animal.Genes[1].Body.ColourY = {0, 3, 11};
  animal.Genes[0].Head.Diet = 0;
  animal.Genes[0].Body.ColourX = {10, 20, 30};
  animal.Genes[0].Body.ColourY = {20, 40, 60};
  EXPECT_EQ(Rgb(255, 170, 0), ui::AnimalDotColour(animal, false));
  // Means 127.5, 1.5, 10.5 round half to even.
  EXPECT_EQ(Rgb(128, 2, 10), ui::AnimalDotColour(animal, true));
  animal.Stage = kStageEgg;  // an egg shows gene set 0
  EXPECT_EQ(Rgb(255, 0, 0), ui::AnimalDotColour(animal, false));
  EXPECT_EQ(Rgb(15, 30, 45), ui::AnimalDotColour(animal, true));
  animal.Genes[0].Head.Diet = 3;
  EXPECT_EQ(Rgb(255, 255, 0), ui::AnimalDotColour(animal, false));
  animal.Genes[0].Head.Diet = 200;  // a damaged diet stays yellow, not wrapped
  EXPECT_EQ(Rgb(255, 255, 0), ui::AnimalDotColour(animal, false));
}

class WorldViewTest : public ::testing::Test {
 protected:
  WorldViewTest() : view(services) {
    view.show();
    world.RealColours = 0;
  }
  // The colour of cell box (i, j) of the square, without the opaque byte.
  uint32_t Box(int i, int j) const { return Pixel(i * 16 + 8, j * 16 + 8); }
  uint32_t Pixel(int x, int y) const { return view.Picture().pixel(x, y) & 0xFFFFFFu; }
  void PlaceMarker(double left, double top) {
    world.display->Image1.Left = left;
    world.display->Image1.Top = top;
  }

  FakeServices services;
  World& world = services.tw.world;
  ui::WorldViewWindow view;
};

TEST_F(WorldViewTest, FirstCreationMaximisesTheMainWindow) {
  EXPECT_EQ(1, services.maximizeCalls);
  EXPECT_EQ(QStringLiteral("Zoom"), view.windowTitle());
  EXPECT_EQ(QSize(kZoomPixels, kZoomPixels), view.Picture1()->size());
}

TEST_F(WorldViewTest, SquareUnderTheMarker) {
  FillRows(world, 0, 100, kWater);
  world.Map.At(kFoodKindLayer, 10, 20) = kSeaScum;
  world.Map.At(kFoodAmountLayer, 10, 20) = 10000;
  world.Map.At(kTerrainLayer, 24, 34) = kGround;
  PlaceMarker(10 * 15 + 14.9, 20 * 15);  // c0 = 10, r0 = 20
  view.DoZoomed();
  EXPECT_EQ(Rgb(0, 255, 255), Box(0, 0));
  EXPECT_EQ(Rgb(0, 0, 128), Box(1, 0));
  EXPECT_EQ(Rgb(128, 128, 0), Box(14, 14));
  // Every pixel of a box has its colour, edges included.
  EXPECT_EQ(Rgb(0, 255, 255), Pixel(0, 0));
  EXPECT_EQ(Rgb(0, 255, 255), Pixel(15, 15));
  EXPECT_EQ(Rgb(0, 0, 128), Pixel(16, 15));
  EXPECT_EQ(Rgb(128, 128, 0), Pixel(239, 239));
}

TEST_F(WorldViewTest, BlackPastTheEdges) {
  FillRows(world, 0, 100, kSky);
  PlaceMarker(310 * 15, 95 * 15);  // columns 310..324, rows 95..109
  view.DoZoomed();
  EXPECT_EQ(Rgb(128, 128, 255), Box(10, 5));  // column 320, row 100
  EXPECT_EQ(Rgb(0, 0, 0), Box(11, 5));        // column 321
  EXPECT_EQ(Rgb(0, 0, 0), Box(10, 6));        // row 101
  EXPECT_EQ(Rgb(0, 0, 0), Box(14, 14));

  PlaceMarker(-3 * 15 - 1, -2 * 15);  // c0 = -4, r0 = -2: row -1 is off the map too
  view.DoZoomed();
  EXPECT_EQ(Rgb(0, 0, 0), Box(3, 2));
  EXPECT_EQ(Rgb(0, 0, 0), Box(4, 1));  // row -1
  EXPECT_EQ(Rgb(128, 128, 255), Box(4, 2));

  PlaceMarker(1e12, -1e12);  // far away: all black, nothing overflows
  view.DoZoomed();
  EXPECT_EQ(Rgb(0, 0, 0), Box(7, 7));
}

TEST_F(WorldViewTest, AnimalsStrictlyInsideTheSquare) {
  FillRows(world, 0, 100, kSky);
  PlaceMarker(10 * 15, 20 * 15);  // cells 10..24 x 20..34: X in (1000, 2400), Y in (2000, 3400)
  Animal& inside = PutAnimal(world, 1, 1100, 2200);
  inside.Genes[1].Head.Diet = 1;
  PutAnimal(world, 2, 1000, 2500);  // on the left boundary
  PutAnimal(world, 3, 2400, 2500);  // in the last column
  PutAnimal(world, 4, 1500, 2000);  // on the top boundary
  PutAnimal(world, 5, 1500, 3400);  // in the last row
  Animal& last = PutAnimal(world, 6, 2399, 3399);
  last.Genes[1].Head.Diet = 3;
  Animal& dead = PutAnimal(world, 7, 1700, 2700);
  dead.Alive = 0;
  view.DoZoomed();
  // (100 x 2.37, 200 x 2.39) units = (237, 478) -> pixel (15, 31).
  EXPECT_EQ(Rgb(255, 85, 0), Pixel(15, 31));
  EXPECT_EQ(Rgb(255, 85, 0), Pixel(14, 30));
  // (1399 x 2.37, 1399 x 2.39) = (3315.63, 3343.61) units -> (221, 222).
  EXPECT_EQ(Rgb(255, 255, 0), Pixel(221, 222));
  for (int x = 0; x < kZoomPixels; ++x) {
    for (int y = 0; y < kZoomPixels; ++y) {
      const uint32_t p = Pixel(x, y);
      const bool nearDot = (std::abs(x - 15) <= 1 && std::abs(y - 31) <= 1) ||
                           (std::abs(x - 221) <= 1 && std::abs(y - 222) <= 1);
      if (!nearDot) {
        ASSERT_EQ(Rgb(128, 128, 255), p) << "at " << x << "," << y;
      }
    }
  }
}

TEST_F(WorldViewTest, RealColoursAndEggs) {
  FillRows(world, 0, 100, kWater);
  PlaceMarker(0, 0);
  Animal& egg = PutAnimal(world, 9, 500, 500, kStageEgg);
  egg.Genes[0].Body.ColourX = {200, 100, 0};
  egg.Genes[0].Body.ColourY = {100, 50, 0};
  egg.Genes[1].Body.ColourX = {0, 0, 0};
  world.RealColours = 1;
  view.DoZoomed();
  // (500 x 2.37, 500 x 2.39) units = (1185, 1195) -> pixel (79, 79).
  EXPECT_EQ(Rgb(150, 75, 0), Pixel(79, 79));
}

TEST_F(WorldViewTest, DoesNothingWhileItCannotBeSeen) {
  FillRows(world, 0, 100, kSky);
  view.DoZoomed();
  EXPECT_EQ(1u, view.RedrawCount());
  services.mainMinimized = true;
  FillRows(world, 0, 100, kWater);
  view.DoZoomed();
  EXPECT_EQ(1u, view.RedrawCount());
  EXPECT_EQ(Rgb(128, 128, 255), Box(0, 0));  // not redrawn
  services.mainMinimized = false;
  view.showMinimized();
  view.DoZoomed();
  EXPECT_EQ(1u, view.RedrawCount());
  view.showNormal();
  view.hide();  // a closed view is only hidden
  view.DoZoomed();
  EXPECT_EQ(1u, view.RedrawCount());
  view.show();
  view.DoZoomed();
  EXPECT_EQ(2u, view.RedrawCount());
  EXPECT_EQ(Rgb(0, 0, 128), Box(0, 0));
}

TEST(WorldViewInMdi, DoesNothingInsideAMinimisedSubWindow) {
  FakeServices services;
  QMdiArea area;
  area.resize(800, 600);
  auto* view = new ui::WorldViewWindow(services);
  QMdiSubWindow* frame = area.addSubWindow(view);
  area.show();
  frame->show();
  view->DoZoomed();
  EXPECT_EQ(1u, view->RedrawCount());
  frame->showMinimized();
  view->DoZoomed();
  EXPECT_EQ(1u, view->RedrawCount());
  frame->showNormal();
  view->DoZoomed();
  EXPECT_EQ(2u, view->RedrawCount());
}

TEST_F(WorldViewTest, DraggedPictureLandsWhereItWasGrabbed) {
  view.resize(600, 500);
  QWidget* picture = view.Picture1();
  picture->move(0, 0);
  view.Picture1_MouseMove(QPoint(10, 20));
  EXPECT_FLOAT_EQ(150.0f, view.MouseX());
  EXPECT_EQ(300, view.MouseY());
  view.Form_DragDrop(QPoint(300, 200));
  EXPECT_EQ(QPoint(290, 180), picture->pos());

  // The same through the pointer: press at (30, 40) of the picture, drag,
  // release at (100, 120) of the window.
  const QPointF grab(30, 40);
  QMouseEvent press(QEvent::MouseButtonPress, grab, picture->mapToGlobal(grab), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(picture, &press);
  const QPointF dropLocal = QPointF(100, 120) - QPointF(picture->pos());
  QMouseEvent move(QEvent::MouseMove, dropLocal, picture->mapToGlobal(dropLocal), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(picture, &move);
  const QPointF releaseLocal = QPointF(100, 120) - QPointF(picture->pos());
  QMouseEvent release(QEvent::MouseButtonRelease, releaseLocal, picture->mapToGlobal(releaseLocal),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(picture, &release);
  EXPECT_EQ(QPoint(70, 80), picture->pos());
  EXPECT_FLOAT_EQ(450.0f, view.MouseX());
  EXPECT_EQ(600, view.MouseY());

  // Released outside the window: nothing was dropped, the picture goes back.
  QMouseEvent again(QEvent::MouseButtonPress, grab, picture->mapToGlobal(grab), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(picture, &again);
  const QPointF outside = QPointF(-50, 700) - QPointF(picture->pos());
  QMouseEvent away(QEvent::MouseButtonRelease, outside, picture->mapToGlobal(outside),
                   Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(picture, &away);
  EXPECT_EQ(QPoint(70, 80), picture->pos());
}

TEST_F(WorldViewTest, Screenshot) {
  MakeLandscape(world);
  PlaceMarker(25 * 15, 33 * 15);  // the shore: sky, sea and sloping ground
  int slot = 1;
  for (int i = 0; i < 40 && slot <= 14; ++i) {
    const int x = 2530 + 137 * (i % 10);
    const int y = 3330 + 113 * (i * 7 % 13);
    if (world.Map.At(kTerrainLayer, x / 100, y / 100) == kGround) continue;
    Animal& a = PutAnimal(world, slot++, x, y, i % 6 == 0 ? kStageEgg : kStageAdult);
    a.Genes[1].Head.Diet = static_cast<uint8_t>(i % 4);
  }
  view.DoZoomed();
  const std::string path = SaveScreenshot(*view.Picture1(), "world_view.png");
  EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
  world.RealColours = 1;
  view.DoZoomed();
  SaveScreenshot(*view.Picture1(), "world_view_real_colours.png");
}

// A generated planet run until it is well populated (at most 60 years):
// every window pictured as the user sees it, the view on the most evolved.
TEST(PopulatedWorld, Screenshots) {
  FakeServices services(7);
  World& world = services.tw.world;
  world.OverwriteLeast = 1;
  world.AutoRestart = 1;
  NewWorld(world);
  int living = 0;
  for (int year = 0; year < 60 && living < 150; ++year) {
    for (int tick = 0; tick < 12 * 31; ++tick)
      SimulationTick(world);
    living = 0;
    for (int slot = 1; slot <= kSlotCount; ++slot)
      living += AnimalAt(world, slot).Alive == 1;
  }
  std::printf("Pictured in year %d with %d living\n", world.Year, living);
  ASSERT_GT(living, 0);

  ui::WorldViewWindow view(services);
  view.show();
  ui::PropertiesWindow& properties = services.Properties();
  properties.show();
  properties.FindMostEvolved();
  const int evolved = world.display->SelectedAnimal;
  ASSERT_NE(0, evolved);
  const Animal& animal = AnimalAt(world, evolved);
  world.display->Image1.Left = animal.X * 15 / 100.0 - world.display->Image1.Width / 2;
  world.display->Image1.Top = animal.Y * 15 / 100.0 - world.display->Image1.Height / 2;
  view.DoZoomed();
  SaveScreenshot(*view.Picture1(), "populated_world_view.png");
  SaveScreenshot(properties, "populated_properties.png");
  ASSERT_TRUE(services.quickDraw);
  SaveScreenshot(*services.quickDraw, "populated_quick_draw.png");
  ui::PlayGodWindow playGod(services);
  playGod.show();
  playGod.Command1_Click();
  SaveScreenshot(playGod, "populated_play_god.png");
}

}  // namespace
}  // namespace ombrivale::testing
