#include "platform/win32/DialogTemplate.h"

namespace platform {

DialogTemplate::DialogTemplate(DWORD style, short x, short y, short cx, short cy, const std::wstring& title,
                               const std::wstring& fontName, WORD pointSize) {
  dword(style | DS_SETFONT);
  dword(0);  // extended style
  countIndex_ = data_.size();
  word(0);  // item count, filled in by addItem
  word(static_cast<WORD>(x));
  word(static_cast<WORD>(y));
  word(static_cast<WORD>(cx));
  word(static_cast<WORD>(cy));
  word(0);  // no menu
  word(0);  // the default dialog class
  text(title);
  word(pointSize);
  text(fontName);
}

void DialogTemplate::addItem(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
                             const std::wstring& caption) {
  align(2);  // items start on DWORD boundaries (data_ holds WORDs)
  dword(style | WS_CHILD | WS_VISIBLE);
  dword(0);
  word(static_cast<WORD>(x));
  word(static_cast<WORD>(y));
  word(static_cast<WORD>(cx));
  word(static_cast<WORD>(cy));
  word(id);
  word(0xFFFF);
  word(classAtom);
  text(caption);
  word(0);  // no creation data
  ++data_[countIndex_];
}

const DLGTEMPLATE* DialogTemplate::get() {
  align(2);
  return reinterpret_cast<const DLGTEMPLATE*>(data_.data());
}

void DialogTemplate::align(std::size_t boundary) {
  while (data_.size() % boundary != 0) data_.push_back(0);
}
void DialogTemplate::word(WORD w) { data_.push_back(w); }
void DialogTemplate::dword(DWORD d) {
  data_.push_back(LOWORD(d));
  data_.push_back(HIWORD(d));
}
void DialogTemplate::text(const std::wstring& s) {
  for (wchar_t c : s) data_.push_back(static_cast<WORD>(c));
  data_.push_back(0);
}

}  // namespace platform
