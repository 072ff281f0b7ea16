#include "sampler/io/CompressedWaveDecoder.h"
#include "sampler/io/FileError.h"
#include "sampler/io/ReadWaveFile.h"
#include "sampler/io/TFileWaveStream.h"
#include "sampler/io/TPCMWaveReader.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using sarnel::CompressedWaveDecoder;
using sarnel::FileError;
using sarnel::TFileWaveStream;
using sarnel::TPCMWaveReader;
using sarnel::WaveFileData;
using sarnel::WaveFormat;
using sarnel::test::Bytes;
using sarnel::test::fmtBody;
using sarnel::test::readFileBytes;
using sarnel::test::simpleWave;
using sarnel::test::TempDir;

namespace {

// --- the committed fixtures (scripts/make-compressed-wav-fixtures.sh) -----

std::string fixture(const std::string& name) {
    return std::string(VORNHALT_TEST_DATA_DIR) + "/sampler_io/" + name;
}

struct RawWave {
    std::vector<std::uint8_t> fmt;
    std::vector<std::uint8_t> data;
    int tag() const { return fmt[0] | fmt[1] << 8; }
    int channels() const { return fmt[2] | fmt[3] << 8; }
    int blockAlign() const { return fmt[12] | fmt[13] << 8; }
    int extra16(int offset) const { return fmt[18 + offset] | fmt[19 + offset] << 8; }
    int blocks() const { return static_cast<int>(data.size()) / blockAlign(); }
};

// A plain chunk walk, independent of the reader under test.
RawWave rawChunks(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readFileBytes(path);
    RawWave raw;
    std::size_t offset = 12;
    while (offset + 8 <= bytes.size()) {
        const std::string id(bytes.begin() + static_cast<long>(offset), bytes.begin() + static_cast<long>(offset) + 4);
        const std::size_t size = bytes[offset + 4] | bytes[offset + 5] << 8 | bytes[offset + 6] << 16 |
                                 static_cast<std::size_t>(bytes[offset + 7]) << 24;
        const auto body = bytes.begin() + static_cast<long>(offset) + 8;
        if (id == "fmt ")
            raw.fmt.assign(body, body + static_cast<long>(size));
        if (id == "data")
            raw.data.assign(body, body + static_cast<long>(size));
        offset += 8 + size + (size & 1);
    }
    return raw;
}

float pcm16ToFloat(int s) { return static_cast<float>(s > 0 ? s / 32767.0 : s / 32768.0); }

// G.711 expansion as the standard defines it.
int ulawToLinear(std::uint8_t code) {
    const int u = static_cast<std::uint8_t>(~code);
    int t = ((u & 0x0F) << 3) + 0x84;
    t <<= (u & 0x70) >> 4;
    return (u & 0x80) ? 0x84 - t : t - 0x84;
}

int alawToLinear(std::uint8_t code) {
    const int a = code ^ 0x55;
    int t = (a & 0x0F) << 4;
    const int segment = (a & 0x70) >> 4;
    if (segment == 0)
        t += 8;
    else {
        t += 0x108;
        if (segment > 1)
            t <<= segment - 1;
    }
    return (a & 0x80) ? t : -t;
}

// IMA ADPCM blocks of WAV files: per channel a header (first sample, step
// index), then groups of 4 bytes per channel with 8 samples each.
std::vector<int> decodeImaBlock(const std::uint8_t* block, int blockAlign, int channels) {
    static const int kSteps[89] = {
        7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
        31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
        130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
        544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
        2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
        9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
    static const int kIndexMoves[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
    const int samplesPerBlock = (blockAlign - 4 * channels) * 8 / (4 * channels) + 1;
    std::vector<int> out(static_cast<std::size_t>(samplesPerBlock * channels));
    for (int c = 0; c < channels; ++c) {
        int predictor = static_cast<std::int16_t>(block[4 * c] | block[4 * c + 1] << 8);
        int index = std::clamp<int>(block[4 * c + 2], 0, 88);
        out[static_cast<std::size_t>(c)] = predictor;
        for (int group = 0; group < (samplesPerBlock - 1) / 8; ++group) {
            const std::uint8_t* bytes = block + 4 * channels + (group * channels + c) * 4;
            for (int k = 0; k < 8; ++k) {
                const int nibble = (bytes[k / 2] >> ((k & 1) * 4)) & 0x0F;
                const int step = kSteps[index];
                int diff = step >> 3;
                if (nibble & 4)
                    diff += step;
                if (nibble & 2)
                    diff += step >> 1;
                if (nibble & 1)
                    diff += step >> 2;
                predictor = std::clamp(nibble & 8 ? predictor - diff : predictor + diff, -32768, 32767);
                index = std::clamp(index + kIndexMoves[nibble & 7], 0, 88);
                out[static_cast<std::size_t>((1 + group * 8 + k) * channels + c)] = predictor;
            }
        }
    }
    return out;
}

// The signal the fixtures were made from.
double sourceSignal(int frame, int channel) {
    const double pi = 3.14159265358979323846;
    return channel == 0 ? 0.5 * std::sin(2.0 * pi * 440.0 * frame / 8000.0)
                        : 0.25 * std::sin(2.0 * pi * 660.0 * frame / 8000.0);
}

constexpr int kSourceFrames = 1000;

double signalToNoiseDb(const WaveFileData& data, int channel) {
    double signal = 0.0;
    double noise = 0.0;
    for (int n = 0; n < kSourceFrames; ++n) {
        const double expected = sourceSignal(n, channel);
        const double error = data.samples[static_cast<std::size_t>(n * data.channels + channel)] - expected;
        signal += expected * expected;
        noise += error * error;
    }
    return 10.0 * std::log10(signal / noise);
}

void expectExact(const WaveFileData& data, const std::vector<int>& pcm) {
    ASSERT_EQ(data.samples.size(), pcm.size());
    for (std::size_t i = 0; i < pcm.size(); ++i)
        ASSERT_EQ(data.samples[i], pcm16ToFloat(pcm[i])) << "float " << i;
}

} // namespace

TEST(CompressedWave, MuLawAndALawDecodeExactly) {
    {
        const RawWave raw = rawChunks(fixture("ulaw_stereo.wav"));
        ASSERT_EQ(raw.tag(), 7);
        const WaveFileData data = sarnel::readWaveFile(fixture("ulaw_stereo.wav"));
        EXPECT_EQ(data.channels, 2);
        EXPECT_EQ(data.sampleRate, 8000);
        std::vector<int> pcm;
        for (const std::uint8_t code : raw.data)
            pcm.push_back(ulawToLinear(code));
        EXPECT_EQ(data.floatCount, 2000);
        expectExact(data, pcm);
    }
    {
        const RawWave raw = rawChunks(fixture("alaw_mono.wav"));
        ASSERT_EQ(raw.tag(), 6);
        const WaveFileData data = sarnel::readWaveFile(fixture("alaw_mono.wav"));
        std::vector<int> pcm;
        for (const std::uint8_t code : raw.data)
            pcm.push_back(alawToLinear(code));
        EXPECT_EQ(data.floatCount, 1000);
        expectExact(data, pcm);
    }
}

TEST(CompressedWave, ImaAdpcmDecodesExactlyBlockByBlock) {
    for (const char* name : {"ima_adpcm_mono.wav", "ima_adpcm_stereo.wav"}) {
        SCOPED_TRACE(name);
        const RawWave raw = rawChunks(fixture(name));
        ASSERT_EQ(raw.tag(), 0x11);
        std::vector<int> pcm;
        for (int b = 0; b < raw.blocks(); ++b) {
            const auto block = decodeImaBlock(raw.data.data() + b * raw.blockAlign(), raw.blockAlign(), raw.channels());
            pcm.insert(pcm.end(), block.begin(), block.end());
        }
        const WaveFileData data = sarnel::readWaveFile(fixture(name));
        EXPECT_EQ(data.channels, raw.channels());
        // ch × frames per block × blocks, frames per block from the header.
        EXPECT_EQ(data.floatCount, raw.channels() * raw.extra16(0) * raw.blocks());
        expectExact(data, pcm);
        for (int c = 0; c < raw.channels(); ++c)
            EXPECT_GT(signalToNoiseDb(data, c), 20.0) << "channel " << c;
    }
}

TEST(CompressedWave, MicrosoftAdpcmFollowsTheSource) {
    for (const char* name : {"ms_adpcm_mono.wav", "ms_adpcm_stereo.wav"}) {
        SCOPED_TRACE(name);
        const RawWave raw = rawChunks(fixture(name));
        ASSERT_EQ(raw.tag(), 2);
        const WaveFileData data = sarnel::readWaveFile(fixture(name));
        EXPECT_EQ(data.floatCount, raw.channels() * raw.extra16(0) * raw.blocks());
        // 4-bit ADPCM of a steady sine: well above 20 dB.
        for (int c = 0; c < raw.channels(); ++c)
            EXPECT_GT(signalToNoiseDb(data, c), 20.0) << "channel " << c;
    }
}

TEST(CompressedWave, Gsm610KeepsPitchAndLevel) {
    const RawWave raw = rawChunks(fixture("gsm610_mono.wav"));
    ASSERT_EQ(raw.tag(), 0x31);
    const WaveFileData data = sarnel::readWaveFile(fixture("gsm610_mono.wav"));
    ASSERT_EQ(data.floatCount, raw.extra16(0) * raw.blocks()); // 320 frames per 65-byte block
    // A speech codec is not waveform-exact: judge the pitch by zero crossings
    // and the level by RMS over the settled middle of the signal.
    int crossings = 0;
    double energy = 0.0;
    const int from = 160;
    const int to = 960;
    for (int n = from; n < to; ++n) {
        const float a = data.samples[static_cast<std::size_t>(n)];
        const float b = data.samples[static_cast<std::size_t>(n + 1)];
        crossings += (a < 0.0f) != (b < 0.0f);
        energy += static_cast<double>(a) * a;
    }
    const double expectedCrossings = 2.0 * 440.0 * (to - from) / 8000.0; // 88
    EXPECT_NEAR(crossings, expectedCrossings, expectedCrossings * 0.1);
    const double rms = std::sqrt(energy / (to - from));
    const double expectedRms = 0.5 / std::sqrt(2.0);
    EXPECT_NEAR(20.0 * std::log10(rms / expectedRms), 0.0, 3.0);
}

// --- the reader's conversion logic with a decoder of the tests -----------

namespace {

constexpr std::uint16_t kTestTag = 0x7A7A;

// A codec of the tests: one byte per channel per block, each block expanding
// to `framesPerBlock` frames whose 16-bit values are (byte − 128) × 256 + k.
class TestDecoder final : public CompressedWaveDecoder {
public:
    // firstBlockOnly: each conversion yields the frames of its first block
    // only, as a decoder does that stops at a damaged block.
    enum class Fault {
        none,
        suggest,
        open,
        firstSize,
        secondSize,
        thirdSize,
        absurdSize,
        prepare,
        convert,
        noFrames,
        firstBlockOnly,
        halfAFramePerBlock
    };

    TestDecoder(Fault injected, int frames) : fault(injected), framesPerBlock(frames) {}

    bool suggestPcmFormat(const WaveFormat& source, WaveFormat& pcm) override {
        if (fault == Fault::suggest || source.formatTag != kTestTag || pcm.formatTag != WaveFormat::kTagPcm)
            return false;
        channels = source.channels;
        pcm.channels = source.channels;
        pcm.samplesPerSec = source.samplesPerSec;
        pcm.bitsPerSample = 16;
        pcm.blockAlign = static_cast<std::uint16_t>(2 * source.channels);
        pcm.avgBytesPerSec = pcm.samplesPerSec * pcm.blockAlign;
        return true;
    }
    bool open(const WaveFormat&, const WaveFormat&) override { return fault != Fault::open; }
    bool streamSize(std::uint32_t bytes, SizeDirection direction, std::uint32_t& result) override {
        ++sizeCalls;
        if ((fault == Fault::firstSize && sizeCalls == 1) || (fault == Fault::secondSize && sizeCalls == 2) ||
            (fault == Fault::thirdSize && sizeCalls == 3))
            return false;
        std::uint32_t pcmBlock = static_cast<std::uint32_t>(framesPerBlock * 2 * channels);
        if (fault == Fault::halfAFramePerBlock)
            pcmBlock = channels;
        result = direction == SizeDirection::sourceToPcm ? bytes / channels * pcmBlock
                                                          : bytes / pcmBlock * channels;
        if (fault == Fault::absurdSize)
            result = 0x7FFFFFFF;
        return true;
    }
    bool prepareBuffers(std::uint8_t* src, std::uint32_t srcBytes, std::uint8_t* dst, std::uint32_t dstBytes) override {
        source = src;
        sourceBytes = srcBytes;
        pcm = dst;
        pcmBytes = dstBytes;
        return fault != Fault::prepare;
    }
    bool convert(std::uint32_t length, std::uint32_t& used) override {
        ++conversions;
        used = 0;
        if (fault == Fault::convert)
            return false;
        if (fault == Fault::noFrames || length > sourceBytes)
            return true;
        std::uint8_t* out = pcm;
        const std::uint32_t whole = length / channels;
        const std::uint32_t blocks = fault == Fault::firstBlockOnly ? std::min(1u, whole) : whole;
        for (std::uint32_t block = 0; block < blocks; ++block)
            for (int k = 0; k < framesPerBlock; ++k)
                for (int c = 0; c < channels; ++c) {
                    const int value = (source[block * channels + c] - 128) * 256 + k;
                    *out++ = static_cast<std::uint8_t>(value & 0xFF);
                    *out++ = static_cast<std::uint8_t>((value >> 8) & 0xFF);
                }
        used = static_cast<std::uint32_t>(out - pcm);
        return used <= pcmBytes;
    }

    int conversions = 0;

private:
    Fault fault;
    int framesPerBlock;
    int channels = 1;
    int sizeCalls = 0;
    std::uint8_t* source = nullptr;
    std::uint32_t sourceBytes = 0;
    std::uint8_t* pcm = nullptr;
    std::uint32_t pcmBytes = 0;
};

std::vector<std::uint8_t> testCodecFile(int channels, int blocks) {
    Bytes data;
    for (int i = 0; i < blocks * channels; ++i)
        data.u8(static_cast<std::uint8_t>((i * 37) & 0xFF));
    return simpleWave(Bytes()
                          .append(fmtBody(kTestTag, static_cast<std::uint16_t>(channels), 8000,
                                          static_cast<std::uint16_t>(channels), 8))
                          .u16(0)
                          .data,
                      data.data);
}

// The 'data' chunk's size field, 4 bytes before its body (simpleWave puts
// 'fmt ' of 18 bytes first).
constexpr std::size_t kDataSizeOffset = 12 + 8 + 18 + 4;

std::string errorWith(TestDecoder::Fault fault) {
    TempDir dir;
    TFileWaveStream stream(dir.write("c.wav", testCodecFile(2, 10)), nullptr);
    try {
        TPCMWaveReader reader(stream, std::make_unique<TestDecoder>(fault, 3));
        reader.readAll(false);
    } catch (const FileError& error) {
        return error.what();
    }
    return "(no error)";
}

} // namespace

TEST(CompressedWaveReader, ConvertsInWindowsAcrossManyConversions) {
    TempDir dir;
    const int blocks = 9001;
    const std::string path = dir.write("c.wav", testCodecFile(2, blocks));
    TFileWaveStream stream(path, nullptr);
    auto decoder = std::make_unique<TestDecoder>(TestDecoder::Fault::none, 3);
    TestDecoder* observed = decoder.get();
    TPCMWaveReader reader(stream, std::move(decoder));
    EXPECT_EQ(reader.framesPerBlock(), 3);
    EXPECT_EQ(reader.blocksPerConversion(), 20000 / 12);
    EXPECT_EQ(reader.totalFrames(), 3 * blocks);
    const std::vector<float> floats = reader.readAll(false);
    ASSERT_EQ(reader.sampleCount(), 2 * 3 * blocks);
    ASSERT_EQ(floats.size(), static_cast<std::size_t>(2 * 3 * blocks));
    for (int i = 0; i < blocks * 2; ++i)
        for (int k = 0; k < 3; ++k) {
            const int block = i / 2;
            const int channel = i % 2;
            const int value = (((i * 37) & 0xFF) - 128) * 256 + k;
            ASSERT_EQ(floats[static_cast<std::size_t>((block * 3 + k) * 2 + channel)], pcm16ToFloat(value))
                << "block " << block << " frame " << k << " channel " << channel;
        }
    // Every conversion covers a whole window; the last one the rest.
    EXPECT_EQ(observed->conversions, (blocks + 20000 / 12 - 1) / (20000 / 12));
}

TEST(CompressedWaveReader, ReadsAcrossTheEdgesOfTheWindow) {
    TempDir dir;
    TFileWaveStream stream(dir.write("c.wav", testCodecFile(1, 5000)), nullptr);
    TPCMWaveReader reader(stream, std::make_unique<TestDecoder>(TestDecoder::Fault::none, 7));
    // Windows of 20000 ÷ 14 = 1428 blocks, 9996 frames; reads of 4099 frames
    // cross them at odd places.
    std::vector<std::uint8_t> buffer(4099 * 2);
    std::int32_t position = 0;
    for (;;) {
        const std::int32_t got = reader.read(buffer.data(), 4099);
        if (got == 0)
            break;
        for (std::int32_t i = 0; i < got; ++i) {
            const std::int32_t frame = position + i;
            const int value = (((frame / 7 * 37) & 0xFF) - 128) * 256 + frame % 7;
            ASSERT_EQ(static_cast<std::int16_t>(buffer[2 * i] | buffer[2 * i + 1] << 8), value) << frame;
        }
        position += got;
    }
    EXPECT_EQ(position, 5000 * 7);
}

TEST(CompressedWaveReader, AConversionThatYieldsNothingEndsTheRead) {
    TempDir dir;
    TFileWaveStream stream(dir.write("c.wav", testCodecFile(2, 50)), nullptr);
    auto decoder = std::make_unique<TestDecoder>(TestDecoder::Fault::noFrames, 3);
    TestDecoder* observed = decoder.get();
    TPCMWaveReader reader(stream, std::move(decoder));
    const std::vector<float> floats = reader.readAll(false);
    EXPECT_EQ(observed->conversions, 1);
    EXPECT_EQ(reader.sampleCount(), 300);
    EXPECT_EQ(std::count(floats.begin(), floats.end(), 0.0f), 300);
}

// However the decoder answers, there are never more conversions than the
// blocks really in the file can fill.
TEST(CompressedWaveReader, ConversionsAreBoundedByTheBlocksInTheFile) {
    const int blocks = 9001;
    const int window = 20000 / 12;
    const int windows = (blocks + window - 1) / window;
    {
        SCOPED_TRACE("a data size 64 times the file");
        TempDir dir;
        std::vector<std::uint8_t> bytes = testCodecFile(2, blocks);
        const std::uint32_t claimed = 64u * 2 * blocks;
        for (int i = 0; i < 4; ++i)
            bytes[kDataSizeOffset + i] = static_cast<std::uint8_t>(claimed >> (8 * i));
        TFileWaveStream stream(dir.write("c.wav", bytes), nullptr);
        auto decoder = std::make_unique<TestDecoder>(TestDecoder::Fault::none, 3);
        TestDecoder* observed = decoder.get();
        TPCMWaveReader reader(stream, std::move(decoder));
        EXPECT_EQ(reader.totalFrames(), 3 * blocks);
        reader.readAll(false);
        EXPECT_EQ(observed->conversions, windows);
    }
    {
        // Converting the same blocks again would only give the same frames:
        // the read ends, and the frames left out stay silent.
        SCOPED_TRACE("a decoder that stops after the first block of each conversion");
        TempDir dir;
        TFileWaveStream stream(dir.write("c.wav", testCodecFile(2, blocks)), nullptr);
        auto decoder = std::make_unique<TestDecoder>(TestDecoder::Fault::firstBlockOnly, 3);
        TestDecoder* observed = decoder.get();
        TPCMWaveReader reader(stream, std::move(decoder));
        const std::vector<float> floats = reader.readAll(false);
        EXPECT_LE(observed->conversions, windows);
        ASSERT_EQ(floats.size(), static_cast<std::size_t>(2 * 3 * blocks));
        const int first = ((0 * 37) & 0xFF) - 128;
        EXPECT_EQ(floats[0], pcm16ToFloat(first * 256));
        EXPECT_EQ(floats[4], pcm16ToFloat(first * 256 + 2));
        EXPECT_EQ(std::count(floats.begin() + 6, floats.end(), 0.0f), 2 * 3 * (blocks - 1));
    }
}

// Damaged compressed files that once kept the reader busy for minutes. The
// ctest entry sampler_io_bounded_time runs these alone under a time limit.
TEST(WaveInBoundedTime, MuLawWithAWrongWidthIsRefusedAsByTheCompressionManager) {
    // µ-law marked 16 bits with a block align of 19 and a 'data' chunk of
    // 539672 bytes of the 101 there, whose bytes start like a 'LIST' chunk.
    const std::string path = fixture("ulaw_odd_align_list_in_data.wav");
    ASSERT_EQ(readFileBytes(path).size(), 145u);
    try {
        sarnel::readWaveFile(path);
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "Error 27: Cannot open acm stream.");
    }
}

TEST(WaveInBoundedTime, MuLawWithAnOddBlockAlignLoadsItsWholeBlocks) {
    // The same file as 8-bit µ-law: it decodes. Its 101 data bytes hold five
    // blocks of 19 bytes; a block counts as 19 ÷ 2 = 9 frames, and the codes
    // are read as one stream, frame after frame.
    const std::string path = fixture("ulaw_8bit_odd_align_list_in_data.wav");
    const std::vector<std::uint8_t> bytes = readFileBytes(path);
    ASSERT_EQ(bytes.size(), 145u);
    const WaveFileData data = sarnel::readWaveFile(path);
    EXPECT_EQ(data.channels, 2);
    std::vector<int> pcm;
    for (std::size_t i = 0; i < 5 * 9 * 2; ++i)
        pcm.push_back(ulawToLinear(bytes[44 + i]));
    expectExact(data, pcm);
}

TEST(CompressedWaveReader, EachFailedStepHasItsNumber) {
    using Fault = TestDecoder::Fault;
    EXPECT_EQ(errorWith(Fault::suggest), "Error 26: Cannot suggest pcm format.");
    EXPECT_EQ(errorWith(Fault::open), "Error 27: Cannot open acm stream.");
    EXPECT_EQ(errorWith(Fault::prepare), "Error 28: Cannot prepare headers.");
    EXPECT_EQ(errorWith(Fault::firstSize), "Error 29: Cannot recommend an acm stream size.");
    EXPECT_EQ(errorWith(Fault::secondSize), "Error 30: Cannot recommend an acm stream size.");
    EXPECT_EQ(errorWith(Fault::thirdSize), "Error 31: Cannot recommend an acm stream size.");
    // Sizes that give no whole frame per block would make an empty sample.
    EXPECT_EQ(errorWith(Fault::halfAFramePerBlock), "Error 31: Cannot recommend an acm stream size.");
    // A size no codec needs is not allocated.
    EXPECT_EQ(errorWith(Fault::absurdSize), "Error 29: Cannot recommend an acm stream size.");
    EXPECT_EQ(errorWith(Fault::convert), "Error 34: Unable to convert sample.");
    EXPECT_EQ(errorWith(Fault::none), "(no error)");
}

TEST(CompressedWave, UnknownFormatHasNoDecoder) {
    TempDir dir;
    const auto bytes = simpleWave(Bytes().append(fmtBody(0x4321, 1, 8000, 4, 0)).u16(0).data, {1, 2, 3, 4});
    try {
        sarnel::readWaveFile(dir.write("u.wav", bytes));
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_STREQ(error.what(), "Error 26: Cannot suggest pcm format.");
    }
}

// The reader converts a file in windows of ~20000 PCM bytes; the result must
// be what the platform's decoder gives for the whole data in one conversion,
// also for GSM 6.10, whose frames carry state from block to block.
TEST(CompressedWave, WindowedConversionEqualsOneConversionOfTheWholeData) {
    for (const char* name : {"gsm610_long_mono.wav", "ima_adpcm_stereo.wav", "ms_adpcm_stereo.wav", "ulaw_stereo.wav"}) {
        SCOPED_TRACE(name);
        const RawWave raw = rawChunks(fixture(name));
        WaveFormat source = WaveFormat::fromBaseBytes(raw.fmt.data());
        source.extraSize = static_cast<std::uint16_t>(raw.fmt[16] | raw.fmt[17] << 8);
        source.extra.assign(raw.fmt.begin() + 18, raw.fmt.begin() + 18 + source.extraSize);

        auto decoder = sarnel::makeCompressedWaveDecoder();
        WaveFormat pcm;
        pcm.formatTag = WaveFormat::kTagPcm;
        ASSERT_TRUE(decoder->suggestPcmFormat(source, pcm));
        ASSERT_EQ(pcm.bitsPerSample, 16);
        ASSERT_TRUE(decoder->open(source, pcm));
        std::uint32_t pcmBytes = 0;
        const auto dataBytes = static_cast<std::uint32_t>(raw.blocks() * raw.blockAlign());
        ASSERT_TRUE(decoder->streamSize(dataBytes, CompressedWaveDecoder::SizeDirection::sourceToPcm, pcmBytes));
        std::vector<std::uint8_t> sourceBuffer(raw.data.begin(), raw.data.begin() + dataBytes);
        std::vector<std::uint8_t> pcmBuffer(pcmBytes);
        ASSERT_TRUE(decoder->prepareBuffers(sourceBuffer.data(), dataBytes, pcmBuffer.data(), pcmBytes));
        std::uint32_t used = 0;
        ASSERT_TRUE(decoder->convert(dataBytes, used));

        const WaveFileData data = sarnel::readWaveFile(fixture(name));
        ASSERT_EQ(static_cast<std::uint32_t>(data.floatCount) * 2, used);
        for (std::uint32_t i = 0; i < used / 2; ++i)
            ASSERT_EQ(data.samples[i], pcm16ToFloat(static_cast<std::int16_t>(pcmBuffer[2 * i] | pcmBuffer[2 * i + 1] << 8)))
                << "float " << i;
    }
}
