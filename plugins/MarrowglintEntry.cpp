// Marrowglint's entry: the host calls this (or its alias `main`) to get the
// effect record of a new instance.

#include "framework/PluginEntry.h"
#include "synth/engine/APlugin.h"

extern "C" vst::AEffect* VSTPluginMain(vst::audioMasterCallback m) {
  return vst::createEffect<marrowglint::APlugin>(m);
}
