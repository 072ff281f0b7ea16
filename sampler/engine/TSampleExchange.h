#pragma once
// The hand-over of the loaded sample from the GUI thread, which loads,
// replaces and unloads it, to the audio thread, which reads it.
//
// A block is immutable once published. The render takes the current block
// once per rendered block and announces it in `held` (a hazard pointer); the
// GUI thread frees a replaced block only when the render provably does not
// hold it, otherwise it keeps it in `retired` and tries again at the next
// publish, at the next collect() (the sample timer and editor idle call it)
// or at destruction, when the host no longer renders.
//
// Why it is safe: `held` is stored and `current` loaded again by the render,
// `current` is exchanged and `held` loaded by the GUI thread, all four
// sequentially consistent. If the GUI thread reads a `held` other than the
// old block, then either the render announced the old block after that read,
// so its check of `current` sees the new block and it retries without ever
// reading the old one, or it announced something else after it finished
// with the old block; that store (a release) happens after its last read, and
// the GUI thread's load (an acquire) of it orders the free after those reads.
//
// The render never waits, allocates or locks; only the GUI thread frees.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "sampler/engine/TSampleBlock.h"

namespace sarnel {

class TSampleExchange {
 public:
  TSampleExchange() = default;
  // The host has stopped rendering when it destroys the plug-in.
  ~TSampleExchange();
  TSampleExchange(const TSampleExchange&) = delete;
  TSampleExchange& operator=(const TSampleExchange&) = delete;

  // Makes `next` (or no sample, for null) the block the render reads from its
  // next acquire on. GUI thread.
  void publish(std::unique_ptr<TSampleBlock> next);
  // Frees the retired blocks that the render no longer holds. GUI thread.
  void collect();
  // The block the GUI thread published last (the GUI thread owns it, so it
  // may read it at any time). GUI thread.
  const TSampleBlock* current() const noexcept { return currentBlock.load(std::memory_order_relaxed); }
  // Blocks waiting to be freed. GUI thread.
  std::size_t retiredCount() const noexcept { return retired.size(); }

  // Takes the current block for reading until release(); null when none.
  // Audio thread.
  const TSampleBlock* acquire() noexcept;
  // Audio thread.
  void release() noexcept { held.store(nullptr, std::memory_order_release); }

 private:
  std::atomic<TSampleBlock*> currentBlock{nullptr};
  std::atomic<const TSampleBlock*> held{nullptr};
  static_assert(std::atomic<TSampleBlock*>::is_always_lock_free && std::atomic<const TSampleBlock*>::is_always_lock_free,
                "the render must never wait for the GUI thread");
  std::vector<std::unique_ptr<TSampleBlock>> retired;  // GUI thread only
};

inline const TSampleBlock* TSampleExchange::acquire() noexcept {
  const TSampleBlock* block = currentBlock.load(std::memory_order_seq_cst);
  for (;;) {
    held.store(block, std::memory_order_seq_cst);
    const TSampleBlock* check = currentBlock.load(std::memory_order_seq_cst);
    if (check == block) return block;
    block = check;  // replaced meanwhile: announce the new one instead
  }
}

}  // namespace sarnel
