#pragma once

#include "WaveFormat.h"

#include <cstdint>
#include <memory>

namespace sarnel {

// Converts blocks of a compressed wave format (ADPCM, µ-law, A-law, GSM …)
// to PCM. The wave reader drives it step by step and turns each failed step
// into its numbered message. Windows uses the system's audio compression
// manager; other targets a decoding library. Each operation answers false on
// failure.
class CompressedWaveDecoder {
public:
    enum class SizeDirection { sourceToPcm, pcmToSource };

    virtual ~CompressedWaveDecoder() = default;

    // Fills `pcm` (which arrives zeroed with tag PCM) with the PCM format the
    // source converts to. Channels and rate stay those of the source.
    virtual bool suggestPcmFormat(const WaveFormat& source, WaveFormat& pcm) = 0;
    virtual bool open(const WaveFormat& source, const WaveFormat& pcm) = 0;
    // The buffer size on the other side that goes with `bytes` on this side.
    virtual bool streamSize(std::uint32_t bytes, SizeDirection direction, std::uint32_t& result) = 0;
    // Registers the two buffers that every convert call uses; they stay owned
    // by the caller and alive until the decoder is destroyed.
    virtual bool prepareBuffers(std::uint8_t* source, std::uint32_t sourceBytes, std::uint8_t* pcm,
                                std::uint32_t pcmBytes) = 0;
    // Converts the first `sourceLength` bytes (whole blocks) of the source
    // buffer; `pcmBytesUsed` tells how much of the PCM buffer was filled.
    virtual bool convert(std::uint32_t sourceLength, std::uint32_t& pcmBytesUsed) = 0;
};

// The platform's decoder.
std::unique_ptr<CompressedWaveDecoder> makeCompressedWaveDecoder();

} // namespace sarnel
