#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <utility>

#include "gui/Canvas.h"

namespace {

using gui::Canvas;
using gui::Color;
using gui::Point;
using gui::Rect;
using gui::rgb;

constexpr Color kInk = rgb(10, 200, 30);
constexpr Color kPaper = rgb(0, 0, 0);

std::set<std::pair<int, int>> inked(const Canvas& canvas, Color ink = kInk) {
  std::set<std::pair<int, int>> set;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if (canvas.pixel(x, y) == ink) set.insert({x, y});
    }
  }
  return set;
}

TEST(CanvasFill, RightAndBottomEdgesAreExcluded) {
  Canvas canvas(10, 8, kPaper);
  canvas.fillRect({2, 3, 5, 4}, kInk);
  EXPECT_EQ(inked(canvas), (std::set<std::pair<int, int>>{{2, 3}, {3, 3}, {4, 3}}));
}

TEST(CanvasFill, ClipsToTheSurfaceAndToTheView) {
  Canvas canvas(6, 6, kPaper);
  canvas.fillRect({-5, -5, 2, 1}, kInk);
  EXPECT_EQ(inked(canvas), (std::set<std::pair<int, int>>{{0, 0}, {1, 0}}));
  Canvas viewed(6, 6, kPaper);
  {
    Canvas::View view(viewed, {2, 2}, {2, 2, 4, 3});
    viewed.fillRect({0, 0, 10, 10}, kInk);  // local (0,0) is absolute (2,2)
  }
  EXPECT_EQ(inked(viewed), (std::set<std::pair<int, int>>{{2, 2}, {3, 2}}));
  // The view is gone: drawing reaches the whole surface again.
  viewed.fillRect({5, 5, 6, 6}, kInk);
  EXPECT_EQ(viewed.pixel(5, 5), kInk);
}

TEST(CanvasFill, ARectangleBesideTheClipDrawsNothing) {
  // Wholly right of the surface, overlapping it in height: the clipped
  // rectangle has its left edge beyond its right one.
  Canvas canvas(6, 6, kPaper);
  canvas.fillRect({8, 0, 9, 6}, kInk);
  canvas.frameRect({2, 1, 9, 5}, kInk);  // its right edge lies outside
  EXPECT_EQ(inked(canvas).count({5, 1}), 1u);
  EXPECT_EQ(inked(canvas).count({2, 3}), 1u);
  EXPECT_EQ(inked(canvas).count({4, 3}), 0u);
}

TEST(CanvasLine, ExcludesTheEndPixel) {
  Canvas canvas(10, 10, kPaper);
  canvas.line({1, 1}, {5, 1}, kInk);
  EXPECT_EQ(inked(canvas), (std::set<std::pair<int, int>>{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));
}

TEST(CanvasLine, ZeroLengthDrawsNothing) {
  Canvas canvas(4, 4, kPaper);
  canvas.line({2, 2}, {2, 2}, kInk);
  EXPECT_TRUE(inked(canvas).empty());
}

TEST(CanvasLine, VerticalMarkerColumnIsOnePixelWide) {
  // The waveform's loop markers: from row 0 to row 91 of a 91-row display.
  Canvas canvas(424, 91, kPaper);
  canvas.line({200, 0}, {200, 91}, kInk);
  const auto pixels = inked(canvas);
  EXPECT_EQ(pixels.size(), 91u);
  EXPECT_TRUE(pixels.count({200, 0}));
  EXPECT_TRUE(pixels.count({200, 90}));
}

TEST(CanvasLine, ShallowSlopeFollowsBresenham) {
  Canvas canvas(10, 10, kPaper);
  canvas.line({0, 0}, {6, 2}, kInk);
  // One pixel per column, the row stepping where the exact line crosses .5.
  EXPECT_EQ(inked(canvas), (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}));
}

TEST(CanvasLine, IsTheSameInBothDirectionsButForTheExcludedEnd) {
  Canvas forward(20, 20, kPaper);
  Canvas backward(20, 20, kPaper);
  forward.line({1, 2}, {17, 9}, kInk);
  backward.line({17, 9}, {1, 2}, kInk);
  auto a = inked(forward);
  auto b = inked(backward);
  a.insert({17, 9});
  b.insert({1, 2});
  EXPECT_EQ(a.size(), 17u);
  EXPECT_EQ(b.size(), 17u);
}

TEST(CanvasSmoothLine, CoversTheExactLineAndStaysNearIt) {
  Canvas canvas(20, 20, kPaper);
  const Color white = rgb(255, 255, 255);
  canvas.smoothLine(2.0, 3.0, 12.0, 3.0, white);
  // A horizontal line on pixel centres is drawn at full strength; the end
  // pixels are covered from their centre on, so half.
  for (int x = 3; x <= 11; ++x) EXPECT_EQ(canvas.pixel(x, 3), white) << x;
  EXPECT_NEAR(gui::redOf(canvas.pixel(2, 3)), 128, 1);
  EXPECT_NEAR(gui::redOf(canvas.pixel(12, 3)), 128, 1);
  EXPECT_EQ(canvas.pixel(2, 2), kPaper);
  EXPECT_EQ(canvas.pixel(1, 3), kPaper);
  EXPECT_EQ(canvas.pixel(13, 3), kPaper);
  Canvas half(20, 20, kPaper);
  half.smoothLine(2.0, 3.5, 12.0, 3.5, white);
  // Halfway between two rows each gets half the ink (127 or 128 of 255).
  EXPECT_NEAR(gui::redOf(half.pixel(6, 3)), 128, 1);
  EXPECT_NEAR(gui::redOf(half.pixel(6, 4)), 128, 1);
}

TEST(CanvasBlit, TransparentColourLeavesTheBackground) {
  Canvas source(3, 1, kPaper);
  source.setPixel(0, 0, rgb(0, 255, 255));
  source.setPixel(1, 0, kInk);
  source.setPixel(2, 0, rgb(0, 255, 255));
  Canvas target(5, 2, rgb(9, 9, 9));
  target.drawTransparent(source, source.bounds(), {1, 1}, rgb(0, 255, 255));
  EXPECT_EQ(target.pixel(1, 1), rgb(9, 9, 9));
  EXPECT_EQ(target.pixel(2, 1), kInk);
  EXPECT_EQ(target.pixel(3, 1), rgb(9, 9, 9));
}

TEST(CanvasBlit, CopiesAPartialSourceRectangleClipped) {
  Canvas source(4, 4, kPaper);
  source.setPixel(2, 1, kInk);
  Canvas target(3, 3, rgb(1, 1, 1));
  target.draw(source, {2, 1, 4, 3}, {-1, 2});  // (2,1) lands at (-1,2): outside
  EXPECT_TRUE(inked(target).empty());
  target.draw(source, {2, 1, 4, 3}, {1, 0});
  EXPECT_EQ(target.pixel(1, 0), kInk);
  EXPECT_EQ(target.pixel(2, 1), kPaper);
  EXPECT_EQ(target.pixel(0, 0), rgb(1, 1, 1));
}

TEST(CanvasBlit, StretchPicksTheNearestSourcePixel) {
  Canvas source(2, 1, kPaper);
  source.setPixel(1, 0, kInk);
  Canvas target(4, 2, rgb(1, 1, 1));
  target.stretchDraw(source, source.bounds(), {0, 0, 4, 2});
  EXPECT_EQ(inked(target), (std::set<std::pair<int, int>>{{2, 0}, {3, 0}, {2, 1}, {3, 1}}));
  // Shrinking 4 columns to 2 keeps columns 0 and 2's neighbours by centre.
  Canvas wide(4, 1, kPaper);
  wide.setPixel(1, 0, kInk);
  Canvas narrow(2, 1, rgb(1, 1, 1));
  narrow.stretchDraw(wide, wide.bounds(), {0, 0, 2, 1});
  EXPECT_EQ(narrow.pixel(0, 0), kInk);
  EXPECT_EQ(narrow.pixel(1, 0), kPaper);
}

TEST(CanvasBlit, ExclusiveOrCombinesAndTwiceRestores) {
  Canvas target(2, 1, rgb(0x12, 0x34, 0x56));
  Canvas mask(1, 1, rgb(0xFF, 0x00, 0x0F));
  target.xorDraw(mask, {1, 0});
  EXPECT_EQ(target.pixel(1, 0) & 0xFFFFFFu, 0xED3459u);
  EXPECT_EQ(target.pixel(0, 0), rgb(0x12, 0x34, 0x56));
  target.xorDraw(mask, {1, 0});
  EXPECT_EQ(target.pixel(1, 0), rgb(0x12, 0x34, 0x56));
}

TEST(CanvasShapes, EllipseIsSymmetricAndOutlined) {
  Canvas canvas(21, 11, kPaper);
  const Color face = rgb(200, 200, 200);
  canvas.ellipse({0, 0, 21, 11}, face, kInk);
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 21; ++x) {
      EXPECT_EQ(canvas.pixel(x, y), canvas.pixel(20 - x, y)) << x << "," << y;
      EXPECT_EQ(canvas.pixel(x, y), canvas.pixel(x, 10 - y)) << x << "," << y;
    }
  }
  EXPECT_EQ(canvas.pixel(10, 5), face);
  EXPECT_EQ(canvas.pixel(0, 5), kInk);
  EXPECT_EQ(canvas.pixel(10, 0), kInk);
  EXPECT_EQ(canvas.pixel(0, 0), kPaper);
}

TEST(CanvasShapes, QuarterPieCoversAQuarterOfTheDisc) {
  Canvas disc(41, 41, kPaper);
  disc.ellipse({0, 0, 41, 41}, kInk, kInk);
  Canvas quarter(41, 41, kPaper);
  constexpr double kHalfPi = 1.5707963267948966;
  quarter.pie({0, 0, 41, 41}, kHalfPi, 2 * kHalfPi, kInk, kInk);
  const double share = static_cast<double>(inked(quarter).size()) / static_cast<double>(inked(disc).size());
  EXPECT_NEAR(share, 0.25, 0.03);
  // Upper-left quarter: counter-clockwise from straight up to the left.
  EXPECT_EQ(quarter.pixel(10, 10), kInk);
  EXPECT_EQ(quarter.pixel(30, 10), kPaper);
  EXPECT_EQ(quarter.pixel(10, 30), kPaper);
}

TEST(CanvasPng, WritesAValidPngFile) {
  Canvas canvas(3, 2, rgb(1, 2, 3));
  const std::string path = std::string(VORNHALT_BINARY_DIR) + "/canvas_png_test.png";
  ASSERT_TRUE(canvas.savePng(path));
  std::ifstream file(path, std::ios::binary);
  char signature[8] = {};
  file.read(signature, 8);
  EXPECT_EQ(std::string(signature + 1, 3), "PNG");
  std::remove(path.c_str());
  EXPECT_FALSE(Canvas().savePng(path));
}

}  // namespace
