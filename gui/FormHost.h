#pragma once
// What a form needs from the window that shows it. The native editor window
// implements it; headless tests use a recording one or none at all.

#include "gui/Geometry.h"
#include "gui/MouseInput.h"

namespace gui {

class FormHost {
 public:
  virtual ~FormHost() = default;
  // The form has new pixels in `rect` (form coordinates); show them soon.
  virtual void invalidateRect(const Rect& rect) = 0;
  virtual void setCursor(Cursor cursor) = 0;
  // Keep delivering the pointer to this window while a button is held,
  // wherever the pointer goes.
  virtual void setMouseCapture(bool captured) = 0;
  // Screen position of a form point (where menus open).
  virtual Point toScreen(Point formPoint) const = 0;
};

}  // namespace gui
