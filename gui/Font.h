#pragma once
// Text in the editors: an embedded sans-serif TrueType face (regular and
// bold, metric-compatible with the faces the editors are designed with),
// rasterised in process with grey antialiasing. Every target draws the same
// pixels. Fonts and their glyph caches belong to the GUI thread.

#include <memory>
#include <string_view>

#include "gui/Canvas.h"

namespace gui {

enum class FontWeight { regular, bold };

class Font {
 public:
  // `height` as the toolkit counts it: negative for the character (em) height
  // in pixels, positive for the cell height (ascent plus descent).
  explicit Font(int height = -11, FontWeight weight = FontWeight::regular);

  int height() const { return height_; }
  FontWeight weight() const { return weight_; }
  // Cell height: ascent plus descent in whole pixels; one line of text.
  int lineHeight() const;
  int ascent() const;
  // Width of one line of text: the sum of the glyphs' whole-pixel advances.
  int textWidth(std::string_view text) const;
  // Draws one line with its cell's top-left corner at (x, y). Text is UTF-8;
  // bytes that do not form UTF-8 are read as Latin-1.
  void draw(Canvas& canvas, int x, int y, std::string_view text, Color color) const;

  friend bool operator==(const Font& a, const Font& b) { return a.height_ == b.height_ && a.weight_ == b.weight_; }

  class Face;

 private:
  int height_;
  FontWeight weight_;
  std::shared_ptr<Face> face_;
};

}  // namespace gui
