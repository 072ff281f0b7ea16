#include "RiffFile.h"

#include <cstring>

namespace sarnel {
namespace {

constexpr std::uint32_t kRiffId = riffCode("RIFF");
constexpr std::uint32_t kListId = riffCode("LIST");

std::uint32_t get32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void put32(unsigned char* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

bool hasFormType(std::uint32_t id) { return id == kRiffId || id == kListId; }

// Measures the file by seeking to its end; -1 when the runtime cannot tell
// (a 32-bit long on Windows cannot describe files beyond 2 GiB).
std::int64_t measure(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(file);
    if (end < 0 || std::fseek(file, 0, SEEK_SET) != 0)
        return -1;
    return end;
}

} // namespace

std::unique_ptr<RiffFile> RiffFile::open(const std::string& path, Mode mode) {
    std::FILE* file = std::fopen(path.c_str(), mode == Mode::read ? "rb" : "w+b");
    if (!file)
        return nullptr;
    std::int64_t size = 0;
    if (mode == Mode::read) {
        size = measure(file);
        if (size < 0 || size > kMaxFileSize) {
            std::fclose(file);
            return nullptr;
        }
    } else {
        // Unbuffered, so a failed write shows at the call that made it.
        std::setvbuf(file, nullptr, _IONBF, 0);
    }
    return std::unique_ptr<RiffFile>(new RiffFile(file, mode, size));
}

RiffFile::RiffFile(std::FILE* openFile, Mode openMode, std::int64_t size)
    : file(openFile), mode(openMode), knownSize(size) {}

RiffFile::~RiffFile() { std::fclose(file); }

std::int64_t RiffFile::read(void* buffer, std::int64_t bytes) {
    if (bytes <= 0)
        return 0;
    const std::size_t got = std::fread(buffer, 1, static_cast<std::size_t>(bytes), file);
    if (got < static_cast<std::size_t>(bytes) && std::ferror(file))
        return -1;
    return static_cast<std::int64_t>(got);
}

std::int64_t RiffFile::write(const void* buffer, std::int64_t bytes) {
    if (bytes <= 0)
        return 0;
    if (tell() + bytes > kMaxFileSize)
        return -1;
    const std::size_t put = std::fwrite(buffer, 1, static_cast<std::size_t>(bytes), file);
    if (put < static_cast<std::size_t>(bytes))
        return -1;
    return static_cast<std::int64_t>(put);
}

std::int64_t RiffFile::tell() { return std::ftell(file); }

std::int64_t RiffFile::size() {
    if (mode == Mode::read)
        return knownSize;
    const std::int64_t here = tell();
    const std::int64_t end = measure(file);
    if (here >= 0)
        std::fseek(file, static_cast<long>(here), SEEK_SET);
    return end;
}

std::int64_t RiffFile::seek(std::int64_t offset, int origin) {
    std::int64_t base = 0;
    if (origin == SEEK_CUR)
        base = tell();
    else if (origin == SEEK_END)
        base = size();
    if (base < 0)
        return -1;
    const std::int64_t target = base + offset;
    if (target < 0 || target > kMaxFileSize)
        return -1;
    if (std::fseek(file, static_cast<long>(target), SEEK_SET) != 0)
        return -1;
    return target;
}

bool RiffFile::readHeaderAt(std::int64_t offset, RiffChunk& chunk) {
    if (seek(offset, SEEK_SET) < 0)
        return false;
    unsigned char header[8];
    if (read(header, 8) != 8)
        return false;
    RiffChunk found;
    found.id = get32(header);
    found.size = get32(header + 4);
    found.dataOffset = static_cast<std::uint32_t>(offset + 8);
    if (hasFormType(found.id)) {
        unsigned char form[4];
        if (read(form, 4) != 4)
            return false;
        found.formType = get32(form);
    }
    chunk = found;
    return true;
}

bool RiffFile::descend(RiffChunk& chunk, const RiffChunk* parent, std::uint32_t findId) {
    std::int64_t offset = tell();
    if (offset < 0)
        return false;
    const std::int64_t parentEnd =
        parent ? static_cast<std::int64_t>(parent->dataOffset) + parent->size : kMaxFileSize;
    // Every step moves at least one header forward, so a search ends at the
    // parent's end or the file's end whatever the sizes claim.
    while (offset + 8 <= parentEnd) {
        RiffChunk candidate;
        if (!readHeaderAt(offset, candidate))
            return false;
        if (findId == 0 || candidate.id == findId) {
            chunk = candidate;
            return true;
        }
        offset = static_cast<std::int64_t>(candidate.dataOffset) + candidate.size + (candidate.size & 1);
    }
    return false;
}

bool RiffFile::ascend(RiffChunk& chunk) {
    if (chunk.created) {
        const std::int64_t end = tell();
        if (end < chunk.dataOffset)
            return false;
        const std::int64_t length = end - chunk.dataOffset;
        if (length & 1) {
            const unsigned char pad = 0;
            if (write(&pad, 1) != 1)
                return false;
        }
        unsigned char sizeBytes[4];
        put32(sizeBytes, static_cast<std::uint32_t>(length));
        if (seek(static_cast<std::int64_t>(chunk.dataOffset) - 4, SEEK_SET) < 0 || write(sizeBytes, 4) != 4)
            return false;
        chunk.size = static_cast<std::uint32_t>(length);
        chunk.created = false;
        return seek(end + (length & 1), SEEK_SET) >= 0;
    }
    // A chunk that claims to end beyond the file's end cannot be left.
    const std::int64_t end = static_cast<std::int64_t>(chunk.dataOffset) + chunk.size;
    if (end > size())
        return false;
    const std::int64_t padded = end + (chunk.size & 1);
    return seek(padded <= size() ? padded : end, SEEK_SET) >= 0;
}

bool RiffFile::createChunk(RiffChunk& chunk) {
    const std::int64_t offset = tell();
    if (offset < 0)
        return false;
    unsigned char header[12];
    put32(header, chunk.id);
    put32(header + 4, chunk.size);
    put32(header + 8, chunk.formType);
    const std::int64_t length = hasFormType(chunk.id) ? 12 : 8;
    if (write(header, length) != length)
        return false;
    chunk.dataOffset = static_cast<std::uint32_t>(offset + 8);
    chunk.created = true;
    return true;
}

bool RiffFile::flush() { return std::fflush(file) == 0; }

bool RiffFile::good() const { return std::ferror(file) == 0; }

} // namespace sarnel
