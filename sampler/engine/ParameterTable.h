#pragma once
// Sarnel's parameter index space: 30 sound parameters, 256 path bytes, 128
// note frequencies, 86 spares, and the command indices the editor sends.

#include <array>
#include <cstdint>
#include <string_view>

namespace sarnel {

inline constexpr int kNumPrograms = 1;
inline constexpr int kNumParams = 500;
inline constexpr int kNumSoundParams = 30;
inline constexpr int kNumVoices = 33;
inline constexpr int kNumNotes = 128;

// Index ranges of the saved state.
inline constexpr int kPathFirst = 30;
inline constexpr int kPathBytes = 256;   // the 256th byte is always the terminator
inline constexpr int kMaxPathLength = 255;
inline constexpr int kTuningFirst = 286;  // kPathFirst + kPathBytes
inline constexpr int kSpareFirst = 414;   // kTuningFirst + kNumNotes

// Commands: indices at or above the parameter count.
inline constexpr int kCommandLoadProgramSample = 643;
inline constexpr int kCommandLoadEditorSample = 644;
inline constexpr int kCommandResetTuning = 645;
inline constexpr int kCommandNone = 646;
inline constexpr int kCommandUnload = 647;
inline constexpr int kCommandPlayVoice5 = 950;
inline constexpr int kCommandPlayVoice6 = 951;
inline constexpr int kCommandAllNotesOff = 999;
inline constexpr int kCommandControllerFirst = 1000;  // + parameter 0 ... 29

// Controller assignment entries.
inline constexpr std::int32_t kAssignNone = 0;
inline constexpr std::int32_t kAssignPitchBend = 128;
inline constexpr std::int32_t kAssignLearn = 200;
inline constexpr int kNumAssignments = 31;  // entry p + 1 belongs to parameter p; entry 0 unused

// Note frequencies are kept as hertz / 30000.
inline constexpr double kTuningScale = 30000.0;

enum Param : int {
  kPitch = 0,
  kAttack,
  kDecay,
  kSustain,
  kRelease,
  kInterpolation,
  kLoopMode,
  kFilterLow,
  kFilterHigh,
  kFilterReso,
  kDelay,
  kFeedback,
  kVolume,
  kLoopLow,
  kLoopHigh,
  kRootNote,
  kPortamento,
  kLfo1Rate,
  kLfo1DepthMin,
  kLfo1DepthMax,
  kLfo1Destination,
  kLfo1Waveform,
  kLfo1Sync,
  kLfo2Rate,
  kLfo2DepthMin,
  kLfo2DepthMax,
  kLfo2Destination,
  kLfo2Waveform,
  kLfo2Sync,
  kPortamentoTime,
};

struct ParameterInfo {
  std::string_view name;
  float defaultValue;
};

// Names as the host shows them; defaults are the nearest float32 values.
inline constexpr std::array<ParameterInfo, kNumSoundParams> kParameterInfo{{
    {"pitch", 0.75f},
    {"attack", 0.5f},
    {"decay", 0.5f},
    {"sustain", 1.0f},
    {"release", 0.5f},
    {"interpolation on/off", 1.0f},
    {"loop mode", 0.0f},
    {"filter low", 0.0f},
    {"filter high", 1.0f},
    {"filter reso", 0.0f},
    {"delay", 0.0f},
    {"feedback", 0.0f},
    {"volume", 1.0f},
    {"loop low", 0.0f},
    {"loop high", 1.0f},
    {"root note", 72.0f / 127.0f},
    {"portamento on/off", 0.0f},
    {"LFO1 rate", 0.0f},
    {"LFO1 depth min", 0.0f},
    {"LFO1 depth max", 1.0f},
    {"LFO1 destination", 0.0f},
    {"LFO1 waveform", 0.0f},
    {"LFO1 sync on/off", 0.0f},
    {"LFO2 rate", 0.0f},
    {"LFO2 depth min", 0.0f},
    {"LFO2 depth max", 1.0f},
    {"LFO2 destination", 1.0f / 12.0f},
    {"LFO2 waveform", 0.0f},
    {"LFO2 sync on/off", 0.0f},
    {"portamento time", 0.1f},
}};

inline constexpr std::string_view kOtherParameterName = "don't touch!";
inline constexpr std::string_view kParameterLabel = "%";

// The parameters an LFO can write, by destination entry round(v x 12).
inline constexpr std::array<int, 13> kLfoDestinations{
    kPitch, kLoopLow, kLoopHigh, kFilterLow, kFilterHigh, kFilterReso, kDelay,
    kFeedback, kAttack, kDecay, kSustain, kRelease, kVolume};

// The parameter an LFO destination value selects (an entry outside the table
// gives pitch).
int lfoDestinationFor(float value) noexcept;

// Equal temperament with note 69 at 440 Hz, as stored: hertz / 30000. The
// same float on every target (no library power function involved).
float defaultTuningValue(int note) noexcept;

// The settings section and the value name of assignment entry i ("CC 5").
inline constexpr std::string_view kSettingsSubkey = "Sarnel";
std::string_view controllerSettingName(int entry) noexcept;

}  // namespace sarnel
