// A stand-in main window for the secondary windows' tests: it owns the world,
// counts what the windows ask of it and creates QuickDraw and the properties
// window on demand, as the real main window does.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "genetics/gene_table.h"
#include "support/test_world.h"
#include "ui/main_window_services.h"
#include "ui/properties_window.h"
#include "ui/quick_draw.h"
#include "world/map_picture.h"

namespace ombrivale::testing {

class FakeServices : public ui::MainWindowServices {
 public:
  explicit FakeServices(uint64_t seed = 1) : tw(seed) {}

  World& GetWorld() override { return tw.world; }
  Display& GetDisplay() override { return tw.display; }
  Seam& WindowSeam() override { return tw.seam; }
  bool IsMainWindowMinimized() const override { return mainMinimized; }
  void MaximizeMainWindow() override { ++maximizeCalls; }
  void RedrawMiniMap() override {
    ++miniMapRedraws;
    ReDrawMap(tw.world);
  }
  void ClearMiniMapPicture() override { ++miniMapClears; }
  ui::QuickDrawWindow& QuickDraw() override {
    if (!quickDraw) {
      quickDraw = std::make_unique<ui::QuickDrawWindow>(*this);
      ++quickDrawCreations;
    }
    quickDraw->show();
    return *quickDraw;
  }
  ui::PropertiesWindow& Properties() override {
    if (!properties) properties = std::make_unique<ui::PropertiesWindow>(*this);
    return *properties;
  }
  void ShowWorldView() override { ++worldViewShows; }

  // Closing QuickDraw destroys it.
  void CloseQuickDraw() { quickDraw.reset(); }

  TestWorld tw;
  bool mainMinimized = false;
  int maximizeCalls = 0;
  int miniMapRedraws = 0;
  int miniMapClears = 0;
  int quickDrawCreations = 0;
  int worldViewShows = 0;
  std::unique_ptr<ui::QuickDrawWindow> quickDraw;
  std::unique_ptr<ui::PropertiesWindow> properties;
};

// A small planet for pictures: sky over a sea over rolling ground, with
// scum, plants and meat in varied amounts.
inline void MakeLandscape(World& world) {
  world.SeaLevel = 40;
  for (int x = 0; x < kMapWidth; ++x) {
    // A shore sloping into the sea on the left, a rolling sea bed to the right.
    const int ground = x < 50 ? 25 + x / 2 + (x % 3 == 0) : 48 + (x * 7 % 23) / 4;
    for (int y = kMapTopRow; y <= kMapBottomRow; ++y) {
      const int32_t terrain = y >= ground ? kGround : (y >= world.SeaLevel ? kWater : kSky);
      world.Map.At(kTerrainLayer, x, y) = terrain;
      int32_t kind = kNoFood;
      int32_t amount = 0;
      if (terrain == kWater && y == ground - 1 && x % 3 != 0) {
        kind = kAquaticVegetation;
        amount = 1500 * (x % 7);
      } else if (terrain == kWater && (x * 3 + y * 5) % 11 == 0) {
        kind = kSeaScum;
        amount = 900 * ((x + y) % 13);
      } else if (terrain == kSky && y == ground - 1) {
        kind = kLandVegetation;
        amount = 1200 * (x % 9);
      } else if (y == ground - 2 && x % 17 == 5) {
        kind = kMeat;
        amount = 4000;
      }
      world.Map.At(kFoodKindLayer, x, y) = kind;
      world.Map.At(kFoodAmountLayer, x, y) = amount;
    }
  }
  ReDrawMap(world);
}

// Saves a window's picture as a PNG in the build folder; returns its path.
inline std::string SaveScreenshot(QWidget& widget, const char* name) {
  const std::string path = std::string(OMBRIVALE_BINARY_DIR) + "/" + name;
  widget.grab().save(QString::fromStdString(path));
  return path;
}

}  // namespace ombrivale::testing
