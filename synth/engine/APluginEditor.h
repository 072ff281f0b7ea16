#pragma once
// The editor as the host sees it: its rectangle, the open count and the
// window's life. The window itself comes from an EditorWindowFactory.

#include <atomic>
#include <memory>
#include <thread>

#include "framework/AEffEditor.h"
#include "synth/engine/EditorWindow.h"

namespace marrowglint {

class APlugin;

class APluginEditor : public vst::AEffEditor {
 public:
  static constexpr int kWidth = 239;
  static constexpr int kWideWidth = 439;  // for the host special case
  static constexpr int kHeight = 358;

  APluginEditor(APlugin* plugin, EditorWindowFactory factory);
  ~APluginEditor() override;

  // GUI thread, all of them but update.
  vst::VstInt32 getRect(vst::ERect** rect) override;
  vst::VstInt32 open(void* parent) override;
  void close() override;
  void idle() override;
  // Any thread (setParameter calls it). On the GUI thread it copies the
  // plug-in's values into the window at once. From any other thread (MIDI
  // controllers on the audio thread) it only marks the window stale: a window
  // may be destroyed on the GUI thread at any moment, so only the GUI thread
  // touches it, at the next idle or window timer tick (flushUpdate).
  void update() override;
  // GUI thread: copies the values if an update is outstanding. The window's
  // own timer calls this so it follows within one tick.
  void flushUpdate();

  int openCount() const { return editorOpenCount; }
  EditorWindow* window() const { return editorWindow.get(); }
  void* parent() const { return parentWindow; }

 private:
  bool isWide() const;

  APlugin* plugin;
  EditorWindowFactory makeWindow;
  vst::ERect r{};
  int editorOpenCount = 0;
  std::unique_ptr<EditorWindow> editorWindow;
  void* parentWindow = nullptr;
  std::atomic<bool> stale{false};
};

}  // namespace marrowglint
