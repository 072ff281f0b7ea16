// libFuzzer target of the MIDI file reader: any bytes either parse into a
// well-formed song or raise MidiFileError, never anything else.

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "host/MidiFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const host::MidiSong song = host::parseMidiFile(data, size);
    std::int64_t lastTick = 0;
    double lastSeconds = 0.0;
    for (const host::SongEvent& event : song.events) {
      // Merged in time order, channel messages only, data bytes of 7 bits.
      if (event.tick < lastTick || event.seconds < lastSeconds || !std::isfinite(event.seconds)) __builtin_trap();
      if (event.status < 0x80 || event.status >= 0xF0 || event.data1 >= 0x80 || event.data2 >= 0x80) __builtin_trap();
      lastTick = event.tick;
      lastSeconds = event.seconds;
    }
    if (song.endTick < lastTick || song.endSeconds < lastSeconds) __builtin_trap();
    if (!(song.tempoAt(lastSeconds) > 0.0)) __builtin_trap();
  } catch (const host::MidiFileError&) {
  }
  return 0;
}
