#include "platform/KeyboardHookScope.h"

#include "platform/PlatformDefaults.h"

namespace platform {

namespace {
int activeHooks = 0;  // GUI thread only
}

KeyboardHookScope::KeyboardHookScope() : handle_(installThreadKeyboardHook()) { ++activeHooks; }

KeyboardHookScope::~KeyboardHookScope() {
  removeThreadKeyboardHook(handle_);
  --activeHooks;
}

int KeyboardHookScope::activeCount() { return activeHooks; }

}  // namespace platform
