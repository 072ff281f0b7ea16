// The user's gestures through the form and the real controls: gauge drags
// and assignment requests, the root key, the portamento box, the buttons,
// the envelope, the menus, the pages and the hints.

#include "platform/KeyboardHookScope.h"
#include "sampler/editor/DisplayTexts.h"
#include "tests/sampler_editor/EditorFixture.h"

namespace sarneleditortest {
namespace {

using gui::kCtrl, gui::kLeft, gui::kRight, gui::kShift;
using gui::MouseButton;

class GestureTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    open();
    tick();
    automated.clear();
  }
};

TEST_F(GestureTest, APlainPressSendsThePressedPositionTwiceAndADragFollowsOneToOne) {
  auto& reso = *window().reso;
  press(reso, 100, 10, MouseButton::left, 0);
  EXPECT_EQ(automated, (std::vector<Automation>{{9, 100.0f / 185.0f}, {9, 100.0f / 185.0f}}));
  EXPECT_EQ(form().captured(), &reso);
  automated.clear();
  move(reso, 110, 10, kLeft);
  EXPECT_EQ(automated, (std::vector<Automation>{{9, 110.0f / 185.0f}}));
  EXPECT_EQ(window().desc->text(), "filter resonance: 59%");
  // Beyond the gauge the end is clamped.
  move(reso, 400, 10, kLeft);
  EXPECT_EQ(reso.RangeMax(), 185);
  EXPECT_EQ(plugin->getParameter(9), 1.0f);
  release(reso, 400, 10, MouseButton::left);
  EXPECT_EQ(form().captured(), nullptr);
}

TEST_F(GestureTest, CtrlLeftMovesOnlyATwoEndedGauge) {
  press(*window().delay, 50, 5, MouseButton::left, kCtrl);
  release(*window().delay, 50, 5, MouseButton::left);
  EXPECT_TRUE(automated.empty());
  press(*window().filter, 50, 5, MouseButton::left, kCtrl);
  EXPECT_EQ(window().filter->RangeMin(), 50);
  EXPECT_EQ(automationsOf(7).size(), 2u);
  EXPECT_TRUE(automationsOf(8).empty());
}

TEST_F(GestureTest, RightButtonDragsTheHighEndOfATwoEndedGauge) {
  auto& filter = *window().filter;
  press(filter, 120, 5, MouseButton::right, kShift);
  EXPECT_EQ(filter.RangeMax(), 120);
  EXPECT_EQ(automationsOf(8).back().value, 120.0f / 185.0f);
  EXPECT_TRUE(automationsOf(7).empty());
  EXPECT_TRUE(dialogs.inputRequests.empty());
  move(filter, 130, 5, kRight);
  EXPECT_EQ(filter.RangeMax(), 130);
  EXPECT_EQ(window().desc->text(), "filters: min=" + std::to_string(sarnel::roundEven(filter.RangeMin() * 100 / 185.0)) +
                                       "%, max=70%");
}

TEST_F(GestureTest, ShiftLeftOnATwoEndedGaugeMovesTheLowEndThenAsksForBothControllers) {
  dialogs.queueInput("300");
  dialogs.queueInput("-5");
  press(*window().filter, 40, 5, MouseButton::left, kShift);
  EXPECT_EQ(automationsOf(7), (std::vector<Automation>{{7, 40.0f / 185.0f}}));
  ASSERT_EQ(dialogs.inputRequests.size(), 2u);
  EXPECT_EQ(dialogs.inputRequests[0].caption, "Assign controller");
  EXPECT_EQ(dialogs.inputRequests[0].prompt, "1-110=CC#1-110, 128=PB, 200=learn");
  EXPECT_EQ(dialogs.inputRequests[0].defaultText, "0");
  EXPECT_TRUE(dialogs.inputRequests[0].keyboardHooked);
  EXPECT_EQ(plugin->controllerAssignment(7), 200);  // 300 is stored as learn
  EXPECT_EQ(plugin->controllerAssignment(8), 0);    // -5 as none
  EXPECT_FALSE(window().filter->ShiftLeftMark);
  EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 0);
}

TEST_F(GestureTest, ShiftLeftOnAOneEndedGaugeOnlyAsksAndShowsTheCurrentAssignment) {
  plugin->setParameter(1000 + 10, 64.0f / 200.0f);
  dialogs.queueInput("7");
  press(*window().delay, 30, 5, MouseButton::left, kShift);
  EXPECT_TRUE(automated.empty());
  ASSERT_EQ(dialogs.inputRequests.size(), 1u);
  EXPECT_EQ(dialogs.inputRequests[0].defaultText, "64");
  EXPECT_EQ(plugin->controllerAssignment(10), 7);
}

TEST_F(GestureTest, ANonIntegerAssignmentIsReportedAndDropsTheSecondPrompt) {
  plugin->setParameter(1000 + 13, 5.0f / 200.0f);
  dialogs.queueInput("abc");
  dialogs.queueInput("9");
  press(*window().loop, 40, 5, MouseButton::left, kShift);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "'abc' is not a valid integer value");
  EXPECT_EQ(dialogs.inputRequests.size(), 1u);
  EXPECT_EQ(plugin->controllerAssignment(13), 5);
  EXPECT_EQ(plugin->controllerAssignment(14), 0);
}

TEST_F(GestureTest, CancelStoresTheOldAssignmentAgain) {
  plugin->setParameter(1000 + 9, 12.0f / 200.0f);
  press(*window().reso, 30, 5, MouseButton::left, kShift);  // the empty queue cancels
  ASSERT_EQ(dialogs.inputRequests.size(), 1u);
  EXPECT_EQ(plugin->controllerAssignment(9), 12);
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(GestureTest, AnAssignmentAnsweredLaterFinishesThen) {
  click(*window().Image8);
  dialogs.holdAnswers = true;
  dialogs.queueInput("21");
  dialogs.queueInput("22");
  press(*window().depth1, 20, 5, MouseButton::left, kShift);
  ASSERT_EQ(dialogs.heldCount(), 1u);
  EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 1);
  EXPECT_EQ(plugin->controllerAssignment(18), 0);
  ASSERT_TRUE(dialogs.answerHeld());
  EXPECT_EQ(plugin->controllerAssignment(18), 21);
  ASSERT_TRUE(dialogs.answerHeld());
  EXPECT_EQ(plugin->controllerAssignment(19), 22);
  EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 0);
}

TEST_F(GestureTest, VolumeCountsFromTheTop) {
  auto& volume = *window().volume;
  press(volume, 5, 0, MouseButton::left, 0);
  EXPECT_EQ(automationsOf(12).back().value, 1.0f);
  move(volume, 5, 0, kLeft);
  EXPECT_EQ(window().desc->text(), "main volume: 100%");
  move(volume, 5, 37, kLeft);
  EXPECT_EQ(automationsOf(12).back().value, 1.0f - 37.0f / 185.0f);
  EXPECT_EQ(window().desc->text(), "main volume: 80%");
}

TEST_F(GestureTest, ReadoutsOfEveryGauge) {
  auto& w = window();
  auto readout = [&](gui::Component& g, int x, int y) {
    move(g, x, y, 0);
    return w.desc->text();
  };
  plugin->setParameter(0, 0.4375f);
  EXPECT_EQ(readout(*w.pitcher, 3, 3), "pitch: -25%");
  plugin->setParameter(10, 100.0f / 185.0f);
  tick();
  EXPECT_EQ(readout(*w.delay, 3, 3), "delay time: 541ms");
  plugin->setParameter(11, 37.0f / 185.0f);
  tick();
  EXPECT_EQ(readout(*w.feedback, 3, 3), "delay feedback: 20%");
  plugin->setParameter(13, 0.0f);
  plugin->setParameter(14, 1.0f);
  tick();
  EXPECT_EQ(readout(*w.loop, 3, 3), "loop points: min=0%, max=100%");
  plugin->setParameter(18, 0.5f);
  plugin->setParameter(19, 1.0f);
  plugin->setParameter(24, 0.25f);
  plugin->setParameter(25, 0.75f);
  tick();
  click(*w.Image8);
  EXPECT_EQ(readout(*w.depth1, 3, 3), "lfo1 depth: min=50%, max=100%");
  click(*w.Image9);
  EXPECT_EQ(readout(*w.depth2, 3, 3), "lfo2 depth: min=25%, max=75%");
  plugin->setParameter(23, 0.0f);
  plugin->setParameter(28, 1.0f);
  EXPECT_EQ(readout(*w.rate2, 3, 3), "lfo2 speed: off");
  click(*w.Image8);
  plugin->setParameter(17, 0.5f);
  plugin->setParameter(22, 0.0f);
  EXPECT_EQ(readout(*w.rate1, 3, 3), "lfo1 speed: 2.000 Hz");
  plugin->setParameter(22, 1.0f);
  plugin->setParameter(17, 0.3f);
  EXPECT_EQ(readout(*w.rate1, 3, 3), "lfo1 speed: 1/4x");
}

TEST_F(GestureTest, TheLfoSpeedReadoutShowsTheValueBeforeTheDrag) {
  auto& w = window();
  click(*w.Image8);
  plugin->setParameter(22, 0.0f);
  plugin->setParameter(17, 0.0f);
  tick();
  press(*w.rate1, 57, 5, MouseButton::left, 0);
  automated.clear();
  move(*w.rate1, 60, 5, kLeft);
  // Written before the move: the press's 57/114 = 0.5, so 2.000 Hz.
  EXPECT_EQ(w.desc->text(), "lfo1 speed: 2.000 Hz");
  EXPECT_EQ(automated, (std::vector<Automation>{{17, 60.0f / 114.0f}}));
}

TEST_F(GestureTest, RootKeyTypedEntryFollowsEveryRule) {
  struct Case {
    std::optional<std::string> typed;
    const char* shown;
    int note;
  };
  auto& reckey = *window().reckey;
  for (const Case& c : {Case{"c#4", "C# 4", 73}, Case{"60", "C  3", 60}, Case{"200", "G  8", 127},
                        Case{"H4", "C -2", 0}, Case{"x5", "C -2", 0}, Case{"12a", "C  2", 48},
                        Case{"", "C -2", 0}, Case{"g8", "G  8", 127}}) {
    SCOPED_TRACE(c.typed.value_or("(cancel)"));
    automated.clear();
    dialogs.queueInput(c.typed);
    press(reckey, 2, 2, MouseButton::left, kCtrl);
    release(reckey, 2, 2, MouseButton::left);
    EXPECT_EQ(reckey.text(), c.shown);
    EXPECT_EQ(automated, (std::vector<Automation>{{15, static_cast<float>(c.note) / 127.0f}}));
    EXPECT_EQ(window().mirror()[15], static_cast<float>(c.note) / 127.0f);
    EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 0);
  }
  const auto& request = dialogs.inputRequests.back();
  EXPECT_EQ(request.caption, "New key");
  EXPECT_EQ(request.prompt, "Select new key (C-2 to G8, or MIDI number):");
  EXPECT_EQ(request.defaultText, "C -2");  // the label before this entry
  EXPECT_TRUE(request.keyboardHooked);
  // Cancel keeps the default, which is always a valid name.
  dialogs.queueInput(std::nullopt);
  press(reckey, 2, 2, MouseButton::left, kCtrl);
  EXPECT_EQ(reckey.text(), "G  8");
}

TEST_F(GestureTest, RootKeyDragMovesASemitoneEveryFourPixels) {
  auto& w = window();
  plugin->setParameter(15, 60.0f / 127.0f);
  tick();
  auto& reckey = *w.reckey;
  press(reckey, 5, 10, MouseButton::left, 0);
  move(reckey, 5, 3, kLeft);  // 7 up
  EXPECT_EQ(reckey.text(), "C# 3");
  EXPECT_EQ(automated.back(), (Automation{15, 61.0f / 127.0f}));
  move(reckey, 5, 2, kLeft);  // 8 up
  EXPECT_EQ(reckey.text(), "D  3");
  move(reckey, 5, 17, kLeft);  // 7 down
  EXPECT_EQ(reckey.text(), "B  2");
  EXPECT_EQ(w.desc->text(), "click and drag here to change root note");
  release(reckey, 5, 17, MouseButton::left);
  automated.clear();
  move(reckey, 5, -40, 0);  // no button: only the hint
  EXPECT_TRUE(automated.empty());
}

TEST_F(GestureTest, PortamentoTimeIsTypedOnARightRelease) {
  auto& image = *window().Image11;
  click(image, 3, 3, MouseButton::left);
  EXPECT_TRUE(dialogs.inputRequests.empty());
  plugin->setParameter(29, 0.2f);
  dialogs.queueInput("150");
  click(image, 3, 3, MouseButton::right);
  ASSERT_EQ(dialogs.inputRequests.size(), 1u);
  EXPECT_EQ(dialogs.inputRequests[0].caption, "Portamento Time");
  EXPECT_EQ(dialogs.inputRequests[0].prompt, "Set new portamento time (0-100):");
  EXPECT_EQ(dialogs.inputRequests[0].defaultText, "20");
  EXPECT_EQ(automationsOf(29).back().value, 1.0f);
  dialogs.queueInput("1.5");
  click(image, 3, 3, MouseButton::right);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "'1.5' is not a valid integer value");
  EXPECT_EQ(automationsOf(29).size(), 1u);
}

TEST_F(GestureTest, TwoStateButtonsSendACleanState) {
  auto& w = window();
  const int before = w.interpx->Value;
  click(*w.interpx);
  EXPECT_EQ(automationsOf(5).back().value, before == 1 ? 0.0f : 1.0f);
  click(*w.Image8);
  click(*w.sync1x);
  EXPECT_EQ(automationsOf(22).size(), 1u);
}

TEST_F(GestureTest, TheEnvelopeSendsItsFourParametersInOrder) {
  auto& env = *window().ENVControl1;
  env.setNodes("(0, 0), (40, 255), (100, 120), (200, 120), (255, 0)");
  EXPECT_EQ(automated, (std::vector<Automation>{{1, 40.0f / 80.0f},
                                                {2, 59.0f / 79.0f},
                                                {3, 120.0f / 255.0f},
                                                {4, 55.0f / 80.0f}}));
}

TEST_F(GestureTest, LabelMenusStoreAndSendWithoutAutomation) {
  auto& w = window();
  click(*w.Image8);
  dialogs.queueMenuChoice(2);
  press(*w.wave1, 3, 3, MouseButton::right, 0);
  release(*w.wave1, 3, 3, MouseButton::right);
  ASSERT_EQ(dialogs.menuRequests.size(), 1u);
  const auto& items = dialogs.menuRequests[0].items;
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[1].caption, "Saw Up");
  EXPECT_EQ(items[5].caption, "Noise");
  EXPECT_EQ(plugin->getParameter(21), 2.0f / 5.0f);
  EXPECT_EQ(w.mirror()[21], 2.0f / 5.0f);
  EXPECT_TRUE(automated.empty());

  dialogs.queueMenuChoice(12);
  click(*w.dest1, 3, 3);
  EXPECT_EQ(dialogs.menuRequests.back().items.size(), 13u);
  EXPECT_EQ(plugin->getParameter(20), 1.0f);

  dialogs.queueMenuChoice(1);
  click(*w.lmode, 3, 3);
  EXPECT_EQ(dialogs.menuRequests.back().items[3].caption, "ping pong");
  EXPECT_EQ(plugin->getParameter(6), 1.0f / 3.0f);
  tick();
  EXPECT_EQ(w.lmode->text(), " loop only");

  // Dismissed: nothing changes.
  click(*w.lmode, 3, 3);
  EXPECT_EQ(plugin->getParameter(6), 1.0f / 3.0f);
}

TEST_F(GestureTest, PitchPresetsOpenOnARightClickOfThePitchGauge) {
  auto& w = window();
  dialogs.queueMenuChoice(7);
  click(*w.pitcher, 20, 5, MouseButton::right);
  ASSERT_EQ(dialogs.menuRequests.size(), 1u);
  const auto& items = dialogs.menuRequests[0].items;
  ASSERT_EQ(items.size(), 16u);
  EXPECT_EQ(items[0].caption, "-200 %");
  EXPECT_EQ(items[8].caption, "+25 %");
  EXPECT_EQ(plugin->getParameter(0), 0.4375f);
  EXPECT_TRUE(automated.empty());
  move(*w.pitcher, 20, 5, 0);
  EXPECT_EQ(w.desc->text(), "pitch: -25%");
}

TEST_F(GestureTest, TheMenuButtonOffersTheFileCommands) {
  click(*window().Image4);
  ASSERT_EQ(dialogs.menuRequests.size(), 1u);
  const auto& items = dialogs.menuRequests[0].items;
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].caption, "Load WAV sample...");
  EXPECT_EQ(items[1].caption, "Load tuning file...");
  EXPECT_EQ(items[2].caption, "Reset tuning...");
}

TEST_F(GestureTest, PageTabsAndTheAboutPanel) {
  auto& w = window();
  click(*w.Image8);
  EXPECT_TRUE(w.Panel2->visible());
  EXPECT_FALSE(w.Panel3->visible());
  EXPECT_FALSE(w.ENVControl1->visible());
  EXPECT_EQ(w.selector->top(), 119);
  click(*w.Image9);
  EXPECT_TRUE(w.Panel3->visible());
  EXPECT_FALSE(w.Panel2->visible());
  EXPECT_EQ(w.selector->top(), 156);
  click(*w.Image7);
  EXPECT_TRUE(w.ENVControl1->visible());
  EXPECT_FALSE(w.Panel3->visible());
  EXPECT_EQ(w.selector->top(), 83);

  click(*w.Image12, 300, 20);
  EXPECT_TRUE(w.about->visible());
  click(*w.Label2, 10, 10);
  EXPECT_FALSE(w.about->visible());
  click(*w.Image12, 300, 20);
  click(*w.Image12, 300, 20);
  EXPECT_FALSE(w.about->visible());
  click(*w.Image12, 300, 20);
  click(*w.about, 2, 2);
  EXPECT_FALSE(w.about->visible());
}

TEST_F(GestureTest, HintsNameWhatEachControlDoes) {
  auto& w = window();
  struct Hint {
    gui::Component* control;
    const char* text;
  };
  click(*w.Image8);
  for (const Hint& h : {Hint{w.wdisplay, "double-click left to load sample, right-click to unload sample"},
                        Hint{w.Image2, "click to start playing"}, Hint{w.Image3, "click to stop playing"},
                        Hint{w.Image4, "click to open menu"}, Hint{w.Image5, "click to turn all notes off (panic)"},
                        Hint{w.Image12, "click to show about screen"},
                        Hint{w.interpx, "click to (de)activate interpolation"},
                        Hint{w.portx, "click to (de)activate portamento"},
                        Hint{w.Image7, "click to show envelope settings"},
                        Hint{w.Image8, "click to show lfo1 settings"}, Hint{w.Image9, "click to show lfo2 settings"},
                        Hint{w.wave1, "click to change lfo1 wave"},
                        Hint{w.dest1, "click to change lfo1 destination"},
                        Hint{w.sync1x, "click to (de)activate lfo1 host sync"},
                        Hint{w.lmode, "click to set loop mode"}, Hint{w.Image6, ""}}) {
    w.desc->setText("x");
    move(*h.control, 1, 1, 0);
    EXPECT_EQ(w.desc->text(), h.text);
  }
  // The panel's bare background, below the status line.
  w.desc->setText("x");
  move(*w.Image1, 5, 485, 0);
  EXPECT_EQ(w.desc->text(), "");
  click(*w.Image9);
  for (const Hint& h : {Hint{w.wave2, "click to change lfo2 wave"},
                        Hint{w.dest2, "click to change lfo2 destination"},
                        Hint{w.sync2x, "click to (de)activate lfo2 host sync"}, Hint{w.Image10, ""}}) {
    w.desc->setText("x");
    move(*h.control, 1, 1, 0);
    EXPECT_EQ(w.desc->text(), h.text);
  }
}

}  // namespace
}  // namespace sarneleditortest

namespace sarneleditortest {
namespace {

TEST_F(GestureTest, TheSecondPressOfADoubleClickIsNotAPlainPress) {
  auto& volume = *window().volume;
  press(volume, 5, 50, MouseButton::left, gui::kDouble);
  release(volume, 5, 50, MouseButton::left);
  EXPECT_TRUE(automated.empty());
  auto& reckey = *window().reckey;
  press(reckey, 2, 2, MouseButton::left, static_cast<gui::ShiftState>(kCtrl | gui::kDouble));
  release(reckey, 2, 2, MouseButton::left);
  EXPECT_TRUE(dialogs.inputRequests.empty());
}

}  // namespace
}  // namespace sarneleditortest
