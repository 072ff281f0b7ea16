// The panel: a recessed field behind every display and control, raised faces
// for the buttons and page tabs, and the captions that name them.

#include "gui/Font.h"
#include "sampler/editor/Layout.h"
#include "sampler/editor/artwork/Artwork.h"
#include "sampler/editor/artwork/Palette.h"
#include "sampler/editor/artwork/Primitives.h"

namespace sarnel::artwork {

namespace {

using gui::Rect;
namespace L = sarnel::layout;

const gui::Font& captionFont() {
  static const gui::Font font(-11, gui::FontWeight::bold);
  return font;
}

// A horizontal gauge's field, its caption above and its scale below.
void gaugeField(gui::Canvas& canvas, const Rect& gauge, const char* text) {
  fieldAround(canvas, gauge, 4, 5);
  caption(canvas, gauge.left - 2, gauge.top - 20, text, captionFont(), kInk);
  scaleTicks(canvas, gauge, kInk);
}

// A play/stop/menu/panic button: its face, a small symbol and the word.
void buttonFace(gui::Canvas& canvas, const Rect& r, const char* text, int symbol) {
  raisedFace(canvas, r, 5);
  const int cx = r.left + 9;
  const int cy = r.top + r.height() / 2;
  switch (symbol) {
    case 0:  // play: a triangle pointing right
      triangle(canvas, {cx - 3, cy - 4}, {cx - 3, cy + 4}, {cx + 3, cy}, kInk);
      break;
    case 1:  // stop: a square
      canvas.fillRect({cx - 3, cy - 3, cx + 4, cy + 4}, kInk);
      break;
    case 2:  // menu: three bars
      for (int bar = -1; bar <= 1; ++bar) canvas.fillRect({cx - 3, cy + bar * 3 - 1, cx + 4, cy + bar * 3 + 1}, kInk);
      break;
    default:  // panic: an exclamation mark in a ring
      roundedField(canvas, {cx - 4, cy - 5, cx + 5, cy + 5}, 4, kInk, kInk);
      canvas.fillRect({cx, cy - 3, cx + 1, cy + 1}, kFace);
      canvas.fillRect({cx, cy + 2, cx + 1, cy + 3}, kFace);
      break;
  }
  caption(canvas, r.left + 32, r.top + (r.height() - captionFont().lineHeight()) / 2, text, captionFont(), kInk,
          Align::center);
}

// A page tab with its word; the selector arrow stands on its left part.
void pageTab(gui::Canvas& canvas, const Rect& r, const char* text) {
  raisedFace(canvas, r, 5);
  caption(canvas, r.left + 22, r.top + (r.height() - captionFont().lineHeight()) / 2, text, captionFont(), kInk);
}

// A bold label's field, wide enough for its longest text.
void labelField(gui::Canvas& canvas, gui::Point label, int width) {
  fieldAround(canvas, Rect::sized(label.x, label.y, width, 13), 3, 4);
}

// A two-state button's field.
void ledField(gui::Canvas& canvas, const Rect& led) { fieldAround(canvas, led, 2, 3); }

}  // namespace

gui::Canvas drawImage1() {
  gui::Canvas canvas(L::kBackgroundWidth, L::kBackgroundHeight, kBackground);

  // The panel's edge and the groove under the banner.
  roundedField(canvas, {3, 52, L::kBackgroundWidth - 3, L::kBackgroundHeight - 3}, 8, kBackground, kInk);

  // The waveform display and the file name on it.
  fieldAround(canvas, L::kWdisplay, 5, 6);
  caption(canvas, L::kWdisplay.left, L::kWdisplay.top - 19, "sample", captionFont(), kInk);

  // The page tabs and the envelope / LFO pages.
  pageTab(canvas, L::kImage7, "env");
  pageTab(canvas, L::kImage8, "LFO1");
  pageTab(canvas, L::kImage9, "LFO2");
  // Its left edge stays clear of the tabs.
  roundedField(canvas, {510, 48, 666, 193}, 6, kField, kInk);

  // The six horizontal gauges.
  gaugeField(canvas, L::kPitcher, "pitch/direction");
  gaugeField(canvas, L::kLoop, "loop start/end");
  gaugeField(canvas, L::kFilter, "filter cutoffs");
  gaugeField(canvas, L::kReso, "filter resonance");
  gaugeField(canvas, L::kDelay, "delay time");
  gaugeField(canvas, L::kFeedback, "delay feedback");
  // The pitch gauge's centre (no transposition).
  canvas.fillRect({L::kPitcher.left + 92, L::kPitcher.top - 8, L::kPitcher.left + 93, L::kPitcher.top - 4}, kInk);

  // The status line.
  caption(canvas, L::kDesc.x - 4, L::kDesc.y - 20, "info", captionFont(), kInk);
  fieldAround(canvas, Rect::sized(L::kDesc.x, L::kDesc.y, 418, 13), 4, 5);

  // Root key, loop mode, interpolation and portamento.
  caption(canvas, 515, L::kReckey.y, "root", captionFont(), kInk);
  labelField(canvas, L::kReckey, 34);
  caption(canvas, 515, L::kLmode.y, "loop", captionFont(), kInk);
  labelField(canvas, L::kLmode, 62);
  ledField(canvas, L::kInterpx);
  caption(canvas, L::kInterpx.right + 5, L::kInterpx.top - 1, "interpolate", captionFont(), kInk);
  ledField(canvas, L::kPortx);
  caption(canvas, L::kPortx.right + 5, L::kPortx.top - 1, "portamento", captionFont(), kInk);

  // The buttons.
  buttonFace(canvas, L::kImage2, "play", 0);
  buttonFace(canvas, L::kImage3, "stop", 1);
  buttonFace(canvas, L::kImage4, "menu", 2);
  buttonFace(canvas, L::kImage5, "panic", 3);

  // The volume gauge with its scale on the left.
  fieldAround(canvas, L::kVolume, 4, 5);
  for (int quarter = 0; quarter <= 4; ++quarter) {
    const int y = L::kVolume.top + (L::kVolume.height() - 1) * quarter / 4;
    const int length = quarter == 2 ? 4 : 2;
    canvas.fillRect({L::kVolume.left - 6 - length, y, L::kVolume.left - 6, y + 1}, kInk);
  }
  caption(canvas, L::kVolume.left + L::kVolume.width() / 2, L::kVolume.bottom + 6, "volume", captionFont(), kInk,
          Align::center);
  return canvas;
}

}  // namespace sarnel::artwork
