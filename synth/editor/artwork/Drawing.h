#pragma once
// The few drawing primitives Marrowglint's pictures are composed of: bevelled
// plates, recesses, captions in the embedded font and the panel's tiny pixel
// letters. Captions blend in five steps only, so a picture drawn with them
// keeps a small, fixed set of colours.

#include <string_view>

#include "gui/Canvas.h"
#include "gui/Font.h"

namespace marrowglint::artwork {

enum class Align { left, centre, right };

// A raised plate: face, one-pixel highlight on top and left, shadow below and right.
void plate(gui::Canvas& canvas, const gui::Rect& rect, gui::Color face);
// A sunken field: the plate's light and shadow the other way round.
void recess(gui::Canvas& canvas, const gui::Rect& rect, gui::Color face);
void hline(gui::Canvas& canvas, int x0, int x1, int y, gui::Color color);  // x1 included
void vline(gui::Canvas& canvas, int x, int y0, int y1, gui::Color color);  // y1 included

// One line of text in the embedded face, its cell's top at y; x is the left
// edge, the centre or the right edge by `align`.
void caption(gui::Canvas& canvas, int x, int y, std::string_view text, const gui::Font& font, gui::Color color,
             Align align = Align::left);
// Pixel letters three wide and five high (capitals, digits, space).
void tinyText(gui::Canvas& canvas, int x, int y, std::string_view text, gui::Color color);
int tinyTextWidth(std::string_view text);
// A small picture given as rows of characters: 'X' is drawn, anything else left.
void pattern(gui::Canvas& canvas, int x, int y, std::initializer_list<std::string_view> rows, gui::Color color);

// The fonts of the pictures.
const gui::Font& smallFont();    // captions
const gui::Font& headingFont();  // section headings
const gui::Font& titleFont();    // the instrument's name

}  // namespace marrowglint::artwork
