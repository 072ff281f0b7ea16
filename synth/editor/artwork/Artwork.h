#pragma once
// Marrowglint's pictures, drawn by code when the editor is created: the same
// pixels on every target. One function per picture, named after the
// components that show it.

#include "gui/Canvas.h"
#include "gui/ImageList.h"

namespace marrowglint::artwork {

// `bg`: the 239 x 358 panel, every control captioned; aqua marks its cut-away
// corners (the window's black shows through).
gui::Canvas panel();
// `info` (with the `version` label over it) and `help`: 239 x 358 each.
gui::Canvas infoScreen();
gui::Canvas helpScreen();
// The pad markers: A in two colours, B shaded; aqua is transparent in both.
gui::Canvas markerA();
gui::Canvas markerB();
// `mixer`: the mix bar's pointer, aqua transparent.
gui::Canvas mixMarker();

// Slider strips: frame i shows the knob at the i-th step of its travel.
enum class SliderAccent { oscillator1, oscillator2, shared };
void drawHorizontalSliderStrip(gui::ImageList& list, int frames, SliderAccent accent);
void drawVerticalSliderStrip(gui::ImageList& list, int frames);
void drawVolumeSliderStrip(gui::ImageList& list, int frames);

// Selector strips: frame i shows every choice with choice i lit.
void drawOscillator1WaveStrip(gui::ImageList& list);
void drawOscillator2WaveStrip(gui::ImageList& list);
void drawFilterTypeStrip(gui::ImageList& list);
void drawLfoDestinationStrip(gui::ImageList& list);

// On/off switches (`fatmama`, `phase`, `glide`): frame 0 off, frame 1 on.
void drawSwitchStrip(gui::ImageList& list);

}  // namespace marrowglint::artwork
