#include "WaveFormat.h"

#include <algorithm>
#include <array>

namespace sarnel {
namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::uint32_t get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Bytes 4 … 15 of the sub-format GUID that every standard wave format shares;
// bytes 0 … 3 hold the format tag.
constexpr std::array<std::uint8_t, 12> kSubFormatTail = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                                         0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::size_t kSubFormatOffset = 6;

} // namespace

std::vector<std::uint8_t> WaveFormat::toBytes() const {
    std::vector<std::uint8_t> out;
    out.reserve(kBaseSize + extra.size());
    put16(out, formatTag);
    put16(out, channels);
    put32(out, samplesPerSec);
    put32(out, avgBytesPerSec);
    put16(out, blockAlign);
    put16(out, bitsPerSample);
    put16(out, extraSize);
    out.insert(out.end(), extra.begin(), extra.end());
    return out;
}

WaveFormat WaveFormat::fromBaseBytes(const std::uint8_t* bytes16) {
    WaveFormat format;
    format.formatTag = get16(bytes16);
    format.channels = get16(bytes16 + 2);
    format.samplesPerSec = get32(bytes16 + 4);
    format.avgBytesPerSec = get32(bytes16 + 8);
    format.blockAlign = get16(bytes16 + 12);
    format.bitsPerSample = get16(bytes16 + 14);
    return format;
}

std::uint16_t WaveFormat::effectiveTag() const {
    if (formatTag != kTagExtensible || extra.size() < kExtensibleExtraSize)
        return formatTag;
    const std::uint8_t* subFormat = extra.data() + kSubFormatOffset;
    if (!std::equal(kSubFormatTail.begin(), kSubFormatTail.end(), subFormat + 4))
        return formatTag;
    const std::uint32_t tag = get32(subFormat);
    if (tag == kTagPcm || tag == kTagIeeeFloat)
        return static_cast<std::uint16_t>(tag);
    return formatTag;
}

bool WaveFormat::isUncompressed() const {
    const std::uint16_t tag = effectiveTag();
    return tag == kTagPcm || tag == kTagIeeeFloat;
}

} // namespace sarnel
