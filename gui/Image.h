#pragma once
// An image component: shows a picture at its top-left corner (clipped to its
// bounds) or stretched over them, optionally leaving out one colour so the
// components behind show through.

#include <optional>

#include "gui/Component.h"

namespace gui {

class Image : public Component {
 public:
  explicit Image(Rect bounds = {}) : Component(bounds) {}

  const Canvas& picture() const { return picture_; }
  // Replaces the picture and repaints.
  void setPicture(const Canvas& picture);
  // Direct access for drawing into the picture; call invalidate() afterwards.
  Canvas& picture() { return picture_; }

  bool stretch() const { return stretch_; }
  void setStretch(bool stretch);
  // Pixels of this colour are not drawn; no colour draws every pixel.
  void setTransparentColor(std::optional<Color> color);
  std::optional<Color> transparentColor() const { return transparent_; }

  void paint(Canvas& canvas) override;

 private:
  Canvas picture_;
  bool stretch_ = false;
  std::optional<Color> transparent_;
};

}  // namespace gui
