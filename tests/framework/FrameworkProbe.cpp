// A tiny instrument built from the framework alone, so that a host can prove
// the framework through a real loaded binary.

#include <stdexcept>
#include <string>

#include "framework/AudioEffectX.h"
#include "framework/HostText.h"
#include "framework/PluginEntry.h"
#include "tests/framework/ProbeTrace.h"

namespace probe {
namespace {

class ProbeEffect;

void trace(vst::AudioEffectX& effect, Trace what, vst::VstInt32 detail = 0) {
  effect.hostVendorSpecific(kTraceIndex, what, nullptr, static_cast<float>(detail));
}

class ProbeEditor : public vst::AEffEditor {
 public:
  explicit ProbeEditor(vst::AudioEffectX* owner) : AEffEditor(owner), owner(owner) {}
  ~ProbeEditor() override { trace(*owner, editorDestroyed); }
  vst::VstInt32 getRect(vst::ERect** rect) override {
    area = {0, 0, 200, 100};
    if (rect != nullptr) *rect = &area;
    return 1;
  }

 private:
  vst::AudioEffectX* owner;
  vst::ERect area{};
};

class ProbeEffect : public vst::AudioEffectX {
 public:
  explicit ProbeEffect(vst::audioMasterCallback master)
      : AudioEffectX(master, kNumPrograms, kNumParams) {
    setEditor(new ProbeEditor(this));
    setUniqueID(kProbeId);
    canProcessReplacing(true);
    trace(*this, constructed);
  }
  ~ProbeEffect() override { trace(*this, destroyed); }

  void open() override { trace(*this, opened); }
  void close() override { trace(*this, closed); }
  void suspend() override { trace(*this, suspended); }
  void resume() override {
    trace(*this, resumed);
    wantEvents(1);
  }
  void setProgram(vst::VstInt32 program) override {
    AudioEffectX::setProgram(program);
    trace(*this, programSet, program);
  }

  void setParameter(vst::VstInt32 index, float value) override {
    if (index == kVuParameter) vu = value;
    if (index == kDetachEditorCommand) setEditor(nullptr);
    if (index == kThrowCommand) throw std::runtime_error("probe failure");
    if (index >= 0 && index < kNumParams) params[index] = value;
  }
  float getParameter(vst::VstInt32 index) override {
    return index >= 0 && index < kNumParams ? params[index] : 0.0f;
  }
  float getVu() override { return vu; }

  void getParameterName(vst::VstInt32 index, char* text) override {
    // Longer than any host buffer for names, to prove the bounded copy.
    vst::copyHostText(text, "Parameter " + std::to_string(index) + " with a much too long name",
                      vst::kVstMaxTextLen);
  }
  bool getEffectName(char* name) override {
    vst::copyHostText(name, "Framework Probe", vst::kVstMaxEffectNameLen);
    return true;
  }
  vst::VstInt32 canDo(char* text) override {
    return text != nullptr && std::string(text) == "receiveVstEvents" ? 1 : -1;
  }

  vst::VstInt32 processEvents(vst::VstEvents* events) override {
    trace(*this, eventsReceived, events != nullptr ? events->numEvents : -1);
    return 1;
  }

  // Audio thread.
  void process(float** inputs, float** outputs, vst::VstInt32 frames) override {
    for (int channel = 0; channel < 2; ++channel) {
      for (vst::VstInt32 i = 0; i < frames; ++i) outputs[channel][i] += inputs[0][i] * params[0];
    }
  }
  // Audio thread.
  void processReplacing(float** inputs, float** outputs, vst::VstInt32 frames) override {
    for (int channel = 0; channel < 2; ++channel) {
      for (vst::VstInt32 i = 0; i < frames; ++i) outputs[channel][i] = inputs[0][i] * params[0];
    }
  }

 private:
  float params[kNumParams] = {1.0f, 0.0f, 0.0f, 0.0f};
  float vu = 0.0f;
};

}  // namespace
}  // namespace probe

extern "C" vst::AEffect* VSTPluginMain(vst::audioMasterCallback audioMaster) {
  return vst::createEffect<probe::ProbeEffect>(audioMaster);
}
