// vornhalt-compose-demo OUT.mid: writes the demo song (demo/demo.mid in the
// repository is its output).

#include <exception>
#include <iostream>

#include "render/DemoSong.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "Usage: vornhalt-compose-demo OUT.mid\n";
    return 2;
  }
  try {
    render::composeDemoSong().save(argv[1]);
  } catch (const std::exception& failure) {
    std::cerr << "vornhalt-compose-demo: " << failure.what() << '\n';
    return 1;
  }
  return 0;
}
