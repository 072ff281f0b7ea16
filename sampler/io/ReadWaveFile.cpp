#include "ReadWaveFile.h"

#include "FileError.h"
#include "RiffFile.h"
#include "TFileWaveStream.h"
#include "TPCMWaveReader.h"
#include "WaveMessages.h"

#include <cstdio>

namespace sarnel {
namespace {

// The size as the C runtime sees it; -1 when it cannot tell.
std::int64_t measureFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        throw FileError(wave_messages::kError24);
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    std::fclose(file);
    return size;
}

} // namespace

WaveFileData readWaveFile(const std::string& path) {
    const std::int64_t fileSize = measureFile(path);
    if (fileSize < 0 || fileSize > RiffFile::kMaxFileSize)
        throw FileError(wave_messages::kFileTooLarge);

    TFileWaveStream stream(path, nullptr);
    TPCMWaveReader reader(stream);

    WaveFileData data;
    data.sampleRate = static_cast<std::int32_t>(stream.format().samplesPerSec);
    data.channels = stream.format().channels;
    reader.setFileSizeHint(static_cast<std::int32_t>(fileSize));
    data.samples = reader.readAll(false);
    data.floatCount = reader.sampleCount();
    return data;
}

} // namespace sarnel
