#pragma once
// The few sample files the Sarnel surface fuzzer may point its path at, made
// once per process in a folder of its own under $TMPDIR (or /tmp): tiny WAV
// files of several layouts, one with values no audio should hold, a file
// that is not a WAV, a folder, and paths that do not exist. No other file is
// ever named, so a load never blocks or reads anything large.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include <unistd.h>

#include "FuzzHost.h"

namespace fuzz {

class TinyWaves {
 public:
  TinyWaves() {
    const char* tmp = std::getenv("TMPDIR");
    folder_ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/vornhalt-surface-" +
              std::to_string(getpid());
    std::filesystem::create_directories(folder_ + "/folder.wav");
    paths_.push_back("");
    paths_.push_back(pcm(folder_ + "/mono16.wav", 1, 44100, 16, {0xFF, 0x7F}));
    paths_.push_back(pcm(folder_ + "/stereo16.wav", 2, 192000, 16, {0x00, 0x80, 0xFF, 0x7F, 0x01, 0x00, 0x00, 0x00}));
    paths_.push_back(pcm(folder_ + "/stereo8.wav", 2, 8000, 8, {0x00, 0xFF, 0x80, 0x7F, 0x10, 0xF0}));
    paths_.push_back(floats(folder_ + "/float.wav", 1, 48000, {0.5f, -1.5f, 0.25f}));
    paths_.push_back(floats(folder_ + "/wild.wav", 2, 44100,
                            {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::max(), std::numeric_limits<float>::denorm_min(), 1e30f,
                             -0.0f}));
    paths_.push_back(write(folder_ + "/text.wav", std::vector<std::uint8_t>{'n', 'o', 't', ' ', 'a', ' ', 'w', 'a',
                                                                           'v', 'e'}));
    paths_.push_back(folder_ + "/folder.wav");
    paths_.push_back(folder_ + "/missing.wav");
    // 255 bytes, the longest path a program keeps; it does not exist.
    std::string longest = folder_ + "/";
    longest.append(255 - longest.size() - 4, 'x');
    paths_.push_back(longest + ".wav");
  }

  ~TinyWaves() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  const std::vector<std::string>& paths() const { return paths_; }

 private:
  static void le(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }

  static std::vector<std::uint8_t> riff(std::uint16_t format, std::uint16_t channels, std::uint32_t rate,
                                        std::uint16_t bits, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> out;
    const std::uint32_t blockAlign = channels * (bits / 8u);
    for (char c : std::string("RIFF")) out.push_back(static_cast<std::uint8_t>(c));
    le(out, static_cast<std::uint32_t>(4 + 8 + 16 + 8 + data.size()), 4);
    for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<std::uint8_t>(c));
    le(out, 16, 4);
    le(out, format, 2);
    le(out, channels, 2);
    le(out, rate, 4);
    le(out, rate * blockAlign, 4);
    le(out, blockAlign, 2);
    le(out, bits, 2);
    for (char c : std::string("data")) out.push_back(static_cast<std::uint8_t>(c));
    le(out, static_cast<std::uint32_t>(data.size()), 4);
    out.insert(out.end(), data.begin(), data.end());
    return out;
  }

  static std::string write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
      fail("cannot write the sample files");
    }
    std::fclose(file);
    return path;
  }

  static std::string pcm(const std::string& path, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                         const std::vector<std::uint8_t>& data) {
    return write(path, riff(1, channels, rate, bits, data));
  }

  static std::string floats(const std::string& path, std::uint16_t channels, std::uint32_t rate,
                            const std::vector<float>& values) {
    std::vector<std::uint8_t> data(values.size() * sizeof(float));
    std::memcpy(data.data(), values.data(), data.size());
    return write(path, riff(3, channels, rate, 32, data));
  }

  std::string folder_;
  std::vector<std::string> paths_;
};

}  // namespace fuzz
