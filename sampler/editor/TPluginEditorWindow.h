#pragma once
// Sarnel's editor window: a form of the designed size inside the host's
// window. The controls and the waveform display come with the editor itself;
// until then the form is blank but opens, shows, hides, takes mouse input and
// keeps the texts the engine asks for, like the real one.

#include <memory>
#include <string>

#include "platform/EditorWindowHost.h"
#include "sampler/engine/EditorWindow.h"

namespace sarnel {

class TPluginEditorWindow final : public EditorWindow {
 public:
  static constexpr int kWidth = 678;
  static constexpr int kHeight = 497;

  // GUI thread, all of them.
  TPluginEditorWindow(APlugin& plugin, void* parentWindow);

  void enableDisplayTimer() override { displayTimerEnabled = true; }
  void show() override { host.show(); }
  void hide() override { host.hide(); }
  void copyDisplayValues() override {}
  std::string fileNameLabel() const override { return fname; }
  void setFileNameLabel(const std::string& text) override { fname = text; }
  void moveLoopMarkers() override {}
  void drawWaveform(int) override {}
  void clearWaveform() override {}
  void setSampleDialogFileName(const std::string& path) override { sampleDialogFile = path; }
  std::string sampleDialogFileName() const override { return sampleDialogFile; }
  void loadClick() override {}
  void idle() override { host.idle(); }

  platform::EditorWindowHost& windowHost() { return host; }
  APlugin& owner() { return plugin; }
  bool isDisplayTimerEnabled() const { return displayTimerEnabled; }

 private:
  APlugin& plugin;
  platform::EditorWindowHost host;  // the native child at 0, 0; destroyed with the window
  std::string fname;                // the sample name label
  std::string sampleDialogFile;     // the sample open dialog's file name
  bool displayTimerEnabled = false;
};

// The factory the plug-in's editor uses to create its window.
EditorWindowFactory editorWindowFactory();

}  // namespace sarnel
