// `info`: who made the instrument and under which licence, over a deep blue
// shading (24 bits). The `version` label is laid over its lower half, where
// the picture keeps a plain band for it. A click anywhere closes it.

#include <array>
#include <string_view>

#include "synth/editor/artwork/Artwork.h"
#include "synth/editor/artwork/Drawing.h"
#include "synth/editor/artwork/Palette.h"

namespace marrowglint::artwork {

gui::Canvas infoScreen() {
  constexpr int w = 239, h = 358;
  gui::Canvas c(w, h, kScreen);
  // A vertical shade from the screen's colour to the engraving blue.
  for (int y = 0; y < h; ++y) {
    const int t = y * 256 / h;
    const auto mix = [t](int from, int to) { return from + ((to - from) * t) / 256; };
    hline(c, 0, w - 1, y,
          gui::rgb(mix(gui::redOf(kScreen), 20), mix(gui::greenOf(kScreen), 46), mix(gui::blueOf(kScreen), 66)));
  }
  c.frameRect({8, 8, w - 8, h - 8}, kEngraving);

  caption(c, w / 2, 40, "MARROWGLINT", titleFont(), kInk, Align::centre);
  caption(c, w / 2, 62, "four-voice wavetable synthesizer", smallFont(), kInkDim, Align::centre);
  hline(c, 40, w - 41, 80, kEngraving);

  constexpr std::array<std::string_view, 9> lines = {
      "two oscillators, one filter,",
      "four effects, one LFO",
      "",
      "part of the vornhalt instruments",
      "repository: vornhalt",
      "",
      "released under the MIT licence",
      "copyright 2026",
      "the vornhalt developers",
  };
  int y = 96;
  for (const std::string_view line : lines) {
    caption(c, w / 2, y, line, smallFont(), kInk, Align::centre);
    y += 14;
  }
  // Warm accent: the instrument's sine.
  for (int x = 40; x < w - 40; ++x) {
    const int phase = (x - 40) % 32;
    const int rise = phase < 16 ? phase : 32 - phase;
    c.setPixel(x, 246 + rise / 2, kAmber);
  }
  caption(c, w / 2, 300, "click to close", smallFont(), kInkDim, Align::centre);
  return c;
}

}  // namespace marrowglint::artwork
