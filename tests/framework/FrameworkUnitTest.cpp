// The framework's operations in process: what each host wrapper sends, the
// defaults without a host, and the dispatcher paths a loaded binary cannot show.

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "framework/AudioEffectX.h"
#include "framework/HostText.h"
#include "framework/Opcodes.h"

namespace {

struct SentCall {
  vst::AEffect* effect;
  vst::VstInt32 opcode;
  vst::VstInt32 index;
  vst::VstIntPtr value;
  void* ptr;
  float opt;
};

std::vector<SentCall> sentCalls;
vst::VstIntPtr hostAnswer = 0;

vst::VstIntPtr recordingHost(vst::AEffect* effect, vst::VstInt32 opcode, vst::VstInt32 index,
                             vst::VstIntPtr value, void* ptr, float opt) {
  sentCalls.push_back({effect, opcode, index, value, ptr, opt});
  return hostAnswer;
}

class Effect : public vst::AudioEffectX {
 public:
  explicit Effect(vst::audioMasterCallback master) : AudioEffectX(master, 2, 3) {}
  void process(float**, float**, vst::VstInt32) override {}
  void setParameter(vst::VstInt32 index, float value) override {
    lastIndex = index;
    lastValue = value;
  }
  using AudioEffect::curProgram;
  vst::VstInt32 lastIndex = -1;
  float lastValue = 0.0f;
};

class KeyEditor : public vst::AEffEditor {
 public:
  using AEffEditor::AEffEditor;
  vst::VstInt32 onKeyDown(vst::VstKeyCode& key) override {
    lastKey = key;
    return 5;
  }
  vst::VstKeyCode lastKey{};
};

class FrameworkWithHost : public ::testing::Test {
 protected:
  void SetUp() override {
    sentCalls.clear();
    hostAnswer = 0;
  }
  const SentCall& onlyCall() {
    EXPECT_EQ(sentCalls.size(), 1u);
    return sentCalls.back();
  }
  Effect effect{recordingHost};
};

TEST(FrameworkDefaults, ConstructorMakesNoHostCallAndFillsTheRecord) {
  sentCalls.clear();
  Effect effect(recordingHost);
  EXPECT_TRUE(sentCalls.empty());
  EXPECT_EQ(effect.getAeffect()->object, &effect);
  EXPECT_EQ(effect.getAeffect()->uniqueID, 0x4E6F4566);
  EXPECT_EQ(effect.getSampleRate(), 44100.0f);
  EXPECT_EQ(effect.getBlockSize(), 1024);
  EXPECT_EQ(vst::fourCharCode('A', 'B', 'C', 'D'), 0x41424344);
}

TEST(FrameworkDefaults, WithoutHostEveryWrapperAnswersItsDefault) {
  Effect effect(nullptr);
  EXPECT_EQ(effect.getMasterVersion(), 1);
  EXPECT_EQ(effect.getCurrentUniqueId(), 0);
  EXPECT_TRUE(effect.isInputConnected(0));
  EXPECT_TRUE(effect.isOutputConnected(1));
  EXPECT_EQ(effect.getTimeInfo(0), nullptr);
  EXPECT_EQ(effect.tempoAt(0), 0);
  EXPECT_EQ(effect.updateSampleRate(), 44100.0f);
  EXPECT_EQ(effect.updateBlockSize(), 1024);
  char text[8] = "keep";
  EXPECT_FALSE(effect.getHostVendorString(text));
  EXPECT_STREQ(text, "keep");
  EXPECT_FALSE(effect.getHostProductString(text));
  EXPECT_EQ(effect.offlineGetCurrentPass(), 0);
  EXPECT_FALSE(effect.openFileSelector(nullptr));
  effect.masterIdle();
  effect.wantEvents(1);
  // Automation without a host still sets the parameter.
  effect.setParameterAutomated(2, 0.75f);
  EXPECT_EQ(effect.lastIndex, 2);
  EXPECT_EQ(effect.lastValue, 0.75f);
}

// effClose reaches the object's close(): once through the object's own
// dispatcher (which answers 0 and leaves the object alive), and once through
// the record's entry, which then destroys the editor and the object and
// answers 1.
class ClosingEffect : public Effect {
 public:
  ClosingEffect(int* closes, int* destructions) : Effect(nullptr), closes(closes), destructions(destructions) {}
  ~ClosingEffect() override { ++*destructions; }
  void close() override { ++*closes; }

 private:
  int* closes;
  int* destructions;
};

class CountedEditor : public vst::AEffEditor {
 public:
  CountedEditor(vst::AudioEffect* effect, int* destructions) : AEffEditor(effect), destructions(destructions) {}
  ~CountedEditor() override { ++*destructions; }

 private:
  int* destructions;
};

TEST(FrameworkDefaults, CloseReachesTheObjectAndTheEntryDestroysIt) {
  int closes = 0;
  int destructions = 0;
  int editorDestructions = 0;
  auto* effect = new ClosingEffect(&closes, &destructions);
  effect->setEditor(new CountedEditor(effect, &editorDestructions));
  EXPECT_EQ(effect->dispatcher(vst::effClose, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(destructions, 0);

  vst::AEffect* record = effect->getAeffect();
  EXPECT_EQ(record->dispatcher(record, vst::effClose, 0, 0, nullptr, 0.0f), 1);
  EXPECT_EQ(closes, 2);
  EXPECT_EQ(destructions, 1);
  EXPECT_EQ(editorDestructions, 1);
}

TEST(FrameworkDefaults, BaseTextOperationsLeaveBuffersAlone) {
  Effect effect(nullptr);
  char name[24] = "untouched";
  effect.dispatcher(vst::effGetProgramName, 0, 0, name, 0.0f);
  effect.dispatcher(vst::effGetParamLabel, 0, 0, name, 0.0f);
  EXPECT_STREQ(name, "untouched");
  EXPECT_EQ(effect.dispatcher(vst::effGetEffectName, 0, 0, name, 0.0f), 0);
  EXPECT_EQ(effect.dispatcher(vst::effCanDo, 0, 0, name, 0.0f), 0);
}

TEST(FrameworkDefaults, FlagSettersAndCategory) {
  Effect effect(nullptr);
  vst::AEffect* record = effect.getAeffect();
  effect.canMono(true);
  effect.canProcessReplacing(true);
  effect.hasVu(true);
  effect.hasClip(true);
  effect.programsAreChunks(true);
  effect.noTail(true);
  effect.wantAsyncOperation(true);
  effect.hasExternalBuffer(true);
  EXPECT_EQ(record->flags, 8 | 16 | 4 | 2 | 32 | 512 | 1024 | 2048);
  EXPECT_EQ(effect.getPlugCategory(), 0);
  effect.isSynth(true);
  EXPECT_EQ(effect.getPlugCategory(), 2);
  effect.hasVu(false);
  effect.isSynth(false);
  EXPECT_EQ(record->flags, 8 | 16 | 2 | 32 | 512 | 1024 | 2048);
  effect.setNumInputs(2);
  effect.setInitialDelay(7);
  effect.setRealtimeQualities(3);
  effect.setOfflineQualities(4);
  EXPECT_EQ(record->numInputs, 2);
  EXPECT_EQ(record->initialDelay, 7);
  EXPECT_EQ(record->realQualities, 3);
  EXPECT_EQ(record->offQualities, 4);
}

TEST_F(FrameworkWithHost, AutomationReportsIndexAndValue) {
  effect.setParameterAutomated(1, 0.25f);
  EXPECT_EQ(effect.lastIndex, 1);
  const SentCall& call = onlyCall();
  EXPECT_EQ(call.effect, effect.getAeffect());
  EXPECT_EQ(call.opcode, vst::audioMasterAutomate);
  EXPECT_EQ(call.index, 1);
  EXPECT_EQ(call.value, 0);
  EXPECT_EQ(call.opt, 0.25f);
}

TEST_F(FrameworkWithHost, HostAnsweringZeroGivesTheDefaults) {
  EXPECT_EQ(effect.getMasterVersion(), 1);
  EXPECT_TRUE(effect.isInputConnected(3));
  EXPECT_EQ(sentCalls.back().index, 3);
  EXPECT_EQ(sentCalls.back().value, 0);
  EXPECT_TRUE(effect.isOutputConnected(1));
  EXPECT_EQ(sentCalls.back().value, 1);
  EXPECT_EQ(effect.updateSampleRate(), 44100.0f);
  EXPECT_EQ(effect.updateBlockSize(), 1024);
  EXPECT_FALSE(effect.ioChanged());
  for (const SentCall& call : sentCalls) EXPECT_EQ(call.effect, effect.getAeffect());
}

TEST_F(FrameworkWithHost, HostAnswersAreTakenOver) {
  hostAnswer = 48000;
  EXPECT_EQ(effect.updateSampleRate(), 48000.0f);
  EXPECT_EQ(effect.getSampleRate(), 48000.0f);
  EXPECT_EQ(effect.updateBlockSize(), 48000);
  EXPECT_EQ(effect.getMasterVersion(), 48000);
  EXPECT_FALSE(effect.isInputConnected(0));
  hostAnswer = 1;
  EXPECT_EQ(effect.offlineGetCurrentPass(), 1);
  hostAnswer = 1200000;
  EXPECT_EQ(effect.tempoAt(0), 1200000);
}

TEST_F(FrameworkWithHost, WrappersSendTheirOpcodesAndArguments) {
  char text[64] = {};
  vst::VstTimeInfo time{};
  effect.setTime(3, &time);
  EXPECT_EQ(onlyCall().opcode, vst::audioMasterSetTime);
  EXPECT_EQ(sentCalls.back().value, 3);
  EXPECT_EQ(sentCalls.back().ptr, &time);
  sentCalls.clear();
  effect.sizeWindow(300, 200);
  EXPECT_EQ(onlyCall().opcode, vst::audioMasterSizeWindow);
  EXPECT_EQ(sentCalls.back().index, 300);
  EXPECT_EQ(sentCalls.back().value, 200);
  sentCalls.clear();
  effect.getHostVendorString(text);
  EXPECT_EQ(onlyCall().opcode, vst::audioMasterGetVendorString);
  EXPECT_EQ(sentCalls.back().ptr, text);
  sentCalls.clear();
  effect.hostVendorSpecific(4, 5, text, 1.5f);
  EXPECT_EQ(onlyCall().opcode, vst::audioMasterVendorSpecific);
  EXPECT_EQ(sentCalls.back().index, 4);
  EXPECT_EQ(sentCalls.back().value, 5);
  EXPECT_EQ(sentCalls.back().opt, 1.5f);
  sentCalls.clear();
  effect.setOutputSamplerate(96000.0f);
  EXPECT_EQ(onlyCall().opcode, vst::audioMasterSetOutputSampleRate);
  EXPECT_EQ(sentCalls.back().opt, 96000.0f);
  sentCalls.clear();
  effect.offlineRead(nullptr, 9, true);
  EXPECT_EQ(onlyCall().opcode, vst::audioMasterOfflineRead);
  EXPECT_EQ(sentCalls.back().index, 1);
  EXPECT_EQ(sentCalls.back().value, 9);
  sentCalls.clear();
  effect.offlineStart(nullptr, 6, 2);
  EXPECT_EQ(onlyCall().opcode, vst::audioMasterOfflineStart);
  EXPECT_EQ(sentCalls.back().index, 2);
  EXPECT_EQ(sentCalls.back().value, 6);
  sentCalls.clear();
  effect.wantEvents(1);
  EXPECT_EQ(onlyCall().opcode, vst::audioMasterWantMidi);
  EXPECT_EQ(sentCalls.back().value, 1);
  sentCalls.clear();
  effect.beginEdit(7);
  effect.endEdit(7);
  ASSERT_EQ(sentCalls.size(), 2u);
  EXPECT_EQ(sentCalls[0].opcode, vst::audioMasterBeginEdit);
  EXPECT_EQ(sentCalls[1].opcode, vst::audioMasterEndEdit);
  EXPECT_EQ(sentCalls[1].index, 7);
  sentCalls.clear();
  EXPECT_EQ(effect.getInputSpeakerArrangement(), nullptr);
  EXPECT_EQ(onlyCall().opcode, vst::audioMasterGetInputSpeakerArrangement);
}

TEST_F(FrameworkWithHost, SampleRateAndBlockSizeFromTheDispatcher) {
  effect.dispatcher(vst::effSetSampleRate, 0, 0, nullptr, 22050.0f);
  effect.dispatcher(vst::effSetBlockSize, 0, 64, nullptr, 0.0f);
  EXPECT_EQ(effect.getSampleRate(), 22050.0f);
  EXPECT_EQ(effect.getBlockSize(), 64);
  EXPECT_TRUE(sentCalls.empty());
}

TEST(FrameworkEditor, KeyCodeIsBuiltFromTheArguments) {
  Effect effect(nullptr);
  auto* editor = new KeyEditor(&effect);
  effect.setEditor(editor);
  EXPECT_EQ(effect.dispatcher(vst::effEditKeyDown, 'a', 0x1234, nullptr, 2.5f), 5);
  EXPECT_EQ(editor->lastKey.character, 'a');
  EXPECT_EQ(editor->lastKey.virt, 0x34);
  EXPECT_EQ(editor->lastKey.modifier, 2);  // 2.5 rounds to even
  EXPECT_EQ(effect.dispatcher(vst::effEditKeyUp, 'a', 0, nullptr, 0.0f), -1);
  EXPECT_EQ(effect.dispatcher(vst::effSetEditKnobMode, 0, 2, nullptr, 0.0f), 0);
}

// Any float a host sends as the modifier gives the low byte of its nearest
// integer, also beyond the range of every integer type.
TEST(FrameworkEditor, KeyModifierIsTheLowByteOfAnyFloat) {
  Effect effect(nullptr);
  auto* editor = new KeyEditor(&effect);
  effect.setEditor(editor);
  const struct {
    float opt;
    int modifier;
  } cases[] = {{-1.0f, 0xFF},        {-2.5f, 0xFE},   {300.0f, 44},
               {1073741952.0f, 0x80}, {1e30f, 0},      {-1e30f, 0},
               {std::numeric_limits<float>::max(), 0}, {std::numeric_limits<float>::infinity(), 0},
               {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (const auto& c : cases) {
    effect.dispatcher(vst::effEditKeyDown, 'a', 0, nullptr, c.opt);
    EXPECT_EQ(editor->lastKey.modifier, c.modifier) << c.opt;
  }
}

TEST(FrameworkEditor, BaseEditorBehaviour) {
  Effect effect(nullptr);
  struct CountingEditor : vst::AEffEditor {
    using AEffEditor::AEffEditor;
    void update() override { ++updates; }
    int updates = 0;
  } editor(&effect);
  vst::ERect* rect = reinterpret_cast<vst::ERect*>(0x10);
  EXPECT_EQ(editor.getRect(&rect), 0);
  EXPECT_EQ(rect, nullptr);
  EXPECT_EQ(editor.open(nullptr), 0);
  editor.idle();
  EXPECT_EQ(editor.updates, 0);
  editor.postUpdate();
  editor.idle();
  editor.idle();
  EXPECT_EQ(editor.updates, 1);
  vst::VstKeyCode key{};
  EXPECT_EQ(editor.onKeyDown(key), -1);
  EXPECT_EQ(editor.onKeyUp(key), -1);
  EXPECT_FALSE(editor.onWheel(1.0f));
}

TEST(FrameworkSpeakers, AllocateCopyAndMatch) {
  Effect effect(nullptr);
  vst::VstSpeakerArrangement* source = nullptr;
  ASSERT_TRUE(effect.allocateArrangement(&source, 2));
  EXPECT_EQ(source->numChannels, 2);
  EXPECT_EQ(source->speakers[1].azimuth, 0.0f);
  source->type = 7;
  std::strcpy(source->speakers[1].name, "Right");
  source->speakers[1].azimuth = 0.5f;
  source->speakers[1].type = 2;
  source->speakers[1].future[27] = 9;

  vst::VstSpeakerArrangement* copy = nullptr;
  EXPECT_TRUE(effect.matchArrangement(&copy, source));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->type, 7);
  EXPECT_EQ(copy->numChannels, 2);
  EXPECT_STREQ(copy->speakers[1].name, "Right");
  EXPECT_EQ(copy->speakers[1].azimuth, 0.5f);
  EXPECT_EQ(copy->speakers[1].type, 2);
  EXPECT_EQ(copy->speakers[1].future[27], 9);
  EXPECT_FALSE(effect.matchArrangement(&copy, nullptr));
  EXPECT_FALSE(effect.copySpeaker(nullptr, &source->speakers[0]));
  EXPECT_TRUE(effect.deallocateArrangement(&copy));
  EXPECT_EQ(copy, nullptr);
  EXPECT_TRUE(effect.deallocateArrangement(&source));
}

TEST(FrameworkText, BoundedCopy) {
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  vst::copyHostText(buffer, "abcdefghij", 5);
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_EQ(buffer[5], 'x');
  vst::copyHostText(buffer, "", 5);
  EXPECT_STREQ(buffer, "");
  vst::copyHostText(nullptr, "abc", 5);
  buffer[0] = 'q';
  vst::copyHostText(buffer, "abc", 0);
  EXPECT_EQ(buffer[0], 'q');
}

TEST(FrameworkVu, NonFiniteLevelAnswersZero) {
  struct LoudEffect : Effect {
    using Effect::Effect;
    float getVu() override { return level; }
    float level = 0.0f;
  } effect(nullptr);
  effect.level = 0.5f;
  EXPECT_EQ(effect.dispatcher(vst::effGetVu, 0, 0, nullptr, 0.0f), 16384);
  effect.level = -0.5f;  // -16383.5 rounds to even
  EXPECT_EQ(effect.dispatcher(vst::effGetVu, 0, 0, nullptr, 0.0f), -16384);
  effect.level = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(effect.dispatcher(vst::effGetVu, 0, 0, nullptr, 0.0f), 0);
  effect.level = std::numeric_limits<float>::infinity();
  EXPECT_EQ(effect.dispatcher(vst::effGetVu, 0, 0, nullptr, 0.0f), 0);
}

}  // namespace
