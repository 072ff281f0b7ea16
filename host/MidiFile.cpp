#include "host/MidiFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace host {
namespace {

constexpr std::uint32_t kDefaultMicrosPerQuarter = 500000;  // 120 beats per minute
// Larger files are not songs; refusing them keeps a mistaken path from eating memory.
constexpr std::size_t kMaxFileBytes = 64u * 1024u * 1024u;

[[noreturn]] void fail(std::size_t offset, const std::string& what) {
  throw MidiFileError(MidiFileError::Kind::malformed, static_cast<std::int64_t>(offset),
                      what + " at byte offset " + std::to_string(offset));
}

std::string hexByte(unsigned value) {
  static const char digits[] = "0123456789ABCDEF";
  return std::string("0x") + digits[(value >> 4) & 15] + digits[value & 15];
}

// Reads bytes below a limit (the end of the file or of the current chunk),
// failing with the offset where the data ran out.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t limit, std::size_t start, const char* area)
      : data(data), limit(limit), pos(start), area(area) {}

  std::size_t offset() const { return pos; }
  std::size_t remaining() const { return limit - pos; }
  bool atEnd() const { return pos >= limit; }

  std::uint8_t byte(const char* what) {
    if (pos >= limit) fail(pos, std::string("unexpected end of ") + area + " while reading " + what);
    return data[pos++];
  }
  std::uint32_t bigEndian(int bytes, const char* what) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | byte(what);
    return value;
  }
  std::uint32_t variableLength(const char* what) {
    const std::size_t start = pos;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const std::uint8_t b = byte(what);
      value = (value << 7) | (b & 0x7Fu);
      if ((b & 0x80u) == 0) return value;
    }
    fail(start, std::string(what) + " longer than four bytes");
  }
  void skip(std::uint32_t count, const char* what) {
    if (count > limit - pos) {
      fail(pos, std::string(what) + " of " + std::to_string(count) + " bytes runs past the end of " +
                    area + " (" + std::to_string(limit - pos) + " bytes left)");
    }
    pos += count;
  }
  const std::uint8_t* here() const { return data + pos; }

 private:
  const std::uint8_t* data;
  std::size_t limit;
  std::size_t pos;
  const char* area;
};

struct RawTempo {
  std::int64_t tick;
  std::uint32_t micros;
};

struct TrackResult {
  std::vector<SongEvent> events;
  std::vector<RawTempo> tempos;
  std::int64_t endTick = 0;
};

int dataBytesOf(std::uint8_t status) {
  const unsigned kind = status & 0xF0u;
  return kind == 0xC0u || kind == 0xD0u ? 1 : 2;
}

std::uint8_t dataByte(ByteReader& in) {
  const std::size_t at = in.offset();
  const std::uint8_t value = in.byte("a data byte");
  if (value >= 0x80u) fail(at, "status byte " + hexByte(value) + " where a data byte belongs");
  return value;
}

void readMeta(ByteReader& in, std::int64_t tick, TrackResult& result, bool& endOfTrack) {
  const std::uint8_t type = in.byte("a meta event type");
  const std::size_t lengthAt = in.offset();
  const std::uint32_t length = in.variableLength("meta event length");
  const std::uint8_t* body = in.here();
  in.skip(length, "meta event");
  if (type == 0x2F) {
    endOfTrack = true;
  } else if (type == 0x51) {
    if (length < 3) fail(lengthAt, "tempo event with " + std::to_string(length) + " data bytes");
    const std::uint32_t micros =
        (std::uint32_t{body[0]} << 16) | (std::uint32_t{body[1]} << 8) | body[2];
    if (micros == 0) fail(lengthAt + 1, "tempo of 0 microseconds per quarter note");
    result.tempos.push_back({tick, micros});
  }
}

TrackResult parseTrack(const std::uint8_t* data, std::size_t start, std::size_t end, int track) {
  ByteReader in(data, end, start, "the track chunk");
  TrackResult result;
  std::int64_t tick = 0;
  // Kept across meta and system-exclusive events: a file that relies on that
  // plays as intended, and a valid file never notices.
  std::uint8_t runningStatus = 0;
  bool endOfTrack = false;
  while (!in.atEnd() && !endOfTrack) {
    tick += in.variableLength("delta time");
    const std::size_t eventStart = in.offset();
    const std::uint8_t first = in.byte("an event");
    if (first == 0xFF) {
      readMeta(in, tick, result, endOfTrack);
    } else if (first == 0xF0 || first == 0xF7) {
      // System exclusive (or an escaped sequence): a length, then bytes to skip.
      in.skip(in.variableLength("system-exclusive length"), "system-exclusive event");
    } else if (first >= 0xF0) {
      fail(eventStart, "status byte " + hexByte(first) + " is not allowed in a MIDI file");
    } else {
      SongEvent event;
      event.tick = tick;
      event.track = track;
      if (first >= 0x80) {
        runningStatus = first;
        event.status = first;
        event.data1 = dataByte(in);
      } else {
        if (runningStatus == 0) fail(eventStart, "data byte without a preceding status byte");
        event.status = runningStatus;
        event.data1 = first;
      }
      if (dataBytesOf(event.status) == 2) event.data2 = dataByte(in);
      result.events.push_back(event);
    }
  }
  result.endTick = tick;
  return result;
}

bool isChunkTypeByte(std::uint8_t b) { return b >= 0x20 && b <= 0x7E; }

// Seconds from tick 0 to `tick` under the tempo list (sorted, starting at tick 0).
class TempoClock {
 public:
  TempoClock(std::vector<TempoChange>& tempos, bool smpte, double ticksPerSecond, int ticksPerQuarter)
      : tempos(tempos), smpte(smpte), ticksPerSecond(ticksPerSecond), ticksPerQuarter(ticksPerQuarter) {
    for (std::size_t i = 1; i < tempos.size(); ++i) {
      const TempoChange& before = tempos[i - 1];
      tempos[i].seconds = before.seconds + span(tempos[i].tick - before.tick, before.microsPerQuarter);
    }
  }
  double seconds(std::int64_t tick) {
    if (smpte) return static_cast<double>(tick) / ticksPerSecond;
    while (next + 1 < tempos.size() && tempos[next + 1].tick <= tick) ++next;
    // Ticks only grow from one call to the next, except for the end marker.
    while (next > 0 && tempos[next].tick > tick) --next;
    const TempoChange& at = tempos[next];
    return at.seconds + span(tick - at.tick, at.microsPerQuarter);
  }

 private:
  double span(std::int64_t ticks, std::uint32_t micros) const {
    return static_cast<double>(ticks) * static_cast<double>(micros) /
           (1.0e6 * static_cast<double>(ticksPerQuarter));
  }
  std::vector<TempoChange>& tempos;
  bool smpte;
  double ticksPerSecond;
  int ticksPerQuarter;
  std::size_t next = 0;
};

}  // namespace

MidiFileError::MidiFileError(Kind kind, std::int64_t offset, const std::string& message)
    : std::runtime_error(message), errorKind(kind), byteOffset(offset) {}

double MidiSong::tempoAt(double seconds) const {
  if (smpteTime || tempos.empty()) return 120.0;
  std::uint32_t micros = tempos.front().microsPerQuarter;
  for (const TempoChange& change : tempos) {
    if (change.seconds > seconds) break;
    micros = change.microsPerQuarter;
  }
  return 60.0e6 / static_cast<double>(micros);
}

MidiSong parseMidiFile(const std::uint8_t* data, std::size_t size) {
  ByteReader file(data, size, 0, "the file");
  if (size < 4 || std::memcmp(data, "MThd", 4) != 0) {
    fail(0, "not a Standard MIDI File (no 'MThd' header)");
  }
  file.skip(4, "header type");
  const std::uint32_t headerLength = file.bigEndian(4, "the header length");
  if (headerLength < 6) fail(4, "header chunk of " + std::to_string(headerLength) + " bytes (6 needed)");
  const std::size_t headerStart = file.offset();
  if (headerLength > file.remaining()) {
    fail(4, "header chunk claims " + std::to_string(headerLength) + " bytes but only " +
                std::to_string(file.remaining()) + " remain");
  }
  MidiSong song;
  song.format = static_cast<int>(file.bigEndian(2, "the format"));
  song.trackCount = static_cast<int>(file.bigEndian(2, "the track count"));
  const std::uint32_t division = file.bigEndian(2, "the time division");
  if (song.format == 2) fail(headerStart, "format 2 (independent sequences) is not supported");
  if (song.format > 2) fail(headerStart, "unknown file format " + std::to_string(song.format));
  if (song.trackCount == 0) fail(headerStart + 2, "the header announces no tracks");
  if ((division & 0x8000u) != 0) {
    const int framesPerSecond = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
    const int ticksPerFrame = static_cast<int>(division & 0xFFu);
    if (framesPerSecond != 24 && framesPerSecond != 25 && framesPerSecond != 29 && framesPerSecond != 30) {
      fail(headerStart + 4, "SMPTE time division with " + std::to_string(framesPerSecond) + " frames per second");
    }
    if (ticksPerFrame == 0) fail(headerStart + 5, "SMPTE time division with 0 ticks per frame");
    song.smpteTime = true;
    // 29 stands for 30 drop-frame, 29.97 frames per second.
    const double fps = framesPerSecond == 29 ? 30000.0 / 1001.0 : framesPerSecond;
    song.ticksPerSecond = fps * ticksPerFrame;
  } else {
    if (division == 0) fail(headerStart + 4, "time division of 0 ticks per quarter note");
    song.ticksPerQuarter = static_cast<int>(division);
  }
  file.skip(static_cast<std::uint32_t>(headerLength - 6), "rest of the header");

  std::vector<RawTempo> rawTempos;
  int tracksRead = 0;
  while (tracksRead < song.trackCount) {
    const std::size_t chunkStart = file.offset();
    if (file.atEnd()) {
      fail(chunkStart, "the header announces " + std::to_string(song.trackCount) +
                           " tracks but the file ends after " + std::to_string(tracksRead));
    }
    if (file.remaining() < 8) fail(chunkStart, "truncated chunk header");
    const std::uint8_t* type = file.here();
    if (!std::all_of(type, type + 4, isChunkTypeByte)) fail(chunkStart, "no chunk type where a chunk should start");
    const std::string typeText(reinterpret_cast<const char*>(type), 4);
    file.skip(4, "chunk type");
    const std::uint32_t length = file.bigEndian(4, "a chunk length");
    if (length > file.remaining()) {
      fail(chunkStart, "chunk '" + typeText + "' claims " + std::to_string(length) + " bytes but only " +
                           std::to_string(file.remaining()) + " remain");
    }
    const std::size_t bodyStart = file.offset();
    file.skip(length, "chunk");
    // Chunks of other types are skipped, as the format asks of readers.
    if (typeText != "MTrk") continue;
    TrackResult track = parseTrack(data, bodyStart, bodyStart + length, tracksRead);
    song.events.insert(song.events.end(), track.events.begin(), track.events.end());
    rawTempos.insert(rawTempos.end(), track.tempos.begin(), track.tempos.end());
    song.endTick = std::max(song.endTick, track.endTick);
    ++tracksRead;
  }

  // Tracks were appended in order, so a stable sort by time keeps track and
  // file order for events at the same tick.
  std::stable_sort(song.events.begin(), song.events.end(),
                   [](const SongEvent& a, const SongEvent& b) { return a.tick < b.tick; });
  std::stable_sort(rawTempos.begin(), rawTempos.end(),
                   [](const RawTempo& a, const RawTempo& b) { return a.tick < b.tick; });
  song.tempos.push_back({0, 0.0, kDefaultMicrosPerQuarter});
  for (const RawTempo& tempo : rawTempos) {
    if (tempo.tick == song.tempos.back().tick) {
      song.tempos.back().microsPerQuarter = tempo.micros;  // the later one at the same tick wins
    } else {
      song.tempos.push_back({tempo.tick, 0.0, tempo.micros});
    }
  }
  TempoClock clock(song.tempos, song.smpteTime, song.ticksPerSecond, song.ticksPerQuarter);
  for (SongEvent& event : song.events) event.seconds = clock.seconds(event.tick);
  song.endSeconds = clock.seconds(song.endTick);
  return song;
}

MidiSong readMidiFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw MidiFileError(MidiFileError::Kind::unreadable, -1,
                        "cannot open '" + path + "': " + std::strerror(errno));
  }
  std::vector<std::uint8_t> bytes;
  char buffer[65536];
  while (in) {
    in.read(buffer, sizeof buffer);
    bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    if (bytes.size() > kMaxFileBytes) {
      throw MidiFileError(MidiFileError::Kind::unreadable, -1,
                          "'" + path + "' is larger than any MIDI song (over 64 MiB)");
    }
  }
  if (in.bad()) {
    throw MidiFileError(MidiFileError::Kind::unreadable, -1, "cannot read '" + path + "'");
  }
  return parseMidiFile(bytes.data(), bytes.size());
}

}  // namespace host
