#include "sampler/engine/TVoiceContext.h"

#include "sampler/engine/Nearest.h"

namespace sarnel {

std::int64_t loopPoint(std::int32_t length, std::int32_t channels, float value) noexcept {
  std::int64_t index = nearest64(static_cast<double>(length - 1) * static_cast<double>(value));
  if (index < 0) index = 0;
  if (index > length - 1) index = length - 1;
  return index - index % channels;
}

TVoiceContext makeVoiceContext(const TSampleBlock& block, float hostSampleRate, float pitch, float interpolation,
                               float loopMode, float loopLow, float loopHigh) noexcept {
  TVoiceContext c;
  c.data = block.samples();
  c.length = block.length;
  c.channels = block.channels;
  c.loopStart = loopPoint(block.length, block.channels, loopLow);
  c.loopEnd = loopPoint(block.length, block.channels, loopHigh);
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
