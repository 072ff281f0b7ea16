#pragma once
// Exit codes of vornhalt-render, one per kind of failure, so scripts can tell
// them apart.

#include <stdexcept>
#include <string>

namespace render {

enum class ExitCode : int {
  ok = 0,
  internalError = 1,
  usage = 2,
  pluginNotLoadable = 3,  // missing file, not a library, no entry, no VST record
  pluginEntryNull = 4,    // the entry answered no effect
  midiUnreadable = 5,
  midiMalformed = 6,
  sampleUnreadable = 7,
  tuningUnreadable = 8,
  presetUnreadable = 9,   // cannot be read or is not a valid preset file
  presetMismatch = 10,    // made for another plug-in, or counts that do not fit
  outputUnwritable = 11,  // the WAV file or a preset file cannot be written
  badParameter = 12,      // --param or --program the plug-in does not have
  songTooLong = 13,
};

// A failure with the message for the user and the exit code it ends with.
class RenderFailure : public std::runtime_error {
 public:
  RenderFailure(ExitCode code, const std::string& message) : std::runtime_error(message), exitCode(code) {}
  ExitCode code() const { return exitCode; }

 private:
  ExitCode exitCode;
};

}  // namespace render
