// The editors' zoom: the setting's parsing and defaults, and the mapping
// between window pixels and form pixels that keeps every coordinate of the
// editors at 200 %.

#include <gtest/gtest.h>

#include "gui/Canvas.h"
#include "platform/EditorZoom.h"

namespace {

using platform::formPointAt;
using platform::formRectCovering;
using platform::windowRectOf;
using platform::zoomFromSetting;

TEST(EditorZoom, AStoredSettingWinsAndAnythingButTwoCountsAsOne) {
  EXPECT_EQ(zoomFromSetting(std::nullopt, 1), 1);
  EXPECT_EQ(zoomFromSetting(std::nullopt, 2), 2);
  EXPECT_EQ(zoomFromSetting(1, 2), 1);  // stored beats the screen's suggestion
  EXPECT_EQ(zoomFromSetting(2, 1), 2);
  for (int odd : {0, 3, -2, 200}) EXPECT_EQ(zoomFromSetting(odd, 2), 1) << odd;
}

TEST(EditorZoom, WindowPixelsMapToTheFormPixelTheyShow) {
  EXPECT_EQ(formPointAt({0, 0}, 2), (gui::Point{0, 0}));
  EXPECT_EQ(formPointAt({1, 1}, 2), (gui::Point{0, 0}));
  EXPECT_EQ(formPointAt({477, 715}, 2), (gui::Point{238, 357}));
  EXPECT_EQ(formPointAt({-1, -2}, 2), (gui::Point{-1, -1}));  // left of the window stays outside
  EXPECT_EQ(formPointAt({123, 45}, 1), (gui::Point{123, 45}));
  EXPECT_EQ(windowRectOf({10, 20, 30, 40}, 2), (gui::Rect{20, 40, 60, 80}));
  EXPECT_EQ(formRectCovering({21, 41, 23, 44}, 2), (gui::Rect{10, 20, 12, 22}));
}

TEST(EditorZoom, AZoomedCanvasIsATwoByTwoExpansion) {
  gui::Canvas form(3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) form.setPixel(x, y, gui::rgb(x * 50, y * 50, 7));
  }
  gui::Canvas screen(6, 4, gui::colors::black);
  screen.drawZoomed(form, {1, 0, 3, 2}, 2);  // only the changed columns 1 and 2
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      const gui::Color expected = x < 2 ? gui::colors::black : form.pixel(x / 2, y / 2);
      EXPECT_EQ(screen.pixel(x, y), expected) << x << "," << y;
    }
  }
}

}  // namespace
