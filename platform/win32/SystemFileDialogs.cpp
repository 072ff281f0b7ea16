// The system's file-open dialog with a hook and an appended template: the
// template makes room for an optional check box under the dialog (the
// pre-listen option), and the hook reports selection changes.

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "platform/FileDialogService.h"
#include "platform/PlatformDefaults.h"
#include "platform/win32/DialogTemplate.h"
#include "platform/win32/ModuleInstance.h"
#include "platform/win32/WideText.h"

namespace platform {

namespace {

constexpr int kCheckBoxId = 0x4A01;

struct DialogState {
  const FileOpenRequest* request = nullptr;
  HWND checkBox = nullptr;
  bool checked = false;
  WNDPROC checkBoxProc = nullptr;
};

constexpr wchar_t kStateProperty[] = L"VornhaltFileDialogState";

// The check box belongs to the system dialog, whose messages the hook does
// not see; watching the box itself keeps its state current to the last
// click, whichever way the dialog then closes.
LRESULT CALLBACK checkBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = static_cast<DialogState*>(GetPropW(box, kStateProperty));
  if (state == nullptr) return DefWindowProcW(box, message, wParam, lParam);
  const WNDPROC original = state->checkBoxProc;
  const LRESULT result = CallWindowProcW(original, box, message, wParam, lParam);
  if (message != BM_GETCHECK) {
    state->checked = CallWindowProcW(original, box, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    RemovePropW(box, kStateProperty);
    state->checkBox = nullptr;
  }
  return result;
}

std::wstring currentPath(HWND systemDialog) {
  std::vector<wchar_t> buffer(32768, L'\0');
  const LRESULT length =
      SendMessageW(systemDialog, CDM_GETFILEPATH, static_cast<WPARAM>(buffer.size()), reinterpret_cast<LPARAM>(buffer.data()));
  if (length <= 0) return {};
  return std::wstring(buffer.data());
}

void layOut(HWND hookDialog, DialogState& state) {
  // The system dialog is the parent of our appended child dialog.
  HWND systemDialog = GetParent(hookDialog);
  RECT outer{};
  GetWindowRect(systemDialog, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  SetWindowPos(systemDialog, nullptr, 0, 0, width, height + 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  state.checkBox = CreateWindowExW(0, L"BUTTON", toWide(state.request->checkBoxCaption).c_str(),
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 30, height - 30, width, 20,
                                   systemDialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCheckBoxId)),
                                   moduleInstance(), nullptr);
  SendMessageW(state.checkBox, WM_SETFONT, SendMessageW(systemDialog, WM_GETFONT, 0, 0), TRUE);
  SendMessageW(state.checkBox, BM_SETCHECK, state.checked ? BST_CHECKED : BST_UNCHECKED, 0);
  SetPropW(state.checkBox, kStateProperty, &state);
  state.checkBoxProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(state.checkBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(checkBoxProc)));
}

UINT_PTR CALLBACK fileDialogHook(HWND hookDialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* ofn = reinterpret_cast<const OPENFILENAMEW*>(lParam);
    SetWindowLongPtrW(hookDialog, GWLP_USERDATA, static_cast<LONG_PTR>(ofn->lCustData));
    return 0;
  }
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(hookDialog, GWLP_USERDATA));
  if (state == nullptr || message != WM_NOTIFY) return 0;
  const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
  switch (notice->hdr.code) {
    case CDN_INITDONE:
      if (!state->request->checkBoxCaption.empty()) layOut(hookDialog, *state);
      break;
    case CDN_SELCHANGE:
      if (state->request->onSelectionChange) {
        state->request->onSelectionChange(fromWide(currentPath(GetParent(hookDialog))), state->checked);
      }
      break;
    default: break;
  }
  return 0;
}

// "name|pattern|name|pattern" to the system's double-NUL-terminated list.
std::wstring systemFilter(const std::string& filter) {
  std::wstring list = toWide(filter);
  for (wchar_t& c : list) {
    if (c == L'|') c = L'\0';
  }
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

class SystemFileDialogs final : public FileDialogService {
 public:
  Answer<FileOpenResult> open(const FileOpenRequest& request) override {
    return Answer<FileOpenResult>::now(openModal(request));
  }

 private:
  static FileOpenResult openModal(const FileOpenRequest& request) {
    DialogTemplate appended(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL, 6, 15, 326, 19, L"",
                            L"MS Sans Serif", 8);
    DialogState state;
    state.request = &request;
    state.checked = request.checkBoxChecked;

    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring initial = toWide(request.initialFile);
    initial.copy(file.data(), std::min(initial.size(), file.size() - 1));
    const std::wstring filter = systemFilter(request.filter);
    const std::wstring title = toWide(request.title);
    std::wstring extension = toWide(request.defaultExtension);
    while (!extension.empty() && (extension.front() == L'*' || extension.front() == L'.')) extension.erase(0, 1);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.hInstance = reinterpret_cast<HINSTANCE>(const_cast<DLGTEMPLATE*>(appended.get()));
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (request.fileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    ofn.lpfnHook = fileDialogHook;
    ofn.lCustData = reinterpret_cast<LPARAM>(&state);

    FileOpenResult result;
    result.accepted = GetOpenFileNameW(&ofn) != 0;
    result.file = fromWide(file.data());
    result.checkBoxChecked = state.checked;
    return result;
  }
};

}  // namespace

FileDialogService& platformFileDialogs() {
  static SystemFileDialogs service;
  return service;
}

}  // namespace platform
