#pragma once
// Message boxes for tests: every box shown is recorded, and the answers come
// from a queue the test fills. With the queue empty a box is dismissed (the
// answer a closed box gives: Cancel, or No for Yes/No).

#include <deque>
#include <string>
#include <vector>

#include "platform/MessageBoxService.h"

namespace platform {

class ScriptedMessageBoxes final : public MessageBoxService {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    MessageButtons buttons;
    MessageIcon icon;
  };

  Answer<MessageResult> show(std::string_view text, std::string_view caption, MessageButtons buttons,
                             MessageIcon icon) override;

  void queueAnswer(MessageResult answer) { answers_.push_back(answer); }
  const std::vector<Shown>& shown() const { return shown_; }
  void clear() { shown_.clear(); answers_.clear(); }

  // With holdAnswers set a box stays "open" until the test answers it:
  // answerHeld() gives the oldest open box the next queued answer,
  // dismissHeld() answers every open box as a closed box does. This is how a
  // box drawn in the editor window answers: later, from the host's idle.
  bool holdAnswers = false;
  bool answerHeld();
  void dismissHeld();
  std::size_t heldCount() const { return held_.size(); }

 private:
  struct Held {
    MessageButtons buttons;
    AnswerSlot<MessageResult> slot;
  };
  MessageResult nextAnswer(MessageButtons buttons);

  std::deque<Held> held_;
  std::deque<MessageResult> answers_;
  std::vector<Shown> shown_;
};

// Installs a service as the process-wide override for one scope.
class ScopedMessageBoxOverride {
 public:
  explicit ScopedMessageBoxOverride(MessageBoxService& service) { setMessageBoxServiceForTesting(&service); }
  ~ScopedMessageBoxOverride() { setMessageBoxServiceForTesting(nullptr); }
  ScopedMessageBoxOverride(const ScopedMessageBoxOverride&) = delete;
  ScopedMessageBoxOverride& operator=(const ScopedMessageBoxOverride&) = delete;
};

}  // namespace platform
