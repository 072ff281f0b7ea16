#include "TPCMWaveReader.h"

#include "FileError.h"
#include "WaveMessages.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace sarnel {
namespace {

using namespace wave_messages;

[[noreturn]] void raise(const char* message) { throw FileError(message); }

// No codec needs buffers this large for ~20000 PCM bytes; a larger answer is
// taken as a failed recommendation rather than allocated.
constexpr std::uint32_t kMaxBufferBytes = 16u << 20;
// No codec expands its data more than this (GSM, the widest common one,
// expands 65 bytes to 640).
constexpr std::uint64_t kMaxExpansion = 64;

std::vector<std::uint8_t> allocateBytes(std::size_t count) {
    try {
        return std::vector<std::uint8_t>(count);
    } catch (const std::bad_alloc&) {
        raise(kOutOfMemory);
    }
}

} // namespace

TPCMWaveReader::TPCMWaveReader(TWaveStream& source, std::unique_ptr<CompressedWaveDecoder> decoder)
    : stream(source) {
    const WaveFormat& format = stream.format();
    if (format.isUncompressed()) {
        pcm = format;
        layout = PcmLayout::fromFormat(pcm);
        blockFrames = 1;
    } else {
        openConversion(std::move(decoder));
    }
    const std::int64_t frames = static_cast<std::int64_t>(blockFrames) * stream.frameCount();
    if (frames * layout.channels > INT32_MAX)
        raise(kSampleTooLarge);
    total = static_cast<std::int32_t>(frames);
    bufferFrames = 0;
}

TPCMWaveReader::~TPCMWaveReader() = default;

void TPCMWaveReader::openConversion(std::unique_ptr<CompressedWaveDecoder> decoder) {
    acmStream = decoder ? std::move(decoder) : makeCompressedWaveDecoder();
    const WaveFormat& source = stream.format();
    pcm = WaveFormat{};
    pcm.formatTag = WaveFormat::kTagPcm;
    // The engine reads the channel count from the file, so the PCM frames
    // must carry the same channels.
    if (!acmStream->suggestPcmFormat(source, pcm) || pcm.channels != source.channels)
        raise(kError26);
    pcm.formatTag = WaveFormat::kTagPcm;
    pcm.extraSize = 0;
    pcm.extra.clear();
    layout = PcmLayout::fromFormat(pcm);
    if (!acmStream->open(source, pcm))
        raise(kError27);
    sizeBuffers();
    sourceBuffer = allocateBytes(sourceBytes);
    pcmBuffer = allocateBytes(pcmBytes);
    if (!acmStream->prepareBuffers(sourceBuffer.data(), sourceBytes, pcmBuffer.data(), pcmBytes))
        raise(kError28);
    const std::int64_t perBlock = (static_cast<std::int64_t>(pcmBytes) * source.blockAlign) /
                                  (static_cast<std::int64_t>(sourceBytes) * pcm.blockAlign);
    if (perBlock > INT32_MAX)
        raise(kSampleTooLarge);
    // Sizes that give less than one PCM frame per source block would load a
    // file full of blocks as an empty sample.
    if (perBlock == 0)
        raise(kError31);
    blockFrames = static_cast<std::int32_t>(perBlock);
}

void TPCMWaveReader::sizeBuffers() {
    using Direction = CompressedWaveDecoder::SizeDirection;
    const std::uint32_t sourceAlign = stream.format().blockAlign;
    std::uint32_t pcmPerBlock = 0;
    if (!acmStream->streamSize(sourceAlign, Direction::sourceToPcm, pcmPerBlock) || pcmPerBlock == 0 ||
        pcmPerBlock > kMaxBufferBytes || pcmPerBlock > kMaxExpansion * sourceAlign)
        raise(kError29);
    std::uint32_t sourcePerBlock = 0;
    if (!acmStream->streamSize(pcmPerBlock, Direction::pcmToSource, sourcePerBlock) || sourcePerBlock == 0 ||
        sourcePerBlock > kMaxBufferBytes)
        raise(kError30);
    conversionBlocks = std::max<std::int32_t>(1, targetBytes / static_cast<std::int32_t>(pcmPerBlock));
    const std::uint64_t sourceTotal = static_cast<std::uint64_t>(conversionBlocks) * sourcePerBlock;
    // The source buffer must hold at least one whole block.
    if (sourceTotal > kMaxBufferBytes || sourceTotal < sourceAlign)
        raise(kError30);
    sourceBytes = static_cast<std::uint32_t>(sourceTotal);
    blocksPerRead = static_cast<std::int32_t>(std::min<std::uint64_t>(conversionBlocks, sourceTotal / sourceAlign));
    if (!acmStream->streamSize(sourceBytes, Direction::sourceToPcm, pcmBytes) || pcmBytes == 0 ||
        pcmBytes > kMaxBufferBytes || pcmBytes > kMaxExpansion * sourceBytes)
        raise(kError31);
}

void TPCMWaveReader::convert(std::int32_t block) {
    stream.seekFrames(block, TWaveStream::fromDataStart);
    const std::int32_t blocks = std::min(blocksPerRead, stream.frameCount() - block);
    std::uint32_t used = 0;
    std::int32_t got = 0;
    if (blocks > 0) {
        got = stream.readFrames(sourceBuffer.data(), blocks);
        const std::uint32_t length = static_cast<std::uint32_t>(got) * stream.format().blockAlign;
        if (!acmStream->convert(length, used))
            raise(kError34);
    }
    bufferFrames = static_cast<std::int32_t>(std::min(used, pcmBytes) / pcm.blockAlign);
    bufferStart = block * blockFrames;
    // Even a conversion of nothing uses up its block: it is not tried again.
    unconvertedBlock = block + std::max<std::int32_t>(got, 1);
}

// GUI thread.
std::int32_t TPCMWaveReader::read(std::uint8_t* buffer, std::int32_t n) {
    n = std::min(n, total - position);
    if (n <= 0)
        return 0;
    const std::int32_t frameBytes = pcm.blockAlign;
    if (!acmStream) {
        stream.seekFrames(position, TWaveStream::fromDataStart);
        const std::int32_t got = stream.readFrames(buffer, n);
        position += got;
        return got;
    }
    std::int32_t delivered = 0;
    while (delivered < n) {
        const std::int32_t next = position + delivered;
        if (next < bufferStart || next >= bufferStart + bufferFrames) {
            const std::int32_t block = next / blockFrames;
            // The frame lies in blocks already converted: the decoder gave
            // fewer frames than they hold, and converting them again would
            // give no more. The rest stays silent. So every conversion starts
            // on blocks not converted before, and there are never more
            // conversions than the file has blocks.
            if (block < unconvertedBlock && next >= bufferStart)
                break;
            convert(block);
            if (next < bufferStart)
                raise(kError33);
        }
        const std::int32_t available = bufferStart + bufferFrames - next;
        // A conversion that yields nothing for this frame ends the read.
        if (available <= 0)
            break;
        const std::int32_t count = std::min(available, n - delivered);
        std::memcpy(buffer + static_cast<std::size_t>(delivered) * frameBytes,
                    pcmBuffer.data() + static_cast<std::size_t>(next - bufferStart) * frameBytes,
                    static_cast<std::size_t>(count) * frameBytes);
        delivered += count;
    }
    position += delivered;
    return delivered;
}

// GUI thread.
std::vector<float> TPCMWaveReader::readAll(bool mixToMono) {
    const std::int32_t valuesPerFrame = mixToMono ? 1 : layout.channels;
    const std::size_t count = static_cast<std::size_t>(total) * static_cast<std::size_t>(valuesPerFrame);
    std::vector<float> result;
    try {
        result.assign(count, 0.0f);
    } catch (const std::bad_alloc&) {
        raise(kOutOfMemory);
    }
    const std::int32_t frameBytes = pcm.blockAlign;
    const std::int32_t framesPerPass = std::clamp(kWorkBufferBytes / frameBytes, 1, kFramesPerRead);
    std::vector<std::uint8_t> work =
        allocateBytes(static_cast<std::size_t>(std::max(kWorkBufferBytes, framesPerPass * frameBytes)));
    std::size_t written = 0;
    for (;;) {
        const std::int32_t got = read(work.data(), framesPerPass);
        if (got <= 0)
            break;
        const std::size_t values = static_cast<std::size_t>(got) * static_cast<std::size_t>(valuesPerFrame);
        if (values > count - written)
            break; // cannot happen: read never passes totalFrames
        layout.convert(work.data(), got, mixToMono, result.data() + written);
        written += values;
    }
    samples = static_cast<std::int32_t>(count);
    return result;
}

} // namespace sarnel
