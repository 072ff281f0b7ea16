#pragma once
// The sampler set up the same way for the benchmarks and the instruction
// count probe: a generated sample (one or two channels, 44100 frames) loaded
// from a temporary WAV file, interpolation on, loop mode 1 over the whole
// sample, envelopes at full level, and `voices` notes sounding.

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "host/EventList.h"
#include "host/WaveWriter.h"
#include "platform/headless/MemorySettingsStore.h"
#include "sampler/engine/APlugin.h"

namespace sarnelbench {

inline constexpr int kBlock = 512;

// Builds the plug-in; the caller renders.
class Setup {
 public:
  Setup(int voices, int channels) {
    directory = std::filesystem::temp_directory_path() /
                ("sarnel-bench-" + std::to_string(voices) + "-" + std::to_string(channels) + "-" +
                 std::to_string(reinterpret_cast<std::uintptr_t>(this) % 100000));
    std::filesystem::create_directories(directory);
    sarnel::APluginOptions options;
    options.settings = std::make_shared<platform::MemorySettingsStore>();
    plugin = std::make_unique<sarnel::APlugin>(nullptr, std::move(options));
    if (channels > 0) {
      const std::string path = (directory / "bench.wav").string();
      writeSample(path, channels);
      plugin->loadSample(path);
    }
    plugin->setParameter(sarnel::kAttack, 0.0f);
    plugin->setParameter(sarnel::kDecay, 0.0f);
    plugin->setParameter(sarnel::kSustain, 1.0f);
    plugin->setParameter(sarnel::kInterpolation, 1.0f);
    plugin->setParameter(sarnel::kLoopMode, 1.0f / 3.0f);
    plugin->setParameter(sarnel::kVolume, 0.05f);
    host::EventList notes;
    // Keys around the root (72): speeds from a quarter to twice the
    // recorded one, so positions carry fractions and move at many rates.
    for (int v = 0; v < voices; ++v) notes.add(host::noteOn(0, 48 + (v * 7) % 33, 100));
    plugin->processEvents(notes.get());
    in0.assign(kBlock, 0.0f);
    in1.assign(kBlock, 0.0f);
    out0.assign(kBlock, 0.0f);
    out1.assign(kBlock, 0.0f);
    render();  // the first block starts the voices
  }
  ~Setup() {
    plugin.reset();
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
  }
  Setup(const Setup&) = delete;
  Setup& operator=(const Setup&) = delete;

  void render() {
    float* inputs[2] = {in0.data(), in1.data()};
    float* outputs[2] = {out0.data(), out1.data()};
    plugin->processReplacing(inputs, outputs, kBlock);
  }
  // A signal for the effect mode.
  void fillInput() {
    for (int i = 0; i < kBlock; ++i) in0[static_cast<std::size_t>(i)] = in1[static_cast<std::size_t>(i)] =
        static_cast<float>(i % 100 - 50) / 64.0f;
  }
  float last() const { return out0.back() + out1.back(); }

 private:
  static void writeSample(const std::string& path, int channels) {
    const int frames = 44100;
    std::vector<std::vector<float>> planes(static_cast<std::size_t>(channels), std::vector<float>(frames));
    for (int i = 0; i < frames; ++i) {
      for (int c = 0; c < channels; ++c) {
        planes[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] =
            static_cast<float>((i * (31 + 6 * c)) % 400 - 200) / 256.0f;
      }
    }
    std::vector<const float*> pointers;
    for (const auto& plane : planes) pointers.push_back(plane.data());
    host::WaveWriter writer(path, host::SampleFormat::float32, 44100, channels);
    writer.write(pointers.data(), frames);
    writer.commit();
  }

  std::filesystem::path directory;
  std::unique_ptr<sarnel::APlugin> plugin;
  std::vector<float> in0, in1, out0, out1;
};

}  // namespace sarnelbench
