#include "host/MidiFileWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace host {
namespace {

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

MidiFileWriter::MidiFileWriter(int format, int ticksPerQuarter)
    : format(format), ticksPerQuarter(ticksPerQuarter) {}

int MidiFileWriter::addTrack() {
  tracks.emplace_back();
  return static_cast<int>(tracks.size()) - 1;
}

void MidiFileWriter::add(int track, std::int64_t tick, std::vector<std::uint8_t> bytes) {
  tracks.at(static_cast<std::size_t>(track)).items.push_back({tick, std::move(bytes)});
}

void MidiFileWriter::channel(int track, std::int64_t tick, std::uint8_t status, std::uint8_t data1,
                             std::uint8_t data2) {
  const unsigned kind = status & 0xF0u;
  if (kind == 0xC0u || kind == 0xD0u) {
    add(track, tick, {status, data1});
  } else {
    add(track, tick, {status, data1, data2});
  }
}

void MidiFileWriter::noteOn(int track, std::int64_t tick, int channelNumber, int note, int velocity) {
  channel(track, tick, static_cast<std::uint8_t>(0x90 | (channelNumber & 15)), static_cast<std::uint8_t>(note),
          static_cast<std::uint8_t>(velocity));
}

void MidiFileWriter::noteOff(int track, std::int64_t tick, int channelNumber, int note, int velocity) {
  channel(track, tick, static_cast<std::uint8_t>(0x80 | (channelNumber & 15)), static_cast<std::uint8_t>(note),
          static_cast<std::uint8_t>(velocity));
}

void MidiFileWriter::controlChange(int track, std::int64_t tick, int channelNumber, int controller, int value) {
  channel(track, tick, static_cast<std::uint8_t>(0xB0 | (channelNumber & 15)),
          static_cast<std::uint8_t>(controller), static_cast<std::uint8_t>(value));
}

void MidiFileWriter::pitchBend(int track, std::int64_t tick, int channelNumber, int value14) {
  channel(track, tick, static_cast<std::uint8_t>(0xE0 | (channelNumber & 15)),
          static_cast<std::uint8_t>(value14 & 0x7F), static_cast<std::uint8_t>((value14 >> 7) & 0x7F));
}

void MidiFileWriter::tempo(int track, std::int64_t tick, double beatsPerMinute) {
  const auto micros = static_cast<std::uint32_t>(std::nearbyint(60.0e6 / beatsPerMinute));
  meta(track, tick, 0x51,
       {static_cast<std::uint8_t>(micros >> 16), static_cast<std::uint8_t>(micros >> 8),
        static_cast<std::uint8_t>(micros)});
}

void MidiFileWriter::meta(int track, std::int64_t tick, std::uint8_t type, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> bytes{0xFF, type};
  appendVariableLength(bytes, static_cast<std::uint32_t>(data.size()));
  bytes.insert(bytes.end(), data.begin(), data.end());
  add(track, tick, std::move(bytes));
}

void MidiFileWriter::text(int track, std::int64_t tick, std::uint8_t type, const std::string& text) {
  meta(track, tick, type, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void MidiFileWriter::systemExclusive(int track, std::int64_t tick, const std::vector<std::uint8_t>& body) {
  std::vector<std::uint8_t> bytes{0xF0};
  appendVariableLength(bytes, static_cast<std::uint32_t>(body.size()));
  bytes.insert(bytes.end(), body.begin(), body.end());
  add(track, tick, std::move(bytes));
}

void MidiFileWriter::endAt(int track, std::int64_t tick) {
  Track& target = tracks.at(static_cast<std::size_t>(track));
  target.endTick = std::max(target.endTick, tick);
}

void MidiFileWriter::appendVariableLength(std::vector<std::uint8_t>& out, std::uint32_t value) {
  std::uint8_t groups[4];
  int count = 0;
  do {
    groups[count++] = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0 && count < 4);
  for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(groups[i] | (i > 0 ? 0x80 : 0)));
}

std::vector<std::uint8_t> MidiFileWriter::bytes(bool runningStatus) const {
  std::vector<std::uint8_t> out{'M', 'T', 'h', 'd'};
  appendBigEndian(out, 6, 4);
  appendBigEndian(out, static_cast<std::uint32_t>(format), 2);
  appendBigEndian(out, static_cast<std::uint32_t>(tracks.size()), 2);
  appendBigEndian(out, static_cast<std::uint32_t>(ticksPerQuarter), 2);
  for (const Track& track : tracks) {
    std::vector<Item> items = track.items;
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.tick < b.tick; });
    std::vector<std::uint8_t> body;
    std::int64_t now = 0;
    std::uint8_t lastStatus = 0;
    for (const Item& item : items) {
      appendVariableLength(body, static_cast<std::uint32_t>(item.tick - now));
      now = item.tick;
      const std::uint8_t status = item.bytes.front();
      const bool isChannel = status >= 0x80 && status < 0xF0;
      const bool omitStatus = runningStatus && isChannel && status == lastStatus;
      body.insert(body.end(), item.bytes.begin() + (omitStatus ? 1 : 0), item.bytes.end());
      // Meta and system-exclusive events cancel running status in the format.
      lastStatus = isChannel ? status : 0;
    }
    appendVariableLength(body, static_cast<std::uint32_t>(std::max(track.endTick, now) - now));
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    appendBigEndian(out, static_cast<std::uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
  }
  return out;
}

void MidiFileWriter::save(const std::string& path, bool runningStatus) const {
  const std::vector<std::uint8_t> data = bytes(runningStatus);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write '" + path + "'");
}

}  // namespace host
