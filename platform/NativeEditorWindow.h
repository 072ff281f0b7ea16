#pragma once
// The editor's native window: a child of the host's window that shows one
// form's pixels and feeds it mouse input, cursor changes, capture and
// dropped files. Win32: a child window painted from a 32-bit DIB. X11: a
// child window serviced from the host's editor idle calls. Without a parent
// (tests, hosts without a screen) a headless window keeps the same contract.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Form.h"
#include "gui/FormHost.h"

namespace platform {

class NativeEditorWindow : public gui::FormHost {
 public:
  using DropHandler = std::function<void(const std::vector<std::string>& files)>;

  ~NativeEditorWindow() override = default;

  // GUI thread, all of them.
  virtual void show() = 0;
  virtual void hide() = 0;
  virtual bool isVisible() const = 0;
  // Paints what changed in the form and puts it on the screen at once.
  virtual void repaintNow() = 0;
  // Handles pending window events and presents what changed. The host's
  // editor idle calls this (X11 has no message loop of ours to do it).
  virtual void idle() = 0;
  // The system's handle (HWND or X11 Window), or nullptr when headless.
  virtual void* handle() const = 0;
  // Registers the window as a target for dropped files; nullptr stops it.
  virtual void acceptFiles(DropHandler handler) = 0;
  // Screen pixels across one form pixel (1 or 2, see EditorZoom.h).
  virtual int zoom() const = 0;
  // Shows the form at another zoom: the window takes the new size at once
  // and repaints. GUI thread.
  virtual void setZoom(int zoom) = 0;
};

// Creates the window as a child of `parent` (nullptr: headless) at 0, 0 with
// the form's size times `zoom`, hidden, and makes it the form's host. The
// form must outlive the window. GUI thread.
std::unique_ptr<NativeEditorWindow> createNativeEditorWindow(void* parent, gui::Form& form, int zoom = 1);

}  // namespace platform
