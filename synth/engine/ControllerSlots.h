#pragma once
// The eighteen controller assignment slots: which parameter each drives and
// the settings value that keeps its entry.

#include <array>
#include <cstdint>

#include "synth/engine/ParameterTable.h"

namespace marrowglint {

constexpr int kNumControllerSlots = 18;

// Entries of a slot (negative: the same source with the value inverted).
constexpr std::int32_t kSlotUnassigned = 0;
constexpr std::int32_t kSourcePitchBend = 129;
constexpr std::int32_t kSlotLearn = 200;

struct ControllerSlot {
  int parameter;
  const char* settingName;
};

// Slots 1..18 at positions 0..17.
inline constexpr std::array<ControllerSlot, kNumControllerSlots> kControllerSlots = {{
    {kReso, "CC Resonance"},
    {kCut, "CC Cutoff"},
    {kPWM, "CC Effect1"},
    {kFM, "CC Effect2"},
    {kTube, "CC Effect3"},
    {kRMod, "CC Effect4"},
    {kFin1, "CC Osc1Fine"},
    {kTun1, "CC Osc1Tune"},
    {kFin2, "CC Osc2Fine"},
    {kTun2, "CC Osc2Tune"},
    {kLFORate, "CC LFORate"},
    {kLFOAmnt, "CC LFOAmount"},
    {kAAt, "CC Attack"},
    {kADe, "CC Decay"},
    {kASu, "CC Sustain"},
    {kARe, "CC Release"},
    {kOutVol, "CC OutVol"},
    {kMix, "CC OscMix"},
}};

// The settings section and its other values.
inline constexpr const char* kSettingsSubkey = "Marrowglint";
inline constexpr const char* kSettingInterpolate = "Interpolate";
inline constexpr const char* kSettingForceOrionFix = "Force Orion Fix";
// 1: pitch and times per sample as at 44.1 kHz whatever the host's rate (the
// fixed behaviour old projects may rely on); 0, the default: follow the rate.
inline constexpr const char* kSettingFixedRatePitch = "Fixed Rate Pitch";
// Written (never read) when the value above is absent; the different
// spelling is what existing installations carry.
inline constexpr const char* kSettingForceOrionFixMarker = "ForceOrionFix";
inline constexpr const char* kSettingDrawMode = "DrawMode";
inline constexpr const char* kSpecialHostVendor = "Sonic Syndicate";

}  // namespace marrowglint
