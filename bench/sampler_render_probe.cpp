// A fixed render for instruction counting (scripts/callgrind-sampler.sh):
// `voices` notes sounding on a sample of `channels` channels (0: none, the
// effect mode), then `blocks` calls of processReplacing with 512 frames each.
// Arguments: voices, channels, blocks.

#include <cstdlib>

#include "bench/SarnelBenchSetup.h"

int main(int argc, char** argv) {
  const int voices = argc > 1 ? std::atoi(argv[1]) : 33;
  const int channels = argc > 2 ? std::atoi(argv[2]) : 2;
  const int blocks = argc > 3 ? std::atoi(argv[3]) : 100;
  sarnelbench::Setup setup(voices, channels);
  for (int i = 0; i < blocks; ++i) setup.render();
  return setup.last() == 12345.0f ? 1 : 0;  // keeps the render observable
}
