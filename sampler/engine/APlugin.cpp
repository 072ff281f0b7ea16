#include "sampler/engine/APlugin.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <thread>

#include "framework/HostText.h"
#include "framework/Opcodes.h"
#include "platform/GuiExceptions.h"
#include "platform/MessageBoxService.h"
#include "sampler/dsp/InputLimits.h"
#include "sampler/dsp/TRandom.h"
#include "sampler/dsp/TTempoRateTable.h"
#include "sampler/engine/APluginEditor.h"
#include "sampler/engine/Nearest.h"
#include "sampler/io/ReadWaveFile.h"

namespace sarnel {
namespace {

constexpr std::int32_t kLfoTableLength = 4096;
constexpr std::int32_t kLfoTableCount = 7;
constexpr std::int32_t kLfoWaveCount = 6;  // tables 0 ... 5 hold waves 0 ... 5; table 6 stays zero
// Keeps the delay lines' output away from denormal numbers.
constexpr float kAntiDenormal = 1e-24f;
constexpr float kMinRootFrequency = 1e-7f;
// Past this the glide counter stops counting (it only has to stay at or
// above the glide length, which is at most a few million samples).
constexpr std::int32_t kGlideCountLimit = 1 << 30;
constexpr int kVoicePlay5 = 5;
constexpr int kVoicePlay6 = 6;
constexpr std::int32_t kPlayNote5 = 65;
constexpr std::int32_t kPlayNote6 = 72;
// Frames rendered voice by voice in one go (more than an LFO interval when
// no LFO writes parameters).
constexpr int kMaxSpan = 256;

// (|x + 1| - |x - 1|) / 2 limits x to -1 ... 1, computed in float32 (so it
// also rounds values very close to 0). Beyond 2^24 that formula no longer
// gives +-1 (x + 1 and x - 1 round to the same float), so values outside
// -1 ... 1 are set directly, which equals the formula wherever it holds. NaN
// (only a delay line that overflowed can produce it) becomes silence.
inline float clipOutput(float x) noexcept {
  if (x > 1.0f) return 1.0f;
  if (x < -1.0f) return -1.0f;
  const float clipped = (std::fabs(x + 1.0f) - std::fabs(x - 1.0f)) / 2.0f;
  return clipped == clipped ? clipped : 0.0f;
}

bool fileExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(path), error);
}

std::string missingFileText(const std::string& path) {
  return "Sorry, but " + path + " could not be found!\n\rIf you want to manually locate the file" +
         " (or any other file), press OK, else press Cancel!";
}

std::string tooLongPathText(const std::string& path) {
  return "The path of this sample is " + std::to_string(path.size()) +
         " bytes long. A project keeps at most 255 bytes of it and could not find the sample again, so it "
         "was not loaded:\n\r" +
         path;
}

// Set while a headless resume loads on this thread: its questions and
// reports go to standard error instead of boxes (see resume).
thread_local bool quietLoads = false;

// The message of the exception being handled, on standard error. Call
// inside a catch block only.
void reportQuietly() noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Sarnel: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "Sarnel: the sample could not be loaded\n");
  }
}

}  // namespace

// The parameters one span of frames reads, loaded once.
struct APlugin::Snapshot {
  std::array<float, kNumSoundParams> p;
};

// ---------------------------------------------------------------------------
// Construction

APlugin::APlugin(vst::audioMasterCallback audioMaster) : APlugin(audioMaster, APluginOptions{}) {}

APlugin::APlugin(vst::audioMasterCallback audioMaster, APluginOptions options)
    : vst::AudioEffectX(audioMaster, kNumPrograms, kNumParams),
      settingsStore(options.settings ? std::move(options.settings) : platform::userSettingsStore()) {
  // 1. No sample; the controller assignments.
  noSample.store(true, std::memory_order_relaxed);
  readControllerAssignments();

  // 2. Empty path, tempo, LFO targets.
  for (auto& byte : pathBytes) byte = 0;
  hostTempoValue = 120.0f;
  lastTempo = 120.0f;
  lfoTarget1 = kPitch;
  lfoTarget2 = kLoopLow;

  // 3. The rate the building blocks are made for.
  if (sampleRate < 1.0f) sampleRate = 44100.0f;
  renderSampleRate.store(sampleRate, std::memory_order_relaxed);
  blocksSampleRate = sampleRate;

  // 4.-6. Voices, delay filters, LFOs.
  for (TADSR& envelope : voices.envelopeArray()) envelope.setSampleRate(sampleRate);
  delayLeft = std::make_unique<TDelayFilt>(sampleRate);
  delayRight = std::make_unique<TDelayFilt>(sampleRate);
  lfo1 = std::make_unique<TWavetableOsc>(nearest(sampleRate), kLfoTableLength, kLfoTableCount);
  lfo2 = std::make_unique<TWavetableOsc>(nearest(sampleRate), kLfoTableLength, kLfoTableCount);
  for (std::int32_t i = 0; i < kLfoWaveCount; ++i) {
    lfo1->fillTable(i, i);
    lfo2->fillTable(i, i);
  }

  // 7. Program, editor, record.
  for (auto& program : programs) program = std::make_unique<APluginProgram>();
  setEditor(new APluginEditor(this, std::move(options.editorWindowFactory)));
  TRandom::seedFromClock();
  suspend();
  hasVu(false);
  setNumInputs(2);
  setNumOutputs(2);
  canMono(true);
  canProcessReplacing(true);
  isSynth(false);
  setUniqueID(vst::fourCharCode('Z', 'Q', 'S', 'K'));

  // 8. The program.
  programs[0]->setName("Init Preset");
  curProgram = 0;
  setProgram(0);

  // 9. Host strings (kept, not used further).
  getHostVendorString(hostVendor);
  getHostProductString(hostProduct);
  hostVendor[sizeof hostVendor - 1] = '\0';
  hostProduct[sizeof hostProduct - 1] = '\0';

  // 10. The sample timer.
  sampleTimer.start(kSampleTimerMs, [this] { sampleTimerTick(); });
}

// The editor goes first: its window may still refer to the engine.
APlugin::~APlugin() {
  sampleTimer.stop();
  destroyEditor();
}

APluginEditor* APlugin::pluginEditor() const { return static_cast<APluginEditor*>(getEditor()); }

void APlugin::readControllerAssignments() {
  for (int entry = 0; entry < kNumAssignments; ++entry) {
    const std::int32_t value = settingsStore->readInteger(kSettingsSubkey, controllerSettingName(entry), 0);
    ccAssign[static_cast<std::size_t>(entry)].store(value, std::memory_order_relaxed);
  }
}

EditorWindow* APlugin::openEditorWindow() const {
  if (isEditorClosed()) return nullptr;
  const APluginEditor* editorObject = pluginEditor();
  return editorObject != nullptr ? editorObject->window() : nullptr;
}

// ---------------------------------------------------------------------------
// Parameters

void APlugin::setParameter(vst::VstInt32 index, float value) { applyParameter(index, value, Caller::other); }

void APlugin::applyParameter(int index, float value, Caller caller) {
  value = clampUnit(value);
  bool updateEditor = true;
  if (index >= 0 && index < kNumSoundParams) {
    applySoundParameter(index, value, caller);
  } else if (index >= kPathFirst && index < kTuningFirst) {
    const auto byte = static_cast<std::uint8_t>(nearest(value * 255.0f));
    pathBytes[static_cast<std::size_t>(index - kPathFirst)] = byte;
    programs[0]->pathBytes[static_cast<std::size_t>(index - kPathFirst)] = byte;
  } else if (index >= kTuningFirst && index < kSpareFirst) {
    tuning[static_cast<std::size_t>(index - kTuningFirst)] = value;
    programs[0]->tuning[static_cast<std::size_t>(index - kTuningFirst)] = value;
  } else if (index >= kNumParams) {
    updateEditor = runCommand(index, value);
  }
  if (updateEditor) notifyEditor(caller);
}

void APlugin::applySoundParameter(int index, float value, Caller caller) {
  params[static_cast<std::size_t>(index)] = value;
  programs[0]->params[static_cast<std::size_t>(index)] = value;
  auto& envelopes = voices.envelopeArray();
  switch (index) {
    case kAttack:
      for (TADSR& envelope : envelopes) envelope.setAttack(3.0f * value);
      break;
    case kDecay:
      for (TADSR& envelope : envelopes) envelope.setDecay(3.0f * value);
      break;
    case kSustain:
      for (TADSR& envelope : envelopes) envelope.setSustain(value);
      break;
    case kRelease:
      for (TADSR& envelope : envelopes) envelope.setRelease(3.0f * value);
      break;
    case kLoopMode:
      if (caller == Caller::render) {
        voices.clearReverse();
      } else {
        postRequest(kRequestClearReverse);
      }
      break;
    case kFilterLow:
      delayLeft->setFilterLow(value);
      delayRight->setFilterLow(value);
      break;
    case kFilterHigh:
      delayLeft->setFilterHigh(value);
      delayRight->setFilterHigh(value);
      break;
    case kFilterReso:
      delayLeft->setFilterReso(value);
      delayRight->setFilterReso(value);
      break;
    case kDelay:
      delayLeft->setDelayTime(value);
      delayRight->setDelayTime(value);
      break;
    case kFeedback:
      delayLeft->setFeedback(value);
      delayRight->setFeedback(value);
      break;
    case kLoopLow:
    case kLoopHigh:
      loopMarkersDirtyFlag.store(true, std::memory_order_relaxed);
      break;
    case kLfo1Rate:
      setLfoRate(1, value);
      break;
    case kLfo2Rate:
      setLfoRate(2, value);
      break;
    case kLfo1Destination:
    case kLfo2Destination:
      (index == kLfo1Destination ? lfoTarget1 : lfoTarget2) = lfoDestinationFor(value);
      // Evaluated on the next frame.
      if (caller == Caller::render) {
        lfoTickCount = kLfoInterval;
      } else {
        postRequest(kRequestEvaluateLfo);
      }
      break;
    case kLfo1Waveform:
      lfo1->selectWave(nearest(value * 5.0f));
      break;
    case kLfo2Waveform:
      lfo2->selectWave(nearest(value * 5.0f));
      break;
    default:
      break;
  }
}

// The oscillator runs 50 times faster than heard (it steps once per 50
// frames): v x 4 Hz free, or the table's cycles per beat with the tempo.
void APlugin::setLfoRate(int lfo, float value) {
  const bool synchronised = params[lfo == 1 ? kLfo1Sync : kLfo2Sync] > 0.5f;
  const float frequency = synchronised ? TTempoRateTable::rateValue(value) * 50.0f * hostTempoValue.load() / 60.0f
                                       : value * 50.0f * 4.0f;
  (lfo == 1 ? lfo1 : lfo2)->setFrequency(frequency);
}

void APlugin::notifyEditor(Caller caller) {
  APluginEditor* editorObject = pluginEditor();
  if (editorObject == nullptr) return;
  if (caller == Caller::render) {
    editorObject->requestUpdate();
  } else {
    editorObject->update();
  }
}

float APlugin::getParameter(vst::VstInt32 index) {
  if (index >= 0 && index < kNumSoundParams) return params[static_cast<std::size_t>(index)];
  if (index >= kPathFirst && index < kTuningFirst) {
    return static_cast<float>(pathBytes[static_cast<std::size_t>(index - kPathFirst)].load()) / 255.0f;
  }
  if (index >= kTuningFirst && index < kSpareFirst) return tuning[static_cast<std::size_t>(index - kTuningFirst)];
  if (index >= kCommandControllerFirst && index < kCommandControllerFirst + kNumSoundParams) {
    return static_cast<float>(controllerAssignment(index - kCommandControllerFirst)) / 200.0f;
  }
  return 0.0f;
}

void APlugin::getParameterName(vst::VstInt32 index, char* text) {
  const bool sound = index >= 0 && index < kNumSoundParams;
  vst::copyHostText(text, sound ? kParameterInfo[static_cast<std::size_t>(index)].name : kOtherParameterName,
                    vst::kVstMaxTextLen);
}

void APlugin::getParameterLabel(vst::VstInt32, char* label) {
  vst::copyHostText(label, kParameterLabel, vst::kVstMaxTextLen);
}

// Two decimals with a point whatever the process locale.
void APlugin::getParameterDisplay(vst::VstInt32 index, char* text) {
  const float value = index >= 0 && index < kNumSoundParams ? params[static_cast<std::size_t>(index)].load() : 0.0f;
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  vst::copyHostText(text, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)),
                    vst::kVstMaxTextLen);
}

// ---------------------------------------------------------------------------
// Commands (GUI thread)

bool APlugin::runCommand(int index, float value) {
  switch (index) {
    case kCommandLoadProgramSample:
      return commandLoadProgramSample();
    case kCommandLoadEditorSample:
      return commandLoadEditorSample();
    case kCommandResetTuning:
      for (int n = 0; n < kNumNotes; ++n) tuning[static_cast<std::size_t>(n)] = defaultTuningValue(n);
      return true;
    case kCommandUnload:
      commandUnload();
      return true;
    case kCommandPlayVoice5:
      if (value > 0.0f) {
        // A file that cannot be read ends the command; a missing one (unloaded
        // by 643 itself) still lets the voice start, silently.
        if (!commandLoadProgramSample() && !isAudioEnabled()) return false;
        postPlay(0, kPlayStart);
      } else {
        postPlay(0, kPlayRelease);
      }
      return true;
    case kCommandPlayVoice6:
      postPlay(1, value > 0.0f ? kPlayStart : kPlayRelease);
      return true;
    case kCommandAllNotesOff:
      // Cancels play requests not yet taken, so they cannot outlive it.
      postPlay(0, kPlayNone);
      postPlay(1, kPlayNone);
      postRequest(kRequestAllNotesOff);
      return true;
    default:
      break;
  }
  if (index >= kCommandControllerFirst && index < kCommandControllerFirst + kNumSoundParams) {
    const int parameter = index - kCommandControllerFirst;
    const std::int32_t assignment = nearest(value * 200.0f);
    ccAssign[static_cast<std::size_t>(parameter + 1)].store(assignment, std::memory_order_relaxed);
    settingsStore->writeInteger(kSettingsSubkey, controllerSettingName(parameter + 1), assignment);
  }
  return true;
}

// Command 643: (re)load the program's sample. False when the load failed,
// in which case the editor is not updated.
bool APlugin::commandLoadProgramSample() {
  audioEnabled.store(false, std::memory_order_relaxed);
  const std::string path = programs[0]->path();
  if (!path.empty()) {
    const LoadResult result = loadSampleFile(path);
    if (result == LoadResult::declined) {
      commandUnload();
      return false;
    }
    // The reader reported why; the engine stays silent until a later load
    // or an unload succeeds.
    if (result == LoadResult::failed) return false;
    if (EditorWindow* window = openEditorWindow()) window->drawWaveform(1);
  }
  audioEnabled.store(true, std::memory_order_relaxed);
  applyParameter(kLoopLow, params[kLoopLow], Caller::other);
  loopMarkersDirtyFlag.store(true, std::memory_order_relaxed);
  return true;
}

// Command 644: load the sample the editor's label names.
bool APlugin::commandLoadEditorSample() {
  audioEnabled.store(false, std::memory_order_relaxed);
  if (EditorWindow* window = openEditorWindow()) {
    if (loadSampleFile(window->fileNameLabel()) == LoadResult::failed) return false;
    if (EditorWindow* stillOpen = openEditorWindow()) stillOpen->drawWaveform(0);
    samplePath = pathFromBytes(pathBytes);
  }
  audioEnabled.store(true, std::memory_order_relaxed);
  applyParameter(kLoopLow, params[kLoopLow], Caller::other);
  loopMarkersDirtyFlag.store(true, std::memory_order_relaxed);
  return true;
}

// Command 647. The program's path stays, so a project saved now still names
// the sample.
void APlugin::commandUnload() {
  audioEnabled.store(false, std::memory_order_relaxed);
  sampleExchange.publish(nullptr);
  if (EditorWindow* window = openEditorWindow()) {
    window->clearWaveform();
    samplePath.clear();
  }
  audioEnabled.store(true, std::memory_order_relaxed);
  applyParameter(kLoopLow, 0.0f, Caller::other);
  applyParameter(kLoopHigh, 1.0f, Caller::other);
  noSample.store(true, std::memory_order_relaxed);
  loopMarkersDirtyFlag.store(true, std::memory_order_relaxed);
}

// The late OK of the missing-sample question. Closing the window answers
// Cancel, so nothing here outlives the editor.
void APlugin::relocateLater(platform::MessageResult chosen, const std::string& path) {
  if (chosen != platform::MessageResult::ok) return;
  EditorWindow* window = openEditorWindow();
  if (window == nullptr) return;
  window->setSampleDialogFileName(path);
  window->loadClick();
}

bool APlugin::loadSample(const std::string& path) { return loadSampleFile(path) == LoadResult::loaded; }

// Every failure stays here: the reader's numbered message, a lack of
// memory anywhere on the way (the path's copies, the decoded floats) and a
// failing box go to the user, never into the host.
APlugin::LoadResult APlugin::loadSampleFile(const std::string& path) noexcept {
  try {
    return readAndPublishSample(path);
  } catch (...) {
    if (quietLoads) {
      reportQuietly();
    } else {
      platform::reportCurrentException();
    }
    return LoadResult::failed;
  }
}

APlugin::LoadResult APlugin::readAndPublishSample(const std::string& requested) {
  std::string path = requested;
  if (!fileExists(path)) {
    // A late OK opens the sample dialog at the missing path, whose choice
    // loads as command 644 does; for now the load counts as declined.
    const platform::MessageResult answer =
        tellUser(missingFileText(path), platform::MessageButtons::okCancel, platform::MessageIcon::none,
                 [this, path](platform::MessageResult chosen) { relocateLater(chosen, path); });
    if (answer != platform::MessageResult::ok) return LoadResult::declined;
    EditorWindow* window = openEditorWindow();
    if (window == nullptr) return LoadResult::declined;
    window->setSampleDialogFileName(path);
    window->loadClick();
    EditorWindow* stillOpen = openEditorWindow();
    if (stillOpen == nullptr) return LoadResult::declined;
    path = stillOpen->sampleDialogFileName();
  }
  // Refused before anything is freed: cut to 255 bytes it would name another
  // file, or none, when the project is opened again.
  if (path.size() > static_cast<std::size_t>(kMaxPathLength)) {
    tellUser(tooLongPathText(path), platform::MessageButtons::ok, platform::MessageIcon::error);
    return LoadResult::declined;
  }

  samplePath = path;
  sampleExchange.publish(nullptr);
  WaveFileData wave = readWaveFile(path);
  std::unique_ptr<TSampleBlock> block = makeSampleBlock(std::move(wave.samples), wave.channels, wave.sampleRate);
  // Nothing below can fail.
  outputChannels.store(block->channels, std::memory_order_relaxed);
  sampleExchange.publish(std::move(block));
  noSample.store(false, std::memory_order_relaxed);

  // The path, 0-terminated, in the engine and in the program.
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto byte = static_cast<std::uint8_t>(path[i]);
    pathBytes[i] = byte;
    programs[0]->pathBytes[i] = byte;
  }
  pathBytes[path.size()] = 0;
  programs[0]->pathBytes[path.size()] = 0;
  // Every voice stops: the render resets them when it first sees the new
  // sample (its serial).
  return LoadResult::loaded;
}

void APlugin::sampleTimerTick() {
  collectRetiredSamples();
  if (programs[0]->path().empty()) return;
  sampleTimer.stop();
  // Loaded already when a headless resume read it (see resume).
  if (restoredLoad.exchange(RestoredLoad::done) == RestoredLoad::done) return;
  applyParameter(kCommandLoadProgramSample, 1.0f, Caller::other);
}

// The GUI thread skips a collect while a headless resume publishes on its
// own thread; the next call collects instead.
void APlugin::collectRetiredSamples() noexcept {
  if (exchangeBusy.test_and_set(std::memory_order_acquire)) return;
  sampleExchange.collect();
  exchangeBusy.clear(std::memory_order_release);
}

// A restored path, loaded on the thread of a host that never runs a GUI
// thread: no box, no window; what a box would say goes to standard error.
void APlugin::loadRestoredSampleQuietly() {
  // Undone however the load ends.
  struct QuietScope {
    std::atomic_flag& busy;
    explicit QuietScope(std::atomic_flag& flag) : busy(flag) {
      while (busy.test_and_set(std::memory_order_acquire)) std::this_thread::yield();  // a collect, briefly
      quietLoads = true;
    }
    ~QuietScope() {
      quietLoads = false;
      busy.clear(std::memory_order_release);
    }
  } scope(exchangeBusy);
  applyParameter(kCommandLoadProgramSample, 1.0f, Caller::other);
}

platform::MessageResult APlugin::tellUser(const std::string& text, platform::MessageButtons buttons,
                                          platform::MessageIcon icon,
                                          std::function<void(platform::MessageResult)> lateAnswer) {
  if (quietLoads) {
    std::fprintf(stderr, "Sarnel: %s\n", text.c_str());
    return platform::MessageResult::cancel;
  }
  // A box that answers later (drawn in the editor window) cannot hold this
  // call: until the user answers, it counts as dismissed, and the answer
  // goes to `lateAnswer` when it comes.
  platform::Answer<platform::MessageResult> answer = platform::systemMessageBoxes().show(text, "Error!", buttons, icon);
  if (answer.isReady()) return answer.value();
  if (lateAnswer) answer.then(std::move(lateAnswer));
  return platform::dismissedAnswer(buttons);
}

// ---------------------------------------------------------------------------
// Programs and host queries

void APlugin::setProgram(vst::VstInt32 program) {
  if (program != 0) return;
  curProgram = 0;
  const APluginProgram& p = *programs[0];
  for (int n = 0; n < kNumNotes; ++n) applyParameter(kTuningFirst + n, p.tuning[static_cast<std::size_t>(n)], Caller::other);
  for (int i = 0; i < kPathBytes; ++i) {
    applyParameter(kPathFirst + i, static_cast<float>(p.pathBytes[static_cast<std::size_t>(i)].load()) / 255.0f,
                   Caller::other);
  }
  // The sync switches first, so that the rates see them.
  applyParameter(kLfo1Sync, p.params[kLfo1Sync], Caller::other);
  applyParameter(kLfo2Sync, p.params[kLfo2Sync], Caller::other);
  for (int i = 0; i <= kLfo1Waveform; ++i) applyParameter(i, p.params[static_cast<std::size_t>(i)], Caller::other);
  for (int i = kLfo2Rate; i <= kLfo2Waveform; ++i) {
    applyParameter(i, p.params[static_cast<std::size_t>(i)], Caller::other);
  }
  applyParameter(kPortamentoTime, p.params[kPortamentoTime], Caller::other);
  applyParameter(kCommandLoadProgramSample, 1.0f, Caller::other);
  if (openEditorWindow() != nullptr) pluginEditor()->update();
}

void APlugin::setProgramName(char* name) {
  if (name == nullptr) return;
  programs[0]->setName(std::string_view(name, strnlen(name, APluginProgram::kNameLength - 1)));
  if (openEditorWindow() != nullptr) pluginEditor()->update();
}

void APlugin::getProgramName(char* name) { vst::copyHostText(name, programs[0]->getName(), vst::kVstMaxTextLen); }

bool APlugin::getProgramNameIndexed(vst::VstInt32, vst::VstInt32 index, char* text) {
  if (index != 0) return false;
  vst::copyHostText(text, programs[0]->getName(), vst::kVstMaxTextLen);
  return true;
}

bool APlugin::getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) {
  if (index < 0 || index > 1 || properties == nullptr) return false;
  const std::string label = "SARNE " + std::to_string(index + 1);
  vst::copyHostText(properties->label, label, vst::kVstMaxPinLabelLen);
  properties->flags = vst::kVstPinIsActive | vst::kVstPinIsStereo;
  return true;
}

bool APlugin::getEffectName(char* name) {
  vst::copyHostText(name, "Sarnel FX", vst::kVstMaxEffectNameLen);
  return true;
}

bool APlugin::getVendorString(char* text) {
  vst::copyHostText(text, "Vornhalt", vst::kVstMaxEffectNameLen);
  return true;
}

bool APlugin::getProductString(char* text) {
  vst::copyHostText(text, "Sarnel FX", vst::kVstMaxEffectNameLen);
  return true;
}

vst::VstInt32 APlugin::getVendorVersion() { return 1; }

vst::VstInt32 APlugin::canDo(char* text) {
  if (text == nullptr) return -1;
  const std::string_view asked(text);
  if (asked == "receiveVstTimeInfo" || asked == "receiveVstEvents" || asked == "receiveVstMidiEvent") return 1;
  return -1;
}

// No level is ever stored.
float APlugin::getVu() { return 0.0f; }

void APlugin::suspend() { resumed = false; }

// Hosts restore the parameters and then resume; some render at once without
// any other GUI-thread call in between (an offline export), so a restored
// path still waiting for the timer is loaded now. Files and boxes belong to
// the GUI thread: resumed on another thread, the load waits for the next
// GUI-thread call, unless the host has never shown a GUI thread (no editor
// opcode so far: a headless export), which may never make one; then the
// file is read here without any box.
void APlugin::resume() {
  resumed = true;
  applySampleRateToBlocks();
  wantEvents(1);
  if (restoredLoad.load() != RestoredLoad::waiting || programs[0]->path().empty()) return;
  if (onGuiThread()) {
    sampleTimerTick();
  } else if (guiThread.shownByHost()) {
    RestoredLoad expected = RestoredLoad::waiting;
    restoredLoad.compare_exchange_strong(expected, RestoredLoad::posted);
  } else {
    RestoredLoad expected = RestoredLoad::waiting;
    if (restoredLoad.compare_exchange_strong(expected, RestoredLoad::done)) loadRestoredSampleQuietly();
  }
}

vst::VstIntPtr APlugin::dispatcher(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                                   float opt) {
  guiThread.follow(opcode);
  if (opcode != vst::effProcessEvents && opcode != vst::effClose && onGuiThread()) {
    platform::serviceGuiTimers();
    collectRetiredSamples();
    if (restoredLoad.load() == RestoredLoad::posted) sampleTimerTick();  // resumed on another thread
  }
  return vst::AudioEffectX::dispatcher(opcode, index, value, ptr, opt);
}

// A rate that is not a positive finite number would stall the voices (or
// divide by zero) and is ignored. The envelopes, delay lines and LFOs follow
// a new rate at once while suspended, otherwise at the next resume.
void APlugin::setSampleRate(float rate) {
  if (!(rate >= 1.0f) || !std::isfinite(rate)) return;
  vst::AudioEffectX::setSampleRate(rate);
  renderSampleRate.store(rate, std::memory_order_relaxed);
  if (!resumed) applySampleRateToBlocks();
}

void APlugin::setBlockSizeAndSampleRate(vst::VstInt32 size, float rate) {
  blockSize = size;
  setSampleRate(rate);
}

void APlugin::applySampleRateToBlocks() {
  const float rate = sampleRate;
  if (rate == blocksSampleRate) return;
  blocksSampleRate = rate;
  for (TADSR& envelope : voices.envelopeArray()) envelope.setSampleRate(rate);
  delayLeft->setSampleRate(rate);
  delayRight->setSampleRate(rate);
  lfo1->setSampleRate(nearest(rate));
  lfo2->setSampleRate(nearest(rate));
}

// ---------------------------------------------------------------------------
// Audio thread: requests, MIDI

// Takes what other threads asked for and the current sample, which stays
// held until releaseSample(reader). The requests are read first: a request
// posted after a load (command 950) then always finds that load's sample.
const TSampleBlock* APlugin::takeRequests(TSampleReader reader) noexcept {
  const std::uint32_t requests = pendingRequests.exchange(0, std::memory_order_acquire);
  const int play5 = pendingPlay[0].exchange(kPlayNone, std::memory_order_acquire);
  const int play6 = pendingPlay[1].exchange(kPlayNone, std::memory_order_acquire);

  const TSampleBlock* block = sampleExchange.acquire(reader);
  if (block != nullptr && block->serial != voicesSerial) {
    // A new sample: every voice stops and returns to its start.
    voices.stopAll();
    voicesSerial = block->serial;
  }
  if ((requests & kRequestAllNotesOff) != 0) allNotesOff();
  if ((requests & kRequestClearReverse) != 0) voices.clearReverse();
  if ((requests & kRequestEvaluateLfo) != 0) lfoTickCount = kLfoInterval;
  if (play5 == kPlayStart) startPlayVoice(block, kVoicePlay5, kPlayNote5);
  if (play5 == kPlayRelease) voices.gateOff(kVoicePlay5);
  if (play6 == kPlayStart) startPlayVoice(block, kVoicePlay6, kPlayNote6);
  if (play6 == kPlayRelease) voices.gateOff(kVoicePlay6);
  return block;
}

void APlugin::allNotesOff() noexcept {
  for (int v = 0; v < kNumVoices; ++v) {
    if (voices.isActive(v)) voices.gateOff(v);
  }
  delayLeft->resetFilter();
  delayRight->resetFilter();
}

void APlugin::startPlayVoice(const TSampleBlock* block, int voice, std::int32_t note) noexcept {
  voices.restart(voice, note, startIndexForNewVoice(block));
}

std::int64_t APlugin::startIndexForNewVoice(const TSampleBlock* block) const noexcept {
  if (block == nullptr || block->length < 1) return 0;
  const TVoiceContext c = makeVoiceContext(*block, renderSampleRate.load(std::memory_order_relaxed),
                                           params[kPitch], params[kInterpolation], params[kLoopMode],
                                           params[kLoopLow], params[kLoopHigh]);
  return c.startIndex();
}

void APlugin::gateVoice(int voice, std::int32_t note, float ratio, float velocity, std::int32_t gate) noexcept {
  if (gate <= 0) {
    gateVoiceWith(nullptr, voice, note, ratio, velocity, gate);
    return;
  }
  const TSampleBlock* block = sampleExchange.acquire(TSampleReader::gate);
  gateVoiceWith(block, voice, note, ratio, velocity, gate);
  releaseSample(TSampleReader::gate);
}

// `block` is the sample the caller holds (it places a new voice's start).
void APlugin::gateVoiceWith(const TSampleBlock* block, int voice, std::int32_t note, float ratio, float velocity,
                            std::int32_t gate) noexcept {
  if (voice < 0 || voice >= kNumVoices) return;
  if (gate <= 0) {
    voices.gateOff(voice);
    return;
  }
  voices.gateOn(voice, note, ratio, velocity, startIndexForNewVoice(block));
}

// tuning[key] / tuning[root], the root's frequency kept at or above 1e-7.
float APlugin::pitchRatio(int key) const noexcept {
  float root = tuning[static_cast<std::size_t>(std::clamp(nearest(params[kRootNote] * 127.0f), 0, kNumNotes - 1))];
  if (root < kMinRootFrequency) root = kMinRootFrequency;
  return tuning[static_cast<std::size_t>(key)] / root;
}

std::int32_t APlugin::glideSamples() const noexcept {
  const std::int32_t samples = nearest(renderSampleRate.load(std::memory_order_relaxed) * params[kPortamentoTime]);
  return samples < 1 ? 1 : samples;
}

vst::VstInt32 APlugin::processEvents(vst::VstEvents* events) {
  if (events == nullptr) return 1;
  const TSampleBlock* block = takeRequests(TSampleReader::events);
  // The host's list runs past the two slots the record declares: index it
  // through a pointer, not the declared array.
  vst::VstEvent* const* list = events->events;
  for (vst::VstInt32 i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* event = list[i];
    if (event == nullptr || event->type != vst::kVstMidiType) continue;
    const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
    const auto status = static_cast<std::uint8_t>(midi->midiData[0]);
    const auto data1 = static_cast<std::uint8_t>(midi->midiData[1]);
    const auto data2 = static_cast<std::uint8_t>(midi->midiData[2]);
    handleMidi(block, static_cast<std::uint8_t>(status & 0xF0), data1, data2);
  }
  releaseSample(TSampleReader::events);
  return 1;
}

void APlugin::handleMidi(const TSampleBlock* block, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) noexcept {
  const bool monophonic = params[kPortamento] >= 0.5f;
  if (status == 0x90 && data2 > 0) {
    const int key = data1 & 0x7F;
    const float velocity = static_cast<float>(data2 & 0x7F) / 127.0f;
    lastVelocity = velocity;
    const float ratio = pitchRatio(key);
    if (!monophonic) {
      const std::int32_t voice = voices.lowestFreeVoice();
      if (voice >= 0) gateVoiceWith(block, voice, key, ratio, velocity, 1);  // all 33 busy: dropped
    } else if (!voices.isActive(0)) {
      glideFrom = glideTo = ratio;
      glideCount = 0;
      gateVoiceWith(block, 0, key, ratio, velocity, 1);
    } else {
      // Glide to the new note; voice 0 keeps its note, position and envelope.
      glideFrom = voices.ratio[0];
      glideTo = ratio;
      glideLength = glideSamples();
      glideCount = 0;
    }
    return;
  }
  if (status == 0x80 || status == 0x90) {
    const int key = data1 & 0x7F;
    if (!monophonic) {
      for (int v = 0; v < kNumVoices; ++v) {
        if (voices.note[static_cast<std::size_t>(v)] == key) gateVoiceWith(block, v, key, 0.0f, 0.0f, 0);
      }
    } else if (key == voices.note[0]) {
      gateVoiceWith(block, 0, key, 0.0f, 0.0f, 0);
    } else if (voices.isActive(0)) {
      // Back to the note voice 0 still holds.
      glideFrom = voices.ratio[0];
      glideTo = pitchRatio(voices.note[0]);
      glideLength = glideSamples();
      glideCount = 0;
    }
    return;
  }
  if (status == 0xB0 && data1 == 123) {
    allNotesOff();
    return;
  }
  if (status != 0xB0 && status != 0xE0) return;  // aftertouch, program change, system: ignored

  const std::int32_t controller = status == 0xB0 ? data1 : kAssignPitchBend;
  const float value = static_cast<float>(data2) / 127.0f;
  lastVelocity = value;
  for (int p = 0; p < kNumSoundParams; ++p) {
    std::atomic<std::int32_t>& entry = ccAssign[static_cast<std::size_t>(p + 1)];
    const std::int32_t assignment = entry.load(std::memory_order_relaxed);
    if (assignment == kAssignNone) continue;  // follows no controller, number 0 included
    if (assignment == controller) {
      applyParameter(p, value, Caller::render);
    } else if (assignment == -controller) {
      applyParameter(p, 1.0f - value, Caller::render);
    } else if (assignment == kAssignLearn) {
      entry.store(controller, std::memory_order_relaxed);
    } else if (assignment == -kAssignLearn) {
      entry.store(-controller, std::memory_order_relaxed);
    }
  }
  notifyEditor(Caller::render);
}

// ---------------------------------------------------------------------------
// Audio thread: the render

void APlugin::followTempo() noexcept {
  const vst::VstInt32 answer = tempoAt(0);
  float tempo = static_cast<float>(static_cast<double>(answer) / 10000.0);
  if (tempo < 10.0f || tempo > 400.0f) tempo = 120.0f;
  hostTempoValue = tempo;
  if (tempo == lastTempo) return;
  lastTempo = tempo;
  // Setting a frequency restarts that LFO's phase.
  if (params[kLfo1Sync] > 0.5f) lfo1->setFrequency(TTempoRateTable::rateValue(params[kLfo1Rate]) * tempo / 1.2f);
  if (params[kLfo2Sync] > 0.5f) lfo2->setFrequency(TTempoRateTable::rateValue(params[kLfo2Rate]) * tempo / 1.2f);
}

// One frame of portamento: voice 0's ratio moves linearly from glideFrom to
// glideTo over glideLength frames, then holds glideTo.
float APlugin::glideStep() noexcept {
  if (glideCount < kGlideCountLimit) ++glideCount;
  if (glideLength <= 0) return glideTo;  // count / 0 is infinite: already there
  const float t = static_cast<float>(glideCount) / static_cast<float>(glideLength);
  return t >= 1.0f ? glideTo : (1.0f - t) * glideFrom + t * glideTo;
}

// Both oscillators advance every 50 frames, also at rate 0; an LFO with a
// rate above 0 writes its target through setParameter, side effects included.
void APlugin::evaluateLfos() noexcept {
  const float min1 = params[kLfo1DepthMin];
  const float value1 = min1 + std::fabs(params[kLfo1DepthMax] - min1) * lfo1->tickValue();
  const float min2 = params[kLfo2DepthMin];
  const float value2 = min2 + std::fabs(params[kLfo2DepthMax] - min2) * lfo2->tickValue();
  lfoValue1 = value1;
  lfoValue2 = value2;
  if (params[kLfo1Rate] > 0.0f) applyParameter(lfoTarget1, value1, Caller::render);
  if (params[kLfo2Rate] > 0.0f) applyParameter(lfoTarget2, value2, Caller::render);
}

TStereoValue APlugin::finishFrame(float a, float b, float volume) const noexcept {
  const float left = a * volume;
  const float right = outputChannels.load(std::memory_order_relaxed) == 2 ? b * volume : left;
  return {clipOutput(left), clipOutput(right)};
}

TStereoValue APlugin::renderFrame(float inputLeft, float inputRight) noexcept {
  const TSampleBlock* block = takeRequests(TSampleReader::frame);
  TStereoValue out{0.0f, 0.0f};
  if (audioEnabled.load(std::memory_order_relaxed)) {
    if (params[kPortamento] >= 0.5f) voices.ratio[0] = glideStep();
    if (++lfoTickCount >= kLfoInterval) {
      lfoTickCount = 0;
      evaluateLfos();
    }
    float a = 0.0f;
    float b = 0.0f;
    if (noSample.load(std::memory_order_relaxed)) {
      a = delayLeft->processSample(inputLeft) + kAntiDenormal;
      b = delayRight->processSample(inputRight) + kAntiDenormal;
    } else {
      float sumL = 0.0f;
      float sumR = 0.0f;
      if (block != nullptr && block->length > 0) {
        const TVoiceContext c = makeVoiceContext(*block, renderSampleRate.load(std::memory_order_relaxed),
                                                 params[kPitch], params[kInterpolation], params[kLoopMode],
                                                 params[kLoopLow], params[kLoopHigh]);
        for (int v = 0; v < kNumVoices; ++v) {
          if (!voices.isActive(v)) continue;
          const TStereoValue s = voices.step(v, c, voices.ratio[static_cast<std::size_t>(v)]);
          sumL += s.left;
          sumR += s.right;
        }
      }
      a = delayLeft->processSample(sumL) + kAntiDenormal;
      b = delayRight->processSample(sumR) + kAntiDenormal;
    }
    out = finishFrame(a, b, params[kVolume]);
  }
  releaseSample(TSampleReader::frame);
  return out;
}

void APlugin::process(float** inputs, float** outputs, vst::VstInt32 sampleFrames) {
  renderBlock(inputs, outputs, sampleFrames, true);
}

void APlugin::processReplacing(float** inputs, float** outputs, vst::VstInt32 sampleFrames) {
  renderBlock(inputs, outputs, sampleFrames, false);
}

// The block render: frame for frame what renderFrame computes. Spans end
// where an LFO writes its parameters (every 50 frames), so every parameter
// is constant within a span and each voice runs through its span in one go.
void APlugin::renderBlock(float** inputs, float** outputs, vst::VstInt32 frames, bool accumulate) noexcept {
  if (frames <= 0 || outputs == nullptr || outputs[0] == nullptr || outputs[1] == nullptr) return;
  followTempo();
  const TSampleReader reader = accumulate ? TSampleReader::process : TSampleReader::processReplacing;
  const TSampleBlock* block = takeRequests(reader);
  const float* inL = inputs != nullptr ? inputs[0] : nullptr;
  const float* inR = inputs != nullptr ? inputs[1] : nullptr;
  float* outL = outputs[0];
  float* outR = outputs[1];

  if (!audioEnabled.load(std::memory_order_relaxed)) {
    if (!accumulate) {
      std::fill(outL, outL + frames, 0.0f);
      std::fill(outR, outR + frames, 0.0f);
    }
    preListenClip.mixInto(outL, outR, frames, renderSampleRate.load(std::memory_order_relaxed));
    releaseSample(reader);
    return;
  }

  int i = 0;
  while (i < frames) {
    int span;
    if (params[kLfo1Rate] > 0.0f || params[kLfo2Rate] > 0.0f) {
      // An LFO writes parameters: spans end where it does.
      if (lfoTickCount >= kLfoInterval - 1) {
        lfoTickCount = 0;
        evaluateLfos();  // at this frame, before its voices
        span = std::min(frames - i, kLfoInterval);
        lfoTickCount = span - 1;
      } else {
        span = std::min(frames - i, kLfoInterval - 1 - lfoTickCount);
        lfoTickCount += span;
      }
    } else {
      // The oscillators only advance: nothing the voices read changes, so
      // the span may run past their ticks.
      span = std::min(frames - i, kMaxSpan);
      const int firstTick = std::max(0, kLfoInterval - 1 - lfoTickCount);
      if (firstTick >= span) {
        lfoTickCount += span;
      } else {
        int lastTick = firstTick;
        for (int tick = firstTick; tick < span; tick += kLfoInterval) {
          evaluateLfos();
          lastTick = tick;
        }
        lfoTickCount = span - 1 - lastTick;
      }
    }
    renderSpan(block, inL != nullptr ? inL + i : nullptr, inR != nullptr ? inR + i : nullptr, outL + i, outR + i,
               span, accumulate);
    i += span;
  }
  preListenClip.mixInto(outL, outR, frames, renderSampleRate.load(std::memory_order_relaxed));
  releaseSample(reader);
}

void APlugin::renderSpan(const TSampleBlock* block, const float* inL, const float* inR, float* outL, float* outR,
                         int frames, bool accumulate) noexcept {
  Snapshot s;
  for (int p = 0; p < kNumSoundParams; ++p) s.p[static_cast<std::size_t>(p)] = params[static_cast<std::size_t>(p)];

  // Portamento: voice 0's ratio for each frame of the span.
  std::array<float, kMaxSpan> glideRatios{};
  const float* voice0Ratios = nullptr;
  if (s.p[kPortamento] >= 0.5f) {
    const bool moving = glideLength > 0 && glideCount < glideLength;
    for (int j = 0; j < frames; ++j) glideRatios[static_cast<std::size_t>(j)] = glideStep();
    voices.ratio[0] = glideRatios[static_cast<std::size_t>(frames - 1)];
    if (moving) voice0Ratios = glideRatios.data();
  }

  std::array<float, kMaxSpan> a;
  std::array<float, kMaxSpan> b;
  if (noSample.load(std::memory_order_relaxed)) {
    for (int j = 0; j < frames; ++j) {
      a[static_cast<std::size_t>(j)] = delayLeft->processSample(inL != nullptr ? inL[j] : 0.0f) + kAntiDenormal;
      b[static_cast<std::size_t>(j)] = delayRight->processSample(inR != nullptr ? inR[j] : 0.0f) + kAntiDenormal;
    }
  } else {
    alignas(16) std::array<float, 2 * kMaxSpan> sums{};  // left and right of each frame
    if (block != nullptr && block->length > 0) {
      const TVoiceContext c = makeVoiceContext(*block, renderSampleRate.load(std::memory_order_relaxed), s.p[kPitch],
                                               s.p[kInterpolation], s.p[kLoopMode], s.p[kLoopLow], s.p[kLoopHigh]);
      for (int v = 0; v < kNumVoices; ++v) {
        if (!voices.isActive(v)) continue;
        voices.renderSpan(v, c, 0, frames, sums.data(), v == 0 ? voice0Ratios : nullptr);
      }
    }
    for (int j = 0; j < frames; ++j) {
      a[static_cast<std::size_t>(j)] = delayLeft->processSample(sums[static_cast<std::size_t>(2 * j)]) + kAntiDenormal;
      b[static_cast<std::size_t>(j)] =
          delayRight->processSample(sums[static_cast<std::size_t>(2 * j + 1)]) + kAntiDenormal;
    }
  }

  const float volume = s.p[kVolume];
  for (int j = 0; j < frames; ++j) {
    const TStereoValue out = finishFrame(a[static_cast<std::size_t>(j)], b[static_cast<std::size_t>(j)], volume);
    if (accumulate) {
      outL[j] += out.left;
      outR[j] += out.right;
    } else {
      outL[j] = out.left;
      outR[j] = out.right;
    }
  }
}

}  // namespace sarnel
