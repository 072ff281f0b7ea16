#pragma once
// A host's own top-level window that a plug-in editor opens inside, on X11
// or Win32, with the few questions the editor tests ask of it.

#include <functional>

namespace editortest {

class HostParentWindow {
 public:
  HostParentWindow();
  ~HostParentWindow();
  HostParentWindow(const HostParentWindow&) = delete;
  HostParentWindow& operator=(const HostParentWindow&) = delete;

  bool valid() const;
  // The handle a host passes with effEditOpen.
  void* handle() const;
  // How many child windows the editor has put into this window.
  int childCount() const;
  // Size of the first child window; false without one.
  bool childSize(int& width, int& height) const;
  bool childVisible() const;
  // Runs the window system's queue and the host's editor idle for a while.
  void pump(const std::function<void()>& editorIdle, int milliseconds = 100);
  // Runs what the window system has queued for this thread, once, without
  // waiting (a host's message loop between its idle calls).
  void processPending();

 private:
  struct Native;
  Native* native;
};

}  // namespace editortest
