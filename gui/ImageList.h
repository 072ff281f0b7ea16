#pragma once
// A list of equally sized frames (an image strip), indexed from 0.

#include <vector>

#include "gui/Canvas.h"

namespace gui {

class ImageList {
 public:
  ImageList(int frameWidth, int frameHeight) : width_(frameWidth), height_(frameHeight) {}

  int frameWidth() const { return width_; }
  int frameHeight() const { return height_; }
  int count() const { return static_cast<int>(frames_.size()); }
  // Adds one frame; a picture of another size is cut or padded with black.
  void add(const Canvas& frame);
  // Cuts a strip of frames laid side by side (left to right) into frames.
  void addStrip(const Canvas& strip);
  // Frame `index`, which must be in 0..count() - 1.
  const Canvas& frame(int index) const { return frames_.at(static_cast<std::size_t>(index)); }

 private:
  int width_;
  int height_;
  std::vector<Canvas> frames_;
};

}  // namespace gui
