// `help`: the gestures the panel does not show, in the panel's own colours
// (within 256). A click anywhere closes it.

#include <array>
#include <string_view>

#include "synth/editor/artwork/Artwork.h"
#include "synth/editor/artwork/Drawing.h"
#include "synth/editor/artwork/Palette.h"

namespace marrowglint::artwork {

namespace {

struct Gesture {
  std::string_view how;
  std::string_view what;
  std::string_view more;
};

constexpr std::array<Gesture, 8> kGestures = {{
    {"Shift+click fat, phase, glide", "interpolation: none, linear,", "four-point (fat, phase, glide)"},
    {"Shift+click LFO destination", "LFO wave by field: sine, saw,", "square, triangle"},
    {"Shift+right click a slider", "learn: the next MIDI controller", "moved takes the slider"},
    {"Shift+click an effect pad", "type a controller: 1-128 CC,", "129 pitch bend, 200 learn"},
    {"Mix bar: Shift+left held, click right", "the same for the mix, then centre", ""},
    {"Right click", "back to the default value", "(pads to 0, mix bar to centre)"},
    {"Ctrl+right click a slider", "store its value as its default", ""},
    {"Drag a pad up and down", "set the effect's amount", ""},
}};

}  // namespace

gui::Canvas helpScreen() {
  constexpr int w = 239, h = 358;
  gui::Canvas c(w, h, kScreen);
  c.frameRect({8, 8, w - 8, h - 8}, kEngraving);
  caption(c, w / 2, 16, "HIDDEN GESTURES", headingFont(), kInk, Align::centre);
  hline(c, 30, w - 31, 30, kEngraving);
  int y = 38;
  for (const Gesture& g : kGestures) {
    c.fillRect({16, y + 3, 19, y + 6}, kAmber);
    caption(c, 23, y, g.how, headingFont(), kAmber);
    caption(c, 23, y + 11, g.what, smallFont(), kInk);
    if (!g.more.empty()) caption(c, 23, y + 21, g.more, smallFont(), kInk);
    y += g.more.empty() ? 25 : 36;
  }
  caption(c, w / 2, h - 24, "click to close", smallFont(), kInkDim, Align::centre);
  return c;
}

}  // namespace marrowglint::artwork
