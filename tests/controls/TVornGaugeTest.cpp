#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/ControlErrors.h"
#include "controls/TVornGauge.h"
#include "gui/Form.h"

namespace {

using controls::TVornGauge;
using gui::rgb;

constexpr gui::Color kInk = rgb(250, 220, 40);
constexpr gui::Color kBackground = rgb(20, 30, 40);

// A gauge as the sampler's editor sets them up: no text, no frame.
TVornGauge& editorGauge(gui::Form& form, int width, int height, controls::TVornGaugeKind kind) {
  auto& g = form.add<TVornGauge>(gui::Rect::sized(0, 0, width, height));
  g.setKind(kind);
  g.setShowText(false);
  g.setBorderStyle(controls::bsNone);
  g.setForeColor(kInk);
  g.setBackColor(kBackground);
  g.setBorderColor(kInk);
  return g;
}

// Columns of row `y` painted in the ink colour.
std::vector<int> inkedColumns(const gui::Canvas& c, int y) {
  std::vector<int> columns;
  for (int x = 0; x < c.width(); ++x) {
    if (c.pixel(x, y) == kInk) columns.push_back(x);
  }
  return columns;
}

std::vector<int> span(int first, int last) {
  std::vector<int> v;
  for (int x = first; x <= last; ++x) v.push_back(x);
  return v;
}

TEST(TVornGaugeBars, RangeFillsFromStartToBeforeEnd) {
  gui::Form form(300, 100);
  auto& g = editorGauge(form, 185, 23, controls::gkHorizontalBar);
  g.setRangeMin(50);
  g.setRangeMax(120);
  const gui::Canvas picture = g.render();
  EXPECT_EQ(inkedColumns(picture, 0), span(50, 119));
  EXPECT_EQ(inkedColumns(picture, 22), span(50, 119));
  EXPECT_EQ(picture.pixel(49, 10), kBackground);
}

TEST(TVornGaugeBars, WrappedRangeFillsBothEnds) {
  gui::Form form(300, 100);
  auto& g = editorGauge(form, 185, 23, controls::gkHorizontalBar);
  g.setRangeMin(150);
  g.setRangeMax(30);
  std::vector<int> expected = span(0, 29);
  for (int x : span(149, 183)) expected.push_back(x);
  EXPECT_EQ(inkedColumns(g.render(), 11), expected);
}

TEST(TVornGaugeBars, CentreOriginGrowsFromTheMiddle) {
  gui::Form form(300, 100);
  auto& g = editorGauge(form, 185, 23, controls::gkHorizontalBar);
  g.setCenterOrigin(true);
  g.setMaxValue(185);
  g.setProgress(40);  // p = 22: at most 50
  g.setRangeMax(60);
  // w = 186, c = 93: from 93 - (186 - 60) (left of the edge) to 93.
  EXPECT_EQ(inkedColumns(g.render(), 5), span(0, 92));
  g.setProgress(150);  // p = 81
  g.setRangeMax(150);
  EXPECT_EQ(inkedColumns(g.render(), 5), span(93, 149));
}

TEST(TVornGaugeBars, VerticalBarHangsFromItsEndToTheBottom) {
  gui::Form form(300, 300);
  auto& g = editorGauge(form, 23, 185, controls::gkVerticalBar);
  g.setRangeMin(10);  // not used
  g.setRangeMax(100);
  const gui::Canvas picture = g.render();
  EXPECT_EQ(picture.pixel(5, 99), kBackground);
  EXPECT_EQ(picture.pixel(5, 100), kInk);
  EXPECT_EQ(picture.pixel(22, 184), kInk);
  EXPECT_EQ(picture.pixel(0, 100), kInk);
}

TEST(TVornGaugeBars, SingleBorderDrawsTwoRingsInsideABlackEdge) {
  gui::Form form(100, 100);
  auto& g = editorGauge(form, 20, 10, controls::gkHorizontalBar);
  g.setBorderStyle(controls::bsSingle);
  g.setBorderColor(rgb(200, 0, 0));
  const gui::Canvas picture = g.render();
  EXPECT_EQ(picture.pixel(0, 0), gui::colors::black);
  EXPECT_EQ(picture.pixel(1, 1), rgb(200, 0, 0));
  EXPECT_EQ(picture.pixel(18, 8), rgb(200, 0, 0));
  EXPECT_EQ(picture.pixel(2, 2), kBackground);
}

TEST(TVornGaugeRange, EndsAreClampedToTheBarLength) {
  gui::Form form(300, 300);
  auto& horizontal = editorGauge(form, 185, 23, controls::gkHorizontalBar);
  horizontal.setRangeMax(500);
  EXPECT_EQ(horizontal.RangeMax(), 185);
  horizontal.setRangeMax(-4);
  EXPECT_EQ(horizontal.RangeMax(), 0);
  auto& vertical = editorGauge(form, 23, 185, controls::gkVerticalBar);
  vertical.setRangeMax(500);
  EXPECT_EQ(vertical.RangeMax(), 185);
  vertical.setRangeMin(-1);
  EXPECT_EQ(vertical.RangeMin(), 0);
}

TEST(TVornGaugeRange, RangeSettersRepaintEvenWhenUnchanged) {
  gui::Form form(300, 100);
  auto& g = editorGauge(form, 185, 23, controls::gkHorizontalBar);
  g.setRangeMax(20);
  form.paintDirty();
  g.setRangeMax(20);
  EXPECT_TRUE(form.needsPaint());
}

TEST(TVornGaugeValues, PercentageRoundsHalvesToEven) {
  gui::Form form(300, 100);
  auto& g = editorGauge(form, 185, 23, controls::gkHorizontalBar);
  g.setMinValue(0);
  g.setMaxValue(185);
  g.setProgress(126);
  EXPECT_EQ(g.percent(), 68);
  g.setMaxValue(200);
  g.setProgress(1);  // 0.5 % rounds to 0
  EXPECT_EQ(g.percent(), 0);
  g.setProgress(3);  // 1.5 % rounds to 2
  EXPECT_EQ(g.percent(), 2);
  g.setMinValue(5);
  g.setMaxValue(5);
  EXPECT_EQ(g.percent(), 0);  // no span
}

TEST(TVornGaugeValues, ProgressIsLimitedAndRepaintsOnlyWhenThePercentageMoves) {
  gui::Form form(300, 100);
  auto& g = editorGauge(form, 185, 23, controls::gkHorizontalBar);
  g.setMaxValue(1000);
  form.paintDirty();
  g.setProgress(2);  // still 0 %
  EXPECT_EQ(g.Progress(), 2);
  EXPECT_FALSE(form.needsPaint());
  g.setProgress(20);  // 2 %
  EXPECT_TRUE(form.needsPaint());
  g.setProgress(5000);
  EXPECT_EQ(g.Progress(), 1000);
  g.setProgress(-5);
  EXPECT_EQ(g.Progress(), 0);
}

TEST(TVornGaugeValues, BoundsInTheWrongOrderFailOutsideLoading) {
  gui::Form form(300, 100);
  auto& g = editorGauge(form, 185, 23, controls::gkHorizontalBar);
  try {
    g.setMinValue(101);
    FAIL() << "accepted a minimum above the maximum";
  } catch (const controls::InvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Value must be between -2147483647 and 99");
  }
  EXPECT_EQ(g.MinValue(), 0);
  try {
    g.setMaxValue(-1);
    FAIL() << "accepted a maximum below the minimum";
  } catch (const controls::InvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Value must be between 1 and 2147483647");
  }
  EXPECT_EQ(g.MaxValue(), 100);
  g.setLoading(true);
  g.setMinValue(300);  // any order while the form loads
  g.setMaxValue(400);
  g.setLoading(false);
  EXPECT_EQ(g.MinValue(), 300);
  EXPECT_EQ(g.Progress(), 300);  // raised to the new minimum
}

TEST(TVornGaugeText, TextFollowsTheModeAndTheTag) {
  gui::Form form(300, 100);
  auto& g = editorGauge(form, 185, 23, controls::gkHorizontalBar);
  g.setProgress(42);
  EXPECT_EQ(g.text(), "42%");
  g.setCenterOrigin(true);
  EXPECT_EQ(g.text(), "16%");  // 100 - 2p
  g.tag = TVornGauge::kSignedTextTag;
  g.setProgress(0);
  EXPECT_EQ(g.text(), "24");
  g.setProgress(100);
  EXPECT_EQ(g.text(), "-24");
  g.setProgress(51);  // round(-0.48) = 0 (ties and small values)
  EXPECT_EQ(g.text(), "0");
}

TEST(TVornGaugeText, TextInvertsWhatLiesUnderIt) {
  gui::Form form(300, 100);
  auto& g = editorGauge(form, 60, 20, controls::gkText);
  g.setShowText(true);
  g.setBackColor(gui::colors::white);
  g.setFont(gui::Font(-11, gui::FontWeight::bold), gui::colors::white);
  g.setProgress(50);
  const gui::Canvas picture = g.render();
  int inverted = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 60; ++x) {
      if (picture.pixel(x, y) != gui::colors::white) ++inverted;  // white ^ text
    }
  }
  EXPECT_GT(inverted, 20);
  EXPECT_EQ(picture.pixel(0, 0), gui::colors::white);
}

TEST(TVornGaugeShapes, PieCoversItsShareAndNeedleStartsAtTheBottomCentre) {
  gui::Form form(300, 300);
  auto& pie = editorGauge(form, 101, 101, controls::gkPie);
  pie.setColor(rgb(1, 2, 3));
  pie.setProgress(25);
  gui::Canvas picture = pie.render();
  // A quarter from the top centre counter-clockwise: the upper-left quadrant.
  EXPECT_EQ(picture.pixel(30, 30), kInk);
  EXPECT_EQ(picture.pixel(70, 30), kBackground);
  EXPECT_EQ(picture.pixel(30, 70), kBackground);
  EXPECT_EQ(picture.pixel(0, 0), rgb(1, 2, 3));
  pie.setInvertPie(true);
  picture = pie.render();
  EXPECT_EQ(picture.pixel(30, 30), kInk);  // 75 % now
  EXPECT_EQ(picture.pixel(30, 70), kInk);
  EXPECT_EQ(picture.pixel(70, 30), kBackground);

  auto& needle = editorGauge(form, 101, 51, controls::gkNeedle);
  needle.setProgress(50);  // straight up
  picture = needle.render();
  EXPECT_EQ(picture.pixel(50, 49), kInk);
  EXPECT_EQ(picture.pixel(50, 20), kInk);
  EXPECT_EQ(picture.pixel(20, 40), kBackground);
}

TEST(TVornGaugePress, ShiftLeftPressIsSeenTwiceWithTheOldMarkFirst) {
  gui::Form form(300, 100);
  auto& g = editorGauge(form, 185, 23, controls::gkHorizontalBar);
  std::vector<bool> marks;
  g.onMouseDown = [&](gui::Component&, const gui::MouseEvent&) { marks.push_back(g.ShiftLeftMark); };
  g.mouseDown(controls::testing::press(gui::MouseButton::left, 0));
  g.mouseDown(controls::testing::press(gui::MouseButton::left, gui::kShift));
  g.mouseDown(controls::testing::press(gui::MouseButton::right, gui::kShift));
  EXPECT_EQ(marks, (std::vector<bool>{false, false, false, true, true, false}));
  int moves = 0;
  g.onMouseMove = [&](gui::Component&, const gui::MouseEvent&) { ++moves; };
  g.mouseMove(controls::testing::move(gui::kLeft, 3, 3));
  EXPECT_EQ(moves, 1);
}

}  // namespace
