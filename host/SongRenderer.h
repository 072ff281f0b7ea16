#pragma once
// Renders a timed list of MIDI messages through a started plug-in, block by
// block, as a host playing a song would.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "host/EventList.h"
#include "host/MidiFile.h"

namespace host {

class Plugin;

struct TimedMessage {
  std::int64_t frame = 0;
  MidiMessage message;
};

struct RenderSettings {
  int blockSize = 512;
  // These instruments apply a block's events at its start, so blocks end
  // where the next event begins and every event sounds at its own frame.
  // Off: fixed blocks with the events' offsets in deltaFrames, as most hosts.
  bool splitAtEvents = true;
  // Fixed length after the last event; without it the render goes on until
  // the output has stayed silent for `silenceSeconds` or `maxTailSeconds` passed.
  std::optional<double> tailSeconds;
  double silenceSeconds = 0.5;
  double maxTailSeconds = 10.0;
  // Silent: every sample below half a step of 16-bit audio, so the tail
  // stops where a 16-bit file would hold only zeros.
  float silenceThreshold = 1.0f / 65536.0f;
};

struct RenderStats {
  std::int64_t frames = 0;
  std::int64_t eventsSent = 0;
  std::int64_t blocks = 0;
  float peak = 0.0f;
  double sumOfSquares = 0.0;  // over both channels
  std::int64_t clippedSamples = 0;  // beyond full scale (or not a number)
  double wallSeconds = 0.0;
};

class SongRenderer {
 public:
  // Receives each rendered block: two channel pointers and the frame count.
  using Sink = std::function<void(const float* const* channels, int frames)>;
  using Progress = std::function<void(std::int64_t framesDone, std::int64_t framesExpected)>;
  // Beats per minute at a frame, answered to the plug-in's tempo queries.
  using TempoMap = std::function<double(std::int64_t frame)>;

  // The song's channel messages at their exact frames (rounded to the nearest frame).
  static std::vector<TimedMessage> schedule(const MidiSong& song, int sampleRate);
  static std::int64_t frameAt(double seconds, int sampleRate);

  // `endFrame` is where the song ends (at least the last event's frame).
  static RenderStats render(Plugin& plugin, const std::vector<TimedMessage>& events, std::int64_t endFrame,
                            int sampleRate, const RenderSettings& settings, const Sink& sink,
                            const Progress& progress = nullptr, const TempoMap& tempo = nullptr);
};

}  // namespace host
