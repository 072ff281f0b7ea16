#pragma once
// The record of Sarnel's single program: the sound parameters, the tuning,
// the sample path and the name. The host saves all of it as parameter values.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sampler/dsp/TRelaxed.h"
#include "sampler/engine/ParameterTable.h"

namespace sarnel {

class APluginProgram {
 public:
  static constexpr std::size_t kNameLength = 52;  // bytes, terminator included

  // Defaults: the parameter table, equal temperament, an empty path, "Init".
  // GUI thread.
  APluginProgram();
  APluginProgram(const APluginProgram&) = delete;
  APluginProgram& operator=(const APluginProgram&) = delete;

  // The path bytes up to the first 0 byte (at most 255). Any thread.
  std::string path() const;

  // GUI thread. The name is cut to 51 bytes.
  void setName(std::string_view text);
  const char* getName() const { return name.data(); }

  // Values written by setParameter on whichever thread calls it (an LFO
  // writes from the audio thread), read by the GUI thread.
  std::array<TRelaxed<float>, kNumSoundParams> params;
  std::array<TRelaxed<float>, kNumNotes> tuning;
  std::array<TRelaxed<std::uint8_t>, kPathBytes> pathBytes;

 private:
  std::array<char, kNameLength> name{};
};

// The text of 0-terminated path bytes, at most kMaxPathLength of them.
template <class Bytes>
std::string pathFromBytes(const Bytes& bytes) {
  std::string text;
  for (int i = 0; i < kMaxPathLength; ++i) {
    const std::uint8_t byte = bytes[static_cast<std::size_t>(i)];
    if (byte == 0) break;
    text.push_back(static_cast<char>(byte));
  }
  return text;
}

}  // namespace sarnel
