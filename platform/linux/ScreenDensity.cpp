// The zoom a Linux desktop suggests: GDK_SCALE=2, or the Xft.dpi resource
// of the screen's resource database at 144 or more (what desktops set for
// high-density screens).

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/EditorZoom.h"

namespace platform {

namespace {

constexpr double kHighDensityDpi = 144.0;

// The value of `name` in an X resource text ("Xft.dpi:\t144\n..."), or -1.
double resourceNumber(const char* resources, const std::string& name) {
  const std::string text(resources);
  std::size_t line = 0;
  while (line < text.size()) {
    std::size_t end = text.find('\n', line);
    if (end == std::string::npos) end = text.size();
    const std::string entry = text.substr(line, end - line);
    line = end + 1;
    if (entry.compare(0, name.size(), name) != 0) continue;
    std::size_t at = name.size();
    while (at < entry.size() && (entry[at] == ' ' || entry[at] == '\t')) ++at;
    if (at >= entry.size() || entry[at] != ':') continue;
    return std::atof(entry.c_str() + at + 1);
  }
  return -1.0;
}

}  // namespace

int systemDefaultZoom(void*) {
  if (const char* scale = std::getenv("GDK_SCALE"); scale != nullptr && std::strcmp(scale, "2") == 0) return 2;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 1;
  double dpi = -1.0;
  if (const char* resources = XResourceManagerString(display)) dpi = resourceNumber(resources, "Xft.dpi");
  XCloseDisplay(display);
  return dpi >= kHighDensityDpi ? 2 : 1;
}

}  // namespace platform
