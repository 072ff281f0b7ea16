#include "synth/engine/APluginEditor.h"

#include <cstring>

#include "synth/engine/APlugin.h"
#include "synth/engine/ControllerSlots.h"

namespace marrowglint {

APluginEditor::APluginEditor(APlugin* owner, EditorWindowFactory factory)
    : vst::AEffEditor(owner), plugin(owner), makeWindow(std::move(factory)) {}

APluginEditor::~APluginEditor() {
  if (editorWindow) {
    plugin->setEditorClosed(true);
    editorWindow.reset();
  }
}

bool APluginEditor::isWide() const { return std::strcmp(plugin->getHostVendor(), kSpecialHostVendor) == 0; }

int APluginEditor::currentZoom() const {
  if (editorWindow) return editorWindow->zoom();
  return makeWindow.zoomFor ? makeWindow.zoomFor(*plugin, parentWindow) : 1;
}

vst::VstInt32 APluginEditor::getRect(vst::ERect** rect) {
  r.top = 0;
  r.left = 0;
  const int zoom = currentZoom();
  r.bottom = static_cast<std::int16_t>(kHeight * zoom);
  r.right = static_cast<std::int16_t>((isWide() ? kWideWidth : kWidth) * zoom);
  if (rect != nullptr) *rect = &r;
  return 1;
}

vst::VstInt32 APluginEditor::open(void* parent) {
  parentWindow = parent;
  const int oldCount = editorOpenCount++;
  if ((oldCount == 0 || !editorWindow) && makeWindow) {
    editorWindow = makeWindow.create(*plugin, parent, isWide(), currentZoom());
  }
  plugin->setEditorClosed(false);
  if (editorWindow) editorWindow->show();
  return 1;
}

void APluginEditor::close() {
  if (editorOpenCount > 0) --editorOpenCount;
  if (editorOpenCount == 0) {
    if (editorWindow) {
      plugin->setEditorClosed(true);
      editorWindow.reset();
    }
    parentWindow = nullptr;
  }
}

void APluginEditor::idle() {
  if (editorWindow) editorWindow->idle();
  plugin->storeLearnedControllers();
  flushUpdate();
}

void APluginEditor::flushUpdate() {
  if (plugin->isEditorClosed() || !editorWindow) return;
  // Both flags are taken, so neither request is left over for the next tick.
  const bool lfoMoved = plugin->takePendingUpdate();
  const bool wasStale = stale.exchange(false, std::memory_order_relaxed);
  if (lfoMoved || wasStale) update();
}

void APluginEditor::update() {
  if (!plugin->onGuiThread()) {
    stale.store(true, std::memory_order_relaxed);
    return;
  }
  if (!plugin->isEditorClosed() && editorWindow) editorWindow->copyState();
}

}  // namespace marrowglint
