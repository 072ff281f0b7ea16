#include "sampler/engine/TSampleBlock.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace sarnel {
namespace {
std::atomic<std::uint64_t> nextSerial{1};
}

std::int32_t wrappedReadIndex(std::int64_t j, std::int32_t length, std::int32_t channels) noexcept {
  if (length <= 0) return 0;
  if (j < 0) return 0;
  if (j < length) return static_cast<std::int32_t>(j);
  const std::int64_t period = static_cast<std::int64_t>(length) - channels;
  if (period <= 0) return static_cast<std::int32_t>(j % length);
  const std::int64_t wraps = (j - length) / period + 1;
  return static_cast<std::int32_t>(j - wraps * period);
}

std::unique_ptr<TSampleBlock> makeSampleBlock(std::vector<float> floats, std::int32_t channels,
                                              std::int32_t fileSampleRate) {
  auto block = std::make_unique<TSampleBlock>();
  block->channels = std::max<std::int32_t>(channels, 1);
  block->length = sampleLengthFor(floats.size(), block->channels);
  block->fileSampleRate = fileSampleRate;
  block->serial = nextSerial.fetch_add(1, std::memory_order_relaxed);
  block->data = std::move(floats);
  const std::int32_t padding = readPaddingFor(block->channels);
  block->data.resize(static_cast<std::size_t>(block->length) + static_cast<std::size_t>(padding), 0.0f);
  if (block->length > 0) {
    for (std::int32_t m = 0; m < padding; ++m) {
      const std::int64_t j = static_cast<std::int64_t>(block->length) + m;
      block->data[static_cast<std::size_t>(j)] =
          block->data[static_cast<std::size_t>(wrappedReadIndex(j, block->length, block->channels))];
    }
  }
  return block;
}

}  // namespace sarnel
