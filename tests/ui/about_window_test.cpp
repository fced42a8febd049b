// The About window and its first opening.
#include <gtest/gtest.h>

#include <QTimer>

#include "ui/about_window.h"
#include "ui_test_support.h"

namespace ombrivale::testing {
namespace {

// Opens About and closes the modal dialog as soon as it runs.
void OpenAndCloseAbout(ui::MainWindow& window) {
  QTimer::singleShot(0, &window, [&window] {
    if (window.AboutIfCreated() != nullptr) window.AboutIfCreated()->reject();
  });
  window.Action("menu_help_about")->trigger();
}

TEST(AboutTest, SmallScreenWarnsOnceThenTheWorldViewShows) {
  TestMainWindow t({}, 480);
  t.window->show();
  OpenAndCloseAbout(*t.window);
  ASSERT_EQ(t.seam().Boxes().size(), 1u);
  EXPECT_EQ(t.seam().Boxes()[0].text, "Ombrivale will view better in an 800x600 screen mode.");
  EXPECT_EQ(t.seam().Boxes()[0].buttons, Buttons::Ok);
  ASSERT_NE(t.window->WorldView(), nullptr);
  EXPECT_TRUE(t.window->IsShown(t.window->WorldView()));
  ASSERT_NE(t.window->AboutIfCreated(), nullptr);
  EXPECT_TRUE(t.window->AboutIfCreated()->isModal());

  // Later openings: the dialog only.
  t.window->SubWindowOf(t.window->WorldView())->close();
  OpenAndCloseAbout(*t.window);
  EXPECT_EQ(t.seam().Boxes().size(), 1u);
  EXPECT_FALSE(t.window->IsShown(t.window->WorldView()));
}

TEST(AboutTest, ScreensOf600PixelsAndMoreGetNoWarning) {
  for (int height : {600, 768}) {
    TestMainWindow t({}, height);
    OpenAndCloseAbout(*t.window);
    EXPECT_TRUE(t.seam().Boxes().empty()) << height;
    EXPECT_NE(t.window->WorldView(), nullptr) << height;
  }
}

TEST(AboutTest, PictureIsDrawn) {
  const QImage picture = ui::DrawPlanetPicture(QSize(400, 220));
  ASSERT_EQ(picture.size(), QSize(400, 220));
  // Sky at the top, sea at the bottom middle, and more than a handful of
  // colours in between.
  const QColor sky = picture.pixelColor(10, 5);
  EXPECT_GT(sky.blue(), sky.red());
  const QColor sea = picture.pixelColor(230, 196);
  EXPECT_GT(sea.blue(), 60);
  EXPECT_LT(sea.red(), 60);
  QSet<QRgb> colours;
  for (int y = 0; y < picture.height(); y += 3)
    for (int x = 0; x < picture.width(); x += 3)
      colours.insert(picture.pixel(x, y));
  EXPECT_GT(colours.size(), 50);
  // The round icon is transparent in its corners.
  const QImage icon = ui::DrawPlanetPicture(QSize(64, 64), true);
  EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(icon.pixel(32, 32)), 255);
}

}  // namespace
}  // namespace ombrivale::testing
