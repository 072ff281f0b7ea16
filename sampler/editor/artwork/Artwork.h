#pragma once
// The pictures of Sarnel's editor, drawn by code at the window's creation:
// the same pixels on every target, no file read.

#include "gui/Canvas.h"

namespace sarnel::artwork {

// `Image1`: the 677 x 497 panel with the fields behind the controls and
// their captions.
gui::Canvas drawImage1();
// `Image12`: the banner over the top edge.
gui::Canvas drawImage12();
// `Image13`: the logo on the about panel.
gui::Canvas drawImage13();
// `Image6` and `Image10`: the 148 x 137 background of an LFO page.
gui::Canvas drawLfoPage();
// `ENVControl1`'s background: its grid, `width` x `height` (the editor's
// size inside its edge).
gui::Canvas drawENVControl1Background(int width, int height);
// `selector`: the arrow that marks the page shown.
gui::Canvas drawSelector();
// `led`: the two-state buttons' strip, off then on, 11 x 12 each.
gui::Canvas drawLedStrip();

}  // namespace sarnel::artwork
