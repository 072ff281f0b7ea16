// An LFO page: fields behind the wave and destination labels and the sync
// button, and the two gauges with their captions.

#include "gui/Font.h"
#include "sampler/editor/Layout.h"
#include "sampler/editor/artwork/Artwork.h"
#include "sampler/editor/artwork/Palette.h"
#include "sampler/editor/artwork/Primitives.h"

namespace sarnel::artwork {

gui::Canvas drawLfoPage() {
  namespace L = sarnel::layout;
  gui::Canvas canvas(L::kLfoPictureWidth, L::kLfoPictureHeight, kField);
  const gui::Font bold(-11, gui::FontWeight::bold);

  roundedField(canvas, gui::Rect::sized(L::kWave.x - 4, L::kWave.y - 3, 48, 19), 4, kBackground, kInk);
  roundedField(canvas, gui::Rect::sized(L::kDest.x - 4, L::kDest.y - 3, 42, 19), 4, kBackground, kInk);
  roundedField(canvas, L::kSync.inflated(2), 3, kBackground, kInk);
  caption(canvas, L::kSync.right + 5, L::kSync.top - 1, "sync", bold, kInk);

  caption(canvas, L::kRate.left - 2, L::kRate.top - 19, "speed", bold, kInk);
  roundedField(canvas, L::kRate.inflated(3), 4, kBackground, kInk);
  scaleTicks(canvas, L::kRate.offset(0, -2), kInk);
  caption(canvas, L::kDepth.left - 2, L::kDepth.top - 19, "depth", bold, kInk);
  roundedField(canvas, L::kDepth.inflated(3), 4, kBackground, kInk);
  return canvas;
}

}  // namespace sarnel::artwork
