#pragma once
// The "size" area of the info screen: "size: 100 % | 200 %" on a recessed
// field, the chosen value lit, and "at next open" under it while the window
// still shows the other size. The choices' rectangles serve the drawing and
// the clicks alike.

#include "gui/Canvas.h"
#include "gui/Geometry.h"

namespace marrowglint::artwork {

constexpr int kZoomAreaWidth = 160;
constexpr int kZoomAreaHeight = 30;
constexpr gui::Rect kZoomChoice100 = {60, 2, 60 + 38, 2 + 13};
constexpr gui::Rect kZoomChoice200 = {110, 2, 110 + 38, 2 + 13};

// `chosenZoom`: 1 or 2; `atNextOpen`: the choice waits for the next open.
gui::Canvas zoomArea(int chosenZoom, bool atNextOpen);
// The zoom whose choice lies under `point` (area pixels), or 0.
int zoomChoiceAt(gui::Point point);

}  // namespace marrowglint::artwork
