#pragma once
// What the host answers when a plug-in asks.

#include <string>

#include "framework/AEffect.h"

namespace host {

struct HostConfig {
  vst::VstIntPtr version = 2400;
  float sampleRate = 44100.0f;
  int blockSize = 512;
  double tempoBpm = 120.0;
  std::string vendor = "Vornhalt";
  std::string product = "vornhalt-host";
  vst::VstIntPtr vendorVersion = 1;
  vst::VstIntPtr processLevel = 0;
  bool recordCalls = true;
};

// One call the plug-in made to the host.
struct HostCall {
  vst::VstInt32 opcode = 0;
  vst::VstInt32 index = 0;
  vst::VstIntPtr value = 0;
  float opt = 0.0f;
  bool withRecord = false;  // the effect record was passed first
};

}  // namespace host
