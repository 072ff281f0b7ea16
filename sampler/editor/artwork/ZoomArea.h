#pragma once
// The "size" area of the about panel: "size: 100 % | 200 %" in a rounded
// field, the chosen value on a raised face, and "at next open" beside it
// while the window still shows the other size. The choices' rectangles
// serve the drawing and the clicks alike.

#include "gui/Canvas.h"
#include "gui/Geometry.h"

namespace sarnel::artwork {

constexpr int kZoomAreaWidth = 180;
constexpr int kZoomAreaHeight = 34;
constexpr gui::Rect kZoomChoice100 = {44, 2, 44 + 46, 2 + 17};
constexpr gui::Rect kZoomChoice200 = {104, 2, 104 + 46, 2 + 17};

// `chosenZoom`: 1 or 2; `atNextOpen`: the choice waits for the next open.
gui::Canvas drawZoomArea(int chosenZoom, bool atNextOpen);
// The zoom whose choice lies under `point` (area pixels), or 0.
int zoomChoiceAt(gui::Point point);

}  // namespace sarnel::artwork
