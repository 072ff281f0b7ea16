// Marrowglint as the host sees it without sound: identity, parameters,
// displays, clamps, derived state, programs and the editor's rectangle.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "synth/engine/APluginEditor.h"
#include "tests/synth_engine/SynthTestSupport.h"

namespace {

using namespace marrowglint;
using synthtest::makePlugin;

std::string display(APlugin& plugin, int index) {
  char text[vst::kVstMaxTextLen] = "untouched";
  plugin.getParameterDisplay(index, text);
  return text;
}

std::string name(APlugin& plugin, int index) {
  char text[vst::kVstMaxTextLen] = "untouched";
  plugin.getParameterName(index, text);
  return text;
}

std::string label(APlugin& plugin, int index) {
  char text[vst::kVstMaxTextLen] = "untouched";
  plugin.getParameterLabel(index, text);
  return text;
}

TEST(SynthIdentity, RecordAfterConstruction) {
  auto plugin = makePlugin();
  const vst::AEffect* record = plugin->getAeffect();
  EXPECT_EQ(record->magic, 0x56737450);
  EXPECT_EQ(record->numPrograms, 16);
  EXPECT_EQ(record->numParams, 30);
  EXPECT_EQ(record->numInputs, 2);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_EQ(record->flags, 0x119);
  EXPECT_EQ(record->uniqueID, 0x5A514D57);  // 'ZQMW'
  EXPECT_EQ(record->version, 1);
  EXPECT_EQ(record->initialDelay, 0);
  EXPECT_EQ(plugin->dispatcher(vst::effGetPlugCategory, 0, 0, nullptr, 0.0f), 2);
  EXPECT_EQ(plugin->dispatcher(vst::effGetVu, 0, 0, nullptr, 0.0f), 0);
}

TEST(SynthIdentity, NamesAndCapabilities) {
  auto plugin = makePlugin();
  char text[64];
  EXPECT_TRUE(plugin->getEffectName(text));
  EXPECT_STREQ(text, "Marrowglint");
  EXPECT_TRUE(plugin->getProductString(text));
  EXPECT_STREQ(text, "Marrowglint");
  EXPECT_TRUE(plugin->getVendorString(text));
  EXPECT_STREQ(text, "Vornhalt");
  EXPECT_EQ(plugin->getVendorVersion(), 1);

  for (const char* yes : {"receiveVstTimeInfo", "receiveVstEvents", "receiveVstMidiEvent"}) {
    std::string query = yes;
    EXPECT_EQ(plugin->canDo(query.data()), 1) << yes;
  }
  for (const char* no : {"", "ReceiveVstEvents", "receiveVstEvents ", "sendVstEvents", "offline"}) {
    std::string query = no;
    EXPECT_EQ(plugin->canDo(query.data()), -1) << '"' << no << '"';
  }
  EXPECT_EQ(plugin->canDo(nullptr), -1);
}

TEST(SynthIdentity, OutputPinsAndResume) {
  auto plugin = makePlugin();
  for (int index = 0; index < 2; ++index) {
    vst::VstPinProperties pin{};
    ASSERT_TRUE(plugin->getOutputProperties(index, &pin));
    EXPECT_EQ(std::string(pin.label), "MRGL " + std::to_string(index + 1));
    EXPECT_EQ(pin.flags, 3);
  }
  vst::VstPinProperties untouched{};
  untouched.flags = 77;
  EXPECT_FALSE(plugin->getOutputProperties(2, &untouched));
  EXPECT_EQ(untouched.flags, 77);
  EXPECT_EQ(untouched.label[0], '\0');

  synthtest::testHost.wantMidiCalls = 0;
  plugin->dispatcher(vst::effMainsChanged, 0, 1, nullptr, 0.0f);
  EXPECT_EQ(synthtest::testHost.wantMidiCalls, 1);
}

TEST(SynthParameters, NamesAndLabelsOfEveryIndex) {
  auto plugin = makePlugin();
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Wav1", "Wave1"},     {"Tun1", "Tune1"},       {"Fin1", "Fine1"},      {"Wav2", "Wave2"},
      {"Tun2", "Tune2"},     {"Fin2", "Fine2"},       {"Mix", "Mix"},         {"AAt", "VCA At"},
      {"ADe", "VCA De"},     {"ASu", "VCA Su"},       {"ARe", "VCA Re"},      {"Cut", "Cutoff"},
      {"Reso", "Resonance"}, {"Filt", "Filter"},      {"Glide", "Glide"},     {"RMod", "RMod"},
      {"PWM", "PWM"},        {"FM", "FM"},            {"Tube", "Tube"},       {"Fat", "Fat"},
      {"LFOAmnt", "LFOAmnt"}, {"LFORate", "LFORate"}, {"LFODest", "LFODest"}, {"G.Tune", "GlobTune"},
      {"OutVol", "OutVol"},  {"Phase", "Phase"},      {"LFOWav", "reserved"}, {"Reserve", "reserved"},
      {"Reserve", "reserved"}, {"Reserve", "reserved"}};
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(name(*plugin, i), expected[static_cast<std::size_t>(i)].first) << i;
    EXPECT_EQ(label(*plugin, i), expected[static_cast<std::size_t>(i)].second) << i;
  }
  for (int outside : {-1, 30, 911, 999}) {
    EXPECT_EQ(name(*plugin, outside), "Reserve");
    EXPECT_EQ(label(*plugin, outside), "reserved");
    EXPECT_EQ(display(*plugin, outside), "0.00");
  }
}

TEST(SynthParameters, FreshLiveValuesAreTheProgramDefaults) {
  auto plugin = makePlugin();
  const float defaults[27] = {0.1f, 0.5f, 0.5f, 0.2f, 0.5f, 0.5f, 0.5f, 0.99999f, 1.0f,
                              0.99999f, 0.99999f, 0.9f, 0.0001f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                              0.0f, 0.0f, 0.0f, 0.2f, 0.0f, 0.5f, 1.0f, 0.0f, 0.0f};
  for (int i = 0; i < 27; ++i) EXPECT_EQ(plugin->getParameter(i), defaults[i]) << i;
  for (int i : {27, 28, 29, -1, 30}) EXPECT_EQ(plugin->getParameter(i), 0.0f);
  // Derived state of program 1: saw and square, LFO sine onto "Mix".
  EXPECT_EQ(plugin->oscillator1WaveIndex(), kSaw);
  EXPECT_EQ(plugin->oscillator2WaveIndex(), kSquare);
  EXPECT_EQ(plugin->lfoWaveIndex(), kSine);
  EXPECT_EQ(plugin->lfoDestinationIndex(), kMix);
  EXPECT_EQ(plugin->interpolationMode(), 0);
}

TEST(SynthParameters, ClampsOfEveryValue) {
  auto plugin = makePlugin();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  plugin->setParameter(kCut, 1.5f);
  EXPECT_EQ(plugin->getParameter(kCut), 1.0f);
  plugin->setParameter(kCut, -0.5f);
  EXPECT_EQ(plugin->getParameter(kCut), 0.0f);
  plugin->setParameter(kCut, nan);
  EXPECT_EQ(plugin->getParameter(kCut), 0.0f);
  plugin->setParameter(kCut, inf);
  EXPECT_EQ(plugin->getParameter(kCut), 1.0f);
  plugin->setParameter(kCut, -inf);
  EXPECT_EQ(plugin->getParameter(kCut), 0.0f);
  // The extra limits, and values just within them.
  const std::vector<std::pair<int, float>> limits = {
      {kWav1, 0.3f}, {kWav2, 0.4f}, {kFilt, 0.3f}, {kLFODest, 0.7f}, {kLFOWav, 0.3f}};
  for (const auto& [index, limit] : limits) {
    plugin->setParameter(index, 1.0f);
    EXPECT_EQ(plugin->getParameter(index), limit) << index;
    plugin->setParameter(index, limit);
    EXPECT_EQ(plugin->getParameter(index), limit) << index;
    plugin->setParameter(index, 0.01f);
    EXPECT_EQ(plugin->getParameter(index), 0.01f) << index;
  }
  plugin->setParameter(kWav1, nan);
  EXPECT_EQ(plugin->oscillator1WaveIndex(), kSine);
}

TEST(SynthParameters, OscillatorWaveBands) {
  auto plugin = makePlugin();
  const std::vector<std::pair<float, int>> osc1 = {
      {0.0f, kSine}, {0.049f, kSine}, {0.05f, kSaw}, {0.1f, kSaw}, {0.149f, kSaw}, {0.15f, kSquare},
      {0.2f, kSquare}, {0.249f, kSquare}, {0.25f, kTriangle}, {0.3f, kTriangle}, {1.0f, kTriangle}};
  for (const auto& [value, wave] : osc1) {
    plugin->setParameter(kWav1, value);
    EXPECT_EQ(plugin->oscillator1WaveIndex(), wave) << value;
  }
  const std::vector<std::pair<float, int>> osc2 = {
      {0.0f, kSine}, {0.1f, kSaw}, {0.2f, kSquare}, {0.25f, kNoise}, {0.4f, kNoise}, {1.0f, kNoise}};
  for (const auto& [value, wave] : osc2) {
    plugin->setParameter(kWav2, value);
    EXPECT_EQ(plugin->oscillator2WaveIndex(), wave) << value;
  }
}

TEST(SynthParameters, WaveDisplaysUseTheirOwnBands) {
  auto plugin = makePlugin();
  plugin->setParameter(kWav1, 1.0f);  // stored 0.3: triangle, shown as "Saw"
  EXPECT_EQ(plugin->getParameter(kWav1), 0.3f);
  EXPECT_EQ(plugin->oscillator1WaveIndex(), kTriangle);
  EXPECT_EQ(display(*plugin, kWav1), "Saw");
  plugin->setParameter(kWav2, 0.4f);  // noise, shown as "Sqr"
  EXPECT_EQ(plugin->oscillator2WaveIndex(), kNoise);
  EXPECT_EQ(display(*plugin, kWav2), "Sqr");
  plugin->setParameter(kWav1, 0.19f);
  EXPECT_EQ(display(*plugin, kWav1), "Sin");
  plugin->setParameter(kWav2, 0.2f);
  EXPECT_EQ(display(*plugin, kWav2), "Saw");
}

TEST(SynthParameters, NumberDisplays) {
  auto plugin = makePlugin();
  EXPECT_EQ(display(*plugin, kCut), "0.90");
  EXPECT_EQ(display(*plugin, kAAt), "1.00");  // 0.99999
  EXPECT_EQ(display(*plugin, kReso), "0.00");
  plugin->setParameter(kMix, 0.125f);  // exactly halfway: to even, as "%.2f" does
  EXPECT_EQ(display(*plugin, kMix), "0.12");
  plugin->setParameter(kMix, 0.375f);
  EXPECT_EQ(display(*plugin, kMix), "0.38");
  plugin->setParameter(kMix, 1.0f);
  EXPECT_EQ(display(*plugin, kMix), "1.00");
  // The filter display can only read "LP": its value never reaches 0.5.
  plugin->setParameter(kFilt, 1.0f);
  EXPECT_EQ(display(*plugin, kFilt), "LP");
  plugin->setParameter(kLFOWav, 0.3f);
  EXPECT_EQ(display(*plugin, kLFOWav), "0.00");
  plugin->setParameter(27, 0.7f);
  EXPECT_EQ(display(*plugin, 27), "0.00");
}

TEST(SynthParameters, GlobalTuneDisplay) {
  auto plugin = makePlugin();
  const std::vector<std::pair<float, std::string>> cases = {
      {0.5f, "0.00"}, {0.0f, "-24.00"}, {1.0f, "24.00"}, {0.25f, "-12.00"},
      // 48 × 0.5104167 is 24.5000: halves go to even, so 24 − 24.
      {24.5f / 48.0f, "0.00"}, {25.5f / 48.0f, "2.00"}};
  for (const auto& [value, text] : cases) {
    plugin->setParameter(kGTune, value);
    EXPECT_EQ(display(*plugin, kGTune), text) << value;
  }
}

TEST(SynthParameters, LfoDestinationChoices) {
  auto plugin = makePlugin();
  const std::vector<std::pair<float, int>> cases = {
      {0.0f, kMix}, {0.01f, kFin1}, {0.02f, kCut}, {0.03f, kReso}, {0.04f, kPWM}, {0.05f, kFM},
      {0.06f, kTube}, {0.07f, kRMod}, {0.5f, kRMod}, {0.004f, kMix}, {0.016f, kCut}};
  for (const auto& [value, destination] : cases) {
    plugin->setParameter(kLFODest, value);
    EXPECT_EQ(plugin->lfoDestinationIndex(), destination) << value;
  }
  plugin->setParameter(kLFODest, 0.9f);
  EXPECT_EQ(plugin->getParameter(kLFODest), 0.7f);
  EXPECT_EQ(plugin->lfoDestinationIndex(), kRMod);
}

TEST(SynthParameters, LfoWaveSelectsAndRestartsTheLfo) {
  auto plugin = makePlugin();
  plugin->setParameter(kLFOAmnt, 0.5f);
  plugin->setParameter(kLFORate, 1.0f);
  synthtest::Block block(100);
  block.replacing(*plugin);
  EXPECT_FLOAT_EQ(plugin->lfoPhase(), 80.0f);
  const std::vector<std::pair<float, int>> cases = {{0.0f, kSine}, {0.1f, kSaw}, {0.2f, kSquare},
                                                    {0.3f, kTriangle}, {0.25f, kSquare}, {0.04f, kSine}};
  for (const auto& [value, wave] : cases) {
    plugin->setParameter(kLFOWav, value);
    EXPECT_EQ(plugin->lfoWaveIndex(), wave) << value;
    EXPECT_EQ(plugin->lfoPhase(), 0.0f);
  }
}

TEST(SynthParameters, ReservedIndicesStoreNothing) {
  auto plugin = makePlugin();
  std::vector<float> live, stored;
  for (int i = 0; i < 27; ++i) {
    live.push_back(plugin->getParameter(i));
    stored.push_back(plugin->program(0).value(i));
  }
  const float lfoPhase = plugin->lfoPhase();
  for (int index : {27, 28, 29, 30, -1, 1000}) plugin->setParameter(index, 0.7f);
  EXPECT_EQ(plugin->getParameter(27), 0.0f);
  for (int i = 0; i < 27; ++i) {
    EXPECT_EQ(plugin->getParameter(i), live[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(plugin->program(0).value(i), stored[static_cast<std::size_t>(i)]) << i;
  }
  EXPECT_EQ(plugin->lfoPhase(), lfoPhase);
  EXPECT_EQ(plugin->interpolationMode(), 0);
}

TEST(SynthParameters, InterpolationCommand) {
  auto plugin = makePlugin();
  const std::vector<std::pair<float, int>> cases = {
      {0.1f, 1}, {0.2f, 2}, {0.0f, 0}, {0.15f, 2}, {0.25f, 2}, {0.35f, 4}, {5.0f, 10}, {-1.0f, 0}};
  for (const auto& [value, mode] : cases) {
    plugin->setParameter(kCommandInterpolation, value);
    EXPECT_EQ(plugin->interpolationMode(), mode) << value;
  }
  plugin->setParameter(kCommandInterpolation, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(plugin->interpolationMode(), 0);
  // Neither command touches a program.
  for (int i = 0; i < 27; ++i) EXPECT_EQ(plugin->program(0).value(i), plugin->getParameter(i));
}

TEST(SynthPrograms, FreshProgramsAreIdenticalAndNamed) {
  auto plugin = makePlugin();
  for (int p = 0; p < 16; ++p) {
    char text[vst::kVstMaxTextLen] = {};
    ASSERT_TRUE(plugin->getProgramNameIndexed(0, p, text));
    char expected[32];
    std::snprintf(expected, sizeof expected, "Init Preset %02d", p + 1);
    EXPECT_STREQ(text, expected);
    for (int i = 0; i < 27; ++i) EXPECT_EQ(plugin->program(p).value(i), plugin->program(0).value(i));
  }
  char untouched[vst::kVstMaxTextLen] = "keep";
  EXPECT_FALSE(plugin->getProgramNameIndexed(0, 16, untouched));
  EXPECT_FALSE(plugin->getProgramNameIndexed(0, -1, untouched));
  EXPECT_STREQ(untouched, "keep");
  // The category is ignored.
  char text[vst::kVstMaxTextLen] = {};
  EXPECT_TRUE(plugin->getProgramNameIndexed(7, 15, text));
  EXPECT_STREQ(text, "Init Preset 16");
  EXPECT_EQ(plugin->dispatcher(vst::effGetProgramNameIndexed, 16, 0, text, 0.0f), 0);
}

TEST(SynthPrograms, ParametersWriteIntoTheCurrentProgram) {
  auto plugin = makePlugin();
  plugin->setProgram(3);
  EXPECT_EQ(plugin->getProgram(), 3);
  plugin->setParameter(kCut, 0.25f);
  EXPECT_EQ(plugin->program(3).value(kCut), 0.25f);
  EXPECT_EQ(plugin->program(0).value(kCut), 0.9f);
  plugin->setProgram(0);
  EXPECT_EQ(plugin->getParameter(kCut), 0.9f);
  plugin->setProgram(3);
  EXPECT_EQ(plugin->getParameter(kCut), 0.25f);
  // Out-of-range programs are ignored.
  plugin->setProgram(16);
  plugin->setProgram(-1);
  EXPECT_EQ(plugin->getProgram(), 3);
}

TEST(SynthPrograms, SetProgramWritesClampsBackIntoTheProgram) {
  auto plugin = makePlugin();
  plugin->program(2).setValue(kWav1, 0.9f);
  plugin->program(2).setValue(kLFODest, 1.0f);
  plugin->setProgram(2);
  EXPECT_EQ(plugin->getParameter(kWav1), 0.3f);
  EXPECT_EQ(plugin->program(2).value(kWav1), 0.3f);
  EXPECT_EQ(plugin->program(2).value(kLFODest), 0.7f);
  EXPECT_EQ(plugin->oscillator1WaveIndex(), kTriangle);
}

// Records the order in which setProgram applies values.
class RecordingPlugin : public APlugin {
 public:
  RecordingPlugin()
      : APlugin(synthtest::hostCallback, APluginOptions{std::make_shared<platform::MemorySettingsStore>(), 1, {}}) {}
  void setParameter(vst::VstInt32 index, float value) override {
    order.push_back(index);
    APlugin::setParameter(index, value);
  }
  std::vector<int> order;
};

TEST(SynthPrograms, SetProgramOrder) {
  RecordingPlugin plugin;
  plugin.setProgram(5);
  const std::vector<int> expected = {23, 14, 16, 17, 18, 19, 7, 8, 9, 10, 15, 6, 26, 0,
                                     1,  2,  3,  4,  5,  11, 12, 13, 20, 21, 22, 24, 25};
  EXPECT_EQ(plugin.order, expected);
}

TEST(SynthPrograms, ProgramNames) {
  auto plugin = makePlugin();
  plugin->setProgram(1);
  std::string longName = "A name much longer than twenty-three characters";
  plugin->setProgramName(longName.data());
  char text[vst::kVstMaxTextLen];
  plugin->getProgramName(text);
  EXPECT_EQ(std::string(text), longName.substr(0, 23));
  plugin->getProgramNameIndexed(0, 0, text);
  EXPECT_STREQ(text, "Init Preset 01");
  std::string empty;
  plugin->setProgramName(empty.data());
  plugin->getProgramName(text);
  EXPECT_STREQ(text, "");
}

// A window that counts what the editor asks of it.
struct WindowLog {
  int created = 0;
  int destroyed = 0;
  int shown = 0;
  int copies = 0;
  bool lastWide = false;
  void* lastParent = nullptr;
};

class CountingWindow : public EditorWindow {
 public:
  explicit CountingWindow(WindowLog& l) : log(l) { ++log.created; }
  ~CountingWindow() override { ++log.destroyed; }
  void copyState() override { ++log.copies; }
  void show() override { ++log.shown; }
  WindowLog& log;
};

EditorWindowFactory countingFactory(WindowLog& log) {
  return [&log](APlugin&, void* parent, bool wide) {
    log.lastWide = wide;
    log.lastParent = parent;
    return std::make_unique<CountingWindow>(log);
  };
}

vst::ERect rectOf(APlugin& plugin) {
  vst::ERect* rect = nullptr;
  EXPECT_EQ(plugin.dispatcher(vst::effEditGetRect, 0, 0, &rect, 0.0f), 1);
  return rect != nullptr ? *rect : vst::ERect{-1, -1, -1, -1};
}

TEST(SynthEditor, RectangleFollowsTheHostVendor) {
  synthtest::testHost.vendor = "Test Vendor";
  auto plugin = makePlugin();
  vst::ERect rect = rectOf(*plugin);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.bottom, 358);
  EXPECT_EQ(rect.right, 239);
  EXPECT_STREQ(plugin->getHostVendor(), "Test Vendor");
  EXPECT_STREQ(plugin->getHostProduct(), "Test Product");

  synthtest::testHost.vendor = "Sonic Syndicate";
  auto special = makePlugin();
  EXPECT_EQ(rectOf(*special).right, 439);
  synthtest::testHost.vendor = "sonic syndicate";  // the comparison is case-sensitive
  auto lowercase = makePlugin();
  EXPECT_EQ(rectOf(*lowercase).right, 239);
  synthtest::testHost.vendor = "Test Vendor";
}

TEST(SynthEditor, OpenCountKeepsTheWindow) {
  WindowLog log;
  auto plugin = makePlugin(std::make_shared<platform::MemorySettingsStore>(), countingFactory(log));
  APluginEditor& editor = *plugin->pluginEditor();
  int parent = 0;
  EXPECT_EQ(plugin->dispatcher(vst::effEditOpen, 0, 0, &parent, 0.0f), 1);
  EXPECT_EQ(plugin->dispatcher(vst::effEditOpen, 0, 0, &parent, 0.0f), 1);
  EXPECT_EQ(log.created, 1);
  EXPECT_EQ(log.shown, 2);
  EXPECT_EQ(log.lastParent, &parent);
  EXPECT_FALSE(log.lastWide);
  EXPECT_EQ(editor.openCount(), 2);
  EXPECT_FALSE(plugin->isEditorClosed());

  plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(log.destroyed, 0);
  EXPECT_NE(editor.window(), nullptr);
  plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(log.destroyed, 1);
  EXPECT_EQ(editor.window(), nullptr);
  EXPECT_EQ(editor.parent(), nullptr);
  EXPECT_TRUE(plugin->isEditorClosed());
  // An extra close leaves the count at 0.
  plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(editor.openCount(), 0);
  // Open after close makes a fresh window.
  plugin->dispatcher(vst::effEditOpen, 0, 0, &parent, 0.0f);
  EXPECT_EQ(log.created, 2);
  EXPECT_FALSE(plugin->isEditorClosed());
  plugin.reset();
  EXPECT_EQ(log.destroyed, 2);
}

TEST(SynthEditor, UpdatesReachAnOpenWindow) {
  WindowLog log;
  auto plugin = makePlugin(std::make_shared<platform::MemorySettingsStore>(), countingFactory(log));
  plugin->setParameter(kCut, 0.5f);  // no window yet: nothing to copy into
  EXPECT_EQ(log.copies, 0);
  int parent = 0;
  plugin->dispatcher(vst::effEditOpen, 0, 0, &parent, 0.0f);
  plugin->setParameter(kCut, 0.4f);
  EXPECT_EQ(log.copies, 1);
  plugin->setProgram(2);  // 27 values, then the program's own refresh
  EXPECT_EQ(log.copies, 1 + 27 + 1);

  // The LFO raises the pending-update counter; idle takes it once.
  log.copies = 0;
  plugin->setParameter(kLFOAmnt, 0.5f);
  log.copies = 0;
  synthtest::Block block(16);
  block.replacing(*plugin);
  EXPECT_EQ(plugin->pendingUpdateCount(), 1);
  plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(log.copies, 1);
  EXPECT_EQ(plugin->pendingUpdateCount(), 0);
  plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(log.copies, 1);
}

TEST(SynthEditor, UpdatesFromAnotherThreadWaitForTheGuiThread) {
  WindowLog log;
  auto plugin = makePlugin(std::make_shared<platform::MemorySettingsStore>(), countingFactory(log));
  int parent = 0;
  plugin->dispatcher(vst::effEditOpen, 0, 0, &parent, 0.0f);
  std::thread audio([&] { plugin->setParameter(kCut, 0.3f); });
  audio.join();
  EXPECT_EQ(log.copies, 0);
  plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(log.copies, 1);
  plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(log.copies, 1);
}

// A host that constructs on a worker thread and runs the editor on another:
// the editor opcodes show the GUI thread, so the editor's own updates and
// its idle copy at once there, while the constructing thread no longer
// counts as the GUI thread.
TEST(SynthEditor, TheThreadOfTheEditorOpcodesIsTheGuiThread) {
  WindowLog log;
  std::unique_ptr<APlugin> plugin;
  std::thread constructing(
      [&] { plugin = makePlugin(std::make_shared<platform::MemorySettingsStore>(), countingFactory(log)); });
  constructing.join();
  int parent = 0;
  plugin->dispatcher(vst::effEditOpen, 0, 0, &parent, 0.0f);
  const int opened = log.copies;
  plugin->setParameter(kCut, 0.3f);
  EXPECT_EQ(log.copies, opened + 1) << "an update on the editor's thread waits";
  std::thread audio([&] { plugin->setParameter(kCut, 0.4f); });
  audio.join();
  EXPECT_EQ(log.copies, opened + 1);
  plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(log.copies, opened + 2) << "the idle never reaches the window";
}

TEST(SynthEditor, SpecialHostOpensTheWideWindow) {
  synthtest::testHost.vendor = "Sonic Syndicate";
  WindowLog log;
  auto plugin = makePlugin(std::make_shared<platform::MemorySettingsStore>(), countingFactory(log));
  int parent = 0;
  plugin->dispatcher(vst::effEditOpen, 0, 0, &parent, 0.0f);
  EXPECT_TRUE(log.lastWide);
  synthtest::testHost.vendor = "Test Vendor";
}

}  // namespace
