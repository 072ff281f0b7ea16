// vornhalt-render as a user meets it: every bad input has its message and
// exit code, nothing half-written stays behind, and a song rendered through
// the GateProbe lands in the WAV file at its exact frames.

#include <gtest/gtest.h>

#include "host/MidiFileWriter.h"
#include "host/PresetFile.h"
#include "render/ExitCode.h"
#include "render/ProgressBar.h"
#include "tests/render/GateProbe.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/Prerequisites.h"

namespace {

using render::ExitCode;
using render_test::inDir;
using render_test::run;

int code(ExitCode value) { return static_cast<int>(value); }

// 441 ticks per quarter at 120 bpm: one tick is exactly 50 frames at 44.1 kHz;
// from tick 400 on the tempo halves (100 frames per tick).
std::string writeSong(const std::string& dir) {
  host::MidiFileWriter song(1, 441);
  const int conductor = song.addTrack();
  const int notes = song.addTrack();
  song.tempo(conductor, 400, 60.0);
  song.noteOn(notes, 20, 0, 60, 127);   // frame 1000
  song.noteOff(notes, 30, 0, 60);       // frame 1500
  song.noteOn(notes, 390, 0, 62, 127);  // frame 19500
  song.noteOff(notes, 410, 0, 62);      // 20000 + 10 × 100 = frame 21000
  const std::string path = inDir(dir, "song.mid");
  song.save(path);
  return path;
}

class RenderCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    VORNHALT_REQUIRE_PREREQUISITE(render_test::exists(render_test::gateProbePath()), "GateProbe");
    dir = render_test::workDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
    song = writeSong(dir);
  }
  std::vector<std::string> renderArgs(const std::string& out) const {
    return {"--plugin", render_test::gateProbePath(), "--midi", song, "--out", out, "--quiet"};
  }
  std::string dir;
  std::string song;
};

TEST_F(RenderCommand, RendersEveryEventAtItsExactFrame) {
  const std::string out = inDir(dir, "song.wav");
  std::vector<std::string> args = renderArgs(out);
  args.insert(args.end(), {"--tail", "0.5", "--param", "gain=0.5"});
  const render_test::RunResult result = run(args);
  ASSERT_EQ(result.code, 0) << result.err;
  const render_test::StereoAudio audio = render_test::readStereo(out);
  EXPECT_EQ(audio.sampleRate, 44100);
  ASSERT_EQ(audio.frames(), 21000u + 22050u);
  for (std::size_t i = 0; i < audio.frames(); ++i) {
    const bool gate = (i >= 1000 && i < 1500) || (i >= 19500 && i < 21000);
    ASSERT_EQ(audio.left[i], gate ? 0.5f : 0.0f) << "frame " << i;
    ASSERT_EQ(audio.right[i], gate ? 0.25f : 0.0f) << "frame " << i;
  }
  EXPECT_TRUE(result.out.empty());  // --quiet
}

TEST_F(RenderCommand, SummaryAndSixteenBitOutput) {
  const std::string out = inDir(dir, "song16.wav");
  const render_test::RunResult result =
      run({"--plugin", render_test::gateProbePath(), "--midi", song, "--out", out, "--bits", "16", "--rate", "48000",
           "--block", "17", "--param", "0=0.5"});
  ASSERT_EQ(result.code, 0) << result.err;
  EXPECT_NE(result.out.find("Peak -6.02 dBFS"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("0 clipped samples"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("48000 Hz, 16-bit PCM"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Real-time factor"), std::string::npos);
  const render_test::StereoAudio audio = render_test::readStereo(out);
  EXPECT_EQ(audio.sampleRate, 48000);
  // At 48 kHz tick 20 is frame 1088.4 → 1088; within half a 16-bit step.
  EXPECT_EQ(audio.left[1087], 0.0f);
  EXPECT_NEAR(audio.left[1088], 0.5f, 0.5 / 32767);
  EXPECT_NEAR(audio.right[1088], 0.25f, 0.5 / 32767);
}

TEST_F(RenderCommand, SavedBankRestoresTheSameRenderInAFreshInstance) {
  const std::string first = inDir(dir, "first.wav");
  const std::string bank = inDir(dir, "state.fxb");
  const std::string program = inDir(dir, "state.fxp");
  std::vector<std::string> args = renderArgs(first);
  args.insert(args.end(), {"--program", "2", "--param", "gain=0.3", "--save-fxb", bank, "--save-fxp", program});
  ASSERT_EQ(run(args).code, 0);

  const std::string fromBank = inDir(dir, "bank.wav");
  args = renderArgs(fromBank);
  args.insert(args.end(), {"--fxb", bank});
  ASSERT_EQ(run(args).code, 0);
  const std::string fromProgram = inDir(dir, "program.wav");
  args = renderArgs(fromProgram);
  args.insert(args.end(), {"--program", "3", "--fxp", program});
  ASSERT_EQ(run(args).code, 0);

  const render_test::StereoAudio reference = render_test::readStereo(first);
  EXPECT_EQ(reference.left[1000], 0.3f);
  EXPECT_EQ(render_test::readStereo(fromBank).left, reference.left);
  EXPECT_EQ(render_test::readStereo(fromProgram).left, reference.left);
  // The bank kept program 2 as its current one, with its own name.
  const host::PresetFile saved = host::readPresetFile(bank);
  EXPECT_EQ(saved.currentProgram, 2);
  EXPECT_EQ(saved.programs.at(2).name, "Gate 3");
  EXPECT_EQ(saved.programs.at(2).values.at(gate_probe::kGain), 0.3f);
  EXPECT_EQ(saved.programs.at(1).values.at(gate_probe::kGain), 1.0f);
}

TEST_F(RenderCommand, UsageMistakes) {
  EXPECT_EQ(run({"--help"}).code, 0);
  EXPECT_NE(run({"--help"}).out.find("--no-split"), std::string::npos);
  const render_test::RunResult unknown = run({"--plugin", "x", "--frobnicate"});
  EXPECT_EQ(unknown.code, code(ExitCode::usage));
  EXPECT_NE(unknown.err.find("--frobnicate"), std::string::npos);
  EXPECT_EQ(run({"--midi", song, "--out", "x.wav"}).code, code(ExitCode::usage));
  EXPECT_EQ(run({"--plugin", "x", "--midi", song}).code, code(ExitCode::usage));
  EXPECT_EQ(run({"--plugin", "x", "--midi", song, "--out", "y", "--bits", "12"}).code, code(ExitCode::usage));
  EXPECT_EQ(run({"--plugin", "x", "--midi", song, "--out", "y", "--rate", "44.1k"}).code, code(ExitCode::usage));
  EXPECT_EQ(run({"--plugin", "x", "--midi", song, "--out", "y", "--param", "gain"}).code, code(ExitCode::usage));
  EXPECT_EQ(run({"--plugin", "x", "--midi", song, "--out", "y", "--param", "gain=1.5"}).code, code(ExitCode::usage));
  EXPECT_EQ(run({"--plugin", "x", "--midi", song, "--out", "y", "--block", "0"}).code, code(ExitCode::usage));
  EXPECT_EQ(run({"--plugin", "x", "--midi", song, "--out", "y", "--tail"}).code, code(ExitCode::usage));
}

TEST_F(RenderCommand, PluginFailuresHaveTheirOwnCodes) {
  const std::string out = inDir(dir, "out.wav");
  const render_test::RunResult missing = run({"--plugin", inDir(dir, "none.so"), "--midi", song, "--out", out});
  EXPECT_EQ(missing.code, code(ExitCode::pluginNotLoadable));
  EXPECT_NE(missing.err.find("does not exist"), std::string::npos);
  // A file that is no library at all.
  EXPECT_EQ(run({"--plugin", song, "--midi", song, "--out", out}).code, code(ExitCode::pluginNotLoadable));
  const std::string nullProbe = std::string(VORNHALT_TEST_PLUGIN_DIR) + "/NullProbe" VORNHALT_PLUGIN_SUFFIX;
  const render_test::RunResult refused = run({"--plugin", nullProbe, "--midi", song, "--out", out});
  EXPECT_EQ(refused.code, code(ExitCode::pluginEntryNull));
  EXPECT_NE(refused.err.find("returned no effect"), std::string::npos);
  EXPECT_FALSE(render_test::exists(out));
}

TEST_F(RenderCommand, MidiFailuresNameTheFileAndTheOffset) {
  const std::string out = inDir(dir, "out.wav");
  EXPECT_EQ(run({"--plugin", render_test::gateProbePath(), "--midi", inDir(dir, "none.mid"), "--out", out}).code,
            code(ExitCode::midiUnreadable));
  std::vector<std::uint8_t> damaged = render_test::readBytes(song);
  damaged.resize(damaged.size() - 3);  // the last track's end marker is cut
  const std::string cut = inDir(dir, "cut.mid");
  render_test::writeBytes(cut, damaged);
  const render_test::RunResult result = run({"--plugin", render_test::gateProbePath(), "--midi", cut, "--out", out});
  EXPECT_EQ(result.code, code(ExitCode::midiMalformed));
  EXPECT_NE(result.err.find("cut.mid"), std::string::npos);
  EXPECT_NE(result.err.find("byte offset"), std::string::npos);
  EXPECT_FALSE(render_test::exists(out));
}

TEST_F(RenderCommand, PresetFailures) {
  const std::string out = inDir(dir, "out.wav");
  host::PresetFile foreign;
  foreign.uniqueId = vst::fourCharCode('Z', 'Q', 'M', 'W');
  foreign.programs.push_back({"Other", std::vector<float>(30, 0.5f)});
  const std::string foreignPath = inDir(dir, "foreign.fxp");
  host::writePresetFile(foreignPath, foreign);
  std::vector<std::string> args = renderArgs(out);
  args.insert(args.end(), {"--fxp", foreignPath});
  const render_test::RunResult refused = run(args);
  EXPECT_EQ(refused.code, code(ExitCode::presetMismatch));
  EXPECT_NE(refused.err.find("'ZQMW'"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("foreign.fxp"), std::string::npos) << refused.err;

  const std::string junk = inDir(dir, "junk.fxb");
  render_test::writeBytes(junk, {'C', 'c', 'n', 'K', 0, 0, 0, 99, 'F', 'x', 'B', 'k'});
  args = renderArgs(out);
  args.insert(args.end(), {"--fxb", junk});
  EXPECT_EQ(run(args).code, code(ExitCode::presetUnreadable));
  args = renderArgs(out);
  args.insert(args.end(), {"--fxb", inDir(dir, "none.fxb")});
  EXPECT_EQ(run(args).code, code(ExitCode::presetUnreadable));
  EXPECT_FALSE(render_test::exists(out));
}

TEST_F(RenderCommand, ParametersAndProgramsThePluginLacks) {
  const std::string out = inDir(dir, "out.wav");
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{"--param", "volume=0.5"}, {"--param", "don't touch!=0.5"}, {"--param", "4=0.5"},
        {"--program", "4"}}) {
    std::vector<std::string> args = renderArgs(out);
    args.insert(args.end(), extra.begin(), extra.end());
    const render_test::RunResult result = run(args);
    EXPECT_EQ(result.code, code(ExitCode::badParameter)) << extra[1];
    EXPECT_FALSE(result.err.empty());
  }
  // The Sarnel-only options on another instrument.
  for (const char* option : {"--sample", "--tuning"}) {
    std::vector<std::string> args = renderArgs(out);
    args.insert(args.end(), {option, song});
    EXPECT_EQ(run(args).code, code(ExitCode::usage)) << option;
  }
}

TEST_F(RenderCommand, UnwritableOutputsLeaveNothingBehind) {
  const std::string out = inDir(dir, "missing-folder/out.wav");
  const render_test::RunResult result = run(renderArgs(out));
  EXPECT_EQ(result.code, code(ExitCode::outputUnwritable));
  EXPECT_NE(result.err.find("missing-folder"), std::string::npos);
  std::vector<std::string> args = renderArgs(inDir(dir, "fine.wav"));
  args.insert(args.end(), {"--save-fxb", inDir(dir, "missing-folder/state.fxb")});
  EXPECT_EQ(run(args).code, code(ExitCode::outputUnwritable));
  // Only the song itself: no WAV, no temporary file.
  EXPECT_EQ(render_test::filesIn(dir), std::vector<std::string>{"song.mid"});
}

}  // namespace

namespace {

TEST(RenderProgressBar, DrawsInPlaceAtMostTenTimesASecondAndClearsItsLine) {
  std::ostringstream out;
  render::ProgressBar bar(out, true, 1000);
  bar.update(250, 1000);
  const std::string first = out.str();
  EXPECT_EQ(first.front(), '\r');
  EXPECT_NE(first.find("[##########                              ]  25%"), std::string::npos) << first;
  EXPECT_NE(first.find("0.2 s"), std::string::npos) << first;
  bar.update(500, 1000);  // too soon after the first drawing
  EXPECT_EQ(out.str(), first);
  bar.finish();
  EXPECT_EQ(out.str().back(), '\r');
  std::ostringstream silent;
  render::ProgressBar off(silent, false, 1000);
  off.update(500, 1000);
  off.finish();
  EXPECT_TRUE(silent.str().empty());
}

}  // namespace
