#pragma once
// VST 2 program (.fxp) and bank (.fxb) files: big-endian records of parameter
// values and program names, and the host-side moves that save a plug-in's
// programs into them and restore them.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace host {

class Plugin;

class PresetFileError : public std::runtime_error {
 public:
  enum class Kind {
    unreadable,   // the file cannot be opened, read or written
    malformed,    // not a preset file, or its sizes do not add up
    wrongPlugin,  // made for another plug-in (unique ID)
    mismatch,     // parameter or program count the plug-in does not have
  };
  PresetFileError(Kind kind, const std::string& message) : std::runtime_error(message), errorKind(kind) {}
  Kind kind() const { return errorKind; }

 private:
  Kind errorKind;
};

struct ProgramState {
  std::string name;  // at most 27 bytes survive a file
  std::vector<float> values;
};

struct PresetFile {
  static constexpr std::size_t kNameBytes = 28;

  bool isBank = false;
  std::int32_t formatVersion = 1;  // banks: 1, or 2 with the current program
  std::int32_t uniqueId = 0;
  std::int32_t pluginVersion = 1;
  std::int32_t currentProgram = -1;  // banks of version 2 only
  std::vector<ProgramState> programs;  // exactly one in a program file
};

std::vector<std::uint8_t> encodePresetFile(const PresetFile& preset);
// Throws PresetFileError (malformed) naming what is wrong.
PresetFile decodePresetFile(const std::uint8_t* data, std::size_t size);
PresetFile readPresetFile(const std::string& path);
// Writes through a temporary file, so nothing half-written is left behind.
void writePresetFile(const std::string& path, const PresetFile& preset);

// The current program of a started plug-in.
ProgramState captureProgram(Plugin& plugin);
PresetFile captureProgramFile(Plugin& plugin);
// Every program; the plug-in is left on its current program. Version 2 banks
// record which program that is.
PresetFile captureBank(Plugin& plugin, std::int32_t formatVersion = 2);
// Refuses a file made for another plug-in or with counts it does not have
// (PresetFileError wrongPlugin or mismatch) before changing anything. A
// program file goes into the current program; a bank fills the programs in
// order and then selects its current program (version 2) or the one that
// was current before.
void applyPresetFile(Plugin& plugin, const PresetFile& preset);

std::string fourCharText(std::int32_t id);

}  // namespace host
