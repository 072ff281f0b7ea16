#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "controls/TDial.h"
#include "ControlsTestSupport.h"
#include "gui/Form.h"
#include "platform/KeyboardHookScope.h"
#include "platform/headless/ScriptedDialogs.h"
#include "platform/headless/ScriptedMessageBoxes.h"

namespace {

using controls::TDial;
using namespace controls::testing;
using gui::MouseButton;

class TDialTest : public ::testing::Test {
 protected:
  TDial& makeDial(controls::tCType style, int minimum, int maximum, int frames, gui::Rect bounds = gui::Rect::sized(0, 0, 40, 40)) {
    strip = numberedStrip(frames);
    dial = &form.add<TDial>(bounds);
    dial->Style = style;
    dial->ValueMin = minimum;
    dial->ValueMax = maximum;
    dial->ImageList = &strip;
    dial->OnChange = [this](TDial& d) { changes.push_back(d.Value); };
    return *dial;
  }
  void click(MouseButton button, gui::ShiftState held = 0, int x = 0, int y = 0) {
    dial->mouseDown(press(button, held, x, y));
    dial->mouseUp(release(button, x, y));
  }

  gui::Form form{200, 200};
  gui::ImageList strip{8, 8};
  TDial* dial = nullptr;
  std::vector<int> changes;
  platform::ScriptedMessageBoxes boxes;
  platform::ScopedMessageBoxOverride useBoxes{boxes};
  platform::ScriptedDialogs dialogs;
};

TEST_F(TDialTest, TwoStateLoopingButtonTogglesWithEitherButton) {
  TDial& d = makeDial(controls::cButton, 0, 1, 2);
  d.ButtonStyle = controls::bLoop;
  d.SetPosition(1);
  changes.clear();
  click(MouseButton::left);
  EXPECT_EQ(d.Value, 0);
  EXPECT_EQ(changes, std::vector<int>{0});
  click(MouseButton::right);
  EXPECT_EQ(d.Value, 1);
  EXPECT_EQ(changes, (std::vector<int>{0, 1}));
  EXPECT_EQ(d.frame(), 1);
}

TEST_F(TDialTest, InvertedMovementSwapsTheButtonsAndRightCanBeDisabled) {
  TDial& d = makeDial(controls::cButton, 0, 3, 4);
  d.SetPosition(1);
  d.InvMovement = true;
  click(MouseButton::left);
  EXPECT_EQ(d.Value, 0);
  d.EnableRightButton = false;
  d.InvMovement = false;
  click(MouseButton::right);  // steps nothing, still updates
  EXPECT_EQ(d.Value, 0);
  d.ButtonStyle = controls::bNormal;
  click(MouseButton::left);
  click(MouseButton::left);
  click(MouseButton::left);
  click(MouseButton::left);
  EXPECT_EQ(d.Value, 3);  // bNormal stops at the top
}

TEST_F(TDialTest, PingPongButtonBouncesBetweenItsEnds) {
  TDial& d = makeDial(controls::cButton, 0, 3, 4);
  d.ButtonStyle = controls::bPingPong;
  d.SetPosition(0);
  std::vector<int> seen{d.Value};
  for (int i = 0; i < 7; ++i) {
    click(MouseButton::left);
    seen.push_back(d.Value);
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 2, 1, 0, 1}));
}

TEST_F(TDialTest, JumpyButtonSpringsBackOnRelease) {
  TDial& d = makeDial(controls::cButton, 0, 1, 2);
  d.ButtonStyle = controls::bJumpy;
  d.SetPosition(0);
  changes.clear();
  d.mouseDown(press(MouseButton::left, 0));
  EXPECT_EQ(d.Value, 1);
  EXPECT_EQ(d.frame(), 1);
  d.mouseUp(release(MouseButton::left));
  EXPECT_EQ(d.Value, 0);
  EXPECT_EQ(d.frame(), 0);
  EXPECT_EQ(changes, (std::vector<int>{1, 0}));
}

TEST_F(TDialTest, SetPositionOutsideTheRangeIsIgnored) {
  TDial& d = makeDial(controls::cDial, 0, 100, 16);
  d.SetPosition(40);
  changes.clear();
  d.SetPosition(101);
  d.SetPosition(-1);
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(d.Value, 40);
}

TEST_F(TDialTest, KnobFrameIsTheFractionOfTheFrameCount) {
  TDial& d = makeDial(controls::cDial, 0, 100, 16);
  for (int v : {0, 3, 4, 50, 96, 97, 100}) {
    d.SetPosition(v);
    const int expected = std::min(static_cast<int>(std::nearbyint(16.0 * v / 100.0)), 15);
    EXPECT_EQ(d.frame(), expected) << v;
    EXPECT_EQ(d.Value, v);
    // After the update the working position holds the frame.
    EXPECT_EQ(d.Position, expected);
  }
  form.paintAll();
  EXPECT_EQ(form.canvas().pixel(0, 0), gui::rgb(15, 100, 200));
}

TEST_F(TDialTest, LearnGestureWorksOnEveryStyle) {
  for (controls::tCType style : {controls::cDial, controls::cHSlider, controls::cVSlider, controls::cButton}) {
    TDial& d = makeDial(style, 0, 10, 11);
    d.SetPosition(3);
    changes.clear();
    bool markedInHandler = false;
    d.OnChange = [&](TDial& sender) {
      markedInHandler = sender.ControllerChanged;
      changes.push_back(sender.Value);
    };
    d.mouseDown(press(MouseButton::right, gui::kShift));
    EXPECT_EQ(d.ControllerEntry, 200);
    EXPECT_TRUE(markedInHandler);
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_EQ(d.Value, 3);
  }
}

TEST_F(TDialTest, CtrlRightStoresTheDefaultAndRightRecallsIt) {
  for (controls::tCType style : {controls::cDial, controls::cHSlider, controls::cVSlider}) {
    TDial& d = makeDial(style, 0, 100, 101, gui::Rect::sized(0, 0, 100, 100));
    d.SetPosition(70);
    const int stored = d.Value;
    d.mouseDown(press(MouseButton::right, gui::kCtrl));
    EXPECT_EQ(d.DefaultValue, stored);
    d.SetPosition(10);
    d.mouseDown(press(MouseButton::right, 0));
    EXPECT_EQ(d.Value, stored) << style;
  }
}

TEST_F(TDialTest, OwnerHandledTagIgnoresPressesButSlidersStillDrag) {
  TDial& d = makeDial(controls::cHSlider, 0, 100, 101, gui::Rect::sized(0, 0, 100, 10));
  d.tag = TDial::kOwnerHandledTag;
  int ownerPresses = 0;
  d.onMouseDown = [&](gui::Component&, const gui::MouseEvent&) { ++ownerPresses; };
  d.SetPosition(20);
  changes.clear();
  d.mouseDown(press(MouseButton::left, 0, 90, 5));
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(ownerPresses, 1);  // the owner still hears of it
  d.mouseMove(move(gui::kLeft, 90, 5));
  EXPECT_FALSE(changes.empty());
  EXPECT_GT(d.Value, 80);
}

TEST_F(TDialTest, HorizontalSliderClickAndSetPositionFollowTheirFormulas) {
  TDial& d = makeDial(controls::cHSlider, 0, 100, 101, gui::Rect::sized(0, 0, 100, 6));
  // Click in the middle: Value 100 - round(50 * 100 / 100) = 50 as a travel;
  // the frame is round(101 * 50 / 96) and the value follows the frame.
  d.mouseDown(press(MouseButton::left, 0, 50, 3));
  EXPECT_EQ(d.frame(), 53);
  EXPECT_EQ(d.Value, 53);
  // SetPosition(50): travel round(0.5 * 95) = 48, d = 101 * 48 / 96 = 50.5.
  d.SetPosition(50);
  EXPECT_EQ(d.frame(), 50);
  EXPECT_EQ(d.Value, 50);
  // Presses outside the track are limited to it.
  d.mouseDown(press(MouseButton::left, 0, -40, 3));
  EXPECT_EQ(d.Value, 0);
  d.mouseDown(press(MouseButton::left, 0, 400, 3));
  EXPECT_EQ(d.Value, 100);
}

TEST_F(TDialTest, VerticalSliderRunsUpwardsForClickDragAndSetPositionAlike) {
  TDial& d = makeDial(controls::cVSlider, 0, 100, 36, gui::Rect::sized(0, 0, 6, 48));
  d.mouseDown(press(MouseButton::left, 0, 3, 47));
  const int nearBottom = d.Value;
  d.mouseMove(move(gui::kLeft, 3, 2));
  const int nearTop = d.Value;
  EXPECT_LT(nearBottom, 10);
  EXPECT_GT(nearTop, 90);
  // Every click height: SetPosition of the value it produced shows the same
  // frame, give or take one for rounding.
  for (int y = 0; y <= 48; y += 3) {
    d.mouseDown(press(MouseButton::left, 0, 3, y));
    const int value = d.Value;
    const int clickedFrame = d.frame();
    d.SetPosition(value);
    EXPECT_NEAR(d.frame(), clickedFrame, 1) << "y=" << y;
    EXPECT_NEAR(d.Value, value, 1) << "y=" << y;
  }
}

TEST_F(TDialTest, KnobDragIsMeasuredFromThePressPoint) {
  TDial& d = makeDial(controls::cDial, 0, 100, 101);
  d.SetPosition(50);
  d.mouseDown(press(MouseButton::left, 0, 10, 30));
  d.mouseMove(move(gui::kLeft, 10, 20));
  EXPECT_EQ(d.Value, 60);
  d.mouseMove(move(gui::kLeft, 10, 25));  // not accumulated
  EXPECT_EQ(d.Value, 55);
  d.mouseMove(move(gui::kLeft | gui::kShift, 10, 0));  // a modifier: ignored
  EXPECT_EQ(d.Value, 55);
  d.mouseMove(move(gui::kLeft, 10, -200));
  EXPECT_EQ(d.Value, 100);  // limited
  d.mouseUp(release(MouseButton::left));
  EXPECT_EQ(d.DragBase, 100);
}

TEST_F(TDialTest, KnobRotationTypes) {
  TDial& d = makeDial(controls::cDial, 0, 100, 101);
  d.RotationType = controls::rHorizontal;
  d.SetPosition(50);
  d.mouseDown(press(MouseButton::left, 0, 10, 10));
  d.mouseMove(move(gui::kLeft, 10, 0));  // x unchanged counts as one to the right
  EXPECT_EQ(d.Value, 51);
  d.mouseMove(move(gui::kLeft, 3, 0));
  EXPECT_EQ(d.Value, 43);
  d.RotationType = controls::rDistance;
  d.mouseMove(move(gui::kLeft, 13, 6));  // dx 3, dy 4: distance 5 to the right
  EXPECT_EQ(d.Value, 55);
  d.mouseMove(move(gui::kLeft, 7, 6));  // to the left
  EXPECT_EQ(d.Value, 45);
  d.RotationType = controls::rRotate;
  changes.clear();
  d.mouseMove(move(gui::kLeft, 30, 20));  // level with the centre: no angle
  EXPECT_TRUE(changes.empty());
  d.mouseMove(move(gui::kLeft, 20, 30));  // (0 / 10): tan 0 = 0
  EXPECT_EQ(d.Value, 50);
  d.InvMovement = true;
  d.RotationType = controls::rVertical;
  d.mouseMove(move(gui::kLeft, 0, -5));  // y negated to 5: dy = 10 - 5
  EXPECT_EQ(d.Value, 55);
}

TEST_F(TDialTest, EmptyImageListReportsAndChangesNothing) {
  TDial& d = makeDial(controls::cDial, 0, 100, 0);
  d.SetPosition(30);
  d.SetPosition(40);
  EXPECT_TRUE(changes.empty());
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].text, "ERROR: Empty Imagelist!");
  EXPECT_EQ(boxes.shown()[0].caption, "Error!");
  EXPECT_EQ(boxes.shown()[0].buttons, platform::MessageButtons::ok);
}

TEST_F(TDialTest, OneFrameSliderShowsItsMinimumInsteadOfDividingByZero) {
  TDial& d = makeDial(controls::cHSlider, 5, 100, 1, gui::Rect::sized(0, 0, 100, 6));
  d.mouseDown(press(MouseButton::left, 0, 60, 3));
  EXPECT_EQ(d.Value, 5);
  EXPECT_EQ(d.frame(), 0);
}

class TDialValueInput : public TDialTest {
 protected:
  TDial& knob() {
    TDial& d = makeDial(controls::cDial, 0, 100, 101);
    d.InputString1 = "Cutoff";
    d.InputString2 = "New value:";
    d.DMin = 0.0;
    d.DMax = 1.0;
    d.SetPosition(50);
    changes.clear();
    return d;
  }
  void ctrlClick() { dial->mouseDown(press(MouseButton::left, gui::kCtrl)); }
};

TEST_F(TDialValueInput, ShowsTheScaledValueWithThreeDecimalsUnderTheKeyboardHook) {
  knob();
  dialogs.queueInput("0.25");
  ctrlClick();
  ASSERT_EQ(dialogs.inputRequests.size(), 1u);
  EXPECT_EQ(dialogs.inputRequests[0].caption, "Cutoff");
  EXPECT_EQ(dialogs.inputRequests[0].prompt, "New value:");
  EXPECT_EQ(dialogs.inputRequests[0].defaultText, "0.500");
  EXPECT_TRUE(dialogs.inputRequests[0].keyboardHooked);
  EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 0);  // removed when the box closed
  EXPECT_EQ(dial->Value, 25);
  EXPECT_FALSE(changes.empty());
}

TEST_F(TDialValueInput, CancelEmptyHugeOrWrongTextChangesNothing) {
  TDial& d = knob();
  for (std::optional<std::string> answer : std::vector<std::optional<std::string>>{
           std::nullopt, "", "   ", "abc", "0.5x", "1e400", "-1e300", "nan", "inf", std::string(100000, '9')}) {
    dialogs.queueInput(answer);
    ctrlClick();
    EXPECT_EQ(d.Value, 50) << answer.value_or("<cancel>");
  }
  EXPECT_TRUE(changes.empty());
}

TEST_F(TDialValueInput, ValuesBeyondTheTopWrapAroundAndNegativesAreIgnored) {
  TDial& d = knob();
  dialogs.queueInput("1.5");  // 150 mod 101
  ctrlClick();
  EXPECT_EQ(d.Value, 49);
  changes.clear();
  dialogs.queueInput("-0.2");  // -20: below the range
  ctrlClick();
  EXPECT_EQ(d.Value, 49);
  EXPECT_TRUE(changes.empty());
}

TEST_F(TDialValueInput, WithoutBothTextsTheGestureFallsThroughToThePlainPress) {
  TDial& d = makeDial(controls::cButton, 0, 3, 4);
  d.InputString1 = "only a caption";
  d.SetPosition(1);
  d.mouseDown(press(MouseButton::left, gui::kCtrl));
  EXPECT_TRUE(dialogs.inputRequests.empty());
  EXPECT_EQ(d.Value, 2);  // the button stepped
}

TEST_F(TDialTest, ControllerInputStoresAWholeNumber) {
  TDial& d = makeDial(controls::cHSlider, 0, 100, 101, gui::Rect::sized(0, 0, 100, 6));
  d.CCString1 = "Controller";
  d.CCString2 = "CC number:";
  d.ControllerEntry = 7;
  d.SetPosition(30);
  const int before = d.Value;
  changes.clear();
  dialogs.queueInput(" 74 ");
  d.mouseDown(press(MouseButton::left, gui::kShift, 80, 3));
  ASSERT_EQ(dialogs.inputRequests.size(), 1u);
  EXPECT_EQ(dialogs.inputRequests[0].defaultText, "7");
  EXPECT_TRUE(dialogs.inputRequests[0].keyboardHooked);
  EXPECT_EQ(d.ControllerEntry, 74);
  EXPECT_TRUE(d.ControllerChanged);
  EXPECT_EQ(changes.size(), 1u);
  EXPECT_EQ(d.Value, before);  // the slider did not move
}

TEST_F(TDialTest, ControllerInputRejectsCancelAndBadText) {
  TDial& d = makeDial(controls::cDial, 0, 100, 101);
  d.CCString1 = "Controller";
  d.CCString2 = "CC number:";
  d.ControllerEntry = 7;
  changes.clear();
  dialogs.queueInput(std::nullopt);
  dialogs.queueInput("seven");
  dialogs.queueInput("70000");
  dialogs.queueInput("");
  for (int i = 0; i < 4; ++i) d.mouseDown(press(MouseButton::left, gui::kShift));
  EXPECT_EQ(d.ControllerEntry, 7);
  EXPECT_FALSE(d.ControllerChanged);
  EXPECT_TRUE(changes.empty());
  ASSERT_EQ(boxes.shown().size(), 3u);
  EXPECT_EQ(boxes.shown()[0].text, "'seven' is not a valid integer value");
  EXPECT_EQ(boxes.shown()[1].text, "'70000' is not a valid integer value");
  EXPECT_EQ(boxes.shown()[2].text, "'' is not a valid integer value");
}

TEST_F(TDialTest, AltPressesAndInvertedCursorAreIgnored) {
  TDial& d = makeDial(controls::cButton, 0, 3, 4);
  d.SetPosition(1);
  changes.clear();
  d.mouseDown(press(MouseButton::left, gui::kAlt));
  d.mouseDown(press(MouseButton::right, gui::kAlt));
  d.InvCursor = true;
  d.mouseDown(press(MouseButton::left, 0));
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(d.Value, 1);
}

}  // namespace
