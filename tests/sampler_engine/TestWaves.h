#pragma once
// Test data the Sarnel tests make themselves: a temporary directory and WAV
// files of known samples (float32, which the reader passes unchanged, so a
// test knows every value the voices read).

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "host/WaveWriter.h"

namespace sarneltest {

// A directory of its own under the system's temporary directory, removed
// with everything in it when the test ends.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir = std::filesystem::temp_directory_path() /
          ("sarnel-test-" + std::to_string(stamp % 1000000007) + "-" + std::to_string(counter.fetch_add(1)));
    std::filesystem::create_directories(dir);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string file(const std::string& name) const { return (dir / name).string(); }

 private:
  std::filesystem::path dir;
};

// Writes interleaved 32-bit float samples: the reader passes them unchanged,
// so a test knows every value the voices read.
inline void writeFloatWave(const std::string& path, const std::vector<float>& interleaved, int channels,
                           int sampleRate = 44100) {
  const int frames = static_cast<int>(interleaved.size()) / channels;
  std::vector<std::vector<float>> planes(static_cast<std::size_t>(channels), std::vector<float>(static_cast<std::size_t>(frames)));
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) {
      planes[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] =
          interleaved[static_cast<std::size_t>(i * channels + c)];
    }
  }
  std::vector<const float*> pointers;
  for (const auto& plane : planes) pointers.push_back(plane.data());
  host::WaveWriter writer(path, host::SampleFormat::float32, sampleRate, channels);
  writer.write(pointers.data(), frames);
  writer.commit();
}

// A mono ramp: value i x step at frame i, exact in float32 for small i.
inline std::vector<float> ramp(int frames, float step = 1.0f / 4096.0f) {
  std::vector<float> values(static_cast<std::size_t>(frames));
  for (int i = 0; i < frames; ++i) values[static_cast<std::size_t>(i)] = static_cast<float>(i) * step;
  return values;
}

// A stereo ramp whose right channel is the negated left one.
inline std::vector<float> stereoRamp(int frames, float step = 1.0f / 4096.0f) {
  std::vector<float> values(static_cast<std::size_t>(frames) * 2);
  for (int i = 0; i < frames; ++i) {
    values[static_cast<std::size_t>(2 * i)] = static_cast<float>(i) * step;
    values[static_cast<std::size_t>(2 * i + 1)] = -static_cast<float>(i) * step;
  }
  return values;
}

}  // namespace sarneltest
