#include "platform/headless/ScriptedMessageBoxes.h"

namespace platform {

Answer<MessageResult> ScriptedMessageBoxes::show(std::string_view text, std::string_view caption,
                                                 MessageButtons buttons, MessageIcon icon) {
  shown_.push_back({std::string(text), std::string(caption), buttons, icon});
  if (holdAnswers) {
    held_.push_back({buttons, AnswerSlot<MessageResult>()});
    return Answer<MessageResult>(held_.back().slot);
  }
  return Answer<MessageResult>::now(nextAnswer(buttons));
}

MessageResult ScriptedMessageBoxes::nextAnswer(MessageButtons buttons) {
  if (answers_.empty()) return dismissedAnswer(buttons);
  const MessageResult answer = answers_.front();
  answers_.pop_front();
  return answer;
}

bool ScriptedMessageBoxes::answerHeld() {
  if (held_.empty()) return false;
  Held next = std::move(held_.front());
  held_.pop_front();
  next.slot.give(nextAnswer(next.buttons));
  return true;
}

void ScriptedMessageBoxes::dismissHeld() {
  while (!held_.empty()) {
    Held next = std::move(held_.front());
    held_.pop_front();
    next.slot.give(dismissedAnswer(next.buttons));
  }
}

}  // namespace platform
