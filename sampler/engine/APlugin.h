#pragma once
// Sarnel: a 33-voice sampler. This is the plug-in object the host drives:
// the 500 parameters that hold its whole state (sound, sample path, tuning),
// the editor's commands, sample loading, MIDI and the render loop.
//
// Threads. The host's GUI thread runs the dispatcher, the editor, the sample
// timer and every command (loading reads files); which thread that is follows
// the rule of vst::GuiThread (the constructing thread until the host sends an
// editor opcode, then the thread of the editor opcodes). The
// audio thread runs processEvents, process and processReplacing. setParameter
// may come from either. Shared values are single atomics (relaxed); the voice
// state, the glide and the LFO counter belong to the audio thread alone, and
// what other threads ask of them (all notes off, the editor's play buttons, a
// loop mode change) is posted as a request that the audio thread takes at the
// start of its next processEvents or render block. The sample itself is
// handed over through TSampleExchange.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/AudioEffectX.h"
#include "framework/GuiThread.h"
#include "platform/GuiTimer.h"
#include "platform/MessageBoxService.h"
#include "platform/SettingsStore.h"
#include "sampler/dsp/TDelayFilt.h"
#include "sampler/dsp/TRelaxed.h"
#include "sampler/dsp/TWavetableOsc.h"
#include "sampler/engine/APluginProgram.h"
#include "sampler/engine/EditorWindow.h"
#include "sampler/engine/ParameterTable.h"
#include "sampler/engine/TPreListen.h"
#include "sampler/engine/TSampleExchange.h"
#include "sampler/engine/TVoiceBank.h"

namespace sarnel {

class APluginEditor;

struct APluginOptions {
  // Where the controller assignments live; null means the user's real store.
  std::shared_ptr<platform::SettingsStore> settings;
  // Makes the editor's window; without one the editor has no window.
  EditorWindowFactory editorWindowFactory;
};

class APlugin : public vst::AudioEffectX {
 public:
  static constexpr int kLfoInterval = 50;  // frames between two LFO evaluations
  static constexpr std::uint32_t kSampleTimerMs = 100;

  // GUI thread, both.
  explicit APlugin(vst::audioMasterCallback audioMaster);
  APlugin(vst::audioMasterCallback audioMaster, APluginOptions options);
  ~APlugin() override;

  // Any thread. Exception: the commands (643 and up) read files, show message
  // boxes or write settings, so only the GUI thread sends them.
  void setParameter(vst::VstInt32 index, float value) override;
  // Any thread.
  float getParameter(vst::VstInt32 index) override;

  // Audio thread.
  void process(float** inputs, float** outputs, vst::VstInt32 sampleFrames) override;
  void processReplacing(float** inputs, float** outputs, vst::VstInt32 sampleFrames) override;
  vst::VstInt32 processEvents(vst::VstEvents* events) override;

  // Any thread. Services the GUI timers first when called on the GUI thread
  // (where no message loop does, the host's calls drive the sample timer).
  vst::VstIntPtr dispatcher(vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value, void* ptr,
                            float opt) override;

  // GUI thread.
  void setSampleRate(float rate) override;
  void setBlockSizeAndSampleRate(vst::VstInt32 size, float rate) override;
  void setProgram(vst::VstInt32 program) override;
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  void getParameterLabel(vst::VstInt32 index, char* label) override;
  void getParameterDisplay(vst::VstInt32 index, char* text) override;
  void getParameterName(vst::VstInt32 index, char* text) override;
  float getVu() override;
  void suspend() override;
  void resume() override;
  bool getProgramNameIndexed(vst::VstInt32 category, vst::VstInt32 index, char* text) override;
  bool getOutputProperties(vst::VstInt32 index, vst::VstPinProperties* properties) override;
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  vst::VstInt32 getVendorVersion() override;
  vst::VstInt32 canDo(char* text) override;

  // Loads a WAV file as the current sample. Asks what to do when the file
  // is missing, refuses paths longer than 255 bytes and reports a file that
  // cannot be read; never throws. True when a sample was loaded. GUI thread.
  bool loadSample(const std::string& path);
  // gate > 0 starts voice v, gate <= 0 releases it. Audio thread.
  void gateVoice(int voice, std::int32_t note, float ratio, float velocity, std::int32_t gate) noexcept;
  // One output frame computed the straightforward way, voice by voice; the
  // block render (process, processReplacing) gives the same frames faster.
  // Takes the GUI thread's requests first, as every block does. Audio thread.
  TStereoValue renderFrame(float inputLeft, float inputRight) noexcept;
  // The 100 ms sample timer: loads a restored path once. GUI thread.
  void sampleTimerTick();

  // For the editor and tests. GUI thread, these seven.
  const std::string& getSamplePath() const { return samplePath; }
  const TSampleBlock* loadedSample() const noexcept { return sampleExchange.current(); }
  std::size_t retiredSampleCount() const noexcept { return sampleExchange.retiredCount(); }
  bool isSampleTimerRunning() const { return sampleTimer.isRunning(); }
  const APluginProgram& program() const { return *programs[0]; }
  APluginEditor* pluginEditor() const;
  platform::SettingsStore& settings() { return *settingsStore; }
  // Pre-listening mixed into the output (the editor's on systems without a
  // media service).
  TPreListen& preListen() { return preListenClip; }
  // Any thread, the following.
  bool isAudioEnabled() const noexcept { return audioEnabled.load(std::memory_order_relaxed); }
  bool isNoSample() const noexcept { return noSample.load(std::memory_order_relaxed); }
  std::int32_t sampleChannels() const noexcept { return outputChannels.load(std::memory_order_relaxed); }
  float parameterValue(int p) const noexcept { return params[static_cast<std::size_t>(p)]; }
  std::int32_t controllerAssignment(int p) const noexcept {
    return ccAssign[static_cast<std::size_t>(p + 1)].load(std::memory_order_relaxed);
  }
  std::int32_t lfoTarget(int lfo) const noexcept { return (lfo == 1 ? lfoTarget1 : lfoTarget2).load(); }
  float lfoValue(int lfo) const noexcept { return (lfo == 1 ? lfoValue1 : lfoValue2).load(); }
  float hostTempo() const noexcept { return hostTempoValue.load(); }
  bool isEditorClosed() const noexcept { return editorClosed.load(std::memory_order_relaxed); }
  void setEditorClosed(bool closed) noexcept { editorClosed.store(closed, std::memory_order_relaxed); }
  bool loopMarkersDirty() const noexcept { return loopMarkersDirtyFlag.load(std::memory_order_relaxed); }
  bool takeLoopMarkersDirty() noexcept { return loopMarkersDirtyFlag.exchange(false, std::memory_order_relaxed); }
  // Whether the caller is the host's GUI thread (see vst::GuiThread). Any thread.
  bool onGuiThread() const noexcept { return guiThread.isCurrent(); }
  // Audio thread (any thread while no render runs), these three.
  const TVoiceBank& voiceBank() const noexcept { return voices; }
  const TWavetableOsc& lfo(int which) const noexcept { return which == 1 ? *lfo1 : *lfo2; }
  const TDelayFilt& delayFilter(int channel) const noexcept { return channel == 0 ? *delayLeft : *delayRight; }

 private:
  // Who calls setParameter: the render's own writes (LFOs, MIDI controllers)
  // may touch the audio thread's state at once; everyone else posts requests.
  enum class Caller { other, render };
  // Results of a load attempt.
  enum class LoadResult { loaded, declined, failed };
  // Requests of other threads for the audio thread (bits).
  static constexpr std::uint32_t kRequestAllNotesOff = 1;
  static constexpr std::uint32_t kRequestClearReverse = 2;
  static constexpr std::uint32_t kRequestEvaluateLfo = 4;
  // Play requests for voices 5 and 6.
  static constexpr int kPlayNone = 0;
  static constexpr int kPlayStart = 1;
  static constexpr int kPlayRelease = 2;

  struct Snapshot;

  // Parameters and commands.
  void applyParameter(int index, float value, Caller caller);
  void applySoundParameter(int index, float value, Caller caller);
  void setLfoRate(int lfo, float value);
  bool runCommand(int index, float value);
  bool commandLoadProgramSample();
  bool commandLoadEditorSample();
  void commandUnload();
  void postRequest(std::uint32_t request) noexcept { pendingRequests.fetch_or(request, std::memory_order_release); }
  void postPlay(int slot, int request) noexcept {
    pendingPlay[static_cast<std::size_t>(slot)].store(request, std::memory_order_release);
  }
  void notifyEditor(Caller caller);
  EditorWindow* openEditorWindow() const;
  LoadResult loadSampleFile(const std::string& path) noexcept;
  platform::MessageResult tellUser(const std::string& text, platform::MessageButtons buttons,
                                   platform::MessageIcon icon,
                                   std::function<void(platform::MessageResult)> lateAnswer = {});
  void relocateLater(platform::MessageResult chosen, const std::string& path);
  void loadRestoredSampleQuietly();
  void collectRetiredSamples() noexcept;
  LoadResult readAndPublishSample(const std::string& requested);
  void readControllerAssignments();
  void applySampleRateToBlocks();

  // Audio thread.
  const TSampleBlock* takeRequests(TSampleReader reader) noexcept;
  void releaseSample(TSampleReader reader) noexcept { sampleExchange.release(reader); }
  void allNotesOff() noexcept;
  void startPlayVoice(const TSampleBlock* block, int voice, std::int32_t note) noexcept;
  std::int64_t startIndexForNewVoice(const TSampleBlock* block) const noexcept;
  void gateVoiceWith(const TSampleBlock* block, int voice, std::int32_t note, float ratio, float velocity,
                     std::int32_t gate) noexcept;
  float pitchRatio(int key) const noexcept;
  std::int32_t glideSamples() const noexcept;
  void handleMidi(const TSampleBlock* block, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) noexcept;
  void followTempo() noexcept;
  float glideStep() noexcept;
  void evaluateLfos() noexcept;
  void renderBlock(float** inputs, float** outputs, vst::VstInt32 frames, bool accumulate) noexcept;
  void renderSpan(const TSampleBlock* block, const float* inL, const float* inR, float* outL, float* outR,
                  int frames, bool accumulate) noexcept;
  TStereoValue finishFrame(float a, float b, float volume) const noexcept;

  // Construction order matters: the settings come first.
  std::shared_ptr<platform::SettingsStore> settingsStore;
  vst::GuiThread guiThread;

  platform::GuiTimer sampleTimer;
  std::atomic<bool> noSample{true};
  TRelaxed<float> lfoValue1{0.0f};
  TRelaxed<float> lfoValue2{0.0f};
  TRelaxed<std::int32_t> lfoTarget1{kPitch};
  TRelaxed<std::int32_t> lfoTarget2{kLoopLow};
  TRelaxed<float> hostTempoValue{120.0f};
  float lastTempo = 120.0f;  // audio thread
  std::array<std::atomic<std::int32_t>, kNumAssignments> ccAssign{};
  std::string samplePath;  // GUI thread
  std::atomic<bool> audioEnabled{false};
  // Glide (audio thread).
  std::int32_t glideCount = 0;
  std::int32_t glideLength = 0;
  float glideFrom = 0.0f;
  float glideTo = 0.0f;
  std::unique_ptr<TWavetableOsc> lfo1;
  std::unique_ptr<TWavetableOsc> lfo2;
  std::int32_t lfoTickCount = 0;  // audio thread
  std::unique_ptr<TDelayFilt> delayLeft;
  std::unique_ptr<TDelayFilt> delayRight;
  char hostVendor[256] = {};
  char hostProduct[256] = {};
  std::array<TRelaxed<std::uint8_t>, kPathBytes> pathBytes{};
  TRelaxed<float> lastVelocity{0.0f};
  // The sample: the GUI thread publishes; processEvents, a render block,
  // renderFrame and gateVoice each hold one block, in a slot of their own,
  // from their start to their end.
  TSampleExchange sampleExchange;
  TPreListen preListenClip;
  std::uint64_t voicesSerial = 0;            // the sample the voices play (audio thread)
  std::atomic<std::int32_t> outputChannels{0};
  std::array<TRelaxed<float>, kNumSoundParams> params{};
  std::array<TRelaxed<float>, kNumNotes> tuning{};
  std::atomic<bool> editorClosed{true};
  std::atomic<bool> loopMarkersDirtyFlag{false};
  TVoiceBank voices;  // audio thread
  std::array<std::unique_ptr<APluginProgram>, kNumPrograms> programs;

  // Hand-over from other threads to the audio thread.
  std::atomic<std::uint32_t> pendingRequests{0};
  std::array<std::atomic<int>, 2> pendingPlay{};
  // The host's rate as the render uses it (the base class field is the GUI
  // thread's), and whether the building blocks still have to follow it.
  std::atomic<float> renderSampleRate{44100.0f};
  static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<float>::is_always_lock_free &&
                    std::atomic<std::int32_t>::is_always_lock_free && std::atomic<std::uint32_t>::is_always_lock_free,
                "the audio thread takes no lock");
  float blocksSampleRate = 44100.0f;
  bool resumed = false;
  // The restored path's load: the timer waits for a path; a resume on
  // another thread than the GUI thread posts the load to the next GUI-thread
  // call; done once loaded (or left to command 643 from then on).
  enum class RestoredLoad { waiting, posted, done };
  std::atomic<RestoredLoad> restoredLoad{RestoredLoad::waiting};
  // Held by whichever thread works on the sample exchange's retired blocks
  // while a headless resume loads (see loadRestoredSampleQuietly).
  std::atomic_flag exchangeBusy;
};

}  // namespace sarnel
