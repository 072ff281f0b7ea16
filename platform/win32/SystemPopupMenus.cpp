// Popup menus on Windows: the system's own, tracked modally, answering the
// chosen item at once.

#include <windows.h>

#include "platform/PlatformDefaults.h"
#include "platform/PopupMenuService.h"
#include "platform/win32/ModuleInstance.h"
#include "platform/win32/WideText.h"

namespace platform {

namespace {

// Captions are shown as written: an ampersand is a character, not the
// marker of an accelerator key.
std::wstring literalCaption(const std::string& caption) {
  std::wstring wide = toWide(caption);
  std::wstring escaped;
  for (wchar_t c : wide) {
    escaped.push_back(c);
    if (c == L'&') escaped.push_back(L'&');
  }
  return escaped;
}

class SystemPopupMenus final : public PopupMenuService {
 public:
  Answer<int> choose(const std::vector<MenuItem>& items, ScreenPoint at) override {
    return Answer<int>::now(chooseModal(items, at));
  }

 private:
  static int chooseModal(const std::vector<MenuItem>& items, ScreenPoint at) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
      const MenuItem& item = items[i];
      if (item.caption == "-") {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      UINT flags = MF_STRING;
      if (item.checked) flags |= MF_CHECKED;
      if (!item.enabled) flags |= MF_GRAYED;
      AppendMenuW(menu, flags, i + 1, literalCaption(item.caption).c_str());
    }
    HWND owner = GetActiveWindow();
    HWND temporary = nullptr;
    if (owner == nullptr) {
      // A menu needs a window of this thread to belong to.
      temporary = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, moduleInstance(),
                                  nullptr);
      owner = temporary;
    }
    SetForegroundWindow(owner);
    const int command = static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x,
                       at.y, 0, owner, nullptr));
    DestroyMenu(menu);
    if (temporary != nullptr) DestroyWindow(temporary);
    return command - 1;  // 0 (dismissed) becomes -1
  }
};

}  // namespace

PopupMenuService& platformPopupMenus() {
  static SystemPopupMenus service;
  return service;
}

}  // namespace platform
