// vornhalt-render: renders a MIDI file through a VST 2 instrument to a WAV file.

#include <iostream>
#include <string>
#include <vector>

#include "render/RenderCommand.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return render::runRender(args, std::cout, std::cerr);
}
