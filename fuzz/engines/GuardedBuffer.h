#pragma once
// A 256-byte host buffer filled with guard bytes. After a call that may write
// text into it, nothing beyond the opcode's capacity may have changed, and text
// written inside the capacity must be terminated there. The buffer is its own
// heap block, so the address sanitizer also sees writes past its end.

#include <cstddef>
#include <cstring>
#include <memory>

#include "FuzzHost.h"

namespace fuzz {

class GuardedBuffer {
 public:
  static constexpr std::size_t kSize = 256;
  static constexpr unsigned char kGuard = 0xA5;

  GuardedBuffer() : bytes_(new unsigned char[kSize]) {}

  // The buffer refilled with guard bytes, for the next call.
  char* fresh() {
    std::memset(bytes_.get(), kGuard, kSize);
    return reinterpret_cast<char*>(bytes_.get());
  }
  void* data() { return bytes_.get(); }

  // What a caller reads back after the call.
  const char* text() const { return reinterpret_cast<const char*>(bytes_.get()); }

  void check(std::size_t capacity, const char* what) const { checkRange(0, capacity, what); }

  // The same for text at `offset` with `capacity` bytes, and for everything
  // from `end` on left untouched (records smaller than the buffer).
  void checkRange(std::size_t offset, std::size_t capacity, const char* what, std::size_t end = 0) const {
    const unsigned char* b = bytes_.get();
    bool touched = false;
    bool terminated = false;
    for (std::size_t i = offset; i < offset + capacity; ++i) {
      if (b[i] != kGuard) touched = true;
      if (b[i] == 0) {
        terminated = true;
        break;
      }
    }
    if (touched && !terminated) fail(what);
    const std::size_t guardStart = end != 0 ? end : offset + capacity;
    for (std::size_t i = guardStart; i < kSize; ++i) {
      if (b[i] != kGuard) fail(what);
    }
  }

 private:
  std::unique_ptr<unsigned char[]> bytes_;
};

}  // namespace fuzz
