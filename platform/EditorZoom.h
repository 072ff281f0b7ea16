#pragma once
// The editors' zoom: 100 % shows each form pixel as one screen pixel, 200 %
// as a 2 x 2 block, for high-density screens. The form and every control
// keep their designed pixel sizes; only the window shows them larger, and
// pointer positions are brought back to form pixels before the form sees
// them, so every coordinate and threshold of the editors holds at both sizes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gui/Geometry.h"
#include "platform/SettingsStore.h"

namespace platform {

constexpr int kLargestZoom = 2;

// The zoom a stored "Zoom" setting asks for: 1 or 2; any other stored value
// counts as 1; without one, the system's suggestion.
inline int zoomFromSetting(std::optional<std::int32_t> stored, int systemDefault) {
  if (!stored) return systemDefault == 2 ? 2 : 1;
  return *stored == 2 ? 2 : 1;
}

// Where the editors keep their choice, in their own settings subkey.
inline constexpr std::string_view kZoomSettingName = "Zoom";

// The stored choice, if there is a numeric one. GUI thread.
inline std::optional<std::int32_t> storedZoom(SettingsStore& settings, std::string_view subkey) {
  const std::optional<std::string> stored = settings.readText(subkey, kZoomSettingName);
  return stored ? parseDecimal(*stored) : std::nullopt;
}

// The zoom an editor opens at: its stored "Zoom" setting, else the system's
// suggestion. GUI thread.
inline int zoomFromSettings(SettingsStore& settings, std::string_view subkey, int systemDefault) {
  return zoomFromSetting(storedZoom(settings, subkey), systemDefault);
}

// The system's suggestion: 2 on a high-density screen (Linux: the screen's
// Xft.dpi resource at 144 or more, or GDK_SCALE=2; Windows: a DPI-aware host
// on a screen of 144 DPI or more), else 1. `parentWindow` is the host's
// window the editor opens in (nullptr: the main screen). GUI thread.
int systemDefaultZoom(void* parentWindow);

// The zoom an editor opens at in the host's window. The system is asked only
// without a stored choice: asking may open a connection to the display.
inline int openingZoom(SettingsStore& settings, std::string_view subkey, void* parentWindow) {
  const std::optional<std::int32_t> stored = storedZoom(settings, subkey);
  return zoomFromSetting(stored, stored ? 1 : systemDefaultZoom(parentWindow));
}

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
