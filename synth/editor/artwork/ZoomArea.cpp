#include "synth/editor/artwork/ZoomArea.h"

#include "synth/editor/artwork/Drawing.h"
#include "synth/editor/artwork/Palette.h"

namespace marrowglint::artwork {

namespace {

void choice(gui::Canvas& c, const gui::Rect& rect, const char* text, bool lit) {
  if (lit) plate(c, rect, kAmberDim);
  caption(c, (rect.left + rect.right) / 2, rect.top + 1, text, smallFont(), lit ? kAmber : kInkDim, Align::centre);
}

}  // namespace

gui::Canvas zoomArea(int chosenZoom, bool atNextOpen) {
  gui::Canvas c(kZoomAreaWidth, kZoomAreaHeight, kScreen);
  recess(c, {0, 0, kZoomAreaWidth, 17}, kRecess);
  caption(c, 8, 3, "size:", smallFont(), kInk);
  choice(c, kZoomChoice100, "100 %", chosenZoom != 2);
  caption(c, (kZoomChoice100.right + kZoomChoice200.left) / 2, 3, "|", smallFont(), kEngraving, Align::centre);
  choice(c, kZoomChoice200, "200 %", chosenZoom == 2);
  if (atNextOpen) caption(c, kZoomAreaWidth / 2, 18, "at next open", smallFont(), kAmber, Align::centre);
  return c;
}

int zoomChoiceAt(gui::Point point) {
  if (kZoomChoice100.contains(point)) return 1;
  if (kZoomChoice200.contains(point)) return 2;
  return 0;
}

}  // namespace marrowglint::artwork
