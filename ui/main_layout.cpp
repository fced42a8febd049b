#include "ui/main_layout.h"

#include <algorithm>

namespace ombrivale::ui {

MainLayout ComputeMainLayout() {
  MainLayout layout;
  layout.miniMap = {0, 0, 4860, 1560};
  // Frame3 is designed 3375 wide; the two small frames split it with one
  // 135 gap between them, so the three share their outer edges.
  const int frame3Width = 3375;
  const int smallWidth = (frame3Width - 135) / 2;
  const int frameLeft = layout.miniMap.width + 135;
  layout.frame1 = {frameLeft, 240, smallWidth, 495};
  layout.frame2 = {layout.frame1.left + layout.frame1.width + 135, 240, smallWidth, 495};
  layout.frame3 = {frameLeft, 840, frame3Width, 495};
  layout.label = {120, 240, 0, 195};
  layout.label.width = smallWidth - 2 * 120;
  const int right = layout.frame3.Right() + 135;
  const int bottom = std::max(layout.miniMap.Bottom(), layout.frame3.Bottom());
  layout.picture1 = {0, 0, right, bottom};
  return layout;
}

QRect ToPixels(const TwipRect& rect, int scale) {
  return QRect(rect.left * scale / kTwipsPerPixel, rect.top * scale / kTwipsPerPixel,
               rect.width * scale / kTwipsPerPixel, rect.height * scale / kTwipsPerPixel);
}

int MiniMapScaleFor(QSize availableScreen) {
  const MainLayout layout = ComputeMainLayout();
  const int width = layout.picture1.width / kTwipsPerPixel;
  const int height = layout.picture1.height / kTwipsPerPixel;
  const int byWidth = availableScreen.width() * 3 / 4 / width;
  const int byHeight = availableScreen.height() / 3 / height;
  return std::clamp(std::min(byWidth, byHeight), 1, 4);
}

}  // namespace ombrivale::ui
