#include "host/EventList.h"

#include <cstring>

namespace host {

void EventList::assign(const std::vector<MidiMessage>& messages) {
  clear();
  for (const MidiMessage& message : messages) add(message);
}

void EventList::add(const MidiMessage& message) {
  vst::VstMidiEvent event{};
  event.type = vst::kVstMidiType;
  event.byteSize = sizeof(vst::VstMidiEvent);
  event.deltaFrames = message.deltaFrames;
  event.midiData[0] = static_cast<char>(message.status);
  event.midiData[1] = static_cast<char>(message.data1);
  event.midiData[2] = static_cast<char>(message.data2);
  events.push_back(event);
}

void EventList::addNonMidi(std::int32_t type) {
  vst::VstMidiEvent event{};
  event.type = type;
  event.byteSize = sizeof(vst::VstMidiEvent);
  event.midiData[0] = static_cast<char>(0x90);
  event.midiData[1] = 60;
  event.midiData[2] = 100;
  events.push_back(event);
}

void EventList::clear() { events.clear(); }

vst::VstEvents* EventList::get() {
  const std::size_t header = offsetof(vst::VstEvents, events);
  storage.assign(header + sizeof(vst::VstEvent*) * (events.size() + 1), 0);
  auto* list = reinterpret_cast<vst::VstEvents*>(storage.data());
  list->numEvents = static_cast<vst::VstInt32>(events.size());
  list->reserved = 0;
  auto** pointers = reinterpret_cast<vst::VstEvent**>(storage.data() + header);
  for (std::size_t i = 0; i < events.size(); ++i) {
    pointers[i] = reinterpret_cast<vst::VstEvent*>(&events[i]);
  }
  return list;
}

}  // namespace host
