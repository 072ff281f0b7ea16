#pragma once
// Sarnel's editor window: the waveform of the loaded sample with its loop
// markers, fifteen gauges, four two-state buttons, the envelope node editor,
// two LFO pages, the about panel and the status line. The window never asks
// the engine for values on its own: the engine pushes every change into
// `paramMirror` (through the editor's update) and the 100 ms refresh tick
// brings the controls into line with it. Gestures go back to the engine
// through setParameterAutomated, setParameter and getParameter only.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/TDIBTimer.h"
#include "controls/TDial.h"
#include "controls/TENVControl.h"
#include "controls/TVornGauge.h"
#include "gui/Image.h"
#include "gui/ImageList.h"
#include "gui/Label.h"
#include "gui/Panel.h"
#include "platform/Answer.h"
#include "platform/EditorWindowHost.h"
#include "platform/FileDialogService.h"
#include "platform/MediaPlayer.h"
#include "platform/PopupMenuService.h"
#include "platform/SettingsStore.h"
#include "sampler/dsp/TTempoRateTable.h"
#include "sampler/engine/EditorWindow.h"

namespace sarnel {

class TPluginEditorWindow final : public EditorWindow {
 public:
  static constexpr int kWidth = 678;
  static constexpr int kHeight = 497;
  static constexpr int kMirrorSize = 30;

  // Creates and fills the window (FormCreate and the first open's steps),
  // still hidden. GUI thread.
  TPluginEditorWindow(APlugin& plugin, void* parentWindow, int zoom = 1);
  // FormDestroy, then the native window and the form go. GUI thread.
  ~TPluginEditorWindow() override;

  // What the engine and the editor call. GUI thread, all of them.
  void enableDisplayTimer() override;
  // Showing a window that was not visible runs FormShow.
  void show() override;
  void hide() override;
  void copyDisplayValues() override;
  std::string fileNameLabel() const override;
  void setFileNameLabel(const std::string& text) override;
  void moveLoopMarkers() override;
  void drawWaveform(int endColumn) override;
  void clearWaveform() override;
  void setSampleDialogFileName(const std::string& path) override { sampleDialogFile = path; }
  std::string sampleDialogFileName() const override { return sampleDialogFile; }
  void loadClick() override { LoadClick(); }
  // The pre-listen check box of the sample dialog.
  bool preListenChecked() const { return preListenBox; }
  void idle() override { host.idle(); }
  int zoom() const override { return host.zoom(); }

  // The window's events. GUI thread.
  void FormShow();
  void DIBTimer1Timer();

  platform::EditorWindowHost& windowHost() { return host; }
  gui::Form& form() { return host.form(); }
  APlugin& owner() { return plugin; }
  bool isDisplayTimerEnabled() const { return DIBTimer1.Enabled(); }
  const std::array<float, kMirrorSize>& mirror() const { return paramMirror; }
  int loopStartColumn() const { return loopStartX; }
  int loopEndColumn() const { return loopEndX; }
  const gui::Canvas& waveformCopy() const { return temp->picture(); }

  // The components, by the names the window gives them. Owned by the form.
  gui::Image* Image1 = nullptr;
  gui::Image* Image12 = nullptr;
  gui::Image* wdisplay = nullptr;
  gui::Image* temp = nullptr;
  gui::Label* fname = nullptr;
  controls::TVornGauge* pitcher = nullptr;
  controls::TVornGauge* loop = nullptr;
  controls::TVornGauge* filter = nullptr;
  controls::TVornGauge* reso = nullptr;
  controls::TVornGauge* delay = nullptr;
  controls::TVornGauge* feedback = nullptr;
  controls::TVornGauge* volume = nullptr;
  gui::Label* reckey = nullptr;
  gui::Label* lmode = nullptr;
  controls::TDial* interpx = nullptr;
  controls::TDial* portx = nullptr;
  gui::Image* Image11 = nullptr;
  gui::Image* Image2 = nullptr;
  gui::Image* Image3 = nullptr;
  gui::Image* Image4 = nullptr;
  gui::Image* Image5 = nullptr;
  gui::Label* desc = nullptr;
  gui::Image* Image7 = nullptr;
  gui::Image* Image8 = nullptr;
  gui::Image* Image9 = nullptr;
  gui::Image* selector = nullptr;
  controls::TENVControl* ENVControl1 = nullptr;
  gui::Panel* Panel2 = nullptr;
  gui::Panel* Panel3 = nullptr;
  gui::Panel* about = nullptr;
  gui::Image* Image6 = nullptr;
  gui::Label* wave1 = nullptr;
  gui::Label* dest1 = nullptr;
  controls::TDial* sync1x = nullptr;
  controls::TVornGauge* rate1 = nullptr;
  controls::TVornGauge* depth1 = nullptr;
  gui::Image* Image10 = nullptr;
  gui::Label* wave2 = nullptr;
  gui::Label* dest2 = nullptr;
  controls::TDial* sync2x = nullptr;
  controls::TVornGauge* rate2 = nullptr;
  controls::TVornGauge* depth2 = nullptr;
  gui::Image* Image13 = nullptr;
  gui::Label* Label1 = nullptr;
  gui::Label* Label2 = nullptr;
  gui::Label* Label3 = nullptr;
  gui::Label* Label4 = nullptr;
  gui::Label* Label5 = nullptr;
  gui::Image* sizeArea = nullptr;  // "size: 100 % | 200 %" on the about panel

 private:
  // A gauge and the parameters at its ends (-1: the end it does not have).
  struct GaugeBinding {
    controls::TVornGauge* gauge = nullptr;
    int lowParameter = -1;
    int highParameter = -1;
    int length = 185;
    bool vertical = false;
    bool twoEnded() const { return lowParameter >= 0; }
  };
  // The popup menus' items and the parameter they set.
  struct MenuItemValue {
    const char* caption;
    float value;
  };

  void FormCreate();
  void FormDestroy();
  void createComponents();
  void nameComponents();
  void createLfoPage(gui::Panel& page, int lfo);
  void createAbout();
  void wireGestures();
  void sizeAreaMouseUp(const gui::MouseEvent& event);
  void drawSizeArea();
  void openSteps();

  // Waveform and markers.
  void fillDisplays();
  void paintWaveform();
  void moveMarker(int& column, float value);
  void drawMarker(int column);

  // Gestures.
  void gaugeMouseDown(const GaugeBinding& binding, const gui::MouseEvent& event);
  void gaugeMouseMove(const GaugeBinding& binding, const gui::MouseEvent& event);
  void filterMouseUp();
  std::string gaugeReadout(const GaugeBinding& binding) const;
  platform::Handler assignControllers(int firstParameter, int secondParameter);
  platform::Handler reckeyTypedEntry();
  void reckeyMouseDown(const gui::MouseEvent& event);
  void reckeyMouseMove(const gui::MouseEvent& event);
  platform::Handler Image11MouseUp(gui::MouseEvent event);
  void buttonChange(controls::TDial& button, int parameter);
  void ENVControl1Change();
  platform::Handler menuAtPointer(std::vector<MenuItemValue> items, int parameter, bool mirrored,
                                  platform::ScreenPoint at);
  platform::ScreenPoint screenPoint(const gui::Component& component, const gui::MouseEvent& event);
  void showPage(int page);
  void hint(gui::Component& component, std::string text);
  void automate(int parameter, float value);

  // The file commands behind `mainmenu`, the waveform display and drops
  // (FileCommands.cpp).
  platform::Handler Image4MouseUp(platform::ScreenPoint at);
  platform::Handler LoadClick();
  platform::Handler Loadtuningfile1Click();
  void Resettuning1Click();
  void wdisplayMouseUp(const gui::MouseEvent& event);
  void filesDropped(const std::vector<std::string>& files);
  platform::FileOpenRequest sampleDialogRequest();
  void preListen(const std::string& file);
  void loadTuningFile(const std::string& path);
  void readPreListenSetting();
  void writePreListenSetting();

  // The window's fields.
  std::int32_t dragOriginPos = 0;
  std::int32_t dragOriginValue = 0;
  std::string assignText;
  APlugin& plugin;
  std::string sampleDialogFile = "*.wav";  // the sample open dialog's file name
  bool preListenBox = false;               // its pre-listen check box
  std::string tuningDialogFile;            // the tuning dialog's file name
  std::unique_ptr<platform::MediaPlayer> mplay;
  int chosenZoom = 1;  // what "Zoom" holds; the window shows it once the host has resized
  std::int32_t loopStartX = 0;
  std::int32_t loopEndX = 0;
  std::array<float, kMirrorSize> paramMirror{};
  TTempoRateTable tempoRates;
  // The root key drag's anchor.
  std::int32_t rootDragNote = 0;
  std::int32_t rootDragY = 0;

  gui::ImageList led{11, 12};
  std::vector<GaugeBinding> gauges;
  controls::TDIBTimer DIBTimer1;
  platform::EditorWindowHost host;  // the native child at 0, 0; destroyed with the window
};

// The zoom an editor opened now shows: the stored "Zoom" setting, else the
// system's suggestion `systemZoom`. GUI thread.
int editorZoom(platform::SettingsStore& settings, int systemZoom);

// The factory the plug-in's editor uses to create its window.
EditorWindowFactory editorWindowFactory();

}  // namespace sarnel
