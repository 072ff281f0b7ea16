// The block render (process, processReplacing) against the straightforward
// per-frame render (renderFrame): the same phrases, with every path the fast
// voice loops take or leave (both directions, one and two channels,
// interpolation on and off, the four loop modes with moving loop points,
// envelope stages, portamento, LFOs writing parameters, the effect mode),
// must give the same bits at every block size.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/sampler_engine/EngineFixture.h"

namespace {

using namespace sarnel;
using sarneltest::EngineTest;

// One step of a phrase, at a frame.
struct Action {
  int frame;
  std::function<void(APlugin&)> apply;
};

Action midi(int frame, std::vector<host::MidiMessage> messages) {
  return {frame, [messages](APlugin& p) { sarneltest::sendMidi(p, messages); }};
}
Action param(int frame, int index, float value) {
  return {frame, [index, value](APlugin& p) { p.setParameter(index, value); }};
}

// Integer triangles: the input does not depend on a library's sine.
float triangle(int i, int period, int scale) {
  const int phase = i % period;
  const int half = period / 2;
  return static_cast<float>(phase < half ? phase - half / 2 : half + half / 2 - phase) / static_cast<float>(scale);
}

std::vector<float> monoSample(int frames) {
  std::vector<float> s(static_cast<std::size_t>(frames));
  for (int i = 0; i < frames; ++i) s[static_cast<std::size_t>(i)] = triangle(i, 150, 100);
  return s;
}

std::vector<float> stereoSample(int frames) {
  std::vector<float> s(static_cast<std::size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    s[static_cast<std::size_t>(2 * i)] = triangle(i, 150, 100);
    s[static_cast<std::size_t>(2 * i + 1)] = triangle(i * 3 + 7, 94, 80);
  }
  return s;
}

struct Phrase {
  std::string sampleName;
  std::vector<float> sample;
  int channels = 1;
  int frames = 0;
  std::vector<Action> actions;  // in frame order
  bool withInput = false;
};

Phrase sarnelPhrase(int which) {
  Phrase p;
  switch (which) {
    case 0:  // mono, loop only, interpolation, LFOs on pitch and loop end, filter and echo
      p = {"mono.wav", monoSample(3001), 1, 6000, {}, false};
      p.actions = {param(0, kLoopMode, 1.0f / 3.0f), param(0, kLoopLow, 0.1f), param(0, kLoopHigh, 0.8f),
                   param(0, kAttack, 0.005f), param(0, kDecay, 0.01f), param(0, kSustain, 0.6f),
                   param(0, kRelease, 0.02f), param(0, kFilterHigh, 0.6f), param(0, kFilterReso, 0.5f),
                   param(0, kDelay, 0.01f), param(0, kFeedback, 0.5f), param(0, kLfo1Destination, 0.0f),
                   param(0, kLfo1DepthMin, 0.6f), param(0, kLfo1DepthMax, 0.9f), param(0, kLfo1Rate, 0.3f),
                   param(0, kLfo2Destination, 2.0f / 12.0f), param(0, kLfo2Waveform, 0.8f),
                   param(0, kLfo2DepthMin, 0.5f), param(0, kLfo2DepthMax, 0.9f), param(0, kLfo2Rate, 0.7f),
                   midi(0, {host::noteOn(0, 60, 100), host::noteOn(0, 64, 90), host::noteOn(0, 67, 80)}),
                   midi(700, {host::noteOn(0, 72, 127), host::noteOn(0, 48, 60)}),
                   midi(1900, {host::noteOff(0, 60), host::noteOff(0, 64)}),
                   midi(2500, {host::noteOn(0, 84, 110), host::noteOn(0, 36, 110)}),
                   midi(4000, {host::controlChange(0, 123, 0)}),
                   midi(4100, {host::noteOn(0, 70, 100)})};
      break;
    case 1:  // stereo, ping pong backwards, no interpolation, moving loop start, many voices
      p = {"stereo.wav", stereoSample(2001), 2, 6000, {}, false};
      p.actions = {param(0, kLoopMode, 1.0f), param(0, kPitch, 0.3f), param(0, kInterpolation, 0.0f),
                   param(0, kLoopLow, 0.2f), param(0, kLoopHigh, 0.7f), param(0, kAttack, 0.0f),
                   param(0, kRelease, 0.01f), param(0, kLfo2Destination, 1.0f / 12.0f),
                   param(0, kLfo2Waveform, 0.2f), param(0, kLfo2DepthMin, 0.1f), param(0, kLfo2DepthMax, 0.3f),
                   param(0, kLfo2Rate, 1.0f), param(0, kFilterLow, 0.3f), param(0, kVolume, 0.3f)};
      for (int k = 0; k < 24; ++k) p.actions.push_back(midi(k * 37, {host::noteOn(0, 40 + k * 2, 30 + k * 4)}));
      p.actions.push_back(param(1500, kPitch, 0.8f));
      p.actions.push_back(param(2600, kInterpolation, 1.0f));
      p.actions.push_back(midi(3000, {host::noteOff(0, 44), host::noteOff(0, 50), host::noteOff(0, 60)}));
      p.actions.push_back(param(3500, kLoopMode, 0.5f));
      p.actions.push_back(param(4500, kPitch, 0.5f));
      p.actions.push_back(param(5000, kPitch, 0.1f));
      break;
    case 2:  // monophonic glide up and down, start+loop, LFO on volume
      p = {"mono.wav", monoSample(4001), 1, 9000, {}, false};
      p.actions = {param(0, kPortamento, 1.0f), param(0, kPortamentoTime, 0.03f), param(0, kLoopMode, 0.5f),
                   param(0, kLoopLow, 0.4f), param(0, kLoopHigh, 0.6f), param(0, kAttack, 0.01f),
                   param(0, kLfo1Destination, 1.0f), param(0, kLfo1Waveform, 0.6f), param(0, kLfo1Rate, 0.5f),
                   midi(0, {host::noteOn(0, 60, 100)}), midi(900, {host::noteOn(0, 72, 100)}),
                   midi(2500, {host::noteOn(0, 55, 100)}), midi(2600, {host::noteOff(0, 55)}),
                   midi(4000, {host::noteOff(0, 72)}), midi(5200, {host::noteOff(0, 60)}),
                   midi(6000, {host::noteOn(0, 67, 90)}), param(6500, kPortamento, 0.0f),
                   midi(6600, {host::noteOn(0, 79, 90)})};
      break;
    case 3:  // stereo, no loop: voices that end; all 33 voices and more
      p = {"stereo.wav", stereoSample(1501), 2, 5000, {}, false};
      p.actions = {param(0, kAttack, 0.0f), param(0, kDecay, 0.02f), param(0, kSustain, 0.3f),
                   param(0, kVolume, 0.2f), param(0, kDelay, 0.003f), param(0, kFeedback, 0.9f)};
      for (int k = 0; k < 40; ++k) p.actions.push_back(midi(k * 11, {host::noteOn(0, 30 + k, 100)}));
      p.actions.push_back(param(2000, kPitch, 0.2f));
      p.actions.push_back(midi(2001, {host::noteOn(0, 72, 100), host::noteOn(0, 60, 100)}));
      p.actions.push_back(param(3000, kCommandPlayVoice6, 1.0f));
      p.actions.push_back(param(3300, kCommandAllNotesOff, 1.0f));
      break;
    default:  // the effect mode: the input through the filters and the echo
      p = {"", {}, 1, 3000, {}, true};
      p.actions = {param(0, kFilterHigh, 0.5f), param(0, kFilterReso, 0.8f), param(0, kDelay, 0.02f),
                   param(0, kFeedback, 0.7f), param(1500, kFilterLow, 0.2f), midi(2000, {host::controlChange(0, 123, 0)})};
      break;
  }
  return p;
}

float inputLeft(int i) { return triangle(i, 64, 50); }
float inputRight(int i) { return triangle(i + 5, 90, 70); }

struct Rendered {
  std::vector<float> left;
  std::vector<float> right;
};

// Frame by frame through renderFrame.
Rendered renderReference(APlugin& plugin, const Phrase& phrase) {
  Rendered out;
  std::size_t next = 0;
  for (int i = 0; i < phrase.frames; ++i) {
    while (next < phrase.actions.size() && phrase.actions[next].frame == i) phrase.actions[next++].apply(plugin);
    const TStereoValue frame =
        plugin.renderFrame(phrase.withInput ? inputLeft(i) : 0.0f, phrase.withInput ? inputRight(i) : 0.0f);
    out.left.push_back(frame.left);
    out.right.push_back(frame.right);
  }
  return out;
}

// In blocks of `blockSize`, cut where an action falls, as a host with
// varying block sizes would call.
Rendered renderBlocks(APlugin& plugin, const Phrase& phrase, int blockSize) {
  Rendered out;
  std::size_t next = 0;
  int i = 0;
  while (i < phrase.frames) {
    while (next < phrase.actions.size() && phrase.actions[next].frame == i) phrase.actions[next++].apply(plugin);
    int end = std::min(phrase.frames, i + blockSize);
    if (next < phrase.actions.size()) end = std::min(end, phrase.actions[next].frame);
    sarneltest::Block block(end - i);
    for (int j = i; j < end; ++j) {
      block.inL[static_cast<std::size_t>(j - i)] = phrase.withInput ? inputLeft(j) : 0.0f;
      block.inR[static_cast<std::size_t>(j - i)] = phrase.withInput ? inputRight(j) : 0.0f;
    }
    block.replacing(plugin);
    out.left.insert(out.left.end(), block.outL.begin(), block.outL.end());
    out.right.insert(out.right.end(), block.outR.begin(), block.outR.end());
    i = end;
  }
  return out;
}

class SarnelBlockRender : public EngineTest, public ::testing::WithParamInterface<std::tuple<int, int>> {
 protected:
  std::unique_ptr<APlugin> prepared(const std::string& path) {
    auto made = makePlugin();
    if (!path.empty()) {
      sarneltest::setPathParameters(*made, path);
      made->setParameter(kCommandLoadProgramSample, 1.0f);
    }
    return made;
  }
};

TEST_P(SarnelBlockRender, BlocksGiveTheSameBitsAsFrameByFrame) {
  const auto [which, blockSize] = GetParam();
  const Phrase phrase = sarnelPhrase(which);
  std::string path;
  if (!phrase.sampleName.empty()) {
    path = dir.file(phrase.sampleName);
    sarneltest::writeFloatWave(path, phrase.sample, phrase.channels);
  }
  auto reference = prepared(path);
  auto blocks = prepared(path);
  const Rendered expected = renderReference(*reference, phrase);
  const Rendered actual = renderBlocks(*blocks, phrase, blockSize);

  float loudest = 0.0f;
  for (float v : expected.left) loudest = std::max(loudest, std::fabs(v));
  EXPECT_GT(loudest, 0.01f) << "the phrase must make sound to prove anything";
  ASSERT_EQ(actual.left.size(), expected.left.size());
  int differing = 0;
  for (std::size_t i = 0; i < expected.left.size(); ++i) {
    if (actual.left[i] != expected.left[i] || actual.right[i] != expected.right[i]) {
      if (differing++ < 5) {
        ADD_FAILURE() << "frame " << i << ": " << actual.left[i] << " " << actual.right[i] << " instead of "
                      << expected.left[i] << " " << expected.right[i];
      }
    }
  }
  EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(PhrasesAndBlockSizes, SarnelBlockRender,
                         ::testing::Combine(::testing::Values(0, 1, 2, 3, 4), ::testing::Values(1, 17, 64, 4096)));

}  // namespace
