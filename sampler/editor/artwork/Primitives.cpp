#include "sampler/editor/artwork/Primitives.h"

#include <algorithm>

#include "sampler/editor/artwork/Palette.h"

namespace sarnel::artwork {

namespace {

// Whether pixel (x, y) lies inside the rounded rectangle; corner circles are
// tested on pixel centres in integers.
bool insideRounded(const gui::Rect& r, int radius, int x, int y) {
  if (!r.contains({x, y})) return false;
  const int cx = x < r.left + radius ? r.left + radius : x >= r.right - radius ? r.right - radius - 1 : x;
  const int cy = y < r.top + radius ? r.top + radius : y >= r.bottom - radius ? r.bottom - radius - 1 : y;
  const int dx = x - cx;
  const int dy = y - cy;
  // Half a pixel beyond the radius, doubled to stay in integers.
  return (2 * dx) * (2 * dx) + (2 * dy) * (2 * dy) <= (2 * radius + 1) * (2 * radius + 1) - 2;
}

}  // namespace

void roundedField(gui::Canvas& canvas, const gui::Rect& rect, int radius, gui::Color fill, gui::Color outline) {
  radius = std::clamp(radius, 0, std::min(rect.width(), rect.height()) / 2);
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if (!insideRounded(rect, radius, x, y)) continue;
      const bool edge = !insideRounded(rect, radius, x - 1, y) || !insideRounded(rect, radius, x + 1, y) ||
                        !insideRounded(rect, radius, x, y - 1) || !insideRounded(rect, radius, x, y + 1);
      canvas.setPixel(x, y, edge ? outline : fill);
    }
  }
}

void fieldAround(gui::Canvas& canvas, const gui::Rect& control, int margin, int radius) {
  roundedField(canvas, control.inflated(margin), radius, kField, kInk);
}

void raisedFace(gui::Canvas& canvas, const gui::Rect& rect, int radius) {
  roundedField(canvas, rect, radius, kFace, kInk);
  // A light line under the top edge and a dark one over the bottom edge.
  const gui::Rect inner = rect.inflated(-1);
  for (int x = inner.left + radius; x < inner.right - radius; ++x) {
    canvas.setPixel(x, inner.top, gui::colors::white);
    canvas.setPixel(x, inner.bottom - 1, kField);
  }
}

void caption(gui::Canvas& canvas, int x, int top, std::string_view text, const gui::Font& font, gui::Color color,
             Align align) {
  const int width = font.textWidth(text);
  const int left = align == Align::left ? x : align == Align::center ? x - width / 2 : x - width;
  gui::Canvas coverage(width + 2, font.lineHeight(), gui::colors::black);
  font.draw(coverage, 0, 0, text, gui::colors::white);
  for (int row = 0; row < coverage.height(); ++row) {
    for (int column = 0; column < coverage.width(); ++column) {
      const int level = (gui::redOf(coverage.pixel(column, row)) * 15 + 127) / 255;
      if (level > 0) canvas.blendPixel(left + column, top + row, color, level * 17);
    }
  }
}

void scaleTicks(gui::Canvas& canvas, const gui::Rect& gauge, gui::Color color) {
  for (int quarter = 0; quarter <= 4; ++quarter) {
    const int x = gauge.left + (gauge.width() - 1) * quarter / 4;
    const int length = quarter == 2 ? 4 : 2;
    for (int y = gauge.bottom + 6; y < gauge.bottom + 6 + length; ++y) canvas.setPixel(x, y, color);
  }
}

void triangle(gui::Canvas& canvas, gui::Point a, gui::Point b, gui::Point c, gui::Color color) {
  const int top = std::min({a.y, b.y, c.y});
  const int bottom = std::max({a.y, b.y, c.y});
  const int left = std::min({a.x, b.x, c.x});
  const int right = std::max({a.x, b.x, c.x});
  auto side = [](gui::Point p, gui::Point q, int x, int y) { return (q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x); };
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      const int s1 = side(a, b, x, y);
      const int s2 = side(b, c, x, y);
      const int s3 = side(c, a, x, y);
      if ((s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0)) canvas.setPixel(x, y, color);
    }
  }
}

}  // namespace sarnel::artwork
