#pragma once
// The buffers of one process or processReplacing call: exactly `frames`
// floats per channel, each its own heap block. Inputs carry any values (NaN,
// infinities, denormals, huge ones); replacing outputs start as NaN so that a
// frame the plug-in leaves unwritten is found, accumulating ones start finite.

#include <cmath>
#include <limits>
#include <memory>

#include "FuzzHost.h"
#include "FuzzInput.h"

namespace fuzz {

class AudioBlock {
 public:
  static constexpr int kMaxFrames = 4096;

  void prepare(FuzzInput& in, int frames, bool replacing) {
    frames_ = frames;
    const std::size_t size = static_cast<std::size_t>(frames > 0 ? frames : 1);
    for (int c = 0; c < 2; ++c) {
      input_[c].reset(new float[size]);
      output_[c].reset(new float[size]);
      inputPointers_[c] = input_[c].get();
      outputPointers_[c] = output_[c].get();
    }
    fillInputs(in, size);
    const float start = replacing ? std::numeric_limits<float>::quiet_NaN() : 0.25f;
    for (int c = 0; c < 2; ++c) {
      for (std::size_t i = 0; i < size; ++i) output_[c][i] = start;
    }
  }

  float** inputs() { return inputPointers_; }
  float** outputs() { return outputPointers_; }

  void checkFinite(const char* what) const {
    for (int c = 0; c < 2; ++c) {
      for (int i = 0; i < frames_; ++i) {
        if (!std::isfinite(output_[c][i])) fail(what);
      }
    }
  }

 private:
  void fillInputs(FuzzInput& in, std::size_t size) {
    switch (in.byte() % 4) {
      case 0:  // silence
        for (int c = 0; c < 2; ++c) {
          for (std::size_t i = 0; i < size; ++i) input_[c][i] = 0.0f;
        }
        break;
      case 1: {  // a short pattern of any values, repeated
        float pattern[8];
        const std::size_t length = 1 + in.below(8);
        for (std::size_t k = 0; k < length; ++k) pattern[k] = in.anyFloat();
        for (int c = 0; c < 2; ++c) {
          for (std::size_t i = 0; i < size; ++i) input_[c][i] = pattern[(i + static_cast<std::size_t>(c)) % length];
        }
        break;
      }
      case 2: {  // a loud tone
        const float gain = in.anyFloat();
        for (int c = 0; c < 2; ++c) {
          for (std::size_t i = 0; i < size; ++i) {
            input_[c][i] = gain * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
          }
        }
        break;
      }
      default: {  // one value throughout, with a different one somewhere
        const float value = in.anyFloat();
        const float other = in.anyFloat();
        const std::size_t at = in.below(static_cast<std::uint32_t>(size));
        for (int c = 0; c < 2; ++c) {
          for (std::size_t i = 0; i < size; ++i) input_[c][i] = value;
          input_[c][at] = other;
        }
        break;
      }
    }
  }

  int frames_ = 0;
  std::unique_ptr<float[]> input_[2];
  std::unique_ptr<float[]> output_[2];
  float* inputPointers_[2] = {};
  float* outputPointers_[2] = {};
};

}  // namespace fuzz
