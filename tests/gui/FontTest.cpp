#include <gtest/gtest.h>

#include "gui/Canvas.h"
#include "gui/Font.h"

namespace {

using gui::Canvas;
using gui::Font;
using gui::FontWeight;

int inkedColumns(const Canvas& canvas) {
  int columns = 0;
  for (int x = 0; x < canvas.width(); ++x) {
    for (int y = 0; y < canvas.height(); ++y) {
      if (canvas.pixel(x, y) != canvas.pixel(0, 0)) {
        ++columns;
        break;
      }
    }
  }
  return columns;
}

TEST(Font, MetricsFollowTheRequestedHeight) {
  const Font em11(-11);
  // A character height of 11 pixels gives a cell of about 1.15 em in this
  // face (ascent 0.905 em, descent 0.212 em).
  EXPECT_EQ(em11.ascent(), 10);
  EXPECT_EQ(em11.lineHeight(), 12);
  const Font cell19(19);
  EXPECT_NEAR(cell19.lineHeight(), 19, 1);
  EXPECT_GT(Font(-19, FontWeight::bold).textWidth("SARNEL 2.3"), Font(-11, FontWeight::bold).textWidth("SARNEL 2.3"));
}

TEST(Font, WidthIsTheSumOfTheGlyphAdvances) {
  const Font font(-11);
  EXPECT_EQ(font.textWidth(""), 0);
  EXPECT_EQ(font.textWidth("ab"), font.textWidth("a") + font.textWidth("b"));
  // Metric-compatible face: a digit is 0.556 em wide, so 6 pixels at 11.
  EXPECT_EQ(font.textWidth("0"), 6);
  EXPECT_GT(Font(-11, FontWeight::bold).textWidth("WWW"), font.textWidth("www"));
}

TEST(Font, DrawsInsideItsMeasuredWidthAndCell) {
  const Font font(-11, FontWeight::bold);
  Canvas canvas(80, 20, gui::colors::black);
  font.draw(canvas, 5, 2, "C# 4", gui::colors::white);
  int left = 80, right = -1, top = 20, bottom = -1;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 80; ++x) {
      if (canvas.pixel(x, y) == gui::colors::black) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  ASSERT_GE(right, 0);
  EXPECT_GE(left, 5);
  EXPECT_LT(right, 5 + font.textWidth("C# 4") + 1);
  EXPECT_GE(top, 2);
  EXPECT_LT(bottom, 2 + font.lineHeight());
  EXPECT_GT(inkedColumns(canvas), 10);
}

TEST(Font, InvalidUtf8IsReadAsLatin1) {
  const Font font(-11);
  // "\xE9" alone is not UTF-8; it is e-acute in Latin-1 as "\xC3\xA9" is.
  EXPECT_EQ(font.textWidth("caf\xE9"), font.textWidth("caf\xC3\xA9"));
  EXPECT_GT(font.textWidth("\xE9"), 0);
}

}  // namespace
