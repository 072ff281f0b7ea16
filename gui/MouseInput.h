#pragma once
// Mouse input as components see it: the button, the exact set of held keys
// and buttons, and the pointer relative to the component.

#include <cstdint>

namespace gui {

enum class MouseButton { left, right, middle };

// The held keys and buttons of an event, as a set of flags.
enum ShiftFlag : std::uint8_t {
  kShift = 1 << 0,
  kAlt = 1 << 1,
  kCtrl = 1 << 2,
  kLeft = 1 << 3,
  kRight = 1 << 4,
  kMiddle = 1 << 5,
  kDouble = 1 << 6,  // the press is the second of a double click
};
using ShiftState = std::uint8_t;

constexpr ShiftState buttonFlag(MouseButton button) {
  return button == MouseButton::left ? kLeft : button == MouseButton::right ? kRight : kMiddle;
}

// For a press the set includes the pressed button; for a release it holds what
// is still held after it, as the system reports them.
struct MouseEvent {
  MouseButton button = MouseButton::left;  // the pressed or released button; left for moves
  ShiftState shift = 0;
  int x = 0;
  int y = 0;
};

// Pointer shapes a component can ask for. `inherit` takes its parent's.
enum class Cursor { inherit, arrow, cross, hand, sizeNS, sizeWE, wait, ibeam };

}  // namespace gui
