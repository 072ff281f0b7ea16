// Sarnel's entry: the host gets the effect record of a new sampler, with its
// editor window attached.

#include "framework/PluginEntry.h"
#include "sampler/editor/TPluginEditorWindow.h"
#include "sampler/engine/APlugin.h"

namespace {

class Instrument final : public sarnel::APlugin {
 public:
  explicit Instrument(vst::audioMasterCallback audioMaster) : APlugin(audioMaster, options()) {}

 private:
  static sarnel::APluginOptions options() {
    sarnel::APluginOptions withEditor;
    withEditor.editorWindowFactory = sarnel::editorWindowFactory();
    return withEditor;
  }
};

}  // namespace

extern "C" vst::AEffect* VSTPluginMain(vst::audioMasterCallback audioMaster) {
  return vst::createEffect<Instrument>(audioMaster);
}
