#pragma once
// The glue between a plug-in's editor and its window: owns an editor form
// and the native child window that shows it inside the host's window, and
// takes both down in the right order. An APluginEditor creates one on the
// open that finds no window and destroys it on the close that brings its
// open count to 0.

#include <memory>

#include "gui/Form.h"
#include "platform/NativeEditorWindow.h"

namespace platform {

class EditorWindowHost {
 public:
  // Creates the native window for `form` as a child of `parent` (nullptr:
  // headless), placed at 0, 0 with the form's size times `zoom`, still
  // hidden. GUI thread.
  EditorWindowHost(void* parent, std::unique_ptr<gui::Form> form, int zoom = 1);
  // Destroys the native window, then the form. GUI thread.
  ~EditorWindowHost();
  EditorWindowHost(const EditorWindowHost&) = delete;
  EditorWindowHost& operator=(const EditorWindowHost&) = delete;

  gui::Form& form() { return *form_; }
  NativeEditorWindow& window() { return *window_; }

  // Repaints at once and shows the window. GUI thread.
  void show();
  void hide();
  bool isVisible() const { return window_->isVisible(); }
  int zoom() const { return window_->zoom(); }
  void setZoom(int zoom) { window_->setZoom(zoom); }
  // The host's editor idle: window events, due GUI timers, new pixels.
  // GUI thread.
  void idle();

 private:
  std::unique_ptr<gui::Form> form_;
  std::unique_ptr<NativeEditorWindow> window_;
};

}  // namespace platform
