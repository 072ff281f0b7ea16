// vornhalt-editor-png: draws the editors' named states into PNG files.
//
//   vornhalt-editor-png [--list] [--only NAME] [OUTDIR]
//
// NAME is "<instrument>-<state>" as --list prints it; OUTDIR defaults to the
// current folder. Exit codes: 0 written, 1 a picture could not be drawn or
// written, 2 bad arguments or an unknown NAME.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "pictures/EditorPictures.h"

int main(int argc, char** argv) {
  std::string outDir = ".";
  std::string only;
  bool list = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--list") {
      list = true;
    } else if (arg == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else if (arg == "--help" || arg == "-h" || (!arg.empty() && arg[0] == '-')) {
      std::fputs("usage: vornhalt-editor-png [--list] [--only <instrument>-<state>] [OUTDIR]\n", stderr);
      return 2;
    } else {
      outDir = arg;
    }
  }
  const std::vector<pictures::EditorPicture> all = pictures::allEditorPictures();
  bool found = only.empty();
  for (const pictures::EditorPicture& picture : all) {
    const std::string name = picture.instrument + "-" + picture.state;
    if (list) {
      std::printf("%s\n", name.c_str());
      continue;
    }
    if (!only.empty() && name != only) continue;
    found = true;
    const std::string path = outDir + "/" + picture.fileName();
    try {
      if (!picture.render().savePng(path)) {
        std::fprintf(stderr, "vornhalt-editor-png: cannot write %s\n", path.c_str());
        return 1;
      }
    } catch (const std::exception& error) {
      std::fprintf(stderr, "vornhalt-editor-png: cannot draw %s: %s\n", name.c_str(), error.what());
      return 1;
    }
    std::printf("%s\n", path.c_str());
  }
  if (!found) {
    std::fprintf(stderr, "vornhalt-editor-png: no picture named %s (see --list)\n", only.c_str());
    return 2;
  }
  return 0;
}
