#pragma once

#include "CompressedWaveDecoder.h"
#include "PcmLayout.h"
#include "TWaveStream.h"
#include "WaveFormat.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace sarnel {

// Delivers the frames of a wave stream as PCM: straight from the file for PCM
// and IEEE float data, through a CompressedWaveDecoder for anything else, in
// conversions of about kTargetBytes PCM bytes. readAll turns the whole stream
// into floats.
class TPCMWaveReader {
public:
    static constexpr std::int32_t kTargetBytes = 20000;
    // readAll reads this many frames per pass while frames are at most
    // kWorkBufferBytes ÷ kFramesPerRead bytes wide, fewer for wider frames.
    static constexpr std::int32_t kFramesPerRead = 12000;
    static constexpr std::int32_t kWorkBufferBytes = 96000;

    // GUI thread. For a compressed source, `decoder` converts it (null: the
    // platform's decoder). The stream must outlive the reader.
    explicit TPCMWaveReader(TWaveStream& stream, std::unique_ptr<CompressedWaveDecoder> decoder = nullptr);
    ~TPCMWaveReader();
    TPCMWaveReader(const TPCMWaveReader&) = delete;
    TPCMWaveReader& operator=(const TPCMWaveReader&) = delete;

    // Copies up to n PCM frames into `buffer` (n × pcmFormat().blockAlign
    // bytes); answers the frames delivered, 0 at the end.
    std::int32_t read(std::uint8_t* buffer, std::int32_t n);
    // All frames as floats, channels interleaved, or one value per frame when
    // mixing to mono. Frames a decoder does not deliver stay 0.
    std::vector<float> readAll(bool mixToMono);

    const WaveFormat& pcmFormat() const { return pcm; }
    std::int32_t totalFrames() const { return total; }
    std::int32_t framesPerBlock() const { return blockFrames; }
    std::int32_t blocksPerConversion() const { return conversionBlocks; }
    // Floats of the last readAll.
    std::int32_t sampleCount() const { return samples; }
    void setFileSizeHint(std::int32_t bytes) { fileSizeHint = bytes; }

private:
    void openConversion(std::unique_ptr<CompressedWaveDecoder> decoder);
    void sizeBuffers();
    void convert(std::int32_t block);

    std::int32_t position = 0;
    TWaveStream& stream;
    std::int32_t total = 0;
    std::int32_t targetBytes = kTargetBytes;
    std::unique_ptr<CompressedWaveDecoder> acmStream; // only for compressed sources
    WaveFormat pcm;
    PcmLayout layout;
    std::int32_t fileSizeHint = 0;
    std::int32_t samples = 0;
    std::vector<std::uint8_t> sourceBuffer;
    std::uint32_t sourceBytes = 0;
    std::int32_t conversionBlocks = 1;
    std::vector<std::uint8_t> pcmBuffer;
    std::uint32_t pcmBytes = 0;
    std::int32_t bufferFrames = 0;
    std::int32_t blockFrames = 1;
    std::int32_t bufferStart = 0;
    std::int32_t blocksPerRead = 1; // whole source blocks that fit sourceBuffer
    std::int32_t unconvertedBlock = 0; // first source block after the last conversion
};

} // namespace sarnel
