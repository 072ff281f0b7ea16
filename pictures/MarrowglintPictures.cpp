// Marrowglint's editor states: the factory program, a program with every
// effect and switch on, and the info and help screens opened by clicks.

#include <functional>
#include <memory>

#include "framework/Opcodes.h"
#include "gui/Form.h"
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

// Opens the editor without a screen, lets `prepare` bring it into its state
// and answers the form's pixels after one refresh.
gui::Canvas render(const std::function<void(marrowglint::APlugin&, marrowglint::TPluginEditorWindow&)>& prepare) {
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
  };
}

}  // namespace pictures
