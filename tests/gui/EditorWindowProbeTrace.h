#pragma once
// What the editor window probe plug-in tells its test host.

#include "framework/AEffect.h"

namespace editorprobe {

constexpr vst::VstInt32 kTraceOpcode = 35;  // audioMasterVendorSpecific
constexpr vst::VstInt32 kTraceIndex = vst::fourCharCode('E', 'd', 'W', 'n');

enum Trace : int { windowCreated = 1, windowDestroyed, answeredYes, answeredNo, answeredOther };

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

}  // namespace editorprobe
