// The pictures drawn by code: their sizes, the background's colour budget
// and the same pixels from one drawing to the next.

#include <gtest/gtest.h>

#include <set>

#include "sampler/editor/artwork/Artwork.h"
#include "sampler/editor/artwork/Palette.h"

namespace {

std::set<gui::Color> coloursOf(const gui::Canvas& canvas) {
  std::set<gui::Color> colours;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) colours.insert(canvas.pixel(x, y) & 0xFFFFFFu);
  }
  return colours;
}

bool samePixels(const gui::Canvas& a, const gui::Canvas& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) return false;
    }
  }
  return true;
}

TEST(SarnelArtwork, TheBackgroundFitsIn256ColoursOfThePanel) {
  const gui::Canvas background = sarnel::artwork::drawImage1();
  EXPECT_EQ(background.width(), 677);
  EXPECT_EQ(background.height(), 497);
  const auto colours = coloursOf(background);
  EXPECT_LE(colours.size(), 256u);
  EXPECT_TRUE(colours.count(sarnel::artwork::kBackground & 0xFFFFFFu));
  EXPECT_TRUE(colours.count(sarnel::artwork::kInk & 0xFFFFFFu));
  // The panel's colour where no field or caption lies.
  EXPECT_EQ(background.pixel(200, 190), sarnel::artwork::kBackground);
}

TEST(SarnelArtwork, EveryPictureHasItsSizeAndComesOutTheSameEachTime) {
  struct Picture {
    gui::Canvas (*draw)();
    int width;
    int height;
  };
  for (const Picture& p : {Picture{sarnel::artwork::drawImage1, 677, 497}, Picture{sarnel::artwork::drawImage12, 681, 49},
                           Picture{sarnel::artwork::drawImage13, 97, 41}, Picture{sarnel::artwork::drawLfoPage, 148, 137},
                           Picture{[] { return sarnel::artwork::drawENVControl1Background(141, 123); }, 141, 123},
                           Picture{sarnel::artwork::drawSelector, 11, 12}, Picture{sarnel::artwork::drawLedStrip, 22, 12}}) {
    const gui::Canvas first = p.draw();
    EXPECT_EQ(first.width(), p.width);
    EXPECT_EQ(first.height(), p.height);
    EXPECT_TRUE(samePixels(first, p.draw()));
    EXPECT_GT(coloursOf(first).size(), 1u);
  }
}

TEST(SarnelArtwork, TheLedFramesTellOffFromOn) {
  const gui::Canvas strip = sarnel::artwork::drawLedStrip();
  EXPECT_NE(strip.pixel(5, 6), strip.pixel(11 + 5, 6));
  EXPECT_EQ(strip.pixel(11 + 5, 6), sarnel::artwork::kInk);
}

}  // namespace
