// Marrowglint through its built binary, as a host drives it: the entry, the
// record, the dispatcher's answers, MIDI in and audio out, and effClose.
// On Linux the test points XDG_CONFIG_HOME at the build tree, so the real
// settings store never touches the user's own settings.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/Opcodes.h"
#include "host/Plugin.h"

namespace {

std::string binaryPath() {
#if defined(_WIN32)
  return std::string(VORNHALT_PLUGIN_DIR) + "/Marrowglint.dll";
#else
  return std::string(VORNHALT_PLUGIN_DIR) + "/Marrowglint.so";
#endif
}

class MarrowglintBinary : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = host::Plugin::load(binaryPath());
    ASSERT_NE(plugin, nullptr) << "cannot load " << binaryPath();
    plugin->start();
  }
  void TearDown() override {
    if (plugin && !plugin->isClosed()) plugin->close();
  }
  std::unique_ptr<host::Plugin> plugin;
};

TEST_F(MarrowglintBinary, RecordAndStrings) {
  const vst::AEffect* record = plugin->effect();
  EXPECT_EQ(record->magic, vst::kEffectMagic);
  EXPECT_EQ(record->numPrograms, 16);
  EXPECT_EQ(record->numParams, 30);
  EXPECT_EQ(record->numInputs, 2);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_EQ(record->flags, 0x119);
  EXPECT_EQ(record->uniqueID, vst::fourCharCode('Z', 'Q', 'M', 'W'));
  EXPECT_EQ(plugin->effectName(), "Marrowglint");
  EXPECT_EQ(plugin->parameterName(23), "G.Tune");
  EXPECT_EQ(plugin->parameterLabel(12), "Resonance");
  EXPECT_EQ(plugin->parameterDisplay(23), "0.00");
  EXPECT_EQ(plugin->programName(), "Init Preset 01");
  EXPECT_EQ(plugin->dispatch(vst::effGetPlugCategory), 2);
  EXPECT_EQ(plugin->dispatch(vst::effGetVstVersion), 2300);
  EXPECT_EQ(plugin->dispatch(vst::effKeysRequired), 1);
  char vendor[64] = {};
  EXPECT_EQ(plugin->dispatch(vst::effGetVendorString, 0, 0, vendor), 1);
  EXPECT_STREQ(vendor, "Vornhalt");
  std::string yes = "receiveVstMidiEvent";
  std::string no = "";
  EXPECT_EQ(plugin->dispatch(vst::effCanDo, 0, 0, yes.data()), 1);
  EXPECT_EQ(plugin->dispatch(vst::effCanDo, 0, 0, no.data()), -1);
  char name[vst::kVstMaxTextLen] = {};
  EXPECT_EQ(plugin->dispatch(vst::effGetProgramNameIndexed, 15, 0, name), 1);
  EXPECT_STREQ(name, "Init Preset 16");
  EXPECT_EQ(plugin->dispatch(vst::effGetProgramNameIndexed, 16, 0, name), 0);
  vst::VstPinProperties pin{};
  EXPECT_EQ(plugin->dispatch(vst::effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "MRGL 2");
  EXPECT_EQ(pin.flags, 3);
  EXPECT_EQ(plugin->dispatch(vst::effGetOutputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(plugin->dispatch(vst::effGetChunk, 0, 0, nullptr), 0);
  // resume asked for MIDI.
  EXPECT_FALSE(plugin->callsWithOpcode(vst::audioMasterWantMidi).empty());
}

TEST_F(MarrowglintBinary, EditorRectangleAndOpenClose) {
  vst::ERect* rect = nullptr;
  ASSERT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->bottom, 358);
  EXPECT_EQ(rect->right, 239);
  int parent = 0;
  EXPECT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, &parent), 1);
  plugin->dispatch(vst::effEditIdle);
  plugin->dispatch(vst::effEditClose);
}

TEST_F(MarrowglintBinary, PlaysANote) {
  plugin->setParameter(911, 0.2f);  // four-point, whatever the stored setting
  plugin->setParameter(6, 0.0f);    // oscillator 1 only
  EXPECT_EQ(plugin->sendMidi({host::noteOn(0, 60, 127)}), 1);
  std::vector<float> left(4096), right(4096);
  for (int block = 0; block < 8; ++block) {
    float* outputs[2] = {left.data() + 512 * block, right.data() + 512 * block};
    plugin->processReplacing(nullptr, outputs, 512);
  }
  double energy = 0.0;
  for (std::size_t n = 0; n < left.size(); ++n) {
    ASSERT_EQ(right[n], left[n]);
    energy += left[n] * left[n];
  }
  EXPECT_GT(energy / 4096, 1e-3);
  // 1378.125 Hz is a period of 32 frames; once the 501-frame comb has
  // filled, the output repeats with it.
  for (std::size_t n = 1000; n + 32 < left.size(); ++n) ASSERT_NEAR(left[n], left[n + 32], 1e-5f) << n;
  plugin->sendMidi({host::noteOff(0, 60)});
}

TEST_F(MarrowglintBinary, ParametersRoundTripAndClamp) {
  plugin->setParameter(0, 1.0f);
  EXPECT_EQ(plugin->getParameter(0), 0.3f);
  EXPECT_EQ(plugin->parameterDisplay(0), "Saw");
  plugin->setParameter(27, 0.7f);
  EXPECT_EQ(plugin->getParameter(27), 0.0f);
  plugin->dispatch(vst::effSetProgram, 0, 16);
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 0);
  plugin->dispatch(vst::effSetProgram, 0, 15);
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 15);
  EXPECT_EQ(plugin->programName(), "Init Preset 16");
}

TEST_F(MarrowglintBinary, CloseDestroysTheInstance) {
  EXPECT_EQ(plugin->close(), 1);
  EXPECT_TRUE(plugin->isClosed());
}

}  // namespace
