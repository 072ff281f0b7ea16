// The MIDI file reader: what it reads from valid files, and the offset and
// message it gives for each kind of damage.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/MidiFile.h"
#include "host/MidiFileWriter.h"
#include "host/SongRenderer.h"
#include "tests/render/RenderTestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes header(int format, int tracks, int division) {
  return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, static_cast<std::uint8_t>(format), 0, static_cast<std::uint8_t>(tracks),
          static_cast<std::uint8_t>(division >> 8), static_cast<std::uint8_t>(division & 0xFF)};
}

void appendTrack(Bytes& file, const Bytes& body) {
  file.insert(file.end(), {'M', 'T', 'r', 'k'});
  const auto size = static_cast<std::uint32_t>(body.size());
  file.insert(file.end(), {static_cast<std::uint8_t>(size >> 24), static_cast<std::uint8_t>(size >> 16),
                           static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)});
  file.insert(file.end(), body.begin(), body.end());
}

Bytes singleTrack(const Bytes& body, int division = 96) {
  Bytes file = header(0, 1, division);
  appendTrack(file, body);
  return file;
}

host::MidiSong parse(const Bytes& file) { return host::parseMidiFile(file.data(), file.size()); }

// The error a malformed file gives: its offset, and a message that names it.
host::MidiFileError failure(const Bytes& file) {
  try {
    parse(file);
  } catch (const host::MidiFileError& error) {
    return error;
  }
  ADD_FAILURE() << "the file was accepted";
  return host::MidiFileError(host::MidiFileError::Kind::unreadable, -99, "");
}

void expectEvent(const host::SongEvent& event, std::int64_t tick, int status, int data1, int data2) {
  EXPECT_EQ(event.tick, tick);
  EXPECT_EQ(event.status, status);
  EXPECT_EQ(event.data1, data1);
  EXPECT_EQ(event.data2, data2);
}

TEST(MidiFileReading, RunningStatusRepeatsTheLastChannelStatus) {
  // Note on, then two more note ons by running status (the second with
  // velocity 0), a program change (one data byte) and a running-status
  // program change.
  const host::MidiSong song = parse(singleTrack({0x00, 0x90, 60, 100, 0x10, 62, 90, 0x10, 60, 0, 0x00, 0xC1, 5, 0x08,
                                                 7, 0x00, 0xFF, 0x2F, 0x00}));
  ASSERT_EQ(song.events.size(), 5u);
  expectEvent(song.events[0], 0, 0x90, 60, 100);
  expectEvent(song.events[1], 16, 0x90, 62, 90);
  expectEvent(song.events[2], 32, 0x90, 60, 0);
  expectEvent(song.events[3], 32, 0xC1, 5, 0);
  expectEvent(song.events[4], 40, 0xC1, 7, 0);
}

TEST(MidiFileReading, MetaAndSystemExclusiveEventsAreSkippedWithTheirTimes) {
  Bytes body = {0x00, 0xFF, 0x03, 0x04, 'S', 'o', 'n', 'g',   // track name
                0x05, 0xF0, 0x03, 0x7E, 0x09, 0xF7,           // system exclusive at tick 5
                0x05, 0xF7, 0x02, 0xF8, 0xFA,                 // escaped real-time bytes at tick 10
                0x00, 0xFF, 0x01, 0x81, 0x00};                // a text of 128 bytes (two-byte length)
  body.insert(body.end(), 128, 'x');
  body.insert(body.end(), {0x02, 0x90, 64, 80,                 // the only channel event, at tick 12
                           0x00, 0xFF, 0x7F, 0x00,              // sequencer-specific, empty
                           0x00, 0xFF, 0x2F, 0x00});
  const host::MidiSong song = parse(singleTrack(body));
  ASSERT_EQ(song.events.size(), 1u);
  expectEvent(song.events[0], 12, 0x90, 64, 80);
  EXPECT_EQ(song.endTick, 12);
}

TEST(MidiFileReading, RunningStatusSurvivesMetaEventsOfLenientWriters) {
  const host::MidiSong song =
      parse(singleTrack({0x00, 0x90, 60, 100, 0x00, 0xFF, 0x01, 0x00, 0x04, 60, 0, 0x00, 0xFF, 0x2F, 0x00}));
  ASSERT_EQ(song.events.size(), 2u);
  expectEvent(song.events[1], 4, 0x90, 60, 0);
}

TEST(MidiFileReading, TempoChangesMapTicksToSecondsAndFrames) {
  // 480 ticks per quarter; 120 bpm for one quarter, then 60 bpm for one,
  // then 240 bpm: events at ticks 0, 480, 960, 1200.
  host::MidiFileWriter writer(0, 480);
  const int track = writer.addTrack();
  writer.tempo(track, 0, 120.0);
  writer.tempo(track, 480, 60.0);
  writer.tempo(track, 960, 240.0);
  for (int tick : {0, 480, 960, 1200}) writer.noteOn(track, tick, 0, 60, 100);
  const Bytes file = writer.bytes();
  const host::MidiSong song = parse(file);
  ASSERT_EQ(song.events.size(), 4u);
  EXPECT_DOUBLE_EQ(song.events[0].seconds, 0.0);
  EXPECT_DOUBLE_EQ(song.events[1].seconds, 0.5);
  EXPECT_DOUBLE_EQ(song.events[2].seconds, 1.5);
  EXPECT_DOUBLE_EQ(song.events[3].seconds, 1.625);
  const std::vector<host::TimedMessage> timed = host::SongRenderer::schedule(song, 44100);
  EXPECT_EQ(timed[1].frame, 22050);
  EXPECT_EQ(timed[2].frame, 66150);
  EXPECT_EQ(timed[3].frame, 71662);  // 71662.5 rounds to even
  EXPECT_DOUBLE_EQ(song.tempoAt(0.4), 120.0);
  EXPECT_DOUBLE_EQ(song.tempoAt(1.0), 60.0);
  EXPECT_DOUBLE_EQ(song.tempoAt(2.0), 240.0);
}

TEST(MidiFileReading, FormatOneMergesTracksInTimeThenTrackOrder) {
  host::MidiFileWriter writer(1, 100);
  const int conductor = writer.addTrack();
  const int first = writer.addTrack();
  const int second = writer.addTrack();
  // The tempo lives in the conductor track and times the other tracks too.
  writer.tempo(conductor, 100, 30.0);
  writer.noteOn(second, 0, 1, 50, 10);
  writer.noteOn(first, 0, 0, 40, 20);
  writer.noteOn(first, 150, 0, 41, 21);
  writer.noteOn(second, 100, 1, 51, 11);
  writer.noteOn(second, 300, 1, 52, 12);
  writer.endAt(conductor, 400);
  const host::MidiSong song = parse(writer.bytes());
  EXPECT_EQ(song.format, 1);
  EXPECT_EQ(song.trackCount, 3);
  ASSERT_EQ(song.events.size(), 5u);
  expectEvent(song.events[0], 0, 0x90, 40, 20);  // track 1 before track 2 at the same tick
  expectEvent(song.events[1], 0, 0x91, 50, 10);
  expectEvent(song.events[2], 100, 0x91, 51, 11);
  expectEvent(song.events[3], 150, 0x90, 41, 21);
  expectEvent(song.events[4], 300, 0x91, 52, 12);
  EXPECT_EQ(song.events[3].track, 1);
  // Half a second per 100 ticks, then two seconds per 100 ticks.
  EXPECT_DOUBLE_EQ(song.events[2].seconds, 0.5);
  EXPECT_DOUBLE_EQ(song.events[3].seconds, 1.5);
  EXPECT_DOUBLE_EQ(song.events[4].seconds, 4.5);
  // The end marker of the conductor track is the song's end.
  EXPECT_EQ(song.endTick, 400);
  EXPECT_DOUBLE_EQ(song.endSeconds, 6.5);
}

TEST(MidiFileReading, SmpteDivisionCountsTicksPerSecond) {
  // 25 frames per second of 40 ticks: 1000 ticks per second.
  const host::MidiSong song =
      parse(singleTrack({0x87, 0x68, 0x90, 60, 1, 0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40, 0x00, 0xFF, 0x2F, 0x00},
                        (0xE7 << 8) | 40));
  ASSERT_TRUE(song.smpteTime);
  ASSERT_EQ(song.events.size(), 1u);
  EXPECT_EQ(song.events[0].tick, 1000);
  EXPECT_DOUBLE_EQ(song.events[0].seconds, 1.0);  // tempo events do not matter here
}

TEST(MidiFileReading, UnknownChunksLongHeadersAndMissingEndMarkersAreTolerated) {
  Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 8, 0, 1, 0, 1, 0, 96, 0xAB, 0xCD};
  file.insert(file.end(), {'X', 'F', 'I', 'H', 0, 0, 0, 3, 1, 2, 3});
  appendTrack(file, {0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0});
  const host::MidiSong song = parse(file);
  ASSERT_EQ(song.events.size(), 2u);
  EXPECT_EQ(song.endTick, 96);
}

TEST(MidiFileReading, WriterAndReaderAgreeWithAndWithoutRunningStatus) {
  host::MidiFileWriter writer(1, 480);
  const int track = writer.addTrack();
  for (int i = 0; i < 20; ++i) {
    writer.noteOn(track, i * 120, 0, 40 + i, 1 + i * 6);
    writer.controlChange(track, i * 120 + 10, 0, 1, i);
    writer.controlChange(track, i * 120 + 11, 0, 7, 100 - i);  // running status
    writer.pitchBend(track, i * 120 + 20, 0, 8192 + i * 100);
    writer.noteOff(track, i * 120 + 60, 0, 40 + i);
  }
  const Bytes compact = writer.bytes(true);
  const Bytes plain = writer.bytes(false);
  EXPECT_LT(compact.size(), plain.size());
  const host::MidiSong a = parse(compact);
  const host::MidiSong b = parse(plain);
  ASSERT_EQ(a.events.size(), 100u);
  ASSERT_EQ(b.events.size(), 100u);
  for (std::size_t i = 0; i < a.events.size(); ++i) {
    expectEvent(b.events[i], a.events[i].tick, a.events[i].status, a.events[i].data1, a.events[i].data2);
  }
  expectEvent(a.events[8], 140, 0xE0, (8192 + 100) & 0x7F, (8192 + 100) >> 7);
}

TEST(MidiFileErrors, NotAMidiFileOrBadHeader) {
  EXPECT_EQ(failure({'R', 'I', 'F', 'F', 0, 0}).offset(), 0);
  EXPECT_NE(std::string(failure({}).what()).find("MThd"), std::string::npos);
  // Header chunk shorter than its six bytes.
  EXPECT_EQ(failure({'M', 'T', 'h', 'd', 0, 0, 0, 4, 0, 0, 0, 1}).offset(), 4);
  // The file ends inside the header.
  EXPECT_EQ(failure({'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0}).offset(), 4);
  const host::MidiFileError format2 = failure(header(2, 1, 96));
  EXPECT_NE(std::string(format2.what()).find("format 2"), std::string::npos);
  EXPECT_EQ(failure(header(1, 0, 96)).offset(), 10);
  EXPECT_EQ(failure(header(0, 1, 0)).offset(), 12);
  // SMPTE with 23 frames per second.
  EXPECT_EQ(failure(header(0, 1, (0xE9 << 8) | 4)).offset(), 12);
}

TEST(MidiFileErrors, TruncatedAndLyingChunks) {
  // A track chunk that claims more bytes than the file holds.
  Bytes lying = header(0, 1, 96);
  lying.insert(lying.end(), {'M', 'T', 'r', 'k', 0, 0, 1, 0, 0x00, 0x90, 60, 100});
  const host::MidiFileError claim = failure(lying);
  EXPECT_EQ(claim.offset(), 14);
  EXPECT_NE(std::string(claim.what()).find("claims 256 bytes"), std::string::npos);
  // A chunk header cut short.
  Bytes cut = header(0, 1, 96);
  cut.insert(cut.end(), {'M', 'T', 'r'});
  EXPECT_EQ(failure(cut).offset(), 14);
  // Fewer tracks than the header announces.
  Bytes missing = header(1, 2, 96);
  appendTrack(missing, {0x00, 0xFF, 0x2F, 0x00});
  const host::MidiFileError fewer = failure(missing);
  EXPECT_EQ(fewer.offset(), 26);
  EXPECT_NE(std::string(fewer.what()).find("announces 2 tracks"), std::string::npos);
  // Bytes that are no chunk type.
  Bytes garbage = header(0, 1, 96);
  garbage.insert(garbage.end(), {0x00, 0x01, 0x02, 0x03, 0, 0, 0, 0});
  EXPECT_EQ(failure(garbage).offset(), 14);
}

TEST(MidiFileErrors, DamageInsideATrackNamesItsOffset) {
  // Track bodies start at byte offset 22.
  // A note on whose second data byte lies beyond the chunk.
  EXPECT_EQ(failure(singleTrack({0x00, 0x90, 60})).offset(), 25);
  // A data byte with no status before it.
  EXPECT_EQ(failure(singleTrack({0x00, 0x40, 0x40})).offset(), 23);
  // A status byte where a data byte belongs.
  EXPECT_EQ(failure(singleTrack({0x00, 0x90, 0x91, 0x40})).offset(), 24);
  // A delta time of five bytes.
  EXPECT_EQ(failure(singleTrack({0x81, 0x82, 0x83, 0x84, 0x05, 0x90, 60, 1})).offset(), 22);
  // System exclusive and meta events longer than their chunk.
  EXPECT_EQ(failure(singleTrack({0x00, 0xF0, 0x10, 0x01})).offset(), 25);
  EXPECT_EQ(failure(singleTrack({0x00, 0xFF, 0x01, 0x7F, 'a'})).offset(), 26);
  // A tempo event with two data bytes, and one of zero microseconds.
  EXPECT_EQ(failure(singleTrack({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1})).offset(), 25);
  EXPECT_EQ(failure(singleTrack({0x00, 0xFF, 0x51, 0x03, 0x00, 0x00, 0x00})).offset(), 26);
  // A real-time status byte, which files cannot hold.
  const host::MidiFileError realTime = failure(singleTrack({0x00, 0xF8}));
  EXPECT_EQ(realTime.offset(), 23);
  EXPECT_NE(std::string(realTime.what()).find("0xF8"), std::string::npos);
  EXPECT_NE(std::string(realTime.what()).find("byte offset 23"), std::string::npos);
  EXPECT_EQ(realTime.kind(), host::MidiFileError::Kind::malformed);
}

TEST(MidiFileErrors, UnreadableFilesAreToldApartFromDamagedOnes) {
  const std::string dir = render_test::workDir("midi_unreadable");
  try {
    host::readMidiFile(render_test::inDir(dir, "absent.mid"));
    FAIL() << "a missing file was read";
  } catch (const host::MidiFileError& error) {
    EXPECT_EQ(error.kind(), host::MidiFileError::Kind::unreadable);
    EXPECT_NE(std::string(error.what()).find("absent.mid"), std::string::npos);
  }
}

}  // namespace
