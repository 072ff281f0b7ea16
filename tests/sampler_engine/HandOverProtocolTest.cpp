// The sample hand-over's protocol, one step at a time on one thread: which
// block a reader gets, which replaced block stays and which is freed, told
// by a deleter that records every free. HandOverTest adds the threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "sampler/engine/TSampleExchange.h"

namespace {

using sarnel::kSampleReaderCount;
using sarnel::TSampleReader;

struct TestBlock {
  int id;
};

// Records the id of every block it frees.
struct RecordingDeleter {
  std::vector<int>* freed;
  void operator()(TestBlock* block) const noexcept {
    freed->push_back(block->id);
    delete block;
  }
};

using Exchange = sarnel::TSampleExchangeOf<TestBlock, RecordingDeleter>;

constexpr std::array<TSampleReader, kSampleReaderCount> kReaders{
    TSampleReader::events, TSampleReader::process, TSampleReader::processReplacing, TSampleReader::frame,
    TSampleReader::gate};

class HandOverProtocol : public ::testing::Test {
 protected:
  HandOverProtocol() { freed.reserve(64); }  // the deleter is noexcept: no growth while it runs
  Exchange::Owned block(int id) { return Exchange::Owned(new TestBlock{id}, RecordingDeleter{&freed}); }
  bool wasFreed(int id) const { return std::find(freed.begin(), freed.end(), id) != freed.end(); }

  std::vector<int> freed;
  std::unique_ptr<Exchange> exchange = std::make_unique<Exchange>(RecordingDeleter{&freed});
};

TEST_F(HandOverProtocol, AHeldBlockIsKeptUntilItsReaderReleasesIt) {
  exchange->publish(block(1));
  const TestBlock* a = exchange->acquire(TSampleReader::processReplacing);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->id, 1);

  exchange->publish(block(2));
  EXPECT_EQ(exchange->current()->id, 2);
  EXPECT_FALSE(wasFreed(1));
  EXPECT_EQ(exchange->retiredCount(), 1u);

  exchange->collect();
  EXPECT_FALSE(wasFreed(1)) << "collected while the render still reads it";
  EXPECT_EQ(exchange->retiredCount(), 1u);

  exchange->release(TSampleReader::processReplacing);
  exchange->collect();
  EXPECT_EQ(freed, std::vector<int>{1});
  EXPECT_EQ(exchange->retiredCount(), 0u);
}

TEST_F(HandOverProtocol, AReplacedBlockNoOneHoldsIsFreedAtOnce) {
  exchange->publish(block(1));
  exchange->publish(block(2));
  EXPECT_EQ(freed, std::vector<int>{1});
  exchange->publish(nullptr);  // an unload
  EXPECT_EQ(freed, (std::vector<int>{1, 2}));
  EXPECT_EQ(exchange->acquire(TSampleReader::events), nullptr);
  EXPECT_EQ(exchange->retiredCount(), 0u);
}

TEST_F(HandOverProtocol, AStaleAnnouncementIsReplacedByTheNextAcquire) {
  exchange->publish(block(1));
  ASSERT_EQ(exchange->acquire(TSampleReader::process)->id, 1);
  exchange->publish(block(2));  // the swap, while the reader still announces 1
  const TestBlock* again = exchange->acquire(TSampleReader::process);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->id, 2);
  exchange->collect();
  EXPECT_TRUE(wasFreed(1));
  EXPECT_FALSE(wasFreed(2));
}

// One reader's release (events on a MIDI thread, say) must not free the
// block another reader (the render) still holds.
TEST_F(HandOverProtocol, EachReaderHoldsForItself) {
  exchange->publish(block(1));
  ASSERT_EQ(exchange->acquire(TSampleReader::process)->id, 1);
  ASSERT_EQ(exchange->acquire(TSampleReader::events)->id, 1);
  exchange->release(TSampleReader::events);
  exchange->publish(block(2));
  exchange->collect();
  EXPECT_FALSE(wasFreed(1)) << "freed while the render holds it";
  // The events reader takes the new block; the render still holds the old.
  ASSERT_EQ(exchange->acquire(TSampleReader::events)->id, 2);
  exchange->publish(block(3));
  EXPECT_FALSE(wasFreed(1));
  EXPECT_FALSE(wasFreed(2));
  exchange->release(TSampleReader::process);
  exchange->release(TSampleReader::events);
  exchange->collect();
  EXPECT_TRUE(wasFreed(1));
  EXPECT_TRUE(wasFreed(2));
  EXPECT_FALSE(wasFreed(3));
}

// Every reader holds a different old block: the most that can wait. More
// publishes still fit and never free a held block.
TEST_F(HandOverProtocol, EveryReaderHoldingAnOldBlockStillLeavesRoom) {
  int id = 0;
  for (TSampleReader reader : kReaders) {
    exchange->publish(block(++id));
    ASSERT_EQ(exchange->acquire(reader)->id, id);
  }
  for (int extra = 0; extra < 3; ++extra) exchange->publish(block(++id));
  for (int held = 1; held <= static_cast<int>(kSampleReaderCount); ++held) EXPECT_FALSE(wasFreed(held)) << held;
  EXPECT_EQ(exchange->retiredCount(), kSampleReaderCount);
  EXPECT_EQ(freed.size(), 2u);  // the two extra blocks that were replaced unread
  EXPECT_EQ(exchange->current()->id, id);

  for (TSampleReader reader : kReaders) exchange->release(reader);
  exchange->collect();
  EXPECT_EQ(exchange->retiredCount(), 0u);
  EXPECT_EQ(freed.size(), kSampleReaderCount + 2);
}

TEST_F(HandOverProtocol, DestructionFreesTheCurrentAndEveryRetiredBlock) {
  exchange->publish(block(1));
  (void)exchange->acquire(TSampleReader::frame);
  exchange->publish(block(2));
  ASSERT_TRUE(freed.empty());
  exchange.reset();  // the host no longer renders
  std::sort(freed.begin(), freed.end());
  EXPECT_EQ(freed, (std::vector<int>{1, 2}));
}

}  // namespace
