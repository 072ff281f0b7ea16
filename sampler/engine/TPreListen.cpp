#include "sampler/engine/TPreListen.h"

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

#include "sampler/io/ReadWaveFile.h"

namespace sarnel {

TPreListen::TPreListen() = default;

// No audio thread runs any more: the instrument is going.
TPreListen::~TPreListen() = default;

bool TPreListen::play(const std::string& file, std::string& error) {
  stop();
  auto clip = std::make_unique<Clip>();
  try {
    WaveFileData wave = readWaveFile(file);
    clip->channels = std::max(1, static_cast<int>(wave.channels));
    clip->frames = static_cast<int>(wave.samples.size() / static_cast<std::size_t>(clip->channels));
    clip->rate = wave.sampleRate > 0 ? wave.sampleRate : 44100.0;
    clip->samples = std::move(wave.samples);
  } catch (const std::bad_alloc&) {
    error = "Not enough memory to pre-listen to " + file + ".";
    return false;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  clip->serial = ++lastSerial;
  wanted.store(clip.get());
  owned.push_back(std::move(clip));
  return true;
}

void TPreListen::stop() {
  wanted.store(nullptr);
  collect();
}

void TPreListen::collect() {
  // `wanted` was stored before `inUse` is read: a clip the audio thread
  // announces after this read is one it found still wanted.
  const Clip* keepWanted = wanted.load();
  const Clip* keepInUse = inUse.load();
  std::erase_if(owned, [&](const std::unique_ptr<Clip>& clip) {
    return clip.get() != keepWanted && clip.get() != keepInUse;
  });
}

void TPreListen::mixInto(float* left, float* right, int frames, float outputRate) noexcept {
  // Announce the clip, then make sure it is still the wanted one: only then
  // may it be read (the GUI thread frees clips neither wanted nor in use).
  const Clip* clip = wanted.load();
  for (;;) {
    inUse.store(clip);
    const Clip* again = wanted.load();
    if (again == clip) break;
    clip = again;
  }
  if (clip == nullptr) {
    currentSerial = 0;
    return;
  }
  if (clip->serial != currentSerial) {
    currentSerial = clip->serial;
    position = 0.0;
  }
  if (outputRate <= 0.0f || clip->frames <= 0) return;
  const double step = clip->rate / outputRate;
  const int channels = clip->channels;
  const int rightChannel = channels > 1 ? 1 : 0;
  const float* s = clip->samples.data();
  for (int i = 0; i < frames; ++i) {
    const int at = static_cast<int>(position);
    if (at >= clip->frames) break;
    const float fraction = static_cast<float>(position - at);
    const int next = at + 1 < clip->frames ? at + 1 : at;
    const float* a = s + static_cast<std::ptrdiff_t>(at) * channels;
    const float* b = s + static_cast<std::ptrdiff_t>(next) * channels;
    left[i] += a[0] + (b[0] - a[0]) * fraction;
    right[i] += a[rightChannel] + (b[rightChannel] - a[rightChannel]) * fraction;
    position += step;
  }
}

namespace {

class PreListenPlayer final : public platform::MediaPlayer {
 public:
  explicit PreListenPlayer(TPreListen& owner) : owner_(owner) {}
  ~PreListenPlayer() override { owner_.stop(); }
  bool play(const std::string& file, std::string& error) override { return owner_.play(file, error); }
  void close() override { owner_.stop(); }

 private:
  TPreListen& owner_;
};

}  // namespace

std::unique_ptr<platform::MediaPlayer> TPreListen::create() { return std::make_unique<PreListenPlayer>(*this); }

}  // namespace sarnel
