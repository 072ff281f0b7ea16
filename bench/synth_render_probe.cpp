// A fixed render for instruction counting (scripts/callgrind-synth.sh):
// four voices sounding, then `blocks` calls of processReplacing with 512
// frames each. Arguments: interpolation mode (0, 1, 2), fat (0 or 1),
// blocks.

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/headless/MemorySettingsStore.h"
#include "synth/engine/APlugin.h"

int main(int argc, char** argv) {
  using namespace marrowglint;
  const int mode = argc > 1 ? std::atoi(argv[1]) : 2;
  const bool fat = argc > 2 && std::atoi(argv[2]) != 0;
  const int blocks = argc > 3 ? std::atoi(argv[3]) : 200;
  APluginOptions options;
  options.settings = std::make_shared<platform::MemorySettingsStore>();
  APlugin plugin(nullptr, std::move(options));
  plugin.setParameter(kCommandInterpolation, static_cast<float>(mode) / 10.0f);
  plugin.setParameter(kFat, fat ? 1.0f : 0.0f);
  for (const int note : {48, 55, 60, 64}) plugin.noteOn(note + 48, 100);
  std::vector<float> in0(512, 0.0f), in1(512, 0.0f), out0(512), out1(512);
  float* inputs[2] = {in0.data(), in1.data()};
  float* outputs[2] = {out0.data(), out1.data()};
  for (int i = 0; i < blocks; ++i) plugin.processReplacing(inputs, outputs, 512);
  return out0[511] == 12345.0f ? 1 : 0;  // keeps the render observable
}
