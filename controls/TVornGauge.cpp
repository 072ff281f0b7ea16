#include "controls/TVornGauge.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "controls/ControlErrors.h"
#include "controls/TBltBitmap.h"

namespace controls {

using gui::Rect;

TVornGauge::TVornGauge(gui::Rect bounds) : Component(bounds) {}

namespace {
template <typename T>
bool store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}
}  // namespace

void TVornGauge::setColor(gui::Color color) {
  if (store(color_, color)) changed();
}
void TVornGauge::setInvertPie(bool invert) {
  if (store(invertPie_, invert)) changed();
}
void TVornGauge::setKind(TVornGaugeKind kind) {
  if (store(kind_, kind)) changed();
}
void TVornGauge::setShowText(bool show) {
  if (store(showText_, show)) changed();
}
void TVornGauge::setTextXOffset(int offset) {
  if (store(textXOffset_, offset)) changed();
}
void TVornGauge::setTextYOffset(int offset) {
  if (store(textYOffset_, offset)) changed();
}
void TVornGauge::setBorderStyle(TBorderStyle style) {
  if (store(borderStyle_, style)) changed();
}
void TVornGauge::setForeColor(gui::Color color) {
  if (store(foreColor_, color)) changed();
}
void TVornGauge::setBackColor(gui::Color color) {
  if (store(backColor_, color)) changed();
}
void TVornGauge::setBorderColor(gui::Color color) {
  if (store(borderColor_, color)) changed();
}
void TVornGauge::setFont(const gui::Font& font, gui::Color color) {
  font_ = font;
  fontColor_ = color;
  changed();
}
void TVornGauge::setCenterOrigin(bool center) {
  if (store(centerOrigin_, center)) changed();
}

void TVornGauge::setMinValue(std::int32_t value) {
  if (value > maxValue_ && !loading_) {
    throw InvalidOperation("Value must be between -2147483647 and " + std::to_string(maxValue_ - 1LL));
  }
  minValue_ = value;
  if (progress_ < value) progress_ = value;
  changed();
}

void TVornGauge::setMaxValue(std::int32_t value) {
  if (value < minValue_ && !loading_) {
    throw InvalidOperation("Value must be between " + std::to_string(minValue_ + 1LL) + " and 2147483647");
  }
  maxValue_ = value;
  if (progress_ > value) progress_ = value;
  changed();
}

void TVornGauge::setProgress(std::int32_t value) {
  // While loading, the bounds may be crossed; limit against them as they are.
  value = std::max(std::min(value, maxValue_), minValue_);
  if (value == progress_) return;
  const int before = percent();
  progress_ = value;
  if (percent() != before) changed();
}

std::int32_t TVornGauge::limitRange(std::int32_t value) const {
  value = std::max(value, 0);
  return std::min(value, kind_ == gkHorizontalBar ? width() : height());
}

void TVornGauge::setRangeMin(std::int32_t value) {
  rangeMin_ = limitRange(value);
  changed();
}

void TVornGauge::setRangeMax(std::int32_t value) {
  rangeMax_ = limitRange(value);
  changed();
}

int TVornGauge::percent() const {
  const long long span = static_cast<long long>(maxValue_) - minValue_;
  if (span == 0) return 0;
  const long long scaled = (static_cast<long long>(progress_) - minValue_) * 100;
  return static_cast<int>(std::nearbyint(static_cast<double>(scaled) / static_cast<double>(span)));
}

std::string TVornGauge::text() const {
  const int p = percent();
  if (tag == kSignedTextTag) return std::to_string(static_cast<int>(std::nearbyint((p - 50) * -0.48)));
  return std::to_string(centerOrigin_ ? 100 - 2 * p : p) + "%";
}

void TVornGauge::mouseDown(const gui::MouseEvent& event) {
  // The owner sees every press twice: first with the mark of the previous
  // press, then with the mark of this one.
  Component::mouseDown(event);
  ShiftLeftMark = (event.shift & static_cast<gui::ShiftState>(~gui::kDouble)) == (gui::kShift | gui::kLeft);
  Component::mouseDown(event);
}

namespace {

// A filled rectangle drawn with pen and brush of one colour: the corners may
// come in any order; right and bottom edges are excluded.
void fillBar(gui::Canvas& canvas, int left, int top, int right, int bottom, gui::Color color) {
  canvas.fillRect({std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)}, color);
}

}  // namespace

void TVornGauge::drawKind(gui::Canvas& s, Rect r) const {
  const int p = percent();
  switch (kind_) {
    case gkHorizontalBar:
    case gkVerticalBar: {
      int w = r.right - r.left + 1;
      int h = r.bottom - r.top + 1;
      if (borderStyle_ == bsSingle) {
        s.fillRect(r, borderColor_);
        r = r.inflated(-1);
        --w;
        --h;
        s.fillRect(r, backColor_);
      } else {
        s.fillRect(r, backColor_);
      }
      if (kind_ == gkVerticalBar) {
        fillBar(s, 0, rangeMax_, w, h, foreColor_);
      } else if (centerOrigin_) {
        const int c = w / 2;
        if (p > 50) {
          fillBar(s, c, r.top, rangeMax_, h, foreColor_);
        } else {
          fillBar(s, c - (w - rangeMax_), r.top, c, h, foreColor_);
        }
      } else if (rangeMax_ >= rangeMin_) {
        fillBar(s, rangeMin_, r.top, rangeMax_, h, foreColor_);
      } else {
        // A wrapped range: from the left edge to its end and from its start
        // to the right edge.
        fillBar(s, 0, r.top, rangeMax_, h, foreColor_);
        fillBar(s, rangeMin_ - 1, r.top, width() - 1, h, foreColor_);
      }
      break;
    }
    case gkText: s.fillRect(r, backColor_); break;
    case gkPie: {
      s.fillRect(r, color_);
      s.ellipse(r, backColor_, borderColor_);
      const int q = invertPie_ ? 100 - p : p;
      if ((!invertPie_ && p > 0) || (invertPie_ && p < 100)) {
        // From the top centre counter-clockwise to the moving edge at
        // (q / 50 + 0.5) pi: q percent of the turn.
        const double top = std::numbers::pi / 2.0;
        s.pie(r, top, (q / 50.0 + 0.5) * std::numbers::pi, foreColor_, borderColor_);
      }
      break;
    }
    case gkNeedle: {
      s.fillRect(r, color_);
      s.halfEllipse(r, backColor_, borderColor_);
      if (p > 0) {
        // From the bottom centre, sweeping from the left (0) to the right (100).
        const double angle = std::numbers::pi - p / 100.0 * std::numbers::pi;
        const double cx = (r.left + r.right) / 2.0;
        const double radiusX = r.width() / 2.0;
        const double radiusY = static_cast<double>(r.height());
        const gui::Point from{static_cast<int>(std::nearbyint(cx)), r.bottom - 1};
        const gui::Point to{static_cast<int>(std::nearbyint(cx + std::cos(angle) * radiusX)),
                            static_cast<int>(std::nearbyint(r.bottom - 1 - std::sin(angle) * radiusY))};
        s.line(from, to, foreColor_);
      }
      break;
    }
  }
}

gui::Canvas TVornGauge::render() const {
  gui::Canvas b(width(), height(), gui::colors::black);
  Rect r{0, 0, width(), height()};
  if (borderStyle_ == bsSingle) r = r.inflated(-1);
  TBltBitmap scratch;
  scratch.MakeLike(b);
  scratch.fill(gui::colors::black);
  drawKind(scratch, r);
  b.xorDraw(scratch, {0, 0});
  if (showText_) {
    const std::string shown = text();
    TBltBitmap textLayer;
    textLayer.MakeLike(b);
    textLayer.fill(gui::colors::black);
    const int x = (r.width() - font_.textWidth(shown) + 1) / 2 + textXOffset_;
    const int y = (r.height() - font_.lineHeight() + 1) / 2 + textYOffset_;
    font_.draw(textLayer, x, y, shown, fontColor_);
    b.xorDraw(textLayer, {0, 0});
  }
  return b;
}

void TVornGauge::paint(gui::Canvas& canvas) { canvas.draw(render(), {0, 0}); }

}  // namespace controls
