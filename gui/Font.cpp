#include "gui/Font.h"

#include <array>
#include <cmath>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gui/Utf8.h"

#include <stb_truetype.h>

namespace gui {

namespace fontdata {
extern const unsigned char LiberationSansRegular[];
extern const std::size_t LiberationSansRegular_size;
extern const unsigned char LiberationSansBold[];
extern const std::size_t LiberationSansBold_size;
}  // namespace fontdata

namespace {

struct Glyph {
  int width = 0;
  int height = 0;
  int offsetX = 0;  // from the pen position
  int offsetY = 0;  // from the baseline, downwards
  int advance = 0;  // whole pixels
  std::vector<unsigned char> coverage;
};

const stbtt_fontinfo& fontInfo(FontWeight weight) {
  static const std::array<stbtt_fontinfo, 2> faces = [] {
    std::array<stbtt_fontinfo, 2> loaded{};
    stbtt_InitFont(&loaded[0], fontdata::LiberationSansRegular, 0);
    stbtt_InitFont(&loaded[1], fontdata::LiberationSansBold, 0);
    return loaded;
  }();
  return faces[weight == FontWeight::bold ? 1 : 0];
}

}  // namespace

// One face at one size with its glyphs, shared by every Font of that size.
class Font::Face {
 public:
  Face(int height, FontWeight weight) : info_(fontInfo(weight)) {
    scale_ = height < 0 ? stbtt_ScaleForMappingEmToPixels(&info_, static_cast<float>(-height))
                        : stbtt_ScaleForPixelHeight(&info_, static_cast<float>(height));
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&info_, &ascent, &descent, &gap);
    ascent_ = static_cast<int>(std::nearbyint(ascent * scale_));
    descent_ = static_cast<int>(std::nearbyint(-descent * scale_));
  }

  int ascent() const { return ascent_; }
  int lineHeight() const { return ascent_ + descent_; }

  const Glyph& glyph(char32_t codepoint) {
    auto found = glyphs_.find(codepoint);
    if (found != glyphs_.end()) return found->second;
    Glyph g;
    const int index = stbtt_FindGlyphIndex(&info_, static_cast<int>(codepoint));
    int advance = 0, bearing = 0;
    stbtt_GetGlyphHMetrics(&info_, index, &advance, &bearing);
    g.advance = static_cast<int>(std::nearbyint(advance * scale_));
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetGlyphBitmapBox(&info_, index, scale_, scale_, &x0, &y0, &x1, &y1);
    g.width = std::max(x1 - x0, 0);
    g.height = std::max(y1 - y0, 0);
    g.offsetX = x0;
    g.offsetY = y0;
    g.coverage.assign(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height), 0);
    if (!g.coverage.empty()) {
      stbtt_MakeGlyphBitmap(&info_, g.coverage.data(), g.width, g.height, g.width, scale_, scale_, index);
    }
    return glyphs_.emplace(codepoint, std::move(g)).first->second;
  }

 private:
  const stbtt_fontinfo& info_;
  float scale_ = 1.0f;
  int ascent_ = 0;
  int descent_ = 0;
  std::unordered_map<char32_t, Glyph> glyphs_;
};

namespace {
std::shared_ptr<Font::Face> sharedFace(int height, FontWeight weight) {
  static std::map<std::pair<int, FontWeight>, std::shared_ptr<Font::Face>> faces;
  auto& face = faces[{height, weight}];
  if (!face) face = std::make_shared<Font::Face>(height, weight);
  return face;
}
}  // namespace

Font::Font(int height, FontWeight weight)
    : height_(height == 0 ? -11 : height), weight_(weight), face_(sharedFace(height_, weight_)) {}

int Font::lineHeight() const { return face_->lineHeight(); }
int Font::ascent() const { return face_->ascent(); }

int Font::textWidth(std::string_view text) const {
  int width = 0;
  forEachCodepoint(text, [&](char32_t c) { width += face_->glyph(c).advance; });
  return width;
}

void Font::draw(Canvas& canvas, int x, int y, std::string_view text, Color color) const {
  const int baseline = y + face_->ascent();
  int pen = x;
  forEachCodepoint(text, [&](char32_t c) {
    const Glyph& g = face_->glyph(c);
    for (int row = 0; row < g.height; ++row) {
      for (int col = 0; col < g.width; ++col) {
        const int coverage = g.coverage[static_cast<std::size_t>(row) * g.width + col];
        canvas.blendPixel(pen + g.offsetX + col, baseline + g.offsetY + row, color, coverage);
      }
    }
    pen += g.advance;
  });
}

}  // namespace gui
