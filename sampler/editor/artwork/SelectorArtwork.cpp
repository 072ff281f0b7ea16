// The selector: an ink arrow on a tab's face, pointing at the page shown.

#include "sampler/editor/Layout.h"
#include "sampler/editor/artwork/Artwork.h"
#include "sampler/editor/artwork/Palette.h"
#include "sampler/editor/artwork/Primitives.h"

namespace sarnel::artwork {

gui::Canvas drawSelector() {
  const gui::Rect r = sarnel::layout::kSelector;
  gui::Canvas canvas(r.width(), r.height(), kFace);
  triangle(canvas, {1, 0}, {1, r.height() - 1}, {r.width() - 1, (r.height() - 1) / 2}, kInk);
  return canvas;
}

}  // namespace sarnel::artwork
