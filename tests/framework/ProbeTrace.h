#pragma once
// The probe plug-in reports each of its operations to the host as a
// vendor-specific call, so a test host can see which operations ran.

#include "framework/AEffect.h"

namespace probe {

constexpr vst::VstInt32 kTraceOpcode = 35;  // audioMasterVendorSpecific
constexpr vst::VstInt32 kTraceIndex = vst::fourCharCode('T', 'r', 'c', 'e');

enum Trace : int {
  constructed = 1,
  opened,
  closed,
  suspended,
  resumed,
  programSet,
  destroyed,
  editorDestroyed,
  eventsReceived,
};

// Parameter indices with a special meaning in the probe.
constexpr int kGainParameter = 0;
constexpr int kVuParameter = 10;
constexpr int kDetachEditorCommand = 20;
constexpr int kThrowCommand = 30;
constexpr int kNumPrograms = 3;
constexpr int kNumParams = 4;
constexpr vst::VstInt32 kProbeId = vst::fourCharCode('A', 'B', 'C', 'D');

}  // namespace probe
