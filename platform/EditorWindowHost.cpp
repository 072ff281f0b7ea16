#include "platform/EditorWindowHost.h"

#include "platform/GuiTimer.h"

namespace platform {

EditorWindowHost::EditorWindowHost(void* parent, std::unique_ptr<gui::Form> form, int zoom)
    : form_(std::move(form)), window_(createNativeEditorWindow(parent, *form_, zoom)) {}

EditorWindowHost::~EditorWindowHost() {
  form_->setHost(nullptr);
  window_.reset();
}

void EditorWindowHost::show() {
  window_->repaintNow();
  window_->show();
}

void EditorWindowHost::hide() { window_->hide(); }

void EditorWindowHost::idle() {
  window_->idle();
  serviceGuiTimers();
  window_->repaintNow();
}

}  // namespace platform
