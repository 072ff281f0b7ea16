#include "synth/engine/APlugin.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "framework/HostText.h"
#include "synth/engine/APluginEditor.h"

namespace marrowglint {
namespace {

constexpr float kPeriod = static_cast<float>(TWaveTables::kPeriod);
// Keeps state away from denormal numbers.
constexpr float kAntiDenormal = 1e-24f;
constexpr float kGlideStep = 0.03f;

// The order in which setProgram applies a program's values.
constexpr std::array<int, kNumLiveValues> kProgramOrder = {
    kGTune, kGlide, kPWM, kFM, kTube, kFat, kAAt, kADe, kASu, kARe, kRMod, kMix, kLFOWav, kWav1,
    kTun1, kFin1, kWav2, kTun2, kFin2, kCut, kReso, kFilt, kLFOAmnt, kLFORate, kLFODest, kOutVol,
    kPhase};

// A phase that left 0..16384 by more than one period (a very high note with
// raised tunes, or a large frequency-modulation jump) is brought back by
// whole periods, so every table index stays inside its array. fmod is exact.
float wrapPeriods(float phase) {
  float wrapped = std::fmod(phase, kPeriod);
  if (wrapped < 0.0f) wrapped += kPeriod;
  return wrapped;
}

// 2^(s/12): whole octaves exactly, the rest from one power within the octave.
float semitoneRatio(int semitones) {
  int octave = semitones / 12;
  int step = semitones % 12;
  if (step < 0) {
    step += 12;
    --octave;
  }
  return static_cast<float>(std::ldexp(std::pow(2.0, step / 12.0), octave));
}

bool isMidiEvent(const vst::VstEvent* event) {
  return event != nullptr && event->type == vst::kVstMidiType;
}

}  // namespace

struct APlugin::RenderValues {
  std::array<float, kNumLiveValues> v;
  std::int32_t wave1;
  std::int32_t wave2;
  std::int32_t lfoWave;
  std::int32_t lfoDest;
  int mode;
  float lfoPhase;
  float lfoOutput;
  bool lfoMoved;
};

APlugin::APlugin(vst::audioMasterCallback audioMaster) : APlugin(audioMaster, APluginOptions{}) {}

APlugin::APlugin(vst::audioMasterCallback audioMaster, APluginOptions options)
    : vst::AudioEffectX(audioMaster, kNumPrograms, kNumParams),
      settingsStore(options.settings ? std::move(options.settings) : platform::userSettingsStore()) {
  for (auto& program : programs) program = std::make_unique<APluginProgram>();
  setEditor(new APluginEditor(this, std::move(options.editorWindowFactory)));

  // Engine state at rest, then the tables.
  glideTarget1 = 0.0f;
  glideTarget2 = 0.0f;
  lfoOutputValue.store(0.0f, std::memory_order_relaxed);
  for (TVoice& v : voices) v.note = 0;
  tables = std::make_unique<TWaveTables>(options.noiseSeed);
  for (int pos = 0; pos < TCombStage::kLength; ++pos) {
    ringCarrier[static_cast<std::size_t>(pos)] = static_cast<float>(std::sin(static_cast<double>(pos * 5000 + 1)));
  }

  for (int i = 0; i < kNumLiveValues; ++i) {
    liveValues[static_cast<std::size_t>(i)].store(kParameterInfo[static_cast<std::size_t>(i)].defaultValue,
                                                  std::memory_order_relaxed);
  }
  voiceCount = kNumVoices;
  for (TVoice& v : voices) {
    v.phase1 = v.phase2 = 0.0f;
    v.increment1 = v.increment2 = 0.0f;
    v.state = kEnvelopeIdle;
    v.level = 0.0f;
  }
  lfoPhaseValue.store(0.0f, std::memory_order_relaxed);

  for (auto& slot : controllerSlots) slot.store(0, std::memory_order_relaxed);
  const std::int32_t forceOrionFix = [this] {
    readSettings();
    const std::int32_t force = settingsStore->readInteger(kSettingsSubkey, kSettingForceOrionFix, 999);
    if (force == 999) settingsStore->writeInteger(kSettingsSubkey, kSettingForceOrionFixMarker, 0);
    return force;
  }();

  getHostVendorString(hostVendor);
  getHostProductString(hostProduct);
  hostVendor[sizeof hostVendor - 1] = '\0';
  hostProduct[sizeof hostProduct - 1] = '\0';
  if (forceOrionFix == 1) vst::copyHostText(hostVendor, kSpecialHostVendor, sizeof hostVendor);

  wave1.store(2, std::memory_order_relaxed);
  wave2.store(2, std::memory_order_relaxed);
  lfoWaveValue.store(0, std::memory_order_relaxed);
  lfoDest.store(kMix, std::memory_order_relaxed);
  pendingUpdate.store(0, std::memory_order_relaxed);

  hasVu(false);
  setNumInputs(2);
  setNumOutputs(2);
  canMono(true);
  canProcessReplacing(true);
  isSynth(true);
  setUniqueID(vst::fourCharCode('Z', 'Q', 'M', 'W'));

  generator.seed(static_cast<std::minstd_rand::result_type>(
      std::chrono::steady_clock::now().time_since_epoch().count() % 2147483646 + 1));
  suspend();

  for (int i = 0; i < kNumPrograms; ++i) {
    char name[APluginProgram::kNameLength];
    std::snprintf(name, sizeof name, "Init Preset %02d", i + 1);
    programs[static_cast<std::size_t>(i)]->setName(name);
  }
  curProgram = 0;
  setProgram(0);
}

// The editor goes first, as the base class would destroy it; then the
// settings are written back.
APlugin::~APlugin() {
  editor.reset();
  writeSettings();
}

APluginEditor* APlugin::pluginEditor() const { return static_cast<APluginEditor*>(getEditor()); }

void APlugin::readSettings() {
  platform::SettingsStore& store = *settingsStore;
  interpolation.store(static_cast<std::uint8_t>(store.readInteger(kSettingsSubkey, kSettingInterpolate, 0)),
                      std::memory_order_relaxed);
  reloadControllerSlots();
}

void APlugin::reloadControllerSlots() {
  for (int i = 0; i < kNumControllerSlots; ++i) {
    const std::int32_t entry =
        settingsStore->readInteger(kSettingsSubkey, kControllerSlots[static_cast<std::size_t>(i)].settingName, 0);
    controllerSlots[static_cast<std::size_t>(i)].store(entry, std::memory_order_relaxed);
  }
}

void APlugin::writeSettings() {
  std::array<platform::SettingValue, 1 + kNumControllerSlots> values{};
  values[0] = {kSettingInterpolate, interpolation.load(std::memory_order_relaxed)};
  for (int i = 0; i < kNumControllerSlots; ++i) {
    values[static_cast<std::size_t>(i + 1)] = {kControllerSlots[static_cast<std::size_t>(i)].settingName,
                                                controllerEntry(i + 1)};
  }
  settingsStore->writeIntegers(kSettingsSubkey, values);
}

int APlugin::random(int range) {
  if (range <= 0) return 0;
  return static_cast<int>(generator() % static_cast<unsigned>(range));
}

// ---------------------------------------------------------------------------
// Parameters and programs

void APlugin::setParameter(vst::VstInt32 index, float value) {
  if (value > 1.0f) value = 1.0f;
  if (!(value >= 0.0f)) value = 0.0f;  // negative or not a number
  if (index >= 0 && index < kNumLiveValues) {
    const float limit = kParameterInfo[static_cast<std::size_t>(index)].limit;
    if (value > limit) value = limit;
    liveValues[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
    programs[static_cast<std::size_t>(currentProgram.load(std::memory_order_relaxed))]->setValue(index, value);
    switch (index) {
      case kWav1: wave1.store(oscillator1Wave(value), std::memory_order_relaxed); break;
      case kWav2: wave2.store(oscillator2Wave(value), std::memory_order_relaxed); break;
      case kLFODest: lfoDest.store(lfoDestination(value), std::memory_order_relaxed); break;
      case kLFOWav:
        lfoWaveValue.store(lfoWave(value), std::memory_order_relaxed);
        lfoPhaseValue.store(0.0f, std::memory_order_relaxed);
        break;
      default: break;
    }
  } else if (index == kCommandInterpolation) {
    interpolation.store(static_cast<std::uint8_t>(nearest(10.0f * value)), std::memory_order_relaxed);
  } else if (index == kCommandReloadControllers) {
    reloadControllerSlots();
  }
  if (editor) editor->update();
}

float APlugin::getParameter(vst::VstInt32 index) {
  if (index < 0 || index >= kNumLiveValues) return 0.0f;
  return live(index);
}

void APlugin::setProgram(vst::VstInt32 program) {
  if (program < 0 || program >= kNumPrograms) return;
  curProgram = program;
  currentProgram.store(program, std::memory_order_relaxed);
  const APluginProgram& source = *programs[static_cast<std::size_t>(program)];
  for (const int index : kProgramOrder) setParameter(index, source.value(index));
  if (!isEditorClosed() && editor) editor->update();
}

void APlugin::setProgramName(char* name) {
  programs[static_cast<std::size_t>(currentProgram.load(std::memory_order_relaxed))]->setName(name);
  if (!isEditorClosed() && editor) editor->update();
}

void APlugin::getProgramName(char* name) {
  vst::copyHostText(name, programs[static_cast<std::size_t>(currentProgram.load(std::memory_order_relaxed))]->getName(),
                    vst::kVstMaxTextLen);
}

bool APlugin::getProgramNameIndexed(vst::VstInt32, vst::VstInt32 index, char* text) {
  if (index < 0 || index >= kNumPrograms) return false;
  vst::copyHostText(text, programs[static_cast<std::size_t>(index)]->getName(), vst::kVstMaxTextLen);
  return true;
}

void APlugin::getParameterName(vst::VstInt32 index, char* text) {
  const bool known = index >= 0 && index < kNumLiveValues;
  vst::copyHostText(text, known ? kParameterInfo[static_cast<std::size_t>(index)].name : kReservedName,
                    vst::kVstMaxTextLen);
}

void APlugin::getParameterLabel(vst::VstInt32 index, char* label) {
  const bool known = index >= 0 && index < kNumLiveValues;
  vst::copyHostText(label, known ? kParameterInfo[static_cast<std::size_t>(index)].label : kReservedLabel,
                    vst::kVstMaxTextLen);
}

void APlugin::getParameterDisplay(vst::VstInt32 index, char* text) {
  formatParameterDisplay(index, getParameter(index), text, vst::kVstMaxTextLen);
}

float APlugin::getVu() { return 0.0f; }

void APlugin::resume() { wantEvents(1); }

bool APlugin::getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) {
  if (index < 0 || index > 1 || properties == nullptr) return false;
  char label[16];
  std::snprintf(label, sizeof label, "MRGL %d", static_cast<int>(index) + 1);
  vst::copyHostText(properties->label, label, vst::kVstMaxPinLabelLen);
  properties->flags = vst::kVstPinIsActive | vst::kVstPinIsStereo;
  return true;
}

bool APlugin::getEffectName(char* name) {
  vst::copyHostText(name, "Marrowglint", vst::kVstMaxEffectNameLen);
  return true;
}

bool APlugin::getVendorString(char* text) {
  vst::copyHostText(text, "Vornhalt", vst::kVstMaxEffectNameLen);
  return true;
}

bool APlugin::getProductString(char* text) {
  vst::copyHostText(text, "Marrowglint", vst::kVstMaxEffectNameLen);
  return true;
}

vst::VstInt32 APlugin::getVendorVersion() { return 1; }

vst::VstInt32 APlugin::canDo(char* text) {
  if (text == nullptr) return -1;
  const std::string_view query(text);
  if (query == "receiveVstTimeInfo" || query == "receiveVstEvents" || query == "receiveVstMidiEvent") return 1;
  return -1;
}

// ---------------------------------------------------------------------------
// MIDI

vst::VstInt32 APlugin::processEvents(vst::VstEvents* events) {
  if (events == nullptr) return 1;
  vst::VstEvent* const* list = events->events;
  for (vst::VstInt32 i = 0; i < events->numEvents; ++i) {
    if (!isMidiEvent(list[i])) continue;
    unsigned char data[4];
    std::memcpy(data, reinterpret_cast<const vst::VstMidiEvent*>(list[i])->midiData, sizeof data);
    const int status = data[0] & 0xF0;
    if (status == 0x90 || status == 0x80) {
      const int shifted = (data[1] & 0x7F) + nearest(48.0f * live(kGTune)) + 24;
      const int velocity = status == 0x80 ? 0 : (data[2] & 0x7F);
      if (velocity > 0) {
        noteOn(shifted, velocity);
      } else {
        for (int v = 1; v <= kNumVoices; ++v) {
          if (voices[static_cast<std::size_t>(v - 1)].note == shifted) noteOff(v);
        }
      }
    } else if (status == 0xB0 || status == 0xE0) {
      const int source = status == 0xB0 ? data[1] : kSourcePitchBend;
      applyController(source, static_cast<float>(data[2]) / 127.0f);
    }
  }
  return 1;
}

void APlugin::applyController(int source, float value) {
  for (int i = 0; i < kNumControllerSlots; ++i) {
    std::atomic<std::int32_t>& slot = controllerSlots[static_cast<std::size_t>(i)];
    const std::int32_t entry = slot.load(std::memory_order_relaxed);
    if (entry == kSlotUnassigned) continue;
    const int parameter = kControllerSlots[static_cast<std::size_t>(i)].parameter;
    if (entry == source) {
      setParameter(parameter, value);
    } else if (entry == -source) {
      setParameter(parameter, 1.0f - value);
    } else if (entry == kSlotLearn) {
      slot.store(source, std::memory_order_relaxed);
    } else if (entry == -kSlotLearn) {
      slot.store(-source, std::memory_order_relaxed);
    }
  }
}

// ---------------------------------------------------------------------------
// Voices

void APlugin::noteOn(int note, int velocity) {
  const int s1 = nearest(static_cast<float>(note) + 48.0f * live(kTun1) - 24.0f);
  const int s2 = nearest(static_cast<float>(note) + 48.0f * live(kTun2) - 24.0f);
  const float base1 = semitoneRatio(s1);
  const float base2 = semitoneRatio(s2);
  const bool glide = live(kGlide) > 0.0f;
  const float attackRate = 1.0f - live(kAAt);
  const auto start = [attackRate](TVoice& voice) {
    voice.state = kEnvelopeAttack;
    voice.level = 0.0f;
    voice.setRate(attackRate);
  };

  if (live(kFat) > 0.0f) {
    for (int v = 1; v <= kNumVoices; ++v) {
      TVoice& voice = voices[static_cast<std::size_t>(v - 1)];
      voice.note = static_cast<std::uint8_t>(note);
      voice.gain = static_cast<float>(velocity) / 127.0f * 0.7f;
      const float detune = static_cast<float>(v - 1) / 10.0f - 0.25f;
      const float increment1 = base1 + detune;
      const float increment2 = base2 - detune;
      if (glide) {
        glideTarget1 = increment1;
        glideTarget2 = increment2;
      } else {
        voice.increment1 = increment1;
        voice.increment2 = increment2;
      }
      start(voice);
    }
    return;
  }

  for (int v = kNumVoices; v >= 1; --v) {
    TVoice& voice = voices[static_cast<std::size_t>(v - 1)];
    if (voice.note != 0 && voice.state != kEnvelopeIdle) continue;
    voice.note = static_cast<std::uint8_t>(note);
    voice.gain = static_cast<float>(velocity) / 127.0f;
    if (glide) {
      glideTarget1 = base1;
      glideTarget2 = base2;
    } else {
      voice.increment1 = base1;
      voice.increment2 = base2;
    }
    start(voice);
    if (live(kGlide) == 0.0f) {
      voice.phase1 = 0.0f;
      voice.phase2 = 0.0f;
    }
    return;
  }
  // Every voice is busy: the note is dropped (no stealing).
}

void APlugin::noteOff(int voiceNumber) {
  const float releaseRate = 1.0f - live(kARe);
  const bool sustainZero = live(kASu) == 0.0f;
  const auto release = [&](TVoice& voice) {
    voice.state = kEnvelopeRelease;
    voice.setRate(releaseRate);
    if (sustainZero) voice.state = kEnvelopeIdle;
  };
  if (live(kFat) > 0.0f) {
    for (int v = 1; v <= kNumVoices; ++v) release(voices[static_cast<std::size_t>(v - 1)]);
    return;
  }
  if (voiceNumber < 1 || voiceNumber > kNumVoices) return;
  TVoice& voice = voices[static_cast<std::size_t>(voiceNumber - 1)];
  if (voice.state != kEnvelopeIdle) release(voice);
}

// ---------------------------------------------------------------------------
// Rendering

float APlugin::envelopeStep(TVoice& voice, const RenderValues& values) {
  switch (voice.state) {
    case kEnvelopeAttack:
      voice.level += voice.step;
      if (voice.level >= 1.0f) {
        voice.level = 1.0f;
        voice.state = kEnvelopeDecay;
        voice.setRate(1.0f - values.v[kADe]);
      }
      break;
    case kEnvelopeDecay: {
      voice.level -= voice.step;
      const float sustain = values.v[kASu];
      if (voice.level < sustain) {
        voice.level = sustain;
        voice.state = kEnvelopeSustain;
        voice.setRate(0.0f);
        if (sustain == 0.0f) {
          voice.state = kEnvelopeIdle;
          voice.note = 0;
        }
      }
      break;
    }
    case kEnvelopeSustain: break;
    case kEnvelopeRelease:
      voice.level -= voice.step;
      // The last, slightly negative level is returned once and stays.
      if (voice.level < 0.0f) {
        voice.state = kEnvelopeIdle;
        voice.note = 0;
      }
      break;
    default: voice.level = 0.0f; break;
  }
  return voice.level;
}

float APlugin::voiceSample(TVoice& voice, const RenderValues& values, float ring) {
  if (voice.state == kEnvelopeIdle) return 0.0f;
  const auto& v = values.v;
  float e = voice.gain * tables->read(values.wave1, voice.phase1, values.mode);
  float d = voice.gain * tables->read(values.wave2, voice.phase2, values.mode);

  const float mix = v[kMix];
  const float pwm = v[kPWM];
  if (mix < 0.5f) {
    if (pwm > 0.0f && voice.phase1 > (1.0f - 0.9f * pwm) * kPeriod) e = 1.0f - d;
    voice.phase1 += v[kFM] * d * 2000.0f;
  } else {
    if (pwm > 0.0f && voice.phase2 > (1.0f - 0.9f * pwm) * kPeriod) d = 1.0f - e;
    voice.phase2 += v[kFM] * d * 2000.0f;
  }

  if (v[kGlide] > 0.0f) {
    if (voice.increment1 < glideTarget1) voice.increment1 += kGlideStep;
    else if (voice.increment1 > glideTarget1) voice.increment1 -= kGlideStep;
    if (voice.increment2 < glideTarget2) voice.increment2 += kGlideStep;
    else if (voice.increment2 > glideTarget2) voice.increment2 -= kGlideStep;
  }

  voice.phase1 += voice.increment1 + (v[kFin1] - 0.5f);
  if (voice.phase1 >= kPeriod) {
    voice.phase1 -= kPeriod;
    if (voice.phase1 >= kPeriod) voice.phase1 = wrapPeriods(voice.phase1);
    voice.phase2 = voice.phase1;  // hard sync
  }
  if (voice.phase1 < 0.0f) {
    voice.phase1 += kPeriod;
    if (voice.phase1 < 0.0f) voice.phase1 = wrapPeriods(voice.phase1);
  }

  // The 0.2 (not 0.5) offset tunes oscillator 2 slightly above oscillator 1.
  voice.phase2 += voice.increment2 + (v[kFin2] - 0.2f);
  if (voice.phase2 >= kPeriod) {
    voice.phase2 -= kPeriod;
    if (voice.phase2 >= kPeriod) voice.phase2 = wrapPeriods(voice.phase2);
  }
  if (voice.phase2 < 0.0f) {
    voice.phase2 += kPeriod;
    if (voice.phase2 < 0.0f) voice.phase2 = wrapPeriods(voice.phase2);
  }

  const float h = (1.0f - mix) * e + mix * d;
  const float level = envelopeStep(voice, values);
  const float rmod = v[kRMod];
  float result = rmod > 0.0f ? level * ((1.0f - rmod) * h + rmod * (e + d) * ring * 4.0f) : level * h;
  if (pwm > 0.0f) result *= 0.7f;
  return result;
}

float APlugin::renderSample(float in0, float in1, RenderValues& values) {
  auto& v = values.v;
  if (v[kLFOAmnt] > 0.0f) {
    const float* lfoTable = tables->values(values.lfoWave);
    const float lfo = (lfoTable[nearestSmall(values.lfoPhase)] * v[kLFOAmnt] + 1.0f) * 0.5f;
    values.lfoOutput = lfo;
    v[static_cast<std::size_t>(values.lfoDest)] = lfo;
    values.lfoMoved = true;
    values.lfoPhase += 0.8f * v[kLFORate];
    if (values.lfoPhase >= kPeriod) values.lfoPhase -= kPeriod;
  }

  const float ring = ringCarrier[static_cast<std::size_t>(combStage.position())];
  double sum = 0.0;
  for (int i = 0; i < voiceCount; ++i) sum += voiceSample(voices[static_cast<std::size_t>(i)], values, ring);
  sum = sum * v[kOutVol] / voiceCount;

  // Input that is not a finite number is silence: it must not poison the
  // filter and comb state for good.
  if (!std::isfinite(in0)) in0 = 0.0f;
  if (!std::isfinite(in1)) in1 = 0.0f;
  float g = (1.0f - v[kMix]) * in0 + v[kMix] * in1;
  if (v[kRMod] > 0.0f) g = (1.0f - v[kRMod]) * g + v[kRMod] * (in0 + in1) * ring * 4.0f;

  const float r = outputFilter.filterSample(static_cast<float>(g + sum), v[kReso], v[kCut], v[kFilt]);
  float o = combStage.combSample(r, v[kTube]);
  if (!std::isfinite(o)) {
    // Only an overflow of extreme input gets here; start again from rest.
    outputFilter.reset();
    combStage.reset();
    o = 0.0f;
  }
  if (o > 1.0f) o = 1.0f;
  if (o < -1.0f) o = -1.0f;
  return o;
}

void APlugin::renderBlock(float** inputs, float** outputs, vst::VstInt32 frames, bool accumulate) {
  if (frames <= 0 || outputs == nullptr || outputs[0] == nullptr || outputs[1] == nullptr) return;
  const float* in0 = inputs != nullptr ? inputs[0] : nullptr;
  const float* in1 = inputs != nullptr ? inputs[1] : nullptr;
  float* out0 = outputs[0];
  float* out1 = outputs[1];

  RenderValues values;
  for (int i = 0; i < kNumLiveValues; ++i) values.v[static_cast<std::size_t>(i)] = live(i);
  values.wave1 = wave1.load(std::memory_order_relaxed);
  values.wave2 = wave2.load(std::memory_order_relaxed);
  values.lfoWave = lfoWaveValue.load(std::memory_order_relaxed);
  values.lfoDest = lfoDest.load(std::memory_order_relaxed);
  values.mode = interpolation.load(std::memory_order_relaxed);
  const float lfoPhaseAtStart = lfoPhaseValue.load(std::memory_order_relaxed);
  values.lfoPhase = lfoPhaseAtStart;
  values.lfoOutput = lfoOutputValue.load(std::memory_order_relaxed);
  values.lfoMoved = false;
  const bool invert = values.v[kPhase] > 0.0f;

  for (vst::VstInt32 i = 0; i < frames; ++i) {
    const float a = in0 != nullptr ? in0[i] : 0.0f;
    const float b = in1 != nullptr ? in1[i] : 0.0f;
    const float y = renderSample(a, b, values) + kAntiDenormal;
    if (accumulate) {
      out0[i] += y;
      if (invert) out1[i] -= y; else out1[i] += y;
    } else {
      out0[i] = y;
      out1[i] = invert ? -y : y;
    }
  }

  if (values.lfoMoved) {
    liveValues[static_cast<std::size_t>(values.lfoDest)].store(values.v[static_cast<std::size_t>(values.lfoDest)],
                                                               std::memory_order_relaxed);
    lfoOutputValue.store(values.lfoOutput, std::memory_order_relaxed);
    pendingUpdate.store(1, std::memory_order_relaxed);
    // A reset by "LFOWav" on another thread during the block wins.
    float expected = lfoPhaseAtStart;
    lfoPhaseValue.compare_exchange_strong(expected, values.lfoPhase, std::memory_order_relaxed);
  }
}

void APlugin::process(float** inputs, float** outputs, vst::VstInt32 sampleFrames) {
  renderBlock(inputs, outputs, sampleFrames, true);
}

void APlugin::processReplacing(float** inputs, float** outputs, vst::VstInt32 sampleFrames) {
  renderBlock(inputs, outputs, sampleFrames, false);
}

}  // namespace marrowglint
