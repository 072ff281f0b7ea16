// PNG export of a canvas: test artefacts and screenshots.

#include <vector>

#include "gui/Canvas.h"

#include <stb_image.h>
#include <stb_image_write.h>

namespace gui {

bool Canvas::savePng(const std::string& path) const {
  if (empty()) return false;
  std::vector<unsigned char> rgbRows(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3);
  std::size_t i = 0;
  for (std::uint32_t p : pixels_) {
    rgbRows[i++] = static_cast<unsigned char>(redOf(p));
    rgbRows[i++] = static_cast<unsigned char>(greenOf(p));
    rgbRows[i++] = static_cast<unsigned char>(blueOf(p));
  }
  return stbi_write_png(path.c_str(), width_, height_, 3, rgbRows.data(), width_ * 3) != 0;
}

Canvas Canvas::loadPng(const std::string& path) {
  int width = 0, height = 0, channels = 0;
  unsigned char* bytes = stbi_load(path.c_str(), &width, &height, &channels, 3);
  if (bytes == nullptr) return {};
  Canvas canvas(width, height);
  const unsigned char* p = bytes;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x, p += 3) canvas.setPixel(x, y, rgb(p[0], p[1], p[2]));
  }
  stbi_image_free(bytes);
  return canvas;
}

}  // namespace gui
