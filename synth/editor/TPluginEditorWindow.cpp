#include "synth/editor/TPluginEditorWindow.h"

#include <algorithm>
#include <string_view>

#include "controls/NumberText.h"
#include "gui/Color.h"
#include "gui/Form.h"
#include "platform/InputBoxService.h"
#include "platform/EditorZoom.h"
#include "platform/KeyboardHookScope.h"
#include "platform/MessageBoxService.h"
#include "synth/editor/artwork/Artwork.h"
#include "synth/editor/artwork/ZoomArea.h"
#include "synth/engine/APlugin.h"
#include "synth/engine/APluginEditor.h"
#include "synth/engine/ControllerSlots.h"
#include "synth/engine/Nearest.h"

namespace marrowglint {

using controls::TDial;
using gui::MouseEvent;
using gui::Rect;

namespace {

constexpr gui::Color kColourBoxOutline = gui::rgb(38, 90, 122);
constexpr std::uint32_t kRefreshIntervalMs = 20;
constexpr int kPadTravel = 36;  // pixels of a pad's level
constexpr int kMixTravel = 195; // pixels of the mix bar's travel
constexpr int kMixMarkerLeft = 18;

constexpr const char* kAssignCaption = "Assign controller";
constexpr const char* kAssignPrompt = "1-128=CC#1-128, 129=PB, 200=learn";
// What the link and title areas show on hover: this project's own texts.
constexpr const char* kRepositoryText = "repo: vornhalt";
constexpr const char* kLicenceText = "licence: MIT";

// The parameters of the effect pads 1..4.
constexpr std::array<int, 4> kPadParameters = {kPWM, kFM, kTube, kRMod};
constexpr std::array<const char*, 4> kPadSettings = {"CC Effect1", "CC Effect2", "CC Effect3", "CC Effect4"};
constexpr const char* kMixSetting = "CC OscMix";

bool held(const MouseEvent& event, gui::ShiftState exactly) {
  return (event.shift & static_cast<gui::ShiftState>(~gui::kDouble)) == exactly;
}

std::string percent(float value) { return std::to_string(nearest(value * 100.0f)) + "%"; }

// The choice under x in a selector of four (the wave and filter buttons).
int fourWayChoice(int x) { return x <= 10 ? 0 : x <= 21 ? 1 : x <= 32 ? 2 : 3; }
// The choice under x in the LFO destination's eight.
int eightWayChoice(int x) {
  constexpr std::array<int, 7> bounds = {11, 23, 35, 47, 59, 71, 83};
  for (int i = 0; i < 7; ++i) {
    if (x <= bounds[static_cast<std::size_t>(i)]) return i;
  }
  return 7;
}

TDial& configureDial(TDial& dial, const char* name, controls::tCType style, int min, int max,
                     const gui::ImageList& list) {
  dial.name = name;
  dial.Style = style;
  dial.ValueMin = min;
  dial.ValueMax = max;
  dial.ImageList = &list;
  dial.EnableRightButton = true;
  dial.IncrementalDisplay = true;
  dial.InvCursor = false;
  return dial;
}

TDial& addSlider(gui::Form& form, const char* name, Rect bounds, controls::tCType style, int max, int defaultValue,
                 const gui::ImageList& list, int offset) {
  TDial& dial = configureDial(form.add<TDial>(bounds), name, style, 0, max, list);
  dial.DefaultValue = defaultValue;
  dial.SliderOffset = offset;
  return dial;
}

TDial& addButton(gui::Form& form, const char* name, Rect bounds, int max, const gui::ImageList& list, bool looping,
                 int tag) {
  TDial& dial = configureDial(form.add<TDial>(bounds), name, controls::cButton, 0, max, list);
  dial.ButtonStyle = looping ? controls::bLoop : controls::bNormal;
  dial.tag = tag;
  dial.setCursor(gui::Cursor::hand);
  return dial;
}

gui::Image& addImage(gui::Form& form, const char* name, Rect bounds, gui::Cursor cursor = gui::Cursor::inherit) {
  gui::Image& image = form.add<gui::Image>(bounds);
  image.name = name;
  image.setCursor(cursor);
  return image;
}

}  // namespace

TPluginEditorWindow::TPluginEditorWindow(APlugin& owner, void* parentWindow, bool wide, int zoom)
    : plugin(owner),
      chosenZoom(zoom),
      host(parentWindow, std::make_unique<gui::Form>(wide ? kWideWidth : kWidth, kHeight, gui::colors::black),
           zoom) {
  loadArtwork();
  createComponents(wide);
  wireHandlers();
  FormCreate();
  copyState();
  Updater.start(kRefreshIntervalMs, [this] {
    // Values the LFO or another thread changed reach the mirrors first.
    if (APluginEditor* editor = plugin.pluginEditor()) editor->flushUpdate();
    UpdaterTimer();
  });
}

TPluginEditorWindow::~TPluginEditorWindow() { Updater.stop(); }

void TPluginEditorWindow::loadArtwork() {
  using artwork::SliderAccent;
  artwork::drawHorizontalSliderStrip(sld, 94, SliderAccent::oscillator1);
  artwork::drawHorizontalSliderStrip(sld2, 94, SliderAccent::oscillator2);
  artwork::drawHorizontalSliderStrip(sld3, 93, SliderAccent::shared);
  artwork::drawVerticalSliderStrip(sld4, 36);
  artwork::drawVolumeSliderStrip(sld5, 78);
  artwork::drawOscillator1WaveStrip(b1);
  artwork::drawOscillator2WaveStrip(b2);
  artwork::drawFilterTypeStrip(b3);
  artwork::drawLfoDestinationStrip(b4);
  artwork::drawSwitchStrip(o1);
  artwork::drawSwitchStrip(o2);
  artwork::drawSwitchStrip(o3);
}

void TPluginEditorWindow::createComponents(bool wide) {
  using controls::cHSlider;
  using controls::cVSlider;
  gui::Form& f = form();
  constexpr int kOwnerHandled = TDial::kOwnerHandledTag;

  Shape10 = &f.add<gui::Shape>(Rect::sized(208, 0, 233, 361), gui::ShapeKind::rectangle);
  Shape10->name = "Shape10";
  Shape10->setFill(gui::colors::black);
  Shape10->setPen(gui::colors::black, 1);
  Shape10->setVisible(wide);

  bg = &addImage(f, "bg", Rect::sized(0, 0, 519, 358));
  bg->setPicture(artwork::panel());

  vcfresonance = &addSlider(f, "vcfresonance", Rect::sized(118, 169, 100, 6), cHSlider, 100, 0, sld3, 5);
  vcfresonance->InvMovement = true;
  vcfresonance->setCursor(gui::Cursor::cross);
  vcfcutoff = &addSlider(f, "vcfcutoff", Rect::sized(118, 152, 100, 6), cHSlider, 100, 0, sld3, 5);
  osc1wave = &addButton(f, "osc1wave", Rect::sized(24, 67, 46, 10), 3, b1, true, kOwnerHandled);

  Shape5 = &f.add<gui::Shape>(Rect::sized(194, 212, 19, 19), gui::ShapeKind::square);
  Shape5->name = "Shape5";
  Shape5->setPen(kColourBoxOutline, 0);

  const auto addPad = [&](int pad, int left) {
    pads[static_cast<std::size_t>(pad)] =
        &addImage(f, ("shape" + std::to_string(pad + 1)).c_str(), Rect::sized(left, 203, 37, 37), gui::Cursor::cross);
  };
  const auto addMarker = [&](int pad, const char* name, int left) {
    gui::Image& marker = addImage(f, name, Rect::sized(left, 236, 4, 7));
    marker.setStretch(true);
    marker.setTransparentColor(gui::colors::aqua);
    markers[static_cast<std::size_t>(pad)] = &marker;
  };
  addPad(0, 18);
  addPad(1, 60);
  addMarker(0, "shape6", 52);
  addPad(2, 102);
  addPad(3, 144);
  addMarker(1, "shape7", 94);
  addMarker(2, "shape8", 136);
  addMarker(3, "shape9", 178);
  markers[0]->setPicture(artwork::markerA());
  markers[3]->setPicture(artwork::markerB());

  osc1fine = &addSlider(f, "osc1fine", Rect::sized(19, 86, 99, 6), cHSlider, 101, 50, sld, 5);
  osc1tune = &addSlider(f, "osc1tune", Rect::sized(19, 106, 99, 6), cHSlider, 101, 50, sld, 5);
  osc2fine = &addSlider(f, "osc2fine", Rect::sized(122, 86, 99, 6), cHSlider, 101, 50, sld2, 5);
  osc2tune = &addSlider(f, "osc2tune", Rect::sized(122, 106, 99, 6), cHSlider, 101, 50, sld2, 5);
  lfoamount = &addSlider(f, "lfoamount", Rect::sized(25, 256, 100, 6), cHSlider, 100, 0, sld3, 5);
  lforate = &addSlider(f, "lforate", Rect::sized(25, 273, 100, 6), cHSlider, 100, 0, sld3, 5);
  vcaattack = &addSlider(f, "vcaattack", Rect::sized(31, 146, 6, 48), cVSlider, 48, 0, sld4, 0);
  vcadecay = &addSlider(f, "vcadecay", Rect::sized(50, 146, 6, 48), cVSlider, 48, 0, sld4, 0);
  vcasustain = &addSlider(f, "vcasustain", Rect::sized(70, 146, 6, 48), cVSlider, 48, 0, sld4, 0);
  vcarelease = &addSlider(f, "vcarelease", Rect::sized(90, 146, 6, 48), cVSlider, 48, 0, sld4, 0);
  outvol = &addSlider(f, "outvol", Rect::sized(133, 281, 84, 12), cHSlider, 77, 100, sld5, 5);
  osc2wave = &addButton(f, "osc2wave", Rect::sized(126, 67, 46, 10), 3, b2, false, kOwnerHandled);
  vcftype = &addButton(f, "vcftype", Rect::sized(170, 181, 46, 10), 3, b3, false, kOwnerHandled);
  lfodest = &addButton(f, "lfodest", Rect::sized(25, 285, 95, 10), 7, b4, false, kOwnerHandled);

  oscmix = &addImage(f, "oscmix", Rect::sized(16, 120, 206, 12), gui::Cursor::cross);
  mixer = &addImage(f, "mixer", Rect::sized(kMixMarkerLeft, 131, 7, 5));
  mixer->setPicture(artwork::mixMarker());
  mixer->setTransparentColor(gui::colors::aqua);

  fatmama = &addButton(f, "fatmama", Rect::sized(134, 256, 26, 13), 1, o1, true, 0);
  phase = &addButton(f, "phase", Rect::sized(162, 256, 26, 13), 1, o2, true, 0);
  glide = &addButton(f, "glide", Rect::sized(190, 256, 26, 13), 1, o3, true, 0);

  d = &f.add<gui::Label>(Rect::sized(20, 309, 100, 11), "description goes here");
  d->name.assign(1, 'd');  // (a one-letter literal trips a false -Wrestrict in GCC 12)
  d->setAutoSize(false);
  d->setSize(100, 11);
  d->setFont(gui::Font(-9, gui::FontWeight::bold));
  d->setTextColor(gui::colors::white);

  Image1 = &addImage(f, "Image1", Rect::sized(152, 304, 73, 41), gui::Cursor::hand);
  Image2 = &addImage(f, "Image2", Rect::sized(16, 16, 209, 25), gui::Cursor::hand);
  Image3 = &addImage(f, "Image3", Rect::sized(32, 324, 65, 14), gui::Cursor::hand);
  info = &addImage(f, "info", Rect::sized(243, 0, 239, 358));
  info->setPicture(artwork::infoScreen());
  info->hide();
  sizeArea = &addImage(f, "sizeArea",
                       Rect::sized((kWidth - artwork::kZoomAreaWidth) / 2, 264, artwork::kZoomAreaWidth,
                                   artwork::kZoomAreaHeight),
                       gui::Cursor::hand);
  sizeArea->hide();
  help = &addImage(f, "help", Rect::sized(481, -6, 239, 358));
  help->setPicture(artwork::helpScreen());
  help->hide();

  version = &f.add<gui::Label>(Rect::sized(93, 330, 64, 14), "VERSION 2.0");
  version->name = "version";
  // The label takes the width of its text: in the embedded face the designed
  // 64 pixels would cut the last character off.
  version->setFont(gui::Font(-11, gui::FontWeight::bold));
  version->setTextColor(gui::colors::white);
  version->hide();

  Image4 = &addImage(f, "Image4", Rect::sized(16, 40, 209, 17), gui::Cursor::hand);

  sliders = {{
      {osc1fine, kFin1, 100.0f, "CC Osc1Fine"},
      {osc1tune, kTun1, 100.0f, "CC Osc1Tune"},
      {osc2fine, kFin2, 100.0f, "CC Osc2Fine"},
      {osc2tune, kTun2, 100.0f, "CC Osc2Tune"},
      {vcfcutoff, kCut, 100.0f, "CC Cutoff"},
      {vcfresonance, kReso, 100.0f, "CC Resonance"},
      {lfoamount, kLFOAmnt, 100.0f, "CC LFOAmount"},
      {lforate, kLFORate, 100.0f, "CC LFORate"},
      {vcaattack, kAAt, 48.0f, "CC Attack"},
      {vcadecay, kADe, 48.0f, "CC Decay"},
      {vcasustain, kASu, 48.0f, "CC Sustain"},
      {vcarelease, kARe, 48.0f, "CC Release"},
      {outvol, kOutVol, 77.0f, "CC OutVol"},
  }};
}

void TPluginEditorWindow::FormCreate() {
  bg->setTransparentColor(gui::colors::aqua);
  outvol->SliderOffset = 5;
  info->setBounds(Rect::sized(0, 0, info->width(), info->height()));
  help->setBounds(Rect::sized(0, 0, help->width(), help->height()));
  d->setText({});
  drawSizeArea();

  platform::SettingsStore& store = plugin.settings();
  if (store.readInteger(kSettingsSubkey, kSettingDrawMode, 0) == 0) {
    for (int pad = 1; pad <= 3; ++pad) markers[static_cast<std::size_t>(pad)]->setPicture(markers[0]->picture());
  } else {
    for (int pad = 0; pad <= 2; ++pad) markers[static_cast<std::size_t>(pad)]->setPicture(markers[3]->picture());
  }

  for (const SliderBinding& slider : sliders) {
    slider.dial->ControllerEntry = static_cast<std::int16_t>(store.readInteger(kSettingsSubkey, slider.settingName, 0));
  }
  for (std::size_t pad = 0; pad < 4; ++pad) padEntries[pad] = store.readInteger(kSettingsSubkey, kPadSettings[pad], 0);
  mixEntry = store.readInteger(kSettingsSubkey, kMixSetting, 0);
}

void TPluginEditorWindow::copyState() {
  for (int i = 0; i < kMirrored; ++i) setMirror(i, plugin.getParameter(i));
}

void TPluginEditorWindow::show() {
  UpdaterTimer();
  host.show();
}

void TPluginEditorWindow::setControl(TDial& dial, LastRequest& last, std::int32_t position) {
  if (position == dial.Value) return;
  // A slider shows the nearest of its frames, so its value may come out a
  // step off what was asked; asking again would change nothing.
  if (position == last.asked && dial.Value == last.shown) return;
  dial.SetPosition(position);
  last.asked = position;
  last.shown = dial.Value;
}

void TPluginEditorWindow::UpdaterTimer() {
  updating = true;
  std::size_t slot = 0;
  const auto follow = [&](TDial* dial, int parameter, float scale) {
    setControl(*dial, lastRequests[slot++], nearest(mirror(parameter) * scale));
  };
  follow(osc1fine, kFin1, 100.0f);
  follow(osc1tune, kTun1, 100.0f);
  follow(osc2fine, kFin2, 100.0f);
  follow(osc2tune, kTun2, 100.0f);
  follow(vcfcutoff, kCut, 100.0f);
  follow(vcfresonance, kReso, 100.0f);
  follow(lfoamount, kLFOAmnt, 100.0f);
  follow(lforate, kLFORate, 100.0f);
  follow(vcaattack, kAAt, 48.0f);
  follow(vcadecay, kADe, 48.0f);
  follow(vcasustain, kASu, 48.0f);
  follow(vcarelease, kARe, 48.0f);
  follow(outvol, kOutVol, 77.0f);
  follow(osc1wave, kWav1, 10.0f);
  follow(osc2wave, kWav2, 10.0f);
  follow(vcftype, kFilt, 10.0f);
  follow(lfodest, kLFODest, 100.0f);
  follow(phase, kPhase, 1.0f);
  follow(fatmama, kFat, 1.0f);
  follow(glide, kGlide, 1.0f);

  mixer->setLeft(nearest(mirror(kMix) * static_cast<float>(kMixTravel)) + kMixMarkerLeft);
  for (std::size_t pad = 0; pad < 4; ++pad) {
    const float level = mirror(kPadParameters[pad]);
    markers[pad]->setTop(nearest(level * static_cast<float>(kPadTravel)) + pads[pad]->top() - 3);
  }

  colourFactors = {1.0f - mirror(kPWM), 1.0f - mirror(kFM), 1.0f - mirror(kTube), 1.0f - mirror(kRMod)};
  const float p = colourFactors[0], f = colourFactors[1], t = colourFactors[2], r = colourFactors[3];
  const gui::Color colour =
      gui::rgb(nearest(r * p * 255.0f), nearest(r * f * 255.0f), nearest(r * t * 255.0f));
  if (Shape5->fill() != colour) Shape5->setFill(colour);
  updating = false;
}

void TPluginEditorWindow::setStatus(std::string text) { d->setText(std::move(text)); }

// ---------------------------------------------------------------------------
// Handlers

void TPluginEditorWindow::wireHandlers() {
  for (const SliderBinding& slider : sliders) {
    slider.dial->OnChange = [this, &slider](TDial&) { sliderChange(slider); };
    slider.dial->onMouseMove = [this](gui::Component& sender, const MouseEvent&) {
      setStatus(sliderStatus(static_cast<TDial&>(sender)));
    };
  }

  fatmama->OnChange = [this](TDial& sender) { switchChange(sender, kFat); };
  phase->OnChange = [this](TDial& sender) { switchChange(sender, kPhase); };
  glide->OnChange = [this](TDial& sender) { switchChange(sender, kGlide); };
  fatmama->onMouseDown = [this](gui::Component&, const MouseEvent& e) { interpolationGesture(e, 0.0f); };
  phase->onMouseDown = [this](gui::Component&, const MouseEvent& e) { interpolationGesture(e, 0.1f); };
  glide->onMouseDown = [this](gui::Component&, const MouseEvent& e) { interpolationGesture(e, 0.2f); };
  const auto onOff = [](const char* what, float value) {
    return std::string(what) + (value > 0.0f ? "on" : "off");
  };
  fatmama->onMouseMove = [this, onOff](gui::Component&, const MouseEvent&) {
    setStatus(onOff("fat.mode: ", mirror(kFat)));
  };
  phase->onMouseMove = [this, onOff](gui::Component&, const MouseEvent&) {
    setStatus(onOff("phase.invert: ", mirror(kPhase)));
  };
  glide->onMouseMove = [this, onOff](gui::Component&, const MouseEvent&) {
    setStatus(onOff("glide.mode: ", mirror(kGlide)));
  };

  osc1wave->onMouseDown = [this](gui::Component&, const MouseEvent& e) { selectorMouseDown(*osc1wave, kWav1, e); };
  osc2wave->onMouseDown = [this](gui::Component&, const MouseEvent& e) { selectorMouseDown(*osc2wave, kWav2, e); };
  vcftype->onMouseDown = [this](gui::Component&, const MouseEvent& e) { selectorMouseDown(*vcftype, kFilt, e); };
  lfodest->onMouseDown = [this](gui::Component&, const MouseEvent& e) { lfodestMouseDown(e); };
  osc1wave->onMouseMove = [this](gui::Component&, const MouseEvent& e) {
    static constexpr std::array<const char*, 4> texts = {"osc1.wave: sine", "osc1.wave: saw", "osc1.wave: square",
                                                         "osc1.wave: triangle"};
    setStatus(texts[static_cast<std::size_t>(fourWayChoice(e.x))]);
  };
  osc2wave->onMouseMove = [this](gui::Component&, const MouseEvent& e) {
    static constexpr std::array<const char*, 4> texts = {"osc2.wave: sine", "osc2.wave: saw", "osc2.wave: square",
                                                         "osc2.wave: noise"};
    setStatus(texts[static_cast<std::size_t>(fourWayChoice(e.x))]);
  };
  vcftype->onMouseMove = [this](gui::Component&, const MouseEvent& e) {
    static constexpr std::array<const char*, 4> texts = {"flt.type: LP", "flt.type: HP", "flt.type: S1",
                                                         "flt.type: S2"};
    setStatus(texts[static_cast<std::size_t>(fourWayChoice(e.x))]);
  };
  lfodest->onMouseMove = [this](gui::Component&, const MouseEvent& e) {
    static constexpr std::array<const char*, 8> texts = {
        "lfo.dest: osc.mix",  "lfo.dest: osc1.fine", "lfo.dest: flt.cutoff", "lfo.dest: flt.reso",
        "lfo.dest: effect.1", "lfo.dest: effect.2",  "lfo.dest: effect.3",   "lfo.dest: effect.4"};
    setStatus(texts[static_cast<std::size_t>(eightWayChoice(e.x))]);
  };

  for (int pad = 1; pad <= 4; ++pad) {
    gui::Image& shape = *pads[static_cast<std::size_t>(pad - 1)];
    shape.onMouseMove = [this, pad](gui::Component&, const MouseEvent& e) { ShapeMouseMove(pad, e); };
    shape.onMouseDown = [this, pad](gui::Component&, const MouseEvent& e) { ShapeMouseDown(pad, e); };
    shape.onMouseUp = [this, pad](gui::Component&, const MouseEvent& e) { ShapeMouseUp(pad, e); };
  }
  oscmix->onMouseMove = [this](gui::Component&, const MouseEvent& e) { oscmixMouseMove(e); };
  oscmix->onMouseDown = [this](gui::Component&, const MouseEvent& e) { oscmixMouseDown(e); };
  oscmix->onMouseUp = [this](gui::Component&, const MouseEvent& e) { oscmixMouseUp(e); };

  bg->onMouseMove = [this](gui::Component&, const MouseEvent&) { setStatus({}); };
  Shape5->onMouseMove = [this](gui::Component&, const MouseEvent&) { setStatus("silly color box :-)"); };
  Image1->onMouseMove = [this](gui::Component&, const MouseEvent&) { setStatus(kRepositoryText); };
  Image2->onMouseMove = [this](gui::Component&, const MouseEvent&) { setStatus(kLicenceText); };
  Image3->onMouseMove = [this](gui::Component&, const MouseEvent& e) {
    setStatus(e.x >= 32 ? "help.screen" : "info.screen");
  };
  Image4->onMouseMove = [this](gui::Component&, const MouseEvent&) { setStatus("randomize preset"); };

  Image1->onClick = [this](gui::Component&) { showInfo(); };
  Image2->onClick = [this](gui::Component&) { showInfo(); };
  Image3->onMouseUp = [this](gui::Component&, const MouseEvent& e) { Image3MouseUp(e); };
  info->onClick = [this](gui::Component&) {
    info->hide();
    version->hide();
    sizeArea->hide();
  };
  sizeArea->onMouseUp = [this](gui::Component&, const MouseEvent& e) { sizeAreaMouseUp(e); };
  help->onClick = [this](gui::Component&) { help->hide(); };
  Image4->onClick = [this](gui::Component&) { Image4Click(); };
}

std::string TPluginEditorWindow::sliderStatus(TDial& dial) const {
  if (&dial == outvol) return "out.volume: " + percent(mirror(kOutVol));
  if (&dial == lfoamount) return "lfo.depth: " + percent(mirror(kLFOAmnt));
  if (&dial == lforate) return "lfo.speed: " + percent(mirror(kLFORate));
  if (&dial == vcfcutoff) return "flt.cutoff: " + percent(mirror(kCut));
  if (&dial == vcfresonance) return "flt.reso: " + percent(mirror(kReso));
  const auto fine = [this](int parameter) { return std::to_string(nearest((mirror(parameter) - 0.5f) * 200.0f)) + "%"; };
  const auto tune = [this](int parameter) { return std::to_string(nearest((mirror(parameter) - 0.5f) * 48.0f)); };
  if (&dial == osc1fine) return "osc1.fine: " + fine(kFin1);
  if (&dial == osc1tune) return "osc1.tune: " + tune(kTun1);
  if (&dial == osc2fine) return "osc2.fine: " + fine(kFin2);
  if (&dial == osc2tune) return "osc2.tune: " + tune(kTun2);
  if (&dial == vcaattack) return "amp.attack: " + percent(mirror(kAAt));
  if (&dial == vcadecay) return "amp.decay: " + percent(mirror(kADe));
  if (&dial == vcasustain) return "amp.sustain: " + percent(mirror(kASu));
  return "amp.release: " + percent(mirror(kARe));
}

void TPluginEditorWindow::sliderChange(const SliderBinding& binding) {
  if (updating) return;
  TDial& dial = *binding.dial;
  if (dial.ControllerChanged) {
    plugin.settings().writeInteger(kSettingsSubkey, binding.settingName, dial.ControllerEntry);
    dial.ControllerChanged = false;
    plugin.setParameter(kCommandReloadControllers, 1.0f);
    return;
  }
  setMirror(binding.parameter, static_cast<float>(dial.Value) / binding.divisor);
  plugin.setParameterAutomated(binding.parameter, mirror(binding.parameter));
}

void TPluginEditorWindow::switchChange(TDial& sender, int parameter) {
  if (updating) return;
  setMirror(parameter, static_cast<float>(sender.Value));
  plugin.setParameterAutomated(parameter, mirror(parameter));
}

void TPluginEditorWindow::interpolationGesture(const MouseEvent& event, float mode) {
  if (held(event, gui::kShift | gui::kLeft)) plugin.setParameter(kCommandInterpolation, mode);
}

void TPluginEditorWindow::selectorMouseDown(TDial& sender, int parameter, const MouseEvent& event) {
  if (updating) return;
  const int position = fourWayChoice(event.x);
  sender.SetPosition(position);
  setMirror(parameter, static_cast<float>(position) / 10.0f);
  plugin.setParameterAutomated(parameter, mirror(parameter));
}

void TPluginEditorWindow::lfodestMouseDown(const MouseEvent& event) {
  if (held(event, gui::kLeft)) {
    const int position = eightWayChoice(event.x);
    lfodest->SetPosition(position);
    setMirror(kLFODest, static_cast<float>(position) / 100.0f);
    plugin.setParameterAutomated(kLFODest, mirror(kLFODest));
  } else if (held(event, gui::kShift | gui::kLeft)) {
    const int x = event.x;
    // The fifth field asks for 0.4, which the engine stores as triangle.
    const float wave = x <= 11 ? 0.0f : x <= 23 ? 0.1f : x <= 35 ? 0.2f : x <= 47 ? 0.3f : x <= 59 ? 0.4f : 0.0f;
    plugin.setParameter(kLFOWav, wave);
  }
}

void TPluginEditorWindow::ShapeMouseMove(int pad, const MouseEvent& event) {
  const std::size_t i = static_cast<std::size_t>(pad - 1);
  const int parameter = kPadParameters[i];
  const int y = std::clamp(event.y, 0, kPadTravel);
  if (held(event, gui::kLeft)) {
    setMirror(parameter, static_cast<float>(y) / static_cast<float>(kPadTravel));
    plugin.setParameterAutomated(parameter, mirror(parameter));
  }
  markers[i]->setTop(nearest(mirror(parameter) * static_cast<float>(kPadTravel)) + pads[i]->top() - 3);
  setStatus("effect." + std::to_string(pad) + ": " + percent(mirror(parameter)));
}

void TPluginEditorWindow::ShapeMouseDown(int pad, const MouseEvent& event) {
  if (held(event, gui::kLeft)) {
    ShapeMouseMove(pad, event);
  } else {
    // Shift+left and right are carried out by the release handler; the real
    // release that follows finds the button no longer held.
    ShapeMouseUp(pad, event);
  }
}

void TPluginEditorWindow::ShapeMouseUp(int pad, const MouseEvent& event) {
  if (held(event, gui::kShift | gui::kLeft)) {
    assignController(pad);
  } else if (held(event, gui::kRight)) {
    const int parameter = kPadParameters[static_cast<std::size_t>(pad - 1)];
    setMirror(parameter, 0.0f);
    plugin.setParameterAutomated(parameter, 0.0f);
  }
}

void TPluginEditorWindow::oscmixMouseMove(const MouseEvent& event) {
  const int x = std::clamp(event.x, 0, kMixTravel);
  if (held(event, gui::kLeft)) {
    setMirror(kMix, static_cast<float>(x) / static_cast<float>(kMixTravel));
    plugin.setParameterAutomated(kMix, mirror(kMix));
  }
  const float mix = mirror(kMix);
  mixer->setLeft(nearest(mix * static_cast<float>(kMixTravel)) + kMixMarkerLeft);
  setStatus("osc.mix: " + std::to_string(nearest((1.0f - mix) * 100.0f)) + ":" + std::to_string(nearest(mix * 100.0f)));
}

void TPluginEditorWindow::oscmixMouseDown(const MouseEvent& event) {
  if (held(event, gui::kLeft)) oscmixMouseMove(event);
}

void TPluginEditorWindow::oscmixMouseUp(const MouseEvent& event) {
  if (held(event, gui::kShift | gui::kLeft)) assignController(0);
  if (event.button == gui::MouseButton::right) {
    setMirror(kMix, 0.5f);
    plugin.setParameterAutomated(kMix, 0.5f);
  }
}

platform::Handler TPluginEditorWindow::assignController(int control) {
  std::int32_t& entry = control == 0 ? mixEntry : padEntries[static_cast<std::size_t>(control - 1)];
  const char* settingName = control == 0 ? kMixSetting : kPadSettings[static_cast<std::size_t>(control - 1)];
  // A slot that learned its controller since the editor opened shows what it
  // learned, so confirming the box keeps it rather than asking to learn again.
  for (int slot = 1; slot <= kNumControllerSlots; ++slot) {
    if (std::string_view(kControllerSlots[static_cast<std::size_t>(slot - 1)].settingName) != settingName) continue;
    const std::int32_t live = plugin.controllerEntry(slot);
    if ((entry == kSlotLearn || entry == -kSlotLearn) && live != entry) entry = live;
  }
  std::string answer;
  {
    // Hosts that take the keyboard would swallow the typing otherwise.
    platform::KeyboardHookScope hook;
    answer = co_await platform::inputBox(kAssignCaption, kAssignPrompt, std::to_string(entry));
  }
  const std::optional<std::int32_t> typed = controls::parseInteger(answer);
  if (!typed) {
    co_await platform::systemMessageBoxes().show(controls::notAnIntegerMessage(answer), "Error",
                                                 platform::MessageButtons::ok, platform::MessageIcon::error);
    co_return;
  }
  entry = *typed;
  plugin.settings().writeInteger(kSettingsSubkey, settingName, entry);
  plugin.setParameter(kCommandReloadControllers, 1.0f);
}

void TPluginEditorWindow::showInfo() {
  info->show();
  version->show();
  sizeArea->show();
}

void TPluginEditorWindow::sizeAreaMouseUp(const MouseEvent& event) {
  const int zoom = artwork::zoomChoiceAt({event.x, event.y});
  if (zoom == 0 || zoom == chosenZoom) return;
  chosenZoom = zoom;
  plugin.settings().writeInteger(kSettingsSubkey, platform::kZoomSettingName, zoom);
  // The window grows or shrinks at once only when the host resizes its own
  // window to match; otherwise the stored choice waits for the next open.
  char sizeWindow[] = "sizeWindow";
  if (zoom != host.zoom() && plugin.canHostDo(sizeWindow) == 1 &&
      plugin.sizeWindow(form().width() * zoom, form().height() * zoom)) {
    host.setZoom(zoom);
  }
  drawSizeArea();
}

void TPluginEditorWindow::drawSizeArea() {
  sizeArea->setPicture(artwork::zoomArea(chosenZoom, chosenZoom != host.zoom()));
}

void TPluginEditorWindow::Image3MouseUp(const MouseEvent& event) {
  if (!Rect::sized(0, 0, Image3->width(), Image3->height()).contains({event.x, event.y})) return;
  if (event.x >= 32) {
    help->show();
  } else {
    showInfo();
  }
}

void TPluginEditorWindow::Image4Click() {
  // Every value goes to the current program without the host recording it.
  const auto uniform = [this] { return static_cast<float>(plugin.random(1 << 24)) / 16777216.0f; };
  const auto R = [this](int n) { return static_cast<float>(plugin.random(n)); };
  for (int i = 0; i < kNumParams; ++i) {
    const float u = uniform();
    if (i == kTun1 || i == kTun2 || i == kRMod || i == kPWM || i == kFM || i == kTube) continue;
    float value = u;
    if (i == kWav1 || i == kWav2 || i == kFilt) {
      value = R(4) / 10.0f;
    } else if (i == kAAt || i == kASu) {
      value = (R(31) + 70.0f) / 100.0f;
    } else if (i == kLFODest) {
      value = R(8) / 100.0f;
    } else if (i == kOutVol) {
      value = 1.0f;
    } else if (i == kLFOWav) {
      value = R(5) / 10.0f;
    }
    plugin.setParameter(i, value);
  }
  const float u = uniform();
  for (const int effect : {kRMod, kPWM, kFM, kTube, kFat}) plugin.setParameter(effect, 0.0f);
  plugin.setParameter(kRMod + plugin.random(4), u);
  for (const int toggle : {kGlide, kFat, kPhase}) plugin.setParameter(toggle, R(2));
}

int editorZoom(platform::SettingsStore& settings, int systemZoom) {
  return platform::zoomFromSettings(settings, kSettingsSubkey, systemZoom);
}

EditorWindowFactory editorWindowFactory() {
  return {[](APlugin& plugin, void* parentWindow, bool wide, int zoom) -> std::unique_ptr<EditorWindow> {
            return std::make_unique<TPluginEditorWindow>(plugin, parentWindow, wide, zoom);
          },
          [](APlugin& plugin, void* parentWindow) {
            return platform::openingZoom(plugin.settings(), kSettingsSubkey, parentWindow);
          }};
}

}  // namespace marrowglint
