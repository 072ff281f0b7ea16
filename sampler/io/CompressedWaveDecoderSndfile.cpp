// Compressed wave formats on targets without the Windows audio compression
// manager, decoded with libsndfile. Each conversion hands libsndfile a small
// WAV file in memory: our header around the blocks to convert. So the reader
// keeps its own block-wise conversion, and RIFF parsing stays ours.
#include "CompressedWaveDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace sarnel {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

void putCode(std::vector<std::uint8_t>& out, const char* code) { out.insert(out.end(), code, code + 4); }

// A read-only file made of a header followed by a data region.
struct MemoryWave {
    const std::uint8_t* head = nullptr;
    sf_count_t headLength = 0;
    const std::uint8_t* data = nullptr;
    sf_count_t dataLength = 0;
    sf_count_t position = 0;

    sf_count_t length() const { return headLength + dataLength; }
};

sf_count_t memoryLength(void* user) { return static_cast<MemoryWave*>(user)->length(); }

sf_count_t memorySeek(sf_count_t offset, int whence, void* user) {
    auto* file = static_cast<MemoryWave*>(user);
    sf_count_t target = offset;
    if (whence == SEEK_CUR)
        target += file->position;
    else if (whence == SEEK_END)
        target += file->length();
    if (target < 0 || target > file->length())
        return -1;
    file->position = target;
    return target;
}

sf_count_t memoryRead(void* buffer, sf_count_t count, void* user) {
    auto* file = static_cast<MemoryWave*>(user);
    auto* out = static_cast<std::uint8_t*>(buffer);
    sf_count_t done = 0;
    while (done < count && file->position < file->length()) {
        const bool inHead = file->position < file->headLength;
        const std::uint8_t* region = inHead ? file->head : file->data;
        const sf_count_t regionStart = inHead ? 0 : file->headLength;
        const sf_count_t regionEnd = inHead ? file->headLength : file->length();
        const sf_count_t chunk = std::min(count - done, regionEnd - file->position);
        std::memcpy(out + done, region + (file->position - regionStart), static_cast<std::size_t>(chunk));
        done += chunk;
        file->position += chunk;
    }
    return done;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t memoryTell(void* user) { return static_cast<MemoryWave*>(user)->position; }

class SndfileDecoder final : public CompressedWaveDecoder {
public:
    bool suggestPcmFormat(const WaveFormat& source, WaveFormat& pcm) override {
        if (source.blockAlign == 0 || source.channels == 0)
            return false;
        sourceFormat = source;
        // Decode one silent block to learn what a block holds.
        const std::vector<std::uint8_t> silentBlock(source.blockAlign, 0);
        std::vector<short> decoded;
        SF_INFO info{};
        if (!decode(silentBlock.data(), source.blockAlign, info, decoded) || info.frames <= 0 ||
            info.channels != source.channels)
            return false;
        framesPerBlock = static_cast<std::uint32_t>(std::min<sf_count_t>(info.frames, 1 << 20));
        pcm.formatTag = WaveFormat::kTagPcm;
        pcm.channels = source.channels;
        pcm.samplesPerSec = source.samplesPerSec;
        pcm.bitsPerSample = 16;
        pcm.blockAlign = static_cast<std::uint16_t>(source.channels * 2);
        pcm.avgBytesPerSec = source.samplesPerSec * pcm.blockAlign;
        pcm.extraSize = 0;
        return true;
    }

    bool open(const WaveFormat& source, const WaveFormat& pcm) override {
        if (framesPerBlock == 0 || source.blockAlign != sourceFormat.blockAlign || pcm.bitsPerSample != 16 ||
            pcm.channels != source.channels)
            return false;
        pcmFrameBytes = pcm.blockAlign;
        return true;
    }

    bool streamSize(std::uint32_t bytes, SizeDirection direction, std::uint32_t& result) override {
        if (pcmFrameBytes == 0)
            return false;
        const std::uint64_t sourceBlock = sourceFormat.blockAlign;
        const std::uint64_t pcmBlock = static_cast<std::uint64_t>(framesPerBlock) * pcmFrameBytes;
        const std::uint64_t size = direction == SizeDirection::sourceToPcm ? (bytes / sourceBlock) * pcmBlock
                                                                           : (bytes / pcmBlock) * sourceBlock;
        if (size > UINT32_MAX)
            return false;
        result = static_cast<std::uint32_t>(size);
        return true;
    }

    bool prepareBuffers(std::uint8_t* source, std::uint32_t sourceBytes, std::uint8_t* pcm,
                        std::uint32_t pcmBytes) override {
        if (!source || !pcm || pcmFrameBytes == 0)
            return false;
        sourceBuffer = source;
        sourceCapacity = sourceBytes;
        pcmBuffer = pcm;
        pcmCapacity = pcmBytes;
        return true;
    }

    bool convert(std::uint32_t sourceLength, std::uint32_t& pcmBytesUsed) override {
        pcmBytesUsed = 0;
        if (!sourceBuffer || sourceLength > sourceCapacity)
            return false;
        SF_INFO info{};
        if (!decode(sourceBuffer, sourceLength, info, decodedScratch))
            return false;
        const std::size_t frames =
            std::min<std::size_t>(decodedScratch.size() / sourceFormat.channels, pcmCapacity / pcmFrameBytes);
        // PCM frames are little-endian 16-bit values whatever the host order.
        std::uint8_t* out = pcmBuffer;
        for (std::size_t i = 0; i < frames * sourceFormat.channels; ++i) {
            const auto value = static_cast<std::uint16_t>(decodedScratch[i]);
            *out++ = static_cast<std::uint8_t>(value & 0xFF);
            *out++ = static_cast<std::uint8_t>(value >> 8);
        }
        pcmBytesUsed = static_cast<std::uint32_t>(frames * pcmFrameBytes);
        return true;
    }

private:
    // Decodes `length` bytes of blocks with libsndfile into `decoded`.
    bool decode(const std::uint8_t* blocks, std::uint32_t length, SF_INFO& info, std::vector<short>& decoded) {
        const std::vector<std::uint8_t> format = sourceFormat.toBytes();
        const std::uint32_t formatLength = static_cast<std::uint32_t>(format.size());
        const std::uint32_t formatPadded = formatLength + (formatLength & 1);
        std::vector<std::uint8_t> head;
        putCode(head, "RIFF");
        put32(head, 4 + 8 + formatPadded + 8 + length);
        putCode(head, "WAVE");
        putCode(head, "fmt ");
        put32(head, formatLength);
        head.insert(head.end(), format.begin(), format.end());
        if (formatLength & 1)
            head.push_back(0);
        putCode(head, "data");
        put32(head, length);

        MemoryWave file;
        file.head = head.data();
        file.headLength = static_cast<sf_count_t>(head.size());
        file.data = blocks;
        file.dataLength = length;
        SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
        info = SF_INFO{};
        SNDFILE* sound = sf_open_virtual(&io, SFM_READ, &info, &file);
        if (!sound)
            return false;
        bool ok = info.channels == sourceFormat.channels && info.frames >= 0;
        decoded.clear();
        if (ok) {
            // The decoder may report a little more or less than it delivers;
            // read in pieces until it stops.
            constexpr sf_count_t kPiece = 4096;
            std::vector<short> piece(static_cast<std::size_t>(kPiece) * static_cast<std::size_t>(info.channels));
            const std::size_t limit = static_cast<std::size_t>(framesPerBlockLimit(length)) * info.channels;
            for (;;) {
                const sf_count_t got = sf_readf_short(sound, piece.data(), kPiece);
                if (got <= 0)
                    break;
                decoded.insert(decoded.end(), piece.begin(), piece.begin() + got * info.channels);
                if (decoded.size() >= limit)
                    break;
            }
        }
        sf_close(sound);
        return ok;
    }

    // No more frames than the blocks can hold, so a lying header cannot make
    // a conversion grow without bound.
    std::uint64_t framesPerBlockLimit(std::uint32_t length) const {
        const std::uint64_t blocks = length / sourceFormat.blockAlign + 1;
        const std::uint64_t perBlock = framesPerBlock ? framesPerBlock : (1u << 20);
        return blocks * perBlock;
    }

    WaveFormat sourceFormat;
    std::uint32_t framesPerBlock = 0;
    std::uint32_t pcmFrameBytes = 0;
    std::uint8_t* sourceBuffer = nullptr;
    std::uint32_t sourceCapacity = 0;
    std::uint8_t* pcmBuffer = nullptr;
    std::uint32_t pcmCapacity = 0;
    std::vector<short> decodedScratch;
};

} // namespace

std::unique_ptr<CompressedWaveDecoder> makeCompressedWaveDecoder() { return std::make_unique<SndfileDecoder>(); }

} // namespace sarnel
