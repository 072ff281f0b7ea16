#pragma once
// Named states of both editors, drawn headless: the golden pictures that the
// tests compare pixel for pixel on every target, and the pictures of the
// README and the manual (vornhalt-editor-png writes them).

#include <functional>
#include <string>
#include <vector>

#include "gui/Canvas.h"

namespace pictures {

struct EditorPicture {
  std::string instrument;  // "marrowglint" or "sarnel"
  std::string state;       // e.g. "default", "info"
  // Builds the instrument, opens its editor without a screen, brings it into
  // the state and answers the form's pixels. GUI thread.
  std::function<gui::Canvas()> render;

  std::string fileName() const { return instrument + "-" + state + ".png"; }
};

// Each editor's states, in the order the pictures are listed.
std::vector<EditorPicture> marrowglintPictures();
std::vector<EditorPicture> sarnelPictures();

inline std::vector<EditorPicture> allEditorPictures() {
  std::vector<EditorPicture> all = marrowglintPictures();
  for (EditorPicture& picture : sarnelPictures()) all.push_back(std::move(picture));
  return all;
}

}  // namespace pictures
