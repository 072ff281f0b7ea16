#include "sampler/io/FileError.h"
#include "sampler/io/ReadWaveFile.h"
#include "sampler/io/TFileWaveStream.h"
#include "sampler/io/TPCMWaveReader.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using sarnel::FileError;
using sarnel::readWaveFile;
using sarnel::WaveFileData;
using sarnel::test::Bytes;
using sarnel::test::fmtBody;
using sarnel::test::riffWave;
using sarnel::test::simpleWave;
using sarnel::test::TempDir;

namespace {

WaveFileData readBytes(const std::vector<std::uint8_t>& bytes) {
    TempDir dir;
    return readWaveFile(dir.write("t.wav", bytes));
}

std::string errorOf(const std::vector<std::uint8_t>& bytes) {
    try {
        readBytes(bytes);
    } catch (const FileError& error) {
        return error.what();
    }
    return "(no error)";
}

// Values of a float buffer compared exactly (bit for bit, except -0 == 0).
void expectFloats(const WaveFileData& data, const std::vector<float>& expected) {
    ASSERT_EQ(data.floatCount, static_cast<std::int32_t>(expected.size()));
    ASSERT_EQ(data.samples.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(data.samples[i], expected[i]) << "float " << i;
}

} // namespace

TEST(WavePcm, Sixteen_BitStereoLeftFirstAndBothEnds) {
    const auto samples = Bytes().i16(32767).i16(-32768).i16(0).i16(16384).i16(-1).i16(1).data;
    const WaveFileData data = readBytes(simpleWave(fmtBody(1, 2, 44100, 4, 16), samples));
    EXPECT_EQ(data.sampleRate, 44100);
    EXPECT_EQ(data.channels, 2);
    expectFloats(data, {1.0f, -1.0f, 0.0f, static_cast<float>(16384 / 32767.0), static_cast<float>(-1 / 32768.0),
                        static_cast<float>(1 / 32767.0)});
}

TEST(WavePcm, EightBitIsUnsigned) {
    const auto samples = Bytes().u8(128).u8(0).u8(255).u8(127).data;
    // 256 ÷ 255 − 1 for the byte 128 is 0.00392…
    expectFloats(readBytes(simpleWave(fmtBody(1, 1, 8000, 1, 8), samples)),
                 {static_cast<float>(256.0 / 255.0 - 1.0), -1.0f, 1.0f, static_cast<float>(254.0 / 255.0 - 1.0)});
    EXPECT_NEAR(static_cast<float>(256.0 / 255.0 - 1.0), 0.00392f, 1e-5f);
}

TEST(WavePcm, TwentyFourBitPackedAndInFourByteContainers) {
    // Packed stereo (block align 6): no byte skipped.
    const auto packed = Bytes().i24(8388607).i24(-8388608).i24(1).i24(-1).data;
    expectFloats(readBytes(simpleWave(fmtBody(1, 2, 48000, 6, 24), packed)),
                 {1.0f, -1.0f, static_cast<float>(1 / 8388607.0), static_cast<float>(-1 / 8388608.0)});
    // Stereo in 4-byte containers (block align 8): the fourth byte of each
    // sample is skipped, whatever it holds.
    const auto contained = Bytes().i24(8388607).u8(0xAA).i24(-8388608).u8(0x55).i24(4194304).u8(0xFF).i24(0).u8(1).data;
    expectFloats(readBytes(simpleWave(fmtBody(1, 2, 48000, 8, 24), contained)),
                 {1.0f, -1.0f, static_cast<float>(4194304 / 8388607.0), 0.0f});
    // Three channels in containers (block align 12) are containers too.
    const auto three = Bytes().i24(8388607).u8(9).i24(0).u8(9).i24(-8388608).u8(9).data;
    expectFloats(readBytes(simpleWave(fmtBody(1, 3, 48000, 12, 24), three)), {1.0f, 0.0f, -1.0f});
}

TEST(WavePcm, TwentyBitUsesTheTopTwentyBitsOfThreeBytes) {
    // The low four bits carry nothing.
    const auto packed = Bytes().i24(524287 * 16 + 15).i24(-524288 * 16).i24(16).data;
    expectFloats(readBytes(simpleWave(fmtBody(1, 1, 48000, 3, 20), packed)),
                 {1.0f, -1.0f, static_cast<float>(1 / 524287.0)});
    const auto contained = Bytes().i24(-16).u8(0x7F).i24(524287 * 16).u8(0x80).data;
    expectFloats(readBytes(simpleWave(fmtBody(1, 2, 48000, 8, 20), contained)),
                 {static_cast<float>(-1 / 524288.0), 1.0f});
}

TEST(WavePcm, ThirtyTwoBitIntegersAreSignedIntegers) {
    const auto samples = Bytes().i32(INT32_MIN).i32(1 << 30).i32(-(1 << 29)).i32(INT32_MAX).data;
    expectFloats(readBytes(simpleWave(fmtBody(1, 1, 96000, 4, 32), samples)), {-1.0f, 0.5f, -0.25f, 1.0f});
}

TEST(WaveFloat, PassesValuesUnchangedAlsoBeyondOne) {
    const float tiny = std::numeric_limits<float>::denorm_min();
    const auto samples = Bytes().f32(1.5f).f32(-2.25f).f32(0.1f).f32(tiny).f32(-0.0f).f32(1e30f).data;
    const WaveFileData data = readBytes(simpleWave(fmtBody(3, 2, 44100, 8, 32), samples));
    expectFloats(data, {1.5f, -2.25f, 0.1f, tiny, -0.0f, 1e30f});
    EXPECT_TRUE(std::signbit(data.samples[4]));
}

TEST(WaveFloat, NanAndInfinityBecomeSilence) {
    const auto samples = Bytes()
                             .f32(std::numeric_limits<float>::quiet_NaN())
                             .f32(std::numeric_limits<float>::infinity())
                             .f32(-std::numeric_limits<float>::infinity())
                             .f32(0.75f)
                             .data;
    expectFloats(readBytes(simpleWave(fmtBody(3, 1, 44100, 4, 32), samples)), {0.0f, 0.0f, 0.0f, 0.75f});
}

TEST(WaveExtensible, PcmAndFloatSubFormatsReadLikeTheirTags) {
    const auto extensible = [](std::uint16_t channels, std::uint16_t align, std::uint16_t bits,
                               std::uint16_t validBits, std::uint32_t subTag) {
        return Bytes()
            .append(fmtBody(0xFFFE, channels, 48000, align, bits))
            .u16(22)
            .u16(validBits)
            .u32(3)
            .u32(subTag)
            .u16(0x0000)
            .u16(0x0010)
            .u8(0x80).u8(0x00).u8(0x00).u8(0xAA).u8(0x00).u8(0x38).u8(0x9B).u8(0x71)
            .data;
    };
    const auto pcm16 = Bytes().i16(32767).i16(-32768).data;
    expectFloats(readBytes(simpleWave(extensible(2, 4, 16, 16, 1), pcm16)), {1.0f, -1.0f});
    // 24 valid bits in 32-bit containers stand in the top bytes: read as
    // signed 32-bit integers.
    const auto pcm32 = Bytes().i32(static_cast<std::int32_t>(0x80000000u)).i32(0x40000000).data;
    expectFloats(readBytes(simpleWave(extensible(1, 4, 32, 24, 1), pcm32)), {-1.0f, 0.5f});
    const auto floats = Bytes().f32(-3.5f).data;
    expectFloats(readBytes(simpleWave(extensible(1, 4, 32, 32, 3), floats)), {-3.5f});
}

TEST(WavePcm, MonoMixingAveragesEachFrame) {
    TempDir dir;
    const auto samples = Bytes().i16(32767).i16(-32768).i16(16384).i16(0).i16(-32768).i16(-32768).data;
    const std::string path = dir.write("m.wav", simpleWave(fmtBody(1, 2, 8000, 4, 16), samples));
    sarnel::TFileWaveStream stream(path, nullptr);
    sarnel::TPCMWaveReader reader(stream);
    const std::vector<float> mono = reader.readAll(true);
    EXPECT_EQ(reader.sampleCount(), 3);
    const float half = static_cast<float>(16384 / 32767.0);
    ASSERT_EQ(mono.size(), 3u);
    EXPECT_EQ(mono[0], (1.0f + -1.0f) / 2.0f);
    EXPECT_EQ(mono[1], (half + 0.0f) / 2.0f);
    EXPECT_EQ(mono[2], -1.0f);
}

TEST(WavePcm, AwkwardLengthsAndManyReadPasses) {
    for (const int frames : {0, 1, 2, 3, 11999, 12000, 12001, 30001}) {
        Bytes samples;
        for (int i = 0; i < frames; ++i)
            samples.i16(static_cast<std::int16_t>((i * 7919) % 65536 - 32768));
        const WaveFileData data = readBytes(simpleWave(fmtBody(1, 1, 22050, 2, 16), samples.data));
        ASSERT_EQ(data.floatCount, frames);
        for (int i = 0; i < frames; ++i) {
            const int s = (i * 7919) % 65536 - 32768;
            ASSERT_EQ(data.samples[static_cast<std::size_t>(i)],
                      static_cast<float>(s > 0 ? s / 32767.0 : s / 32768.0))
                << frames << " frames, frame " << i;
        }
    }
}

TEST(WavePcm, WideFramesGetAWiderWorkBuffer) {
    // 8 channels of 32-bit float: 32-byte frames, more than 12000 of them.
    const int frames = 12345;
    Bytes samples;
    for (int i = 0; i < frames * 8; ++i)
        samples.f32(static_cast<float>(i));
    const WaveFileData data = readBytes(simpleWave(fmtBody(3, 8, 48000, 32, 32), samples.data));
    ASSERT_EQ(data.floatCount, frames * 8);
    for (int i = 0; i < frames * 8; ++i)
        ASSERT_EQ(data.samples[static_cast<std::size_t>(i)], static_cast<float>(i));
}

TEST(WaveChunks, OtherChunksAreSkippedAndNeverReadAsSamples) {
    const auto list = Bytes().code("INFO").code("ISFT").u32(5).code("abcd").u8('e').u8(0).data;
    const auto samples = Bytes().i16(32767).i16(-32768).i16(0).data;
    const auto bytes = riffWave(Bytes()
                                    .chunk("JUNK", std::vector<std::uint8_t>(3, 0x11)) // odd: pad byte
                                    .chunk("fmt ", fmtBody(1, 1, 8000, 2, 16))
                                    .chunk("fact", Bytes().u32(3).data)
                                    .chunk("data", samples)
                                    .chunk("LIST", list)
                                    .data);
    expectFloats(readBytes(bytes), {1.0f, -1.0f, 0.0f});
}

TEST(WaveChunks, SizesBeyondTheFileCountOnlyWhatIsThere) {
    // A recorder that stopped before fixing the sizes: 'RIFF' and 'data'
    // claim far more than the file holds.
    const auto samples = Bytes().i16(32767).i16(-32768).i16(0).u8(0x12).data; // 3 frames and a half
    const auto bytes = Bytes()
                           .code("RIFF").u32(0xFFFFFFFF).code("WAVE")
                           .chunk("fmt ", fmtBody(1, 1, 8000, 2, 16))
                           .chunkClaiming("data", 0xFFFFFFF0, samples)
                           .data;
    expectFloats(readBytes(bytes), {1.0f, -1.0f, 0.0f});
}

TEST(WaveChunks, SixteenByteFormatWithoutExtraSizeStillParses) {
    // No extra-size field in the 'fmt ' chunk of a non-PCM tag: the next
    // chunk's id must not be taken for it.
    TempDir dir;
    const std::string path = dir.write("f.wav", simpleWave(fmtBody(0x1234, 1, 8000, 1, 8), {1, 2, 3}));
    sarnel::TFileWaveStream stream(path, nullptr);
    EXPECT_EQ(stream.format().formatTag, 0x1234);
    EXPECT_EQ(stream.format().extraSize, 0);
    EXPECT_TRUE(stream.format().extra.empty());
    EXPECT_EQ(stream.frameCount(), 3);
}

TEST(WaveErrors, NumberedMessagesWordForWord) {
    const auto pcm = fmtBody(1, 1, 8000, 2, 16);
    const auto data = Bytes().i16(1).data;

    {
        TempDir dir;
        try {
            readWaveFile(dir.path("missing.wav"));
            ADD_FAILURE() << "no error";
        } catch (const FileError& error) {
            EXPECT_STREQ(error.what(), "Error 24: Cannot open file.");
        }
    }
    EXPECT_EQ(errorOf({}), "Error 12: Invalid multimedia file!");
    EXPECT_EQ(errorOf({'R', 'I', 'F', 'F', 4}), "Error 12: Invalid multimedia file!");
    EXPECT_EQ(errorOf(Bytes().code("RIFF").u32(4).data), "Error 12: Invalid multimedia file!");
    EXPECT_EQ(errorOf(Bytes().code("RIFX").u32(4).code("WAVE").data), "Error 13: Not a wave file!");
    EXPECT_EQ(errorOf(Bytes().code("RIFF").u32(4).code("AVI ").data), "Error 13: Not a wave file!");
    EXPECT_EQ(errorOf(Bytes().code("LIST").u32(4).code("WAVE").data), "Error 13: Not a wave file!");
    EXPECT_EQ(errorOf(riffWave(Bytes().chunk("data", data).data)), "Error 14: Cannot find 'fmt' chunk!");
    // The 'fmt ' chunk lies outside a 'RIFF' chunk that claims only its form type.
    EXPECT_EQ(errorOf(Bytes().code("RIFF").u32(4).code("WAVE").chunk("fmt ", pcm).chunk("data", data).data),
              "Error 14: Cannot find 'fmt' chunk!");
    EXPECT_EQ(errorOf(riffWave(Bytes().chunk("fmt ", std::vector<std::uint8_t>(pcm.begin(), pcm.begin() + 14))
                                   .chunk("data", data)
                                   .data)),
              "Error 15: Abnormal 'fmt' size!");
    EXPECT_EQ(errorOf(Bytes()
                          .code("RIFF").u32(100).code("WAVE")
                          .chunkClaiming("fmt ", 16, std::vector<std::uint8_t>(pcm.begin(), pcm.begin() + 10))
                          .data),
              "Error 16: Cannot read 'fmt' chunk!");
    EXPECT_EQ(errorOf(Bytes().code("RIFF").u32(100).code("WAVE").chunkClaiming("fmt ", 20, fmtBody(2, 1, 8000, 256, 4)).data),
              "Error 17: Cannot read 'waveformatex' length!");
    // An extra size beyond the 'fmt ' chunk, and one beyond the file.
    EXPECT_EQ(errorOf(simpleWave(Bytes().append(fmtBody(2, 1, 8000, 256, 4)).u16(32).u16(500).data, data)),
              "Error 18: Cannot read 'waveformatex'!");
    EXPECT_EQ(errorOf(Bytes()
                          .code("RIFF").u32(100).code("WAVE")
                          .chunkClaiming("fmt ", 50, Bytes().append(fmtBody(2, 1, 8000, 256, 4)).u16(32).u16(500).data)
                          .data),
              "Error 18: Cannot read 'waveformatex'!");
    EXPECT_EQ(errorOf(simpleWave(Bytes().append(fmtBody(85, 2, 44100, 1, 0)).u16(12).append(std::vector<std::uint8_t>(12, 0)).data, data)),
              "Error 19: MPEG Layer-3 compression is not supported.");
    // A 'fmt ' chunk that claims to run past the end of the file.
    EXPECT_EQ(errorOf(Bytes().code("RIFF").u32(100).code("WAVE").chunkClaiming("fmt ", 100, pcm).data),
              "Error 20: Cannot ascend from 'fmt' chunk!");
}

TEST(WaveErrors, OurOwnMessagesForFilesThatCannotBeReadSafely) {
    const auto data = Bytes().i16(1).i16(2).data;
    EXPECT_EQ(errorOf(riffWave(Bytes().chunk("fmt ", fmtBody(1, 1, 8000, 2, 16)).data)), "Cannot find 'data' chunk!");
    EXPECT_EQ(errorOf(simpleWave(fmtBody(1, 0, 8000, 2, 16), data)), "Invalid wave format: the channel count is 0.");
    EXPECT_EQ(errorOf(simpleWave(fmtBody(1, 1, 8000, 0, 16), data)), "Invalid wave format: the block align is 0.");
    EXPECT_EQ(errorOf(simpleWave(fmtBody(2, 1, 8000, 0, 4), data)), "Invalid wave format: the block align is 0.");
    EXPECT_EQ(errorOf(simpleWave(fmtBody(1, 1, 8000, 2, 12), data)), "Unsupported sample width: 12 bits per sample.");
    EXPECT_EQ(errorOf(simpleWave(fmtBody(1, 1, 8000, 8, 64), data)), "Unsupported sample width: 64 bits per sample.");
    EXPECT_EQ(errorOf(simpleWave(fmtBody(3, 1, 8000, 8, 64), data)),
              "Unsupported sample format: 64-bit floating point samples.");
    EXPECT_EQ(errorOf(simpleWave(fmtBody(1, 2, 8000, 2, 16), data)),
              "Invalid wave format: a block align of 2 does not fit 2 channels of 16 bits.");
    EXPECT_EQ(errorOf(simpleWave(fmtBody(1, 1, 8000, 3, 16), data)),
              "Invalid wave format: a block align of 3 does not fit 1 channels of 16 bits.");
}
