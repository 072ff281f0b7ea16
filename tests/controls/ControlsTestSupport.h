#pragma once
// Shared pieces of the control tests: image strips whose frames can be told
// apart by colour, and mouse events with exact modifier sets.

#include "gui/Canvas.h"
#include "gui/ImageList.h"
#include "gui/MouseInput.h"

namespace controls::testing {

// Frame i is filled with the colour (i, 100, 200).
inline gui::ImageList numberedStrip(int frames, int width = 8, int height = 8) {
  gui::ImageList list(width, height);
  for (int i = 0; i < frames; ++i) list.add(gui::Canvas(width, height, gui::rgb(i, 100, 200)));
  return list;
}

inline gui::MouseEvent press(gui::MouseButton button, gui::ShiftState held, int x = 0, int y = 0) {
  return {button, static_cast<gui::ShiftState>(held | gui::buttonFlag(button)), x, y};
}

inline gui::MouseEvent move(gui::ShiftState held, int x, int y) { return {gui::MouseButton::left, held, x, y}; }

inline gui::MouseEvent release(gui::MouseButton button, int x = 0, int y = 0) { return {button, 0, x, y}; }

}  // namespace controls::testing
