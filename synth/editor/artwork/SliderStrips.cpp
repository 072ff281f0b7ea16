// The slider strips `sld`, `sld2`, `sld3` (horizontal), `sld4` (the vertical
// envelope sliders) and `sld5` (the output volume): frame i puts the knob at
// step i of the travel and fills the track up to it.

#include "synth/editor/artwork/Artwork.h"
#include "synth/editor/artwork/Drawing.h"
#include "synth/editor/artwork/Palette.h"

namespace marrowglint::artwork {

namespace {

constexpr int kKnobLength = 5;

// Where the knob's leading edge sits in frame `index` of `frames` over
// `travel` pixels, rounded half up in integers.
int knobAt(int index, int frames, int travel) {
  if (frames <= 1) return 0;
  return (2 * index * travel + (frames - 1)) / (2 * (frames - 1));
}

gui::Color accentOf(SliderAccent accent) {
  switch (accent) {
    case SliderAccent::oscillator1: return kAmber;
    case SliderAccent::oscillator2: return kCyan;
    case SliderAccent::shared: break;
  }
  return kInkDim;
}

gui::Color accentDimOf(SliderAccent accent) {
  switch (accent) {
    case SliderAccent::oscillator1: return kAmberDim;
    case SliderAccent::oscillator2: return kCyanDim;
    case SliderAccent::shared: break;
  }
  return kEngraving;
}

// A knob across the whole thickness of the track: light face, shaded edges,
// a notch in the accent colour.
void horizontalKnob(gui::Canvas& c, int x, int height, gui::Color notch) {
  c.fillRect({x, 0, x + kKnobLength, height}, kKnob);
  vline(c, x, 0, height - 1, kKnobShade);
  vline(c, x + kKnobLength - 1, 0, height - 1, kKnobShade);
  vline(c, x + kKnobLength / 2, 1, height - 2, notch);
}

}  // namespace

void drawHorizontalSliderStrip(gui::ImageList& list, int frames, SliderAccent accent) {
  const int w = list.frameWidth();
  const int h = list.frameHeight();
  for (int i = 0; i < frames; ++i) {
    gui::Canvas c(w, h, kPanel);
    const int x = knobAt(i, frames, w - kKnobLength);
    // The track: a dark groove two pixels high, lit up to the knob.
    c.fillRect({0, h / 2 - 1, w, h / 2 + 1}, kTrack);
    hline(c, 0, w - 1, h / 2 + 1, kPanelPlate);
    if (x > 1) c.fillRect({1, h / 2 - 1, x, h / 2 + 1}, accentDimOf(accent));
    horizontalKnob(c, x, h, accentOf(accent));
    list.add(c);
  }
}

void drawVerticalSliderStrip(gui::ImageList& list, int frames) {
  const int w = list.frameWidth();
  const int h = list.frameHeight();
  for (int i = 0; i < frames; ++i) {
    gui::Canvas c(w, h, kPanel);
    // Frame 0 has the knob at the bottom.
    const int y = h - kKnobLength - knobAt(i, frames, h - kKnobLength);
    c.fillRect({w / 2 - 1, 0, w / 2 + 1, h}, kTrack);
    vline(c, w / 2 + 1, 0, h - 1, kPanelPlate);
    if (y + kKnobLength < h - 1) c.fillRect({w / 2 - 1, y + kKnobLength, w / 2 + 1, h - 1}, kAmberDim);
    c.fillRect({0, y, w, y + kKnobLength}, kKnob);
    hline(c, 0, w - 1, y, kKnobShade);
    hline(c, 0, w - 1, y + kKnobLength - 1, kKnobShade);
    hline(c, 1, w - 2, y + kKnobLength / 2, kAmber);
    list.add(c);
  }
}

void drawVolumeSliderStrip(gui::ImageList& list, int frames) {
  const int w = list.frameWidth();
  const int h = list.frameHeight();
  for (int i = 0; i < frames; ++i) {
    gui::Canvas c(w, h, kPanel);
    const int x = knobAt(i, frames, w - kKnobLength);
    // A wedge that grows to the right, as loudness does; lit up to the knob.
    for (int col = 0; col < w; ++col) {
      const int rise = 1 + (col * (h - 3)) / (w - 1);
      const gui::Color fill = col < x ? kAmberDim : kTrack;
      vline(c, col, h - 1 - rise, h - 2, fill);
    }
    hline(c, 0, w - 1, h - 1, kPanelPlate);
    horizontalKnob(c, x, h, kAmber);
    list.add(c);
  }
}

}  // namespace marrowglint::artwork
