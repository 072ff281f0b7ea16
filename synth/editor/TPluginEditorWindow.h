#pragma once
// Marrowglint's editor window: a form of the designed size inside the host's
// window. The controls come with the editor itself; until then the form is
// blank, but it opens, shows, takes mouse input and closes like the real one.

#include <memory>

#include "platform/EditorWindowHost.h"
#include "synth/engine/EditorWindow.h"

namespace marrowglint {

class TPluginEditorWindow final : public EditorWindow {
 public:
  static constexpr int kWidth = 239;
  static constexpr int kWideWidth = 439;
  static constexpr int kHeight = 358;

  // GUI thread.
  TPluginEditorWindow(APlugin& plugin, void* parentWindow, bool wide);

  void copyState() override {}
  void show() override { host.show(); }
  void idle() override { host.idle(); }

  platform::EditorWindowHost& windowHost() { return host; }
  APlugin& owner() { return plugin; }

 private:
  APlugin& plugin;
  platform::EditorWindowHost host;  // the native child at 0, 0; destroyed with the window
};

// The factory the plug-in's editor uses to create its window.
EditorWindowFactory editorWindowFactory();

}  // namespace marrowglint
