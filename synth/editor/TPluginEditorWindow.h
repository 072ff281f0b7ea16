#pragma once
// Marrowglint's editor window: the panel artwork with its sliders and
// buttons, four effect pads, the mix bar, the colour box, the status line and
// the hidden info and help screens. The window never reads the engine on its
// own: `update` copies the plug-in's values into the mirrors, and the 20 ms
// refresh moves the controls to them.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "controls/TDial.h"
#include "gui/Image.h"
#include "gui/ImageList.h"
#include "gui/Label.h"
#include "gui/Shape.h"
#include "platform/Answer.h"
#include "platform/EditorWindowHost.h"
#include "platform/GuiTimer.h"
#include "platform/SettingsStore.h"
#include "synth/engine/EditorWindow.h"
#include "synth/engine/ParameterTable.h"

namespace marrowglint {

class TPluginEditorWindow final : public EditorWindow {
 public:
  static constexpr int kWidth = 239;
  static constexpr int kWideWidth = 439;
  static constexpr int kHeight = 358;
  // Parameters 0..25 have mirrors; "LFOWav" and the reserved ones do not.
  static constexpr int kMirrored = 26;

  // Creates the form, runs FormCreate and copies the plug-in's state.
  // GUI thread.
  TPluginEditorWindow(APlugin& plugin, void* parentWindow, bool wide, int zoom = 1);
  ~TPluginEditorWindow() override;

  // The state copy of `open` and `update`. GUI thread.
  void copyState() override;
  // Sets every control from the mirrors, shows the window. GUI thread.
  void show() override;
  void idle() override { host.idle(); }
  int zoom() const override { return host.zoom(); }

  // The refresh step: moves the controls to the mirrors. GUI thread.
  void UpdaterTimer();

  platform::EditorWindowHost& windowHost() { return host; }
  gui::Form& form() { return host.form(); }
  APlugin& owner() { return plugin; }
  float mirror(int parameter) const { return mirrors[static_cast<std::size_t>(parameter)]; }
  std::int32_t padControllerEntry(int pad) const { return padEntries[static_cast<std::size_t>(pad - 1)]; }
  std::int32_t mixControllerEntry() const { return mixEntry; }
  const std::string& statusText() const { return d->text(); }

  // The components, by the names the design gives them.
  gui::Shape* Shape10 = nullptr;
  gui::Image* bg = nullptr;
  controls::TDial* vcfresonance = nullptr;
  controls::TDial* vcfcutoff = nullptr;
  controls::TDial* osc1wave = nullptr;
  gui::Shape* Shape5 = nullptr;
  std::array<gui::Image*, 4> pads{};     // shape1 .. shape4
  std::array<gui::Image*, 4> markers{};  // shape6 .. shape9
  controls::TDial* osc1fine = nullptr;
  controls::TDial* osc1tune = nullptr;
  controls::TDial* osc2fine = nullptr;
  controls::TDial* osc2tune = nullptr;
  controls::TDial* lfoamount = nullptr;
  controls::TDial* lforate = nullptr;
  controls::TDial* vcaattack = nullptr;
  controls::TDial* vcadecay = nullptr;
  controls::TDial* vcasustain = nullptr;
  controls::TDial* vcarelease = nullptr;
  controls::TDial* outvol = nullptr;
  controls::TDial* osc2wave = nullptr;
  controls::TDial* vcftype = nullptr;
  controls::TDial* lfodest = nullptr;
  gui::Image* oscmix = nullptr;
  gui::Image* mixer = nullptr;
  controls::TDial* fatmama = nullptr;
  controls::TDial* phase = nullptr;
  controls::TDial* glide = nullptr;
  gui::Label* d = nullptr;
  gui::Image* Image1 = nullptr;
  gui::Image* Image2 = nullptr;
  gui::Image* Image3 = nullptr;
  gui::Image* info = nullptr;
  gui::Image* help = nullptr;
  gui::Label* version = nullptr;
  gui::Image* Image4 = nullptr;
  gui::Image* sizeArea = nullptr;  // "size: 100 % | 200 %" on the info screen

 private:
  // A slider: its parameter, the divisor of its position and the settings
  // value that keeps its controller entry.
  struct SliderBinding {
    controls::TDial* dial;
    int parameter;
    float divisor;
    const char* settingName;
  };
  // What the refresh last asked a control for and what the control then
  // showed, so a position the control cannot show exactly is not asked for
  // again on every tick.
  struct LastRequest {
    std::int32_t asked = INT32_MIN;
    std::int32_t shown = INT32_MIN;
  };

  void createComponents(bool wide);
  void loadArtwork();
  void FormCreate();
  void wireHandlers();
  void setControl(controls::TDial& dial, LastRequest& last, std::int32_t position);
  void setStatus(std::string text);
  void setMirror(int parameter, float value) { mirrors[static_cast<std::size_t>(parameter)] = value; }

  // Handlers, named after the events they serve.
  void sliderChange(const SliderBinding& binding);
  void switchChange(controls::TDial& sender, int parameter);
  void interpolationGesture(const gui::MouseEvent& event, float mode);
  void selectorMouseDown(controls::TDial& sender, int parameter, const gui::MouseEvent& event);
  void lfodestMouseDown(const gui::MouseEvent& event);
  void ShapeMouseMove(int pad, const gui::MouseEvent& event);
  void ShapeMouseDown(int pad, const gui::MouseEvent& event);
  void ShapeMouseUp(int pad, const gui::MouseEvent& event);
  void oscmixMouseMove(const gui::MouseEvent& event);
  void oscmixMouseDown(const gui::MouseEvent& event);
  void oscmixMouseUp(const gui::MouseEvent& event);
  void Image3MouseUp(const gui::MouseEvent& event);
  void showInfo();
  void Image4Click();
  void sizeAreaMouseUp(const gui::MouseEvent& event);
  void drawSizeArea();
  // The "Assign controller" box for a pad (1..4) or the mix bar (0). It asks
  // the user and finishes when the box answers.
  platform::Handler assignController(int control);
  std::string sliderStatus(controls::TDial& dial) const;

  APlugin& plugin;
  // Everything a handler waiting for a box may still touch lives longer than
  // the form: closing the window answers such a box (as Cancel) while the
  // host below is destroyed, and the rest of the handler then runs.
  gui::ImageList sld{99, 6}, sld2{99, 6}, sld3{100, 6}, sld4{6, 48}, sld5{84, 12};
  gui::ImageList b1{46, 10}, b2{46, 10}, b3{47, 10}, b4{95, 10};
  gui::ImageList o1{26, 13}, o2{26, 13}, o3{26, 13};
  // Written by copyState, read by the refresh and the handlers.
  std::array<float, kMirrored> mirrors{};
  std::array<std::int32_t, 4> padEntries{};
  std::int32_t mixEntry = 0;
  std::array<float, 4> colourFactors{1.0f, 1.0f, 1.0f, 1.0f};  // 1 − PWM, FM, Tube, RMod
  bool updating = false;
  int chosenZoom = 1;  // what "Zoom" holds; the window shows it once the host has resized
  std::array<SliderBinding, 13> sliders{};
  std::array<LastRequest, 24> lastRequests{};

  platform::EditorWindowHost host;  // the native child at 0, 0 and the form
  platform::GuiTimer Updater;
};

// The zoom an editor opened now shows: the stored "Zoom" setting, else the
// system's suggestion `systemZoom`. GUI thread.
int editorZoom(platform::SettingsStore& settings, int systemZoom);

// The factory the plug-in's editor uses to create its window.
EditorWindowFactory editorWindowFactory();

}  // namespace marrowglint
