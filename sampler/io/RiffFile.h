#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace sarnel {

// Packs a four-character code the way RIFF files store it: the first
// character in the lowest byte.
constexpr std::uint32_t riffCode(const char (&text)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 8) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(text[3])) << 24);
}

// One chunk of a RIFF file: where its data lies and, for 'RIFF' and 'LIST'
// chunks, the form type that starts the data.
struct RiffChunk {
    std::uint32_t id = 0;
    std::uint32_t size = 0;
    std::uint32_t formType = 0;
    std::uint32_t dataOffset = 0; // file offset of the data (after the 8-byte header)
    bool created = false;         // written by createChunk: ascend writes its size
};

// Chunk-level reading and writing of RIFF files over the C runtime's file
// routines. Operations answer false or -1 on failure; the wave stream turns
// failures into its numbered messages. Files are limited to 2 GiB − 1 bytes,
// which keeps every offset within 32 bits on every target.
class RiffFile {
public:
    enum class Mode { read, create };
    static constexpr std::int64_t kMaxFileSize = 0x7FFFFFFF;

    // Null when the file cannot be opened (or is larger than kMaxFileSize).
    static std::unique_ptr<RiffFile> open(const std::string& path, Mode mode);
    ~RiffFile();
    RiffFile(const RiffFile&) = delete;
    RiffFile& operator=(const RiffFile&) = delete;

    // Bytes read (fewer at the end of the file), -1 on a read error.
    std::int64_t read(void* buffer, std::int64_t bytes);
    // Bytes written, -1 on a write error.
    std::int64_t write(const void* buffer, std::int64_t bytes);
    // origin: SEEK_SET, SEEK_CUR or SEEK_END. New offset, or -1 when the
    // target lies outside 0 … kMaxFileSize or the seek fails.
    std::int64_t seek(std::int64_t offset, int origin);
    std::int64_t tell();
    // Current size of the file in bytes.
    std::int64_t size();

    // Reads the chunk header at the current offset. With `findId`, skips
    // chunks until one with that id starts; with `parent`, only inside the
    // parent's data. Leaves the offset at the chunk's data (after the form
    // type of 'RIFF' and 'LIST' chunks).
    bool descend(RiffChunk& chunk, const RiffChunk* parent, std::uint32_t findId = 0);
    // Moves to the end of the chunk (and its pad byte). For a created chunk
    // first writes its pad byte and its real size.
    bool ascend(RiffChunk& chunk);
    // Writes a chunk header at the current offset (form type for 'RIFF' and
    // 'LIST'); the size is fixed by ascend.
    bool createChunk(RiffChunk& chunk);
    bool flush();
    // False once a read or write has failed.
    bool good() const;

private:
    RiffFile(std::FILE* file, Mode mode, std::int64_t size);
    bool readHeaderAt(std::int64_t offset, RiffChunk& chunk);

    std::FILE* file;
    Mode mode;
    std::int64_t knownSize; // read mode: fixed at open
};

} // namespace sarnel
