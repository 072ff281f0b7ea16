// The modal text prompt on Windows: a small dialog with the prompt, an edit
// field, OK and Cancel, owned by the window the user works in.

#include <windows.h>

#include "platform/InputBoxService.h"
#include "platform/PlatformDefaults.h"
#include "platform/win32/DialogTemplate.h"
#include "platform/win32/ModuleInstance.h"
#include "platform/win32/WideText.h"

namespace platform {

namespace {

constexpr WORD kPromptId = 100;
constexpr WORD kEditId = 101;

struct InputState {
  std::wstring prompt;
  std::wstring text;
};

INT_PTR CALLBACK inputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<InputState*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SetDlgItemTextW(dialog, kPromptId, state->prompt.c_str());
      SetDlgItemTextW(dialog, kEditId, state->text.c_str());
      HWND edit = GetDlgItem(dialog, kEditId);
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetFocus(edit);
      return FALSE;  // focus set here
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && state != nullptr) {
        HWND edit = GetDlgItem(dialog, kEditId);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        const int length = GetWindowTextW(edit, text.data(), static_cast<int>(text.size()));
        text.resize(static_cast<std::size_t>(std::max(length, 0)));
        state->text = text;
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
    default: break;
  }
  return FALSE;
}

class SystemInputBoxes final : public InputBoxService {
 public:
  Answer<std::optional<std::string>> query(std::string_view caption, std::string_view prompt,
                                           std::string_view defaultText) override {
    return Answer<std::optional<std::string>>::now(queryModal(caption, prompt, defaultText));
  }

 private:
  static std::optional<std::string> queryModal(std::string_view caption, std::string_view prompt,
                                               std::string_view defaultText) {
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, 180, 63,
                          toWide(caption), L"MS Shell Dlg", 8);
    dialog.addItem(SS_LEFT | SS_NOPREFIX, 8, 6, 164, 10, kPromptId, 0x0082, L"");
    dialog.addItem(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8, 19, 164, 12, kEditId, 0x0081, L"");
    dialog.addItem(BS_DEFPUSHBUTTON | WS_TABSTOP, 38, 41, 50, 14, IDOK, 0x0080, L"OK");
    dialog.addItem(BS_PUSHBUTTON | WS_TABSTOP, 92, 41, 50, 14, IDCANCEL, 0x0080, L"Cancel");
    InputState state{toWide(prompt), toWide(defaultText)};
    const INT_PTR answer = DialogBoxIndirectParamW(moduleInstance(), dialog.get(), GetActiveWindow(), inputDialogProc,
                                                   reinterpret_cast<LPARAM>(&state));
    if (answer != IDOK) return std::nullopt;
    return fromWide(state.text);
  }
};

LRESULT CALLBACK passKeysToTheBox(int, WPARAM, LPARAM) {
  // Every key goes on to the focused box; no other hook sees it.
  return 0;
}

}  // namespace

InputBoxService& platformInputBoxes() {
  static SystemInputBoxes service;
  return service;
}

void* installThreadKeyboardHook() {
  return SetWindowsHookExW(WH_KEYBOARD, passKeysToTheBox, nullptr, GetCurrentThreadId());
}

void removeThreadKeyboardHook(void* handle) {
  if (handle != nullptr) UnhookWindowsHookEx(static_cast<HHOOK>(handle));
}

}  // namespace platform
