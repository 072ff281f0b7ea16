#pragma once
// A Standard MIDI File (formats 0 and 1) read into one time-ordered list of
// channel messages with their times in seconds, the tempo map applied.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace host {

// A file that cannot be read, or bytes that are not a valid MIDI file. The
// offset is the byte in the file where reading failed (-1 when the file could
// not be opened at all).
class MidiFileError : public std::runtime_error {
 public:
  enum class Kind { unreadable, malformed };
  MidiFileError(Kind kind, std::int64_t offset, const std::string& message);
  Kind kind() const { return errorKind; }
  std::int64_t offset() const { return byteOffset; }

 private:
  Kind errorKind;
  std::int64_t byteOffset;
};

struct SongEvent {
  std::int64_t tick = 0;
  double seconds = 0.0;
  int track = 0;
  std::uint8_t status = 0;
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;
};

struct TempoChange {
  std::int64_t tick = 0;
  double seconds = 0.0;
  std::uint32_t microsPerQuarter = 500000;
};

struct MidiSong {
  int format = 0;
  int trackCount = 0;
  // Ticks per quarter note; for SMPTE time the ticks per second instead.
  int ticksPerQuarter = 0;
  bool smpteTime = false;
  double ticksPerSecond = 0.0;
  // Channel messages of every track, merged: by time, then track, then file order.
  std::vector<SongEvent> events;
  // Starts with the default of 120 beats per minute at tick 0.
  std::vector<TempoChange> tempos;
  // Time of the last event of any kind (end-of-track markers included).
  std::int64_t endTick = 0;
  double endSeconds = 0.0;

  // Beats per minute in effect at a time in seconds (120 for SMPTE files).
  double tempoAt(double seconds) const;
};

// Parses a whole file held in memory. Throws MidiFileError (malformed).
MidiSong parseMidiFile(const std::uint8_t* data, std::size_t size);
// Reads and parses a file. Throws MidiFileError.
MidiSong readMidiFile(const std::string& path);

}  // namespace host
