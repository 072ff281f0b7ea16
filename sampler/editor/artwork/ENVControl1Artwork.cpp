// The envelope editor's background: a dotted 8 x 8 grid over the panel's
// colour, at the size the editor shows it inside its edge (so it is drawn
// one to one).

#include "sampler/editor/Layout.h"
#include "sampler/editor/artwork/Artwork.h"
#include "sampler/editor/artwork/Palette.h"

namespace sarnel::artwork {

gui::Canvas drawENVControl1Background(int width, int height) {
  gui::Canvas canvas(width, height, kBackground);
  constexpr int kCells = 8;
  for (int line = 0; line <= kCells; ++line) {
    const int x = (width - 1) * line / kCells;
    const int y = (height - 1) * line / kCells;
    for (int along = 0; along < height; along += 2) canvas.setPixel(x, along, kEnvelopeGrid);
    for (int along = 0; along < width; along += 2) canvas.setPixel(along, y, kEnvelopeGrid);
  }
  return canvas;
}

}  // namespace sarnel::artwork
