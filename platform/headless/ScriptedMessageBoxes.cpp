#include "platform/headless/ScriptedMessageBoxes.h"

namespace platform {

MessageResult ScriptedMessageBoxes::show(std::string_view text, std::string_view caption, MessageButtons buttons,
                                         MessageIcon icon) {
  shown_.push_back({std::string(text), std::string(caption), buttons, icon});
  if (answers_.empty()) return dismissedAnswer(buttons);
  const MessageResult answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace platform
