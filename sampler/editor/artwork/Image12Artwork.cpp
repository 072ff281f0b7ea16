// The banner: the instrument's name on an ink band with a drawn waveform,
// and the hint that it opens the about panel.

#include <cmath>

#include "gui/Font.h"
#include "sampler/editor/Layout.h"
#include "sampler/editor/artwork/Artwork.h"
#include "sampler/editor/artwork/Palette.h"
#include "sampler/editor/artwork/Primitives.h"

namespace sarnel::artwork {

gui::Canvas drawImage12() {
  const gui::Rect r = sarnel::layout::kImage12;
  gui::Canvas canvas(r.width(), r.height(), kBackground);
  canvas.fillRect({0, 0, r.width(), 44}, kInk);
  canvas.fillRect({0, 46, r.width(), 47}, kInk);

  const gui::Font title(-30, gui::FontWeight::bold);
  const gui::Font small(-11, gui::FontWeight::bold);
  caption(canvas, 20, 5, "SARNEL", title, kBackground);
  const int afterTitle = 20 + title.textWidth("SARNEL") + 12;
  caption(canvas, afterTitle, 10, "33-voice sampler", small, kBackground);
  caption(canvas, afterTitle, 24, "by Vornhalt", small, kField);

  // A decaying wave across the right half, drawn as whole-pixel columns.
  const int waveLeft = 330;
  const int waveRight = r.width() - 120;
  int previous = 22;
  for (int x = waveLeft; x < waveRight; ++x) {
    const double t = static_cast<double>(x - waveLeft) / (waveRight - waveLeft);
    const double value = std::sin(t * 40.0) * (1.0 - t) * 15.0;
    const int y = 22 - static_cast<int>(std::lround(value));
    const int from = previous < y ? previous : y;
    const int to = previous < y ? y : previous;
    canvas.fillRect({x, from, x + 1, to + 1}, kField);
    previous = y;
  }
  caption(canvas, r.width() - 16, 16, "about", small, kBackground, Align::right);
  return canvas;
}

}  // namespace sarnel::artwork
