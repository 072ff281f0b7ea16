#include "framework/EffectEntries.h"

#include "framework/AudioEffect.h"
#include "framework/Opcodes.h"

namespace vst {
namespace {

AudioEffect* objectOf(AEffect* effect) {
  if (effect == nullptr) return nullptr;
  return static_cast<AudioEffect*>(effect->object);
}

}  // namespace

// Any host thread; effClose on the GUI thread.
VstIntPtr dispatchEntry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                        void* ptr, float opt) {
  AudioEffect* object = objectOf(effect);
  if (object == nullptr) return 0;
  try {
    if (opcode == effClose) {
      object->dispatcher(opcode, index, value, ptr, opt);
      object->destroyEditor();
      delete object;
      return 1;
    }
    return object->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

// Audio thread.
void processEntry(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames) {
  AudioEffect* object = objectOf(effect);
  if (object == nullptr) return;
  try {
    object->process(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

// Audio thread.
void processReplacingEntry(AEffect* effect, float** inputs, float** outputs,
                           VstInt32 sampleFrames) {
  AudioEffect* object = objectOf(effect);
  if (object == nullptr) return;
  try {
    object->processReplacing(inputs, outputs, sampleFrames);
  } catch (...) {
  }
}

// Any thread.
void setParameterEntry(AEffect* effect, VstInt32 index, float value) {
  AudioEffect* object = objectOf(effect);
  if (object == nullptr) return;
  try {
    object->setParameter(index, value);
  } catch (...) {
  }
}

// Any thread.
float getParameterEntry(AEffect* effect, VstInt32 index) {
  AudioEffect* object = objectOf(effect);
  if (object == nullptr) return 0.0f;
  try {
    return object->getParameter(index);
  } catch (...) {
    return 0.0f;
  }
}

}  // namespace vst
