#include "gui/ImageList.h"

namespace gui {

void ImageList::add(const Canvas& frame) {
  Canvas copy(width_, height_, colors::black);
  copy.draw(frame, {0, 0});
  frames_.push_back(std::move(copy));
}

void ImageList::addStrip(const Canvas& strip) {
  if (width_ <= 0) return;
  for (int x = 0; x + width_ <= strip.width(); x += width_) {
    Canvas copy(width_, height_, colors::black);
    copy.draw(strip, Rect::sized(x, 0, width_, height_), {0, 0});
    frames_.push_back(std::move(copy));
  }
}

}  // namespace gui
