#include "synth/editor/TPluginEditorWindow.h"

#include "gui/Color.h"
#include "gui/Form.h"

namespace marrowglint {

TPluginEditorWindow::TPluginEditorWindow(APlugin& owner, void* parentWindow, bool wide)
    : plugin(owner),
      host(parentWindow,
           std::make_unique<gui::Form>(wide ? kWideWidth : kWidth, kHeight, gui::colors::black)) {}

EditorWindowFactory editorWindowFactory() {
  return [](APlugin& plugin, void* parentWindow, bool wide) -> std::unique_ptr<EditorWindow> {
    return std::make_unique<TPluginEditorWindow>(plugin, parentWindow, wide);
  };
}

}  // namespace marrowglint
