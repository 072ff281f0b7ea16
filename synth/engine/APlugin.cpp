#include "synth/engine/APlugin.h"

#include <algorithm>
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

// The order in which setProgram applies a program's values.
constexpr std::array<int, kNumLiveValues> kProgramOrder = {
    kGTune, kGlide, kPWM, kFM, kTube, kFat, kAAt, kADe, kASu, kARe, kRMod, kMix, kLFOWav, kWav1,
    kTun1, kFin1, kWav2, kTun2, kFin2, kCut, kReso, kFilt, kLFOAmnt, kLFORate, kLFODest, kOutVol,
    kPhase};

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
  std::int32_t lfoWave;
  std::int32_t lfoDest;
  float lfoPhase;
  float lfoOutput;
  bool lfoMoved;
  VoiceFrame voice;
};

APlugin::APlugin(vst::audioMasterCallback audioMaster) : APlugin(audioMaster, APluginOptions{}) {}

APlugin::APlugin(vst::audioMasterCallback audioMaster, APluginOptions options)
    : vst::AudioEffectX(audioMaster, kNumPrograms, kNumParams),
      settingsStore(options.settings ? std::move(options.settings) : platform::userSettingsStore()) {
  for (auto& program : programs) program = std::make_unique<APluginProgram>();
  setEditor(new APluginEditor(this, std::move(options.editorWindowFactory)));

  // Engine state at rest, then the tables.
  voices.glideTarget1 = 0.0f;
  voices.glideTarget2 = 0.0f;
  lfoOutputValue.store(0.0f, std::memory_order_relaxed);
  for (std::uint8_t& note : voices.note) note = 0;
  tables = TWaveTables::shared(options.noiseSeed);
  for (int pos = 0; pos < TCombStage::kLength; ++pos) {
    ringCarrier[static_cast<std::size_t>(pos)] = static_cast<float>(std::sin(static_cast<double>(pos * 5000 + 1)));
  }

  for (int i = 0; i < kNumLiveValues; ++i) {
    liveValues[static_cast<std::size_t>(i)].store(kParameterInfo[static_cast<std::size_t>(i)].defaultValue,
                                                  std::memory_order_relaxed);
  }
  voiceCount = kNumVoices;
  for (int i = 0; i < TVoiceBank::kCapacity; ++i) {
    voices.phase1[i] = voices.phase2[i] = 0.0f;
    voices.increment1[i] = voices.increment2[i] = 0.0f;
    voices.state[i] = kEnvelopeIdle;
    voices.level[i] = 0.0f;
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
  fixedRate = store.readInteger(kSettingsSubkey, kSettingFixedRatePitch, 0) == 1;
  reloadControllerSlots();
}

// The design counts increments, glide and envelope steps and the LFO speed
// per sample at 44.1 kHz; scaled by 44100 / rate they keep their pitch and
// times in seconds at any rate. A rate that is not a finite number of at
// least 1 Hz counts as 44100.
void APlugin::publishRateScale() {
  const float rate = sampleRate;
  const bool usable = rate >= 1.0f && std::isfinite(rate);
  const float scale = fixedRate || !usable ? 1.0f : static_cast<float>(44100.0 / static_cast<double>(rate));
  publishedRateScale.store(scale, std::memory_order_relaxed);
}

void APlugin::takeRateScale() {
  const float scale = publishedRateScale.load(std::memory_order_relaxed);
  if (scale != voices.rateScale) voices.setRateScale(scale);
}

void APlugin::setSampleRate(float rate) {
  vst::AudioEffectX::setSampleRate(rate);
  if (!resumed) publishRateScale();
}

void APlugin::setBlockSizeAndSampleRate(vst::VstInt32 size, float rate) {
  vst::AudioEffectX::setBlockSizeAndSampleRate(size, rate);
  if (!resumed) publishRateScale();
}

void APlugin::suspend() { resumed = false; }

void APlugin::storeLearnedControllers() {
  if (!controllersLearned.exchange(false, std::memory_order_relaxed)) return;
  std::array<platform::SettingValue, kNumControllerSlots> learned{};
  std::size_t count = 0;
  for (int i = 0; i < kNumControllerSlots; ++i) {
    const std::int32_t entry = controllerEntry(i + 1);
    if (entry == kSlotUnassigned || entry == kSlotLearn || entry == -kSlotLearn) continue;
    const char* name = kControllerSlots[static_cast<std::size_t>(i)].settingName;
    // Only a slot that the settings still have learning has learned since;
    // the others hold what the user typed or what was stored before.
    const std::int32_t stored = settingsStore->readInteger(kSettingsSubkey, name, 0);
    if (stored == kSlotLearn || stored == -kSlotLearn) learned[count++] = {name, entry};
  }
  if (count > 0) settingsStore->writeIntegers(kSettingsSubkey, std::span(learned.data(), count));
}

void APlugin::reloadControllerSlots() {
  storeLearnedControllers();
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

void APlugin::resume() {
  resumed = true;
  publishRateScale();
  wantEvents(1);
}

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

vst::VstIntPtr APlugin::dispatcher(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                   float opt) {
  guiThread.follow(opcode);
  return vst::AudioEffectX::dispatcher(opcode, index, value, ptr, opt);
}

vst::VstInt32 APlugin::processEvents(vst::VstEvents* events) {
  takeRateScale();  // a note starts its envelope with the current rate's step
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
          if (voices.note[v - 1] == shifted) noteOff(v);
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
    } else if (source == kSlotUnassigned) {
      // Controller 0 (bank select, sent with program changes) cannot be
      // assigned: learning waits for the next one.
      continue;
    } else if (entry == kSlotLearn) {
      slot.store(source, std::memory_order_relaxed);
      controllersLearned.store(true, std::memory_order_relaxed);
    } else if (entry == -kSlotLearn) {
      slot.store(-source, std::memory_order_relaxed);
      controllersLearned.store(true, std::memory_order_relaxed);
    }
  }
}

// ---------------------------------------------------------------------------
// Voices

void APlugin::startEnvelope(int lane, float attackRate) {
  voices.state[lane] = kEnvelopeAttack;
  voices.level[lane] = 0.0f;
  voices.setRate(lane, attackRate);
}

void APlugin::noteOn(int note, int velocity) {
  const int s1 = nearest(static_cast<float>(note) + 48.0f * live(kTun1) - 24.0f);
  const int s2 = nearest(static_cast<float>(note) + 48.0f * live(kTun2) - 24.0f);
  const float base1 = semitoneRatio(s1);
  const float base2 = semitoneRatio(s2);
  const bool glide = live(kGlide) > 0.0f;
  const float attackRate = 1.0f - live(kAAt);

  if (live(kFat) > 0.0f) {
    for (int lane = 0; lane < kNumVoices; ++lane) {
      voices.note[lane] = static_cast<std::uint8_t>(note);
      voices.gain[lane] = static_cast<float>(velocity) / 127.0f * 0.7f;
      const float detune = static_cast<float>(lane) / 10.0f - 0.25f;  // (v − 1) / 10 − 0.25
      const float increment1 = base1 + detune;
      const float increment2 = base2 - detune;
      if (glide) {
        voices.glideTarget1 = increment1;
        voices.glideTarget2 = increment2;
      } else {
        voices.increment1[lane] = increment1;
        voices.increment2[lane] = increment2;
      }
      startEnvelope(lane, attackRate);
    }
    return;
  }

  for (int lane = kNumVoices - 1; lane >= 0; --lane) {
    if (voices.note[lane] != 0 && voices.state[lane] != kEnvelopeIdle) continue;
    voices.note[lane] = static_cast<std::uint8_t>(note);
    voices.gain[lane] = static_cast<float>(velocity) / 127.0f;
    if (glide) {
      voices.glideTarget1 = base1;
      voices.glideTarget2 = base2;
    } else {
      voices.increment1[lane] = base1;
      voices.increment2[lane] = base2;
    }
    startEnvelope(lane, attackRate);
    if (live(kGlide) == 0.0f) {
      voices.phase1[lane] = 0.0f;
      voices.phase2[lane] = 0.0f;
    }
    return;
  }
  // Every voice is busy: the note is dropped (no stealing).
}

void APlugin::release(int lane, float releaseRate, bool sustainZero) {
  voices.state[lane] = kEnvelopeRelease;
  voices.setRate(lane, releaseRate);
  if (sustainZero) voices.state[lane] = kEnvelopeIdle;
}

void APlugin::noteOff(int voiceNumber) {
  const float releaseRate = 1.0f - live(kARe);
  const bool sustainZero = live(kASu) == 0.0f;
  if (live(kFat) > 0.0f) {
    for (int lane = 0; lane < kNumVoices; ++lane) release(lane, releaseRate, sustainZero);
    return;
  }
  if (voiceNumber < 1 || voiceNumber > kNumVoices) return;
  if (voices.state[voiceNumber - 1] != kEnvelopeIdle) release(voiceNumber - 1, releaseRate, sustainZero);
}

// ---------------------------------------------------------------------------
// Rendering

namespace {

// The voice values that the LFO may move, taken again after it did.
void takeVoiceValues(VoiceFrame& frame, const std::array<float, kNumLiveValues>& v) {
  frame.mix = v[kMix];
  frame.fine1 = v[kFin1];
  frame.pwm = v[kPWM];
  frame.fm = v[kFM];
  frame.rmod = v[kRMod];
}

}  // namespace

template <int Mode>
void APlugin::renderFrames(const float* in0, const float* in1, float* out0, float* out1, vst::VstInt32 frames,
                           bool accumulate, RenderValues& values) {
  auto& v = values.v;
  const bool invert = v[kPhase] > 0.0f;
  // Without the LFO every live value holds for the whole block, and the
  // voices run through chunks of frames at a time; with it, one frame at a
  // time, as it may move any of them.
  const bool lfoOn = v[kLFOAmnt] > 0.0f;
  constexpr int kChunk = 64;
  alignas(16) float ring[kChunk];
  double sums[kChunk];
  float filterInput[kChunk];
  float mixed[kChunk];

  for (vst::VstInt32 start = 0; start < frames;) {
    const int count = lfoOn ? 1 : static_cast<int>(std::min<vst::VstInt32>(kChunk, frames - start));
    if (lfoOn) {
      const float* lfoTable = tables->values(values.lfoWave);
      const float lfo = (lfoTable[nearestSmall(values.lfoPhase)] * v[kLFOAmnt] + 1.0f) * 0.5f;
      values.lfoOutput = lfo;
      v[static_cast<std::size_t>(values.lfoDest)] = lfo;
      values.lfoMoved = true;
      values.lfoPhase += 0.8f * v[kLFORate] * voices.rateScale;
      if (values.lfoPhase >= kPeriod) values.lfoPhase -= kPeriod;
      takeVoiceValues(values.voice, v);
    }
    const float mix = v[kMix];
    const float rmod = v[kRMod];
    const float tube = v[kTube];
    const double outVol = v[kOutVol];
    const TResonantFilter::Setting setting = TResonantFilter::setting(v[kReso], v[kCut], v[kFilt]);

    // The ring modulator's carrier follows the comb position, frame by frame.
    int pos = combStage.position();
    for (int n = 0; n < count; ++n) {
      ring[n] = ringCarrier[static_cast<std::size_t>(pos)];
      pos = pos == TCombStage::kLength - 1 ? 0 : pos + 1;
    }
    voices.render<Mode>(values.voice, ring, sums, count);

    // The input mix, the filter, the comb and the clip, each over the chunk
    // (loops without branches inside, which the compiler vectorises).
    const double voiceCountAsDouble = voiceCount;
    float inputs[2][kChunk];
    for (int n = 0; n < count; ++n) {
      // Input that is not a finite number is silence: it must not poison
      // the filter and comb state for good.
      const float a = in0 != nullptr ? in0[start + n] : 0.0f;
      const float b = in1 != nullptr ? in1[start + n] : 0.0f;
      inputs[0][n] = std::isfinite(a) ? a : 0.0f;
      inputs[1][n] = std::isfinite(b) ? b : 0.0f;
    }
    if (rmod > 0.0f) {
      for (int n = 0; n < count; ++n) {
        const float a = inputs[0][n];
        const float b = inputs[1][n];
        const float g = (1.0f - mix) * a + mix * b;
        const float ringed = (1.0f - rmod) * g + rmod * (a + b) * ring[n] * 4.0f;
        filterInput[n] = static_cast<float>(ringed + sums[n] * outVol / voiceCountAsDouble);
      }
    } else {
      for (int n = 0; n < count; ++n) {
        const float g = (1.0f - mix) * inputs[0][n] + mix * inputs[1][n];
        filterInput[n] = static_cast<float>(g + sums[n] * outVol / voiceCountAsDouble);
      }
    }
    outputFilter.filterChunk(filterInput, mixed, count, setting);
    for (int n = combStage.combChunk(mixed, 0, count, tube); n < count;
         n = combStage.combChunk(mixed, n + 1, count, tube)) {
      // Only an overflow of extreme input gets here: filter and comb start
      // again from rest after this frame, which gives silence.
      outputFilter.reset();
      combStage.reset();
      mixed[n] = 0.0f;
      outputFilter.filterChunk(filterInput + n + 1, mixed + n + 1, count - n - 1, setting);
    }
    for (int n = 0; n < count; ++n) {
      float o = mixed[n];
      o = o > 1.0f ? 1.0f : o;
      o = o < -1.0f ? -1.0f : o;
      mixed[n] = o + kAntiDenormal;
    }
    float* left = out0 + start;
    float* right = out1 + start;
    if (accumulate) {
      for (int n = 0; n < count; ++n) left[n] += mixed[n];
      if (invert) {
        for (int n = 0; n < count; ++n) right[n] -= mixed[n];
      } else {
        for (int n = 0; n < count; ++n) right[n] += mixed[n];
      }
    } else {
      for (int n = 0; n < count; ++n) left[n] = mixed[n];
      if (invert) {
        for (int n = 0; n < count; ++n) right[n] = -mixed[n];
      } else {
        for (int n = 0; n < count; ++n) right[n] = mixed[n];
      }
    }
    start += count;
  }
}

void APlugin::renderBlock(float** inputs, float** outputs, vst::VstInt32 frames, bool accumulate) {
  if (frames <= 0 || outputs == nullptr || outputs[0] == nullptr || outputs[1] == nullptr) return;
  takeRateScale();
  const float* in0 = inputs != nullptr ? inputs[0] : nullptr;
  const float* in1 = inputs != nullptr ? inputs[1] : nullptr;

  RenderValues values;
  for (int i = 0; i < kNumLiveValues; ++i) values.v[static_cast<std::size_t>(i)] = live(i);
  values.lfoWave = lfoWaveValue.load(std::memory_order_relaxed);
  values.lfoDest = lfoDest.load(std::memory_order_relaxed);
  const float lfoPhaseAtStart = lfoPhaseValue.load(std::memory_order_relaxed);
  values.lfoPhase = lfoPhaseAtStart;
  values.lfoOutput = lfoOutputValue.load(std::memory_order_relaxed);
  values.lfoMoved = false;
  VoiceFrame& voice = values.voice;
  takeVoiceValues(voice, values.v);
  voice.glide = values.v[kGlide];
  voice.fine2 = values.v[kFin2];
  voice.decay = values.v[kADe];
  voice.sustain = values.v[kASu];
  voice.ring = 0.0f;  // set per frame where a frame is stepped alone
  voice.osc1 = tables->view(wave1.load(std::memory_order_relaxed));
  voice.osc2 = tables->view(wave2.load(std::memory_order_relaxed));

  switch (interpolation.load(std::memory_order_relaxed)) {
    case kInterpolationFourPoint:
      renderFrames<kInterpolationFourPoint>(in0, in1, outputs[0], outputs[1], frames, accumulate, values);
      break;
    case kInterpolationLinear:
      renderFrames<kInterpolationLinear>(in0, in1, outputs[0], outputs[1], frames, accumulate, values);
      break;
    default:
      renderFrames<kInterpolationNone>(in0, in1, outputs[0], outputs[1], frames, accumulate, values);
      break;
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
