#pragma once
// What the editor window probe plug-in tells its test host.

#include "framework/AEffect.h"

namespace editorprobe {

constexpr vst::VstInt32 kTraceOpcode = 35;  // audioMasterVendorSpecific
constexpr vst::VstInt32 kTraceIndex = vst::fourCharCode('E', 'd', 'W', 'n');

enum Trace : int {
  windowCreated = 1,
  windowDestroyed,
  answeredYes,
  answeredNo,
  answeredOther,
  typedCancelled,
  menuDismissed,
  droppedFile,  // the trace call's pointer carries the path
  // A typed number n is traced as typedBase + n; a menu item i as menuBase + i.
  typedBase = 1000,
  menuBase = 2000,
};

constexpr int kWidth = 678;
constexpr int kHeight = 497;
// The clickable square: a click sets parameter 0 to 1 through
// setParameterAutomated and turns the square from red to green.
constexpr int kButtonLeft = 100;
constexpr int kButtonTop = 120;
constexpr int kButtonSize = 60;
// A click on the second square asks a yes/no question in a message box and
// traces the answer.
constexpr int kQuestionLeft = 200;
// The third square asks for a number in an input box (default "12"), then
// confirms it in a message box, and traces the number after the second
// answer: a handler that asks twice.
constexpr int kInputLeft = 300;
// A square in the bottom-right corner opens a menu of kMenuItems items where
// the pointer is.
constexpr int kMenuLeft = kWidth - 40;
constexpr int kMenuTop = kHeight - 40;
constexpr int kMenuSize = 30;
constexpr int kMenuItems = 13;

}  // namespace editorprobe
