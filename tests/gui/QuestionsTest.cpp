// Handlers that ask the user, through the one waiting mechanism: answered at
// once (the system's modal boxes, the scripted ones), answered later (boxes
// drawn in the editor window, driven by the host's idle), asked twice, and
// dismissed when the window closes while they wait.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "controls/TDial.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "platform/InputBoxService.h"
#include "platform/KeyboardHookScope.h"
#include "platform/MessageBoxService.h"
#include "platform/drawn/InWindowBoxes.h"
#include "platform/headless/ScriptedDialogs.h"
#include "platform/headless/ScriptedMessageBoxes.h"

namespace {

using platform::BoxKey;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

// A handler in the shape the editors use: ask for a number, confirm it,
// store it. Every step is written down.
platform::Handler askTwice(std::vector<std::string>* steps) {
  steps->push_back("ask number");
  const std::optional<std::string> typed =
      co_await platform::systemInputBoxes().query("Assign controller", "Controller:", "12");
  if (!typed) {
    steps->push_back("cancelled");
    co_return;
  }
  steps->push_back("typed " + *typed);
  const MessageResult keep =
      co_await platform::systemMessageBoxes().show("Keep it?", "Question", MessageButtons::yesNo, MessageIcon::question);
  steps->push_back(keep == MessageResult::yes ? "kept" : "dropped");
}

class Questions : public ::testing::Test {
 protected:
  platform::ScriptedDialogs dialogs;
  platform::ScriptedMessageBoxes boxes;
  platform::ScopedMessageBoxOverride boxOverride{boxes};
  std::vector<std::string> steps;
};

TEST_F(Questions, AnswersThatAreThereAtOnceRunEveryStepBeforeTheCallReturns) {
  dialogs.queueInput("74");
  boxes.queueAnswer(MessageResult::yes);
  askTwice(&steps);
  EXPECT_EQ(steps, (std::vector<std::string>{"ask number", "typed 74", "kept"}));
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "Keep it?");
}

TEST_F(Questions, AnswersThatComeLaterResumeTheHandlerStepByStep) {
  dialogs.holdAnswers = true;
  boxes.holdAnswers = true;
  dialogs.queueInput("74");
  boxes.queueAnswer(MessageResult::no);
  askTwice(&steps);
  EXPECT_EQ(steps, (std::vector<std::string>{"ask number"}));  // waiting, the caller goes on
  EXPECT_EQ(dialogs.heldCount(), 1u);
  ASSERT_TRUE(dialogs.answerHeld());
  EXPECT_EQ(steps, (std::vector<std::string>{"ask number", "typed 74"}));
  EXPECT_EQ(boxes.heldCount(), 1u);
  ASSERT_TRUE(boxes.answerHeld());
  EXPECT_EQ(steps, (std::vector<std::string>{"ask number", "typed 74", "dropped"}));
}

TEST_F(Questions, ADismissedQuestionEndsTheHandlerAsCancel) {
  dialogs.holdAnswers = true;
  dialogs.queueInput("74");  // never given: the box is closed first
  askTwice(&steps);
  dialogs.dismissHeld();
  EXPECT_EQ(steps, (std::vector<std::string>{"ask number", "cancelled"}));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(Questions, TheToolkitInputBoxGivesBackItsDefaultOnCancelNowAndLater) {
  EXPECT_EQ(platform::inputBox("Portamento Time", "Set new portamento time (0-100):", "5").value(), "5");
  dialogs.holdAnswers = true;
  std::optional<std::string> later;
  platform::inputBox("Portamento Time", "Set new portamento time (0-100):", "5").then([&](std::string text) {
    later = text;
  });
  EXPECT_FALSE(later);
  dialogs.queueInput("30");
  dialogs.answerHeld();
  EXPECT_EQ(later, "30");
}

platform::Handler failAfterTheAnswer() {
  co_await platform::systemInputBoxes().query("a", "b", "c");
  throw std::runtime_error("Error 07: something went wrong");
}

TEST_F(Questions, AnErrorAfterALaterAnswerIsShownAndGoesNoFurther) {
  dialogs.holdAnswers = true;
  failAfterTheAnswer();
  EXPECT_NO_THROW(dialogs.answerHeld());
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "Error 07: something went wrong");
}

// The boxes of one editor window over a real form, without a screen.
class FakeScreen : public platform::BoxScreen {
 public:
  gui::Form& form() override { return page; }
  bool isVisible() const override { return visible; }
  gui::Point fromScreen(platform::ScreenPoint at) const override { return {at.x, at.y}; }
  void boxesOpened() override { ++opened; }
  void boxesClosed() override { ++closed; }

  gui::Form page{239, 358, gui::rgb(10, 20, 30)};
  bool visible = true;
  int opened = 0;
  int closed = 0;
};

class DrawnQuestions : public ::testing::Test {
 protected:
  DrawnQuestions() : boxes(std::make_unique<platform::InWindowBoxes>(screen)) {
    platform::setInputBoxServiceForTesting(boxes.get());
    platform::setMessageBoxServiceForTesting(boxes.get());
    strip = std::make_unique<gui::ImageList>(8, 8);
    for (int i = 0; i < 101; ++i) strip->add(gui::Canvas(8, 8, gui::rgb(i, 100, 200)));
    dial = &screen.page.add<controls::TDial>(gui::Rect::sized(100, 20, 8, 8));
    dial->ImageList = strip.get();
    dial->ValueMax = 100;
    dial->InputString1 = "Cutoff";
    dial->InputString2 = "New value:";
    dial->DMin = 0.0;
    dial->DMax = 1.0;
    dial->SetPosition(50);
    screen.page.paintAll();
    boxes->paint();
  }
  ~DrawnQuestions() override {
    boxes.reset();
    platform::setInputBoxServiceForTesting(nullptr);
    platform::setMessageBoxServiceForTesting(nullptr);
  }
  void ctrlClickTheDial() {
    screen.page.mouseDownAt({102, 22}, gui::MouseButton::left, gui::kCtrl | gui::kLeft);
  }
  void type(const std::string& text) {
    for (char c : text) boxes->key(BoxKey::none, std::string(1, c));
  }

  FakeScreen screen;
  std::unique_ptr<platform::InWindowBoxes> boxes;
  std::unique_ptr<gui::ImageList> strip;
  controls::TDial* dial = nullptr;
};

TEST_F(DrawnQuestions, TheDialsValueBoxOpensOverTheFormAndTheTypedValueArrivesLater) {
  ctrlClickTheDial();
  ASSERT_TRUE(boxes->isOpen());
  EXPECT_EQ(dial->Value, 50);  // nothing yet: the user has not answered
  EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 1);  // held while the box is open
  EXPECT_EQ(screen.opened, 1);
  const gui::Rect shown = boxes->paint();
  const gui::Rect box = boxes->openBox()->bounds();
  EXPECT_EQ(shown.unite(box), shown);  // the box is put on the screen
  EXPECT_NE(boxes->pixels().pixel(box.left + 20, box.top + 30), screen.page.canvas().pixel(box.left + 20, box.top + 30));
  EXPECT_EQ(boxes->pixels().pixel(2, 2), screen.page.canvas().pixel(2, 2));  // the form around it

  type("0.25");
  boxes->key(BoxKey::enter, {});
  EXPECT_FALSE(boxes->isOpen());
  EXPECT_EQ(dial->Value, 25);
  EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 0);
  EXPECT_EQ(screen.closed, 1);
  // The form shows again where the box was.
  const gui::Rect uncovered = boxes->paint();
  EXPECT_EQ(uncovered.unite(box), uncovered);
  EXPECT_EQ(&boxes->pixels(), &screen.page.canvas());
}

TEST_F(DrawnQuestions, ClosingTheWindowWhileTheBoxWaitsAnswersCancelAndChangesNothing) {
  ctrlClickTheDial();
  ASSERT_TRUE(boxes->isOpen());
  type("0.9");
  boxes.reset();  // the window goes while the form is still there
  EXPECT_EQ(dial->Value, 50);
  EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 0);
  EXPECT_EQ(screen.closed, 1);
}

TEST_F(DrawnQuestions, AHandlerThatAsksTwiceShowsItsSecondBoxAfterTheFirst) {
  std::vector<std::string> steps;
  askTwice(&steps);
  ASSERT_TRUE(boxes->isOpen());
  type("7");
  boxes->key(BoxKey::enter, {});
  EXPECT_EQ(steps, (std::vector<std::string>{"ask number", "typed 7"}));
  ASSERT_TRUE(boxes->isOpen());  // the confirmation
  boxes->paint();
  boxes->key(BoxKey::enter, {});  // Yes
  EXPECT_EQ(steps, (std::vector<std::string>{"ask number", "typed 7", "kept"}));
  EXPECT_FALSE(boxes->isOpen());
}

TEST_F(DrawnQuestions, AQuestionAskedWhileABoxIsOpenWaitsItsTurn) {
  std::vector<std::string> steps;
  askTwice(&steps);
  std::optional<MessageResult> later;
  platform::systemMessageBoxes()
      .show("Error 07", "Error", MessageButtons::ok, MessageIcon::error)
      .then([&](MessageResult r) { later = r; });
  EXPECT_EQ(boxes->questionCount(), 2u);
  boxes->key(BoxKey::escape, {});  // cancels the number
  EXPECT_EQ(steps.back(), "cancelled");
  ASSERT_TRUE(boxes->isOpen());  // now the error
  EXPECT_FALSE(later);
  boxes->key(BoxKey::enter, {});
  EXPECT_EQ(later, MessageResult::ok);
  EXPECT_EQ(screen.opened, 1);  // one stretch of boxes: the keyboard was taken once
  EXPECT_EQ(screen.closed, 1);
}

TEST_F(DrawnQuestions, TheFormKeepsPaintingUnderTheBoxWhileItIsOpen) {
  ctrlClickTheDial();
  boxes->paint();
  const gui::Rect box = boxes->openBox()->bounds();
  // A timer moves the dial (outside the box) while the box is open.
  dial->SetPosition(80);
  const gui::Rect changed = boxes->paint();
  EXPECT_FALSE(changed.intersect(dial->bounds()).empty());
  EXPECT_EQ(boxes->pixels().pixel(102, 22), strip->frame(dial->frame()).pixel(2, 2));
  // And nothing changes when nothing happened.
  EXPECT_TRUE(boxes->paint().empty());
  EXPECT_NE(boxes->pixels().pixel(box.left + 20, box.top + 30),
            screen.page.canvas().pixel(box.left + 20, box.top + 30));
  boxes->key(BoxKey::escape, {});
}

TEST_F(DrawnQuestions, AHiddenWindowAnswersAtOnceAsACancellingUser) {
  screen.visible = false;
  std::vector<std::string> steps;
  askTwice(&steps);
  EXPECT_FALSE(boxes->isOpen());
  EXPECT_EQ(steps, (std::vector<std::string>{"ask number", "cancelled"}));
}

}  // namespace
