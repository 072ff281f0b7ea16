// The WAV writer: header fields, the three sample formats read back by an
// independent reader, and the promise that nothing half-written remains.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "host/WaveWriter.h"
#include "tests/render/RenderTestSupport.h"

namespace {

using render_test::inDir;
using render_test::readBytes;

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (std::uint32_t{bytes[at + 3]} << 24);
}
std::uint16_t le16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

void writeStereo(const std::string& path, host::SampleFormat format, const std::vector<float>& left,
                 const std::vector<float>& right, int blocks = 1) {
  host::WaveWriter writer(path, format, 48000, 2);
  const std::size_t step = left.size() / static_cast<std::size_t>(blocks);
  for (std::size_t start = 0; start < left.size(); start += step) {
    const float* channels[2] = {left.data() + start, right.data() + start};
    writer.write(channels, static_cast<int>(std::min(step, left.size() - start)));
  }
  writer.commit();
}

const std::vector<float> kLeft = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 1.5f, -2.0f, 0.25f, 1e-7f, -0.999f};
const std::vector<float> kRight = {0.1f, -0.1f, 0.75f, -0.75f, 0.0f, 0.3f, -0.3f, 0.9f, -0.9f, 0.001f};

TEST(WaveWriter, FloatFilesKeepEverySampleExactly) {
  const std::string dir = render_test::workDir("wave_float");
  const std::string path = inDir(dir, "out.wav");
  writeStereo(path, host::SampleFormat::float32, kLeft, kRight, 3);
  const std::vector<std::uint8_t> bytes = readBytes(path);
  // RIFF, 'fmt ' of 18 bytes with format 3, 'fact' with the frame count, 'data'.
  ASSERT_EQ(bytes.size(), 12u + 26u + 12u + 8u + 80u);
  EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
  EXPECT_EQ(le32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(le32(bytes, 16), 18u);
  EXPECT_EQ(le16(bytes, 20), 3);       // IEEE float
  EXPECT_EQ(le16(bytes, 22), 2);       // channels
  EXPECT_EQ(le32(bytes, 24), 48000u);  // rate
  EXPECT_EQ(le32(bytes, 28), 48000u * 8);
  EXPECT_EQ(le16(bytes, 32), 8);  // block align
  EXPECT_EQ(le16(bytes, 34), 32);
  EXPECT_EQ(std::memcmp(bytes.data() + 38, "fact", 4), 0);
  EXPECT_EQ(le32(bytes, 46), 10u);
  EXPECT_EQ(std::memcmp(bytes.data() + 50, "data", 4), 0);
  EXPECT_EQ(le32(bytes, 54), 80u);
  const render_test::StereoAudio audio = render_test::readStereo(path);
  EXPECT_EQ(audio.sampleRate, 48000);
  EXPECT_EQ(audio.left, kLeft);  // beyond full scale too: float keeps it
  EXPECT_EQ(audio.right, kRight);
}

TEST(WaveWriter, IntegerFormatsRoundToTheNearestStepAndClip) {
  const std::string dir = render_test::workDir("wave_integer");
  for (const host::SampleFormat format : {host::SampleFormat::pcm16, host::SampleFormat::pcm24}) {
    const std::string path = inDir(dir, format == host::SampleFormat::pcm16 ? "16.wav" : "24.wav");
    writeStereo(path, format, kLeft, kRight);
    const std::vector<std::uint8_t> bytes = readBytes(path);
    const int sampleBytes = host::WaveWriter::bytesPerSample(format);
    EXPECT_EQ(le32(bytes, 16), 16u);
    EXPECT_EQ(le16(bytes, 20), 1);  // PCM
    EXPECT_EQ(le16(bytes, 34), 8 * sampleBytes);
    EXPECT_EQ(le32(bytes, 40), static_cast<std::uint32_t>(20 * sampleBytes));
    const double scale = host::WaveWriter::fullScale(format);
    // Read back within half a step (1/32767 or 1/8388607 above zero, 1/32768
    // or 1/8388608 below), plus the rounding of the reader's float.
    const double tolerance = 0.5 / (scale - 1.0) + 1e-7;
    const render_test::StereoAudio audio = render_test::readStereo(path);
    ASSERT_EQ(audio.frames(), kLeft.size());
    for (std::size_t i = 0; i < kLeft.size(); ++i) {
      const double expected = std::clamp(static_cast<double>(kLeft[i]), -1.0, 1.0);
      EXPECT_NEAR(audio.left[i], expected, tolerance) << i;
      EXPECT_NEAR(audio.right[i], kRight[i], tolerance) << i;
    }
    // Full scale both ways is exact.
    EXPECT_EQ(audio.left[3], 1.0f);
    EXPECT_EQ(audio.left[4], -1.0f);
    if (format == host::SampleFormat::pcm16) {
      EXPECT_EQ(le16(bytes, 44 + 4), 16384);                                // 0.5
      EXPECT_EQ(static_cast<std::int16_t>(le16(bytes, 44 + 20)), 32767);   // 1.5 clipped
      EXPECT_EQ(static_cast<std::int16_t>(le16(bytes, 44 + 24)), -32768);  // -2 clipped
      // 0.5 × 32767 = 16383.5 rounds to even; 0.001 × 32767 = 32.767 to 33.
      EXPECT_EQ(le16(bytes, 44 + 32), 0);
      EXPECT_EQ(le16(bytes, 44 + 38), 33);
    }
  }
}

TEST(WaveWriter, OddDataIsPaddedToAnEvenChunk) {
  const std::string dir = render_test::workDir("wave_odd");
  const std::string path = inDir(dir, "mono24.wav");
  host::WaveWriter writer(path, host::SampleFormat::pcm24, 44100, 1);
  const float samples[3] = {0.1f, 0.2f, 0.3f};
  const float* channels[1] = {samples};
  writer.write(channels, 3);
  writer.commit();
  const std::vector<std::uint8_t> bytes = readBytes(path);
  EXPECT_EQ(le32(bytes, 40), 9u);          // the data chunk's own size
  EXPECT_EQ(bytes.size(), 44u + 10u);      // plus one pad byte
  EXPECT_EQ(le32(bytes, 4), bytes.size() - 8);
}

TEST(WaveWriter, NothingAppearsUntilCommitAndAbandonedFilesVanish) {
  const std::string dir = render_test::workDir("wave_atomic");
  const std::string path = inDir(dir, "out.wav");
  {
    host::WaveWriter writer(path, host::SampleFormat::float32, 44100, 2);
    const float* channels[2] = {kLeft.data(), kRight.data()};
    writer.write(channels, 4);
    EXPECT_FALSE(render_test::exists(path));
    EXPECT_TRUE(render_test::exists(writer.temporaryPath()));
  }
  EXPECT_TRUE(render_test::filesIn(dir).empty());
  // An existing file is replaced only by the finished one.
  render_test::writeBytes(path, {1, 2, 3});
  writeStereo(path, host::SampleFormat::float32, kLeft, kRight);
  EXPECT_EQ(render_test::readStereo(path).left, kLeft);
  EXPECT_EQ(render_test::filesIn(dir).size(), 1u);
}

TEST(WaveWriter, AnUnwritablePlaceIsReportedAtOnce) {
  const std::string dir = render_test::workDir("wave_unwritable");
  EXPECT_THROW(host::WaveWriter(inDir(dir, "no/such/folder/out.wav"), host::SampleFormat::pcm16, 44100, 2),
               host::WaveWriteError);
}

}  // namespace
