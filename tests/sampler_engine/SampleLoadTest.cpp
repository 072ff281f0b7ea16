// Loading, reloading and unloading samples; the missing-file question and
// the reader's errors through the message box service; the sample timer and
// resume; the saved state; the editor's open count and idle.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "sampler/engine/APluginEditor.h"
#include "tests/sampler_engine/EngineFixture.h"

namespace {

using namespace sarnel;
using platform::MessageButtons;
using platform::MessageResult;
using sarneltest::Block;
using sarneltest::EngineTest;

// The window as the engine sees it, recording what it is asked.
struct FakeWindow : EditorWindow {
  std::string label = "(no file  loaded)";
  std::string dialogName;
  std::string pickOnLoadClick;  // what the user picks in the dialog
  int shows = 0, hides = 0, copies = 0, timerEnables = 0, markerMoves = 0, clears = 0, loadClicks = 0;
  std::vector<int> waveformDraws;

  void enableDisplayTimer() override { ++timerEnables; }
  void show() override { ++shows; }
  void hide() override { ++hides; }
  void copyDisplayValues() override { ++copies; }
  std::string fileNameLabel() const override { return label; }
  void setFileNameLabel(const std::string& text) override { label = text; }
  void moveLoopMarkers() override { ++markerMoves; }
  void drawWaveform(int endColumn) override { waveformDraws.push_back(endColumn); }
  void clearWaveform() override { ++clears; }
  void setSampleDialogFileName(const std::string& path) override { dialogName = path; }
  std::string sampleDialogFileName() const override { return dialogName; }
  void loadClick() override {
    ++loadClicks;
    if (!pickOnLoadClick.empty()) dialogName = pickOnLoadClick;
  }
};

class SarnelSamples : public EngineTest {
 protected:
  // Recreates the plug-in with a window factory that hands out `window`.
  void withWindow() {
    plugin.reset();
    plugin = makePlugin([this](APlugin&, void*) {
      auto made = std::make_unique<FakeWindow>();
      window = made.get();
      return made;
    });
    plugin->dispatcher(vst::effEditOpen, 0, 0, &parentHandle, 0.0f);
    ASSERT_NE(window, nullptr);
  }
  std::string writeWave(const std::string& name, const std::vector<float>& samples, int channels = 1) {
    const std::string path = dir.file(name);
    sarneltest::writeFloatWave(path, samples, channels);
    return path;
  }
  float loudness(int frames) {
    std::vector<float> left, right;
    sarneltest::render(*plugin, frames, left, right);
    float loudest = 0.0f;
    for (float v : left) loudest = std::max(loudest, std::fabs(v));
    return loudest;
  }

  int parentHandle = 0;
  FakeWindow* window = nullptr;
};

TEST_F(SarnelSamples, LoadSetsThePathInEngineAndProgramAndTheLoopMarkersFlag) {
  const std::string path = writeWave("one.wav", sarneltest::stereoRamp(100), 2);
  plugin->takeLoopMarkersDirty();
  EXPECT_TRUE(plugin->loadSample(path));
  EXPECT_FALSE(plugin->isNoSample());
  EXPECT_EQ(plugin->getSamplePath(), path);
  EXPECT_EQ(plugin->sampleChannels(), 2);
  ASSERT_NE(plugin->loadedSample(), nullptr);
  EXPECT_EQ(plugin->loadedSample()->length, 200);
  EXPECT_EQ(plugin->program().path(), path);
  EXPECT_EQ(sarneltest::pathFromParameters(*plugin), path);
  plugin->setParameter(kCommandLoadProgramSample, 1.0f);
  EXPECT_TRUE(plugin->loopMarkersDirty());
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(SarnelSamples, MissingFileAskedAndCancelUnloadsButKeepsTheProgramsPath) {
  const std::string good = writeWave("good.wav", std::vector<float>(64, 0.5f));
  ASSERT_TRUE(plugin->loadSample(good));
  const std::string missing = dir.file("gone.wav");
  sarneltest::setPathParameters(*plugin, missing);
  boxes.queueAnswer(MessageResult::cancel);
  plugin->setParameter(kCommandLoadProgramSample, 1.0f);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "Sorry, but " + missing +
                                       " could not be found!\n\rIf you want to manually locate the file (or any "
                                       "other file), press OK, else press Cancel!");
  EXPECT_EQ(boxes.shown()[0].caption, "Error!");
  EXPECT_EQ(boxes.shown()[0].buttons, MessageButtons::okCancel);
  // Command 647 ran: no sample, audio on, loop points reset, path kept.
  EXPECT_TRUE(plugin->isNoSample());
  EXPECT_EQ(plugin->loadedSample(), nullptr);
  EXPECT_TRUE(plugin->isAudioEnabled());
  EXPECT_EQ(plugin->getParameter(kLoopHigh), 1.0f);
  EXPECT_EQ(plugin->program().path(), missing);
}

TEST_F(SarnelSamples, MissingFileAnsweredOkWithoutAWindowIsACancel) {
  sarneltest::setPathParameters(*plugin, dir.file("gone.wav"));
  boxes.queueAnswer(MessageResult::ok);
  plugin->setParameter(kCommandLoadProgramSample, 1.0f);
  EXPECT_EQ(boxes.shown().size(), 1u);
  EXPECT_TRUE(plugin->isNoSample());
  EXPECT_TRUE(plugin->isAudioEnabled());
}

TEST_F(SarnelSamples, MissingFileAnsweredOkLetsTheUserPickAnotherFile) {
  withWindow();
  const std::string picked = writeWave("picked.wav", std::vector<float>(64, 0.5f));
  window->pickOnLoadClick = picked;
  const std::string missing = dir.file("gone.wav");
  sarneltest::setPathParameters(*plugin, missing);
  boxes.queueAnswer(MessageResult::ok);
  plugin->setParameter(kCommandLoadProgramSample, 1.0f);
  EXPECT_EQ(window->loadClicks, 1);
  EXPECT_EQ(plugin->getSamplePath(), picked);
  EXPECT_EQ(plugin->program().path(), picked);
  EXPECT_FALSE(plugin->isNoSample());
  EXPECT_EQ(window->waveformDraws, std::vector<int>{1});
}

TEST_F(SarnelSamples, AFileTheReaderRefusesIsReportedAndLeavesTheEngineSilentButAlive) {
  const std::string good = writeWave("good.wav", std::vector<float>(4096, 0.5f));
  const std::string bad = dir.file("bad.wav");
  {
    // A well-formed RIFF file of another form type.
    std::ofstream out(bad, std::ios::binary);
    const char bytes[] = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '};
    out.write(bytes, sizeof bytes);
  }
  ASSERT_TRUE(plugin->loadSample(good));
  sarneltest::makeEnvelopeImmediate(*plugin);
  sarneltest::sendMidi(*plugin, {host::noteOn(0, 72, 127)});
  EXPECT_GT(loudness(64), 0.4f);

  EXPECT_FALSE(plugin->loadSample(bad));  // nothing escapes
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_NE(boxes.shown()[0].text.find("Error 13"), std::string::npos) << boxes.shown()[0].text;
  EXPECT_EQ(boxes.shown()[0].caption, "Error");

  sarneltest::setPathParameters(*plugin, bad);
  plugin->setParameter(kCommandLoadProgramSample, 1.0f);
  EXPECT_FALSE(plugin->isAudioEnabled());
  EXPECT_EQ(plugin->loadedSample(), nullptr);
  sarneltest::sendMidi(*plugin, {host::noteOn(0, 72, 127)});
  EXPECT_EQ(loudness(256), 0.0f);

  // A later load brings the sound back.
  sarneltest::setPathParameters(*plugin, good);
  plugin->setParameter(kCommandLoadProgramSample, 1.0f);
  EXPECT_TRUE(plugin->isAudioEnabled());
  sarneltest::sendMidi(*plugin, {host::noteOn(0, 72, 127)});
  EXPECT_GT(loudness(64), 0.4f);
}

TEST_F(SarnelSamples, PathsLongerThan255BytesAreRefusedNotCut) {
  withWindow();
  const std::string good = writeWave("good.wav", std::vector<float>(64, 0.5f));
  ASSERT_TRUE(plugin->loadSample(good));
  // A real file whose path is 256 bytes long.
  std::string longName(256 - dir.file("").size() - 4, 'x');
  const std::string longPath = writeWave(longName + ".wav", std::vector<float>(64, 0.25f));
  ASSERT_EQ(longPath.size(), 256u);
  window->label = longPath;
  plugin->setParameter(kCommandLoadEditorSample, 1.0f);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_NE(boxes.shown()[0].text.find("255"), std::string::npos);
  EXPECT_EQ(plugin->program().path(), good);
  EXPECT_EQ(plugin->getSamplePath(), good);
  EXPECT_NE(plugin->loadedSample(), nullptr);

  // 255 bytes still fit.
  const std::string fitting = writeWave(longName.substr(1) + ".wav", std::vector<float>(64, 0.25f));
  ASSERT_EQ(fitting.size(), 255u);
  window->label = fitting;
  plugin->setParameter(kCommandLoadEditorSample, 1.0f);
  EXPECT_EQ(plugin->program().path(), fitting);
  EXPECT_EQ(sarneltest::pathFromParameters(*plugin), fitting);
}

TEST_F(SarnelSamples, EditorCommandsUseTheWindow) {
  withWindow();
  const std::string path = writeWave("named.wav", std::vector<float>(64, 0.5f));
  window->label = path;
  plugin->setParameter(kCommandLoadEditorSample, 1.0f);
  EXPECT_EQ(window->waveformDraws, std::vector<int>{0});
  EXPECT_EQ(plugin->getSamplePath(), path);
  plugin->setParameter(kCommandUnload, 1.0f);
  EXPECT_EQ(window->clears, 1);
  EXPECT_EQ(plugin->getSamplePath(), "");
  // The label follows the engine's sample path at the next idle.
  plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(window->label, "");
  EXPECT_GE(window->markerMoves, 1);
}

TEST_F(SarnelSamples, UnloadKeepsTheProgramsPathSoASavedProjectLoadsItAgain) {
  const std::string path = writeWave("kept.wav", std::vector<float>(64, 0.5f));
  sarneltest::setPathParameters(*plugin, path);
  plugin->setParameter(kCommandLoadProgramSample, 1.0f);
  plugin->setParameter(kCommandUnload, 1.0f);
  EXPECT_TRUE(plugin->isNoSample());
  std::vector<float> saved(kNumParams);
  for (int i = 0; i < kNumParams; ++i) saved[static_cast<std::size_t>(i)] = plugin->getParameter(i);
  EXPECT_EQ(sarneltest::pathFromParameters(*plugin), path);

  auto reopened = makePlugin();
  for (int i = 0; i < kNumParams; ++i) reopened->setParameter(i, saved[static_cast<std::size_t>(i)]);
  timers.advance(100);
  EXPECT_FALSE(reopened->isNoSample());
  EXPECT_EQ(reopened->getSamplePath(), path);
}

TEST_F(SarnelSamples, TheTimerLoadsARestoredPathOnceAndThenStops) {
  const std::string path = writeWave("timer.wav", std::vector<float>(64, 0.5f));
  timers.advance(300);  // no path: keeps waiting
  EXPECT_TRUE(plugin->isSampleTimerRunning());
  EXPECT_TRUE(plugin->isNoSample());
  sarneltest::setPathParameters(*plugin, path);
  timers.advance(99);
  EXPECT_TRUE(plugin->isNoSample());
  timers.advance(1);
  EXPECT_FALSE(plugin->isNoSample());
  EXPECT_FALSE(plugin->isSampleTimerRunning());
  EXPECT_EQ(timers.activeCount(), 0);
}

TEST_F(SarnelSamples, ResumeLoadsAPendingRestoredPathAtOnce) {
  const std::string path = writeWave("resume.wav", std::vector<float>(4096, 0.5f));
  sarneltest::setPathParameters(*plugin, path);
  plugin->dispatcher(vst::effMainsChanged, 0, 1, nullptr, 0.0f);
  EXPECT_FALSE(plugin->isNoSample());
  EXPECT_FALSE(plugin->isSampleTimerRunning());
  EXPECT_GE(sarneltest::testHost.wantMidiCalls.load(), 1);
  sarneltest::makeEnvelopeImmediate(*plugin);
  sarneltest::sendMidi(*plugin, {host::noteOn(0, 72, 127)});
  EXPECT_GT(loudness(64), 0.4f);
}

TEST_F(SarnelSamples, SavedStateRoundTripGivesTheSameSound) {
  const std::string path = writeWave("state.wav", sarneltest::stereoRamp(3000, 1.0f / 8192.0f), 2);
  sarneltest::setPathParameters(*plugin, path);
  plugin->setParameter(kCommandLoadProgramSample, 1.0f);
  plugin->setParameter(kTuningFirst + 72, 600.0f / 30000.0f);  // a tuning of its own
  plugin->setParameter(kTuningFirst + 76, 700.0f / 30000.0f);
  plugin->setParameter(kLoopMode, 1.0f);
  plugin->setParameter(kLoopLow, 0.3f);
  plugin->setParameter(kAttack, 0.01f);
  plugin->setParameter(kFilterHigh, 0.7f);
  std::vector<float> saved(kNumParams);
  for (int i = 0; i < kNumParams; ++i) saved[static_cast<std::size_t>(i)] = plugin->getParameter(i);

  auto restored = makePlugin();
  for (int i = 0; i < kNumParams; ++i) restored->setParameter(i, saved[static_cast<std::size_t>(i)]);
  timers.advance(100);
  ASSERT_FALSE(restored->isNoSample());

  // Both render the same phrase from a fresh start of their filters.
  plugin->setParameter(kCommandAllNotesOff, 1.0f);
  restored->setParameter(kCommandAllNotesOff, 1.0f);
  const auto phrase = [](APlugin& p, std::vector<float>& l, std::vector<float>& r) {
    sarneltest::sendMidi(p, {host::noteOn(0, 72, 100), host::noteOn(0, 76, 90)});
    sarneltest::render(p, 2000, l, r);
    sarneltest::sendMidi(p, {host::noteOff(0, 72)});
    sarneltest::render(p, 1000, l, r);
  };
  plugin->setParameter(kCommandLoadProgramSample, 1.0f);  // the same start: voices stopped, filters cleared
  std::vector<float> l1, r1, l2, r2;
  phrase(*plugin, l1, r1);
  phrase(*restored, l2, r2);
  EXPECT_EQ(l1, l2);
  EXPECT_EQ(r1, r2);
  float loudest = 0.0f;
  for (float v : l1) loudest = std::max(loudest, std::fabs(v));
  EXPECT_GT(loudest, 0.05f);
}

TEST_F(SarnelSamples, RetiredSamplesAreFreedWhenTheRenderNoLongerHoldsThem) {
  const std::string a = writeWave("a.wav", std::vector<float>(64, 0.5f));
  const std::string b = writeWave("b.wav", std::vector<float>(64, 0.25f));
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(plugin->loadSample(i % 2 == 0 ? a : b));
    Block block(16);
    block.replacing(*plugin);
  }
  // No render holds a block between calls: nothing waits to be freed.
  EXPECT_EQ(plugin->retiredSampleCount(), 0u);
}

using SarnelEditor = SarnelSamples;

TEST_F(SarnelEditor, RectOpenCountAndClosedFlag) {
  vst::ERect* rect = nullptr;
  EXPECT_EQ(plugin->dispatcher(vst::effEditGetRect, 0, 0, &rect, 0.0f), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 497);
  EXPECT_EQ(rect->right, 678);

  withWindow();
  EXPECT_FALSE(plugin->isEditorClosed());
  EXPECT_EQ(window->shows, 1);
  EXPECT_EQ(window->timerEnables, 1);
  FakeWindow* first = window;
  plugin->dispatcher(vst::effEditOpen, 0, 0, &parentHandle, 0.0f);  // second open: same window
  EXPECT_EQ(window, first);
  EXPECT_EQ(first->shows, 2);
  plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(plugin->pluginEditor()->window(), first);  // kept, hidden
  EXPECT_EQ(first->hides, 1);
  plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(plugin->pluginEditor()->window(), nullptr);
  EXPECT_TRUE(plugin->isEditorClosed());
  plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f);  // an extra close
  EXPECT_EQ(plugin->pluginEditor()->openCount(), 0);
  window = nullptr;
  plugin->dispatcher(vst::effEditOpen, 0, 0, &parentHandle, 0.0f);  // a fresh window
  EXPECT_NE(window, nullptr);
}

TEST_F(SarnelEditor, UpdatesFromTheGuiThreadAtOnceFromOthersAtTheNextIdle) {
  withWindow();
  const int before = window->copies;
  plugin->setParameter(kVolume, 0.3f);
  EXPECT_EQ(window->copies, before + 1);
  std::thread other([this] { plugin->setParameter(kVolume, 0.4f); });
  other.join();
  EXPECT_EQ(window->copies, before + 1);
  plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(window->copies, before + 2);
}

// A host that constructs the plug-in on a worker thread and runs its editor
// on another: the editor opcodes show the GUI thread, so its updates reach
// the window at once, and the constructing thread's calls no longer count.
TEST_F(SarnelEditor, TheThreadOfTheEditorOpcodesIsTheGuiThread) {
  plugin.reset();
  std::thread constructing([this] {
    plugin = makePlugin([this](APlugin&, void*) {
      auto made = std::make_unique<FakeWindow>();
      window = made.get();
      return made;
    });
  });
  constructing.join();
  plugin->dispatcher(vst::effEditOpen, 0, 0, &parentHandle, 0.0f);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(plugin->onGuiThread());
  const int before = window->copies;
  plugin->setParameter(kVolume, 0.3f);
  EXPECT_EQ(window->copies, before + 1) << "an update on the editor's thread waits for an idle";
  std::thread worker([this] {
    EXPECT_FALSE(plugin->onGuiThread());
    plugin->setParameter(kVolume, 0.4f);
  });
  worker.join();
  EXPECT_EQ(window->copies, before + 1);
}

// Records which thread shows each box; answers Cancel.
struct ThreadRecordingBoxes : platform::MessageBoxService {
  std::vector<std::thread::id> threads;
  platform::Answer<MessageResult> show(std::string_view, std::string_view, MessageButtons,
                                       platform::MessageIcon) override {
    threads.push_back(std::this_thread::get_id());
    return platform::Answer<MessageResult>::now(MessageResult::cancel);
  }
};

class SarnelResume : public SarnelSamples {
 protected:
  void SetUp() override {
    SarnelSamples::SetUp();
    platform::setMessageBoxServiceForTesting(&recording);
  }
  void resumeOnAnotherThread() {
    std::thread host([this] { plugin->dispatcher(vst::effMainsChanged, 0, 1, nullptr, 0.0f); });
    host.join();
  }
  ThreadRecordingBoxes recording;
};

// The host has shown its GUI thread: a resume elsewhere neither reads the
// file nor asks anything there; the next GUI-thread call loads it.
TEST_F(SarnelResume, ResumedOnAnotherThreadTheNextGuiCallLoads) {
  vst::ERect* rect = nullptr;
  plugin->dispatcher(vst::effEditGetRect, 0, 0, &rect, 0.0f);
  const std::string path = writeWave("later.wav", std::vector<float>(4096, 0.5f));
  sarneltest::setPathParameters(*plugin, path);
  resumeOnAnotherThread();
  EXPECT_TRUE(plugin->isNoSample()) << "read on the resuming thread";
  plugin->dispatcher(vst::effGetVu, 0, 0, nullptr, 0.0f);
  EXPECT_FALSE(plugin->isNoSample());
  EXPECT_FALSE(plugin->isSampleTimerRunning());
  EXPECT_EQ(plugin->getSamplePath(), path);
}

TEST_F(SarnelResume, ResumedOnAnotherThreadAMissingFileIsAskedOnTheGuiThread) {
  vst::ERect* rect = nullptr;
  plugin->dispatcher(vst::effEditGetRect, 0, 0, &rect, 0.0f);
  sarneltest::setPathParameters(*plugin, dir.file("gone.wav"));
  resumeOnAnotherThread();
  EXPECT_TRUE(recording.threads.empty()) << "a box on the resuming thread";
  plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
  ASSERT_EQ(recording.threads.size(), 1u);
  EXPECT_EQ(recording.threads[0], std::this_thread::get_id());
}

// A headless export never makes a GUI-thread call: the resume reads the
// file on its own thread, so the render hears it, and shows no box.
TEST_F(SarnelResume, HeadlessResumeOnAnotherThreadReadsWithoutABox) {
  const std::string path = writeWave("export.wav", std::vector<float>(4096, 0.5f));
  sarneltest::setPathParameters(*plugin, path);
  resumeOnAnotherThread();
  EXPECT_FALSE(plugin->isNoSample());
  EXPECT_TRUE(recording.threads.empty());
  sarneltest::makeEnvelopeImmediate(*plugin);
  sarneltest::sendMidi(*plugin, {host::noteOn(0, 72, 127)});
  EXPECT_GT(loudness(64), 0.4f);
  timers.advance(100);  // a late timer loads nothing twice
  EXPECT_FALSE(plugin->isSampleTimerRunning());
  EXPECT_EQ(plugin->getSamplePath(), path);
}

TEST_F(SarnelResume, HeadlessResumeReportsAMissingFileOnStandardError) {
  const std::string missing = dir.file("gone.wav");
  sarneltest::setPathParameters(*plugin, missing);
  testing::internal::CaptureStderr();
  resumeOnAnotherThread();
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(recording.threads.empty());
  EXPECT_NE(said.find("Sorry, but " + missing + " could not be found!"), std::string::npos) << said;
  EXPECT_TRUE(plugin->isNoSample());
  EXPECT_EQ(sarneltest::pathFromParameters(*plugin), missing);  // kept for the project
  timers.advance(100);
  EXPECT_TRUE(recording.threads.empty());
}

}  // namespace
