// Sarnel's state as parameters: the sample path's bytes and the tuning
// values the renderer sends, and the instrument readers' own messages.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "host/WaveWriter.h"
#include "render/ExitCode.h"
#include "render/SarnelState.h"
#include "tests/render/RenderTestSupport.h"

namespace {

using render::ExitCode;
using render::RenderFailure;

void writeText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

ExitCode failureCode(const std::function<void()>& action, std::string* message = nullptr) {
  try {
    action();
  } catch (const RenderFailure& failure) {
    if (message != nullptr) *message = failure.what();
    return failure.code();
  }
  ADD_FAILURE() << "no failure";
  return ExitCode::ok;
}

TEST(SarnelSamplePath, EveryByteSurvivesTheParameterRoundTrip) {
  std::string path;
  for (int i = 0; i < 255; ++i) path += static_cast<char>(1 + i % 255);
  const std::vector<float> values = render::encodeSamplePath(path);
  ASSERT_EQ(values.size(), 256u);
  for (std::size_t i = 0; i < path.size(); ++i) {
    // The instrument stores round(value × 255).
    EXPECT_EQ(std::nearbyint(values[i] * 255.0f), static_cast<unsigned char>(path[i])) << i;
  }
  EXPECT_EQ(values[255], 0.0f);  // the terminating 0 always fits
  std::string message;
  EXPECT_EQ(failureCode([&] { render::encodeSamplePath(path + "x"); }, &message), ExitCode::sampleUnreadable);
  EXPECT_NE(message.find("256 bytes"), std::string::npos);
}

TEST(SarnelTuning, ScaleFilesGiveHertzOver30000AsFloats) {
  const std::string dir = render_test::workDir("sarnel_scale");
  const std::string path = render_test::inDir(dir, "equal.scl");
  std::string scale = "! equal.scl\nTwelve equal steps\n 12\n!\n";
  for (int step = 1; step <= 12; ++step) scale += std::to_string(step * 100) + ".0\n";
  writeText(path, scale);
  const std::vector<float> values = render::tuningValuesOf(path);
  ASSERT_EQ(values.size(), 128u);
  for (int note = 0; note < 128; ++note) {
    const double hertz = 440.0 * std::pow(2.0, (note - 69) / 12.0);
    // The only difference allowed is the rounding of the quotient to a float.
    EXPECT_NEAR(values[static_cast<std::size_t>(note)], hertz / 30000.0, hertz / 30000.0 * 1e-6) << note;
  }
}

TEST(SarnelTuning, ExactTuningFilesWithABaseFrequency) {
  const std::string dir = render_test::workDir("sarnel_tun");
  const std::string path = render_test::inDir(dir, "octaves.tun");
  std::string text = "; octaves from 440 Hz\n[Exact Tuning]\nbasefreq = 440\n";
  for (int note = 0; note <= 12; ++note) text += "note " + std::to_string(note) + " = " + std::to_string(note * 100) + "\n";
  writeText(path, text);
  const std::vector<float> values = render::tuningValuesOf(path);
  EXPECT_FLOAT_EQ(values[0], static_cast<float>(440.0 / 30000.0));
  EXPECT_FLOAT_EQ(values[12], static_cast<float>(880.0 / 30000.0));
  EXPECT_FLOAT_EQ(values[24], static_cast<float>(1760.0 / 30000.0));
  // Beyond 30000 Hz the values exceed 1; the instrument clamps them.
  EXPECT_GT(values[127], 1.0f);
}

TEST(SarnelTuning, BadFilesCarryTheTuningReadersMessage) {
  const std::string dir = render_test::workDir("sarnel_bad_tuning");
  const std::string path = render_test::inDir(dir, "bad.tun");
  writeText(path, "[tuning] ; comment\nnote 1 = 100\n");
  std::string message;
  EXPECT_EQ(failureCode([&] { render::tuningValuesOf(path); }, &message), ExitCode::tuningUnreadable);
  EXPECT_NE(message.find("Syntax error: Section-tag must be the only string in the line! (line 1)"),
            std::string::npos)
      << message;
  EXPECT_EQ(failureCode([&] { render::tuningValuesOf(render_test::inDir(dir, "none.scl")); }),
            ExitCode::tuningUnreadable);
  writeText(path, "; nothing\n");
  EXPECT_EQ(failureCode([&] { render::tuningValuesOf(path); }, &message), ExitCode::tuningUnreadable);
  EXPECT_NE(message.find("No tuning data found!"), std::string::npos);
}

TEST(SarnelSampleCheck, TheWavReadersVerdictBeforeTheInstrumentSeesThePath) {
  const std::string dir = render_test::workDir("sarnel_sample_check");
  std::string message;
  EXPECT_EQ(failureCode([&] { render::checkSampleFile(render_test::inDir(dir, "none.wav")); }, &message),
            ExitCode::sampleUnreadable);
  EXPECT_NE(message.find("could not be found"), std::string::npos);
  const std::string text = render_test::inDir(dir, "text.wav");
  writeText(text, "this is not a RIFF file, only some text that pretends to be one");
  EXPECT_EQ(failureCode([&] { render::checkSampleFile(text); }, &message), ExitCode::sampleUnreadable);
  EXPECT_NE(message.find("Error "), std::string::npos) << message;
  const std::string good = render_test::inDir(dir, "good.wav");
  {
    host::WaveWriter writer(good, host::SampleFormat::pcm16, 44100, 1);
    const float samples[4] = {0.0f, 0.5f, -0.5f, 0.0f};
    const float* channels[1] = {samples};
    writer.write(channels, 4);
    writer.commit();
  }
  EXPECT_NO_THROW(render::checkSampleFile(good));
}

}  // namespace
