#pragma once
// Colours as 32-bit pixels 0xAARRGGBB: in memory (little-endian) blue, green,
// red, alpha, the layout of a 32-bit device-independent bitmap and of an X11
// 24-bit visual. Drawing ignores the alpha byte unless a function says so.

#include <cstdint>

namespace gui {

using Color = std::uint32_t;

constexpr Color rgb(int red, int green, int blue) {
  return 0xFF000000u | (static_cast<Color>(red & 0xFF) << 16) | (static_cast<Color>(green & 0xFF) << 8) |
         static_cast<Color>(blue & 0xFF);
}
constexpr int redOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int greenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(Color c) { return static_cast<int>(c & 0xFF); }
// Colours compare by their red, green and blue only.
constexpr bool sameColor(Color a, Color b) { return ((a ^ b) & 0x00FFFFFFu) == 0; }

namespace colors {
constexpr Color black = rgb(0, 0, 0);
constexpr Color white = rgb(255, 255, 255);
constexpr Color red = rgb(255, 0, 0);
constexpr Color blue = rgb(0, 0, 255);
constexpr Color yellow = rgb(255, 255, 0);
constexpr Color aqua = rgb(0, 255, 255);
constexpr Color gray = rgb(127, 127, 127);
// The system's window-frame colour of the classic scheme.
constexpr Color windowFrame = rgb(0, 0, 0);
// The system's face colour of buttons and dialogs of the classic scheme.
constexpr Color buttonFace = rgb(212, 208, 200);
}  // namespace colors

}  // namespace gui
