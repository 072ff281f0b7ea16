#include <gtest/gtest.h>

#include "platform/MessageBoxService.h"
#include "platform/headless/ScriptedMessageBoxes.h"

namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using platform::MessageResult;

TEST(MessageBoxService, OverrideRecordsEveryBoxAndAnswersFromTheScript) {
  platform::ScriptedMessageBoxes boxes;
  platform::ScopedMessageBoxOverride use(boxes);
  boxes.queueAnswer(MessageResult::yes);
  EXPECT_EQ(platform::systemMessageBoxes().show("Load it?", "Sarnel", MessageButtons::yesNo, MessageIcon::question).value(),
            MessageResult::yes);
  // With the script used up, a box is dismissed.
  EXPECT_EQ(platform::systemMessageBoxes().show("Again?", "Sarnel", MessageButtons::yesNo, MessageIcon::question).value(),
            MessageResult::no);
  EXPECT_EQ(platform::systemMessageBoxes().show("x", "y", MessageButtons::yesNoCancel, MessageIcon::none).value(),
            MessageResult::cancel);
  ASSERT_EQ(boxes.shown().size(), 3u);
  EXPECT_EQ(boxes.shown()[0].text, "Load it?");
  EXPECT_EQ(boxes.shown()[0].caption, "Sarnel");
  EXPECT_EQ(boxes.shown()[0].buttons, MessageButtons::yesNo);
  EXPECT_EQ(boxes.shown()[0].icon, MessageIcon::question);
}

TEST(MessageBoxService, RemovingTheOverrideRestoresThePlatformService) {
  platform::ScriptedMessageBoxes boxes;
  {
    platform::ScopedMessageBoxOverride use(boxes);
    EXPECT_EQ(&platform::systemMessageBoxes(), &boxes);
  }
  EXPECT_NE(&platform::systemMessageBoxes(), &boxes);
}

TEST(MessageBoxService, DismissedAnswerIsTheNegativeButton) {
  EXPECT_EQ(platform::dismissedAnswer(MessageButtons::ok), MessageResult::ok);
  EXPECT_EQ(platform::dismissedAnswer(MessageButtons::okCancel), MessageResult::cancel);
  EXPECT_EQ(platform::dismissedAnswer(MessageButtons::yesNo), MessageResult::no);
  EXPECT_EQ(platform::dismissedAnswer(MessageButtons::yesNoCancel), MessageResult::cancel);
}

}  // namespace
