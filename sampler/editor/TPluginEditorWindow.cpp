#include "sampler/editor/TPluginEditorWindow.h"

#include "gui/Color.h"
#include "gui/Form.h"

namespace sarnel {

TPluginEditorWindow::TPluginEditorWindow(APlugin& owner, void* parentWindow)
    : plugin(owner), host(parentWindow, std::make_unique<gui::Form>(kWidth, kHeight, gui::colors::black)) {}

EditorWindowFactory editorWindowFactory() {
  return [](APlugin& plugin, void* parentWindow) -> std::unique_ptr<EditorWindow> {
    return std::make_unique<TPluginEditorWindow>(plugin, parentWindow);
  };
}

}  // namespace sarnel
