#pragma once
// Modal message boxes: the one way the instruments tell the user about a
// failure they can act on. The system's box on Windows; elsewhere a box drawn
// in the open editor window, or standard error when there is none.

#include <string_view>

#include "platform/Answer.h"

namespace platform {

enum class MessageButtons { ok, okCancel, yesNo, yesNoCancel };
enum class MessageIcon { none, information, warning, error, question };
enum class MessageResult { ok, cancel, yes, no };

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  // Shows the box and answers the button the user chose: at once where the
  // system's box is modal, later where it is drawn in the editor window.
  // GUI thread.
  virtual Answer<MessageResult> show(std::string_view text, std::string_view caption, MessageButtons buttons,
                             MessageIcon icon) = 0;
};

// The service in force: the override when one is set, else the platform's.
// GUI thread.
MessageBoxService& systemMessageBoxes();

// Replaces the service process-wide (tests, hosts without a screen); nullptr
// restores the platform's. The caller keeps ownership. GUI thread.
void setMessageBoxServiceForTesting(MessageBoxService* service);

// What a box without a user answers: the "negative" button of its set.
MessageResult dismissedAnswer(MessageButtons buttons);

}  // namespace platform
