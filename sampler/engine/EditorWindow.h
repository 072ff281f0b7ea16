#pragma once
// What the engine and APluginEditor use of Sarnel's editor window, so that
// the engine library holds no window code: the editor library supplies a
// factory, and without one the editor has no window (the host then sees an
// editor of the right size with nothing in it, and the engine behaves as it
// does while no window is open).

#include <functional>
#include <memory>
#include <string>

namespace sarnel {

class APlugin;

class EditorWindow {
 public:
  virtual ~EditorWindow() = default;

  // GUI thread, all of them.

  // Opening: enables the display refresh timer, repaints and shows.
  virtual void enableDisplayTimer() = 0;
  virtual void show() = 0;
  virtual void hide() = 0;
  // Copies the engine's parameters 0 ... 29 into the display mirror.
  virtual void copyDisplayValues() = 0;

  // The sample name label (`fname`): what the editor's idle keeps in line
  // with the engine's sample path, and what command 644 loads.
  virtual std::string fileNameLabel() const = 0;
  virtual void setFileNameLabel(const std::string& text) = 0;
  // Moves both loop markers to the mirrored loop points.
  virtual void moveLoopMarkers() = 0;

  // The waveform display after a load (endColumn 0 after command 644, 1
  // after 643) and after an unload.
  virtual void drawWaveform(int endColumn) = 0;
  virtual void clearWaveform() = 0;

  // The sample open dialog, for the engine's missing-file question.
  virtual void setSampleDialogFileName(const std::string& path) = 0;
  virtual std::string sampleDialogFileName() const = 0;
  // Runs the editor's sample load command (which may send command 644).
  virtual void loadClick() = 0;

  // The host's editor idle: native window events (X11 has no message loop of
  // its own inside a host), due timers, new pixels.
  virtual void idle() {}
  // The window's zoom: 1 (100 %) or 2 (200 %).
  virtual int zoom() const { return 1; }
};

// What the editor library supplies. `create` makes the window as a child of
// `parentWindow` at 0, 0 with its designed size (678 x 497) times `zoom`,
// refers it to `plugin` and copies the plug-in's state into it. `zoomFor`
// tells the zoom a window opened in `parentWindow` now would show (empty: 1).
// GUI thread.
struct EditorWindowFactory {
  std::function<std::unique_ptr<EditorWindow>(APlugin& plugin, void* parentWindow, int zoom)> create;
  std::function<int(APlugin& plugin, void* parentWindow)> zoomFor;

  explicit operator bool() const { return static_cast<bool>(create); }
};

}  // namespace sarnel
