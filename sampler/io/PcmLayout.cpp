#include "PcmLayout.h"

#include "FileError.h"
#include "WaveMessages.h"

#include <cmath>
#include <cstring>
#include <string>

namespace sarnel {
namespace {

[[noreturn]] void refuse(const std::string& message) { throw FileError(message); }

bool containerFits(int bits, int containerBytes) {
    switch (bits) {
    case 8:
        return containerBytes == 1;
    case 16:
        return containerBytes == 2;
    case 20:
    case 24:
        return containerBytes == 3 || containerBytes == 4;
    case 32:
        return containerBytes == 4;
    default:
        return false;
    }
}

// Every rule is computed in double and rounded once to float.
float convert8(const std::uint8_t* p) { return static_cast<float>(p[0] * 2 / 255.0 - 1.0); }

float convert16(const std::uint8_t* p) {
    const int s = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
    return static_cast<float>(s > 0 ? s / 32767.0 : s / 32768.0);
}

// 20-bit samples stand in the top 20 bits of the three bytes read.
float convert20(const std::uint8_t* p) {
    const std::int32_t u = (p[0] + p[1] * 256 + p[2] * 65536) >> 4;
    const std::int32_t s = u >= 524288 ? u - 1048576 : u;
    return static_cast<float>(s > 0 ? s / 524287.0 : s / 524288.0);
}

float convert24(const std::uint8_t* p) {
    std::int32_t s = p[0] + p[1] * 256 + p[2] * 65536;
    if (s >= 8388608)
        s -= 16777216;
    return static_cast<float>(s > 0 ? s / 8388607.0 : s / 8388608.0);
}

float convert32(const std::uint8_t* p) {
    const std::uint32_t bits = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                               (static_cast<std::uint32_t>(p[2]) << 16) |
                               (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<float>(static_cast<std::int32_t>(bits) / 2147483648.0);
}

// Float samples pass unchanged, also beyond ±1; only NaN and infinities,
// which would poison every filter and voice they reach, become silence.
float convertFloat(const std::uint8_t* p) {
    float value;
    std::memcpy(&value, p, sizeof value);
    return std::isfinite(value) ? value : 0.0f;
}

} // namespace

PcmLayout PcmLayout::fromFormat(const WaveFormat& format) {
    PcmLayout layout;
    layout.channels = format.channels;
    layout.bitsPerSample = format.bitsPerSample;
    layout.blockAlign = format.blockAlign;
    layout.isFloat = format.isIeeeFloat();
    if (layout.channels == 0)
        refuse(wave_messages::kNoChannels);
    if (layout.blockAlign == 0)
        refuse(wave_messages::kNoBlockAlign);
    const std::string bits = std::to_string(layout.bitsPerSample);
    if (layout.isFloat && layout.bitsPerSample != 32)
        refuse("Unsupported sample format: " + bits + "-bit floating point samples.");
    if (!containerFits(layout.bitsPerSample, (layout.bitsPerSample + 7) / 8) &&
        !containerFits(layout.bitsPerSample, 4))
        refuse("Unsupported sample width: " + bits + " bits per sample.");
    layout.containerBytes = layout.blockAlign / layout.channels;
    if (layout.blockAlign % layout.channels != 0 || !containerFits(layout.bitsPerSample, layout.containerBytes))
        refuse("Invalid wave format: a block align of " + std::to_string(layout.blockAlign) + " does not fit " +
               std::to_string(layout.channels) + " channels of " + bits + " bits.");
    return layout;
}

void PcmLayout::convert(const std::uint8_t* source, std::int32_t frames, bool mixToMono, float* out) const {
    float (*sampleRule)(const std::uint8_t*) = convert8;
    switch (bitsPerSample) {
    case 16:
        sampleRule = convert16;
        break;
    case 20:
        sampleRule = convert20;
        break;
    case 24:
        sampleRule = convert24;
        break;
    case 32:
        sampleRule = isFloat ? convertFloat : convert32;
        break;
    default:
        break;
    }
    const float channelCount = static_cast<float>(channels);
    for (std::int32_t frame = 0; frame < frames; ++frame) {
        float sum = 0.0f;
        for (int channel = 0; channel < channels; ++channel) {
            const float value = sampleRule(source);
            source += containerBytes;
            if (mixToMono)
                sum += value;
            else
                *out++ = value;
        }
        if (mixToMono)
            *out++ = sum / channelCount;
    }
}

} // namespace sarnel
