#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sarnel {

// A WAV file decoded into memory: frames one after another, each frame's
// channels in file order, values nominally −1 … 1 (float files pass through).
struct WaveFileData {
    std::vector<float> samples;
    std::int32_t sampleRate = 0; // the file's own rate
    std::int32_t channels = 0;   // the file's own channel count
    std::int32_t floatCount = 0; // samples.size(); may be 0 for an empty 'data' chunk
};

// GUI thread. Reads a whole WAV file: PCM of 8, 16, 20, 24 or 32 bits (packed
// or in 4-byte containers), 32-bit IEEE float, extensible records of either,
// and compressed formats the platform's decoder converts. Raises FileError
// with a numbered message ("Error 24: Cannot open file." …) or a message of
// its own when the file cannot be read.
WaveFileData readWaveFile(const std::string& path);

} // namespace sarnel
