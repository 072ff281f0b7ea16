#include "sampler/editor/artwork/ZoomArea.h"

#include "gui/Font.h"
#include "sampler/editor/artwork/Palette.h"
#include "sampler/editor/artwork/Primitives.h"

namespace sarnel::artwork {

namespace {

const gui::Font& areaFont() {
  static const gui::Font font(-11);
  return font;
}

void choice(gui::Canvas& c, const gui::Rect& rect, const char* text, bool lit) {
  if (lit) raisedFace(c, rect, 3);
  caption(c, (rect.left + rect.right) / 2, rect.top + 2, text, areaFont(), lit ? kInk : kDarkText, Align::center);
}

}  // namespace

gui::Canvas drawZoomArea(int chosenZoom, bool atNextOpen) {
  gui::Canvas c(kZoomAreaWidth, kZoomAreaHeight, kFace);
  roundedField(c, {0, 0, kZoomAreaWidth, 21}, 4, kField, kInk);
  caption(c, 6, 4, "size:", areaFont(), kDarkText);
  choice(c, kZoomChoice100, "100 %", chosenZoom != 2);
  caption(c, (kZoomChoice100.right + kZoomChoice200.left) / 2, 4, "|", areaFont(), kInk, Align::center);
  choice(c, kZoomChoice200, "200 %", chosenZoom == 2);
  if (atNextOpen) caption(c, kZoomAreaWidth / 2, 21, "at next open", areaFont(), kInk, Align::center);
  return c;
}

int zoomChoiceAt(gui::Point point) {
  if (kZoomChoice100.contains(point)) return 1;
  if (kZoomChoice200.contains(point)) return 2;
  return 0;
}

}  // namespace sarnel::artwork
