#include "gui/Shape.h"

#include <algorithm>

namespace gui {

void Shape::setKind(ShapeKind kind) {
  kind_ = kind;
  invalidate();
}

void Shape::setFill(std::optional<Color> color) {
  if (color == fill_) return;
  fill_ = color;
  invalidate();
}

void Shape::setPen(Color color, int width) {
  penColor_ = color;
  penWidth_ = std::max(width, 0);
  invalidate();
}

Rect Shape::shapeRect() const {
  // The outline is centred on the rectangle's edge, so it is inset by half
  // the pen; a pen of width 0 is still drawn one pixel wide.
  int x = penWidth_ / 2;
  int y = x;
  int w = width() - penWidth_ + 1;
  int h = height() - penWidth_ + 1;
  if (penWidth_ == 0) {
    --w;
    --h;
  }
  if (kind_ == ShapeKind::square || kind_ == ShapeKind::circle) {
    const int side = std::min(w, h);
    x += (w - side) / 2;
    y += (h - side) / 2;
    w = h = side;
  }
  return Rect::sized(x, y, w, h);
}

void Shape::paint(Canvas& canvas) {
  const Rect r = shapeRect();
  const int pen = std::max(penWidth_, 1);
  if (kind_ == ShapeKind::ellipse || kind_ == ShapeKind::circle) {
    canvas.ellipse(r, fill_.value_or(penColor_), penColor_);
    if (!fill_) canvas.ellipse(r.inflated(-1), colors::black, penColor_);
    return;
  }
  if (fill_) canvas.fillRect(r, *fill_);
  for (int i = 0; i < pen; ++i) canvas.frameRect(r.inflated(-i), penColor_);
}

}  // namespace gui
