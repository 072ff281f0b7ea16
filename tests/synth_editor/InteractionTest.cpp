// What each control does when the user touches it, through the form and the
// real controls: parameters, gestures, the assignment box, the screens and
// the random preset.

#include <cmath>

#include "platform/KeyboardHookScope.h"
#include "tests/synth_editor/EditorTestSupport.h"

namespace {

using editortest::EditorTest;
using gui::kLeft;
using gui::kShift;
using gui::MouseButton;
using namespace marrowglint;

TEST_F(EditorTest, SlidersSendTheirPositionOverTheirDivisor) {
  openEditor();
  press(at(*window->vcfcutoff, 50, 3), MouseButton::left);
  release(at(*window->vcfcutoff, 50, 3), MouseButton::left);
  // The slider settles on the value of the frame nearest the click.
  EXPECT_NEAR(window->vcfcutoff->Value, 50, 3);
  EXPECT_FLOAT_EQ(plugin->getParameter(kCut), static_cast<float>(window->vcfcutoff->Value) / 100.0f);
  EXPECT_EQ(synthtest::testHost.automateCalls, 1);

  // The envelope sliders divide by 48; the top of a vertical slider is its maximum.
  press(at(*window->vcadecay, 3, 0), MouseButton::left);
  release(at(*window->vcadecay, 3, 0), MouseButton::left);
  EXPECT_EQ(window->vcadecay->Value, 48);
  EXPECT_FLOAT_EQ(plugin->getParameter(kADe), 1.0f);

  // The fine sliders run to 101: their top sends 1.01, clamped to 1.
  press(at(*window->osc1fine, 98, 3), MouseButton::left);
  EXPECT_EQ(window->osc1fine->Value, 101);
  EXPECT_FLOAT_EQ(plugin->getParameter(kFin1), 1.0f);
  release(at(*window->osc1fine, 98, 3), MouseButton::left);

  // Right click: the default (the volume's 100 lies beyond its range and is ignored).
  click(at(*window->vcfcutoff, 50, 3), MouseButton::right);
  EXPECT_FLOAT_EQ(plugin->getParameter(kCut), 0.0f);
  const float volume = plugin->getParameter(kOutVol);
  click(at(*window->outvol, 40, 5), MouseButton::right);
  EXPECT_FLOAT_EQ(plugin->getParameter(kOutVol), volume);
}

TEST_F(EditorTest, ShiftRightOnASliderLearnsAController) {
  openEditor();
  click(at(*window->vcfcutoff, 10, 3), MouseButton::right, kShift);
  EXPECT_EQ(setting("CC Cutoff"), kSlotLearn);
  EXPECT_FALSE(window->vcfcutoff->ControllerChanged);
  EXPECT_EQ(plugin->controllerEntry(2), kSlotLearn);
  EXPECT_EQ(synthtest::testHost.automateCalls, 0);
  synthtest::sendMidi(*plugin, {{0xB0, 21, 64}});
  EXPECT_EQ(plugin->controllerEntry(2), 21);
}

TEST_F(EditorTest, SelectorsChooseByClickPosition) {
  openEditor();
  const std::vector<std::pair<int, int>> fields = {{0, 0}, {10, 0}, {11, 1}, {21, 1}, {22, 2}, {32, 2}, {33, 3}, {45, 3}};
  for (const auto& [x, position] : fields) {
    SCOPED_TRACE(x);
    click(at(*window->osc1wave, x, 5));
    EXPECT_EQ(window->osc1wave->Value, position);
    EXPECT_FLOAT_EQ(plugin->getParameter(kWav1), position / 10.0f);
    click(at(*window->vcftype, x, 5), MouseButton::right);  // any button
    EXPECT_EQ(window->vcftype->Value, position);
    EXPECT_FLOAT_EQ(plugin->getParameter(kFilt), position / 10.0f);
  }
  click(at(*window->osc2wave, 40, 5));
  EXPECT_FLOAT_EQ(plugin->getParameter(kWav2), 0.3f);  // noise
  EXPECT_EQ(window->osc2wave->frame(), 3);
}

TEST_F(EditorTest, TheLfoDestinationTakesLeftForTheTargetAndShiftLeftForTheWave) {
  openEditor();
  click(at(*window->lfodest, 40, 5));
  EXPECT_EQ(window->lfodest->Value, 3);
  EXPECT_FLOAT_EQ(plugin->getParameter(kLFODest), 0.03f);
  EXPECT_EQ(plugin->lfoDestinationIndex(), kReso);
  click(at(*window->lfodest, 90, 5));
  EXPECT_EQ(plugin->lfoDestinationIndex(), kRMod);

  const int automated = synthtest::testHost.automateCalls;
  click(at(*window->lfodest, 30, 5), MouseButton::left, kShift);
  EXPECT_EQ(plugin->lfoWaveIndex(), 2);  // square
  click(at(*window->lfodest, 55, 5), MouseButton::left, kShift);
  EXPECT_EQ(plugin->lfoWaveIndex(), 3);  // 0.4 is stored as triangle
  click(at(*window->lfodest, 70, 5), MouseButton::left, kShift);
  EXPECT_EQ(plugin->lfoWaveIndex(), 0);
  EXPECT_EQ(window->lfodest->Value, 7);  // the destination stays
  EXPECT_EQ(synthtest::testHost.automateCalls, automated);
}

TEST_F(EditorTest, SwitchesToggleAndShiftLeftOnGlideKeepsFourPointInterpolation) {
  openEditor();
  click(at(*window->fatmama, 5, 5));
  EXPECT_EQ(plugin->getParameter(kFat), 1.0f);
  click(at(*window->fatmama, 5, 5));
  EXPECT_EQ(plugin->getParameter(kFat), 0.0f);

  click(at(*window->glide, 5, 5), MouseButton::left, kShift);
  EXPECT_EQ(plugin->interpolationMode(), 2);
  EXPECT_EQ(plugin->getParameter(kGlide), 1.0f);  // the button reacts too
  click(at(*window->phase, 5, 5), MouseButton::left, kShift);
  EXPECT_EQ(plugin->interpolationMode(), 1);
  click(at(*window->glide, 5, 5), MouseButton::left, kShift);
  EXPECT_EQ(plugin->interpolationMode(), 2);
  closeEditor();
  EXPECT_EQ(plugin->interpolationMode(), 2);
  plugin.reset();
  EXPECT_EQ(setting(kSettingInterpolate), 2);
}

TEST_F(EditorTest, DraggingDownAPadSweepsItsEffectAndARightPressResetsIt) {
  openEditor();
  gui::Image& pad = *window->pads[1];
  press(at(pad, 10, 0), MouseButton::left);
  EXPECT_FLOAT_EQ(plugin->getParameter(kFM), 0.0f);
  float last = -1.0f;
  for (int y = 0; y <= 40; y += 4) {
    move(at(pad, 10, y), kLeft);
    const float now = plugin->getParameter(kFM);
    EXPECT_GE(now, last);
    last = now;
    EXPECT_EQ(window->markers[1]->top(), std::min(y, 36) + pad.top() - 3);
  }
  release(at(pad, 10, 40), MouseButton::left);
  EXPECT_FLOAT_EQ(plugin->getParameter(kFM), 1.0f);
  EXPECT_EQ(window->statusText(), "effect.2: 100%");

  move(at(pad, 10, 5));  // hover only shows
  EXPECT_FLOAT_EQ(plugin->getParameter(kFM), 1.0f);
  press(at(pad, 10, 5), MouseButton::right);
  release(at(pad, 10, 5), MouseButton::right);
  EXPECT_FLOAT_EQ(plugin->getParameter(kFM), 0.0f);
  EXPECT_EQ(dialogs.inputRequests.size(), 0u);
}

TEST_F(EditorTest, TypingSeventyFourForPadOneLetsThatControllerMovePwm) {
  openEditor();
  dialogs.queueInput("74");
  press(at(*window->pads[0], 10, 10), MouseButton::left, kShift);
  release(at(*window->pads[0], 10, 10), MouseButton::left, kShift);
  ASSERT_EQ(dialogs.inputRequests.size(), 1u);
  EXPECT_EQ(dialogs.inputRequests[0].caption, "Assign controller");
  EXPECT_EQ(dialogs.inputRequests[0].prompt, "1-128=CC#1-128, 129=PB, 200=learn");
  EXPECT_EQ(dialogs.inputRequests[0].defaultText, "0");
  EXPECT_TRUE(dialogs.inputRequests[0].keyboardHooked);
  EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 0);
  EXPECT_EQ(setting("CC Effect1"), 74);
  EXPECT_EQ(window->padControllerEntry(1), 74);
  EXPECT_FLOAT_EQ(plugin->getParameter(kPWM), 0.0f);  // the press itself sets nothing

  synthtest::sendMidi(*plugin, {{0xB0, 74, 127}});
  EXPECT_FLOAT_EQ(plugin->getParameter(kPWM), 1.0f);
  tick();
  EXPECT_EQ(window->markers[0]->top(), 36 + 203 - 3);
}

TEST_F(EditorTest, ANonIntegerAnswerStoresNothingAndCancelKeepsTheEntry) {
  store->writeInteger(kSettingsSubkey, "CC Effect2", 11);
  openEditor();
  const int writes = store->writeCount();
  dialogs.queueInput("7x");
  click(at(*window->pads[1], 5, 5), MouseButton::left, kShift);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "'7x' is not a valid integer value");
  EXPECT_EQ(store->writeCount(), writes);
  EXPECT_EQ(window->padControllerEntry(2), 11);

  dialogs.queueInput(std::nullopt);  // Cancel gives back the shown entry
  click(at(*window->pads[1], 5, 5), MouseButton::left, kShift);
  EXPECT_EQ(dialogs.inputRequests.back().defaultText, "11");
  EXPECT_EQ(setting("CC Effect2"), 11);
  EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST_F(EditorTest, TheAssignmentBoxMayAnswerLater) {
  openEditor();
  dialogs.holdAnswers = true;
  dialogs.queueInput("5");
  click(at(*window->pads[3], 5, 5), MouseButton::left, kShift);
  ASSERT_EQ(dialogs.heldCount(), 1u);
  EXPECT_EQ(setting("CC Effect4"), -12345);
  tick();  // the window keeps refreshing while the box is open
  ASSERT_TRUE(dialogs.answerHeld());
  EXPECT_EQ(setting("CC Effect4"), 5);
  EXPECT_EQ(plugin->controllerEntry(6), 5);
}

TEST_F(EditorTest, TheMixBarCentresOnARightReleaseAndLearnsAfterTwoHundred) {
  openEditor();
  gui::Image& bar = *window->oscmix;
  click(at(bar, 0, 5));
  EXPECT_FLOAT_EQ(plugin->getParameter(kMix), 0.0f);
  EXPECT_EQ(window->mixer->left(), 18);
  EXPECT_EQ(window->statusText(), "osc.mix: 100:0");
  press(at(bar, 150, 5), MouseButton::left);
  move(at(bar, 230, 5), kLeft);  // beyond the bar: limited to 195
  release(at(bar, 230, 5), MouseButton::left);
  EXPECT_FLOAT_EQ(plugin->getParameter(kMix), 1.0f);

  click(at(bar, 20, 5), MouseButton::right);
  EXPECT_FLOAT_EQ(plugin->getParameter(kMix), 0.5f);
  EXPECT_EQ(hover(bar, 100, 5), "osc.mix: 50:50");
  EXPECT_EQ(window->mixer->left(), nearbyint(0.5f * 195) + 18);
  EXPECT_EQ(dialogs.inputRequests.size(), 0u);  // no press opens the box

  // Shift and the left button held, the right one released: the box, then the centre.
  plugin->setParameter(kMix, 0.1f);
  dialogs.queueInput("200");
  press(at(bar, 20, 5), MouseButton::left, kShift);
  form().mouseDownAt(at(bar, 20, 5), MouseButton::right, kShift | kLeft | gui::kRight);
  EXPECT_EQ(dialogs.inputRequests.size(), 0u);
  release(at(bar, 20, 5), MouseButton::right, kShift | kLeft);
  ASSERT_EQ(dialogs.inputRequests.size(), 1u);
  EXPECT_EQ(setting("CC OscMix"), 200);
  EXPECT_FLOAT_EQ(plugin->getParameter(kMix), 0.5f);
  release(at(bar, 20, 5), MouseButton::left);
  EXPECT_EQ(dialogs.inputRequests.size(), 1u);

  EXPECT_EQ(plugin->controllerEntry(18), kSlotLearn);
  synthtest::sendMidi(*plugin, {{0xB0, 33, 127}});
  EXPECT_EQ(plugin->controllerEntry(18), 33);
  EXPECT_FLOAT_EQ(plugin->getParameter(kMix), 0.5f);  // learning does not move it
  synthtest::sendMidi(*plugin, {{0xB0, 33, 0}});
  EXPECT_FLOAT_EQ(plugin->getParameter(kMix), 0.0f);

  // The host's next idle call keeps what was learned; the box shows it, so
  // confirming it does not send the bar back to learning.
  plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(setting("CC OscMix"), 33);
  dialogs.queueInput("33");
  press(at(bar, 20, 5), MouseButton::left, kShift);
  form().mouseDownAt(at(bar, 20, 5), MouseButton::right, kShift | kLeft | gui::kRight);
  release(at(bar, 20, 5), MouseButton::right, kShift | kLeft);
  release(at(bar, 20, 5), MouseButton::left);
  ASSERT_EQ(dialogs.inputRequests.size(), 2u);
  EXPECT_EQ(dialogs.inputRequests[1].defaultText, "33");
  EXPECT_EQ(plugin->controllerEntry(18), 33);
}

TEST_F(EditorTest, InfoAndHelpScreensOpenAndClose) {
  openEditor();
  click(at(*window->Image2, 50, 10));
  EXPECT_TRUE(window->info->visible());
  EXPECT_TRUE(window->version->visible());
  click({120, 200});  // anywhere on the info screen
  EXPECT_FALSE(window->info->visible());
  EXPECT_FALSE(window->version->visible());

  click(at(*window->Image1, 10, 10));
  EXPECT_TRUE(window->info->visible());
  click({120, 200});
  click(at(*window->Image3, 40, 5));
  EXPECT_TRUE(window->help->visible());
  EXPECT_FALSE(window->info->visible());
  EXPECT_FALSE(window->version->visible());
  form().paintDirty();
  EXPECT_EQ(form().canvas().pixel(120, 200), window->help->picture().pixel(120, 200));
  click({120, 200});
  EXPECT_FALSE(window->help->visible());
  click(at(*window->Image3, 10, 5), MouseButton::right);  // any button's release
  EXPECT_TRUE(window->info->visible());
  EXPECT_TRUE(window->version->visible());
}

TEST_F(EditorTest, TwoRandomPresetsNeverTouchTheCoarseTunes) {
  plugin->setParameter(kTun1, 0.3f);
  plugin->setParameter(kTun2, 0.8f);
  openEditor();
  for (int round = 0; round < 2; ++round) {
    click(at(*window->Image4, 100, 8));
    EXPECT_FLOAT_EQ(plugin->getParameter(kTun1), 0.3f);
    EXPECT_FLOAT_EQ(plugin->getParameter(kTun2), 0.8f);
    EXPECT_FLOAT_EQ(plugin->getParameter(kOutVol), 1.0f);
    EXPECT_GE(plugin->getParameter(kAAt), 0.7f);
    EXPECT_GE(plugin->getParameter(kASu), 0.7f);
    int effectsOn = 0;
    for (const int effect : {kRMod, kPWM, kFM, kTube}) effectsOn += plugin->getParameter(effect) > 0.0f ? 1 : 0;
    EXPECT_LE(effectsOn, 1);
    for (const int toggle : {kGlide, kFat, kPhase}) {
      const float v = plugin->getParameter(toggle);
      EXPECT_TRUE(v == 0.0f || v == 1.0f);
    }
    EXPECT_LE(plugin->oscillator1WaveIndex(), 3);
  }
  EXPECT_FLOAT_EQ(plugin->program(0).value(kOutVol), 1.0f);  // it landed in the program
  EXPECT_EQ(synthtest::testHost.automateCalls, 0);
  tick();
  EXPECT_EQ(window->outvol->Value, 77);
}

}  // namespace
