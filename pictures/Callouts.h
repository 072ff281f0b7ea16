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

// Where a marker sits against its component: beside it on the left or the
// right, vertically centred (small controls stay visible), centred on its
// top-left corner, or just inside that corner (large areas).
enum class Place { left, right, corner, inside };

struct Callout {
  int number = 0;
  std::string component;  // the component's `name` in the form
  Place place = Place::left;
  gui::Point nudge{};  // moves the marker off a drawn field wider than its component, in form pixels
};

struct PlacedCallout {
  int number = 0;
  gui::Rect component;  // in form pixels
  Place place = Place::left;
  gui::Point nudge{};
};

// Each marker's component: the first showing one of that name in the form's
// tree. Throws std::runtime_error naming a component that is missing.
std::vector<PlacedCallout> placeCallouts(const gui::Component& form, std::span<const Callout> callouts);

// The editor's pixels enlarged by `zoom` (every pixel a zoom x zoom block)
// with the markers drawn over them: a red disc ringed in white with the
// number in the embedded font, kept inside the picture.
gui::Canvas drawCallouts(const gui::Canvas& editor, std::span<const PlacedCallout> callouts, int zoom);

}  // namespace pictures
