#pragma once
// Builds Standard MIDI Files: the demo song and the test songs are made with it.

#include <cstdint>
#include <string>
#include <vector>

namespace host {

class MidiFileWriter {
 public:
  MidiFileWriter(int format, int ticksPerQuarter);

  // Answers the new track's index.
  int addTrack();
  // A channel message (status with its data bytes) at a tick of a track.
  void channel(int track, std::int64_t tick, std::uint8_t status, std::uint8_t data1, std::uint8_t data2 = 0);
  void noteOn(int track, std::int64_t tick, int channel, int note, int velocity);
  void noteOff(int track, std::int64_t tick, int channel, int note, int velocity = 0);
  void controlChange(int track, std::int64_t tick, int channel, int controller, int value);
  // value14: 0 … 16383, 8192 is the centre.
  void pitchBend(int track, std::int64_t tick, int channel, int value14);
  void tempo(int track, std::int64_t tick, double beatsPerMinute);
  void meta(int track, std::int64_t tick, std::uint8_t type, const std::vector<std::uint8_t>& data);
  void text(int track, std::int64_t tick, std::uint8_t type, const std::string& text);
  void systemExclusive(int track, std::int64_t tick, const std::vector<std::uint8_t>& body);
  // Places the end-of-track marker no earlier than `tick`.
  void endAt(int track, std::int64_t tick);

  // The file's bytes; running status shortens repeated status bytes.
  std::vector<std::uint8_t> bytes(bool runningStatus = true) const;
  // Throws std::runtime_error when the file cannot be written.
  void save(const std::string& path, bool runningStatus = true) const;

  static void appendVariableLength(std::vector<std::uint8_t>& out, std::uint32_t value);

 private:
  struct Item {
    std::int64_t tick;
    std::vector<std::uint8_t> bytes;
  };
  struct Track {
    std::vector<Item> items;
    std::int64_t endTick = 0;
  };
  void add(int track, std::int64_t tick, std::vector<std::uint8_t> bytes);

  int format;
  int ticksPerQuarter;
  std::vector<Track> tracks;
};

}  // namespace host
