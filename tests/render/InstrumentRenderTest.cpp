// End to end through the real instruments: a generated song rendered by the
// command into a WAV file, then checked for pitch, silence, the exact onset
// frame and an identical render after a saved bank is restored. Each test
// skips while its instrument is not built yet.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "host/MidiFileWriter.h"
#include "host/WaveWriter.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/Prerequisites.h"

namespace {

using render_test::inDir;
using render_test::run;

constexpr int kRate = 44100;
constexpr int kTicksPerQuarter = 441;  // at 120 bpm one tick is 50 frames

std::string oneNoteSong(const std::string& dir, int note, int onTick, int offTick) {
  host::MidiFileWriter song(0, kTicksPerQuarter);
  const int track = song.addTrack();
  song.noteOn(track, onTick, 0, note, 100);
  song.noteOff(track, offTick, 0, note);
  std::string name = std::to_string(note);
  name.insert(0, "note");
  name.append(".mid");
  const std::string path = inDir(dir, name);
  song.save(path);
  return path;
}

float peakIn(const std::vector<float>& samples, std::size_t from, std::size_t to) {
  float peak = 0.0f;
  for (std::size_t i = from; i < to && i < samples.size(); ++i) peak = std::max(peak, std::fabs(samples[i]));
  return peak;
}

std::size_t firstAbove(const std::vector<float>& samples, float threshold) {
  std::size_t i = 0;
  while (i < samples.size() && std::fabs(samples[i]) <= threshold) ++i;
  return i;
}

// Rising zero crossings per second over a window: the fundamental of a
// signal without strong partials near it.
double crossingRate(const std::vector<float>& samples, std::size_t from, std::size_t to, int rate = kRate) {
  std::size_t first = 0;
  std::size_t last = 0;
  int crossings = 0;
  for (std::size_t i = from + 1; i < to; ++i) {
    if (samples[i - 1] < 0.0f && samples[i] >= 0.0f) {
      if (crossings == 0) first = i;
      last = i;
      ++crossings;
    }
  }
  return crossings > 1 ? (crossings - 1) * static_cast<double>(rate) / static_cast<double>(last - first) : 0.0;
}

class MarrowglintRender : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = render_test::pluginPath("Marrowglint");
    VORNHALT_REQUIRE_PREREQUISITE(render_test::exists(plugin), plugin);
    dir = render_test::workDir(std::string("marrowglint_") +
                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  std::string plugin;
  std::string dir;
};

TEST_F(MarrowglintRender, ANoteSoundsAtItsPitchAndSilenceSurroundsIt) {
  // Note 60 plays oscillator 1 at 512 table steps of 16384 per sample: a
  // period of exactly 32 samples (1378.125 Hz); hard sync keeps oscillator 2
  // in the same period. On from 0.5 s to 1.5 s.
  const std::string song = oneNoteSong(dir, 60, 441, 1323);
  const std::string out = inDir(dir, "note.wav");
  const render_test::RunResult result = run({"--plugin", plugin, "--midi", song, "--out", out, "--quiet"});
  ASSERT_EQ(result.code, 0) << result.err;
  const render_test::StereoAudio audio = render_test::readStereo(out);
  ASSERT_EQ(audio.sampleRate, kRate);
  // Before the note only the engine's anti-denormal offset (1e-24) is heard.
  EXPECT_LT(peakIn(audio.left, 0, 22050), 1e-20f);
  // Sustained part: periodic in 32 samples, not in 16, and clearly audible.
  const std::size_t from = 30000;
  const std::size_t to = 60000;
  EXPECT_GT(peakIn(audio.left, from, to), 0.05f);
  float period32 = 0.0f;
  float period16 = 0.0f;
  for (std::size_t i = from; i < to; ++i) {
    period32 = std::max(period32, std::fabs(audio.left[i + 32] - audio.left[i]));
    period16 = std::max(period16, std::fabs(audio.left[i + 16] - audio.left[i]));
  }
  EXPECT_LT(period32, 1e-4f);
  EXPECT_GT(period16, 0.01f);
  EXPECT_EQ(audio.right, audio.left);  // "Phase" off
  // After the release (100 samples) and the comb's 501-sample memory, silence
  // within 50 ms; the render stops after half a second of it.
  EXPECT_LT(peakIn(audio.left, 66150 + 2205, audio.frames()), 1e-6f);
  EXPECT_GE(audio.frames(), 66150u + 22050u);
  EXPECT_LT(audio.frames(), 66150u + 2205u + 22050u + 512u);
}

TEST_F(MarrowglintRender, AtFortyEightKilohertzANoteKeepsItsPitch) {
  // The same note 60 as a sine of oscillator 1 alone, rendered at 48 kHz:
  // still 1378.125 Hz (the engine scales its steps by 44100 / 48000), not
  // the 1500 Hz of 512 steps per sample at 48 kHz.
  const std::string song = oneNoteSong(dir, 60, 441, 1323);
  const std::string out = inDir(dir, "note48k.wav");
  const render_test::RunResult result = run({"--plugin", plugin, "--midi", song, "--out", out, "--quiet", "--rate",
                                             "48000", "--param", "Wav1=0", "--param", "Mix=0"});
  ASSERT_EQ(result.code, 0) << result.err;
  const render_test::StereoAudio audio = render_test::readStereo(out);
  ASSERT_EQ(audio.sampleRate, 48000);
  // Tick 441 is 0.5 s: frame 24000; on for one second.
  EXPECT_LT(peakIn(audio.left, 0, 24000), 1e-20f);
  EXPECT_GT(peakIn(audio.left, 30000, 60000), 0.05f);
  // Within 0.1 %; whole-sample crossings over 30000 frames count to 0.005 %.
  EXPECT_NEAR(crossingRate(audio.left, 30000, 60000, 48000), 1378.125, 1.378);
}

TEST_F(MarrowglintRender, SplitBlocksLetANoteStartOnItsOwnFrame) {
  // Note on at tick 20: frame 1000, inside the block 512 … 1023.
  const std::string song = oneNoteSong(dir, 60, 20, 400);
  const std::string split = inDir(dir, "split.wav");
  const std::string fixed = inDir(dir, "fixed.wav");
  ASSERT_EQ(run({"--plugin", plugin, "--midi", song, "--out", split, "--quiet", "--tail", "0"}).code, 0);
  ASSERT_EQ(run({"--plugin", plugin, "--midi", song, "--out", fixed, "--quiet", "--tail", "0", "--no-split"}).code,
            0);
  // Silence is 1e-24; the first frame of a note is far above 1e-9.
  EXPECT_EQ(firstAbove(render_test::readStereo(split).left, 1e-9f), 1000u);
  // A typical host's fixed blocks start the note with the block instead.
  EXPECT_EQ(firstAbove(render_test::readStereo(fixed).left, 1e-9f), 512u);
}

TEST_F(MarrowglintRender, ARestoredBankRendersIdentically) {
  const std::string song = oneNoteSong(dir, 48, 100, 900);
  const std::string first = inDir(dir, "first.wav");
  const std::string bank = inDir(dir, "sound.fxb");
  ASSERT_EQ(run({"--plugin", plugin, "--midi", song, "--out", first, "--quiet", "--program", "3", "--param",
                 "Cut=0.3", "--param", "Reso=0.6", "--param", "Wav1=0.3", "--param", "Tube=0.4", "--save-fxb", bank})
                .code,
            0);
  const std::string restored = inDir(dir, "restored.wav");
  ASSERT_EQ(run({"--plugin", plugin, "--midi", song, "--out", restored, "--quiet", "--fxb", bank}).code, 0);
  const std::string plain = inDir(dir, "plain.wav");
  ASSERT_EQ(run({"--plugin", plugin, "--midi", song, "--out", plain, "--quiet"}).code, 0);
  const render_test::StereoAudio reference = render_test::readStereo(first);
  ASSERT_GT(reference.frames(), 40000u);
  EXPECT_EQ(render_test::readStereo(restored).left, reference.left);
  // The settings made a difference, so the comparison above means something.
  EXPECT_NE(render_test::readStereo(plain).left, reference.left);
}

class SarnelRender : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin = render_test::pluginPath("Sarnel");
    VORNHALT_REQUIRE_PREREQUISITE(render_test::exists(plugin), plugin);
    dir = render_test::workDir(std::string("sarnel_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    sample = inDir(dir, "a440.wav");
    // One second of a 440 Hz sine, the instrument's recorded pitch at root note 69.
    std::vector<float> sine(kRate);
    for (std::size_t i = 0; i < sine.size(); ++i) {
      sine[i] = 0.5f * static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * 440.0 * i / kRate));
    }
    host::WaveWriter writer(sample, host::SampleFormat::float32, kRate, 1);
    const float* channels[1] = {sine.data()};
    writer.write(channels, kRate);
    writer.commit();
  }
  std::vector<std::string> args(const std::string& song, const std::string& out) const {
    return {"--plugin", plugin, "--midi", song, "--out", out, "--quiet", "--sample", sample,
            "--param", "root note=" + std::to_string(69.0 / 127.0), "--param", "attack=0", "--param", "release=0"};
  }
  std::string plugin;
  std::string dir;
  std::string sample;
};

TEST_F(SarnelRender, TheSamplePlaysAtTheNotesPitch) {
  for (const auto& [note, hertz] : {std::pair{69, 440.0}, std::pair{81, 880.0}, std::pair{57, 220.0}}) {
    const std::string song = oneNoteSong(dir, note, 441, 1000);  // 0.5 s … 1.13 s
    std::string name = std::to_string(note);
    name.append(".wav");
    const std::string out = inDir(dir, name);
    const render_test::RunResult result = run(args(song, out));
    ASSERT_EQ(result.code, 0) << result.err;
    const render_test::StereoAudio audio = render_test::readStereo(out);
    EXPECT_LT(peakIn(audio.left, 0, 22000), 1e-6f) << note;
    EXPECT_GT(peakIn(audio.left, 23000, 40000), 0.1f) << note;
    // Over 0.39 s a crossing count is exact to about 3 Hz.
    EXPECT_NEAR(crossingRate(audio.left, 23000, 40000), hertz, 3.0) << note;
  }
}

TEST_F(SarnelRender, TheSamplePathAndTuningSurviveASavedProgram) {
  const std::string song = oneNoteSong(dir, 81, 441, 1000);
  const std::string tuning = inDir(dir, "fifth.tun");
  {
    // Note 81 only a fifth above the root note 69 (7600 cents instead of
    // 8100): the sample's 440 Hz become 659.26 Hz.
    std::ofstream out(tuning);
    out << "[Tuning]\nnote 81 = 7600\n";
  }
  const std::string first = inDir(dir, "first.wav");
  const std::string program = inDir(dir, "state.fxp");
  std::vector<std::string> a = args(song, first);
  a.insert(a.end(), {"--tuning", tuning, "--save-fxp", program});
  const render_test::RunResult result = run(a);
  ASSERT_EQ(result.code, 0) << result.err;
  const render_test::StereoAudio reference = render_test::readStereo(first);
  EXPECT_NEAR(crossingRate(reference.left, 23000, 40000), 440.0 * std::pow(2.0, 7.0 / 12.0), 3.0);
  const std::string restored = inDir(dir, "restored.wav");
  ASSERT_EQ(run({"--plugin", plugin, "--midi", song, "--out", restored, "--quiet", "--fxp", program}).code, 0);
  EXPECT_EQ(render_test::readStereo(restored).left, reference.left);
  // A preset whose sample has gone missing stops before anything is written.
  std::filesystem::remove(sample);
  const std::string orphan = inDir(dir, "orphan.wav");
  const render_test::RunResult missing =
      run({"--plugin", plugin, "--midi", song, "--out", orphan, "--quiet", "--fxp", program});
  EXPECT_EQ(missing.code, 7);
  EXPECT_NE(missing.err.find("could not be found"), std::string::npos) << missing.err;
  EXPECT_FALSE(render_test::exists(orphan));
}

TEST_F(SarnelRender, AnUnreadableSampleStopsWithTheReadersMessage) {
  const std::string song = oneNoteSong(dir, 69, 441, 1000);
  const std::string bad = inDir(dir, "bad.wav");
  render_test::writeBytes(bad, {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '});
  const std::string out = inDir(dir, "out.wav");
  std::vector<std::string> a = args(song, out);
  a[8] = bad;
  const render_test::RunResult result = run(a);
  EXPECT_EQ(result.code, 7);
  EXPECT_NE(result.err.find("Error "), std::string::npos) << result.err;
  EXPECT_FALSE(render_test::exists(out));
}

}  // namespace
