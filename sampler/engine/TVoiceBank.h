#pragma once
// Sarnel's 33 sample voices: their state, how a note starts and releases
// one, and the voice step that reads, advances, loops and scales it.
//
// The voice state belongs to the audio thread: processEvents and the render
// change it, and commands from other threads reach it as requests the render
// takes at the start of its next block (APlugin). Only the envelopes'
// settings are written from other threads (TADSR is built for that).

#include <array>
#include <cstdint>
#include <utility>

#include "sampler/dsp/TADSR.h"
#include "sampler/engine/ParameterTable.h"
#include "sampler/engine/TVoiceContext.h"

namespace sarnel {

struct TStereoValue {
  float left;
  float right;
};

class TVoiceBank {
 public:
  TVoiceBank();

  // Starts voice v at `start` (gateVoice with gate > 0). Audio thread.
  void gateOn(int v, std::int32_t note, float ratio, float velocity, std::int64_t start) noexcept;
  // Starts voice v at `start` keeping its ratio, velocity and direction (the
  // editor's play commands). Audio thread.
  void restart(int v, std::int32_t note, std::int64_t start) noexcept;
  // Releases voice v (gateVoice with gate <= 0). Audio thread.
  void gateOff(int v) noexcept { envelopes[static_cast<std::size_t>(v)].gateOff(); }
  // Every voice stops and returns to position 0 (a new sample). Audio thread.
  void stopAll() noexcept;
  // Every voice runs forward again (a loop mode change). Audio thread.
  void clearReverse() noexcept { reverse.fill(0); }

  // One frame of voice v at ratio `ratio`: reads the sample at its position,
  // advances, applies the loop bounds and the envelope, and answers the two
  // channels times the envelope and velocity. The voice must be active and
  // the context's sample at least one float long. Audio thread.
  TStereoValue step(int v, const TVoiceContext& c, float ratio) noexcept;

  // Frames first ... end - 1 of voice v, added into `sums` (left and right
  // of frame i at 2i and 2i + 1). With `ratios` the voice's ratio changes per
  // frame (portamento); otherwise it keeps its own. The same result as
  // step() frame by frame, bit for bit, only faster. Audio thread.
  void renderSpan(int v, const TVoiceContext& c, int first, int end, float* sums, const float* ratios) noexcept;

  bool isActive(int v) const noexcept { return note[static_cast<std::size_t>(v)] >= 0; }
  std::int32_t lowestFreeVoice() const noexcept;

  // The envelopes take their settings from any thread.
  std::array<TADSR, kNumVoices>& envelopeArray() noexcept { return envelopes; }

  // Voice state, for the render and for tests that inspect it while no
  // render runs.
  std::array<std::int32_t, kNumVoices> note;     // -1: free
  std::array<std::int32_t, kNumVoices> position;  // float index into the sample
  std::array<double, kNumVoices> fraction;        // 0 <= f < 1 after a step (1.0 in one corner case)
  std::array<bool, kNumVoices> looped;
  std::array<std::int32_t, kNumVoices> reverse;   // 1 while a ping-pong voice runs backwards
  std::array<float, kNumVoices> ratio;
  std::array<float, kNumVoices> velocity;

 private:
  using Span = int (TVoiceBank::*)(int, const TVoiceContext&, int, int, float*, double) noexcept;
  template <std::size_t... kVariants>
  static constexpr std::array<Span, sizeof...(kVariants)> spanTable(std::index_sequence<kVariants...>) noexcept;
  // How far one step of a fast span goes, in frames.
  static constexpr int kSpeedBelowOne = 0;
  static constexpr int kSpeedBelowTwo = 1;
  static constexpr int kSpeedAny = 2;
  template <int kChannels, bool kInterpolate, bool kForward, bool kSustain, int kSpeed>
  int fastSpan(int v, const TVoiceContext& c, int i, int end, float* sums, double signedStep) noexcept;
  bool applyBounds(int v, const TVoiceContext& c, std::int64_t& k, double& f, std::int64_t lo) noexcept;
  std::int64_t lowerBound(int v, const TVoiceContext& c) const noexcept;

  std::array<TADSR, kNumVoices> envelopes;
};

}  // namespace sarnel
