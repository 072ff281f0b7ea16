#include "framework/AEffEditor.h"

namespace vst {

AEffEditor::AEffEditor(AudioEffect* owner) : effect(owner) {}

VstInt32 AEffEditor::getRect(ERect** rect) {
  if (rect != nullptr) *rect = nullptr;
  return 0;
}

VstInt32 AEffEditor::open(void* parentWindow) {
  systemWindow = parentWindow;
  return 0;
}

void AEffEditor::close() {}

void AEffEditor::idle() {
  if (updateFlag) {
    updateFlag = false;
    update();
  }
}

void AEffEditor::update() {}

void AEffEditor::postUpdate() { updateFlag = true; }

VstInt32 AEffEditor::onKeyDown(VstKeyCode&) { return -1; }

VstInt32 AEffEditor::onKeyUp(VstKeyCode&) { return -1; }

VstInt32 AEffEditor::setKnobMode(VstInt32) { return 0; }

bool AEffEditor::onWheel(float) { return false; }

}  // namespace vst
