#pragma once
// A VstEvents list of MIDI events as a host builds it for effProcessEvents.

#include <cstdint>
#include <vector>

#include "framework/AEffect.h"

namespace host {

struct MidiMessage {
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
  std::int32_t deltaFrames = 0;
};

class EventList {
 public:
  EventList() = default;
  explicit EventList(const std::vector<MidiMessage>& messages) { assign(messages); }
  EventList(const EventList&) = delete;
  EventList& operator=(const EventList&) = delete;

  void assign(const std::vector<MidiMessage>& messages);
  void add(const MidiMessage& message);
  // Adds an event of another type (to check that instruments skip it).
  void addNonMidi(std::int32_t type);
  void clear();
  int size() const { return static_cast<int>(events.size()); }
  vst::VstEvents* get();

 private:
  std::vector<vst::VstMidiEvent> events;
  std::vector<unsigned char> storage;  // the VstEvents header followed by the pointers
};

inline MidiMessage noteOn(int channel, int note, int velocity, int deltaFrames = 0) {
  return {static_cast<std::uint8_t>(0x90 | (channel & 15)), static_cast<std::uint8_t>(note),
          static_cast<std::uint8_t>(velocity), deltaFrames};
}
inline MidiMessage noteOff(int channel, int note, int velocity = 0, int deltaFrames = 0) {
  return {static_cast<std::uint8_t>(0x80 | (channel & 15)), static_cast<std::uint8_t>(note),
          static_cast<std::uint8_t>(velocity), deltaFrames};
}
inline MidiMessage controlChange(int channel, int controller, int value, int deltaFrames = 0) {
  return {static_cast<std::uint8_t>(0xB0 | (channel & 15)), static_cast<std::uint8_t>(controller),
          static_cast<std::uint8_t>(value), deltaFrames};
}
inline MidiMessage pitchBend(int channel, int value14, int deltaFrames = 0) {
  return {static_cast<std::uint8_t>(0xE0 | (channel & 15)), static_cast<std::uint8_t>(value14 & 0x7F),
          static_cast<std::uint8_t>((value14 >> 7) & 0x7F), deltaFrames};
}

}  // namespace host
