#pragma once
// Brackets a modal input box with a keyboard hook for the GUI thread that
// lets every keystroke through to the box and passes none on to other hooks:
// hosts that capture the keyboard would otherwise swallow the typing. On
// Windows it is a real thread hook; elsewhere the box owns the keyboard and
// the scope only counts, so tests can see that a box was bracketed.

namespace platform {

class KeyboardHookScope {
 public:
  // Installs the hook. GUI thread.
  KeyboardHookScope();
  // Removes it. GUI thread.
  ~KeyboardHookScope();
  KeyboardHookScope(const KeyboardHookScope&) = delete;
  KeyboardHookScope& operator=(const KeyboardHookScope&) = delete;

  // Hooks currently installed by scopes of this module. GUI thread.
  static int activeCount();

 private:
  void* handle_ = nullptr;
};

}  // namespace platform
