#pragma once
// The test programs that prove the audio path allocates nothing replace the
// global operator new and delete (CountingAllocator.cpp), every form of them,
// the aligned ones included. While `counting` is set each allocation adds
// one to `allocations`; while `failingAllocations` is above 0 it counts down
// and the allocation that brings it to 0 fails (throws, or answers null for
// the nothrow forms), so a test can make any single allocation fail; while
// `failingEveryAllocation` is set, all of them fail.

#include <atomic>

namespace alloctest {

extern std::atomic<bool> counting;
extern std::atomic<int> allocations;
extern std::atomic<int> failingAllocations;
extern std::atomic<bool> failingEveryAllocation;

}  // namespace alloctest
