// The 20 ms refresh: controls follow the engine within one tick, never
// report back to the host, and a tick that finds nothing new paints nothing.

#include <cmath>
#include <set>
#include <thread>

#include "tests/synth_editor/EditorTestSupport.h"

namespace {

using editortest::EditorTest;
using namespace marrowglint;

int nearestOf(float x) { return static_cast<int>(std::nearbyint(x)); }

TEST_F(EditorTest, AProgramChangeMovesEveryControlWithinOneRefresh) {
  APluginProgram& target = plugin->program(3);
  const std::vector<std::pair<int, float>> values = {
      {kWav1, 0.3f}, {kTun1, 0.25f}, {kFin1, 0.75f}, {kWav2, 0.1f},  {kTun2, 0.6f},  {kFin2, 0.2f},
      {kMix, 0.8f},  {kAAt, 0.5f},   {kADe, 0.25f},  {kASu, 1.0f},   {kARe, 0.125f}, {kCut, 0.33f},
      {kReso, 0.66f}, {kFilt, 0.2f}, {kGlide, 1.0f}, {kRMod, 0.5f},  {kPWM, 1.0f},   {kFM, 0.25f},
      {kTube, 0.75f}, {kFat, 1.0f},  {kLFOAmnt, 0.4f}, {kLFORate, 0.9f}, {kLFODest, 0.05f},
      {kOutVol, 0.5f}, {kPhase, 1.0f}};
  for (const auto& [index, value] : values) target.setValue(index, value);
  openEditor();
  const int automatedBefore = synthtest::testHost.automateCalls;
  plugin->setProgram(3);
  tick();

  const auto expectAt = [&](controls::TDial* dial, int parameter, float scale) {
    // A slider shows the nearest of its frames: at most one step off.
    EXPECT_NEAR(dial->Value, nearestOf(plugin->getParameter(parameter) * scale), 1) << dial->name;
  };
  expectAt(window->osc1fine, kFin1, 100);
  expectAt(window->osc1tune, kTun1, 100);
  expectAt(window->osc2fine, kFin2, 100);
  expectAt(window->osc2tune, kTun2, 100);
  expectAt(window->vcfcutoff, kCut, 100);
  expectAt(window->vcfresonance, kReso, 100);
  expectAt(window->lfoamount, kLFOAmnt, 100);
  expectAt(window->lforate, kLFORate, 100);
  expectAt(window->vcaattack, kAAt, 48);
  expectAt(window->vcadecay, kADe, 48);
  expectAt(window->vcasustain, kASu, 48);
  expectAt(window->vcarelease, kARe, 48);
  expectAt(window->outvol, kOutVol, 77);
  EXPECT_EQ(window->osc1wave->Value, 3);
  EXPECT_EQ(window->osc2wave->Value, 1);
  EXPECT_EQ(window->vcftype->Value, 2);
  EXPECT_EQ(window->lfodest->Value, 5);
  EXPECT_EQ(window->glide->Value, 1);
  EXPECT_EQ(window->fatmama->Value, 1);
  EXPECT_EQ(window->phase->Value, 1);
  EXPECT_EQ(window->mixer->left(), nearestOf(0.8f * 195) + 18);
  EXPECT_EQ(window->markers[0]->top(), 36 + 203 - 3);   // PWM 1
  EXPECT_EQ(window->markers[1]->top(), 9 + 203 - 3);    // FM 0.25
  EXPECT_EQ(window->markers[2]->top(), 27 + 203 - 3);   // Tube 0.75
  EXPECT_EQ(window->markers[3]->top(), 18 + 203 - 3);   // RMod 0.5
  // Colour box: r = 0.5, p = 0, f = 0.75, t = 0.25.
  EXPECT_EQ(window->Shape5->fill(), gui::rgb(0, nearestOf(0.5f * 0.75f * 255), nearestOf(0.5f * 0.25f * 255)));
  // The refresh wrote into the controls without a word to the host.
  EXPECT_EQ(synthtest::testHost.automateCalls, automatedBefore);
}

TEST_F(EditorTest, OpeningShowsTheCurrentValuesBeforeAnyTick) {
  plugin->setParameter(kFilt, 0.3f);
  plugin->setParameter(kASu, 0.5f);
  plugin->setParameter(kMix, 1.0f);
  openEditor();
  EXPECT_EQ(window->vcftype->Value, 3);
  EXPECT_EQ(window->vcasustain->Value, 24);
  EXPECT_EQ(window->mixer->left(), 195 + 18);
  EXPECT_EQ(form().canvas().pixel(window->vcftype->left() + 40, window->vcftype->top() + 1),
            window->vcftype->ImageList->frame(3).pixel(40, 1));
  closeEditor();
  plugin->setParameter(kFilt, 0.1f);  // while closed: the next window starts from it
  openEditor();
  EXPECT_EQ(window->vcftype->Value, 1);
}

TEST_F(EditorTest, AControllerMovedOnAnotherThreadReachesItsControlWithinOneTick) {
  openEditor();
  store->writeInteger(kSettingsSubkey, "CC Resonance", 71);
  plugin->setParameter(kCommandReloadControllers, 1.0f);
  // MIDI arrives on the audio thread; the window is only marked stale there.
  std::thread audio([this] { synthtest::sendMidi(*plugin, {{0xB0, 71, 127}}); });
  audio.join();
  EXPECT_EQ(window->vcfresonance->Value, 0);
  tick();
  EXPECT_EQ(window->vcfresonance->Value, 100);
  EXPECT_EQ(synthtest::testHost.automateCalls, 0);
}

TEST_F(EditorTest, ARefreshNeverSendsAParameterBackToTheHost) {
  openEditor();
  const int writesBefore = store->writeCount();
  for (int round = 0; round < 20; ++round) {
    for (int index = 0; index < kNumLiveValues; ++index) {
      plugin->setParameter(index, static_cast<float>((round * 7 + index * 3) % 11) / 10.0f);
    }
    tick();
  }
  EXPECT_EQ(synthtest::testHost.automateCalls, 0);
  EXPECT_EQ(store->writeCount(), writesBefore);
}

TEST_F(EditorTest, APhaseOfPointThreeLeavesThePhaseButtonOff) {
  openEditor();
  plugin->setParameter(kPhase, 1.0f);
  tick();
  ASSERT_EQ(window->phase->Value, 1);
  plugin->setParameter(kPhase, 0.3f);
  tick();
  EXPECT_EQ(window->phase->Value, 0);
  EXPECT_EQ(window->phase->frame(), 0);
  EXPECT_FLOAT_EQ(plugin->getParameter(kPhase), 0.3f);  // the engine still inverts
  EXPECT_EQ(window->statusText(), "");
  EXPECT_EQ(hover(*window->phase), "phase.invert: on");  // the mirror is above 0
}

TEST_F(EditorTest, AWaveBeyondTheButtonsRangeKeepsThePreviousChoice) {
  openEditor();
  plugin->setParameter(kWav2, 0.1f);
  tick();
  ASSERT_EQ(window->osc2wave->Value, 1);
  form().paintDirty();
  plugin->setParameter(kWav2, 0.4f);
  tick();
  tick();
  EXPECT_EQ(window->osc2wave->Value, 1);
  EXPECT_EQ(window->osc2wave->frame(), 1);
  EXPECT_EQ(plugin->oscillator2WaveIndex(), 4);  // noise plays
  EXPECT_FALSE(form().needsPaint());
}

TEST_F(EditorTest, WithTheLfoOnCutoffTheSliderFollowsAndOnlyItIsRepainted) {
  plugin->setParameter(kLFODest, 0.02f);
  plugin->setParameter(kLFOAmnt, 1.0f);
  plugin->setParameter(kLFORate, 0.8f);
  plugin->setParameter(kCut, 0.5f);
  openEditor();
  tick();
  form().paintDirty();
  synthtest::sendMidi(*plugin, {{0x90, 60, 100}});
  std::set<int> positions;
  for (int block = 0; block < 60; ++block) {
    synthtest::Block audio(441);
    audio.replacing(*plugin);
    tick();
    EXPECT_NEAR(window->vcfcutoff->Value, nearestOf(plugin->getParameter(kCut) * 100), 1) << "block " << block;
    positions.insert(window->vcfcutoff->Value);
    const gui::Rect painted = form().paintDirty();
    if (!painted.empty()) {
      EXPECT_EQ(painted, window->vcfcutoff->formRect()) << "block " << block;
    }
  }
  EXPECT_GT(positions.size(), 3u);
  EXPECT_EQ(synthtest::testHost.automateCalls, 0);
}

TEST_F(EditorTest, ARefreshWithNothingChangedPaintsNothing) {
  // Values the sliders cannot show exactly are the hard case: asking again
  // on every tick would repaint every tick.
  for (int index = 0; index < kNumLiveValues; ++index) plugin->setParameter(index, 0.37f);
  openEditor();
  tick();
  form().paintDirty();
  for (int i = 0; i < 10; ++i) {
    tick();
    EXPECT_FALSE(form().needsPaint()) << "tick " << i;
  }
}

}  // namespace
