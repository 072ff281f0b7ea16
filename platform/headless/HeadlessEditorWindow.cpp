#include "platform/headless/HeadlessEditorWindow.h"

#include "platform/EditorZoom.h"

namespace platform {

HeadlessEditorWindow::HeadlessEditorWindow(gui::Form& form, int zoom) : form_(form), zoom_(zoom) {
  form_.setHost(this);
}

HeadlessEditorWindow::~HeadlessEditorWindow() {
  if (form_.host() == this) form_.setHost(nullptr);
}

void HeadlessEditorWindow::repaintNow() { form_.paintDirty(); }

void HeadlessEditorWindow::mouseDownAt(gui::Point windowPixel, gui::MouseButton button, gui::ShiftState shift) {
  form_.mouseDownAt(formPointAt(windowPixel, zoom_), button, shift);
}

void HeadlessEditorWindow::mouseMoveAt(gui::Point windowPixel, gui::ShiftState shift) {
  form_.mouseMoveAt(formPointAt(windowPixel, zoom_), shift);
}

void HeadlessEditorWindow::mouseUpAt(gui::Point windowPixel, gui::MouseButton button, gui::ShiftState shift) {
  form_.mouseUpAt(formPointAt(windowPixel, zoom_), button, shift);
}

gui::Canvas HeadlessEditorWindow::screenPixels() const {
  gui::Canvas screen(width(), height());
  screen.drawZoomed(form_.canvas(), form_.bounds(), zoom_);
  return screen;
}

}  // namespace platform
