// Marrowglint's entry: the host calls this (or its alias `main`) to get the
// effect record of a new instance, with its editor window attached.

#include "framework/PluginEntry.h"
#include "synth/editor/TPluginEditorWindow.h"
#include "synth/engine/APlugin.h"

namespace {

class Instrument final : public marrowglint::APlugin {
 public:
  explicit Instrument(vst::audioMasterCallback audioMaster) : APlugin(audioMaster, options()) {}

 private:
  static marrowglint::APluginOptions options() {
    marrowglint::APluginOptions withEditor;
    withEditor.editorWindowFactory = marrowglint::editorWindowFactory();
    return withEditor;
  }
};

}  // namespace

extern "C" vst::AEffect* VSTPluginMain(vst::audioMasterCallback m) {
  return vst::createEffect<Instrument>(m);
}
