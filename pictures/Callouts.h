#pragma once
// Numbered markers over an editor picture, for the manual: each names a
// component of the form by its `name`, so a control that moves takes its
// marker with it and a renamed or removed one fails the picture's render.

#include <span>
#include <string>
#include <vector>

#include "gui/Canvas.h"
#include "gui/Component.h"
#include "gui/Geometry.h"

namespace pictures {

struct Callout {
  int number = 0;
  std::string component;  // the component's `name` in the form
  gui::Point offset{};    // from the component's top-left corner, in form pixels
};

struct PlacedCallout {
  int number = 0;
  gui::Point at;  // the marker's centre in form pixels
};

// Where each marker goes: the first showing component of that name in the
// form's tree. Throws std::runtime_error naming a component that is missing.
std::vector<PlacedCallout> placeCallouts(const gui::Component& form, std::span<const Callout> callouts);

// The editor's pixels enlarged by `zoom` (every pixel a zoom x zoom block)
// with the markers drawn over them: a red disc ringed in white with the
// number in the embedded font, kept inside the picture.
gui::Canvas drawCallouts(const gui::Canvas& editor, std::span<const PlacedCallout> callouts, int zoom);

}  // namespace pictures
