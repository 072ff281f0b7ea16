#pragma once
// Sarnel's editor as the host sees it: the rectangle, the open count and the
// window's life. The window itself comes from an EditorWindowFactory.

#include <atomic>
#include <memory>

#include "framework/AEffEditor.h"
#include "sampler/engine/EditorWindow.h"

namespace sarnel {

class APlugin;

class APluginEditor : public vst::AEffEditor {
 public:
  static constexpr int kWidth = 678;
  static constexpr int kHeight = 497;

  // GUI thread.
  APluginEditor(APlugin* plugin, EditorWindowFactory factory);
  ~APluginEditor() override;

  // GUI thread, these four.
  vst::VstInt32 getRect(vst::ERect** rect) override;
  vst::VstInt32 open(void* parent) override;
  void close() override;
  // Also services the GUI timers where no message loop does (Linux).
  void idle() override;
  // Any thread (the engine calls it at the end of every setParameter). On the
  // GUI thread (as the plug-in recognises it) it copies the display values at
  // once; from another thread it only marks them stale, because the window belongs to the GUI thread and
  // may be destroyed there at any moment; the next idle copies them.
  void update() override;
  // Marks the display values stale without asking which thread calls.
  // Any thread.
  void requestUpdate() noexcept { stale.store(true, std::memory_order_relaxed); }

  // GUI thread.
  int openCount() const { return editorOpenCount; }
  EditorWindow* window() const { return editorWindow.get(); }
  void* parent() const { return parentWindow; }

 private:
  APlugin* plugin;
  EditorWindowFactory makeWindow;
  vst::ERect r{};
  int editorOpenCount = 0;
  std::unique_ptr<EditorWindow> editorWindow;
  void* parentWindow = nullptr;
  std::atomic<bool> stale{false};
};

}  // namespace sarnel
