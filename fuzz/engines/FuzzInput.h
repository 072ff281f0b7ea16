#pragma once
// Reads a fuzzer's bytes front to back as the values a host could send. An
// exhausted input reads as zeros, so every decoder terminates.

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return position_ >= size_; }

  std::uint8_t byte() { return empty() ? 0 : data_[position_++]; }

  std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }

  std::uint32_t u32() {
    std::uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) value |= static_cast<std::uint32_t>(byte()) << shift;
    return value;
  }

  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

  // 0 ... limit - 1 (limit > 0), from as few bytes as the range needs.
  std::uint32_t below(std::uint32_t limit) {
    if (limit <= 256) return byte() % limit;
    if (limit <= 65536) return u16() % limit;
    return u32() % limit;
  }

  bool flag() { return (byte() & 1) != 0; }

  template <typename T, std::size_t N>
  T pick(const std::array<T, N>& values) {
    return values[below(static_cast<std::uint32_t>(N))];
  }

  // A float as a hostile host might send it: the edges of the format (NaN,
  // infinities, denormals, the largest values), values at and just beside
  // the unit range, a byte scaled to 0 ... 1, or any bit pattern.
  float anyFloat() {
    constexpr float inf = std::numeric_limits<float>::infinity();
    static const std::array<float, 24> kSpecial = {
        0.0f,
        -0.0f,
        1.0f,
        -1.0f,
        0.5f,
        2.0f,
        std::numeric_limits<float>::quiet_NaN(),
        -std::numeric_limits<float>::quiet_NaN(),
        inf,
        -inf,
        std::numeric_limits<float>::denorm_min(),
        -std::numeric_limits<float>::denorm_min(),
        std::numeric_limits<float>::min(),
        std::numeric_limits<float>::max(),
        -std::numeric_limits<float>::max(),
        std::nextafter(1.0f, 2.0f),
        std::nextafter(1.0f, 0.0f),
        std::nextafter(0.0f, -1.0f),
        1e-7f,
        1e30f,
        -1e30f,
        44100.0f,
        2147483648.0f,
        0.999999f,
    };
    switch (byte() % 4) {
      case 0: return pick(kSpecial);
      case 1: return static_cast<float>(byte()) / 255.0f;
      case 2: return std::bit_cast<float>(u32());
      default: return static_cast<float>(u16()) / 65535.0f;
    }
  }

  // Up to maxLength bytes of any content (zeros included).
  std::string text(std::size_t maxLength) {
    const std::size_t length = below(static_cast<std::uint32_t>(maxLength + 1));
    std::string result(length, '\0');
    for (char& c : result) c = static_cast<char>(byte());
    return result;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

}  // namespace fuzz
