#include "framework/HostText.h"

#include <cstring>

namespace vst {

void copyHostText(char* dest, std::string_view text, std::size_t capacity) noexcept {
  if (dest == nullptr || capacity == 0) return;
  const std::size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
  std::memcpy(dest, text.data(), length);
  dest[length] = '\0';
}

}  // namespace vst
