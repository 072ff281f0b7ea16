// See GateProbe.h.

#include "tests/render/GateProbe.h"

#include <cstdio>
#include <cstring>

#include "framework/AudioEffectX.h"
#include "framework/HostText.h"
#include "framework/PluginEntry.h"

namespace gate_probe {
namespace {

struct Program {
  char name[32];
  float values[kNumParams];
};

struct Pending {
  vst::VstInt32 frame;
  unsigned char status, data1, data2;
};

class GateProbe : public vst::AudioEffectX {
 public:
  explicit GateProbe(vst::audioMasterCallback master) : AudioEffectX(master, kNumPrograms, kNumParams) {
    for (int p = 0; p < kNumPrograms; ++p) {
      std::snprintf(programs[p].name, sizeof programs[p].name, "Gate %d", p + 1);
      programs[p].values[kGain] = 1.0f;
      programs[p].values[kColour] = 0.25f * static_cast<float>(p);
    }
    setUniqueID(kUniqueId);
    setNumInputs(2);
    setNumOutputs(2);
    canProcessReplacing(true);
    isSynth(true);
  }

  void setProgram(vst::VstInt32 program) override {
    if (program >= 0 && program < kNumPrograms) curProgram = program;
  }
  void setProgramName(char* name) override {
    vst::copyHostText(programs[curProgram].name, name, sizeof programs[curProgram].name);
  }
  void getProgramName(char* name) override { vst::copyHostText(name, programs[curProgram].name, vst::kVstMaxTextLen); }
  void setParameter(vst::VstInt32 index, float value) override {
    if (index >= 0 && index < kNumParams) programs[curProgram].values[index] = value;
  }
  float getParameter(vst::VstInt32 index) override {
    return index >= 0 && index < kNumParams ? programs[curProgram].values[index] : 0.0f;
  }
  void getParameterName(vst::VstInt32 index, char* text) override {
    const char* name = index == kGain ? "gain" : (index == kColour ? "colour" : "don't touch!");
    vst::copyHostText(text, name, vst::kVstMaxTextLen);
  }
  vst::VstInt32 canDo(char* text) override {
    return text != nullptr && std::strcmp(text, "receiveVstMidiEvent") == 0 ? 1 : -1;
  }

  // Audio thread.
  vst::VstInt32 processEvents(vst::VstEvents* events) override {
    for (vst::VstInt32 e = 0; e < events->numEvents && pendingCount < kMaxPendingEvents; ++e) {
      const vst::VstEvent* event = events->events[e];
      if (event->type != vst::kVstMidiType) continue;
      const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
      pending[pendingCount++] = {midi->deltaFrames, static_cast<unsigned char>(midi->midiData[0]),
                                 static_cast<unsigned char>(midi->midiData[1]),
                                 static_cast<unsigned char>(midi->midiData[2])};
    }
    return 1;
  }
  // Audio thread.
  void processReplacing(float** inputs, float** outputs, vst::VstInt32 frames) override {
    render(inputs, outputs, frames, false);
  }
  // Audio thread.
  void process(float** inputs, float** outputs, vst::VstInt32 frames) override {
    render(inputs, outputs, frames, true);
  }

 private:
  void apply(const Pending& event) {
    const unsigned kind = event.status & 0xF0u;
    const int key = event.data1 & 0x7F;
    if (kind == 0x90u && event.data2 > 0) held[key] = static_cast<float>(event.data2) / 127.0f;
    if (kind == 0x80u || (kind == 0x90u && event.data2 == 0)) held[key] = 0.0f;
  }

  void render(float** /*inputs*/, float** outputs, vst::VstInt32 frames, bool accumulate) {
    const float gain = programs[curProgram].values[kGain];
    for (vst::VstInt32 i = 0; i < frames; ++i) {
      for (int e = 0; e < pendingCount; ++e) {
        if (pending[e].frame == i) apply(pending[e]);
      }
      float level = 0.0f;
      for (float note : held) level += note;
      level *= gain;
      outputs[0][i] = (accumulate ? outputs[0][i] : 0.0f) + level;
      outputs[1][i] = (accumulate ? outputs[1][i] : 0.0f) + 0.5f * level;
    }
    // Events beyond the block (a host fault) are dropped with the rest.
    pendingCount = 0;
  }

  Program programs[kNumPrograms] = {};
  float held[128] = {};
  Pending pending[kMaxPendingEvents] = {};
  int pendingCount = 0;
};

}  // namespace
}  // namespace gate_probe

extern "C" vst::AEffect* VSTPluginMain(vst::audioMasterCallback audioMaster) {
  return vst::createEffect<gate_probe::GateProbe>(audioMaster);
}
