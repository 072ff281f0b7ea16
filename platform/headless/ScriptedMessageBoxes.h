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

  MessageResult show(std::string_view text, std::string_view caption, MessageButtons buttons,
                     MessageIcon icon) override;

  void queueAnswer(MessageResult answer) { answers_.push_back(answer); }
  const std::vector<Shown>& shown() const { return shown_; }
  void clear() { shown_.clear(); answers_.clear(); }

 private:
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
