#include "tools/frame_file.h"

#include <png.h>

#include <cstdio>

namespace ombrivale::tools {

void ScaleMiniMap(const MapPicture& picture, int scale, std::vector<uint8_t>& rgb, int& width,
                  int& height) {
  width = kMapWidth * scale;
  height = (kMapBottomRow + 1) * scale;
  rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  uint8_t* out = rgb.data();
  for (int y = 0; y <= kMapBottomRow; ++y) {
    uint8_t* row = out;
    for (int x = 0; x < kMapWidth; ++x) {
      const uint32_t pixel = picture.At(x, y);
      for (int k = 0; k < scale; ++k) {
        *out++ = static_cast<uint8_t>(pixel >> 16);
        *out++ = static_cast<uint8_t>(pixel >> 8);
        *out++ = static_cast<uint8_t>(pixel);
      }
    }
    const size_t rowBytes = static_cast<size_t>(out - row);
    for (int k = 1; k < scale; ++k) {
      std::copy(row, row + rowBytes, out);
      out += rowBytes;
    }
  }
}

Status WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr) == 0) {
    std::string why = image.message;
    png_image_free(&image);
    return Status::IOError(why.empty() ? "libpng failed" : why);
  }
  return Status::OK();
}

std::string FramePath(const std::string& folder, uint64_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "/frame-%06llu.png", static_cast<unsigned long long>(number));
  return folder + name;
}

}  // namespace ombrivale::tools
