#pragma once
// An event list as a hostile host builds it: 0 ... 64 events of any type,
// MIDI with any status and data bytes beyond 127, now and then a negative
// count. The list and every event are heap blocks of their exact size, so
// the address sanitizer sees a read past the count or past an event.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzInput.h"
#include "framework/AEffect.h"

namespace fuzz {

class EventList {
 public:
  static constexpr int kMaxEvents = 64;

  EventList() = default;
  EventList(const EventList&) = delete;
  EventList& operator=(const EventList&) = delete;
  ~EventList() { clear(); }

  vst::VstEvents* build(FuzzInput& in) {
    clear();
    // Now and then a chord of distinct notes, enough to fill every voice.
    const bool chord = in.byte() < 48;
    const int first = in.byte() & 0x7F;
    const int step = 1 + static_cast<int>(in.below(12));
    const int count = static_cast<int>(in.below(kMaxEvents + 1));
    const std::size_t bytes = offsetof(vst::VstEvents, events) + static_cast<std::size_t>(count) * sizeof(vst::VstEvent*);
    list_ = static_cast<vst::VstEvents*>(std::malloc(bytes));
    if (list_ == nullptr) std::abort();
    list_->numEvents = count;
    list_->reserved = 0;
    // The list is longer than the record declares (two slots): hosts and
    // plug-ins reach the slots through a pointer.
    vst::VstEvent** slots = list_->events;
    for (int i = 0; i < count; ++i) {
      auto* event = static_cast<vst::VstMidiEvent*>(std::calloc(1, sizeof(vst::VstMidiEvent)));
      if (event == nullptr) std::abort();
      if (chord) {
        event->type = vst::kVstMidiType;
        event->byteSize = static_cast<vst::VstInt32>(sizeof(vst::VstMidiEvent));
        event->midiData[0] = static_cast<char>(0x90);
        event->midiData[1] = static_cast<char>((first + i * step) & 0x7F);
        event->midiData[2] = static_cast<char>(1 + in.below(127));
      } else {
        fillEvent(*event, in);
      }
      events_.push_back(event);
      slots[i] = reinterpret_cast<vst::VstEvent*>(event);
    }
    // A count that no host should send: nothing may be read.
    if (count == 0 && in.byte() == 0xFF) list_->numEvents = in.flag() ? -1 : INT32_MIN;
    return list_;
  }

 private:
  static void fillEvent(vst::VstMidiEvent& event, FuzzInput& in) {
    static constexpr std::array<std::uint8_t, 8> kStatus = {0x80, 0x90, 0x90, 0xB0, 0xE0, 0xA0, 0xC0, 0xD0};
    static constexpr std::array<vst::VstInt32, 5> kOtherTypes = {0, 2, 3, 6, -1};
    const std::uint8_t kind = in.byte();
    event.type = kind < 200 ? vst::kVstMidiType : (kind < 240 ? in.pick(kOtherTypes) : in.i32());
    event.byteSize = static_cast<vst::VstInt32>(sizeof(vst::VstMidiEvent));
    event.deltaFrames = in.flag() ? static_cast<vst::VstInt32>(in.below(4096)) : in.i32();
    // Mostly the messages the engines act on, on any channel; else any byte.
    const std::uint8_t status = in.byte();
    event.midiData[0] =
        static_cast<char>(status < 192 ? (in.pick(kStatus) | (status & 0x0F)) : status);
    const std::uint8_t data1 = in.byte();
    event.midiData[1] = static_cast<char>(data1 < 224 ? (data1 & 0x7F) : data1);
    event.midiData[2] = static_cast<char>(in.byte());
    event.midiData[3] = static_cast<char>(in.byte() & 0x81);
  }

  void clear() {
    for (vst::VstMidiEvent* event : events_) std::free(event);
    events_.clear();
    std::free(list_);
    list_ = nullptr;
  }

  vst::VstEvents* list_ = nullptr;
  std::vector<vst::VstMidiEvent*> events_;
};

}  // namespace fuzz
