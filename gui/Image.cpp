#include "gui/Image.h"

namespace gui {

void Image::setPicture(const Canvas& picture) {
  picture_ = picture;
  invalidate();
}

void Image::setStretch(bool stretch) {
  if (stretch == stretch_) return;
  stretch_ = stretch;
  invalidate();
}

void Image::setTransparentColor(std::optional<Color> color) {
  transparent_ = color;
  invalidate();
}

void Image::paint(Canvas& canvas) {
  if (picture_.empty()) return;
  if (stretch_) {
    const Rect to{0, 0, width(), height()};
    if (transparent_) {
      canvas.stretchDrawTransparent(picture_, picture_.bounds(), to, *transparent_);
    } else {
      canvas.stretchDraw(picture_, picture_.bounds(), to);
    }
  } else if (transparent_) {
    canvas.drawTransparent(picture_, picture_.bounds(), {0, 0}, *transparent_);
  } else {
    canvas.draw(picture_, {0, 0});
  }
}

}  // namespace gui
