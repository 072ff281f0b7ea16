#include "controls/TDial.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "controls/NumberText.h"
#include "platform/InputBoxService.h"
#include "platform/KeyboardHookScope.h"
#include "platform/MessageBoxService.h"

namespace controls {

using gui::MouseButton;

namespace {

// Rounds half to even into 32 bits; values beyond the range saturate (the
// callers limit the result to the control's range anyway).
std::int32_t nearestInt(double value) {
  const double r = std::nearbyint(value);
  if (!(r > -2147483648.0)) return std::numeric_limits<std::int32_t>::min();
  if (r > 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(r);
}

}  // namespace

TDial::TDial(gui::Rect bounds) : Component(bounds) {
  // Numbers are always written and read with "." here (NumberText never
  // consults the locale), which is what setting the process-wide decimal
  // separator achieves elsewhere.
}

double TDial::valueScale() const {
  return std::fabs(static_cast<double>(ValueMin)) + std::fabs(static_cast<double>(ValueMax));
}

void TDial::raiseChange() {
  if (OnChange) OnChange(*this);
}

void TDial::SetPosition(std::int32_t value) {
  if (value < ValueMin || value > ValueMax) return;
  const double scale = valueScale();
  const double x = scale == 0.0 ? 0.0 : (static_cast<double>(value) - ValueMin) / scale;
  switch (Style) {
    case cHSlider: Position = nearestInt(x * (width() - SliderOffset)); break;
    case cVSlider: Position = nearestInt(x * (height() - SliderOffset)); break;
    case cDial:
    case cButton: Position = value; break;
  }
  DragBase = Position;
  UpdateImage();
}

void TDial::UpdateImage() {
  const int n = ImageList != nullptr ? ImageList->count() : 0;
  if (n == 0) {
    platform::systemMessageBoxes().show("ERROR: Empty Imagelist!", "Error!", platform::MessageButtons::ok,
                                        platform::MessageIcon::none);
    return;
  }
  const double scale = valueScale();
  int shown = 0;
  if (Style == cHSlider || Style == cVSlider) {
    const int length = Style == cHSlider ? width() : height();
    const double travel = static_cast<double>(length) - SliderOffset + 1.0;
    double d = travel > 0.0 ? n * static_cast<double>(Position) / travel : 0.0;
    d = std::clamp(d, 0.0, static_cast<double>(n - 1));
    shown = nearestInt(d);
    // A strip of one frame has no travel: it shows the smallest value.
    double v = n > 1 ? d / (n - 1) * scale + ValueMin : static_cast<double>(ValueMin);
    v = std::clamp(v, static_cast<double>(ValueMin), static_cast<double>(ValueMax));
    Position = nearestInt(v);
  } else if (Style == cButton) {
    shown = std::clamp(Position, 0, n - 1);
  } else {
    const double fraction = scale == 0.0 ? 0.0 : n * (static_cast<double>(Position) - ValueMin) / scale;
    shown = std::clamp(nearestInt(fraction), 0, n - 1);
  }
  Value = Position;
  raiseChange();
  if (Style == cDial || Style == cButton) Position = shown;
  frame_ = shown;
  invalidate();
}

void TDial::mouseDown(const gui::MouseEvent& event) {
  Component::mouseDown(event);
  if (InvCursor || tag == kOwnerHandledTag) return;
  const gui::ShiftState held = event.shift & static_cast<gui::ShiftState>(~gui::kDouble);
  const bool left = event.button == MouseButton::left;
  const bool right = event.button == MouseButton::right;
  using gui::kAlt, gui::kCtrl, gui::kLeft, gui::kRight, gui::kShift;

  if (held == (kAlt | kLeft) || held == (kAlt | kRight)) return;
  bool ctrlLeft = false;
  if (held == (kShift | kLeft) && !CCString1.empty() && !CCString2.empty()) {
    controllerInput();
    return;
  }
  if (held == (kShift | kRight)) {
    ControllerEntry = 200;
    ControllerChanged = true;
    raiseChange();
    return;
  }
  if (held == (kCtrl | kLeft)) {
    if (!InputString1.empty() && !InputString2.empty()) {
      valueInput();
      return;
    }
    ctrlLeft = true;
  }
  if (held == (kCtrl | kRight)) DefaultValue = Value;
  if (held == kRight && Style != cButton) SetPosition(DefaultValue);

  switch (Style) {
    case cHSlider:
      if (left && !ctrlLeft && (event.shift & kCtrl) == 0) sliderPress(event.x, width());
      if (right) SetPosition(DefaultValue);
      break;
    case cVSlider:
      // Measured from the bottom edge, like the horizontal slider from the left.
      if (left && !ctrlLeft && (event.shift & kCtrl) == 0) sliderPress(height() - event.y, height());
      if (right) SetPosition(DefaultValue);
      break;
    case cDial:
      PressX = event.x;
      PressY = event.y;
      break;
    case cButton:
      PressX = event.x;
      PressY = event.y;
      buttonPress(event.button);
      break;
  }
}

void TDial::sliderPress(int along, int length) {
  const int x = std::clamp(along, 0, length);
  // A track of no length has nowhere to be but its end.
  const double share = length > 0 ? static_cast<double>(length - x) * ValueMax / length : 0.0;
  Value = ValueMax - nearestInt(share);
  Position = Value;
  UpdateImage();
}

void TDial::buttonPress(MouseButton button) {
  MouseButton up = MouseButton::left;
  MouseButton down = MouseButton::right;
  if (InvMovement) std::swap(up, down);
  if (button == up) {
    Value += Step;
  } else if (button == down && EnableRightButton) {
    Value -= Step;
  }
  if (Value > ValueMax) {
    switch (ButtonStyle) {
      case bNormal: Value = ValueMax; break;
      case bLoop: Value = ValueMin; break;
      case bPingPong:
        Value = ValueMax - 1;
        Step = static_cast<std::int8_t>(-Step);
        break;
      case bJumpy: DragBase = Value = ValueMax; break;
    }
  } else if (Value < ValueMin) {
    switch (ButtonStyle) {
      case bNormal: Value = ValueMin; break;
      case bLoop: Value = ValueMax; break;
      case bPingPong:
        Value = ValueMin + 1;
        Step = static_cast<std::int8_t>(-Step);
        break;
      case bJumpy: DragBase = Value = ValueMin; break;
    }
  }
  Position = Value;
  UpdateImage();
}

void TDial::mouseMove(const gui::MouseEvent& event) {
  Component::mouseMove(event);
  if (InvCursor || event.shift != gui::kLeft) return;
  switch (Style) {
    case cHSlider: sliderPress(event.x, width()); break;
    case cVSlider: sliderPress(height() - event.y, height()); break;
    case cDial: knobMove(event.x, event.y); break;
    case cButton: break;
  }
}

void TDial::knobMove(int x, int y) {
  if (InvMovement) {
    x = -x;
    y = -y;
  }
  // The change is measured from the press point on every move.
  int dx = x - PressX;
  if (x == PressX) dx = 1;
  int dy = PressY - y;
  double k = 0.0;
  switch (RotationType) {
    case rHorizontal: k = dx; break;
    case rVertical: k = dy; break;
    case rDistance: {
      if (dy > height()) dy -= height();
      const double distance = std::nearbyint(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
      k = (dx < 0 ? -1.0 : 1.0) * distance;
      break;
    }
    case rRotate: {
      const double below = y - height() / 2.0;
      // Level with the centre the angle is undefined: no change.
      if (below == 0.0) return;
      k = std::nearbyint(std::tan((x - width() / 2.0) / below) * valueScale());
      break;
    }
  }
  const double target = static_cast<double>(DragBase) + k;
  Position = static_cast<std::int32_t>(
      std::clamp(target, static_cast<double>(ValueMin), static_cast<double>(ValueMax)));
  UpdateImage();
}

void TDial::mouseUp(const gui::MouseEvent& event) {
  Component::mouseUp(event);
  if (Style == cDial) DragBase = Value;
  if (Style == cButton && ButtonStyle == bJumpy) {
    Value = DragBase;
    Position = DragBase;
    UpdateImage();
  }
}

platform::Handler TDial::controllerInput() {
  std::optional<std::string> answer;
  {
    platform::KeyboardHookScope hook;
    answer = co_await platform::systemInputBoxes().query(CCString1, CCString2, std::to_string(ControllerEntry));
  }
  if (!answer) co_return;  // cancelled: nothing changes
  const std::optional<std::int32_t> entry = parseInteger(*answer);
  if (!entry || *entry < std::numeric_limits<std::int16_t>::min() || *entry > std::numeric_limits<std::int16_t>::max()) {
    co_await platform::systemMessageBoxes().show(notAnIntegerMessage(*answer), "Error", platform::MessageButtons::ok,
                                                 platform::MessageIcon::error);
    co_return;
  }
  ControllerEntry = static_cast<std::int16_t>(*entry);
  ControllerChanged = true;
  raiseChange();
}

platform::Handler TDial::valueInput() {
  const double valueSpan = static_cast<double>(ValueMax) - ValueMin;
  const double shown =
      valueSpan == 0.0 ? DMin : DMin + (DMax - DMin) * (static_cast<double>(Value) - ValueMin) / valueSpan;
  std::optional<std::string> answer;
  {
    platform::KeyboardHookScope hook;
    answer = co_await platform::systemInputBoxes().query(InputString1, InputString2, formatFixed(shown, 3, 3));
  }
  if (!answer) co_return;  // cancelled
  const std::optional<double> typed = parseReal(*answer);
  if (!typed || DMax == DMin || ValueMax == -1) co_return;
  const double scaled = std::nearbyint((*typed - DMin) / (DMax - DMin) * valueSpan + ValueMin);
  if (!(scaled >= -2147483648.0 && scaled <= 2147483647.0)) co_return;  // no whole number of 32 bits
  // The remainder takes the sign of the dividend, as the design's "mod" does.
  const auto v = static_cast<std::int32_t>(static_cast<long long>(scaled) % (static_cast<long long>(ValueMax) + 1));
  if (v < ValueMin || v > ValueMax) co_return;  // SetPosition would ignore it; nothing changes
  SetPosition(v);
  Position = Value;
  UpdateImage();
}

void TDial::paint(gui::Canvas& canvas) {
  if (ImageList == nullptr || frame_ < 0 || frame_ >= ImageList->count()) return;
  canvas.draw(ImageList->frame(frame_), {0, 0});
}

}  // namespace controls
