#include "ui/quick_draw.h"

#include <gtest/gtest.h>
#include <QRadioButton>

#include "secondary_windows_support.h"
#include "ui/display_text.h"
#include "ui/quick_draw_layout.h"

namespace ombrivale::testing {
namespace {

using ui::Figure;
using ui::QuickDrawLayout;

void ExpectBox(const Figure& figure, float left, float top, float width, float height,
               const char* name) {
  EXPECT_FLOAT_EQ(left, figure.Left) << name;
  EXPECT_FLOAT_EQ(top, figure.Top) << name;
  EXPECT_FLOAT_EQ(width, figure.Width) << name;
  EXPECT_FLOAT_EQ(height, figure.Height) << name;
}

// A small four-legged animal with every drawn gene set.
void GiveShape(GeneSet& g) {
  g.Body.Height = 10;  // across
  g.Body.Width = 5;    // up and down
  g.Body.ColourX = {200, 100, 50};
  g.Body.ColourY = {90, 60, 30};
  g.Body.ColourContrast = 1;
  g.Limb[0] = {4, 2, 3, 1, 0, 0, {}};
  g.Limb[1] = {6, 3, 2, 2, 0, 0, {}};
  g.Tail.Length = 4;
  g.Tail.Width = 1;
  g.Head.Height = 3;
  g.Head.Width = 4;
  g.Head.NeckHeight = 1;
  g.Head.NeckWidth = 2;
  g.Head.MouthNose = 1;
  g.Head.MouthLength = 2;
  g.Head.NoseLength = 1;
  g.Head.Audio.Resolution = 480;
}

TEST(QuickDrawLayout, AdultBodyAtOneHundredPerCent) {
  Animal a;
  a.Alive = 1;
  a.Stage = kStageAdult;
  a.Genes[1].Body.Height = 10;
  a.Genes[1].Body.Width = 5;
  QuickDrawLayout layout;
  ui::LayOutAnimal(layout, a, kStageAdult, 100);
  ExpectBox(layout.body, 720, 1200, 1500, 750, "body");
  EXPECT_TRUE(layout.bornVisible);
  EXPECT_FALSE(layout.unbornVisible);
}

TEST(QuickDrawLayout, EveryFigureFromTheSteps) {
  Animal a;
  a.Alive = 1;
  a.Stage = kStageAdult;
  GiveShape(a.Genes[1]);
  QuickDrawLayout layout;
  ui::LayOutAnimal(layout, a, kStageAdult, 100);  // s = 150
  ExpectBox(layout.body, 720, 1200, 1500, 750, "body");
  EXPECT_EQ(Rgb(90, 60, 30), layout.body.BackColor);
  EXPECT_EQ(Rgb(200, 100, 50), layout.body.FillColor);
  EXPECT_EQ(ui::kFillDiagonalCross, layout.body.FillStyle);
  // Limb 0 at the right-hand end, limb 1 at the left; lower parts centred.
  ExpectBox(layout.upperlimb[0], 720 + 1500 - 300, 1200 + 562.5f, 300, 600, "upper 0");
  ExpectBox(layout.lowerlimb[0], 1920 + 150 - 75, 1762.5f + 600, 150, 450, "lower 0");
  ExpectBox(layout.upperlimb[1], 720, 1762.5f, 450, 900, "upper 1");
  ExpectBox(layout.lowerlimb[1], 720 + 225 - 150, 1762.5f + 900, 300, 300, "lower 1");
  ExpectBox(layout.tail, 720 - 75, 1200 + 375 - 600, 150, 600, "tail");
  // Head: left = 720 + 1500 + 150; top = 1200 + 375 - 300 - 225.
  ExpectBox(layout.head, 2370, 1050, 600, 450, "head");
  // MouthNose 1: mouth at 6/10 of the head, nose a third past its right edge.
  ExpectBox(layout.mouth, 2370 + 360, 1050 + 225, 300, 225, "mouth");
  ExpectBox(layout.nose, 2370 + 600 - 50, 1275 - 56.25f, 150, 112.5f, "nose");
  // The ear: 480 twips high whatever the zoom, 300 wide.
  ExpectBox(layout.ear, 2370, 1050 + 112.5f, 300, 480, "ear");
  EXPECT_FLOAT_EQ(1470, layout.neck1.X1);
  EXPECT_FLOAT_EQ(1200, layout.neck1.Y1);
  EXPECT_FLOAT_EQ(2670, layout.neck1.X2);
  EXPECT_FLOAT_EQ(1275, layout.neck1.Y2);
  EXPECT_FLOAT_EQ(1200 + 750 - 15, layout.neck2.Y1);
  EXPECT_FLOAT_EQ(1050 + 337.5f, layout.neck2.Y2);
  for (const Figure* f : {&layout.upperlimb[0], &layout.lowerlimb[1], &layout.tail, &layout.head,
                          &layout.mouth, &layout.nose}) {
    EXPECT_EQ(layout.body.BackColor, f->BackColor);
    EXPECT_EQ(layout.body.FillStyle, f->FillStyle);
  }
  EXPECT_NE(layout.body.BackColor, layout.ear.BackColor);  // the ear keeps its own colours

  // MouthNose 0: half the mouth, the nose at the mouth's right end.
  a.Genes[1].Head.MouthNose = 0;
  ui::LayOutAnimal(layout, a, kStageAdult, 100);
  ExpectBox(layout.mouth, 2730, 1275, 150, 225, "mouth 0");
  ExpectBox(layout.nose, 2730 + 150 - 150, 1275 - 56.25f, 150, 112.5f, "nose 0");
}

TEST(QuickDrawLayout, MouthNoseTwoKeepsThePreviousMouthAndNose) {
  Animal a;
  a.Alive = 1;
  a.Stage = kStageAdult;
  GiveShape(a.Genes[1]);
  QuickDrawLayout layout;
  ui::LayOutAnimal(layout, a, kStageAdult, 100);
  const Figure mouth = layout.mouth;
  const Figure nose = layout.nose;
  a.Genes[1].Head.MouthNose = 2;
  a.Genes[1].Head.Width = 9;
  a.Genes[1].Head.MouthLength = 7;
  a.Genes[1].Body.ColourY = {1, 2, 3};
  ui::LayOutAnimal(layout, a, kStageAdult, 200);
  for (const auto& [now, before] : {std::pair{&layout.mouth, &mouth}, {&layout.nose, &nose}}) {
    EXPECT_EQ(before->Left, now->Left);
    EXPECT_EQ(before->Top, now->Top);
    EXPECT_EQ(before->Width, now->Width);
    EXPECT_EQ(before->Height, now->Height);
    EXPECT_EQ(Rgb(1, 2, 3), now->BackColor);  // but they take the body's colours
  }
}

TEST(QuickDrawLayout, EggAndClamps) {
  Animal a;
  a.Alive = 1;
  a.Stage = kStageAdult;
  a.Unborn.EggSize = 1;
  a.Unborn.EggColor = {10, 20, 30};
  QuickDrawLayout layout;
  ui::LayOutAnimal(layout, a, kStageEgg, 100);
  ExpectBox(layout.egg, 960, 960, 135, 202.5f, "egg");
  EXPECT_EQ(Rgb(10, 20, 30), layout.egg.BackColor);
  EXPECT_TRUE(layout.egg.BackOpaque);
  EXPECT_EQ(ui::kFillTransparent, layout.egg.FillStyle);
  EXPECT_TRUE(layout.unbornVisible);
  EXPECT_FALSE(layout.bornVisible);

  // Sizes past the 16-bit product are held; negative ones drawn as 0.
  a.Unborn.EggSize = 32767;
  ui::LayOutAnimal(layout, a, kStageEgg, 500);
  EXPECT_FLOAT_EQ(364 * 90 * 7.5f, layout.egg.Width);
  a.Unborn.EggSize = -5;
  ui::LayOutAnimal(layout, a, kStageEgg, 100);
  EXPECT_FLOAT_EQ(0, layout.egg.Width);

  GiveShape(a.Genes[1]);
  a.Genes[1].Body.Height = -10;
  a.Genes[1].Limb[0].UpperLength = -4;
  a.Genes[1].Head.Audio.Resolution = -100;
  a.Genes[1].Tail.Width = INT16_MIN;
  ui::LayOutAnimal(layout, a, kStageAdult, 100);
  EXPECT_FLOAT_EQ(0, layout.body.Width);
  EXPECT_FLOAT_EQ(0, layout.upperlimb[0].Height);
  EXPECT_FLOAT_EQ(0, layout.ear.Height);
  EXPECT_FLOAT_EQ(0, layout.tail.Width);
}

TEST(QuickDrawLayout, ScaleText) {
  EXPECT_EQ("= 10cm    100%Zoom", ui::ScaleText(100));
  EXPECT_EQ("= 5cm    200%Zoom", ui::ScaleText(200));
  EXPECT_EQ("= 1000cm    1%Zoom", ui::ScaleText(1));
  EXPECT_EQ("= 2cm    500%Zoom", ui::ScaleText(500));
  EXPECT_EQ("= 3.33cm    300%Zoom", ui::ScaleText(300));
  EXPECT_EQ("= 333.33cm    3%Zoom", ui::ScaleText(3));
  EXPECT_EQ("= 15.63cm    64%Zoom", ui::ScaleText(64));  // 15.625: the half goes up
  EXPECT_EQ("= 9.9cm    101%Zoom", ui::ScaleText(101));  // 9.90099
}

class QuickDrawTest : public ::testing::Test {
 protected:
  QuickDrawTest() {
    adult = &PutAnimal(world, 5, 1000, 1000, kStageAdult);
    GiveShape(adult->Genes[1]);
    GiveShape(adult->Genes[0]);
    adult->Genes[0].Body.Height = 4;
    adult->Genes[0].Body.Width = 2;
  }
  ui::QuickDrawWindow& Window() { return services.QuickDraw(); }
  bool Bold(int option) { return Window().Option(option)->font().bold(); }

  FakeServices services;
  World& world = services.tw.world;
  Animal* adult = nullptr;
};

TEST_F(QuickDrawTest, CreationResetsTheZoomAndKeepsTheDrawnAnimal) {
  world.display->QuickDrawZoom = 250;
  ui::QuickDrawWindow& window = Window();
  EXPECT_EQ(100, world.display->QuickDrawZoom);
  EXPECT_EQ(QStringLiteral("QuickDraw"), window.windowTitle());
  EXPECT_EQ(QStringLiteral("= 10cm  100% Zoom"), window.ScaleLabel());
  window.DrawAnimal(5, kStageAdult);
  EXPECT_EQ(5, world.display->QuickDrawAnimal);
  window.Command1_Click(0);
  EXPECT_EQ(101, world.display->QuickDrawZoom);
  services.CloseQuickDraw();
  ui::QuickDrawWindow& again = Window();
  EXPECT_EQ(100, world.display->QuickDrawZoom);
  EXPECT_EQ(5, world.display->QuickDrawAnimal);
  // Its zoom buttons draw the kept animal again.
  again.Command1_Click(1);
  EXPECT_EQ(99, world.display->QuickDrawZoom);
  EXPECT_FLOAT_EQ(1500 * 0.99f, again.Layout().body.Width);
}

TEST_F(QuickDrawTest, ZoomDoublesEveryGeneSizedFigureButTheEar) {
  ui::QuickDrawWindow& window = Window();
  window.DrawAnimal(5, kStageAdult);
  const QuickDrawLayout at100 = window.Layout();
  for (int i = 0; i < 100; ++i)
    window.Command1_Click(0);
  EXPECT_EQ(200, world.display->QuickDrawZoom);
  EXPECT_EQ(QStringLiteral("= 5cm    200%Zoom"), window.ScaleLabel());
  const QuickDrawLayout& at200 = window.Layout();
  ExpectBox(at200.body, 720, 1200, 3000, 1500, "body");
  EXPECT_FLOAT_EQ(2 * at100.head.Width, at200.head.Width);
  EXPECT_FLOAT_EQ(2 * at100.tail.Height, at200.tail.Height);
  EXPECT_FLOAT_EQ(2 * at100.upperlimb[1].Height, at200.upperlimb[1].Height);
  EXPECT_FLOAT_EQ(2 * at100.mouth.Width, at200.mouth.Width);
  EXPECT_FLOAT_EQ(at100.ear.Height, at200.ear.Height);
  EXPECT_FLOAT_EQ(at100.ear.Width, at200.ear.Width);
}

TEST_F(QuickDrawTest, ZoomStaysWithinOneAndFiveHundred) {
  ui::QuickDrawWindow& window = Window();
  world.display->QuickDrawZoom = 2;
  window.Command1_Click(1);
  window.Command1_Click(1);
  window.Command1_Click(1);
  EXPECT_EQ(1, world.display->QuickDrawZoom);
  EXPECT_EQ(QStringLiteral("= 1000cm    1%Zoom"), window.ScaleLabel());
  world.display->QuickDrawZoom = 499;
  window.Command1_Click(0);
  window.Command1_Click(0);
  EXPECT_EQ(500, world.display->QuickDrawZoom);
  world.display->QuickDrawZoom = 30000;  // from a damaged settings file
  window.Command1_Click(0);
  EXPECT_EQ(500, world.display->QuickDrawZoom);
}

TEST_F(QuickDrawTest, NothingDrawnWithoutAnAnimal) {
  ui::QuickDrawWindow& window = Window();
  const QuickDrawLayout design = window.Layout();
  window.Command1_Click(0);  // the zoom and its text change, nothing is drawn
  EXPECT_EQ(101, world.display->QuickDrawZoom);
  EXPECT_EQ(QStringLiteral("= 9.9cm    101%Zoom"), window.ScaleLabel());
  window.Option1_Click(2);
  window.DrawAnimal(0, kStageAdult);
  window.DrawAnimal(751, kStageAdult);
  window.DrawAnimal(-3, kStageAdult);
  adult->Alive = 0;
  window.DrawAnimal(5, kStageAdult);
  EXPECT_EQ(0, world.display->QuickDrawAnimal);
  EXPECT_EQ(design.body.Width, window.Layout().body.Width);
  EXPECT_EQ(design.head.Left, window.Layout().head.Left);
}

TEST_F(QuickDrawTest, InfantViewOfAnAdultKeepsAdultBold) {
  ui::QuickDrawWindow& window = Window();
  window.DrawAnimal(5, kStageAdult);
  EXPECT_TRUE(Bold(2));
  EXPECT_TRUE(window.Option(2)->isChecked());
  window.Option1_Click(1);  // "Infant"
  EXPECT_TRUE(window.Option(1)->isChecked());
  EXPECT_FALSE(Bold(1));
  EXPECT_TRUE(Bold(2));
  ExpectBox(window.Layout().body, 720, 1200, 600, 300, "infant body");
  window.Option1_Click(0);  // "Preborn"
  EXPECT_TRUE(window.Layout().unbornVisible);
  EXPECT_TRUE(Bold(2));
  EXPECT_FALSE(Bold(0));
  // An egg's own stage makes "Preborn" bold.
  PutAnimal(world, 6, 500, 500, kStageEgg);
  window.DrawAnimal(6, kStageEgg);
  EXPECT_TRUE(Bold(0));
  EXPECT_FALSE(Bold(2));
  ExpectBox(window.Layout().egg, 960, 960, 135, 202.5f, "egg");
}

TEST_F(QuickDrawTest, Screenshots) {
  ui::QuickDrawWindow& window = Window();
  // A long-bodied adult with a patterned coat, a long tail and legs.
  GeneSet& g = adult->Genes[1];
  g.Body.Height = 12;
  g.Body.Width = 6;
  g.Body.ColourContrast = 3;
  g.Limb[0] = {5, 2, 5, 1, 3, 1, {}};
  g.Limb[1] = {5, 2, 5, 1, 3, 1, {}};
  g.Tail = {8, 1, 50};
  g.Head.Height = 4;
  g.Head.Width = 5;
  g.Head.NeckHeight = 1;
  g.Head.NeckWidth = 2;
  g.Head.MouthNose = 1;
  g.Head.MouthLength = 3;
  g.Head.NoseLength = 2;
  g.Head.Audio.Resolution = 600;
  window.Command1_Click(1);
  for (int i = 0; i < 29; ++i)
    window.Command1_Click(1);  // 70 per cent
  window.DrawAnimal(5, kStageAdult);
  SaveScreenshot(window, "quick_draw_adult.png");
  window.Option1_Click(1);
  SaveScreenshot(window, "quick_draw_infant.png");
  adult->Unborn.EggSize = 12;
  adult->Unborn.EggColor = {230, 220, 160};
  window.Option1_Click(0);
  const std::string path = SaveScreenshot(window, "quick_draw_egg.png");
  EXPECT_FALSE(QImage(QString::fromStdString(path)).isNull());
}

}  // namespace
}  // namespace ombrivale::testing
