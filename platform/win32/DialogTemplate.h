#pragma once
// Builds dialog templates in memory (DLGTEMPLATE followed by its items), so
// the plug-in needs no resource script for its small dialogs.

#include <windows.h>

#include <string>
#include <vector>

namespace platform {

class DialogTemplate {
 public:
  // Geometry in dialog units; the font is the dialog's (DS_SETFONT).
  DialogTemplate(DWORD style, short x, short y, short cx, short cy, const std::wstring& title,
                 const std::wstring& fontName, WORD pointSize);
  // One control of a predefined class (0x0080 button, 0x0081 edit,
  // 0x0082 static).
  void addItem(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const std::wstring& text);
  // The finished template, DWORD-aligned, valid while this object lives.
  const DLGTEMPLATE* get();

 private:
  void align(std::size_t boundary);
  void word(WORD w);
  void dword(DWORD d);
  void text(const std::wstring& s);

  std::vector<WORD> data_;
  std::size_t countIndex_ = 0;
};

}  // namespace platform
