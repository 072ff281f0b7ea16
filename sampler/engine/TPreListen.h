#pragma once
// Pre-listening through the instrument's own output: the GUI thread reads a
// WAV file with Sarnel's reader and hands the clip over; the audio thread
// mixes it once into the output at the file's own speed, until another clip
// replaces it, stop() or its end. The loaded sample, the voices and the saved
// state are never touched.
//
// Hand-over without locks or allocation on the audio thread: the GUI thread
// owns every clip and publishes the one to play in `wanted`; the audio
// thread announces the clip it reads in `inUse` (and checks that `wanted`
// still names it before reading it), and the GUI thread frees only clips
// that are neither wanted nor in use.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/MediaPlayer.h"

namespace sarnel {

class TPreListen final : public platform::MediaPlayerFactory {
 public:
  TPreListen();
  ~TPreListen() override;
  TPreListen(const TPreListen&) = delete;
  TPreListen& operator=(const TPreListen&) = delete;

  // Reads the file and starts it, replacing what plays; false with the
  // reader's message when the file cannot be read. GUI thread.
  bool play(const std::string& file, std::string& error);
  // Stops what plays. GUI thread.
  void stop();
  // Frees the clips the audio thread has let go. GUI thread.
  void collect();

  // Adds the playing clip to both outputs, advancing at fileRate ÷
  // outputRate source frames per output frame. Audio thread; real-time safe.
  void mixInto(float* left, float* right, int frames, float outputRate) noexcept;

  // A media player that plays through this object (the editor's pre-listen
  // on systems without a media service). GUI thread.
  std::unique_ptr<platform::MediaPlayer> create() override;

 private:
  struct Clip {
    std::vector<float> samples;  // interleaved
    int channels = 1;
    int frames = 0;
    double rate = 44100.0;
    unsigned serial = 0;  // tells a new clip from a freed one at the same address
  };

  std::vector<std::unique_ptr<Clip>> owned;  // GUI thread
  unsigned lastSerial = 0;                   // GUI thread
  std::atomic<const Clip*> wanted{nullptr};
  std::atomic<const Clip*> inUse{nullptr};
  // Audio thread only.
  unsigned currentSerial = 0;
  double position = 0.0;
};

}  // namespace sarnel
