#pragma once
// The few drawing steps every picture of the panel is composed of. All of
// them draw whole pixels or blend with a coarse coverage, so a picture holds
// few colours and every target draws exactly the same pixels.

#include <string_view>

#include "gui/Canvas.h"
#include "gui/Font.h"

namespace sarnel::artwork {

enum class Align { left, center, right };

// A rectangle with rounded corners of `radius`, filled with `fill` and
// outlined one pixel wide in `outline`.
void roundedField(gui::Canvas& canvas, const gui::Rect& rect, int radius, gui::Color fill, gui::Color outline);
// A field that lies under a control: the control's rectangle grown by
// `margin` on every side.
void fieldAround(gui::Canvas& canvas, const gui::Rect& control, int margin, int radius = 4);
// A raised face (buttons, page tabs): lighter inside, a light upper and a dark
// lower edge.
void raisedFace(gui::Canvas& canvas, const gui::Rect& rect, int radius);

// One line of text whose cell's top is `top`; `x` is its left edge, centre
// or right edge by `align`. Antialiased with 16 levels of coverage.
void caption(gui::Canvas& canvas, int x, int top, std::string_view text, const gui::Font& font, gui::Color color,
             Align align = Align::left);

// Small ticks under a horizontal gauge at 0, 25, 50, 75 and 100 % of its
// width, the middle one longer.
void scaleTicks(gui::Canvas& canvas, const gui::Rect& gauge, gui::Color color);

// A filled triangle given by three corners (whole pixels, no antialiasing).
void triangle(gui::Canvas& canvas, gui::Point a, gui::Point b, gui::Point c, gui::Color color);

}  // namespace sarnel::artwork
