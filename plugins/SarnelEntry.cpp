// Sarnel's entry: the host gets the effect record of a new sampler.

#include "framework/PluginEntry.h"
#include "sampler/engine/APlugin.h"

extern "C" vst::AEffect* VSTPluginMain(vst::audioMasterCallback audioMaster) {
  return vst::createEffect<sarnel::APlugin>(audioMaster);
}
