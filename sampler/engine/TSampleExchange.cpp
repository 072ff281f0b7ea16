#include "sampler/engine/TSampleExchange.h"

#include <algorithm>
#include <utility>

namespace sarnel {

TSampleExchange::~TSampleExchange() {
  delete currentBlock.load(std::memory_order_acquire);
}

void TSampleExchange::publish(std::unique_ptr<TSampleBlock> next) {
  TSampleBlock* const incoming = next.release();
  std::unique_ptr<TSampleBlock> old(currentBlock.exchange(incoming, std::memory_order_seq_cst));
  // The serial is announced after the pointer (release): whoever sees the new
  // serial finds the new block published.
  if (incoming != nullptr) lastSerial.store(incoming->serial, std::memory_order_release);
  if (old) retired.push_back(std::move(old));
  collect();
}

void TSampleExchange::collect() {
  if (retired.empty()) return;
  const TSampleBlock* inUse = held.load(std::memory_order_seq_cst);
  std::erase_if(retired, [inUse](const std::unique_ptr<TSampleBlock>& block) { return block.get() != inUse; });
}

}  // namespace sarnel
