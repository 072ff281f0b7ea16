// The artwork's promises: colour depths of the pictures that the design
// gives in 8 or 1 bits, the transparent colour only where the panel is cut
// away, the same pixels on every drawing, and strips whose frames tell their
// positions apart.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <vector>

#include "gui/ImageList.h"
#include "synth/editor/artwork/Artwork.h"

namespace {

using namespace marrowglint;

std::size_t colourCount(const gui::Canvas& c) {
  std::set<gui::Color> seen;
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) seen.insert(c.pixel(x, y) & 0xFFFFFFu);
  }
  return seen.size();
}

bool samePixels(const gui::Canvas& a, const gui::Canvas& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  return std::equal(a.pixels(), a.pixels() + a.width() * a.height(), b.pixels());
}

TEST(MarrowglintArtwork, PicturesKeepTheirDesignedColourDepths) {
  const gui::Canvas panel = artwork::panel();
  EXPECT_EQ(panel.width(), 239);
  EXPECT_EQ(panel.height(), 358);
  EXPECT_LE(colourCount(panel), 256u);
  const gui::Canvas help = artwork::helpScreen();
  EXPECT_EQ(help.width(), 239);
  EXPECT_EQ(help.height(), 358);
  EXPECT_LE(colourCount(help), 256u);
  EXPECT_EQ(colourCount(artwork::markerA()), 2u);
  EXPECT_LE(colourCount(artwork::markerB()), 256u);
  EXPECT_GT(colourCount(artwork::markerB()), 2u);
  const gui::Canvas info = artwork::infoScreen();
  EXPECT_EQ(info.width(), 239);
  EXPECT_EQ(info.height(), 358);
}

TEST(MarrowglintArtwork, ThePanelIsTransparentOnlyAtItsCutCorners) {
  const gui::Canvas panel = artwork::panel();
  int transparent = 0;
  for (int y = 0; y < panel.height(); ++y) {
    for (int x = 0; x < panel.width(); ++x) {
      if (!gui::sameColor(panel.pixel(x, y), gui::colors::aqua)) continue;
      ++transparent;
      const bool nearCorner = (x < 2 || x >= panel.width() - 2) && (y < 2 || y >= panel.height() - 2);
      EXPECT_TRUE(nearCorner) << x << ", " << y;
    }
  }
  EXPECT_GT(transparent, 0);
}

TEST(MarrowglintArtwork, EveryDrawingGivesTheSamePixels) {
  EXPECT_TRUE(samePixels(artwork::panel(), artwork::panel()));
  EXPECT_TRUE(samePixels(artwork::infoScreen(), artwork::infoScreen()));
  EXPECT_TRUE(samePixels(artwork::helpScreen(), artwork::helpScreen()));
}

// The leftmost column of a frame where the knob colour appears.
int knobColumn(const gui::Canvas& frame, int row) {
  for (int x = 0; x < frame.width(); ++x) {
    if (gui::redOf(frame.pixel(x, row)) > 200 && gui::blueOf(frame.pixel(x, row)) > 200) return x;
  }
  return -1;
}

TEST(MarrowglintArtwork, SliderKnobsMoveAlongTheTrackFrameByFrame) {
  gui::ImageList strip(99, 6);
  artwork::drawHorizontalSliderStrip(strip, 94, artwork::SliderAccent::oscillator1);
  ASSERT_EQ(strip.count(), 94);
  int last = -1;
  for (int i = 0; i < strip.count(); ++i) {
    const int x = knobColumn(strip.frame(i), 0);
    ASSERT_GE(x, 0) << "frame " << i;
    EXPECT_GE(x, last) << "frame " << i;
    last = x;
  }
  // The knob's light face starts one pixel inside its shaded edge.
  EXPECT_EQ(knobColumn(strip.frame(0), 0), 1);
  EXPECT_EQ(knobColumn(strip.frame(93), 0), 99 - 5 + 1);

  gui::ImageList vertical(6, 48);
  artwork::drawVerticalSliderStrip(vertical, 36);
  ASSERT_EQ(vertical.count(), 36);
  // Frame 0 has the knob at the bottom, the last at the top.
  EXPECT_TRUE(gui::redOf(vertical.frame(0).pixel(0, 45)) > 200);
  EXPECT_TRUE(gui::redOf(vertical.frame(35).pixel(0, 2)) > 200);
}

TEST(MarrowglintArtwork, SelectorFramesLightOneChoiceEach) {
  gui::ImageList b4(95, 10);
  artwork::drawLfoDestinationStrip(b4);
  ASSERT_EQ(b4.count(), 8);
  for (int i = 0; i < 8; ++i) {
    for (int j = i + 1; j < 8; ++j) EXPECT_FALSE(samePixels(b4.frame(i), b4.frame(j))) << i << " " << j;
    // The lit field's ground is the accent colour; the others' is not.
    for (int field = 0; field < 8; ++field) {
      const bool lit = gui::redOf(b4.frame(i).pixel(field * 12 + 1, 1)) > 200;
      EXPECT_EQ(lit, field == i) << "frame " << i << " field " << field;
    }
  }
  gui::ImageList b1(46, 10), b3(47, 10);
  artwork::drawOscillator1WaveStrip(b1);
  artwork::drawFilterTypeStrip(b3);
  EXPECT_EQ(b1.count(), 4);
  EXPECT_EQ(b3.count(), 4);
  constexpr std::array<int, 4> fieldLeft = {1, 12, 23, 34};
  for (std::size_t i = 0; i < 4; ++i) {
    for (std::size_t field = 0; field < 4; ++field) {
      const int x = fieldLeft[field];
      EXPECT_EQ(gui::redOf(b1.frame(static_cast<int>(i)).pixel(x, 1)) > 200, field == i);
      EXPECT_EQ(gui::redOf(b3.frame(static_cast<int>(i)).pixel(x, 1)) > 200, field == i);
    }
  }
}

}  // namespace
