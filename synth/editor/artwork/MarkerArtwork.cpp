// The level markers of the effect pads (`shape6` .. `shape9`) and the mix
// bar's pointer (`mixer`). Each points at its level with its middle row (or
// column); aqua around the point is left out when drawn.

#include "synth/editor/artwork/Artwork.h"
#include "synth/editor/artwork/Drawing.h"
#include "synth/editor/artwork/Palette.h"

namespace marrowglint::artwork {

namespace {
void pointerLeft(gui::Canvas& c, gui::Color color) {
  pattern(c, 0, 0, {"...X", "..XX", ".XXX", "XXXX", ".XXX", "..XX", "...X"}, color);
}
}  // namespace

gui::Canvas markerA() {
  // Two colours: the pointer and the transparent ground.
  gui::Canvas c(4, 7, kTransparent);
  pointerLeft(c, kAmber);
  return c;
}

gui::Canvas markerB() {
  // Shaded: a light tip over an amber body with a dark lower edge.
  gui::Canvas c(4, 7, kTransparent);
  pointerLeft(c, kAmber);
  pattern(c, 0, 0, {"...X", "..X.", ".X..", "X..."}, kKnob);
  pattern(c, 0, 4, {".X..", "..X.", "...X"}, kAmberDim);
  return c;
}

gui::Canvas mixMarker() {
  gui::Canvas c(7, 5, kTransparent);
  pattern(c, 0, 0, {"...X...", "..XXX..", ".XXXXX.", "XXXXXXX", "XXXXXXX"}, kAmber);
  pattern(c, 0, 0, {"...X...", "..X....", ".X.....", "X......"}, kKnob);
  return c;
}

}  // namespace marrowglint::artwork
