#include "sampler/engine/TSampleExchange.h"

#include <algorithm>
#include <utility>

namespace sarnel {

TSampleExchange::~TSampleExchange() {
  delete currentBlock.load(std::memory_order_acquire);
}

void TSampleExchange::publish(std::unique_ptr<TSampleBlock> next) {
  std::unique_ptr<TSampleBlock> old(currentBlock.exchange(next.release(), std::memory_order_seq_cst));
  if (old) retired.push_back(std::move(old));
  collect();
}

void TSampleExchange::collect() {
  if (retired.empty()) return;
  const TSampleBlock* inUse = held.load(std::memory_order_seq_cst);
  std::erase_if(retired, [inUse](const std::unique_ptr<TSampleBlock>& block) { return block.get() != inUse; });
}

}  // namespace sarnel
