// The framework proven through a real loaded binary, as a host sees it.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/Opcodes.h"
#include "host/Plugin.h"
#include "tests/framework/ProbeTrace.h"

namespace {

std::string probePath() {
#if defined(_WIN32)
  return std::string(VORNHALT_PROBE_DIR) + "/FrameworkProbe.dll";
#else
  return std::string(VORNHALT_PROBE_DIR) + "/FrameworkProbe.so";
#endif
}

std::vector<int> traces(const host::Plugin& plugin) {
  std::vector<int> seen;
  for (const host::HostCall& call : plugin.callsWithOpcode(probe::kTraceOpcode)) {
    if (call.index == probe::kTraceIndex) seen.push_back(static_cast<int>(call.value));
  }
  return seen;
}

int countTrace(const host::Plugin& plugin, probe::Trace what) {
  int count = 0;
  for (int seen : traces(plugin)) count += seen == what ? 1 : 0;
  return count;
}

class LoadedProbe : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = host::Plugin::load(probePath());
    ASSERT_NE(plugin, nullptr) << "cannot load " << probePath();
  }
  std::unique_ptr<host::Plugin> plugin;
};

TEST(LoadedProbeEntry, HostAnsweringZeroToVersionGetsNullAndNoConstruction) {
  host::Plugin::LoadError error{};
  std::string message;
  bool constructed = false;
  auto responder = [&](const host::HostCall& call, void*) -> std::optional<vst::VstIntPtr> {
    if (call.opcode == vst::audioMasterVersion) return 0;
    if (call.opcode == probe::kTraceOpcode) constructed = true;
    return std::nullopt;
  };
  auto plugin = host::Plugin::load(probePath(), {}, error, message, responder);
  EXPECT_EQ(plugin, nullptr);
  EXPECT_EQ(error, host::Plugin::LoadError::entryReturnedNull);
  EXPECT_FALSE(constructed);
}

TEST(LoadedProbeEntry, MissingFileAndNonPluginAreDistinctErrors) {
  host::Plugin::LoadError error{};
  std::string message;
  EXPECT_EQ(host::Plugin::load(probePath() + ".missing", {}, error, message), nullptr);
  EXPECT_EQ(error, host::Plugin::LoadError::cannotOpen);
  EXPECT_FALSE(message.empty());
}

TEST_F(LoadedProbe, RecordHoldsTheFrameworkValues) {
  const vst::AEffect* effect = plugin->effect();
  const auto* bytes = reinterpret_cast<const unsigned char*>(effect);
  EXPECT_EQ(bytes[0], 0x50);
  EXPECT_EQ(bytes[1], 0x74);
  EXPECT_EQ(bytes[2], 0x73);
  EXPECT_EQ(bytes[3], 0x56);
  EXPECT_EQ(effect->magic, 0x56737450);
  EXPECT_NE(effect->object, nullptr);
  EXPECT_EQ(plugin->initialUserField(), nullptr);
  EXPECT_EQ(effect->numPrograms, probe::kNumPrograms);
  EXPECT_EQ(effect->numParams, probe::kNumParams);
  EXPECT_EQ(effect->numInputs, 1);
  EXPECT_EQ(effect->numOutputs, 2);
  EXPECT_EQ(effect->flags, vst::effFlagsHasEditor | vst::effFlagsCanReplacing);
  EXPECT_EQ(effect->uniqueID, 0x41424344);
  EXPECT_EQ(effect->version, 1);
  EXPECT_EQ(effect->ioRatio, 1.0f);
  EXPECT_EQ(effect->initialDelay, 0);
  EXPECT_EQ(effect->realQualities, 0);
  EXPECT_EQ(effect->offQualities, 0);
  EXPECT_EQ(effect->resvd1, 0);
  EXPECT_EQ(effect->resvd2, 0);
  for (char byte : effect->future) EXPECT_EQ(byte, 0);
  EXPECT_NE(effect->dispatcher, nullptr);
  EXPECT_NE(effect->process, nullptr);
  EXPECT_NE(effect->processReplacing, nullptr);
  EXPECT_NE(effect->setParameter, nullptr);
  EXPECT_NE(effect->getParameter, nullptr);
#if defined(__i386__)
  EXPECT_EQ(sizeof(vst::AEffect), 144u);
#endif
}

TEST_F(LoadedProbe, MainAsksForTheHostVersionFirst) {
  const auto calls = plugin->calls();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front().opcode, vst::audioMasterVersion);
  EXPECT_FALSE(calls.front().withRecord);
  EXPECT_EQ(countTrace(*plugin, probe::constructed), 1);
}

TEST_F(LoadedProbe, SetProgramOnlyWithinRange) {
  plugin->clearCalls();
  plugin->dispatch(vst::effSetProgram, 0, probe::kNumPrograms);
  plugin->dispatch(vst::effSetProgram, 0, -1);
  EXPECT_EQ(countTrace(*plugin, probe::programSet), 0);
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 0);
  EXPECT_EQ(plugin->dispatch(vst::effSetProgram, 0, probe::kNumPrograms - 1), 0);
  EXPECT_EQ(countTrace(*plugin, probe::programSet), 1);
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), probe::kNumPrograms - 1);
}

TEST_F(LoadedProbe, VuIsScaledAndRoundedHalvesToEven) {
  plugin->setParameter(probe::kVuParameter, 0.5f);
  EXPECT_EQ(plugin->dispatch(vst::effGetVu), 16384);  // 16383.5 rounds to even
  plugin->setParameter(probe::kVuParameter, 1.0f);
  EXPECT_EQ(plugin->dispatch(vst::effGetVu), 32767);
  plugin->setParameter(probe::kVuParameter, 0.0f);
  EXPECT_EQ(plugin->dispatch(vst::effGetVu), 0);
}

TEST_F(LoadedProbe, FixedAnswersOfTheDispatcher) {
  EXPECT_EQ(plugin->dispatch(vst::effIdentify), 0x4E764566);
  EXPECT_EQ(plugin->dispatch(vst::effKeysRequired), 1);
  EXPECT_EQ(plugin->dispatch(vst::effGetVstVersion), 2300);
  EXPECT_EQ(plugin->dispatch(vst::effGetPlugCategory), 0);
  EXPECT_EQ(plugin->dispatch(vst::effGetNumProgramCategories), 1);
  EXPECT_EQ(plugin->dispatch(vst::effCanBeAutomated, 2), 1);
  EXPECT_EQ(plugin->dispatch(vst::effConnectInput, 0, 1), 1);
  EXPECT_EQ(plugin->dispatch(vst::effSetBlockSizeAndSampleRate, 0, 256, nullptr, 48000.0f), 1);
  EXPECT_EQ(plugin->dispatch(vst::effSetTotalSampleToProcess, 0, 1234), 1234);
  EXPECT_EQ(plugin->dispatch(vst::effGetCurrentMidiProgram), -1);
  void* chunk = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(plugin->dispatch(vst::effGetChunk, 0, 0, &chunk), 0);
  EXPECT_EQ(chunk, reinterpret_cast<void*>(0x1234));
}

TEST_F(LoadedProbe, UnknownAndNegativeOpcodesAnswerZeroAndCallNothing) {
  plugin->clearCalls();
  for (vst::VstInt32 opcode : {77, 78, 1000, -1, -100}) {
    EXPECT_EQ(plugin->dispatch(opcode, 1, 1, nullptr, 1.0f), 0) << opcode;
  }
  EXPECT_TRUE(plugin->calls().empty());
}

TEST_F(LoadedProbe, MainsChangedCallsSuspendOrResumeOnly) {
  plugin->clearCalls();
  plugin->dispatch(vst::effMainsChanged, 0, 0);
  EXPECT_EQ(traces(*plugin), std::vector<int>{probe::suspended});
  plugin->clearCalls();
  plugin->dispatch(vst::effMainsChanged, 0, 7);
  EXPECT_EQ(traces(*plugin), std::vector<int>{probe::resumed});
  EXPECT_EQ(plugin->callsWithOpcode(vst::audioMasterWantMidi).size(), 1u);
}

TEST_F(LoadedProbe, EditorRectangleWithAndWithoutEditor) {
  vst::ERect* rect = nullptr;
  EXPECT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->bottom, 200);
  EXPECT_EQ(rect->right, 100);

  plugin->setParameter(probe::kDetachEditorCommand, 1.0f);
  EXPECT_EQ(countTrace(*plugin, probe::editorDestroyed), 1);
  EXPECT_EQ(plugin->effect()->flags & vst::effFlagsHasEditor, 0);
  auto* sentinel = reinterpret_cast<vst::ERect*>(0x5678);
  rect = sentinel;
  EXPECT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, sentinel);
  EXPECT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, nullptr), 0);
  EXPECT_EQ(plugin->dispatch(vst::effEditKeyDown, 65, 0), 0);
  EXPECT_EQ(plugin->dispatch(vst::effEditIdle), 0);
}

TEST_F(LoadedProbe, TextsNeverOverrunTheHostBuffer) {
  char buffer[64];
  std::memset(buffer, 'x', sizeof buffer);
  plugin->dispatch(vst::effGetParamName, 1, 0, buffer);
  EXPECT_EQ(std::strlen(buffer), vst::kVstMaxTextLen - 1);
  EXPECT_EQ(std::string(buffer), std::string("Parameter 1 with a much ").substr(0, 23));
  EXPECT_EQ(buffer[vst::kVstMaxTextLen], 'x');
  EXPECT_EQ(plugin->effectName(), "Framework Probe");
  // A null buffer is left alone rather than written through.
  EXPECT_EQ(plugin->dispatch(vst::effGetParamName, 1, 0, nullptr), 0);
}

TEST_F(LoadedProbe, CanDoAndEvents) {
  char yes[] = "receiveVstEvents";
  char no[] = "";
  EXPECT_EQ(plugin->dispatch(vst::effCanDo, 0, 0, yes), 1);
  EXPECT_EQ(plugin->dispatch(vst::effCanDo, 0, 0, no), -1);
  plugin->clearCalls();
  EXPECT_EQ(plugin->sendMidi({host::noteOn(0, 60, 100), host::noteOff(0, 60)}), 1);
  const auto calls = plugin->callsWithOpcode(probe::kTraceOpcode);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].opt, 2.0f);
}

TEST_F(LoadedProbe, ProcessAccumulatesAndProcessReplacingReplaces) {
  plugin->start();
  plugin->setParameter(probe::kGainParameter, 0.5f);
  std::vector<float> input(17, 1.0f), left(17, 0.25f), right(17, 0.25f);
  float* inputs[2] = {input.data(), input.data()};
  float* outputs[2] = {left.data(), right.data()};
  plugin->process(inputs, outputs, 17);
  EXPECT_EQ(left[16], 0.75f);
  plugin->processReplacing(inputs, outputs, 17);
  EXPECT_EQ(left[0], 0.5f);
  EXPECT_EQ(right[16], 0.5f);
}

TEST_F(LoadedProbe, ExceptionsStopAtTheEntryFunctions) {
  plugin->setParameter(probe::kThrowCommand, 1.0f);
  EXPECT_EQ(plugin->getParameter(probe::kGainParameter), 1.0f);
  EXPECT_EQ(plugin->dispatch(vst::effIdentify), 0x4E764566);
}

TEST_F(LoadedProbe, CloseRunsCloseThenDestroysObjectAndEditor) {
  plugin->clearCalls();
  EXPECT_EQ(plugin->close(), 1);
  EXPECT_TRUE(plugin->isClosed());
  EXPECT_EQ(traces(*plugin),
            (std::vector<int>{probe::closed, probe::editorDestroyed, probe::destroyed}));
}

}  // namespace
