#pragma once
// The gauge's scratch bitmap: a canvas that can take another's size.

#include "gui/Canvas.h"

namespace controls {

class TBltBitmap : public gui::Canvas {
 public:
  // Takes the other bitmap's width and height and fills the whole area with
  // the system's window-frame colour.
  void MakeLike(const gui::Canvas& other) { resize(other.width(), other.height(), gui::colors::windowFrame); }
};

}  // namespace controls
