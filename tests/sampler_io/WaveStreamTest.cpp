#include "sampler/io/FileError.h"
#include "sampler/io/ReadWaveFile.h"
#include "sampler/io/TFileWaveStream.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#if defined(__linux__)
#include <csignal>
#include <sys/resource.h>
#endif

using sarnel::FileError;
using sarnel::TFileWaveStream;
using sarnel::TWaveStream;
using sarnel::WaveFormat;
using sarnel::test::Bytes;
using sarnel::test::fmtBody;
using sarnel::test::readFileBytes;
using sarnel::test::simpleWave;
using sarnel::test::TempDir;

namespace {

WaveFormat pcm16(std::uint16_t channels) {
    WaveFormat format;
    format.formatTag = WaveFormat::kTagPcm;
    format.channels = channels;
    format.samplesPerSec = 22050;
    format.blockAlign = static_cast<std::uint16_t>(2 * channels);
    format.avgBytesPerSec = 22050u * format.blockAlign;
    format.bitsPerSample = 16;
    return format;
}

template <typename Action> std::string errorOf(Action action) {
    try {
        action();
    } catch (const FileError& error) {
        return error.what();
    }
    return "(no error)";
}

} // namespace

TEST(WaveStreamWriting, WritesAFileThatReadsBack) {
    TempDir dir;
    const std::string path = dir.path("w.wav");
    const auto frames = Bytes().i16(32767).i16(-32768).i16(0).i16(100).i16(-5).i16(7).data;
    {
        const WaveFormat format = pcm16(2);
        TFileWaveStream stream(path, &format);
        EXPECT_EQ(stream.writeFrames(frames.data(), 2), 2);
        EXPECT_EQ(stream.writeFrames(frames.data() + 8, 1), 1);
        stream.close();
    }
    // 'fmt ' holds the 18-byte record (extra size 0), the sizes are fixed.
    const auto expected = simpleWave(Bytes().append(fmtBody(1, 2, 22050, 4, 16)).u16(0).data, frames);
    EXPECT_EQ(readFileBytes(path), expected);

    const sarnel::WaveFileData data = sarnel::readWaveFile(path);
    EXPECT_EQ(data.floatCount, 6);
    EXPECT_EQ(data.samples[0], 1.0f);
    EXPECT_EQ(data.samples[1], -1.0f);
    EXPECT_EQ(data.sampleRate, 22050);
}

TEST(WaveStreamWriting, OddSizedChunksArePaddedAndTheDestructorFinishes) {
    TempDir dir;
    const std::string path = dir.path("odd.wav");
    WaveFormat format = pcm16(1);
    format.formatTag = 0x0055; // any tag: extra bytes are written as given
    format.extra = {7};
    format.blockAlign = 1;
    format.avgBytesPerSec = 22050;
    {
        TFileWaveStream stream(path, &format);
        const std::uint8_t bytes[3] = {1, 2, 3};
        EXPECT_EQ(stream.writeFrames(bytes, 3), 3);
    } // no close: the destructor fixes the sizes
    const auto file = readFileBytes(path);
    const auto fmt = Bytes().append(fmtBody(0x55, 1, 22050, 1, 16)).u16(1).u8(7).data; // 19 bytes
    const auto expected = sarnel::test::riffWave(Bytes().chunk("fmt ", fmt).chunk("data", {1, 2, 3}).data);
    EXPECT_EQ(file, expected);
}

TEST(WaveStreamReading, SeekFramesCountsFromTheDataStart) {
    TempDir dir;
    const auto samples = Bytes().i16(1).i16(2).i16(3).i16(4).i16(5).data;
    const std::string path = dir.write("s.wav", simpleWave(fmtBody(1, 1, 8000, 2, 16), samples));
    TFileWaveStream stream(path, nullptr);
    EXPECT_EQ(stream.dataStart(), 44);
    EXPECT_EQ(stream.frameCount(), 5);
    EXPECT_EQ(stream.frameCount2(), 5);
    EXPECT_EQ(stream.fileSize(), 54);
    EXPECT_EQ(stream.seekFrames(3, TWaveStream::fromDataStart), 3);
    std::int16_t value = 0;
    EXPECT_EQ(stream.readFrames(&value, 1), 1);
    EXPECT_EQ(value, 4);
    EXPECT_EQ(stream.seekFrames(-2, TWaveStream::fromCurrent), 2);
    EXPECT_EQ(stream.seekFrames(-1, TWaveStream::fromEnd), 4);
    std::int16_t rest[4] = {};
    EXPECT_EQ(stream.readFrames(rest, 4), 1); // the end of the file
    EXPECT_EQ(rest[0], 5);
    EXPECT_EQ(errorOf([&] { stream.seekFrames(-1, TWaveStream::fromDataStart); }), "Error 10: Cannot seek in file.");
    EXPECT_EQ(errorOf([&] { stream.seekFrames(-100, TWaveStream::fromEnd); }), "Error 10: Cannot seek in file.");
}

TEST(WaveStreamErrors, FilesThatCannotBeOpened) {
    TempDir dir;
    EXPECT_EQ(errorOf([&] { TFileWaveStream stream(dir.path("missing.wav"), nullptr); }),
              "Error 25: Cannot open file stream.");
    const WaveFormat format = pcm16(1);
    EXPECT_EQ(errorOf([&] { TFileWaveStream stream(dir.path("no/such/folder.wav"), &format); }),
              "Error 25: Cannot open file stream.");
}

#if defined(__linux__)
// Writes that fail at a chosen file size: the process's file-size limit makes
// every write beyond it fail (SIGXFSZ ignored), which reaches each numbered
// writing message in turn.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

TEST(WaveStreamErrors, EveryWritingStepReportsItsOwnNumber) {
    TempDir dir;
    WaveFormat odd = pcm16(1);
    odd.extra = {9}; // a 19-byte format: ascending out of 'fmt ' writes a pad byte
    const auto writeWith = [&](rlim_t limit) {
        return errorOf([&] {
            FileSizeLimit guard(limit);
            TFileWaveStream stream(dir.path("limited.wav"), &odd);
            const std::uint8_t frame[2] = {1, 2};
            stream.writeFrames(frame, 1);
            stream.close();
        });
    };
    EXPECT_EQ(writeWith(4), "Error 01: Cannot create chunk.");
    EXPECT_EQ(writeWith(14), "Error 02: Cannot create chunk.");
    EXPECT_EQ(writeWith(30), "Error 03: Cannot write wave format.");
    EXPECT_EQ(writeWith(12 + 8 + 19), "Error 04: Cannot ascend chunk.");
    EXPECT_EQ(writeWith(12 + 8 + 20 + 4), "Error 05: Cannot create chunk.");
    EXPECT_EQ(writeWith(12 + 8 + 20 + 8 + 1), "Error 11: Cannot write to file.");
    EXPECT_EQ(writeWith(1 << 20), "(no error)");
}
#endif
