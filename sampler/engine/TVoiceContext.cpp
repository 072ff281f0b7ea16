#include "sampler/engine/TVoiceContext.h"

#include "sampler/engine/Nearest.h"

namespace sarnel {

namespace {

// The first float of the frame that holds float index `index` (>= 0).
std::int64_t frameHolding(std::int64_t index, std::int32_t channels) noexcept { return index - index % channels; }

}  // namespace

std::int64_t loopIndex(std::int32_t length, float value) noexcept {
  std::int64_t index = nearest64(static_cast<double>(length - 1) * static_cast<double>(value));
  if (index < 0) index = 0;
  if (index > length - 1) index = length - 1;
  return index;
}

TVoiceContext makeVoiceContext(const TSampleBlock& block, float hostSampleRate, float pitch, float interpolation,
                               float loopMode, float loopLow, float loopHigh) noexcept {
  TVoiceContext c;
  c.data = block.samples();
  c.length = block.length;
  c.channels = block.channels;
  const std::int64_t loopStartIndex = loopIndex(block.length, loopLow);
  const std::int64_t loopEndIndex = loopIndex(block.length, loopHigh);
  c.loopStart = frameHolding(loopStartIndex, block.channels);
  c.loopEndFrame = frameHolding(loopEndIndex, block.channels);
  // A frame start is at or past the end index exactly when it is at or past
  // the end index rounded up to a frame start.
  c.loopEnd = c.loopEndFrame == loopEndIndex ? loopEndIndex : c.loopEndFrame + block.channels;
  c.loopPointsCrossed = loopStartIndex >= loopEndIndex;
  const std::int64_t last = static_cast<std::int64_t>(block.length) - 1;
  c.lastFrame = last < 0 ? 0 : last - last % block.channels;
  c.loopMode = nearest(loopMode * 3.0f);
  c.interpolate = interpolation > 0.5f;
  c.forward = pitch > 0.5f;
  c.speed = c.forward ? (pitch - 0.5f) * 4.0f : 2.0f - 4.0f * pitch;
  c.rateBase = static_cast<float>(block.fileSampleRate) / hostSampleRate;
  return c;
}

}  // namespace sarnel
