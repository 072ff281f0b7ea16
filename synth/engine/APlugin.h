#pragma once
// Marrowglint: a four-voice, two-oscillator wave-table synthesizer. This is
// the plug-in object the host drives: parameters and programs, settings,
// MIDI, and the render loop.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <random>

#include "framework/AudioEffectX.h"
#include "framework/GuiThread.h"
#include "platform/SettingsStore.h"
#include "synth/engine/APluginProgram.h"
#include "synth/engine/ControllerSlots.h"
#include "synth/engine/EditorWindow.h"
#include "synth/engine/ParameterTable.h"
#include "synth/engine/TCombStage.h"
#include "synth/engine/TResonantFilter.h"
#include "synth/engine/TVoice.h"
#include "synth/engine/TVoiceBank.h"
#include "synth/engine/TWaveTables.h"

namespace marrowglint {

class APluginEditor;

struct APluginOptions {
  // Where settings live; null means the current user's real store.
  std::shared_ptr<platform::SettingsStore> settings;
  // Fixes the noise table. The table is built before the generator is seeded
  // from the clock, so every instance gets the same noise unless told
  // otherwise, and renders are reproducible.
  std::uint32_t noiseSeed = 1;
  // Makes the editor's window; without one the editor has no window.
  EditorWindowFactory editorWindowFactory;
};

class APlugin : public vst::AudioEffectX {
 public:
  static constexpr int kNumVoices = 4;     // voices that sound

  // Host's GUI thread, both.
  explicit APlugin(vst::audioMasterCallback audioMaster);
  APlugin(vst::audioMasterCallback audioMaster, APluginOptions options);
  ~APlugin() override;

  // Any thread. Indices 911 and 999 are editor commands (999 reads the
  // settings store: GUI thread only).
  void setParameter(vst::VstInt32 index, float value) override;
  // Any thread.
  float getParameter(vst::VstInt32 index) override;
  // Audio thread.
  void process(float** inputs, float** outputs, vst::VstInt32 sampleFrames) override;
  void processReplacing(float** inputs, float** outputs, vst::VstInt32 sampleFrames) override;
  vst::VstInt32 processEvents(vst::VstEvents* events) override;
  // Any thread. Follows the host's GUI thread (vst::GuiThread) first.
  vst::VstIntPtr dispatcher(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                            float opt) override;

  // GUI thread. A new rate takes effect at once while suspended, otherwise
  // at the next resume; the audio thread takes it at its next call.
  void setSampleRate(float rate) override;
  void setBlockSizeAndSampleRate(vst::VstInt32 size, float rate) override;
  void suspend() override;

  // GUI thread.
  void setProgram(vst::VstInt32 program) override;
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  void getParameterLabel(vst::VstInt32 index, char* label) override;
  void getParameterDisplay(vst::VstInt32 index, char* text) override;
  void getParameterName(vst::VstInt32 index, char* text) override;
  float getVu() override;
  void resume() override;
  bool getProgramNameIndexed(vst::VstInt32 category, vst::VstInt32 index, char* text) override;
  bool getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  vst::VstInt32 getVendorVersion() override;
  vst::VstInt32 canDo(char* text) override;

  // Starts a note (shifted note number, velocity 1..127). Audio thread.
  void noteOn(int note, int velocity);
  // Releases voice 1..4. Audio thread.
  void noteOff(int voice);

  // Inspection for the editor and tests.
  TVoice voice(int v) const { return voices.snapshot(v - 1); }  // 1..8, a copy
  float glideTarget(int oscillator) const { return oscillator == 1 ? voices.glideTarget1 : voices.glideTarget2; }
  float lfoPhase() const { return lfoPhaseValue.load(std::memory_order_relaxed); }
  float lfoOutput() const { return lfoOutputValue.load(std::memory_order_relaxed); }
  std::int32_t oscillator1WaveIndex() const { return wave1.load(std::memory_order_relaxed); }
  std::int32_t oscillator2WaveIndex() const { return wave2.load(std::memory_order_relaxed); }
  std::int32_t lfoWaveIndex() const { return lfoWaveValue.load(std::memory_order_relaxed); }
  std::int32_t lfoDestinationIndex() const { return lfoDest.load(std::memory_order_relaxed); }
  std::uint8_t interpolationMode() const { return interpolation.load(std::memory_order_relaxed); }
  bool fixedRatePitch() const { return fixedRate; }
  // 44100 / the host's rate that the voices use (1 with "Fixed Rate Pitch").
  // Audio thread, or while nothing renders.
  float rateScale() const { return voices.rateScale; }
  std::int32_t controllerEntry(int slot) const {  // slot 1..18
    return controllerSlots[static_cast<std::size_t>(slot - 1)].load(std::memory_order_relaxed);
  }
  // Keeps controllers learned since the last call in the settings, so a later
  // reload of the table (any assignment in the editor) cannot send them back
  // to learning. GUI thread; does nothing unless something was learned.
  void storeLearnedControllers();
  const TWaveTables& waveTables() const { return *tables; }
  const TResonantFilter& filter() const { return outputFilter; }
  const TCombStage& comb() const { return combStage; }
  const APluginProgram& program(int index) const { return *programs[static_cast<std::size_t>(index)]; }
  // GUI thread (program editing outside setParameter, as a bank load does).
  APluginProgram& program(int index) { return *programs[static_cast<std::size_t>(index)]; }
  const char* getHostVendor() const { return hostVendor; }
  const char* getHostProduct() const { return hostProduct; }
  APluginEditor* pluginEditor() const;

  // Settings of the "Marrowglint" section, for the editor. GUI thread.
  platform::SettingsStore& settings() { return *settingsStore; }

  // Whether the caller is the host's GUI thread: the constructing thread
  // until the host sends an editor opcode, then the thread of those opcodes
  // (vst::GuiThread). Any thread.
  bool onGuiThread() const noexcept { return guiThread.isCurrent(); }

  // Set and cleared by the editor. Any thread.
  bool isEditorClosed() const { return editorClosed.load(std::memory_order_relaxed); }
  void setEditorClosed(bool closed) { editorClosed.store(closed, std::memory_order_relaxed); }
  // The LFO raises this when it moved a live value; the editor's idle takes
  // it. Any thread.
  bool takePendingUpdate() { return pendingUpdate.exchange(0, std::memory_order_relaxed) > 0; }
  std::int32_t pendingUpdateCount() const { return pendingUpdate.load(std::memory_order_relaxed); }

  // A pseudo-random integer in 0..range−1 (the editor's random preset).
  // GUI thread.
  int random(int range);

 private:
  // Live values and derived state as one render block sees them.
  struct RenderValues;

  void readSettings();
  // The scale for the current sampleRate, handed to the audio thread.
  void publishRateScale();
  // Audio thread: takes a scale published since the last call.
  void takeRateScale();
  void writeSettings();
  void reloadControllerSlots();
  void applyController(int source, float value);
  void startEnvelope(int lane, float attackRate);
  void release(int lane, float releaseRate, bool sustainZero);
  void renderBlock(float** inputs, float** outputs, vst::VstInt32 frames, bool accumulate);
  template <int Mode>
  void renderFrames(const float* in0, const float* in1, float* out0, float* out1, vst::VstInt32 frames,
                    bool accumulate, RenderValues& values);
  float live(int index) const { return liveValues[static_cast<std::size_t>(index)].load(std::memory_order_relaxed); }

  std::shared_ptr<platform::SettingsStore> settingsStore;
  std::array<std::unique_ptr<APluginProgram>, kNumPrograms> programs;
  std::shared_ptr<const TWaveTables> tables;

  // What the engine uses; setParameter writes them from any thread.
  std::array<std::atomic<float>, kNumLiveValues> liveValues;
  std::atomic<std::int32_t> wave1{2};
  std::atomic<std::int32_t> wave2{2};
  std::atomic<std::int32_t> lfoWaveValue{0};
  std::atomic<std::int32_t> lfoDest{kMix};
  std::atomic<float> lfoPhaseValue{0.0f};
  std::atomic<float> lfoOutputValue{0.0f};
  std::atomic<std::uint8_t> interpolation{0};
  std::array<std::atomic<std::int32_t>, kNumControllerSlots> controllerSlots;
  // Set by the audio thread when a slot learns its controller.
  std::atomic<bool> controllersLearned{false};
  std::atomic<std::int32_t> pendingUpdate{0};
  // 44100 / the host's rate, published by the GUI thread for the voices.
  std::atomic<float> publishedRateScale{1.0f};
  // Read at construction: the voices ignore the host's rate.
  bool fixedRate = false;
  // Between resume and suspend (GUI thread).
  bool resumed = false;
  // curProgram for the threads that write into the current program (MIDI
  // controllers arrive on the audio thread).
  std::atomic<int> currentProgram{0};
  std::atomic<bool> editorClosed{false};
  vst::GuiThread guiThread;

  // Audio thread only (note events and rendering).
  std::uint8_t voiceCount = kNumVoices;
  TVoiceBank voices;
  TResonantFilter outputFilter;
  TCombStage combStage;
  // sin(pos × 5000 + 1) for each value of the comb position (the ring
  // modulator's carrier), computed once.
  std::array<float, TCombStage::kLength> ringCarrier{};

  char hostVendor[256] = {};
  char hostProduct[256] = {};
  std::minstd_rand generator;
};

}  // namespace marrowglint
