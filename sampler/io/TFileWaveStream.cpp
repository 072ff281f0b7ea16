#include "TFileWaveStream.h"

#include "FileError.h"
#include "WaveMessages.h"

namespace sarnel {

detail::OpenedRiffFile::OpenedRiffFile(const std::string& path, bool forWriting)
    : file(RiffFile::open(path, forWriting ? RiffFile::Mode::create : RiffFile::Mode::read)) {
    if (!file)
        throw FileError(wave_messages::kError25);
}

TFileWaveStream::TFileWaveStream(const std::string& path, const WaveFormat* writeFormat)
    : detail::OpenedRiffFile(path, writeFormat != nullptr), TWaveStream(*file, writeFormat) {}

} // namespace sarnel
