// The switch strips `o1`, `o2`, `o3` of `fatmama`, `phase` and `glide`: a
// small key with a lamp, dark when off (frame 0), amber when on (frame 1).

#include "synth/editor/artwork/Artwork.h"
#include "synth/editor/artwork/Drawing.h"
#include "synth/editor/artwork/Palette.h"

namespace marrowglint::artwork {

void drawSwitchStrip(gui::ImageList& list) {
  const int w = list.frameWidth();
  const int h = list.frameHeight();
  for (int on = 0; on <= 1; ++on) {
    gui::Canvas c(w, h, kPanel);
    plate(c, {0, 0, w, h}, kPanelPlate);
    const gui::Rect lamp{6, 5, w - 6, 8};
    c.fillRect(lamp, on != 0 ? kAmber : kAmberDim);
    if (on != 0) {
      // A faint glow around the lit lamp.
      hline(c, lamp.left, lamp.right - 1, lamp.top - 1, kAmberDim);
      hline(c, lamp.left, lamp.right - 1, lamp.bottom, kAmberDim);
    }
    hline(c, 0, w - 1, 0, kPanelHighlight);
    list.add(c);
  }
}

}  // namespace marrowglint::artwork
