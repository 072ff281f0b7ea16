#pragma once
// The thirty parameters as the host sees them: indices, names, labels, the
// extra clamps of setParameter and the defaults of a fresh program.

#include <array>
#include <cstdint>

namespace marrowglint {

enum ParameterIndex : int {
  kWav1 = 0,
  kTun1 = 1,
  kFin1 = 2,
  kWav2 = 3,
  kTun2 = 4,
  kFin2 = 5,
  kMix = 6,
  kAAt = 7,
  kADe = 8,
  kASu = 9,
  kARe = 10,
  kCut = 11,
  kReso = 12,
  kFilt = 13,
  kGlide = 14,
  kRMod = 15,
  kPWM = 16,
  kFM = 17,
  kTube = 18,
  kFat = 19,
  kLFOAmnt = 20,
  kLFORate = 21,
  kLFODest = 22,
  kGTune = 23,
  kOutVol = 24,
  kPhase = 25,
  kLFOWav = 26,
};

constexpr int kNumParams = 30;
// Parameters 0..26 have a live value and a program field; 27..29 are reserved.
constexpr int kNumLiveValues = 27;
constexpr int kNumPrograms = 16;

// Editor commands sent through setParameter with indices beyond the table.
constexpr int kCommandInterpolation = 911;
constexpr int kCommandReloadControllers = 999;

struct ParameterInfo {
  const char* name;   // getParameterName
  const char* label;  // getParameterLabel (a long name rather than a unit)
  float limit;        // setParameter stores at most this
  float defaultValue; // a fresh program's value
};

extern const std::array<ParameterInfo, kNumLiveValues> kParameterInfo;

// Texts of the indices without a live value (27..29 and anything outside).
inline constexpr const char* kReservedName = "Reserve";
inline constexpr const char* kReservedLabel = "reserved";

// Wave indices number the tables: 0 sine, 1 saw, 2 square, 3 triangle, 4 noise.
std::int32_t oscillator1Wave(float value);
std::int32_t oscillator2Wave(float value);
std::int32_t lfoWave(float value);
// The parameter whose live value the LFO writes for a "LFODest" value.
std::int32_t lfoDestination(float value);
// The host's text for a live value (or for any index outside the table).
void formatParameterDisplay(int index, float value, char* text, std::size_t capacity);

}  // namespace marrowglint
