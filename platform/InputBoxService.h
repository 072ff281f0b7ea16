#pragma once
// Modal text prompts: a caption, a prompt line, an edit field holding a
// default text, OK and Cancel. The system's prompt on Windows, a box drawn in
// the editor window on Linux, a script in tests.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Answer.h"

namespace platform {

class InputBoxService {
 public:
  virtual ~InputBoxService() = default;
  // The edited text on OK; nothing on Cancel (or when no box can be shown).
  // Answered at once on Windows and headless, later on Linux. GUI thread.
  virtual Answer<std::optional<std::string>> query(std::string_view caption, std::string_view prompt,
                                           std::string_view defaultText) = 0;
};

// The service in force: the override when one is set, else the platform's.
InputBoxService& systemInputBoxes();
// nullptr restores the platform's. The caller keeps ownership. GUI thread.
void setInputBoxServiceForTesting(InputBoxService* service);

// The toolkit's plain input box: Cancel gives back the default text.
// GUI thread.
Answer<std::string> inputBox(std::string_view caption, std::string_view prompt, std::string_view defaultText);

}  // namespace platform
