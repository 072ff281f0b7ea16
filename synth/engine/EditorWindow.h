#pragma once
// What APluginEditor needs from the editor window, so the engine library
// stays free of window code: the editor library supplies a factory, and
// without one the editor keeps no window (a host then sees an editor of the
// right size with nothing in it).

#include <functional>
#include <memory>

namespace marrowglint {

class APlugin;

class EditorWindow {
 public:
  virtual ~EditorWindow() = default;
  // Copies every live value of the plug-in into the window's mirrors.
  // GUI thread (APluginEditor defers calls from other threads).
  virtual void copyState() = 0;
  // Repaints at once, shows the window and runs its periodic update once.
  // GUI thread.
  virtual void show() = 0;
  // The host's editor idle: native window events (X11 has no message loop of
  // its own inside a host), due timers, new pixels. GUI thread.
  virtual void idle() {}
  // The window's zoom: 1 (100 %) or 2 (200 %). GUI thread.
  virtual int zoom() const { return 1; }
};

// What the editor library supplies. `create` makes the window as a child of
// `parentWindow`, placed at 0, 0 with its designed size (`wide`: 439 instead
// of 239 pixels with the side panel shown) times `zoom`, refers it to
// `plugin` and copies the plug-in's state into it. `zoomFor` tells the zoom a
// window opened in `parentWindow` now would show (empty: 1). GUI thread.
struct EditorWindowFactory {
  std::function<std::unique_ptr<EditorWindow>(APlugin& plugin, void* parentWindow, bool wide, int zoom)> create;
  std::function<int(APlugin& plugin, void* parentWindow)> zoomFor;

  explicit operator bool() const { return static_cast<bool>(create); }
};

}  // namespace marrowglint
