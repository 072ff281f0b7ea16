#pragma once
// A filled shape with an outline: rectangle, square, ellipse or circle,
// placed in its bounds the way the toolkit's shape component places it.

#include <optional>

#include "gui/Component.h"

namespace gui {

enum class ShapeKind { rectangle, square, ellipse, circle };

class Shape : public Component {
 public:
  explicit Shape(Rect bounds = {}, ShapeKind kind = ShapeKind::rectangle) : Component(bounds), kind_(kind) {}

  void setKind(ShapeKind kind);
  // No fill colour leaves the inside clear.
  void setFill(std::optional<Color> color);
  std::optional<Color> fill() const { return fill_; }
  void setPen(Color color, int width);
  Color penColor() const { return penColor_; }

  // The rectangle the outline is drawn on, in local coordinates.
  Rect shapeRect() const;
  void paint(Canvas& canvas) override;

 private:
  ShapeKind kind_;
  std::optional<Color> fill_ = colors::white;
  Color penColor_ = colors::black;
  int penWidth_ = 1;
};

}  // namespace gui
