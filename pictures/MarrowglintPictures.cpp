// Marrowglint's editor states: the factory program, a program with every
// effect and switch on, the info and help screens opened by clicks, and the
// manual's picture with every control numbered.

#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "framework/Opcodes.h"
#include "gui/Form.h"
#include "pictures/Callouts.h"
#include "pictures/EditorPictures.h"
#include "platform/headless/MemorySettingsStore.h"
#include "synth/editor/TPluginEditorWindow.h"
#include "synth/engine/APlugin.h"
#include "synth/engine/APluginEditor.h"

namespace pictures {

namespace {

vst::VstIntPtr quietHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32, vst::VstIntPtr, void*, float) {
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

// The manual's numbers, in reading order; its legend names the same controls.
const std::vector<Callout>& manualCallouts() {
  static const std::vector<Callout> callouts{
      {1, "Image2"},
      {2, "Image4"},
      {3, "osc1wave"},
      {4, "osc2wave"},
      {5, "osc1fine"},
      {6, "osc2fine"},
      {7, "osc1tune"},
      {8, "osc2tune"},
      {9, "oscmix"},
      {10, "vcaattack"},
      {11, "vcadecay"},
      {12, "vcasustain"},
      {13, "vcarelease"},
      {14, "vcfcutoff"},
      {15, "vcfresonance"},
      {16, "vcftype"},
      {17, "shape1", Place::inside},
      {18, "shape2", Place::inside},
      {19, "shape3", Place::inside},
      {20, "shape4", Place::inside},
      {21, "Shape5"},
      {22, "lfoamount"},
      {23, "fatmama", Place::corner},
      {24, "phase", Place::corner},
      {25, "glide", Place::corner},
      {26, "lforate"},
      {27, "lfodest"},
      {28, "outvol"},
      {29, "d"},
      {30, "Image1"},
      {31, "Image3"},
  };
  return callouts;
}

// The manual's picture is twice the editor's size, so its numbers stay legible.
constexpr int kManualZoom = 2;

// Opens the editor without a screen, lets `prepare` bring it into its state
// and answers the form's pixels after one refresh, with `callouts` numbered
// over them when there are any.
gui::Canvas render(const std::function<void(marrowglint::APlugin&, marrowglint::TPluginEditorWindow&)>& prepare,
                   std::span<const Callout> callouts = {}) {
  marrowglint::APluginOptions options;
  options.settings = std::make_shared<platform::MemorySettingsStore>();
  options.editorWindowFactory = marrowglint::editorWindowFactory();
  marrowglint::APlugin plugin(quietHost, std::move(options));
  marrowglint::APluginEditor& editor = *plugin.pluginEditor();
  editor.open(nullptr);
  auto& window = static_cast<marrowglint::TPluginEditorWindow&>(*editor.window());
  prepare(plugin, window);
  window.UpdaterTimer();
  window.form().paintDirty();
  gui::Canvas pixels = window.form().canvas();
  if (!callouts.empty()) pixels = drawCallouts(pixels, placeCallouts(window.form(), callouts), kManualZoom);
  editor.close();
  return pixels;
}

void click(gui::Form& form, gui::Point at) {
  form.mouseMoveAt(at, 0);
  form.mouseDownAt(at, gui::MouseButton::left, gui::kLeft);
  form.mouseUpAt(at, gui::MouseButton::left, 0);
}

}  // namespace

std::vector<EditorPicture> marrowglintPictures() {
  return {
      {"marrowglint", "default", [] { return render([](auto&, auto&) {}); }},
      {"marrowglint", "effects",
       [] {
         return render([](marrowglint::APlugin& plugin, marrowglint::TPluginEditorWindow&) {
           plugin.setParameter(marrowglint::kPWM, 0.25f);
           plugin.setParameter(marrowglint::kFM, 0.5f);
           plugin.setParameter(marrowglint::kTube, 0.75f);
           plugin.setParameter(marrowglint::kRMod, 1.0f);
           plugin.setParameter(marrowglint::kFat, 1.0f);
           plugin.setParameter(marrowglint::kPhase, 1.0f);
           plugin.setParameter(marrowglint::kGlide, 1.0f);
         });
       }},
      {"marrowglint", "info",
       [] { return render([](auto&, marrowglint::TPluginEditorWindow& window) { click(window.form(), {100, 28}); }); }},
      {"marrowglint", "help",
       [] { return render([](auto&, marrowglint::TPluginEditorWindow& window) { click(window.form(), {80, 330}); }); }},
      {"marrowglint", "labelled", [] { return render([](auto&, auto&) {}, manualCallouts()); }},
  };
}

}  // namespace pictures
