// Each instrument's editor opened by a host inside a real window of its own
// (X11, or Win32 under wine): the size it announces and opens with, and the
// open count that decides when the window is made and destroyed.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Opcodes.h"
#include "host/Plugin.h"
#include "tests/editors/HostParentWindow.h"
#include "tests/support/Prerequisites.h"

namespace {

struct Deliverable {
  const char* name;
  int width;
  int height;
};

// Windows always has somewhere to put a window; X11 needs a display, which
// the test command provides.
bool hostWindowMissing(const editortest::HostParentWindow& parent) {
#if defined(_WIN32)
  EXPECT_TRUE(parent.valid()) << "the host window could not be created";
  return !parent.valid();
#else
  return !parent.valid();
#endif
}

std::string pluginPath(const char* name) {
#if defined(_WIN32)
  return std::string(VORNHALT_PLUGIN_DIR) + "/" + name + ".dll";
#else
  return std::string(VORNHALT_PLUGIN_DIR) + "/" + name + ".so";
#endif
}

class DeliverableEditor : public ::testing::TestWithParam<Deliverable> {
 protected:
  void SetUp() override {
    VORNHALT_REQUIRE_PREREQUISITE(!hostWindowMissing(parent), "a display");
    open(host::HostConfig{});
  }
  void open(const host::HostConfig& config) {
    plugin = host::Plugin::load(pluginPath(GetParam().name), config);
    ASSERT_NE(plugin, nullptr) << pluginPath(GetParam().name);
    plugin->start();
  }
  void TearDown() override {
    if (plugin) plugin->close();
  }
  void pump() {
    parent.pump([this] { plugin->dispatch(vst::effEditIdle); });
  }
  vst::VstIntPtr editorOpen() { return plugin->dispatch(vst::effEditOpen, 0, 0, parent.handle()); }
  void editorClose() { plugin->dispatch(vst::effEditClose); }

  editortest::HostParentWindow parent;
  std::unique_ptr<host::Plugin> plugin;
};

TEST_P(DeliverableEditor, OpensAChildWindowOfTheAnnouncedSize) {
  vst::ERect* rect = nullptr;
  ASSERT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->right, GetParam().width);
  EXPECT_EQ(rect->bottom, GetParam().height);

  EXPECT_EQ(editorOpen(), 1);
  pump();
  ASSERT_EQ(parent.childCount(), 1);
  int width = 0, height = 0;
  ASSERT_TRUE(parent.childSize(width, height));
  EXPECT_EQ(width, GetParam().width);
  EXPECT_EQ(height, GetParam().height);
  EXPECT_TRUE(parent.childVisible());
  editorClose();
  pump();
  EXPECT_EQ(parent.childCount(), 0);
}

TEST_P(DeliverableEditor, OpenCountDecidesWhenTheWindowGoes) {
  editorOpen();
  editorOpen();
  pump();
  EXPECT_EQ(parent.childCount(), 1);  // the second open re-creates nothing
  editorClose();
  pump();
  EXPECT_EQ(parent.childCount(), 1);  // one open still stands
  editorClose();
  pump();
  EXPECT_EQ(parent.childCount(), 0);
  editorClose();  // an extra close finds nothing to destroy
  pump();
  EXPECT_EQ(parent.childCount(), 0);
  editorOpen();  // and the count starts again from 0
  pump();
  EXPECT_EQ(parent.childCount(), 1);
  EXPECT_TRUE(parent.childVisible());
  editorClose();
  pump();
  EXPECT_EQ(parent.childCount(), 0);
}

TEST_P(DeliverableEditor, ClosingThePluginWithTheEditorOpenTakesTheWindowDown) {
  editorOpen();
  pump();
  ASSERT_EQ(parent.childCount(), 1);
  plugin->close();
  EXPECT_EQ(parent.childCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Instruments, DeliverableEditor,
                         ::testing::Values(Deliverable{"Marrowglint", 239, 358},
                                           Deliverable{"Sarnel", 678, 497}),
                         [](const ::testing::TestParamInfo<Deliverable>& info) { return std::string(info.param.name); });

TEST(MarrowglintEditor, SonicSyndicateHostGetsTheWideWindow) {
  editortest::HostParentWindow parent;
  VORNHALT_REQUIRE_PREREQUISITE(!hostWindowMissing(parent), "a display");
  host::HostConfig config;
  config.vendor = "Sonic Syndicate";
  auto plugin = host::Plugin::load(pluginPath("Marrowglint"), config);
  ASSERT_NE(plugin, nullptr);
  vst::ERect* rect = nullptr;
  ASSERT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  EXPECT_EQ(rect->right, 439);
  EXPECT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent.handle()), 1);
  parent.pump([&] { plugin->dispatch(vst::effEditIdle); });
  int width = 0, height = 0;
  ASSERT_TRUE(parent.childSize(width, height));
  EXPECT_EQ(width, 439);
  EXPECT_EQ(height, 358);
  plugin->close();
}

}  // namespace
