// vornhalt-make-sample OUT.wav: writes Sarnel's demo sample (16-bit mono, 44.1 kHz).

#include <exception>
#include <iostream>
#include <string_view>

#include "host/WaveWriter.h"
#include "render/PluckSample.h"

int main(int argc, char** argv) {
  // An option is never taken for the output file's name.
  if (argc != 2 || std::string_view(argv[1]).starts_with("-")) {
    std::cerr << "Usage: vornhalt-make-sample OUT.wav\n";
    return argc == 2 && std::string_view(argv[1]) == "--help" ? 0 : 2;
  }
  constexpr int kRate = 44100;
  try {
    const std::vector<float> pluck = render::synthesisePluck(kRate, 2.5);
    host::WaveWriter writer(argv[1], host::SampleFormat::pcm16, kRate, 1);
    const float* channels[1] = {pluck.data()};
    writer.write(channels, static_cast<int>(pluck.size()));
    writer.commit();
  } catch (const std::exception& failure) {
    std::cerr << "vornhalt-make-sample: " << failure.what() << '\n';
    return 1;
  }
  return 0;
}
