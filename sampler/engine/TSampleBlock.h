#pragma once
// A loaded sample as the render reads it: immutable once published, so the
// audio thread can read it without any lock while the GUI thread prepares
// the next one.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace sarnel {

struct TSampleBlock {
  // Interleaved frames (`channels` floats each, left first), `length` floats,
  // followed by a few floats that repeat what a read past the end wraps to
  // (see makeSampleBlock), so that no read of a voice leaves the buffer.
  std::vector<float> data;
  std::int32_t length = 0;          // floats of the sample itself ("L")
  std::int32_t channels = 1;        // at least 1
  std::int32_t fileSampleRate = 0;  // Hz, as the file states it
  std::uint64_t serial = 0;         // distinguishes one load from the next

  const float* samples() const noexcept { return data.data(); }
};

// Floats a voice reads beyond its position: the next frame's left and right
// channel, i.e. up to position + channels + 1.
constexpr std::int32_t readPaddingFor(std::int32_t channels) noexcept { return channels + 2; }

// The float a read at index j (0 <= j) reaches: inside the sample the float
// itself; past the end the read wraps back by whole frames to j - (L - ch),
// repeatedly, so the first frame is never reached by a wrap (for one channel
// that is j - (L - 1)); whole frames keep the channels of a two-channel
// sample apart. A one-frame sample reads its only frame everywhere.
std::int32_t wrappedReadIndex(std::int64_t j, std::int32_t length, std::int32_t channels) noexcept;

// The most floats a sample keeps: positions and loop points stay far inside
// int32 arithmetic.
inline constexpr std::int32_t kMaxSampleFloats = INT32_MAX / 2;

// The floats of `floatCount` decoded ones that a sample of `channels`
// channels (at least 1) keeps: whole frames only, and no more frames than fit
// the cap, so that a cut sample still keeps every channel in its place.
constexpr std::int32_t sampleLengthFor(std::size_t floatCount, std::int32_t channels) noexcept {
  const auto perFrame = static_cast<std::size_t>(channels < 1 ? 1 : channels);
  const std::size_t maxFrames = static_cast<std::size_t>(kMaxSampleFloats) / perFrame;
  const std::size_t frames = floatCount / perFrame;
  return static_cast<std::int32_t>((frames < maxFrames ? frames : maxFrames) * perFrame);
}

// Takes the decoded floats and appends the read padding. The channel count
// is at least 1 and the length is cut to whole frames. GUI thread.
std::unique_ptr<TSampleBlock> makeSampleBlock(std::vector<float> floats, std::int32_t channels,
                                              std::int32_t fileSampleRate);

}  // namespace sarnel
