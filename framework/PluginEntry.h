#pragma once
// What a deliverable's entry file needs: the one place where the plug-in is
// constructed for a host, and where a failure while constructing it is turned
// into the null answer a host understands.

#include <new>

#include "framework/AEffect.h"
#include "framework/Opcodes.h"

// The exported entry. A deliverable defines it in its entry file with
// vst::createEffect<TheirPlugin>; `main` is an alias of it.
extern "C" {
#if defined(_WIN32)
__declspec(dllexport)
#else
__attribute__((visibility("default")))
#endif
vst::AEffect* VSTPluginMain(vst::audioMasterCallback audioMaster);
}

namespace vst {

// Host's GUI thread. Asks the host for its version first: a host that
// answers 0 gets null and nothing is constructed.
template <class Plugin>
AEffect* createEffect(audioMasterCallback audioMaster) noexcept {
  if (audioMaster == nullptr) return nullptr;
  try {
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    Plugin* plugin = new (std::nothrow) Plugin(audioMaster);
    if (plugin == nullptr) return nullptr;
    return plugin->getAeffect();
  } catch (...) {
    return nullptr;
  }
}

}  // namespace vst
