#pragma once
// The look every box drawn over an editor form shares (the system dialogs'
// grey faces, navy captions and bevelled edges), and the text-editing steps
// of their edit lines (UTF-8 aware).

#include <cstddef>
#include <string>

#include "gui/Canvas.h"

namespace platform::boxstyle {

constexpr gui::Color kFace = gui::colors::buttonFace;
constexpr gui::Color kShadow = gui::rgb(128, 128, 128);
constexpr gui::Color kCaption = gui::rgb(0, 0, 128);
constexpr gui::Color kText = gui::colors::black;
constexpr gui::Color kHighlight = gui::rgb(0, 0, 128);
constexpr int kPadding = 8;
constexpr int kButtonWidth = 64;
constexpr int kButtonHeight = 20;
constexpr int kCaptionHeight = 18;
constexpr int kEditHeight = 18;

// A raised (or sunken) one-pixel edge around `r`.
inline void bevel(gui::Canvas& canvas, const gui::Rect& r, bool sunken) {
  const gui::Color light = sunken ? kShadow : gui::colors::white;
  const gui::Color dark = sunken ? gui::colors::white : kShadow;
  canvas.fillRect({r.left, r.top, r.right, r.top + 1}, light);
  canvas.fillRect({r.left, r.top, r.left + 1, r.bottom}, light);
  canvas.fillRect({r.left, r.bottom - 1, r.right, r.bottom}, dark);
  canvas.fillRect({r.right - 1, r.top, r.right, r.bottom}, dark);
}

inline bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The start of the character before / after byte offset `at`.
inline std::size_t previousCharacter(const std::string& text, std::size_t at) {
  if (at == 0) return 0;
  std::size_t i = at - 1;
  while (i > 0 && continuationByte(text[i])) --i;
  return i;
}
inline std::size_t nextCharacter(const std::string& text, std::size_t at) {
  if (at >= text.size()) return text.size();
  std::size_t i = at + 1;
  while (i < text.size() && continuationByte(text[i])) ++i;
  return i;
}

// The printable characters of typed or pasted text.
inline std::string printable(const std::string& text) {
  std::string kept;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) kept.push_back(c);
  }
  return kept;
}

}  // namespace platform::boxstyle
