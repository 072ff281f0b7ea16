#include "platform/headless/HeadlessEditorWindow.h"

namespace platform {

HeadlessEditorWindow::HeadlessEditorWindow(gui::Form& form) : form_(form) { form_.setHost(this); }

HeadlessEditorWindow::~HeadlessEditorWindow() {
  if (form_.host() == this) form_.setHost(nullptr);
}

void HeadlessEditorWindow::repaintNow() { form_.paintDirty(); }

}  // namespace platform
