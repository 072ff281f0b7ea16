// The audio thread never allocates: a counting global operator new around
// processEvents (notes, controllers, learning), processReplacing and process
// with LFOs writing parameters, portamento, the requests the GUI thread posts
// (play buttons, all notes off) and a freshly loaded sample.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/sampler_engine/EngineFixture.h"

namespace {
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  if (counting.load()) allocations.fetch_add(1);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (counting.load()) allocations.fetch_add(1);
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace sarnel;
using sarneltest::EngineTest;

using SarnelRealTime = EngineTest;

TEST_F(SarnelRealTime, NoAllocationOnTheAudioPath) {
  loadWave("stereo.wav", sarneltest::stereoRamp(5000, 1.0f / 8192.0f), 2);
  plugin->setParameter(kCommandControllerFirst + kVolume, 7.0f / 200.0f);
  plugin->setParameter(kCommandControllerFirst + kPitch, 1.0f);  // learns at the first controller
  plugin->setParameter(kLfo1Rate, 0.9f);
  plugin->setParameter(kLfo1Destination, 1.0f / 12.0f);
  plugin->setParameter(kLfo2Rate, 0.4f);
  plugin->setParameter(kLfo2Destination, 4.0f / 12.0f);
  plugin->setParameter(kLoopMode, 1.0f);

  // Everything the audio thread touches is built before counting starts.
  sarneltest::Events notes({host::noteOn(0, 60, 100), host::noteOn(0, 64, 90), host::controlChange(0, 7, 20),
                            host::controlChange(0, 11, 5), host::pitchBend(0, 8192)});
  sarneltest::Events offs({host::noteOff(0, 60), host::noteOn(0, 64, 0), host::controlChange(0, 123, 0)});
  sarneltest::Events glide({host::noteOn(0, 72, 100), host::noteOn(0, 79, 100)});
  notes.get();  // lays out each list once, as a host does before its audio thread runs
  offs.get();
  glide.get();
  sarneltest::Block block(512);
  block.replacing(*plugin);

  allocations = 0;
  for (int round = 0; round < 4; ++round) {
    // The GUI thread's requests, posted outside the count.
    plugin->setParameter(kCommandPlayVoice6, round % 2 == 0 ? 1.0f : 0.0f);
    plugin->setParameter(kPortamento, round == 2 ? 1.0f : 0.0f);
    if (round == 1) plugin->setParameter(kCommandAllNotesOff, 1.0f);
    if (round == 3) loadWave("mono.wav", sarneltest::ramp(3000), 1);
    counting = true;
    notes.send(*plugin);
    block.replacing(*plugin);
    if (round == 2) glide.send(*plugin);
    block.accumulating(*plugin);
    offs.send(*plugin);
    block.replacing(*plugin);
    (void)plugin->renderFrame(0.25f, -0.25f);
    counting = false;
  }
  EXPECT_EQ(allocations.load(), 0);

  // The counter does count (a check that cannot fail would prove nothing).
  counting = true;
  void* probe = ::operator new(16);
  counting = false;
  ::operator delete(probe);
  EXPECT_EQ(allocations.load(), 1);
}

}  // namespace
