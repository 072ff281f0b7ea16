#pragma once

#include "RiffFile.h"
#include "WaveFormat.h"

#include <cstdint>

namespace sarnel {

// A RIFF/WAVE stream over an open RIFF file: parses the header when reading,
// writes 'RIFF', 'fmt ' and 'data' chunks when writing, and moves frames
// (blocks of `blockAlign` bytes) in and out of the 'data' chunk.
// Failures raise FileError with the numbered wave messages.
class TWaveStream {
public:
    enum SeekOrigin { fromDataStart = 0, fromCurrent = 1, fromEnd = 2 };

    // GUI thread. Reads the header when `writeFormat` is null; otherwise
    // starts a new file in that format.
    TWaveStream(RiffFile& handle, const WaveFormat* writeFormat);
    // Finishes a written file (errors are lost here; call close to see them).
    virtual ~TWaveStream();
    TWaveStream(const TWaveStream&) = delete;
    TWaveStream& operator=(const TWaveStream&) = delete;

    // Reads n frames; answers the whole frames read (fewer at the file's end).
    std::int32_t readFrames(void* buffer, std::int32_t n);
    // Moves to frame n from the origin; answers the new frame position.
    std::int32_t seekFrames(std::int32_t n, SeekOrigin origin);
    std::int32_t writeFrames(const void* buffer, std::int32_t n);
    // Writing: fixes the sizes of the 'data' and 'RIFF' chunks and flushes.
    // Does nothing for reading streams or a second time.
    void close();

    const WaveFormat& format() const { return formatRecord; }
    // File offset of the first byte of the 'data' chunk.
    std::int32_t dataStart() const { return dataStartOffset; }
    // Whole frames in the 'data' chunk, counting only bytes the file holds.
    std::int32_t frameCount() const { return frames; }
    std::int32_t frameCount2() const { return framesCopy; }
    // Size of the file in bytes when the stream was opened for reading.
    std::int32_t fileSize() const { return fileBytes; }

private:
    void parse();
    void startWriting(const WaveFormat& writeFormat);

    RiffFile& handle;
    WaveFormat formatRecord;
    std::int32_t dataStartOffset = 0;
    std::int32_t frames = 0;
    std::int32_t fileBytes = 0;
    std::int32_t framesCopy = 0;
    RiffChunk chunk; // the 'fmt ' or 'data' chunk being read or written
    RiffChunk riff;  // the enclosing 'RIFF' chunk, form 'WAVE'
    bool writing = false;
    bool closed = false;
};

} // namespace sarnel
