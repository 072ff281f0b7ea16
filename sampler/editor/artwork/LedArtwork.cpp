// The two-state buttons' strip: frame 0 off (a dark socket), frame 1 on (a
// lit lamp), each 11 x 12.

#include "sampler/editor/Layout.h"
#include "sampler/editor/artwork/Artwork.h"
#include "sampler/editor/artwork/Palette.h"
#include "sampler/editor/artwork/Primitives.h"

namespace sarnel::artwork {

gui::Canvas drawLedStrip() {
  namespace L = sarnel::layout;
  gui::Canvas strip(2 * L::kLedWidth, L::kLedHeight, kField);
  for (int frame = 0; frame < 2; ++frame) {
    const gui::Rect cell = gui::Rect::sized(frame * L::kLedWidth, 0, L::kLedWidth, L::kLedHeight);
    const bool on = frame == 1;
    roundedField(strip, cell, 3, on ? kMarker : kBackground, kInk);
    if (on) {
      strip.fillRect({cell.left + 3, cell.top + 3, cell.right - 3, cell.bottom - 3}, kInk);
    } else {
      strip.fillRect({cell.left + 4, cell.top + 4, cell.right - 4, cell.bottom - 4}, kField);
    }
  }
  return strip;
}

}  // namespace sarnel::artwork
