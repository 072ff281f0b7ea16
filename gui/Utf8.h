#pragma once
// Walks text as Unicode code points: UTF-8 where the bytes form it, each
// other byte as a Latin-1 character (file names of older systems).

#include <string_view>

namespace gui {

template <typename Visit>
void forEachCodepoint(std::string_view text, Visit visit) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    char32_t c = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = length > 1 && i + static_cast<std::size_t>(length) <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    if (length == 1) {
      visit(c);
      i += 1;
    } else if (valid) {
      visit(c);
      i += static_cast<std::size_t>(length);
    } else {
      visit(static_cast<char32_t>(lead));
      i += 1;
    }
  }
}

}  // namespace gui
