#pragma once
// The host side of the real-window tests: the probe plug-in, its traces and
// the click it must report.

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Opcodes.h"
#include "host/Plugin.h"
#include "tests/gui/EditorWindowProbeTrace.h"

namespace editorprobe {

inline std::string probePath() {
#if defined(_WIN32)
  return std::string(VORNHALT_EDITOR_PROBE_DIR) + "/EditorWindowProbe.dll";
#else
  return std::string(VORNHALT_EDITOR_PROBE_DIR) + "/EditorWindowProbe.so";
#endif
}

inline std::vector<int> traces(const host::Plugin& plugin) {
  std::vector<int> seen;
  for (const host::HostCall& call : plugin.callsWithOpcode(kTraceOpcode)) {
    if (call.index == kTraceIndex) seen.push_back(static_cast<int>(call.value));
  }
  return seen;
}

inline int countOf(const std::vector<int>& seen, Trace what) {
  return static_cast<int>(std::count(seen.begin(), seen.end(), static_cast<int>(what)));
}

// Whether the plug-in reported parameter 0 set to 1 through automation.
inline bool clickAutomated(const host::Plugin& plugin) {
  for (const host::HostCall& call : plugin.callsWithOpcode(vst::audioMasterAutomate)) {
    if (call.index == 0 && call.opt == 1.0f) return true;
  }
  return false;
}

inline std::string artefactPath(const std::string& name) { return std::string(VORNHALT_BINARY_DIR) + "/" + name; }

}  // namespace editorprobe
