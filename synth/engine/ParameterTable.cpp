#include "synth/engine/ParameterTable.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "framework/HostText.h"

namespace marrowglint {

// Parameters without an extra clamp are limited to 1 like every value.
const std::array<ParameterInfo, kNumLiveValues> kParameterInfo = {{
    {"Wav1", "Wave1", 0.3f, 0.1f},
    {"Tun1", "Tune1", 1.0f, 0.5f},
    {"Fin1", "Fine1", 1.0f, 0.5f},
    {"Wav2", "Wave2", 0.4f, 0.2f},
    {"Tun2", "Tune2", 1.0f, 0.5f},
    {"Fin2", "Fine2", 1.0f, 0.5f},
    {"Mix", "Mix", 1.0f, 0.5f},
    {"AAt", "VCA At", 1.0f, 0.99999f},
    {"ADe", "VCA De", 1.0f, 1.0f},
    {"ASu", "VCA Su", 1.0f, 0.99999f},
    {"ARe", "VCA Re", 1.0f, 0.99999f},
    {"Cut", "Cutoff", 1.0f, 0.9f},
    {"Reso", "Resonance", 1.0f, 0.0001f},
    {"Filt", "Filter", 0.3f, 0.0f},
    {"Glide", "Glide", 1.0f, 0.0f},
    {"RMod", "RMod", 1.0f, 0.0f},
    {"PWM", "PWM", 1.0f, 0.0f},
    {"FM", "FM", 1.0f, 0.0f},
    {"Tube", "Tube", 1.0f, 0.0f},
    {"Fat", "Fat", 1.0f, 0.0f},
    {"LFOAmnt", "LFOAmnt", 1.0f, 0.0f},
    {"LFORate", "LFORate", 1.0f, 0.2f},
    {"LFODest", "LFODest", 0.7f, 0.0f},
    {"G.Tune", "GlobTune", 1.0f, 0.5f},
    {"OutVol", "OutVol", 1.0f, 1.0f},
    {"Phase", "Phase", 1.0f, 0.0f},
    {"LFOWav", "reserved", 0.3f, 0.0f},
}};

namespace {

int nearestInt(float x) { return static_cast<int>(std::nearbyint(x)); }

// The wave texts use their own bands, wider than the engine's.
const char* waveText(float value) {
  if (value < 0.2f) return "Sin";
  if (value < 0.4f) return "Saw";
  if (value < 0.6f) return "Sqr";
  if (value < 0.8f) return "Tri";
  return "Rnd";
}

// "%f" with two decimals, always with a point whatever the process locale.
void formatNumber(float value, char* text, std::size_t capacity) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  const std::size_t length = result.ec == std::errc() ? static_cast<std::size_t>(result.ptr - buffer) : 0;
  vst::copyHostText(text, std::string_view(buffer, length), capacity);
}

}  // namespace

std::int32_t oscillator1Wave(float value) {
  if (value < 0.05f) return 0;
  if (value < 0.15f) return 1;
  if (value >= 0.25f) return 3;
  return 2;
}

std::int32_t oscillator2Wave(float value) {
  if (value < 0.05f) return 0;
  if (value < 0.15f) return 1;
  if (value >= 0.25f) return 4;
  return 2;
}

std::int32_t lfoWave(float value) { return nearestInt(10.0f * value); }

std::int32_t lfoDestination(float value) {
  switch (nearestInt(100.0f * value)) {
    case 0: return kMix;
    case 1: return kFin1;
    case 2: return kCut;
    case 3: return kReso;
    case 4: return kPWM;
    case 5: return kFM;
    case 6: return kTube;
    default: return kRMod;
  }
}

void formatParameterDisplay(int index, float value, char* text, std::size_t capacity) {
  switch (index) {
    case kWav1:
    case kWav2: vst::copyHostText(text, waveText(value), capacity); return;
    case kFilt: vst::copyHostText(text, value >= 0.5f ? "HP" : "LP", capacity); return;
    case kGTune: formatNumber(static_cast<float>(nearestInt(48.0f * value) - 24), text, capacity); return;
    case kLFOWav: vst::copyHostText(text, "0.00", capacity); return;
    default: break;
  }
  if (index < 0 || index >= kNumLiveValues) {
    vst::copyHostText(text, "0.00", capacity);
    return;
  }
  formatNumber(value, text, capacity);
}

}  // namespace marrowglint
