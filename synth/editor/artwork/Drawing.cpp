#include "synth/editor/artwork/Drawing.h"

#include <array>

#include "synth/editor/artwork/Palette.h"

namespace marrowglint::artwork {

namespace {

constexpr int kCoverageSteps = 4;  // five levels: 0, 1/4 .. 1

struct TinyGlyph {
  char c;
  std::array<const char*, 5> rows;
};

// Three pixels wide, five high.
constexpr TinyGlyph kTinyGlyphs[] = {
    {'A', {".X.", "X.X", "XXX", "X.X", "X.X"}}, {'B', {"XX.", "X.X", "XX.", "X.X", "XX."}},
    {'C', {".XX", "X..", "X..", "X..", ".XX"}}, {'D', {"XX.", "X.X", "X.X", "X.X", "XX."}},
    {'E', {"XXX", "X..", "XX.", "X..", "XXX"}}, {'F', {"XXX", "X..", "XX.", "X..", "X.."}},
    {'G', {".XX", "X..", "X.X", "X.X", ".XX"}}, {'H', {"X.X", "X.X", "XXX", "X.X", "X.X"}},
    {'I', {"XXX", ".X.", ".X.", ".X.", "XXX"}}, {'L', {"X..", "X..", "X..", "X..", "XXX"}},
    {'M', {"X.X", "XXX", "XXX", "X.X", "X.X"}}, {'N', {"XX.", "X.X", "X.X", "X.X", "X.X"}},
    {'O', {".X.", "X.X", "X.X", "X.X", ".X."}}, {'P', {"XX.", "X.X", "XX.", "X..", "X.."}},
    {'Q', {".X.", "X.X", "X.X", "XX.", ".XX"}}, {'R', {"XX.", "X.X", "XX.", "X.X", "X.X"}},
    {'S', {".XX", "X..", ".X.", "..X", "XX."}}, {'T', {"XXX", ".X.", ".X.", ".X.", ".X."}},
    {'U', {"X.X", "X.X", "X.X", "X.X", "XXX"}}, {'V', {"X.X", "X.X", "X.X", "X.X", ".X."}},
    {'W', {"X.X", "X.X", "XXX", "XXX", "X.X"}}, {'X', {"X.X", "X.X", ".X.", "X.X", "X.X"}},
    {'Y', {"X.X", "X.X", ".X.", ".X.", ".X."}}, {'0', {"XXX", "X.X", "X.X", "X.X", "XXX"}},
    {'1', {".X.", "XX.", ".X.", ".X.", "XXX"}}, {'2', {"XX.", "..X", ".X.", "X..", "XXX"}},
    {'3', {"XX.", "..X", ".X.", "..X", "XX."}}, {'4', {"X.X", "X.X", "XXX", "..X", "..X"}},
    {'-', {"...", "...", "XXX", "...", "..."}}, {' ', {"...", "...", "...", "...", "..."}},
};

const TinyGlyph* tinyGlyph(char c) {
  for (const TinyGlyph& g : kTinyGlyphs) {
    if (g.c == c) return &g;
  }
  return nullptr;
}

}  // namespace

void hline(gui::Canvas& canvas, int x0, int x1, int y, gui::Color color) {
  canvas.fillRect({x0, y, x1 + 1, y + 1}, color);
}

void vline(gui::Canvas& canvas, int x, int y0, int y1, gui::Color color) {
  canvas.fillRect({x, y0, x + 1, y1 + 1}, color);
}

void plate(gui::Canvas& canvas, const gui::Rect& r, gui::Color face) {
  canvas.fillRect(r, face);
  hline(canvas, r.left, r.right - 1, r.top, kPanelHighlight);
  vline(canvas, r.left, r.top, r.bottom - 1, kPanelHighlight);
  hline(canvas, r.left + 1, r.right - 1, r.bottom - 1, kPanelShadow);
  vline(canvas, r.right - 1, r.top + 1, r.bottom - 1, kPanelShadow);
}

void recess(gui::Canvas& canvas, const gui::Rect& r, gui::Color face) {
  canvas.fillRect(r, face);
  hline(canvas, r.left, r.right - 1, r.top, kPanelShadow);
  vline(canvas, r.left, r.top, r.bottom - 1, kPanelShadow);
  hline(canvas, r.left + 1, r.right - 1, r.bottom - 1, kPanelHighlight);
  vline(canvas, r.right - 1, r.top + 1, r.bottom - 1, kPanelHighlight);
}

void caption(gui::Canvas& canvas, int x, int y, std::string_view text, const gui::Font& font, gui::Color color,
             Align align) {
  const int width = font.textWidth(text);
  const int height = font.lineHeight();
  if (width <= 0 || height <= 0) return;
  if (align == Align::centre) x -= width / 2;
  if (align == Align::right) x -= width;
  // The glyphs' coverage, drawn white on black, then laid on in five steps.
  gui::Canvas mask(width + 2, height, gui::colors::black);
  font.draw(mask, 1, 0, text, gui::colors::white);
  for (int row = 0; row < mask.height(); ++row) {
    for (int col = 0; col < mask.width(); ++col) {
      const int coverage = gui::redOf(mask.pixel(col, row));
      const int step = (coverage * kCoverageSteps + 127) / 255;
      if (step == 0) continue;
      canvas.blendPixel(x + col - 1, y + row, color, step * 255 / kCoverageSteps);
    }
  }
}

int tinyTextWidth(std::string_view text) { return text.empty() ? 0 : static_cast<int>(text.size()) * 4 - 1; }

void tinyText(gui::Canvas& canvas, int x, int y, std::string_view text, gui::Color color) {
  for (const char c : text) {
    if (const TinyGlyph* g = tinyGlyph(c)) {
      for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 3; ++col) {
          if (g->rows[static_cast<std::size_t>(row)][col] == 'X') canvas.setPixel(x + col, y + row, color);
        }
      }
    }
    x += 4;
  }
}

void pattern(gui::Canvas& canvas, int x, int y, std::initializer_list<std::string_view> rows, gui::Color color) {
  int row = 0;
  for (const std::string_view line : rows) {
    for (std::size_t col = 0; col < line.size(); ++col) {
      if (line[col] == 'X') canvas.setPixel(x + static_cast<int>(col), y + row, color);
    }
    ++row;
  }
}

const gui::Font& smallFont() {
  static const gui::Font font(-9, gui::FontWeight::regular);
  return font;
}

const gui::Font& headingFont() {
  static const gui::Font font(-9, gui::FontWeight::bold);
  return font;
}

const gui::Font& titleFont() {
  static const gui::Font font(-17, gui::FontWeight::bold);
  return font;
}

}  // namespace marrowglint::artwork
