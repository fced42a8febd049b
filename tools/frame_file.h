// The mini map as a picture file: the frames `ombrivale-run --frames`
// writes, through Debian's libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/display.h"
#include "core/status.h"

namespace ombrivale::tools {

// The picture's visible rows (0..100) as RGB bytes, each cell a block of
// `scale` x `scale` pixels: (321 x scale) x (101 x scale) pixels.
void ScaleMiniMap(const MapPicture& picture, int scale, std::vector<uint8_t>& rgb, int& width,
                  int& height);

// Writes RGB bytes (rows top to bottom) as a PNG file; IOError with
// libpng's reason when it cannot.
Status WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

// "DIR/frame-000012.png"
std::string FramePath(const std::string& folder, uint64_t number);

}  // namespace ombrivale::tools
