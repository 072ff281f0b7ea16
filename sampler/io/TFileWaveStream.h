#pragma once

#include "RiffFile.h"
#include "TWaveStream.h"

#include <memory>
#include <string>

namespace sarnel {

namespace detail {
// Holds the file so that it is open before the wave stream's constructor runs
// and closed only after its destructor has finished the chunks.
struct OpenedRiffFile {
    OpenedRiffFile(const std::string& path, bool forWriting);
    std::unique_ptr<RiffFile> file;
};
} // namespace detail

// A wave stream on a file it opens itself ("Error 25: Cannot open file
// stream." when it cannot) and closes when destroyed.
class TFileWaveStream : private detail::OpenedRiffFile, public TWaveStream {
public:
    // GUI thread. Reads the file when `writeFormat` is null; otherwise
    // creates (or truncates) it and writes that format.
    TFileWaveStream(const std::string& path, const WaveFormat* writeFormat);
};

} // namespace sarnel
