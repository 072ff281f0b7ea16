#pragma once
// The editors' zoom: 100 % shows each form pixel as one screen pixel, 200 %
// as a 2 x 2 block, for high-density screens. The form and every control
// keep their designed pixel sizes; only the window shows them larger, and
// pointer positions are brought back to form pixels before the form sees
// them, so every coordinate and threshold of the editors holds at both sizes.

#include <cstdint>
#include <optional>

#include "gui/Geometry.h"

namespace platform {

constexpr int kLargestZoom = 2;

// The zoom a stored "Zoom" setting asks for: 1 or 2; any other stored value
// counts as 1; without one, the system's suggestion.
inline int zoomFromSetting(std::optional<std::int32_t> stored, int systemDefault) {
  if (!stored) return systemDefault == 2 ? 2 : 1;
  return *stored == 2 ? 2 : 1;
}

// The system's suggestion: 2 on a high-density screen (Linux: the screen's
// Xft.dpi resource at 144 or more, or GDK_SCALE=2; Windows: a DPI-aware host
// on a screen of 144 DPI or more), else 1. `parentWindow` is the host's
// window the editor opens in (nullptr: the main screen). GUI thread.
int systemDefaultZoom(void* parentWindow);

// The form pixel under a window pixel.
inline gui::Point formPointAt(gui::Point windowPixel, int zoom) {
  auto down = [zoom](int v) { return v >= 0 ? v / zoom : -((-v + zoom - 1) / zoom); };
  return {down(windowPixel.x), down(windowPixel.y)};
}

// The window pixels that show a form rectangle.
inline gui::Rect windowRectOf(const gui::Rect& formRect, int zoom) {
  return {formRect.left * zoom, formRect.top * zoom, formRect.right * zoom, formRect.bottom * zoom};
}

// The form rectangle whose pixels cover a window rectangle (rounded out).
inline gui::Rect formRectCovering(const gui::Rect& windowRect, int zoom) {
  const gui::Point topLeft = formPointAt({windowRect.left, windowRect.top}, zoom);
  const gui::Point bottomRight = formPointAt({windowRect.right + zoom - 1, windowRect.bottom + zoom - 1}, zoom);
  return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

}  // namespace platform
