#pragma once
// The hand-over of the loaded sample from the GUI thread, which loads,
// replaces and unloads it, to the threads that read it.
//
// A block is immutable once published. A reader takes the current block and
// announces it in its own slot of `held` (a hazard pointer) until it releases
// it. Every entry point that reads the sample has a slot of its own, because
// hosts may call them on different threads at the same time (events from a
// MIDI thread while an offline thread renders, say): with one shared slot the
// second reader would overwrite the first one's announcement and the GUI
// thread could free a block the first still reads. The GUI thread frees a
// replaced block only when no slot holds it, otherwise it keeps it in
// `retired` and tries again at the next publish, at the next collect() (the
// sample timer and editor idle call it) or at destruction, when the host no
// longer renders.
//
// Why it is safe, slot by slot: `held[r]` is stored and `current` loaded
// again by reader r, `current` is exchanged and `held[r]` loaded by the GUI
// thread, all four sequentially consistent. If the GUI thread reads a
// `held[r]` other than the old block, then either reader r announced the old
// block after that read, so its check of `current` sees the new block and it
// retries without ever reading the old one, or it announced something else
// after it finished with the old block; that store (a release) happens after
// its last read, and the GUI thread's load (an acquire) of it orders the free
// after those reads.
//
// No memory is needed to retire a block: after a collect every retired block
// is held by some slot, and a slot holds one block at a time, so at most
// kSampleReaderCount blocks wait and one more fits. publish therefore cannot
// fail, and a lack of memory can never force a free of a block still read.
//
// The readers never wait, allocate or lock; only the GUI thread frees.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "sampler/engine/TSampleBlock.h"

namespace sarnel {

// The entry points that read the sample, one announcement slot each.
enum class TSampleReader : std::uint8_t { events, process, processReplacing, frame, gate };
inline constexpr std::size_t kSampleReaderCount = 5;

template <typename Block, typename Deleter = std::default_delete<Block>>
class TSampleExchangeOf {
 public:
  using Owned = std::unique_ptr<Block, Deleter>;

  explicit TSampleExchangeOf(Deleter deleter = Deleter()) noexcept : deleter(std::move(deleter)) {}
  // The host has stopped rendering when it destroys the plug-in.
  ~TSampleExchangeOf();
  TSampleExchangeOf(const TSampleExchangeOf&) = delete;
  TSampleExchangeOf& operator=(const TSampleExchangeOf&) = delete;

  // Makes `next` (or no sample, for null) the block every reader takes from
  // its next acquire on. GUI thread.
  void publish(Owned next) noexcept;
  // Frees the retired blocks that no reader holds. GUI thread.
  void collect() noexcept;
  // The block the GUI thread published last (the GUI thread owns it, so it
  // may read it at any time). GUI thread.
  const Block* current() const noexcept { return currentBlock.load(std::memory_order_relaxed); }
  // Blocks waiting to be freed. GUI thread.
  std::size_t retiredCount() const noexcept { return retiredBlocks; }

  // Takes the current block for reading until release(reader); null when
  // none. Each reader is used by one thread at a time. Any thread.
  const Block* acquire(TSampleReader reader) noexcept;
  // Any thread (the one that acquired).
  void release(TSampleReader reader) noexcept { slot(reader).store(nullptr, std::memory_order_release); }

 private:
  std::atomic<const Block*>& slot(TSampleReader reader) noexcept {
    return held[static_cast<std::size_t>(reader)];
  }
  bool isHeld(const Block* block) const noexcept;

  std::atomic<Block*> currentBlock{nullptr};
  std::array<std::atomic<const Block*>, kSampleReaderCount> held{};
  static_assert(std::atomic<Block*>::is_always_lock_free && std::atomic<const Block*>::is_always_lock_free,
                "a reader must never wait for the GUI thread");
  // GUI thread only, these three.
  std::array<Block*, kSampleReaderCount + 1> retired{};
  std::size_t retiredBlocks = 0;
  Deleter deleter;
};

using TSampleExchange = TSampleExchangeOf<TSampleBlock>;

template <typename Block, typename Deleter>
TSampleExchangeOf<Block, Deleter>::~TSampleExchangeOf() {
  for (std::size_t i = 0; i < retiredBlocks; ++i) deleter(retired[i]);
  if (Block* last = currentBlock.load(std::memory_order_acquire)) deleter(last);
}

template <typename Block, typename Deleter>
void TSampleExchangeOf<Block, Deleter>::publish(Owned next) noexcept {
  collect();  // leaves at most kSampleReaderCount blocks, so the old one fits
  Block* old = currentBlock.exchange(next.release(), std::memory_order_seq_cst);
  if (old == nullptr) return;
  retired[retiredBlocks++] = old;
  collect();
}

template <typename Block, typename Deleter>
bool TSampleExchangeOf<Block, Deleter>::isHeld(const Block* block) const noexcept {
  for (const auto& announced : held) {
    if (announced.load(std::memory_order_seq_cst) == block) return true;
  }
  return false;
}

template <typename Block, typename Deleter>
void TSampleExchangeOf<Block, Deleter>::collect() noexcept {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < retiredBlocks; ++i) {
    if (isHeld(retired[i])) {
      retired[kept++] = retired[i];
    } else {
      deleter(retired[i]);
    }
  }
  for (std::size_t i = kept; i < retiredBlocks; ++i) retired[i] = nullptr;
  retiredBlocks = kept;
}

template <typename Block, typename Deleter>
const Block* TSampleExchangeOf<Block, Deleter>::acquire(TSampleReader reader) noexcept {
  std::atomic<const Block*>& announcement = slot(reader);
  const Block* block = currentBlock.load(std::memory_order_seq_cst);
  for (;;) {
    announcement.store(block, std::memory_order_seq_cst);
    const Block* check = currentBlock.load(std::memory_order_seq_cst);
    if (check == block) return block;
    block = check;  // replaced meanwhile: announce the new one instead
  }
}

}  // namespace sarnel
