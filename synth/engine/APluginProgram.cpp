#include "synth/engine/APluginProgram.h"

#include <cstring>

namespace marrowglint {

APluginProgram::APluginProgram() {
  for (int i = 0; i < kNumLiveValues; ++i) {
    field(i).store(kParameterInfo[static_cast<std::size_t>(i)].defaultValue, std::memory_order_relaxed);
  }
  setName("Init");
}

std::atomic<float> APluginProgram::*APluginProgram::memberOf(int index) {
  switch (index) {
    case kWav1: return &APluginProgram::wav1;
    case kTun1: return &APluginProgram::tun1;
    case kFin1: return &APluginProgram::fin1;
    case kWav2: return &APluginProgram::wav2;
    case kTun2: return &APluginProgram::tun2;
    case kFin2: return &APluginProgram::fin2;
    case kMix: return &APluginProgram::mix;
    case kAAt: return &APluginProgram::aAt;
    case kADe: return &APluginProgram::aDe;
    case kASu: return &APluginProgram::aSu;
    case kARe: return &APluginProgram::aRe;
    case kCut: return &APluginProgram::cut;
    case kReso: return &APluginProgram::reso;
    case kFilt: return &APluginProgram::filt;
    case kGlide: return &APluginProgram::glide;
    case kRMod: return &APluginProgram::rMod;
    case kPWM: return &APluginProgram::pwm;
    case kFM: return &APluginProgram::fm;
    case kTube: return &APluginProgram::tube;
    case kFat: return &APluginProgram::fat;
    case kLFOAmnt: return &APluginProgram::lfoAmnt;
    case kLFORate: return &APluginProgram::lfoRate;
    case kLFODest: return &APluginProgram::lfoDest;
    case kGTune: return &APluginProgram::gTune;
    case kOutVol: return &APluginProgram::outVol;
    case kPhase: return &APluginProgram::phase;
    default: return &APluginProgram::lfoWav;  // kLFOWav; callers pass 0..26 only
  }
}

std::atomic<float>& APluginProgram::field(int index) { return this->*memberOf(index); }

float APluginProgram::value(int index) const {
  return (this->*memberOf(index)).load(std::memory_order_relaxed);
}

void APluginProgram::setValue(int index, float newValue) {
  field(index).store(newValue, std::memory_order_relaxed);
}

void APluginProgram::setName(const char* text) {
  if (text == nullptr) text = "";
  std::size_t length = 0;
  while (length < kNameLength - 1 && text[length] != '\0') ++length;
  std::memcpy(name, text, length);
  name[length] = '\0';
}

}  // namespace marrowglint
