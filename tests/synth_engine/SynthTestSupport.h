#pragma once
// Shared helpers of the engine tests: an instance on an in-memory settings
// store, a host callback with a configurable vendor, MIDI and rendering.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/Opcodes.h"
#include "host/EventList.h"
#include "platform/headless/MemorySettingsStore.h"
#include "synth/engine/APlugin.h"

namespace synthtest {

// What the test host answers and what it was asked.
struct TestHost {
  std::string vendor = "Test Vendor";
  std::string product = "Test Product";
  int wantMidiCalls = 0;
  int automateCalls = 0;
  // canDo "sizeWindow" answers this; audioMasterSizeWindow answers `acceptSizeWindow`.
  int canDoSizeWindow = 0;
  bool acceptSizeWindow = true;
  std::vector<std::pair<int, int>> sizeWindowCalls;
};
inline TestHost testHost;

inline vst::VstIntPtr hostCallback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                                   void* ptr, float) {
  switch (opcode) {
    case vst::audioMasterVersion: return 2400;
    case vst::audioMasterWantMidi: testHost.wantMidiCalls += value == 1 ? 1 : 0; return 1;
    case vst::audioMasterAutomate: ++testHost.automateCalls; return 0;
    case vst::audioMasterGetVendorString:
      std::strcpy(static_cast<char*>(ptr), testHost.vendor.c_str());
      return 1;
    case vst::audioMasterGetProductString:
      std::strcpy(static_cast<char*>(ptr), testHost.product.c_str());
      return 1;
    case vst::audioMasterCanDo:
      return std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0 ? testHost.canDoSizeWindow : 0;
    case vst::audioMasterSizeWindow:
      testHost.sizeWindowCalls.emplace_back(static_cast<int>(index), static_cast<int>(value));
      return testHost.acceptSizeWindow ? 1 : 0;
    default: return 0;
  }
}

inline std::unique_ptr<marrowglint::APlugin> makePlugin(
    std::shared_ptr<platform::MemorySettingsStore> store = std::make_shared<platform::MemorySettingsStore>(),
    marrowglint::EditorWindowFactory factory = {}) {
  marrowglint::APluginOptions options;
  options.settings = std::move(store);
  options.editorWindowFactory = std::move(factory);
  return std::make_unique<marrowglint::APlugin>(hostCallback, std::move(options));
}

// A VstEvents list as a host lays it out: the header, then one pointer per
// event, built before the audio thread uses it.
class Events {
 public:
  explicit Events(const std::vector<host::MidiMessage>& messages = {}) {
    for (const host::MidiMessage& m : messages) add(m);
  }
  void add(const host::MidiMessage& m) {
    vst::VstMidiEvent event{};
    event.type = vst::kVstMidiType;
    event.byteSize = sizeof(vst::VstMidiEvent);
    event.deltaFrames = m.deltaFrames;
    event.midiData[0] = static_cast<char>(m.status);
    event.midiData[1] = static_cast<char>(m.data1);
    event.midiData[2] = static_cast<char>(m.data2);
    events.push_back(event);
  }
  void addOtherType(vst::VstInt32 type) {
    vst::VstMidiEvent event{};
    event.type = type;
    event.byteSize = sizeof(vst::VstMidiEvent);
    event.midiData[0] = static_cast<char>(0x90);  // would start a note if it were read
    event.midiData[1] = 60;
    event.midiData[2] = 100;
    events.push_back(event);
  }
  vst::VstEvents* get() {
    const std::size_t pointers = std::max<std::size_t>(events.size(), 2);
    storage.assign(sizeof(vst::VstEvents) + pointers * sizeof(vst::VstEvent*), 0);
    auto* list = reinterpret_cast<vst::VstEvents*>(storage.data());
    list->numEvents = static_cast<vst::VstInt32>(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) {
      vst::VstEvent* event = reinterpret_cast<vst::VstEvent*>(&events[i]);
      std::memcpy(storage.data() + offsetof(vst::VstEvents, events) + i * sizeof event, &event, sizeof event);
    }
    return list;
  }

 private:
  std::vector<vst::VstMidiEvent> events;
  std::vector<unsigned char> storage;  // operator new aligns it for VstEvents
};

inline void sendMidi(marrowglint::APlugin& plugin, const std::vector<host::MidiMessage>& messages) {
  Events list(messages);
  plugin.processEvents(list.get());
}

// Stereo input and output buffers of one block.
struct Block {
  explicit Block(int frames) : in0(frames, 0.0f), in1(frames, 0.0f), out0(frames, 0.0f), out1(frames, 0.0f) {}
  std::vector<float> in0, in1, out0, out1;
  float* inputs[2] = {nullptr, nullptr};
  float* outputs[2] = {nullptr, nullptr};
  int frames() const { return static_cast<int>(out0.size()); }
  void replacing(marrowglint::APlugin& plugin) {
    bind();
    plugin.processReplacing(inputs, outputs, frames());
  }
  void accumulating(marrowglint::APlugin& plugin) {
    bind();
    plugin.process(inputs, outputs, frames());
  }

 private:
  void bind() {
    inputs[0] = in0.data();
    inputs[1] = in1.data();
    outputs[0] = out0.data();
    outputs[1] = out1.data();
  }
};

// The left channel of `frames` frames rendered block by block.
inline std::vector<float> renderLeft(marrowglint::APlugin& plugin, int frames, int blockSize = 512) {
  std::vector<float> left;
  while (static_cast<int>(left.size()) < frames) {
    Block block(std::min(blockSize, frames - static_cast<int>(left.size())));
    block.replacing(plugin);
    left.insert(left.end(), block.out0.begin(), block.out0.end());
  }
  return left;
}

}  // namespace synthtest
