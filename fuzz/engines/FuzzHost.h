#pragma once
// The host side of the surface fuzzers: the callback the engines call, with
// answers the input may change, and the one way a finding is reported.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/AEffect.h"
#include "framework/Opcodes.h"

namespace fuzz {

// A broken promise of the plug-in: libFuzzer keeps the input that led here.
[[noreturn]] inline void fail(const char* what) {
  std::fprintf(stderr, "surface fuzzer: %s\n", what);
  std::abort();
}

// What the host answers. The callback has no context of its own, so the
// answers live here; each input starts from the defaults.
struct HostAnswers {
  vst::VstIntPtr tempo = 1200000;  // beats per minute x 10000
  std::string vendor = "Fuzz Host";
  std::string product = "Surface";
};

inline HostAnswers& hostAnswers() {
  static HostAnswers answers;
  return answers;
}

inline vst::VstIntPtr hostCallback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void* ptr,
                                   float) {
  switch (opcode) {
    case vst::audioMasterVersion:
      return 2400;
    case vst::audioMasterTempoAt:
      return hostAnswers().tempo;
    case vst::audioMasterGetVendorString:
    case vst::audioMasterGetProductString: {
      if (ptr == nullptr) return 0;
      const std::string& text =
          opcode == vst::audioMasterGetVendorString ? hostAnswers().vendor : hostAnswers().product;
      // Hosts write at most 63 characters and a terminator.
      const std::size_t length = std::min<std::size_t>(text.size(), 63);
      std::memcpy(ptr, text.data(), length);
      static_cast<char*>(ptr)[length] = '\0';
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace fuzz
