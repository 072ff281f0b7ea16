// A library with the plug-in entry that answers no effect, as a plug-in that
// refuses the host does.

#include "framework/PluginEntry.h"

extern "C" vst::AEffect* VSTPluginMain(vst::audioMasterCallback /*audioMaster*/) { return nullptr; }
