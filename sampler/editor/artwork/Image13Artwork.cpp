// The logo on the about panel: the name on an ink plate over a waveform.

#include <cmath>

#include "gui/Font.h"
#include "sampler/editor/Layout.h"
#include "sampler/editor/artwork/Artwork.h"
#include "sampler/editor/artwork/Palette.h"
#include "sampler/editor/artwork/Primitives.h"

namespace sarnel::artwork {

gui::Canvas drawImage13() {
  const gui::Rect r = sarnel::layout::kImage13;
  gui::Canvas canvas(r.width(), r.height(), kFace);
  roundedField(canvas, {0, 0, r.width(), r.height()}, 8, kInk, kInk);
  int previous = 30;
  for (int x = 6; x < r.width() - 6; ++x) {
    const double t = static_cast<double>(x - 6) / (r.width() - 12);
    const int y = 30 - static_cast<int>(std::lround(std::sin(t * 18.0) * 5.0 * (1.0 - t)));
    const int from = previous < y ? previous : y;
    const int to = previous < y ? y : previous;
    canvas.fillRect({x, from, x + 1, to + 1}, kField);
    previous = y;
  }
  const gui::Font title(-19, gui::FontWeight::bold);
  caption(canvas, r.width() / 2, 2, "SARNEL", title, kBackground, Align::center);
  return canvas;
}

}  // namespace sarnel::artwork
