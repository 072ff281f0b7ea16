#pragma once
// The editors' one input control: shows one frame of an image strip chosen
// from its integer value and behaves, by its style, as a rotary knob, a
// horizontal or vertical slider or a multi-state button. Besides dragging
// and clicking it offers typing an exact value, typing or learning a MIDI
// controller number, and storing and recalling a default value.
//
// Vertical sliders run upwards: the bottom of the track is ValueMin, the top
// ValueMax, for clicks, drags and SetPosition alike. `Position` of a vertical
// slider is the travel measured from the bottom, and frame 0 of its strip
// shows the knob at the bottom.

#include <cstdint>
#include <functional>
#include <string>

#include "gui/Image.h"
#include "gui/ImageList.h"
#include "platform/Answer.h"

namespace controls {

enum tCType { cDial, cHSlider, cVSlider, cButton };
enum tRType { rHorizontal, rVertical, rDistance, rRotate };
enum tButtonType { bNormal, bLoop, bPingPong, bJumpy };

class TDial : public gui::Component {
 public:
  using ChangeHandler = std::function<void(TDial& sender)>;
  // Owners give this tag to buttons whose presses they handle themselves.
  static constexpr int kOwnerHandledTag = 77;

  explicit TDial(gui::Rect bounds = gui::Rect::sized(0, 0, 32, 32));

  // Published settings.
  std::int32_t SliderOffset = 5;
  double DMin = 0.0;
  double DMax = 100.0;
  std::string InputString1;
  std::string InputString2;
  std::string CCString1;
  std::string CCString2;
  std::int32_t DefaultValue = 0;
  ChangeHandler OnChange;
  const gui::ImageList* ImageList = nullptr;  // not owned
  std::int32_t ValueMin = 0;
  std::int32_t ValueMax = 100;
  tRType RotationType = rVertical;
  bool InvCursor = false;
  bool InvMovement = false;
  // Reading gives the current value. Assigning stores a number that nothing
  // uses: the value changes through SetPosition, the mouse and the gestures.
  std::int32_t Value = 0;
  tCType Style = cDial;
  tButtonType ButtonStyle = bNormal;
  bool EnableRightButton = true;
  bool IncrementalDisplay = false;  // stored for the form descriptions; no effect

  // Interaction state, readable for owners and tests.
  std::int32_t Position = -1;
  std::int32_t DragBase = -1;
  std::int32_t PressX = 0;
  std::int32_t PressY = 0;
  std::int8_t Step = 1;
  std::int16_t ControllerEntry = 0;
  bool ControllerChanged = false;

  // The owner sets the control (from the engine's values). Values outside
  // ValueMin..ValueMax are ignored. GUI thread.
  void SetPosition(std::int32_t value);
  // Turns Position into a frame and a value, raises OnChange, repaints.
  void UpdateImage();
  // The frame shown.
  int frame() const { return frame_; }

  void mouseDown(const gui::MouseEvent& event) override;
  void mouseMove(const gui::MouseEvent& event) override;
  void mouseUp(const gui::MouseEvent& event) override;
  void paint(gui::Canvas& canvas) override;

 private:
  // |ValueMin| + |ValueMax|: the scale the control's rules divide by.
  double valueScale() const;
  void sliderPress(int along, int length);
  void buttonPress(gui::MouseButton button);
  void knobMove(int x, int y);
  // The typed-entry gestures ask the user and finish when the box answers
  // (at once on Windows, later on Linux).
  platform::Handler controllerInput();
  platform::Handler valueInput();
  void raiseChange();

  int frame_ = 0;
};

}  // namespace controls
