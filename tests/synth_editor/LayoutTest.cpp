// The window as it opens: every component where the design puts it, in its
// stacking order, with its settings; what FormCreate reads from the settings.

#include <algorithm>
#include <string>
#include <vector>

#include "tests/synth_editor/EditorTestSupport.h"

namespace {

using controls::TDial;
using editortest::EditorTest;
using gui::Rect;

struct Placement {
  const char* name;
  Rect bounds;
};

TEST_F(EditorTest, ComponentsStandInTheDesignedStackingOrderAndPlaces) {
  openEditor();
  // info and help have been moved to 0, 0 by FormCreate.
  const std::vector<Placement> expected = {
      {"Shape10", Rect::sized(208, 0, 233, 361)},    {"bg", Rect::sized(0, 0, 519, 358)},
      {"vcfresonance", Rect::sized(118, 169, 100, 6)}, {"vcfcutoff", Rect::sized(118, 152, 100, 6)},
      {"osc1wave", Rect::sized(24, 67, 46, 10)},     {"Shape5", Rect::sized(194, 212, 19, 19)},
      {"shape1", Rect::sized(18, 203, 37, 37)},      {"shape2", Rect::sized(60, 203, 37, 37)},
      {"shape6", Rect::sized(52, 200, 4, 7)},        {"shape3", Rect::sized(102, 203, 37, 37)},
      {"shape4", Rect::sized(144, 203, 37, 37)},     {"shape7", Rect::sized(94, 200, 4, 7)},
      {"shape8", Rect::sized(136, 200, 4, 7)},       {"shape9", Rect::sized(178, 200, 4, 7)},
      {"osc1fine", Rect::sized(19, 86, 99, 6)},      {"osc1tune", Rect::sized(19, 106, 99, 6)},
      {"osc2fine", Rect::sized(122, 86, 99, 6)},     {"osc2tune", Rect::sized(122, 106, 99, 6)},
      {"lfoamount", Rect::sized(25, 256, 100, 6)},   {"lforate", Rect::sized(25, 273, 100, 6)},
      {"vcaattack", Rect::sized(31, 146, 6, 48)},    {"vcadecay", Rect::sized(50, 146, 6, 48)},
      {"vcasustain", Rect::sized(70, 146, 6, 48)},   {"vcarelease", Rect::sized(90, 146, 6, 48)},
      {"outvol", Rect::sized(133, 281, 84, 12)},     {"osc2wave", Rect::sized(126, 67, 46, 10)},
      {"vcftype", Rect::sized(170, 181, 46, 10)},    {"lfodest", Rect::sized(25, 285, 95, 10)},
      {"oscmix", Rect::sized(16, 120, 206, 12)},     {"mixer", Rect::sized(116, 131, 7, 5)},
      {"fatmama", Rect::sized(134, 256, 26, 13)},    {"phase", Rect::sized(162, 256, 26, 13)},
      {"glide", Rect::sized(190, 256, 26, 13)},      {"d", Rect::sized(20, 309, 100, 11)},
      {"Image1", Rect::sized(152, 304, 73, 41)},     {"Image2", Rect::sized(16, 16, 209, 25)},
      {"Image3", Rect::sized(32, 324, 65, 14)},      {"info", Rect::sized(0, 0, 239, 358)},
      {"sizeArea", Rect::sized(39, 264, 160, 30)},   {"help", Rect::sized(0, 0, 239, 358)},
      {"version", Rect::sized(93, 330, 0, 0)},       {"Image4", Rect::sized(16, 40, 209, 17)},
  };
  const auto& children = form().children();
  ASSERT_EQ(children.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(children[i]->name, expected[i].name);
    if (children[i]->name == "version") {
      // The label takes its text's width; only its corner is designed.
      EXPECT_EQ(children[i]->left(), 93);
      EXPECT_EQ(children[i]->top(), 330);
    } else {
      EXPECT_EQ(children[i]->bounds(), expected[i].bounds);
    }
  }
  EXPECT_EQ(form().width(), 239);
  EXPECT_EQ(form().height(), 358);
  EXPECT_FALSE(window->Shape10->visible());
  EXPECT_FALSE(window->info->visible());
  EXPECT_FALSE(window->help->visible());
  EXPECT_FALSE(window->version->visible());
  EXPECT_EQ(window->statusText(), "");
}

TEST_F(EditorTest, ControlsCarryTheirRangesStripsAndCursors) {
  openEditor();
  struct DialSpec {
    TDial* dial;
    controls::tCType style;
    int max;
    int frameWidth, frameHeight, frames;
    gui::Cursor cursor;
  };
  const auto cross = gui::Cursor::cross, hand = gui::Cursor::hand, none = gui::Cursor::inherit;
  const std::vector<DialSpec> specs = {
      {window->vcfresonance, controls::cHSlider, 100, 100, 6, 93, cross},
      {window->vcfcutoff, controls::cHSlider, 100, 100, 6, 93, none},
      {window->osc1fine, controls::cHSlider, 101, 99, 6, 94, none},
      {window->osc2tune, controls::cHSlider, 101, 99, 6, 94, none},
      {window->lforate, controls::cHSlider, 100, 100, 6, 93, none},
      {window->vcasustain, controls::cVSlider, 48, 6, 48, 36, none},
      {window->outvol, controls::cHSlider, 77, 84, 12, 78, none},
      {window->osc1wave, controls::cButton, 3, 46, 10, 4, hand},
      {window->osc2wave, controls::cButton, 3, 46, 10, 4, hand},
      {window->vcftype, controls::cButton, 3, 47, 10, 4, hand},
      {window->lfodest, controls::cButton, 7, 95, 10, 8, hand},
      {window->fatmama, controls::cButton, 1, 26, 13, 2, hand},
      {window->glide, controls::cButton, 1, 26, 13, 2, hand},
  };
  for (const DialSpec& s : specs) {
    SCOPED_TRACE(s.dial->name);
    EXPECT_EQ(s.dial->Style, s.style);
    EXPECT_EQ(s.dial->ValueMin, 0);
    EXPECT_EQ(s.dial->ValueMax, s.max);
    ASSERT_NE(s.dial->ImageList, nullptr);
    EXPECT_EQ(s.dial->ImageList->frameWidth(), s.frameWidth);
    EXPECT_EQ(s.dial->ImageList->frameHeight(), s.frameHeight);
    EXPECT_EQ(s.dial->ImageList->count(), s.frames);
    EXPECT_EQ(s.dial->cursor(), s.cursor);
    EXPECT_TRUE(s.dial->EnableRightButton);
    EXPECT_TRUE(s.dial->IncrementalDisplay);
    EXPECT_FALSE(s.dial->InvCursor);
  }
  for (TDial* selector : {window->osc1wave, window->osc2wave, window->vcftype, window->lfodest}) {
    EXPECT_EQ(selector->tag, TDial::kOwnerHandledTag) << selector->name;
  }
  EXPECT_EQ(window->fatmama->tag, 0);
  EXPECT_EQ(window->osc1fine->DefaultValue, 50);
  EXPECT_EQ(window->outvol->DefaultValue, 100);
  EXPECT_EQ(window->outvol->SliderOffset, 5);
  EXPECT_EQ(window->vcaattack->SliderOffset, 0);
  EXPECT_TRUE(window->vcfresonance->InvMovement);
  EXPECT_EQ(window->Shape5->penColor(), gui::rgb(38, 90, 122));
  EXPECT_TRUE(window->bg->transparentColor().has_value());
  EXPECT_EQ(*window->bg->transparentColor(), gui::colors::aqua);
  EXPECT_EQ(window->bg->picture().width(), 239);
  EXPECT_EQ(window->bg->picture().height(), 358);
}

TEST_F(EditorTest, TheWideHostShowsTheSidePanel) {
  synthtest::testHost.vendor = marrowglint::kSpecialHostVendor;
  makePlugin();
  openEditor();
  EXPECT_EQ(form().width(), 439);
  EXPECT_TRUE(window->Shape10->visible());
}

TEST_F(EditorTest, FormCreateReadsMarkersAndControllerEntriesFromTheSettings) {
  store->writeInteger(marrowglint::kSettingsSubkey, "CC Cutoff", 74);
  store->writeInteger(marrowglint::kSettingsSubkey, "CC OutVol", 7);
  store->writeInteger(marrowglint::kSettingsSubkey, "CC Attack", -12);
  store->writeInteger(marrowglint::kSettingsSubkey, "CC Effect3", 129);
  store->writeInteger(marrowglint::kSettingsSubkey, "CC OscMix", 200);
  openEditor();
  EXPECT_EQ(window->vcfcutoff->ControllerEntry, 74);
  EXPECT_EQ(window->outvol->ControllerEntry, 7);
  EXPECT_EQ(window->vcaattack->ControllerEntry, -12);
  EXPECT_EQ(window->vcfresonance->ControllerEntry, 0);
  EXPECT_EQ(window->padControllerEntry(3), 129);
  EXPECT_EQ(window->padControllerEntry(1), 0);
  EXPECT_EQ(window->mixControllerEntry(), 200);

  // DrawMode 0: every pad shows marker A (two colours).
  const auto colours = [](const gui::Canvas& c) {
    std::vector<gui::Color> seen;
    for (int y = 0; y < c.height(); ++y) {
      for (int x = 0; x < c.width(); ++x) {
        const gui::Color p = c.pixel(x, y) | 0xFF000000u;
        if (std::find(seen.begin(), seen.end(), p) == seen.end()) seen.push_back(p);
      }
    }
    return seen.size();
  };
  const gui::Canvas markerA = window->markers[0]->picture();
  EXPECT_EQ(colours(markerA), 2u);
  for (gui::Image* marker : window->markers) {
    EXPECT_EQ(std::vector<std::uint32_t>(marker->picture().pixels(), marker->picture().pixels() + 28),
              std::vector<std::uint32_t>(markerA.pixels(), markerA.pixels() + 28));
  }
}

TEST_F(EditorTest, DrawModeOneShowsMarkerBOnAllFourPads) {
  store->writeInteger(marrowglint::kSettingsSubkey, marrowglint::kSettingDrawMode, 1);
  openEditor();
  const gui::Canvas& markerB = window->markers[3]->picture();
  const std::vector<std::uint32_t> b(markerB.pixels(), markerB.pixels() + 28);
  for (gui::Image* marker : window->markers) {
    EXPECT_EQ(std::vector<std::uint32_t>(marker->picture().pixels(), marker->picture().pixels() + 28), b);
  }
  closeEditor();
  store->writeInteger(marrowglint::kSettingsSubkey, marrowglint::kSettingDrawMode, 0);
  openEditor();
  const gui::Canvas& markerA = window->markers[0]->picture();
  EXPECT_NE(std::vector<std::uint32_t>(markerA.pixels(), markerA.pixels() + 28), b);
}

}  // namespace
