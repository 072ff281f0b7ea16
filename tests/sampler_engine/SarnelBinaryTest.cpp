// Sarnel through its built binary (.so natively, .dll under wine), as a host
// drives it: the record and strings, a saved project restored and rendered,
// the voices' speeds and turning points heard at the outputs, MIDI, the
// effect mode, and the commands a host can reach. On Linux XDG_CONFIG_HOME
// points at the build tree, so the real settings store never touches the
// user's own settings; assignments a test makes are set back to 0.

#include <gtest/gtest.h>

#include <thread>

#include "tests/sampler_engine/BinaryTestSupport.h"

namespace {

using namespace sarneltest;

// The output passes the clip (|x + 1| - |x - 1|) / 2 in float32, which is
// exact to 2^-24 for values inside -1 ... 1.
constexpr float kClip = 1.0f / 16777216.0f + 1e-23f;

class SarnelBinary : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = loadSarnel();
    ASSERT_NE(plugin, nullptr) << "cannot load " << sarnelBinaryPath();
    plugin->start();
  }
  void TearDown() override {
    if (plugin && !plugin->isClosed()) plugin->close();
  }
  std::string wave(const std::string& name, const std::vector<float>& samples, int channels = 1,
                   int rate = 44100) {
    const std::string path = dir.file(name);
    writeFloatWave(path, samples, channels, rate);
    return path;
  }
  void load(const std::string& path) {
    setBinaryPath(*plugin, path);
    plugin->setParameter(kBinLoadProgramSample, 1.0f);
  }
  void note(int key, int velocity = 127) { plugin->sendMidi({host::noteOn(0, key, velocity)}); }
  void noteOff(int key) { plugin->sendMidi({host::noteOff(0, key)}); }

  TempDir dir;
  std::unique_ptr<host::Plugin> plugin;
};

TEST_F(SarnelBinary, RecordStringsAndQueries) {
  const vst::AEffect* record = plugin->effect();
  EXPECT_EQ(record->magic, vst::kEffectMagic);
  EXPECT_EQ(record->numPrograms, 1);
  EXPECT_EQ(record->numParams, 500);
  EXPECT_EQ(record->numInputs, 2);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_EQ(record->flags, 0x19);
  EXPECT_EQ(record->uniqueID, vst::fourCharCode('Z', 'Q', 'S', 'K'));
  EXPECT_EQ(plugin->effectName(), "Sarnel FX");
  EXPECT_EQ(plugin->programName(), "Init Preset");
  EXPECT_EQ(plugin->parameterName(15), "root note");
  EXPECT_EQ(plugin->parameterName(30), "don't touch!");
  EXPECT_EQ(plugin->parameterLabel(100), "%");
  EXPECT_EQ(plugin->parameterDisplay(15), "0.57");
  EXPECT_EQ(plugin->dispatch(vst::effGetPlugCategory), 0);
  vst::VstPinProperties pin{};
  EXPECT_EQ(plugin->dispatch(vst::effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "SARNE 2");
  EXPECT_EQ(pin.flags, 3);
  EXPECT_EQ(plugin->dispatch(vst::effGetOutputProperties, 2, 0, &pin), 0);
  std::string yes = "receiveVstEvents";
  std::string no = "sendVstEvents";
  EXPECT_EQ(plugin->dispatch(vst::effCanDo, 0, 0, yes.data()), 1);
  EXPECT_EQ(plugin->dispatch(vst::effCanDo, 0, 0, no.data()), -1);
  EXPECT_EQ(plugin->dispatch(vst::effGetChunk), 0);
  vst::ERect* rect = nullptr;
  EXPECT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right, 678);
  EXPECT_EQ(rect->bottom, 497);
}

// A host restores a saved project's 500 parameters, resumes and asks for
// audio at once, with no other GUI-thread call (an offline export): the
// sample must sound without anyone opening the editor.
TEST_F(SarnelBinary, RestoreResumeAndRenderAtOnceSounds) {
  const std::string path = wave("project.wav", std::vector<float>(8192, 0.5f));
  load(path);
  plugin->setParameter(kBinTuningFirst + 72, 500.0f / 30000.0f);
  const std::vector<float> saved = saveParameters(*plugin);
  plugin->close();

  auto restored = loadSarnel();
  ASSERT_NE(restored, nullptr);
  for (int i = 0; i < kBinNumParams; ++i) restored->setParameter(i, saved[static_cast<std::size_t>(i)]);
  restored->start();  // effOpen, rate, block size, resume
  restored->sendMidi({host::noteOn(0, 72, 127)});
  const Stereo out = renderBinary(*restored, 44100 / 10);
  EXPECT_GT(loudest(out.left), 0.01f);  // the default attack of 1.5 s rises from 0
  EXPECT_EQ(binaryPathParameter(*restored), path);
  EXPECT_EQ(restored->getParameter(kBinTuningFirst + 72), 500.0f / 30000.0f);
  restored->close();
}

// A host with a GUI thread (it asked for the editor's size there) that
// starts and renders on another thread: that thread reads no file, the next
// call on the GUI thread loads the restored sample.
TEST_F(SarnelBinary, ResumedOffTheGuiThreadTheNextGuiCallLoads) {
  const std::string path = wave("deferred.wav", std::vector<float>(8192, 0.5f));
  load(path);
  const std::vector<float> saved = saveParameters(*plugin);
  plugin->close();

  auto restored = loadSarnel();
  ASSERT_NE(restored, nullptr);
  vst::ERect* rect = nullptr;
  restored->dispatch(vst::effEditGetRect, 0, 0, &rect);
  for (int i = 0; i < kBinNumParams; ++i) restored->setParameter(i, saved[static_cast<std::size_t>(i)]);
  Stereo before;
  std::thread audio([&] {
    restored->start();  // effOpen, rate, block size, resume
    immediateEnvelope(*restored);
    restored->sendMidi({host::noteOn(0, 72, 127)});
    before = renderBinary(*restored, 512);
  });
  audio.join();
  EXPECT_EQ(loudest(before.left), 0.0f) << "the sample was read on the audio thread";

  restored->dispatch(vst::effEditIdle);  // the GUI thread's next call
  restored->sendMidi({host::noteOn(0, 72, 127)});
  const Stereo after = renderBinary(*restored, 512);
  EXPECT_GT(loudest(after.left), 0.4f);
  restored->close();
}

// A headless export: no GUI call ever, everything on a worker thread. The
// sample is read there without a box, and a missing one is reported on
// standard error.
TEST_F(SarnelBinary, HeadlessExportOnAWorkerThreadHearsTheSampleAndReportsAMissingOne) {
  const std::string path = wave("export.wav", std::vector<float>(8192, 0.5f));
  load(path);
  const std::vector<float> saved = saveParameters(*plugin);
  plugin->close();

  auto restored = loadSarnel();
  ASSERT_NE(restored, nullptr);
  for (int i = 0; i < kBinNumParams; ++i) restored->setParameter(i, saved[static_cast<std::size_t>(i)]);
  Stereo out;
  std::thread exporting([&] {
    restored->start();
    immediateEnvelope(*restored);
    restored->sendMidi({host::noteOn(0, 72, 127)});
    out = renderBinary(*restored, 512);
  });
  exporting.join();
  EXPECT_GT(loudest(out.left), 0.4f);
  restored->close();

  auto missing = loadSarnel();
  ASSERT_NE(missing, nullptr);
  const std::string gone = dir.file("gone.wav");
  setBinaryPath(*missing, gone);
  testing::internal::CaptureStderr();
  std::thread resuming([&] { missing->start(); });
  resuming.join();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("Sorry, but " + gone + " could not be found!"), std::string::npos) << said;
  EXPECT_EQ(binaryPathParameter(*missing), gone);
  missing->close();
}

// Without a resume, the sample timer (serviced by the GUI calls, or by the
// message loop on Windows) loads the restored path; the sound equals the
// original instance's.
TEST_F(SarnelBinary, SavedStateRoundTripThroughTheTimerGivesTheSameSound) {
  std::vector<float> samples;
  for (int i = 0; i < 4000; ++i) samples.push_back(static_cast<float>((i * 29) % 300 - 150) / 256.0f);
  const std::string path = wave("state.wav", samples);
  load(path);
  plugin->setParameter(kBinTuningFirst + 72, 300.0f / 30000.0f);
  plugin->setParameter(kBinTuningFirst + 79, 450.0f / 30000.0f);
  plugin->setParameter(kBinLoopMode, 1.0f / 3.0f);
  plugin->setParameter(kBinAttack, 0.01f);
  const std::vector<float> saved = saveParameters(*plugin);

  auto restored = loadSarnel();
  ASSERT_NE(restored, nullptr);
  restored->dispatch(vst::effOpen);
  for (int i = 0; i < kBinNumParams; ++i) restored->setParameter(i, saved[static_cast<std::size_t>(i)]);
  runGuiFor(*restored, 400);  // the 100 ms timer fires
  EXPECT_EQ(binaryPathParameter(*restored), path);

  plugin->sendMidi({host::noteOn(0, 72, 110), host::noteOn(0, 79, 90)});
  restored->sendMidi({host::noteOn(0, 72, 110), host::noteOn(0, 79, 90)});
  const Stereo a = renderBinary(*plugin, 6000);
  const Stereo b = renderBinary(*restored, 6000);
  EXPECT_GT(loudest(a.left), 0.05f);
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.right, b.right);
  restored->close();
}

TEST_F(SarnelBinary, RootKeyRecordedSpeedOctaveUpBackwardsAndStandingStill) {
  // A ramp: the output slope per frame is the playback speed times the step.
  const float step = 1.0f / 65536.0f;
  load(wave("ramp.wav", ramp(60000, step)));
  immediateEnvelope(*plugin);
  const auto speedAfter = [&](int frames) {
    const Stereo out = renderBinary(*plugin, frames);
    return (out.left[static_cast<std::size_t>(frames - 1)] - out.left[static_cast<std::size_t>(frames - 2)]) / step;
  };
  note(72);
  EXPECT_NEAR(speedAfter(100), 1.0f, 0.02f);
  noteOff(72);
  renderBinary(*plugin, 4);
  note(84);
  EXPECT_NEAR(speedAfter(100), 2.0f, 0.02f);
  plugin->setParameter(kBinPitch, 0.25f);  // backwards at the same speed
  EXPECT_NEAR(speedAfter(60), -2.0f, 0.02f);
  plugin->setParameter(kBinPitch, 0.5f);   // stands still
  const Stereo still = renderBinary(*plugin, 64);
  EXPECT_EQ(still.left[63], still.left[10]);
  EXPECT_GT(still.left[63], 0.0f);
}

TEST_F(SarnelBinary, ThirtyThreeVoicesAndTheThirtyFourthDropped) {
  load(wave("dc.wav", std::vector<float>(256, 1.0f / 64.0f)));
  immediateEnvelope(*plugin);
  plugin->setParameter(kBinLoopMode, 1.0f / 3.0f);
  std::vector<host::MidiMessage> notes;
  for (int key = 30; key < 30 + 34; ++key) notes.push_back(host::noteOn(0, key, 127));
  plugin->sendMidi(notes);
  Stereo out = renderBinary(*plugin, 16);
  EXPECT_NEAR(out.left[15], 33.0f / 64.0f, 8 * kClip);
  noteOff(35);
  renderBinary(*plugin, 4);
  note(63);  // the 34th key again: a voice is free now
  out = renderBinary(*plugin, 16);
  EXPECT_NEAR(out.left[15], 33.0f / 64.0f, 8 * kClip);
  noteOff(63);
  out = renderBinary(*plugin, 16);
  EXPECT_NEAR(out.left[15], 32.0f / 64.0f, 8 * kClip);
}

TEST_F(SarnelBinary, MonophonicGlideBothWaysAndVelocityZero) {
  const float step = 1.0f / 65536.0f;
  load(wave("ramp.wav", ramp(60000, step)));
  immediateEnvelope(*plugin);
  plugin->setParameter(kBinPortamento, 1.0f);
  plugin->setParameter(kBinPortamentoTime, 0.1f);  // 4410 frames
  const auto slope = [&](const Stereo& out, int at) {
    return (out.left[static_cast<std::size_t>(at)] - out.left[static_cast<std::size_t>(at - 1)]) / step;
  };
  note(72);
  renderBinary(*plugin, 100);
  note(84);
  Stereo up = renderBinary(*plugin, 4410 + 100);
  EXPECT_NEAR(slope(up, 2205), 1.5f, 0.02f);   // halfway
  EXPECT_NEAR(slope(up, 4500), 2.0f, 0.02f);   // arrived
  noteOff(84);
  Stereo down = renderBinary(*plugin, 4410 + 100);
  EXPECT_NEAR(slope(down, 2205), 1.5f, 0.02f);
  EXPECT_NEAR(slope(down, 4500), 1.0f, 0.02f);
  note(72, 0);  // velocity 0: the held note ends
  Stereo off = renderBinary(*plugin, 64);
  EXPECT_NEAR(off.left[63], 0.0f, kClip);
}

TEST_F(SarnelBinary, LoopTurningPointsIncludingTheFirstPassLowerBound) {
  const float step = 1.0f / 128.0f;
  load(wave("ramp.wav", ramp(101, step)));  // loop 20 ... 60
  immediateEnvelope(*plugin);
  plugin->setParameter(kBinLoopLow, 0.2f);
  plugin->setParameter(kBinLoopHigh, 0.6f);
  const auto positions = [&](float mode, float pitch, int frames) {
    plugin->setParameter(kBinLoopMode, mode);
    plugin->setParameter(kBinPitch, pitch);
    note(72);
    const Stereo out = renderBinary(*plugin, frames + 1);
    plugin->sendMidi({host::controlChange(0, 123, 0)});
    renderBinary(*plugin, 4);
    std::vector<int> seen;  // the position each frame read (the output is one frame late)
    for (int t = 1; t <= frames; ++t) seen.push_back(static_cast<int>(std::lround(out.left[static_cast<std::size_t>(t)] / step)));
    return seen;
  };
  // Loop only: 59, then 0 (first pass: lower bound 0), the loop end, the loop start.
  std::vector<int> loop = positions(1.0f / 3.0f, 0.75f, 44);
  EXPECT_EQ(std::vector<int>(loop.begin() + 39, loop.begin() + 44), (std::vector<int>{59, 0, 60, 20, 21}));
  // Ping pong: turns to 59 at the end, back down, forwards again at 21.
  std::vector<int> pong = positions(1.0f, 0.75f, 82);
  EXPECT_EQ(pong[39], 59);
  EXPECT_EQ(pong[40], 59);
  EXPECT_EQ(pong[41], 58);
  EXPECT_EQ(pong[80], 21);
  // No loop: silent once the loop end is reached.
  std::vector<int> once = positions(0.0f, 0.75f, 44);
  EXPECT_EQ(once[39], 59);
  EXPECT_EQ(once[41], 0);
  // Backwards, first pass: down to the sample's start, then the loop end.
  std::vector<int> back = positions(1.0f / 3.0f, 0.25f, 64);
  EXPECT_EQ(back[59], 1);
  EXPECT_EQ(back[60], 0);
  EXPECT_EQ(back[61], 60);
}

TEST_F(SarnelBinary, EffectModeDelaysTheInputOneSampleAndClips) {
  std::vector<float> input(64, 0.0f);
  input[3] = 0.375f;
  input[10] = 4.0f;
  input[11] = -4.0f;
  const Stereo out = renderBinary(*plugin, 64, 64, &input);
  EXPECT_NEAR(out.left[4], 0.375f, kClip);
  EXPECT_NEAR(out.left[3], 0.0f, kClip);
  EXPECT_EQ(out.left[11], 1.0f);
  EXPECT_EQ(out.left[12], -1.0f);
  EXPECT_EQ(out.right[4], out.left[4]);  // no two-channel sample yet: the left path on both
}

TEST_F(SarnelBinary, ControllerAssignmentAndLearn) {
  plugin->setParameter(kBinControllerFirst + kBinVolume, 7.0f / 200.0f);
  EXPECT_EQ(plugin->getParameter(kBinControllerFirst + kBinVolume), 7.0f / 200.0f);
  plugin->sendMidi({host::controlChange(0, 7, 64)});
  EXPECT_EQ(plugin->getParameter(kBinVolume), 64.0f / 127.0f);
  plugin->setParameter(kBinControllerFirst + kBinVolume, 1.0f);  // learn
  plugin->sendMidi({host::controlChange(0, 11, 30)});
  EXPECT_EQ(plugin->getParameter(kBinControllerFirst + kBinVolume), 11.0f / 200.0f);
  EXPECT_EQ(plugin->getParameter(kBinVolume), 64.0f / 127.0f);
  plugin->sendMidi({host::controlChange(0, 11, 30)});
  EXPECT_EQ(plugin->getParameter(kBinVolume), 30.0f / 127.0f);
  plugin->setParameter(kBinControllerFirst + kBinVolume, 0.0f);  // leave the settings as found
}

TEST_F(SarnelBinary, ResetTuningAgainstTheProgramsTuningAndProgramOneDoesNothing) {
  plugin->setParameter(kBinTuningFirst + 69, 0.02f);
  plugin->setParameter(kBinResetTuning, 1.0f);
  EXPECT_EQ(plugin->getParameter(kBinTuningFirst + 69), static_cast<float>(440.0 / 30000.0));
  plugin->dispatch(vst::effSetProgram, 0, 1);
  EXPECT_EQ(plugin->getParameter(kBinTuningFirst + 69), static_cast<float>(440.0 / 30000.0));
  EXPECT_EQ(plugin->dispatch(vst::effGetProgram), 0);
  plugin->dispatch(vst::effSetProgram, 0, 0);
  EXPECT_EQ(plugin->getParameter(kBinTuningFirst + 69), 0.02f);
}

TEST_F(SarnelBinary, UnloadKeepsTheProgramsPath) {
  const std::string path = wave("kept.wav", std::vector<float>(8192, 0.5f));
  load(path);
  plugin->setParameter(kBinUnload, 1.0f);
  immediateEnvelope(*plugin);
  note(72);
  EXPECT_EQ(loudest(renderBinary(*plugin, 64).left), 0.0f);  // unloaded: the effect mode, silent input
  const std::vector<float> saved = saveParameters(*plugin);
  EXPECT_EQ(binaryPathParameter(*plugin), path);

  auto reopened = loadSarnel();
  ASSERT_NE(reopened, nullptr);
  for (int i = 0; i < kBinNumParams; ++i) reopened->setParameter(i, saved[static_cast<std::size_t>(i)]);
  reopened->start();
  reopened->sendMidi({host::noteOn(0, 72, 127)});
  EXPECT_GT(loudest(renderBinary(*reopened, 64).left), 0.4f);
  reopened->close();
}

#if !defined(_WIN32)
// Without a window on Linux nobody can answer the missing-file question: it
// goes to standard error and counts as Cancel, which unloads (the program
// keeps the path). (On Windows the system's box would wait for a user.)
TEST_F(SarnelBinary, AMissingRestoredSampleIsReportedOnStandardErrorAndUnloads) {
  load(wave("there.wav", std::vector<float>(4096, 0.5f)));
  const std::string missing = dir.file("gone.wav");
  testing::internal::CaptureStderr();
  load(missing);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("Sorry, but " + missing + " could not be found!"), std::string::npos) << said;
  immediateEnvelope(*plugin);
  note(72);
  EXPECT_EQ(loudest(renderBinary(*plugin, 64).left), 0.0f);
  EXPECT_EQ(binaryPathParameter(*plugin), missing);
}
#endif

}  // namespace
