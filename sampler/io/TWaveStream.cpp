#include "TWaveStream.h"

#include "FileError.h"
#include "WaveMessages.h"

#include <algorithm>

namespace sarnel {
namespace {

using namespace wave_messages;

constexpr std::uint32_t kRiffId = riffCode("RIFF");
constexpr std::uint32_t kWaveForm = riffCode("WAVE");
constexpr std::uint32_t kFmtId = riffCode("fmt ");
constexpr std::uint32_t kDataId = riffCode("data");

[[noreturn]] void raise(const char* message) { throw FileError(message); }

} // namespace

TWaveStream::TWaveStream(RiffFile& file, const WaveFormat* writeFormat) : handle(file) {
    if (writeFormat)
        startWriting(*writeFormat);
    else
        parse();
}

TWaveStream::~TWaveStream() {
    try {
        close();
    } catch (const FileError&) {
        // A destructor cannot report; callers that care call close first.
    }
}

void TWaveStream::parse() {
    fileBytes = static_cast<std::int32_t>(handle.size());

    if (!handle.descend(riff, nullptr))
        raise(kError12);
    if (riff.id != kRiffId || riff.formType != kWaveForm)
        raise(kError13);
    if (!handle.descend(chunk, &riff, kFmtId))
        raise(kError14);
    if (chunk.size < 16)
        raise(kError15);

    std::uint8_t base[16];
    if (handle.read(base, 16) != 16)
        raise(kError16);
    formatRecord = WaveFormat::fromBaseBytes(base);

    const std::uint16_t tag = formatRecord.formatTag;
    if (tag != WaveFormat::kTagPcm && tag != WaveFormat::kTagIeeeFloat) {
        // The extra size is read only from inside the 'fmt ' chunk: some
        // writers leave it out of 16-byte chunks, and the next chunk's id is
        // no length.
        if (chunk.size >= WaveFormat::kBaseSize) {
            std::uint8_t sizeBytes[2];
            if (handle.read(sizeBytes, 2) != 2)
                raise(kError17);
            formatRecord.extraSize = static_cast<std::uint16_t>(sizeBytes[0] | (sizeBytes[1] << 8));
        }
    }
    if (formatRecord.extraSize > 0) {
        if (formatRecord.extraSize > chunk.size - WaveFormat::kBaseSize)
            raise(kError18);
        formatRecord.extra.resize(formatRecord.extraSize);
        if (handle.read(formatRecord.extra.data(), formatRecord.extraSize) != formatRecord.extraSize)
            raise(kError18);
    }
    if (tag == WaveFormat::kTagMpegLayer3)
        raise(kError19);
    // Every frame computation divides by these.
    if (formatRecord.channels == 0)
        raise(kNoChannels);
    if (formatRecord.blockAlign == 0)
        raise(kNoBlockAlign);

    if (!handle.ascend(chunk))
        raise(kError20);
    if (handle.seek(static_cast<std::int64_t>(riff.dataOffset) + 4, SEEK_SET) < 0)
        raise(kError21);
    if (!handle.descend(chunk, &riff, kDataId))
        raise(kNoDataChunk);
    if (!handle.good())
        raise(kError22);

    dataStartOffset = static_cast<std::int32_t>(chunk.dataOffset);
    // A size beyond the file's end (a truncated file, or a writer that never
    // fixed the size) counts only the bytes that are there.
    const std::int64_t available = std::max<std::int64_t>(0, handle.size() - chunk.dataOffset);
    const std::int64_t dataBytes = std::min<std::int64_t>(chunk.size, available);
    frames = static_cast<std::int32_t>(dataBytes / formatRecord.blockAlign);
    framesCopy = frames;
    if (handle.seek(dataStartOffset, SEEK_SET) < 0)
        raise(kError10);
}

void TWaveStream::startWriting(const WaveFormat& writeFormat) {
    writing = true;
    riff = RiffChunk{};
    riff.id = kRiffId;
    riff.formType = kWaveForm;
    if (!handle.createChunk(riff))
        raise(kError01);
    chunk = RiffChunk{};
    chunk.id = kFmtId;
    if (!handle.createChunk(chunk))
        raise(kError02);
    WaveFormat stored = writeFormat;
    stored.extraSize = static_cast<std::uint16_t>(stored.extra.size());
    const std::vector<std::uint8_t> bytes = stored.toBytes();
    if (handle.write(bytes.data(), static_cast<std::int64_t>(bytes.size())) !=
        static_cast<std::int64_t>(bytes.size()))
        raise(kError03);
    formatRecord = stored;
    if (!handle.ascend(chunk))
        raise(kError04);
    chunk = RiffChunk{};
    chunk.id = kDataId;
    if (!handle.createChunk(chunk))
        raise(kError05);
    dataStartOffset = static_cast<std::int32_t>(chunk.dataOffset);
}

void TWaveStream::close() {
    if (!writing || closed)
        return;
    closed = true;
    if (handle.seek(0, SEEK_END) < 0 || !handle.ascend(chunk) || !handle.ascend(riff) || !handle.flush())
        raise(kError11);
}

std::int32_t TWaveStream::readFrames(void* buffer, std::int32_t n) {
    const std::int64_t align = formatRecord.blockAlign;
    if (n <= 0 || align == 0)
        return 0;
    const std::int64_t got = handle.read(buffer, n * align);
    if (got < 0)
        raise(kError09);
    return static_cast<std::int32_t>(got / align);
}

std::int32_t TWaveStream::seekFrames(std::int32_t n, SeekOrigin origin) {
    const std::int64_t align = formatRecord.blockAlign;
    if (align == 0)
        raise(kError10);
    std::int64_t target = -1;
    switch (origin) {
    case fromDataStart:
        target = handle.seek(dataStartOffset + n * align, SEEK_SET);
        break;
    case fromCurrent:
        target = handle.seek(n * align, SEEK_CUR);
        break;
    case fromEnd:
        target = handle.seek(n * align, SEEK_END);
        break;
    }
    if (target < 0)
        raise(kError10);
    const std::int64_t position = target - dataStartOffset;
    if (position < 0)
        raise(kError10);
    return static_cast<std::int32_t>(position / align);
}

std::int32_t TWaveStream::writeFrames(const void* buffer, std::int32_t n) {
    const std::int64_t align = formatRecord.blockAlign;
    if (n <= 0 || align == 0)
        return 0;
    const std::int64_t put = handle.write(buffer, n * align);
    if (put < 0)
        raise(kError11);
    return static_cast<std::int32_t>(put / align);
}

} // namespace sarnel
