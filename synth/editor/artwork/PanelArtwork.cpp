// `bg`: the panel behind every control. It seats each control in a recess or
// on its track, captions all of them and draws the areas that have no
// picture of their own (title, randomise bar, info/help keys, pads, mix bar,
// the status line's window). Positions are those of the controls.

#include <array>
#include <string_view>

#include "synth/editor/artwork/Artwork.h"
#include "synth/editor/artwork/Drawing.h"
#include "synth/editor/artwork/Palette.h"

namespace marrowglint::artwork {

namespace {

constexpr int kWidth = 239;
constexpr int kHeight = 358;

// A section heading with an engraved rule running on to `ruleEnd`.
void heading(gui::Canvas& c, int x, int y, std::string_view text, int ruleEnd) {
  caption(c, x, y, text, headingFont(), kInk);
  const int after = x + headingFont().textWidth(text) + 4;
  if (after < ruleEnd) hline(c, after, ruleEnd, y + 6, kEngraving);
}

void smallCaption(gui::Canvas& c, int x, int y, std::string_view text, Align align = Align::left) {
  caption(c, x, y, text, smallFont(), kCaption, align);
}

// The rim a control sits in: one pixel around its rectangle.
void seat(gui::Canvas& c, const gui::Rect& control) { recess(c, control.inflated(1), kRecess); }

void frameAndCorners(gui::Canvas& c) {
  c.fill(kPanel);
  // An inner plate inset by 8 pixels, engraved.
  c.frameRect({0, 0, kWidth, kHeight}, kPanelShadow);
  hline(c, 1, kWidth - 2, 1, kPanelHighlight);
  vline(c, 1, 1, kHeight - 2, kPanelHighlight);
  c.frameRect({8, 8, kWidth - 8, kHeight - 8}, kEngraving);
  // Screw heads in the four corners.
  for (const int x : {2, kWidth - 7}) {
    for (const int y : {2, kHeight - 7}) {
      c.fillRect({x, y, x + 5, y + 5}, kPanelPlate);
      c.frameRect({x, y, x + 5, y + 5}, kPanelShadow);
      hline(c, x + 1, x + 3, y + 2, kInkDim);
    }
  }
  // Cut-away corners: the window shows through.
  for (const auto& [x, y] : std::array<std::pair<int, int>, 12>{{{0, 0}, {1, 0}, {0, 1},
                                                                 {kWidth - 1, 0}, {kWidth - 2, 0}, {kWidth - 1, 1},
                                                                 {0, kHeight - 1}, {1, kHeight - 1}, {0, kHeight - 2},
                                                                 {kWidth - 1, kHeight - 1}, {kWidth - 2, kHeight - 1},
                                                                 {kWidth - 1, kHeight - 2}}}) {
    c.setPixel(x, y, kTransparent);
  }
}

void titleAndRandomise(gui::Canvas& c) {
  // `Image2`: the name plate.
  recess(c, gui::Rect::sized(16, 16, 207, 24), kScreen);
  caption(c, 21, 18, "MARROWGLINT", titleFont(), kInk);
  caption(c, 218, 19, "four-voice", smallFont(), kInkDim, Align::right);
  caption(c, 218, 28, "wavetable synth", smallFont(), kInkDim, Align::right);
  // `Image4`: the randomise bar.
  plate(c, gui::Rect::sized(16, 42, 207, 13), kPanelPlate);
  // Two dice.
  for (const int x : {21, 28}) {
    c.fillRect(gui::Rect::sized(x, 44, 6, 6), kKnob);
    c.setPixel(x + 1, 45, kTrack);
    c.setPixel(x + 4, 48, kTrack);
  }
  c.setPixel(30, 46, kTrack);
  caption(c, 119, 43, "randomize preset", headingFont(), kAmber, Align::centre);
}

void oscillators(gui::Canvas& c) {
  heading(c, 19, 57, "OSCILLATOR 1", 116);
  heading(c, 122, 57, "OSCILLATOR 2", 220);
  seat(c, gui::Rect::sized(24, 67, 46, 10));
  seat(c, gui::Rect::sized(126, 67, 46, 10));
  smallCaption(c, 74, 66, "wave");
  smallCaption(c, 176, 66, "wave");
  for (const int left : {19, 122}) {
    smallCaption(c, left, 77, "fine");
    smallCaption(c, left, 96, "tune");
    // Centre marks: the sliders' middle is no detune.
    const int centre = left + 49;
    vline(c, centre, 83, 85, kInkDim);
    vline(c, centre, 103, 105, kInkDim);
    smallCaption(c, left + 98, 77, "-  +", Align::right);
    smallCaption(c, left + 98, 96, "-  +", Align::right);
  }
}

void mixBar(gui::Canvas& c) {
  // `oscmix` with the `mixer` pointer running below its rail.
  recess(c, gui::Rect::sized(16, 120, 206, 11), kRecess);
  tinyText(c, 20, 123, "OSC 1", kAmber);
  tinyText(c, 218 - tinyTextWidth("OSC 2"), 123, "OSC 2", kCyan);
  tinyText(c, 119 - tinyTextWidth("MIX") / 2, 123, "MIX", kInkDim);
  hline(c, 21, 216, 130, kEngraving);
  for (const int x : {21, 70, 119, 167, 216}) vline(c, x, 128, 129, kEngraving);
}

void amplifier(gui::Canvas& c) {
  heading(c, 19, 135, "AMP", 106);
  constexpr std::array<std::pair<int, std::string_view>, 4> sliders = {
      {{31, "ATT"}, {50, "DEC"}, {70, "SUS"}, {90, "REL"}}};
  for (const auto& [left, name] : sliders) {
    seat(c, gui::Rect::sized(left, 146, 6, 48));
    tinyText(c, left + 3 - tinyTextWidth(name) / 2, 197, name, kCaption);
  }
  // A scale beside the envelope sliders: top, half and bottom.
  for (const int y : {146, 169, 193}) hline(c, 22, 25, y, kInkDim);
}

void filter(gui::Canvas& c) {
  heading(c, 118, 138, "FILTER", 216 - smallFont().textWidth("cutoff") - 4);
  smallCaption(c, 218, 140, "cutoff", Align::right);
  smallCaption(c, 118, 160, "resonance");
  smallCaption(c, 118, 181, "type");
  seat(c, gui::Rect::sized(170, 181, 46, 10));
}

void effectPads(gui::Canvas& c) {
  constexpr std::array<std::pair<int, std::string_view>, 4> pads = {
      {{18, "PWM"}, {60, "FM"}, {102, "TUBE"}, {144, "RING"}}};
  for (const auto& [left, name] : pads) {
    const gui::Rect pad = gui::Rect::sized(left, 203, 37, 37);
    recess(c, pad, kScreen);
    // A dotted grid and the level scale along the right edge, where the
    // marker points (0 at the top, full at the bottom).
    for (int y = 207; y < 239; y += 6) {
      for (int x = left + 4; x < left + 30; x += 6) c.setPixel(x, y, kPanelPlate);
    }
    for (int step = 0; step <= 4; ++step) {
      const int y = 203 + step * 9;
      hline(c, left + 29, left + 31, y, step == 0 || step == 4 ? kInkDim : kEngraving);
    }
    vline(c, left + 30, 203, 239, kEngraving);
    tinyText(c, left + 3, 233, name, kInk);
  }
  // The colour box's seat.
  recess(c, gui::Rect::sized(193, 211, 21, 21), kRecess);
  smallCaption(c, 203, 231, "color", Align::centre);
}

void lfoAndOutput(gui::Canvas& c) {
  heading(c, 25, 244, "LFO", 121 - smallFont().textWidth("depth") - 4);
  smallCaption(c, 125, 244, "depth", Align::right);
  smallCaption(c, 25, 263, "speed");
  seat(c, gui::Rect::sized(25, 285, 95, 10));
  smallCaption(c, 25, 296, "destination");
  smallCaption(c, 147, 245, "fat", Align::centre);
  smallCaption(c, 175, 245, "phase", Align::centre);
  smallCaption(c, 203, 245, "glide", Align::centre);
  smallCaption(c, 133, 270, "volume");
  seat(c, gui::Rect::sized(133, 281, 84, 12));
}

void footer(gui::Canvas& c) {
  // The status line's window (`d` draws into it).
  recess(c, gui::Rect::sized(17, 307, 106, 15), kScreen);
  // `Image3`: the info and help keys.
  plate(c, gui::Rect::sized(32, 325, 31, 12), kPanelPlate);
  plate(c, gui::Rect::sized(65, 325, 31, 12), kPanelPlate);
  caption(c, 47, 325, "info", smallFont(), kInk, Align::centre);
  caption(c, 80, 325, "help", smallFont(), kInk, Align::centre);
  // `Image1`: the project's mark.
  recess(c, gui::Rect::sized(152, 306, 71, 37), kScreen);
  pattern(c, 179, 311,
          {"..XX.......XX....", ".X..X.....X..X...", "X....X...X....X..", "......X.X......X.", ".......X........X"},
          kAmber);
  caption(c, 187, 319, "vornhalt", headingFont(), kInk, Align::centre);
  caption(c, 187, 330, "open source", smallFont(), kInkDim, Align::centre);
}

}  // namespace

gui::Canvas panel() {
  gui::Canvas c(kWidth, kHeight, kPanel);
  frameAndCorners(c);
  titleAndRandomise(c);
  oscillators(c);
  mixBar(c);
  amplifier(c);
  filter(c);
  effectPads(c);
  lfoAndOutput(c);
  footer(c);
  return c;
}

}  // namespace marrowglint::artwork
