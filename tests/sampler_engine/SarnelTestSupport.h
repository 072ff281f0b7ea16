#pragma once
// Shared helpers of Sarnel's engine tests: WAV files the tests write
// themselves, an engine on an in-memory settings store with a manual timer
// clock and scripted message boxes, MIDI lists and rendering.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/Opcodes.h"
#include "host/EventList.h"
#include "sampler/engine/APlugin.h"
#include "tests/sampler_engine/TestWaves.h"

namespace sarneltest {

// The host callback of the in-process tests.
struct TestHost {
  std::string vendor = "Test Vendor";
  std::string product = "Test Product";
  std::atomic<std::int32_t> tempoAnswer{0};  // beats per minute x 10000; 0 = no answer
  std::atomic<int> wantMidiCalls{0};
};
inline TestHost testHost;

inline vst::VstIntPtr hostCallback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr value,
                                   void* ptr, float) {
  switch (opcode) {
    case vst::audioMasterVersion: return 2400;
    case vst::audioMasterWantMidi: testHost.wantMidiCalls += value == 1 ? 1 : 0; return 1;
    case vst::audioMasterTempoAt: return testHost.tempoAnswer.load();
    case vst::audioMasterGetVendorString:
      std::strcpy(static_cast<char*>(ptr), testHost.vendor.c_str());
      return 1;
    case vst::audioMasterGetProductString:
      std::strcpy(static_cast<char*>(ptr), testHost.product.c_str());
      return 1;
    default: return 0;
  }
}

// A VstEvents list as a host lays it out, built before the audio thread uses it.
class Events {
 public:
  explicit Events(const std::vector<host::MidiMessage>& messages = {}) { list.assign(messages); }
  vst::VstEvents* get() { return list.get(); }
  void send(sarnel::APlugin& plugin) { plugin.processEvents(list.get()); }

 private:
  host::EventList list;
};

inline void sendMidi(sarnel::APlugin& plugin, const std::vector<host::MidiMessage>& messages) {
  Events events(messages);
  events.send(plugin);
}

// Stereo buffers for one block, input silent unless set.
struct Block {
  explicit Block(int frames)
      : inL(static_cast<std::size_t>(frames)),
        inR(static_cast<std::size_t>(frames)),
        outL(static_cast<std::size_t>(frames)),
        outR(static_cast<std::size_t>(frames)) {}
  int frames() const { return static_cast<int>(outL.size()); }
  void replacing(sarnel::APlugin& plugin) {
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    plugin.processReplacing(in, out, frames());
  }
  void accumulating(sarnel::APlugin& plugin) {
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    plugin.process(in, out, frames());
  }
  std::vector<float> inL, inR, outL, outR;
};

// Renders `frames` frames in blocks of `blockSize`, appending the output.
inline void render(sarnel::APlugin& plugin, int frames, std::vector<float>& left, std::vector<float>& right,
                   int blockSize = 64) {
  for (int done = 0; done < frames; done += blockSize) {
    const int n = std::min(blockSize, frames - done);
    Block part(n);
    part.replacing(plugin);
    left.insert(left.end(), part.outL.begin(), part.outL.end());
    right.insert(right.end(), part.outR.begin(), part.outR.end());
  }
}

// Stores a path through parameters 30 ... 285 as a host restoring a project does.
inline void setPathParameters(sarnel::APlugin& plugin, const std::string& path) {
  for (int i = 0; i < sarnel::kPathBytes; ++i) {
    const std::uint8_t byte = i < static_cast<int>(path.size()) ? static_cast<std::uint8_t>(path[static_cast<std::size_t>(i)]) : 0;
    plugin.setParameter(sarnel::kPathFirst + i, static_cast<float>(byte) / 255.0f);
  }
}

// The path the parameters hold, as a host reading them back would decode it.
inline std::string pathFromParameters(sarnel::APlugin& plugin) {
  std::string path;
  for (int i = 0; i < sarnel::kMaxPathLength; ++i) {
    const long byte = std::lround(plugin.getParameter(sarnel::kPathFirst + i) * 255.0f);
    if (byte == 0) break;
    path.push_back(static_cast<char>(byte));
  }
  return path;
}

// Attack and decay 0 and release 0, so a voice sounds at full level from its
// first frame and is free one frame after its note-off.
inline void makeEnvelopeImmediate(sarnel::APlugin& plugin) {
  plugin.setParameter(sarnel::kAttack, 0.0f);
  plugin.setParameter(sarnel::kDecay, 0.0f);
  plugin.setParameter(sarnel::kSustain, 1.0f);
  plugin.setParameter(sarnel::kRelease, 0.0f);
}

}  // namespace sarneltest
