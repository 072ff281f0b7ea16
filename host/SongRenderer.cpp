#include "host/SongRenderer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "host/Plugin.h"

namespace host {
namespace {

void measure(RenderStats& stats, const float* const* channels, int frames) {
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < frames; ++i) {
      const float value = channels[c][i];
      const float magnitude = std::fabs(value);
      if (!(magnitude <= 1.0f)) ++stats.clippedSamples;  // also counts NaN
      if (magnitude > stats.peak) stats.peak = magnitude;
      stats.sumOfSquares += static_cast<double>(value) * static_cast<double>(value);
    }
  }
}

// Frames at the end of the block during which both channels stayed silent,
// added to the run that was silent before the block.
std::int64_t silentRunAfter(std::int64_t run, const float* const* channels, int frames, float threshold) {
  for (int i = 0; i < frames; ++i) {
    const bool silent = std::fabs(channels[0][i]) < threshold && std::fabs(channels[1][i]) < threshold;
    run = silent ? run + 1 : 0;
  }
  return run;
}

}  // namespace

std::int64_t SongRenderer::frameAt(double seconds, int sampleRate) {
  // Saturates far beyond any song, so absurd times cannot overflow.
  constexpr double kLimit = 4.0e18;
  const double frame = std::nearbyint(seconds * static_cast<double>(sampleRate));
  return static_cast<std::int64_t>(std::clamp(frame, -kLimit, kLimit));
}

std::vector<TimedMessage> SongRenderer::schedule(const MidiSong& song, int sampleRate) {
  std::vector<TimedMessage> timed;
  timed.reserve(song.events.size());
  for (const SongEvent& event : song.events) {
    timed.push_back({frameAt(event.seconds, sampleRate), {event.status, event.data1, event.data2, 0}});
  }
  return timed;
}

RenderStats SongRenderer::render(Plugin& plugin, const std::vector<TimedMessage>& events, std::int64_t endFrame,
                                 int sampleRate, const RenderSettings& settings, const Sink& sink,
                                 const Progress& progress, const TempoMap& tempo) {
  const auto started = std::chrono::steady_clock::now();
  const vst::AEffect* effect = plugin.effect();
  const int blockSize = std::max(1, settings.blockSize);
  const auto rate = static_cast<double>(sampleRate);
  if (!events.empty()) endFrame = std::max(endFrame, events.back().frame);
  const bool fixedTail = settings.tailSeconds.has_value();
  const std::int64_t tailFrames =
      static_cast<std::int64_t>(std::nearbyint((fixedTail ? *settings.tailSeconds : settings.maxTailSeconds) * rate));
  const std::int64_t silenceFrames = static_cast<std::int64_t>(std::nearbyint(settings.silenceSeconds * rate));
  const std::int64_t lastFrame = endFrame + tailFrames;

  const std::size_t inputCount = static_cast<std::size_t>(std::max(2, effect->numInputs));
  const std::size_t outputCount = static_cast<std::size_t>(std::max(2, effect->numOutputs));
  std::vector<float> inputData(inputCount * static_cast<std::size_t>(blockSize), 0.0f);
  std::vector<float> outputData(outputCount * static_cast<std::size_t>(blockSize), 0.0f);
  std::vector<float*> inputs(inputCount);
  std::vector<float*> outputs(outputCount);
  for (std::size_t c = 0; c < inputCount; ++c) inputs[c] = inputData.data() + c * static_cast<std::size_t>(blockSize);
  for (std::size_t c = 0; c < outputCount; ++c) outputs[c] = outputData.data() + c * static_cast<std::size_t>(blockSize);
  // A mono instrument is heard on both sides.
  const float* stereo[2] = {outputs[0], effect->numOutputs == 1 ? outputs[0] : outputs[1]};
  const bool replacing = (effect->flags & vst::effFlagsCanReplacing) != 0;

  RenderStats stats;
  EventList list;
  std::int64_t position = 0;
  std::int64_t silentRun = 0;
  std::size_t next = 0;
  while (position < lastFrame) {
    if (!fixedTail && next == events.size() && position >= endFrame && silentRun >= silenceFrames) break;
    std::int64_t length = std::min<std::int64_t>(blockSize, lastFrame - position);
    std::size_t end = next;
    while (end < events.size() && events[end].frame <= position) ++end;
    if (settings.splitAtEvents) {
      if (end < events.size()) length = std::min(length, events[end].frame - position);
    } else {
      while (end < events.size() && events[end].frame < position + length) ++end;
    }
    if (end > next) {
      list.clear();
      for (std::size_t e = next; e < end; ++e) {
        MidiMessage message = events[e].message;
        // An event before the start (a negative time) sounds at the first frame.
        message.deltaFrames = static_cast<std::int32_t>(std::max<std::int64_t>(0, events[e].frame - position));
        list.add(message);
      }
      plugin.sendEvents(list);
      stats.eventsSent += static_cast<std::int64_t>(end - next);
      next = end;
    }
    if (tempo) plugin.config().tempoBpm = tempo(position);
    const int frames = static_cast<int>(length);
    if (replacing) {
      plugin.processReplacing(inputs.data(), outputs.data(), frames);
    } else {
      std::fill(outputData.begin(), outputData.end(), 0.0f);
      plugin.process(inputs.data(), outputs.data(), frames);
    }
    measure(stats, stereo, frames);
    silentRun = silentRunAfter(silentRun, stereo, frames, settings.silenceThreshold);
    sink(stereo, frames);
    position += length;
    stats.frames = position;
    ++stats.blocks;
    if (progress) progress(position, lastFrame);
  }
  stats.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  return stats;
}

}  // namespace host
