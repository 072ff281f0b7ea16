#include "sampler/engine/APluginEditor.h"

#include "platform/GuiTimer.h"
#include "sampler/engine/APlugin.h"

namespace sarnel {

APluginEditor::APluginEditor(APlugin* owner, EditorWindowFactory factory)
    : vst::AEffEditor(owner), plugin(owner), makeWindow(std::move(factory)) {}

APluginEditor::~APluginEditor() {
  if (editorWindow) {
    plugin->setEditorClosed(true);
    editorWindow.reset();
  }
}

vst::VstInt32 APluginEditor::getRect(vst::ERect** rect) {
  r.top = 0;
  r.left = 0;
  r.bottom = kHeight;
  r.right = kWidth;
  if (rect != nullptr) *rect = &r;
  return 1;
}

vst::VstInt32 APluginEditor::open(void* parent) {
  parentWindow = parent;
  const int oldCount = editorOpenCount++;
  if ((oldCount == 0 || !editorWindow) && makeWindow) editorWindow = makeWindow(*plugin, parent);
  if (editorWindow) editorWindow->enableDisplayTimer();
  plugin->setEditorClosed(false);
  if (editorWindow) editorWindow->show();
  return 1;
}

void APluginEditor::close() {
  if (editorWindow) editorWindow->hide();
  if (editorOpenCount > 0) --editorOpenCount;
  if (editorOpenCount == 0) {
    plugin->setEditorClosed(true);
    editorWindow.reset();
    parentWindow = nullptr;
  }
}

void APluginEditor::idle() {
  platform::serviceGuiTimers();
  if (editorWindow) editorWindow->idle();
  if (plugin->isEditorClosed() || !editorWindow) return;
  if (stale.exchange(false, std::memory_order_relaxed)) editorWindow->copyDisplayValues();
  const std::string& path = plugin->getSamplePath();
  if (editorWindow->fileNameLabel() != path) editorWindow->setFileNameLabel(path);
  if (plugin->takeLoopMarkersDirty()) editorWindow->moveLoopMarkers();
}

void APluginEditor::update() {
  if (!plugin->onGuiThread()) {
    requestUpdate();
    return;
  }
  if (!plugin->isEditorClosed() && editorWindow) editorWindow->copyDisplayValues();
}

}  // namespace sarnel
