// The engine's settings: what it reads at construction and on command 999,
// what it writes at construction and destruction, and the host special case.

#include <gtest/gtest.h>

#include "tests/synth_engine/SynthTestSupport.h"

namespace {

using namespace marrowglint;
using synthtest::makePlugin;
using synthtest::sendMidi;

std::string textOf(platform::MemorySettingsStore& store, const char* name) {
  return store.readText(kSettingsSubkey, name).value_or("<absent>");
}

int rectWidth(APlugin& plugin) {
  vst::ERect* rect = nullptr;
  plugin.dispatcher(vst::effEditGetRect, 0, 0, &rect, 0.0f);
  return rect->right;
}

TEST(SynthSettings, FreshStoreGetsTheMarkerAndDefaults) {
  auto store = std::make_shared<platform::MemorySettingsStore>();
  {
    auto plugin = makePlugin(store);
    EXPECT_EQ(textOf(*store, "ForceOrionFix"), "0");
    EXPECT_FALSE(store->contains(kSettingsSubkey, "Force Orion Fix"));
    EXPECT_EQ(plugin->interpolationMode(), 0);
    for (int slot = 1; slot <= 18; ++slot) EXPECT_EQ(plugin->controllerEntry(slot), 0);
    EXPECT_EQ(rectWidth(*plugin), 239);
  }
  // Destruction writes the interpolation mode and all 18 entries.
  EXPECT_EQ(textOf(*store, "Interpolate"), "0");
  for (const ControllerSlot& slot : kControllerSlots) EXPECT_EQ(textOf(*store, slot.settingName), "0");
}

TEST(SynthSettings, ForceOrionFixValues) {
  const std::vector<std::pair<std::string, int>> cases = {{"1", 439}, {"0", 239}, {"2", 239}, {"999", 239}};
  for (const auto& [text, width] : cases) {
    auto store = std::make_shared<platform::MemorySettingsStore>();
    store->setText(kSettingsSubkey, "Force Orion Fix", text);
    auto plugin = makePlugin(store);
    EXPECT_EQ(rectWidth(*plugin), width) << text;
    // The marker is written only when the value reads as 999 (absent or so).
    EXPECT_EQ(store->contains(kSettingsSubkey, "ForceOrionFix"), text == "999") << text;
    if (width == 439) {
      EXPECT_STREQ(plugin->getHostVendor(), "Sonic Syndicate");
    }
  }
  auto store = std::make_shared<platform::MemorySettingsStore>();
  store->setText(kSettingsSubkey, "Force Orion Fix", "yes");  // not a number: the default 999
  auto plugin = makePlugin(store);
  EXPECT_EQ(textOf(*store, "ForceOrionFix"), "0");
  EXPECT_EQ(rectWidth(*plugin), 239);
}

TEST(SynthSettings, ReadsInterpolationAndAssignments) {
  auto store = std::make_shared<platform::MemorySettingsStore>();
  store->setText(kSettingsSubkey, "Interpolate", "2");
  store->setText(kSettingsSubkey, "CC Cutoff", " 74 ");
  store->setText(kSettingsSubkey, "CC Resonance", "seven");
  store->setText(kSettingsSubkey, "CC OscMix", "-129");
  store->setText(kSettingsSubkey, "CC Release", "12.5");
  auto plugin = makePlugin(store);
  EXPECT_EQ(plugin->interpolationMode(), 2);
  EXPECT_EQ(plugin->controllerEntry(2), 74);
  EXPECT_EQ(plugin->controllerEntry(1), 0);
  EXPECT_EQ(plugin->controllerEntry(18), -129);
  EXPECT_EQ(plugin->controllerEntry(16), 0);
}

TEST(SynthSettings, DestructionWritesWhatTheEngineHolds) {
  auto store = std::make_shared<platform::MemorySettingsStore>();
  store->setText(kSettingsSubkey, "CC Attack", "200");
  {
    auto plugin = makePlugin(store);
    plugin->setParameter(kCommandInterpolation, 0.1f);
    sendMidi(*plugin, {host::controlChange(0, 33, 1)});
    // Learned in the table only: the store keeps 200 until destruction.
    EXPECT_EQ(textOf(*store, "CC Attack"), "200");
  }
  EXPECT_EQ(textOf(*store, "Interpolate"), "1");
  EXPECT_EQ(textOf(*store, "CC Attack"), "33");
}

TEST(SynthSettings, ReloadCommandReadsTheTableAgain) {
  auto store = std::make_shared<platform::MemorySettingsStore>();
  store->setText(kSettingsSubkey, "CC Cutoff", "7");
  auto plugin = makePlugin(store);
  // The editor writes one value and asks for a reload: every slot takes what
  // the store says (learned slots are kept: see the MIDI tests).
  store->setText(kSettingsSubkey, "CC Effect2", "-5");
  store->setText(kSettingsSubkey, "CC Cutoff", "9");
  plugin->setParameter(kCommandReloadControllers, 1.0f);
  EXPECT_EQ(plugin->controllerEntry(4), -5);
  EXPECT_EQ(plugin->controllerEntry(2), 9);
  store->erase(kSettingsSubkey, "CC Effect2");
  plugin->setParameter(kCommandReloadControllers, 0.0f);
  EXPECT_EQ(plugin->controllerEntry(4), 0);
  // The reload does not read the interpolation mode or touch programs.
  store->setText(kSettingsSubkey, "Interpolate", "2");
  plugin->setParameter(kCommandReloadControllers, 1.0f);
  EXPECT_EQ(plugin->interpolationMode(), 0);
  for (int i = 0; i < 27; ++i) EXPECT_EQ(plugin->program(0).value(i), plugin->getParameter(i));
}

}  // namespace
