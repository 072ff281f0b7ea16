#pragma once
// Every text the plug-ins write into a host's buffer goes through this one
// bounded copy: a host with small buffers is never overrun, and a null buffer
// is left alone.

#include <cstddef>
#include <string_view>

namespace vst {

// Copies at most capacity - 1 bytes of text and a terminator into dest.
// Any thread.
void copyHostText(char* dest, std::string_view text, std::size_t capacity) noexcept;

}  // namespace vst
