#pragma once
// A page: a plain container that groups components, optionally on a filled
// background. Hiding it hides everything on it.

#include <optional>

#include "gui/Component.h"

namespace gui {

class Panel : public Component {
 public:
  explicit Panel(Rect bounds = {}, std::optional<Color> color = {}) : Component(bounds), color_(color) {}

  void setColor(std::optional<Color> color) {
    color_ = color;
    invalidate();
  }
  std::optional<Color> color() const { return color_; }

  void paint(Canvas& canvas) override {
    if (color_) canvas.fillRect({0, 0, width(), height()}, *color_);
  }

 private:
  std::optional<Color> color_;
};

}  // namespace gui
