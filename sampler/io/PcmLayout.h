#pragma once

#include "WaveFormat.h"

#include <cstdint>

namespace sarnel {

// How the frames of an uncompressed wave format become floats: the sample
// width, the bytes each sample occupies and whether the bytes are IEEE floats.
struct PcmLayout {
    int channels = 0;
    int bitsPerSample = 0;
    int containerBytes = 0; // bytes per sample in the frame: 1, 2, 3 or 4
    int blockAlign = 0;     // channels × containerBytes
    bool isFloat = false;   // 32-bit IEEE float, passed through

    // Raises FileError for formats without a conversion rule: widths other
    // than 8, 16, 20, 24 and 32 bits, floats other than 32 bits, and block
    // aligns that do not hold exactly one container per channel.
    static PcmLayout fromFormat(const WaveFormat& format);

    // Any thread.
    // Converts `frames` frames at `source` (frames × blockAlign bytes) into
    // floats at `out`: frames × channels values, or frames values when the
    // channels are mixed to mono. Allocates nothing.
    void convert(const std::uint8_t* source, std::int32_t frames, bool mixToMono, float* out) const;
};

} // namespace sarnel
