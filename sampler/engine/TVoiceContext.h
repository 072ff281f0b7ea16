#pragma once
// What every voice of one frame (or of a span of frames with unchanged
// parameters) reads: the sample, the loop points, the loop mode, the
// direction and the speed.

#include <cstdint>

#include "sampler/engine/TSampleBlock.h"

namespace sarnel {

struct TVoiceContext {
  const float* data = nullptr;  // sample floats, read padding included
  std::int32_t length = 0;      // L
  std::int32_t channels = 1;
  // Loop points on whole frames, so that a loop never swaps the channels of
  // a two-channel sample: a voice always holds the first float of a frame.
  // The loop points are float indices, round((L - 1) x value), which may
  // fall inside a frame. The loop starts on the frame that holds its start
  // index; a position has reached the loop end exactly when, read as a
  // float index, it is at or past the end index, so the frame that holds an
  // end index inside it still plays. For one channel these are the indices
  // themselves.
  std::int64_t loopStart = 0;     // the frame that holds the loop start index
  std::int64_t loopEnd = 0;       // the first frame start at or past the loop end index
  std::int64_t loopEndFrame = 0;  // the frame that holds the loop end index: where a jump to the loop end lands
  bool loopPointsCrossed = true;  // loop start index >= loop end index (compared before alignment)
  std::int64_t lastFrame = 0;     // the highest position a voice may hold
  int loopMode = 0;               // 0 no loop, 1 loop only, 2 start+loop, 3 ping pong
  bool interpolate = false;
  bool forward = true;            // pitch above 0.5
  float speed = 0.0f;             // (pitch - 0.5) x 4 forward, (2 - 4 x pitch) backward
  float rateBase = 0.0f;          // file sample rate / host sample rate

  // The position a voice starts from (gateVoice).
  std::int64_t startIndex() const noexcept {
    if (!forward) return loopEndFrame;
    return loopMode == 2 ? 0 : loopStart;
  }
};

// The context for `block` (non-null, length >= 1) with parameter values
// pitch, interpolation, loop mode, loop low and loop high.
TVoiceContext makeVoiceContext(const TSampleBlock& block, float hostSampleRate, float pitch, float interpolation,
                               float loopMode, float loopLow, float loopHigh) noexcept;

// A loop point as a float index: round((L - 1) x value), within 0 ... L - 1.
std::int64_t loopIndex(std::int32_t length, float value) noexcept;

}  // namespace sarnel
