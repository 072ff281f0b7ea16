// The selector strips `b1`, `b2` (oscillator waves), `b3` (filter type) and
// `b4` (LFO destination): every choice is drawn in every frame, and frame i
// lights choice i.

#include <array>
#include <string_view>
#include <vector>

#include "synth/editor/artwork/Artwork.h"
#include "synth/editor/artwork/Drawing.h"
#include "synth/editor/artwork/Palette.h"

namespace marrowglint::artwork {

namespace {

using Picture = std::initializer_list<std::string_view>;

// Wave symbols, nine by six pixels.
constexpr std::string_view kSine[] = {"..XX.....", ".X..X....", "X....X...", "......X..", ".......X.",
                                      "........X"};
constexpr std::string_view kSaw[] = {"...X....X", "..XX...XX", ".X.X..X.X", "X..X.X..X", "...XX....",
                                     "...X....."};
constexpr std::string_view kSquare[] = {"XXXXX....", "X...X....", "X...X....", "X...X....", "....X...X",
                                        "....XXXXX"};
constexpr std::string_view kTriangle[] = {"..X......", ".X.X.....", "X...X....", ".....X...", "......X.X",
                                          ".......X."};
constexpr std::string_view kNoise[] = {".X....X..", ".X.X..X.X", "XX.X.XX.X", "X.XX.X.XX", "X..X.X..X",
                                       "...X....."};

struct Choice {
  int left;   // first pixel
  int right;  // last pixel
};

void segment(gui::Canvas& c, const Choice& choice, bool lit) {
  c.fillRect({choice.left, 0, choice.right + 1, c.height()}, lit ? kAmber : kRecess);
  if (choice.left > 0) vline(c, choice.left, 0, c.height() - 1, kTrack);
}

template <std::size_t N>
void symbol(gui::Canvas& c, const Choice& choice, const std::string_view (&rows)[N], gui::Color color) {
  const int x = (choice.left + choice.right + 1 - 9) / 2 + 1;
  int row = 0;
  for (const std::string_view line : rows) {
    for (std::size_t col = 0; col < line.size(); ++col) {
      if (line[col] == 'X') c.setPixel(x + static_cast<int>(col), 2 + row, color);
    }
    ++row;
  }
}

void label(gui::Canvas& c, const Choice& choice, std::string_view text, gui::Color color) {
  const int x = (choice.left + choice.right + 2 - tinyTextWidth(text)) / 2;
  tinyText(c, x, 3, text, color);
}

// The four fields of the wave and filter buttons: the press handler's
// x <= 10, <= 21, <= 32 and beyond.
constexpr std::array<Choice, 4> kFourWay = {{{0, 10}, {11, 21}, {22, 32}, {33, 46}}};

void waveStrip(gui::ImageList& list, bool noiseLast) {
  for (int lit = 0; lit < 4; ++lit) {
    gui::Canvas c(list.frameWidth(), list.frameHeight(), kRecess);
    for (int i = 0; i < 4; ++i) {
      const Choice& choice = kFourWay[static_cast<std::size_t>(i)];
      segment(c, choice, i == lit);
      const gui::Color ink = i == lit ? kTrack : kInkDim;
      switch (i) {
        case 0: symbol(c, choice, kSine, ink); break;
        case 1: symbol(c, choice, kSaw, ink); break;
        case 2: symbol(c, choice, kSquare, ink); break;
        default:
          if (noiseLast) {
            symbol(c, choice, kNoise, ink);
          } else {
            symbol(c, choice, kTriangle, ink);
          }
      }
    }
    list.add(c);
  }
}

}  // namespace

void drawOscillator1WaveStrip(gui::ImageList& list) { waveStrip(list, false); }
void drawOscillator2WaveStrip(gui::ImageList& list) { waveStrip(list, true); }

void drawFilterTypeStrip(gui::ImageList& list) {
  constexpr std::array<std::string_view, 4> names = {"LP", "HP", "S1", "S2"};
  for (int lit = 0; lit < 4; ++lit) {
    gui::Canvas c(list.frameWidth(), list.frameHeight(), kRecess);
    for (int i = 0; i < 4; ++i) {
      const Choice& choice = kFourWay[static_cast<std::size_t>(i)];
      segment(c, choice, i == lit);
      label(c, choice, names[static_cast<std::size_t>(i)], i == lit ? kTrack : kInkDim);
    }
    list.add(c);
  }
}

void drawLfoDestinationStrip(gui::ImageList& list) {
  constexpr std::array<std::string_view, 8> names = {"MIX", "FIN", "CUT", "RES", "PWM", "FM", "TUB", "RNG"};
  for (int lit = 0; lit < 8; ++lit) {
    gui::Canvas c(list.frameWidth(), list.frameHeight(), kRecess);
    for (int i = 0; i < 8; ++i) {
      // The press handler's fields: x <= 11, <= 23, ... <= 83 and beyond.
      const Choice choice{i * 12, i == 7 ? list.frameWidth() - 1 : i * 12 + 11};
      segment(c, choice, i == lit);
      label(c, choice, names[static_cast<std::size_t>(i)], i == lit ? kTrack : kInkDim);
    }
    list.add(c);
  }
}

}  // namespace marrowglint::artwork
