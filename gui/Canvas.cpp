#include "gui/Canvas.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace gui {

Canvas::Canvas(int width, int height, Color fill) { resize(width, height, fill); }

void Canvas::resize(int width, int height, Color fill) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill);
  origin_ = {};
  clip_ = bounds();
}

Color Canvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

Canvas::View::View(Canvas& canvas, Point origin, Rect clip)
    : canvas_(canvas), savedOrigin_(canvas.origin_), savedClip_(canvas.clip_) {
  canvas.origin_ = origin;
  canvas.clip_ = clip.intersect(canvas.bounds());
}

Canvas::View::~View() {
  canvas_.origin_ = savedOrigin_;
  canvas_.clip_ = savedClip_;
}

Rect Canvas::toClipped(const Rect& rect) const { return rect.offset(origin_.x, origin_.y).intersect(clip_); }

void Canvas::setPixel(int x, int y, Color color) {
  x += origin_.x;
  y += origin_.y;
  if (!visible(x, y)) return;
  pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = color;
}

void Canvas::blendPixel(int x, int y, Color color, int coverage) {
  x += origin_.x;
  y += origin_.y;
  if (coverage <= 0 || !visible(x, y)) return;
  std::uint32_t& target =
      pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
  if (coverage >= 255) {
    target = color;
    return;
  }
  // Integer blend, rounded, so every target computes the same pixel.
  auto mix = [coverage](int under, int over) { return under + ((over - under) * coverage + 127) / 255; };
  target = rgb(mix(redOf(target), redOf(color)), mix(greenOf(target), greenOf(color)),
               mix(blueOf(target), blueOf(color)));
}

void Canvas::fillRect(const Rect& rect, Color color) {
  const Rect r = toClipped(rect);
  // A rectangle beside the clip comes out inverted, not just empty.
  if (r.empty()) return;
  for (int y = r.top; y < r.bottom; ++y) {
    std::uint32_t* row = &pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_)];
    std::fill(row + r.left, row + r.right, color);
  }
}

void Canvas::xorRect(const Rect& rect, Color mask) {
  const Rect r = toClipped(rect);
  for (int y = r.top; y < r.bottom; ++y) {
    std::uint32_t* row = &pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_)];
    for (int x = r.left; x < r.right; ++x) row[x] ^= mask;
  }
}

void Canvas::frameRect(const Rect& rect, Color color) {
  if (rect.empty()) return;
  fillRect({rect.left, rect.top, rect.right, rect.top + 1}, color);
  fillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
  fillRect({rect.left, rect.top, rect.left + 1, rect.bottom}, color);
  fillRect({rect.right - 1, rect.top, rect.right, rect.bottom}, color);
}

void Canvas::line(Point from, Point to, Color color) {
  const int dx = std::abs(to.x - from.x);
  const int dy = -std::abs(to.y - from.y);
  const int sx = from.x < to.x ? 1 : -1;
  const int sy = from.y < to.y ? 1 : -1;
  int error = dx + dy;
  Point p = from;
  while (p != to) {
    setPixel(p.x, p.y, color);
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      p.x += sx;
    }
    if (twice <= dx) {
      error += dx;
      p.y += sy;
    }
  }
}

namespace {
int coverageOf(double fraction) {
  return static_cast<int>(std::nearbyint(std::clamp(fraction, 0.0, 1.0) * 255.0));
}
double fractionalPart(double v) { return v - std::floor(v); }
}  // namespace

void Canvas::smoothLine(double x0, double y0, double x1, double y1, Color color) {
  // Xiaolin Wu's walk: two pixels per step across the major axis, weighted by
  // the distance of the exact line from their centres.
  const bool steep = std::abs(y1 - y0) > std::abs(x1 - x0);
  if (steep) {
    std::swap(x0, y0);
    std::swap(x1, y1);
  }
  if (x0 > x1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  auto plot = [&](int major, int minor, double weight) {
    if (steep) {
      blendPixel(minor, major, color, coverageOf(weight));
    } else {
      blendPixel(major, minor, color, coverageOf(weight));
    }
  };
  const double dx = x1 - x0;
  const double gradient = dx == 0.0 ? 1.0 : (y1 - y0) / dx;

  const double xStart = std::nearbyint(x0);
  const double yStart = y0 + gradient * (xStart - x0);
  const double startGap = 1.0 - fractionalPart(x0 + 0.5);
  const int firstX = static_cast<int>(xStart);
  const int firstY = static_cast<int>(std::floor(yStart));
  plot(firstX, firstY, (1.0 - fractionalPart(yStart)) * startGap);
  plot(firstX, firstY + 1, fractionalPart(yStart) * startGap);

  const double xEnd = std::nearbyint(x1);
  const double yEnd = y1 + gradient * (xEnd - x1);
  const double endGap = fractionalPart(x1 + 0.5);
  const int lastX = static_cast<int>(xEnd);
  const int lastY = static_cast<int>(std::floor(yEnd));
  if (lastX != firstX) {
    plot(lastX, lastY, (1.0 - fractionalPart(yEnd)) * endGap);
    plot(lastX, lastY + 1, fractionalPart(yEnd) * endGap);
  }

  double y = yStart + gradient;
  for (int x = firstX + 1; x < lastX; ++x) {
    const int base = static_cast<int>(std::floor(y));
    plot(x, base, 1.0 - fractionalPart(y));
    plot(x, base + 1, fractionalPart(y));
    y += gradient;
  }
}

namespace {

// Shapes drawn pixel by pixel: a pixel belongs to the shape when its centre
// does; the outline is every pixel of the shape with a 4-neighbour outside.
template <typename Inside>
void paintShape(Canvas& canvas, const Rect& box, Inside inside, Color fill, Color outline) {
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) {
      if (!inside(x, y)) continue;
      const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      canvas.setPixel(x, y, edge ? outline : fill);
    }
  }
}

struct EllipseTest {
  double cx, cy, rx, ry;
  explicit EllipseTest(const Rect& r)
      : cx((r.left + r.right) / 2.0), cy((r.top + r.bottom) / 2.0), rx(r.width() / 2.0), ry(r.height() / 2.0) {}
  bool operator()(int x, int y) const {
    if (rx <= 0.0 || ry <= 0.0) return false;
    const double u = (x + 0.5 - cx) / rx;
    const double v = (y + 0.5 - cy) / ry;
    return u * u + v * v <= 1.0;
  }
  // Angle of a pixel centre, counter-clockwise from the right, in 0..2pi.
  double angle(int x, int y) const {
    const double a = std::atan2(-(y + 0.5 - cy), x + 0.5 - cx);
    return a < 0.0 ? a + 2.0 * std::numbers::pi : a;
  }
};

double normalizedAngle(double a) {
  const double turn = 2.0 * std::numbers::pi;
  a = std::fmod(a, turn);
  return a < 0.0 ? a + turn : a;
}

}  // namespace

void Canvas::ellipse(const Rect& rect, Color fill, Color outline) {
  const EllipseTest inside(rect);
  paintShape(*this, rect, inside, fill, outline);
}

void Canvas::pie(const Rect& rect, double startAngle, double endAngle, Color fill, Color outline) {
  const EllipseTest ellipse(rect);
  const double sweep = endAngle - startAngle;
  if (sweep <= 0.0) return;
  const bool full = sweep >= 2.0 * std::numbers::pi;
  const double span = normalizedAngle(sweep);
  auto inside = [&](int x, int y) {
    if (!ellipse(x, y)) return false;
    return full || normalizedAngle(ellipse.angle(x, y) - startAngle) <= span;
  };
  paintShape(*this, rect, inside, fill, outline);
}

void Canvas::halfEllipse(const Rect& rect, Color fill, Color outline) {
  const Rect whole{rect.left, rect.top, rect.right, rect.bottom + rect.height()};
  const EllipseTest ellipse(whole);
  auto inside = [&](int x, int y) { return y < rect.bottom && ellipse(x, y); };
  paintShape(*this, rect, inside, fill, outline);
}

void Canvas::draw(const Canvas& source, const Rect& from, Point to) {
  const Rect src = from.intersect(source.bounds());
  const Rect dst = toClipped(Rect::sized(to.x + src.left - from.left, to.y + src.top - from.top, src.width(),
                                         src.height()));
  const int shiftX = src.left - (to.x + origin_.x + src.left - from.left);
  const int shiftY = src.top - (to.y + origin_.y + src.top - from.top);
  for (int y = dst.top; y < dst.bottom; ++y) {
    for (int x = dst.left; x < dst.right; ++x) {
      pixels_[static_cast<std::size_t>(y) * width_ + x] = source.pixel(x + shiftX, y + shiftY);
    }
  }
}

void Canvas::drawZoomed(const Canvas& source, const Rect& from, int zoom) {
  if (zoom < 1) return;
  const Rect src = from.intersect(source.bounds());
  for (int y = src.top; y < src.bottom; ++y) {
    const std::uint32_t* row = source.pixels_.data() + static_cast<std::size_t>(y) * source.width_;
    for (int dy = 0; dy < zoom; ++dy) {
      const int ty = y * zoom + dy;
      if (ty < 0 || ty >= height_) continue;
      std::uint32_t* out = pixels_.data() + static_cast<std::size_t>(ty) * width_;
      for (int x = src.left; x < src.right; ++x) {
        for (int dx = 0; dx < zoom; ++dx) {
          const int tx = x * zoom + dx;
          if (tx >= 0 && tx < width_) out[tx] = row[x];
        }
      }
    }
  }
}

void Canvas::drawTransparent(const Canvas& source, const Rect& from, Point to, Color transparent) {
  const Rect src = from.intersect(source.bounds());
  const Rect dst = toClipped(Rect::sized(to.x + src.left - from.left, to.y + src.top - from.top, src.width(),
                                         src.height()));
  const int shiftX = src.left - (to.x + origin_.x + src.left - from.left);
  const int shiftY = src.top - (to.y + origin_.y + src.top - from.top);
  for (int y = dst.top; y < dst.bottom; ++y) {
    for (int x = dst.left; x < dst.right; ++x) {
      const Color c = source.pixel(x + shiftX, y + shiftY);
      if (!sameColor(c, transparent)) pixels_[static_cast<std::size_t>(y) * width_ + x] = c;
    }
  }
}

namespace {
template <typename Put>
void stretch(const Canvas& source, const Rect& from, const Rect& to, Put put) {
  if (from.empty() || to.empty()) return;
  for (int y = to.top; y < to.bottom; ++y) {
    // The source pixel under the centre of the target pixel, in integers.
    const long long sy = from.top + (static_cast<long long>(2 * (y - to.top) + 1) * from.height()) / (2LL * to.height());
    for (int x = to.left; x < to.right; ++x) {
      const long long sx =
          from.left + (static_cast<long long>(2 * (x - to.left) + 1) * from.width()) / (2LL * to.width());
      put(x, y, source.pixel(static_cast<int>(sx), static_cast<int>(sy)));
    }
  }
}
}  // namespace

void Canvas::stretchDraw(const Canvas& source, const Rect& from, const Rect& to) {
  stretch(source, from, to, [this](int x, int y, Color c) { setPixel(x, y, c); });
}

void Canvas::stretchDrawTransparent(const Canvas& source, const Rect& from, const Rect& to, Color transparent) {
  stretch(source, from, to, [this, transparent](int x, int y, Color c) {
    if (!sameColor(c, transparent)) setPixel(x, y, c);
  });
}

void Canvas::xorDraw(const Canvas& source, Point to) {
  const Rect dst = toClipped(Rect::sized(to.x, to.y, source.width(), source.height()));
  const int shiftX = -(to.x + origin_.x);
  const int shiftY = -(to.y + origin_.y);
  for (int y = dst.top; y < dst.bottom; ++y) {
    for (int x = dst.left; x < dst.right; ++x) {
      pixels_[static_cast<std::size_t>(y) * width_ + x] ^= source.pixel(x + shiftX, y + shiftY) & 0x00FFFFFFu;
    }
  }
}

}  // namespace gui
