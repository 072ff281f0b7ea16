// Compressed wave formats on targets without the Windows audio compression
// manager, decoded with libsndfile. libsndfile reads a WAV file of our making
// in memory: our header, then the blocks the reader hands over conversion by
// conversion. One decoder runs through all conversions, so codecs that carry
// state from block to block (GSM 6.10) decode as one stream, as they do with
// the compression manager. RIFF parsing of the real file stays ours.
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

void putCode(std::vector<std::uint8_t>& out, const char* code) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(code[i]));
}

// A chunk of odd size is followed by one pad byte.
std::uint32_t padded(std::uint32_t chunkLength) { return chunkLength + (chunkLength & 1); }

// 'RIFF', 'fmt ' with the source format, and the header of a 'data' chunk of
// `dataLength` bytes (plus its pad byte, which the file holds as well).
std::vector<std::uint8_t> waveHeader(const WaveFormat& format, std::uint32_t dataLength) {
    const std::vector<std::uint8_t> formatBytes = format.toBytes();
    const std::uint32_t formatLength = static_cast<std::uint32_t>(formatBytes.size());
    const std::uint32_t formatPadded = padded(formatLength);
    std::vector<std::uint8_t> head;
    head.reserve(28 + formatPadded);
    putCode(head, "RIFF");
    put32(head, 4 + 8 + formatPadded + 8 + padded(dataLength));
    putCode(head, "WAVE");
    putCode(head, "fmt ");
    put32(head, formatLength);
    head.insert(head.end(), formatBytes.begin(), formatBytes.end());
    if (formatLength & 1)
        head.push_back(0);
    putCode(head, "data");
    put32(head, dataLength);
    return head;
}

// A read-only file: a header, then a data region of which only the part
// handed over last can be read (earlier parts are gone, later ones not yet
// there).
//
// The file ends after the data chunk's pad byte. libsndfile's chunk parser
// skips the data chunk with its pad and reads on from there; were the file one
// byte shorter, that seek would fail and the parser would read on from the
// start of the data instead, taking sample bytes for chunks (a 'LIST' of 4 GB
// there keeps it busy for minutes).
struct MemoryWave {
    std::vector<std::uint8_t> head;
    sf_count_t dataLength = 0; // an odd length has a pad byte after it
    const std::uint8_t* window = nullptr; // the readable part of the data
    sf_count_t windowStart = 0;           // its offset within the data
    sf_count_t windowLength = 0;
    sf_count_t position = 0;

    sf_count_t headLength() const { return static_cast<sf_count_t>(head.size()); }
    sf_count_t length() const { return headLength() + dataLength + (dataLength & 1); }
};

constexpr std::uint16_t kTagALaw = 6;
constexpr std::uint16_t kTagMuLaw = 7;

bool isG711(std::uint16_t tag) { return tag == kTagALaw || tag == kTagMuLaw; }

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
    if (count <= 0)
        return 0;
    if (file->position < file->headLength()) {
        const sf_count_t chunk = std::min(count, file->headLength() - file->position);
        std::memcpy(out, file->head.data() + file->position, static_cast<std::size_t>(chunk));
        done += chunk;
        file->position += chunk;
    }
    const sf_count_t dataPosition = file->position - file->headLength();
    const sf_count_t windowEnd = file->windowStart + file->windowLength;
    if (done < count && dataPosition >= file->windowStart && dataPosition < windowEnd) {
        const sf_count_t chunk = std::min(count - done, windowEnd - dataPosition);
        std::memcpy(out + done, file->window + (dataPosition - file->windowStart), static_cast<std::size_t>(chunk));
        done += chunk;
        file->position += chunk;
    }
    return done;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t memoryTell(void* user) { return static_cast<MemoryWave*>(user)->position; }

SF_VIRTUAL_IO memoryIo() { return SF_VIRTUAL_IO{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell}; }

class SndfileDecoder final : public CompressedWaveDecoder {
public:
    ~SndfileDecoder() override {
        if (sound)
            sf_close(sound);
    }

    bool suggestPcmFormat(const WaveFormat& source, WaveFormat& pcm) override {
        if (source.blockAlign == 0 || source.channels == 0)
            return false;
        sourceFormat = source;
        // Two silent blocks tell what a block holds. (libsndfile decodes GSM
        // 6.10 blocks in pairs: a lone block comes out twice as long.)
        if (!probeFramesPerBlock())
            return false;
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
        // libsndfile reads G.711 bytes whatever width the header claims; the
        // compression manager converts only the 8-bit codes these formats are.
        if (isG711(source.formatTag) && source.bitsPerSample != 8)
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
        scratch.resize(pcmBytes / sizeof(short));
        return true;
    }

    bool convert(std::uint32_t sourceLength, std::uint32_t& pcmBytesUsed) override {
        pcmBytesUsed = 0;
        if (!sourceBuffer || sourceLength > sourceCapacity)
            return false;
        stream.window = sourceBuffer;
        stream.windowStart += stream.windowLength;
        stream.windowLength = sourceLength;
        // The decoder starts on the first blocks: libsndfile reads the first
        // block while it opens.
        if (!sound && !openStream())
            return false;
        if (stream.windowStart + sourceLength > stream.dataLength)
            return false;
        const sf_count_t wanted =
            std::min<sf_count_t>(static_cast<sf_count_t>(sourceLength / sourceFormat.blockAlign) * framesPerBlock,
                                 pcmCapacity / pcmFrameBytes);
        const sf_count_t got = wanted > 0 ? sf_readf_short(sound, scratch.data(), wanted) : 0;
        if (got < 0)
            return false;
        // PCM frames are little-endian 16-bit values whatever the host order.
        std::uint8_t* out = pcmBuffer;
        for (sf_count_t i = 0; i < got * sourceFormat.channels; ++i) {
            const auto value = static_cast<std::uint16_t>(scratch[static_cast<std::size_t>(i)]);
            *out++ = static_cast<std::uint8_t>(value & 0xFF);
            *out++ = static_cast<std::uint8_t>(value >> 8);
        }
        pcmBytesUsed = static_cast<std::uint32_t>(got * pcmFrameBytes);
        return true;
    }

private:
    bool probeFramesPerBlock() {
        const std::vector<std::uint8_t> silence(2u * sourceFormat.blockAlign, 0);
        MemoryWave probe;
        probe.head = waveHeader(sourceFormat, static_cast<std::uint32_t>(silence.size()));
        probe.dataLength = static_cast<sf_count_t>(silence.size());
        probe.window = silence.data();
        probe.windowLength = probe.dataLength;
        SF_VIRTUAL_IO io = memoryIo();
        SF_INFO info{};
        SNDFILE* probeSound = sf_open_virtual(&io, SFM_READ, &info, &probe);
        if (!probeSound)
            return false;
        sf_count_t frames = 0;
        if (info.channels == sourceFormat.channels) {
            // A lying header must not make the probe run on: a block decodes
            // to at most this many frames here.
            constexpr sf_count_t kMaxFramesPerBlock = 1 << 16;
            std::vector<short> piece(4096u * static_cast<std::size_t>(info.channels));
            for (;;) {
                const sf_count_t got = sf_readf_short(probeSound, piece.data(), 4096);
                if (got <= 0)
                    break;
                frames += got;
                if (frames > 2 * kMaxFramesPerBlock) {
                    frames = 0;
                    break;
                }
            }
        }
        sf_close(probeSound);
        framesPerBlock = static_cast<std::uint32_t>(frames / 2);
        return framesPerBlock > 0;
    }

    bool openStream() {
        // As many blocks as the reader may ever hand over: a file below
        // 2 GiB whose frames × channels stay within 32 bits (libsndfile
        // refuses files that announce more frames than that).
        const std::uint32_t blockLimit =
            std::min<std::uint32_t>(0x7FFF0000u / sourceFormat.blockAlign,
                                    (0x7FFFFFFFu / sourceFormat.channels) / framesPerBlock);
        const std::uint32_t dataLength = blockLimit * sourceFormat.blockAlign;
        stream.head = waveHeader(sourceFormat, dataLength);
        stream.dataLength = dataLength;
        stream.position = 0;
        SF_INFO info{};
        sound = sf_open_virtual(&streamIo, SFM_READ, &info, &stream);
        if (sound && info.channels != sourceFormat.channels) {
            sf_close(sound);
            sound = nullptr;
        }
        return sound != nullptr;
    }

    WaveFormat sourceFormat;
    std::uint32_t framesPerBlock = 0;
    std::uint32_t pcmFrameBytes = 0;
    std::uint8_t* sourceBuffer = nullptr;
    std::uint32_t sourceCapacity = 0;
    std::uint8_t* pcmBuffer = nullptr;
    std::uint32_t pcmCapacity = 0;
    std::vector<short> scratch;
    MemoryWave stream;
    // Kept for the life of the decoder, like everything libsndfile may call.
    SF_VIRTUAL_IO streamIo = memoryIo();
    SNDFILE* sound = nullptr;
};

} // namespace

std::unique_ptr<CompressedWaveDecoder> makeCompressedWaveDecoder() { return std::make_unique<SndfileDecoder>(); }

} // namespace sarnel
