#pragma once

#include <cstdint>
#include <vector>

namespace sarnel {

// The wave format record of a 'fmt ' chunk (little-endian in the file):
// 18 bytes, then `extraSize` extra bytes.
struct WaveFormat {
    static constexpr std::uint16_t kTagPcm = 1;
    static constexpr std::uint16_t kTagIeeeFloat = 3;
    static constexpr std::uint16_t kTagMpegLayer3 = 85;
    static constexpr std::uint16_t kTagExtensible = 0xFFFE;
    static constexpr std::size_t kBaseSize = 18;
    // Extensible extra bytes: valid bits (2), channel mask (4), sub-format (16).
    static constexpr std::size_t kExtensibleExtraSize = 22;

    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
    std::vector<std::uint8_t> extra; // extraSize bytes

    // The 18 + extraSize bytes as they stand in a file.
    std::vector<std::uint8_t> toBytes() const;
    // Fields from the first 16 bytes (tag … bits per sample).
    static WaveFormat fromBaseBytes(const std::uint8_t* bytes16);

    // The tag that decides how samples are read: the sub-format of an
    // extensible record when it is PCM or IEEE float, else formatTag.
    std::uint16_t effectiveTag() const;
    // Samples are read straight from the file (PCM or IEEE float, also as the
    // sub-format of an extensible record); anything else needs a decoder.
    bool isUncompressed() const;
    bool isIeeeFloat() const { return effectiveTag() == kTagIeeeFloat; }
};

} // namespace sarnel
