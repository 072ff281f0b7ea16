#include "framework/AudioEffect.h"

#include <cmath>
#include <cstring>

#include "framework/EffectEntries.h"
#include "framework/Opcodes.h"

namespace vst {
namespace {

// The level scaled to 16 bits, halves to even. A level that is not a finite
// number in range would make the conversion undefined; it answers 0.
VstIntPtr vuAnswer(float level) {
  const double scaled = std::nearbyint(level * 32767.0);
  if (!(std::fabs(scaled) <= 2147483647.0)) return 0;
  return static_cast<VstIntPtr>(scaled);
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback master, VstInt32 programCount, VstInt32 paramCount)
    : numPrograms(programCount), numParams(paramCount), audioMaster(master) {
  std::memset(&effectRecord, 0, sizeof(effectRecord));
  effectRecord.magic = kEffectMagic;
  effectRecord.dispatcher = dispatchEntry;
  effectRecord.process = processEntry;
  effectRecord.setParameter = setParameterEntry;
  effectRecord.getParameter = getParameterEntry;
  effectRecord.numPrograms = programCount;
  effectRecord.numParams = paramCount;
  effectRecord.numInputs = 1;
  effectRecord.numOutputs = 2;
  effectRecord.flags = 0;
  effectRecord.ioRatio = 1.0f;
  effectRecord.object = this;
  effectRecord.user = nullptr;
  effectRecord.uniqueID = kNoEffectId;
  effectRecord.version = 1;
  effectRecord.processReplacing = processReplacingEntry;
}

// The attached editor goes first, while the object it refers to still exists.
AudioEffect::~AudioEffect() { editor.reset(); }

void AudioEffect::setSampleRate(float rate) { sampleRate = rate; }
void AudioEffect::setBlockSize(VstInt32 size) { blockSize = size; }
void AudioEffect::setParameter(VstInt32, float) {}
float AudioEffect::getParameter(VstInt32) { return 0.0f; }

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
  setParameter(index, value);
  if (audioMaster != nullptr) audioMaster(&effectRecord, audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::processReplacing(float**, float**, VstInt32) {}

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt) {
  // Compared as unsigned: negative opcodes fall outside the table too.
  if (static_cast<std::uint32_t>(opcode) > static_cast<std::uint32_t>(effSetChunk)) return 0;
  switch (opcode) {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram:
      if (value >= 0 && value < numPrograms) setProgram(static_cast<VstInt32>(value));
      return 0;
    case effGetProgram: return getProgram();
    case effSetProgramName: setProgramName(static_cast<char*>(ptr)); return 0;
    case effGetProgramName: getProgramName(static_cast<char*>(ptr)); return 0;
    case effGetParamLabel: getParameterLabel(index, static_cast<char*>(ptr)); return 0;
    case effGetParamDisplay: getParameterDisplay(index, static_cast<char*>(ptr)); return 0;
    case effGetParamName: getParameterName(index, static_cast<char*>(ptr)); return 0;
    case effGetVu: return vuAnswer(getVu());
    case effSetSampleRate: setSampleRate(opt); return 0;
    case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
    case effMainsChanged:
      if (value == 0) suspend(); else resume();
      return 0;
    case effEditGetRect:
      return editor ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
    case effEditOpen: return editor ? editor->open(ptr) : 0;
    case effEditClose:
      if (editor) editor->close();
      return 0;
    case effEditIdle:
      if (editor) editor->idle();
      return 0;
    case effIdentify: return kIdentifyAnswer;
    case effGetChunk: return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
      return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default: return 0;  // effEditDraw, Mouse, Key, Top, Sleep
  }
}

void AudioEffect::open() {}
void AudioEffect::close() {}
VstInt32 AudioEffect::getProgram() { return curProgram; }
void AudioEffect::setProgram(VstInt32 program) { curProgram = program; }
void AudioEffect::setProgramName(char*) {}
void AudioEffect::getProgramName(char*) {}
void AudioEffect::getParameterLabel(VstInt32, char*) {}
void AudioEffect::getParameterDisplay(VstInt32, char*) {}
void AudioEffect::getParameterName(VstInt32, char*) {}
float AudioEffect::getVu() { return 0.0f; }
VstInt32 AudioEffect::getChunk(void**, bool) { return 0; }
VstInt32 AudioEffect::setChunk(void*, VstInt32, bool) { return 0; }
void AudioEffect::suspend() {}
void AudioEffect::resume() {}
void AudioEffect::setUniqueID(VstInt32 id) { effectRecord.uniqueID = id; }
void AudioEffect::setNumInputs(VstInt32 inputs) { effectRecord.numInputs = inputs; }
void AudioEffect::setNumOutputs(VstInt32 outputs) { effectRecord.numOutputs = outputs; }
void AudioEffect::hasVu(bool state) { setFlag(effFlagsHasVu, state); }
void AudioEffect::hasClip(bool state) { setFlag(effFlagsHasClip, state); }
void AudioEffect::canMono(bool state) { setFlag(effFlagsCanMono, state); }
void AudioEffect::canProcessReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
void AudioEffect::programsAreChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
void AudioEffect::setRealtimeQualities(VstInt32 qualities) { effectRecord.realQualities = qualities; }
void AudioEffect::setOfflineQualities(VstInt32 qualities) { effectRecord.offQualities = qualities; }
void AudioEffect::setInitialDelay(VstInt32 delay) { effectRecord.initialDelay = delay; }

VstInt32 AudioEffect::getMasterVersion() {
  const VstIntPtr answer = callHost(audioMasterVersion);
  return answer != 0 ? static_cast<VstInt32>(answer) : 1;
}

VstInt32 AudioEffect::getCurrentUniqueId() {
  return static_cast<VstInt32>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() { callHost(audioMasterIdle); }

bool AudioEffect::isInputConnected(VstInt32 input) {
  return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(VstInt32 output) {
  return callHost(audioMasterPinConnected, output, 1) == 0;
}

void AudioEffect::setEditor(AEffEditor* newEditor) {
  editor.reset(newEditor);
  setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void AudioEffect::setFlag(VstInt32 bit, bool state) {
  if (state) effectRecord.flags |= bit;
  else effectRecord.flags &= ~bit;
}

VstIntPtr AudioEffect::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
  if (audioMaster == nullptr) return 0;
  return audioMaster(&effectRecord, opcode, index, value, ptr, opt);
}

}  // namespace vst
