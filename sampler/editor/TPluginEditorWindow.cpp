#include "sampler/editor/TPluginEditorWindow.h"

#include <algorithm>

#include "controls/NumberText.h"
#include "gui/Form.h"
#include "platform/EditorZoom.h"
#include "platform/InputBoxService.h"
#include "platform/KeyboardHookScope.h"
#include "platform/MessageBoxService.h"
#include "platform/PopupMenuService.h"
#include "sampler/editor/DisplayTexts.h"
#include "sampler/editor/Layout.h"
#include "sampler/editor/NoteNames.h"
#include "sampler/editor/artwork/Artwork.h"
#include "sampler/editor/artwork/Palette.h"
#include "sampler/editor/artwork/ZoomArea.h"
#include "sampler/engine/APlugin.h"

namespace sarnel {

namespace {

namespace L = layout;
// Gestures compare the exact held set: the double-click mark counts too.
using gui::kLeft, gui::kRight, gui::kCtrl;
using gui::MouseButton;
using gui::MouseEvent;

constexpr int kDisplayWidth = 424;
constexpr int kDisplayHeight = 91;
constexpr int kMarkerSpan = 423;  // the last column a marker can stand on
constexpr int kWaveformColumns = 425;
constexpr int kWaveformCentre = 45;
constexpr int kWaveformScale = 40;
// Rows far outside the display are limited, so a wild sample value keeps
// the pen's walk short; none of those rows is ever visible.
constexpr int kWaveformRowLimit = 10000;

// Engine commands the buttons send.
constexpr int kCommandPlay = 950;
constexpr int kCommandPanic = 999;
constexpr int kCommandAssignController = 1000;


// The fonts of the window: the default face (white), the bold labels and the
// regular texts of the file name and the about panel.
gui::Font boldFont() { return gui::Font(-11, gui::FontWeight::bold); }
gui::Font plainFont() { return gui::Font(-11); }

void setLabelText(gui::Label& label, std::string_view text) {
  if (label.text() != text) label.setText(std::string(text));
}

gui::Label& boldLabel(gui::Component& parent, gui::Point at, std::string text) {
  auto& label = parent.add<gui::Label>(gui::Rect::sized(at.x, at.y, 0, 0), std::move(text));
  label.setFont(boldFont());
  label.setTextColor(artwork::kInk);
  label.setBackground(std::nullopt);
  return label;
}

gui::Label& darkLabel(gui::Component& parent, gui::Point at, std::string text, const gui::Font& font) {
  auto& label = parent.add<gui::Label>(gui::Rect::sized(at.x, at.y, 0, 0), std::move(text));
  label.setFont(font);
  label.setTextColor(artwork::kDarkText);
  label.setBackground(std::nullopt);
  return label;
}

// The about panel's face: a raised field that the panel's children lie on.
class AboutPanel final : public gui::Panel {
 public:
  explicit AboutPanel(gui::Rect bounds) : gui::Panel(bounds) {}
  void paint(gui::Canvas& canvas) override {
    canvas.fillRect({0, 0, width(), height()}, artwork::kFace);
    canvas.frameRect({0, 0, width(), height()}, artwork::kInk);
    canvas.frameRect({2, 2, width() - 2, height() - 2}, artwork::kField);
  }
};

// `mainmenu`: the file commands.
std::vector<platform::MenuItem> mainmenuItems() {
  return {{"Load WAV sample..."}, {"Load tuning file..."}, {"Reset tuning..."}};
}

}  // namespace

// Creation.

TPluginEditorWindow::TPluginEditorWindow(APlugin& owner, void* parentWindow, int zoom)
    : plugin(owner),
      chosenZoom(zoom),
      host(parentWindow, std::make_unique<gui::Form>(kWidth, kHeight, artwork::kBackground), zoom) {
  FormCreate();
  openSteps();
}

TPluginEditorWindow::~TPluginEditorWindow() { FormDestroy(); }

void TPluginEditorWindow::FormCreate() {
#ifdef _WIN32
  mplay = platform::createMediaPlayer();
#else
  // No media service to rely on: pre-listen plays through the instrument's
  // own output, so it reaches whatever the host plays to.
  mplay = platform::createMediaPlayer(plugin.preListen());
#endif
  readPreListenSetting();
  host.window().acceptFiles([this](const std::vector<std::string>& files) { filesDropped(files); });
  led.addStrip(artwork::drawLedStrip());
  createComponents();
  wireGestures();
  about->setBounds(L::kAbout);
  Panel2->setBounds(L::kLfoPage);
  Panel3->setBounds(L::kLfoPage);
  ENVControl1->setBounds(L::kENVControl1);
  Panel2->hide();
  Panel3->hide();
  ENVControl1->show();
  DIBTimer1.setInterval(100);
  DIBTimer1.setOnTimer([this](controls::TDIBTimer&) { DIBTimer1Timer(); });
}

void TPluginEditorWindow::FormDestroy() {
  DIBTimer1.setEnabled(false);
  host.window().acceptFiles(nullptr);
  writePreListenSetting();
  mplay->close();
}

void TPluginEditorWindow::createComponents() {
  gui::Form& f = form();
  // Image names and the window's caption for the record.
  f.name = "SARNEL";

  Image1 = &f.add<gui::Image>(L::kImage1);
  Image1->setPicture(artwork::drawImage1());
  Image12 = &f.add<gui::Image>(L::kImage12);
  Image12->setPicture(artwork::drawImage12());
  Image12->setCursor(gui::Cursor::hand);

  wdisplay = &f.add<gui::Image>(L::kWdisplay);
  wdisplay->setPicture(gui::Canvas(kDisplayWidth, kDisplayHeight, artwork::kBackground));
  wdisplay->setCursor(gui::Cursor::hand);
  temp = &f.add<gui::Image>(L::kTemp);
  temp->setPicture(gui::Canvas(kDisplayWidth, kDisplayHeight, artwork::kBackground));
  temp->hide();
  fname = &darkLabel(f, L::kFname, "(no file  loaded)", plainFont());

  auto gauge = [&](gui::Component& parent, const gui::Rect& bounds, int maxValue, bool vertical) {
    auto& g = parent.add<controls::TVornGauge>(bounds);
    g.setKind(vertical ? controls::gkVerticalBar : controls::gkHorizontalBar);
    g.setShowText(false);
    g.setBorderStyle(controls::bsNone);
    g.setCursor(gui::Cursor::cross);
    g.setColor(artwork::kInk);
    g.setForeColor(artwork::kInk);
    g.setBorderColor(artwork::kInk);
    g.setBackColor(artwork::kBackground);
    g.setMaxValue(maxValue);
    g.setRangeMin(0);
    g.setRangeMax(0);
    return &g;
  };
  pitcher = gauge(f, L::kPitcher, 185, false);
  pitcher->setCenterOrigin(true);
  pitcher->setColor(artwork::kPitchBar);
  pitcher->setBorderColor(artwork::kPitchOutline);
  loop = gauge(f, L::kLoop, 185, false);
  filter = gauge(f, L::kFilter, 185, false);
  reso = gauge(f, L::kReso, 185, false);
  delay = gauge(f, L::kDelay, 185, false);
  feedback = gauge(f, L::kFeedback, 185, false);
  volume = gauge(f, L::kVolume, 185, true);

  reckey = &boldLabel(f, L::kReckey, "C# 4");
  reckey->setCursor(gui::Cursor::sizeNS);
  lmode = &boldLabel(f, L::kLmode, std::string(loopModeLabel(0.0f)));
  lmode->setCursor(gui::Cursor::hand);

  auto button = [&](gui::Component& parent, const gui::Rect& bounds) {
    auto& b = parent.add<controls::TDial>(bounds);
    b.Style = controls::cButton;
    b.ButtonStyle = controls::bLoop;
    b.ValueMin = 0;
    b.ValueMax = 1;
    b.EnableRightButton = true;
    b.ImageList = &led;
    b.SetPosition(0);
    return &b;
  };
  interpx = button(f, L::kInterpx);
  portx = button(f, L::kPortx);
  Image11 = &f.add<gui::Image>(L::kImage11);

  auto handImage = [&](const gui::Rect& bounds) {
    auto& image = f.add<gui::Image>(bounds);
    image.setCursor(gui::Cursor::hand);
    return &image;
  };
  Image2 = handImage(L::kImage2);
  Image3 = handImage(L::kImage3);
  Image4 = handImage(L::kImage4);
  Image5 = handImage(L::kImage5);
  desc = &boldLabel(f, L::kDesc, "pitch");
  Image7 = handImage(L::kImage7);
  Image8 = handImage(L::kImage8);
  Image9 = handImage(L::kImage9);
  selector = &f.add<gui::Image>(L::kSelector);
  selector->setPicture(artwork::drawSelector());

  ENVControl1 = &f.add<controls::TENVControl>(L::kENVControl1);
  ENVControl1->setColor(artwork::kBackground);
  ENVControl1->setEdge(3);
  ENVControl1->setGridCols(8);
  ENVControl1->setGridRows(8);
  ENVControl1->setNodeSize(3);
  ENVControl1->setGridColor(artwork::kEnvelopeGrid);
  ENVControl1->setLineColor(artwork::kEnvelopeLine);
  ENVControl1->setNodeColor(artwork::kEnvelopeNode);
  ENVControl1->setBackgndImage(artwork::drawENVControl1Background(L::kENVControl1.width() - 2 * ENVControl1->Edge(),
                                                                  L::kENVControl1.height() - 2 * ENVControl1->Edge()));
  ENVControl1->setNodes("(0, 0), (20, 255), (80, 150), (190, 150), (255, 0)");

  Panel2 = &f.add<gui::Panel>(L::kLfoPage);
  createLfoPage(*Panel2, 1);
  Panel3 = &f.add<gui::Panel>(L::kLfoPage);
  createLfoPage(*Panel3, 2);

  gauges = {
      {pitcher, -1, 0, 185, false}, {loop, 13, 14, 185, false},   {filter, 7, 8, 185, false},
      {reso, -1, 9, 185, false},    {delay, -1, 10, 185, false},  {feedback, -1, 11, 185, false},
      {volume, -1, 12, 185, true},  {rate1, -1, 17, 114, false},  {depth1, 18, 19, 114, false},
      {rate2, -1, 23, 114, false},  {depth2, 24, 25, 114, false},
  };

  about = static_cast<gui::Panel*>(&f.adopt(std::make_unique<AboutPanel>(L::kAbout)));
  createAbout();
  nameComponents();
}

// Each component answers to its field's name, as the layout calls it, so tests
// and the manual's pictures can find it.
void TPluginEditorWindow::nameComponents() {
  const std::pair<gui::Component*, const char*> named[] = {
      {Image1, "Image1"},     {Image12, "Image12"},   {wdisplay, "wdisplay"},   {temp, "temp"},
      {fname, "fname"},       {pitcher, "pitcher"},   {loop, "loop"},           {filter, "filter"},
      {reso, "reso"},         {delay, "delay"},       {feedback, "feedback"},   {volume, "volume"},
      {reckey, "reckey"},     {lmode, "lmode"},       {interpx, "interpx"},     {portx, "portx"},
      {Image11, "Image11"},   {Image2, "Image2"},     {Image3, "Image3"},       {Image4, "Image4"},
      {Image5, "Image5"},     {desc, "desc"},         {Image7, "Image7"},       {Image8, "Image8"},
      {Image9, "Image9"},     {selector, "selector"}, {ENVControl1, "ENVControl1"}, {Panel2, "Panel2"},
      {Panel3, "Panel3"},     {about, "about"},       {Image6, "Image6"},       {wave1, "wave1"},
      {dest1, "dest1"},       {sync1x, "sync1x"},     {rate1, "rate1"},         {depth1, "depth1"},
      {Image10, "Image10"},   {wave2, "wave2"},       {dest2, "dest2"},         {sync2x, "sync2x"},
      {rate2, "rate2"},       {depth2, "depth2"},     {Image13, "Image13"},     {Label1, "Label1"},
      {Label2, "Label2"},     {Label3, "Label3"},     {Label4, "Label4"},       {Label5, "Label5"},
      {sizeArea, "sizeArea"},
  };
  for (const auto& [component, name] : named) {
    if (component != nullptr) component->name = name;
  }
}

void TPluginEditorWindow::createLfoPage(gui::Panel& page, int lfo) {
  auto& background = page.add<gui::Image>(gui::Rect::sized(0, 0, L::kLfoPictureWidth, L::kLfoPictureHeight));
  background.setPicture(artwork::drawLfoPage());
  auto& wave = boldLabel(page, L::kWave, std::string(lfoWaveLabel(0.0f)));
  wave.setCursor(gui::Cursor::hand);
  auto& dest = boldLabel(page, L::kDest, std::string(lfoDestinationLabel(0.0f)));
  dest.setCursor(gui::Cursor::hand);
  auto& sync = page.add<controls::TDial>(L::kSync);
  sync.Style = controls::cButton;
  sync.ButtonStyle = controls::bLoop;
  sync.ValueMin = 0;
  sync.ValueMax = 1;
  sync.EnableRightButton = true;
  sync.ImageList = &led;
  sync.SetPosition(0);
  auto lfoGauge = [&](const gui::Rect& bounds) {
    auto& g = page.add<controls::TVornGauge>(bounds);
    g.setKind(controls::gkHorizontalBar);
    g.setShowText(false);
    g.setBorderStyle(controls::bsNone);
    g.setCursor(gui::Cursor::cross);
    g.setColor(artwork::kInk);
    g.setForeColor(artwork::kInk);
    g.setBorderColor(artwork::kInk);
    g.setBackColor(artwork::kBackground);
    g.setMaxValue(200);
    g.setRangeMin(0);
    g.setRangeMax(0);
    return &g;
  };
  auto* rate = lfoGauge(L::kRate);
  auto* depth = lfoGauge(L::kDepth);
  if (lfo == 1) {
    Image6 = &background;
    wave1 = &wave;
    dest1 = &dest;
    sync1x = &sync;
    rate1 = rate;
    depth1 = depth;
  } else {
    Image10 = &background;
    wave2 = &wave;
    dest2 = &dest;
    sync2x = &sync;
    rate2 = rate;
    depth2 = depth;
  }
}

void TPluginEditorWindow::createAbout() {
  about->hide();
  about->setCursor(gui::Cursor::hand);
  Image13 = &about->add<gui::Image>(L::kImage13);
  Image13->setPicture(artwork::drawImage13());
  Label4 = &darkLabel(*about, L::kLabel4, "Vornhalt presents", plainFont());
  Label3 = &darkLabel(*about, L::kLabel3, "SARNEL 2.3", gui::Font(-19, gui::FontWeight::bold));
  Label2 = &darkLabel(*about, {L::kLabel2.left, L::kLabel2.top},
                      "This plugin is a sampler unit, intended to explore the more creative side of sampling and "
                      "not \nreally meant to replace full-fledged samplers. Rather regard it as a fun and wicked "
                      "live \nperformance tool :-)\n \nFor an explanation of the features, please check the "
                      "included manual!",
                      plainFont());
  Label2->setAutoSize(false);
  Label2->setBounds(L::kLabel2);
  Label2->setAlign(gui::TextAlign::center);
  Label1 = &darkLabel(*about, L::kLabel1, "(click to close)", plainFont());
  Label5 = &darkLabel(*about, {L::kNoticeLabel.left, L::kNoticeLabel.top},
                      "Vornhalt, free software under the MIT License.\n"
                      "Text set in Liberation Sans, under the SIL Open Font License 1.1.",
                      boldFont());
  Label5->setAutoSize(false);
  Label5->setBounds(L::kNoticeLabel);
  Label5->setAlign(gui::TextAlign::center);
  Label5->setWordWrap(true);
  sizeArea = &about->add<gui::Image>(L::kSizeArea);
  drawSizeArea();
}

// Opening.

void TPluginEditorWindow::openSteps() {
  copyDisplayValues();
  fillDisplays();
  if (plugin.loadedSample() != nullptr) {
    paintWaveform();
    loopStartX = 0;
    loopEndX = 0;
  }
  interpx->SetPosition(roundEven(paramMirror[5]));
  portx->SetPosition(roundEven(paramMirror[16]));
  sync1x->SetPosition(roundEven(paramMirror[22]));
  sync2x->SetPosition(roundEven(paramMirror[28]));
}

void TPluginEditorWindow::enableDisplayTimer() { DIBTimer1.setEnabled(true); }

void TPluginEditorWindow::show() {
  if (!host.isVisible()) FormShow();
  host.show();
}

void TPluginEditorWindow::hide() { host.hide(); }

void TPluginEditorWindow::FormShow() {
  loopStartX = roundEven(static_cast<double>(paramMirror[13]) * kMarkerSpan);
  drawMarker(loopStartX);
  loopEndX = roundEven(static_cast<double>(paramMirror[14]) * kMarkerSpan);
  drawMarker(loopEndX);
}

void TPluginEditorWindow::copyDisplayValues() {
  for (int i = 0; i < kMirrorSize; ++i) paramMirror[static_cast<std::size_t>(i)] = plugin.parameterValue(i);
}

std::string TPluginEditorWindow::fileNameLabel() const { return fname->text(); }

void TPluginEditorWindow::setFileNameLabel(const std::string& text) { fname->setText(text); }

// Waveform and loop markers.

void TPluginEditorWindow::fillDisplays() {
  const gui::Rect display{0, 0, kDisplayWidth, kDisplayHeight};
  wdisplay->picture().fillRect(display, artwork::kBackground);
  wdisplay->invalidate();
  temp->picture().fillRect(display, artwork::kBackground);
}

void TPluginEditorWindow::paintWaveform() {
  gui::Canvas& clean = temp->picture();
  const gui::Rect display{0, 0, kDisplayWidth, kDisplayHeight};
  clean.fillRect(display, artwork::kBackground);
  if (const TSampleBlock* sample = plugin.loadedSample()) {
    const std::int64_t channels = std::max(1, sample->channels);
    const std::int64_t frames = sample->length / channels;
    const std::int64_t step = frames / kWaveformColumns;
    const float* values = sample->samples();
    gui::Point pen{0, kWaveformCentre};
    for (int i = 0; i < kWaveformColumns; ++i) {
      // A two-channel sample steps through whole frames and shows the left
      // value; a sample shorter than 425 frames shows its first frame.
      const float s = frames > 0 ? values[static_cast<std::size_t>(i * step * channels)] : 0.0f;
      const int row = std::clamp(kWaveformCentre - roundEven(static_cast<double>(s) * kWaveformScale),
                                 -kWaveformRowLimit, kWaveformRowLimit);
      const gui::Point to{i, row};
      clean.line(pen, to, artwork::kInk);
      pen = to;
    }
  }
  wdisplay->picture().draw(clean, display, {0, 0});
  wdisplay->invalidate();
}

void TPluginEditorWindow::drawWaveform(int endColumn) {
  paintWaveform();
  loopStartX = 0;
  loopEndX = endColumn;
}

void TPluginEditorWindow::clearWaveform() {
  const gui::Rect display{0, 0, kDisplayWidth, kDisplayHeight};
  temp->picture().fillRect(display, artwork::kBackground);
  wdisplay->picture().draw(temp->picture(), display, {0, 0});
  wdisplay->invalidate();
  loopStartX = 0;
  loopEndX = 1;
}

void TPluginEditorWindow::drawMarker(int column) {
  const gui::Rect line{column, 0, column + 1, kDisplayHeight};
  wdisplay->picture().fillRect(line, artwork::kMarker);
  wdisplay->invalidate(line);
}

void TPluginEditorWindow::moveMarker(int& column, float value) {
  const gui::Rect old{column, 0, column + 1, kDisplayHeight};
  wdisplay->picture().draw(temp->picture(), old, {column, 0});
  wdisplay->invalidate(old);
  column = roundEven(static_cast<double>(value) * kMarkerSpan);
  drawMarker(column);
}

void TPluginEditorWindow::moveLoopMarkers() {
  moveMarker(loopStartX, paramMirror[13]);
  moveMarker(loopEndX, paramMirror[14]);
}

// The refresh tick.

void TPluginEditorWindow::DIBTimer1Timer() {
  const auto& m = paramMirror;
  setLabelText(*wave1, lfoWaveLabel(m[21]));
  setLabelText(*wave2, lfoWaveLabel(m[27]));
  setLabelText(*dest1, lfoDestinationLabel(m[20]));
  setLabelText(*dest2, lfoDestinationLabel(m[26]));
  setLabelText(*lmode, loopModeLabel(m[6]));
  setLabelText(*reckey, noteName(roundEven(static_cast<double>(m[15]) * 127)));

  const int a = roundEven(static_cast<double>(m[1]) * 80);
  const int d = roundEven(static_cast<double>(m[2]) * 79);
  const int s = roundEven(static_cast<double>(m[3]) * 255);
  const int r = roundEven(static_cast<double>(m[4]) * 80);
  auto& nodes = ENVControl1->nodes;
  if (nodes.size() >= 5) {
    bool moved = false;
    if (nodes[1].x != a) {
      nodes[1].x = a;
      moved = true;
    }
    if (nodes[2].x - nodes[1].x != d + 1) {
      nodes[2].x = nodes[1].x + d + 1;
      moved = true;
    }
    if (nodes[3].y != s) {
      nodes[3].y = s;
      moved = true;
    }
    if (255 - nodes[3].x != r) {
      nodes[3].x = 255 - r;
      moved = true;
    }
    if (moved) {
      nodes[2].y = nodes[3].y;
      ENVControl1->invalidate();
    }
  }

  auto syncButton = [](controls::TDial& button, float value) {
    const int state = roundEven(value);
    if (state != button.Value) button.SetPosition(state);
  };
  syncButton(*interpx, m[5]);
  syncButton(*portx, m[16]);
  syncButton(*sync1x, m[22]);
  syncButton(*sync2x, m[28]);

  // Every gauge follows the mirror. Setting an end repaints its gauge, so
  // only ends that moved are set: a tick that finds nothing new presents
  // nothing.
  auto setLow = [](controls::TVornGauge& g, double value) {
    const int end = roundEven(value);
    if (g.RangeMin() != std::clamp(end, 0, g.width())) g.setRangeMin(end);
  };
  auto setHigh = [](controls::TVornGauge& g, double value, int length) {
    const int end = roundEven(value);
    if (g.RangeMax() != std::clamp(end, 0, length)) g.setRangeMax(end);
  };
  auto v = [&m](int i) { return static_cast<double>(m[static_cast<std::size_t>(i)]); };
  setLow(*filter, v(7) * 185);
  setHigh(*filter, v(8) * 185, filter->width());
  setLow(*depth1, v(18) * 114);
  setHigh(*depth1, v(19) * 114, depth1->width());
  setLow(*depth2, v(24) * 114);
  setHigh(*depth2, v(25) * 114, depth2->width());
  setHigh(*rate1, v(17) * 114, rate1->width());
  setHigh(*rate2, v(23) * 114, rate2->width());
  setLow(*loop, v(13) * 185);
  setHigh(*loop, v(14) * 185, loop->width());
  setHigh(*reso, v(9) * 185, reso->width());
  setHigh(*delay, v(10) * 185, delay->width());
  setHigh(*feedback, v(11) * 185, feedback->width());
  setHigh(*pitcher, v(0) * 185, pitcher->width());
  setHigh(*volume, (1.0 - v(12)) * 185, volume->height());
}

// Gestures.

void TPluginEditorWindow::automate(int parameter, float value) {
  paramMirror[static_cast<std::size_t>(parameter)] = value;
  plugin.setParameterAutomated(parameter, value);
}

void TPluginEditorWindow::hint(gui::Component& component, std::string text) {
  component.onMouseMove = [this, text = std::move(text)](gui::Component&, const MouseEvent&) {
    setLabelText(*desc, text);
  };
}

platform::ScreenPoint TPluginEditorWindow::screenPoint(const gui::Component& component,
                                                       const MouseEvent& event) {
  const gui::Point at = host.form().toScreen(component.toForm({event.x, event.y}));
  return {at.x, at.y};
}

void TPluginEditorWindow::wireGestures() {
  hint(*Image1, "");
  hint(*Image6, "");
  hint(*Image10, "");
  hint(*wdisplay, "double-click left to load sample, right-click to unload sample");
  hint(*Image2, "click to start playing");
  hint(*Image3, "click to stop playing");
  hint(*Image4, "click to open menu");
  hint(*Image5, "click to turn all notes off (panic)");
  hint(*Image12, "click to show about screen");
  hint(*interpx, "click to (de)activate interpolation");
  hint(*portx, "click to (de)activate portamento");
  hint(*Image7, "click to show envelope settings");
  hint(*Image8, "click to show lfo1 settings");
  hint(*Image9, "click to show lfo2 settings");
  hint(*wave1, "click to change lfo1 wave");
  hint(*wave2, "click to change lfo2 wave");
  hint(*dest1, "click to change lfo1 destination");
  hint(*dest2, "click to change lfo2 destination");
  hint(*sync1x, "click to (de)activate lfo1 host sync");
  hint(*sync2x, "click to (de)activate lfo2 host sync");
  hint(*lmode, "click to set loop mode");

  for (const GaugeBinding& binding : gauges) {
    binding.gauge->onMouseDown = [this, binding](gui::Component&, const MouseEvent& e) { gaugeMouseDown(binding, e); };
    binding.gauge->onMouseMove = [this, binding](gui::Component&, const MouseEvent& e) { gaugeMouseMove(binding, e); };
    binding.gauge->onMouseUp = [this](gui::Component&, const MouseEvent&) { filterMouseUp(); };
  }
  // The pitch gauge's context menu: the pitch presets.
  pitcher->onMouseUp = [this](gui::Component& sender, const MouseEvent& e) {
    filterMouseUp();
    if (e.button != MouseButton::right) return;
    menuAtPointer({{"-200 %", 0.0f},    {"-175 %", 0.0625f}, {"-150 %", 0.125f},  {"-125 %", 0.1875f},
                   {"-100 %", 0.25f},   {"-75 %", 0.3125f},  {"-50 %", 0.375f},   {"-25 %", 0.4375f},
                   {"+25 %", 0.5625f},  {"+50 %", 0.625f},   {"+75 %", 0.6875f},  {"+100 %", 0.75f},
                   {"+125 %", 0.8125f}, {"+150 %", 0.875f},  {"+175 %", 0.9375f}, {"+200 %", 1.0f}},
                  0, false, screenPoint(sender, e));
  };

  reckey->onMouseDown = [this](gui::Component&, const MouseEvent& e) { reckeyMouseDown(e); };
  reckey->onMouseMove = [this](gui::Component&, const MouseEvent& e) { reckeyMouseMove(e); };
  Image11->onMouseUp = [this](gui::Component&, const MouseEvent& e) { Image11MouseUp(e); };

  interpx->OnChange = [this](controls::TDial& b) { buttonChange(b, 5); };
  portx->OnChange = [this](controls::TDial& b) { buttonChange(b, 16); };
  sync1x->OnChange = [this](controls::TDial& b) { buttonChange(b, 22); };
  sync2x->OnChange = [this](controls::TDial& b) { buttonChange(b, 28); };
  ENVControl1->OnChange = [this](controls::TENVControl&) { ENVControl1Change(); };

  const std::vector<MenuItemValue> waves{{"Sine", 0.0f},           {"Saw Up", 1.0f / 5.0f},
                                         {"Saw Down", 2.0f / 5.0f}, {"Square", 3.0f / 5.0f},
                                         {"Triangle", 4.0f / 5.0f}, {"Noise", 1.0f}};
  const std::vector<MenuItemValue> destinations{
      {"pitch", 0.0f},           {"loop start", 1.0f / 12.0f}, {"loop end", 2.0f / 12.0f},
      {"filter low", 3.0f / 12.0f}, {"filter high", 4.0f / 12.0f}, {"filter reso", 5.0f / 12.0f},
      {"delay", 6.0f / 12.0f},   {"feedback", 7.0f / 12.0f},   {"attack", 8.0f / 12.0f},
      {"decay", 9.0f / 12.0f},   {"sustain", 10.0f / 12.0f},   {"release", 11.0f / 12.0f},
      {"volume", 1.0f}};
  const std::vector<MenuItemValue> loopModes{
      {"no loop", 0.0f}, {"loop only", 1.0f / 3.0f}, {"start+loop", 2.0f / 3.0f}, {"ping pong", 1.0f}};
  auto labelMenu = [this](gui::Label& label, std::vector<MenuItemValue> items, int parameter) {
    label.onMouseDown = [this, items = std::move(items), parameter](gui::Component& sender, const MouseEvent& e) {
      menuAtPointer(items, parameter, true, screenPoint(sender, e));
    };
  };
  labelMenu(*wave1, waves, 21);
  labelMenu(*wave2, waves, 27);
  labelMenu(*dest1, destinations, 20);
  labelMenu(*dest2, destinations, 26);
  labelMenu(*lmode, loopModes, 6);

  Image2->onMouseUp = [this](gui::Component&, const MouseEvent&) { plugin.setParameter(kCommandPlay, 1.0f); };
  Image3->onMouseUp = [this](gui::Component&, const MouseEvent&) { plugin.setParameter(kCommandPlay, 0.0f); };
  Image5->onMouseUp = [this](gui::Component&, const MouseEvent&) { plugin.setParameter(kCommandPanic, 1.0f); };
  Image4->onMouseUp = [this](gui::Component& sender, const MouseEvent& e) { Image4MouseUp(screenPoint(sender, e)); };
  Image7->onMouseUp = [this](gui::Component&, const MouseEvent&) { showPage(0); };
  Image8->onMouseUp = [this](gui::Component&, const MouseEvent&) { showPage(1); };
  Image9->onMouseUp = [this](gui::Component&, const MouseEvent&) { showPage(2); };
  Image12->onMouseUp = [this](gui::Component&, const MouseEvent&) { about->setVisible(!about->visible()); };
  auto aboutMouseUp = [this](gui::Component&, const MouseEvent&) { about->hide(); };
  about->onMouseUp = aboutMouseUp;
  for (const auto& child : about->children()) child->onMouseUp = aboutMouseUp;
  sizeArea->onMouseUp = [this](gui::Component&, const MouseEvent& e) { sizeAreaMouseUp(e); };

  wdisplay->onDblClick = [this](gui::Component&) { LoadClick(); };
  wdisplay->onMouseUp = [this](gui::Component&, const MouseEvent& e) {
    if (e.button == MouseButton::right) wdisplayMouseUp(e);
  };
}

void TPluginEditorWindow::gaugeMouseDown(const GaugeBinding& g, const MouseEvent& e) {
  controls::TVornGauge& gauge = *g.gauge;
  if (gauge.ShiftLeftMark) {
    gauge.ShiftLeftMark = false;
    if (g.twoEnded()) {
      assignControllers(g.lowParameter, g.highParameter);
    } else {
      assignControllers(g.highParameter, -1);
    }
    return;
  }
  const int along = g.vertical ? e.y : e.x;
  if (g.twoEnded() && (e.button == MouseButton::left || e.button == MouseButton::right)) {
    const bool low = e.button == MouseButton::left;
    form().setCapture(&gauge);
    dragOriginValue = low ? gauge.RangeMin() : gauge.RangeMax();
    dragOriginPos = along;
    if (low) {
      gauge.setRangeMin(along);
      automate(g.lowParameter, static_cast<float>(gauge.RangeMin()) / static_cast<float>(g.length));
    } else {
      gauge.setRangeMax(along);
      automate(g.highParameter, static_cast<float>(gauge.RangeMax()) / static_cast<float>(g.length));
    }
    return;
  }
  if (!g.twoEnded() && e.shift == kLeft) {
    form().setCapture(&gauge);
    dragOriginValue = gauge.RangeMax();
    dragOriginPos = along;
    gauge.setRangeMax(along);
    const float end = static_cast<float>(gauge.RangeMax()) / static_cast<float>(g.length);
    automate(g.highParameter, g.vertical ? 1.0f - end : end);
  }
}

void TPluginEditorWindow::gaugeMouseMove(const GaugeBinding& g, const MouseEvent& e) {
  controls::TVornGauge& gauge = *g.gauge;
  // The LFO speeds show the value before the move, every other gauge after.
  const bool readoutFirst = &gauge == rate1 || &gauge == rate2;
  if (readoutFirst) setLabelText(*desc, gaugeReadout(g));
  const int along = g.vertical ? e.y : e.x;
  const int end = along - dragOriginPos + dragOriginValue;
  const gui::ShiftState state = e.shift;
  if (state == kLeft && g.twoEnded()) {
    gauge.setRangeMin(end);
    automate(g.lowParameter, static_cast<float>(gauge.RangeMin()) / static_cast<float>(g.length));
  } else if (state == kLeft) {
    gauge.setRangeMax(end);
    const float value = static_cast<float>(gauge.RangeMax()) / static_cast<float>(g.length);
    automate(g.highParameter, g.vertical ? 1.0f - value : value);
  } else if (state == kRight && g.twoEnded()) {
    gauge.setRangeMax(end);
    automate(g.highParameter, static_cast<float>(gauge.RangeMax()) / static_cast<float>(g.length));
  }
  if (!readoutFirst) setLabelText(*desc, gaugeReadout(g));
}

void TPluginEditorWindow::filterMouseUp() { form().releaseCapture(); }

std::string TPluginEditorWindow::gaugeReadout(const GaugeBinding& g) const {
  const controls::TVornGauge& gauge = *g.gauge;
  const int low = gauge.RangeMin();
  const int high = gauge.RangeMax();
  auto range = [&](const char* prefix, int length) {
    return std::string(prefix) + "min=" + std::to_string(percentOf(low, 100, length)) +
           "%, max=" + std::to_string(percentOf(high, 100, length)) + "%";
  };
  if (&gauge == filter) return range("filters: ", 185);
  if (&gauge == loop) return range("loop points: ", 185);
  if (&gauge == depth1) return range("lfo1 depth: ", 114);
  if (&gauge == depth2) return range("lfo2 depth: ", 114);
  if (&gauge == reso) return "filter resonance: " + std::to_string(percentOf(high, 100, 185)) + "%";
  if (&gauge == delay) return "delay time: " + std::to_string(percentOf(high, 1000, 185)) + "ms";
  if (&gauge == feedback) return "delay feedback: " + std::to_string(percentOf(high, 100, 185)) + "%";
  if (&gauge == pitcher) return pitchReadout(paramMirror[0]);
  if (&gauge == volume) return "main volume: " + std::to_string(100 - percentOf(high, 100, 185)) + "%";
  if (&gauge == rate1) return lfoSpeedReadout("lfo1 speed: ", paramMirror[17], paramMirror[22]);
  return lfoSpeedReadout("lfo2 speed: ", paramMirror[23], paramMirror[28]);
}

platform::Handler TPluginEditorWindow::assignControllers(int firstParameter, int secondParameter) {
  for (const int p : {firstParameter, secondParameter}) {
    if (p < 0) break;
    assignText = std::to_string(roundEven(static_cast<double>(plugin.getParameter(kCommandAssignController + p)) * 200));
    std::optional<std::int32_t> n;
    {
      platform::KeyboardHookScope inputHook;
      assignText = co_await platform::inputBox("Assign controller", "1-110=CC#1-110, 128=PB, 200=learn", assignText);
    }
    n = controls::parseInteger(assignText);
    if (!n) {
      co_await platform::systemMessageBoxes().show(controls::notAnIntegerMessage(assignText), "Error",
                                                   platform::MessageButtons::ok, platform::MessageIcon::error);
      co_return;
    }
    plugin.setParameter(kCommandAssignController + p, static_cast<float>(*n) / 200.0f);
  }
}

void TPluginEditorWindow::reckeyMouseDown(const MouseEvent& e) {
  if (e.shift == (kCtrl | kLeft)) {
    reckeyTypedEntry();
  } else if (e.shift == kLeft) {
    rootDragNote = roundEven(static_cast<double>(paramMirror[15]) * 127);
    rootDragY = e.y;
  }
}

platform::Handler TPluginEditorWindow::reckeyTypedEntry() {
  const std::string defaultName(noteName(noteFromName(reckey->text())));
  int note = 0;
  {
    platform::KeyboardHookScope inputHook;
    const std::string answer =
        co_await platform::inputBox("New key", "Select new key (C-2 to G8, or MIDI number):", defaultName);
    note = noteFromTypedAnswer(answer);
  }
  setLabelText(*reckey, noteName(note));
  automate(15, static_cast<float>(note) / 127.0f);
}

void TPluginEditorWindow::reckeyMouseMove(const MouseEvent& e) {
  setLabelText(*desc, "click and drag here to change root note");
  if (e.shift != kLeft) return;
  const int note = std::clamp((rootDragY - e.y) / 4 + rootDragNote, 0, 127);
  setLabelText(*reckey, noteName(note));
  automate(15, static_cast<float>(note) / 127.0f);
}

platform::Handler TPluginEditorWindow::Image11MouseUp(MouseEvent event) {
  if (event.button != MouseButton::right) co_return;
  std::string answer;
  {
    platform::KeyboardHookScope inputHook;
    answer = co_await platform::inputBox("Portamento Time", "Set new portamento time (0-100):",
                                         std::to_string(roundEven(static_cast<double>(paramMirror[29]) * 100)));
  }
  const std::optional<std::int32_t> n = controls::parseInteger(answer);
  if (!n) {
    co_await platform::systemMessageBoxes().show(controls::notAnIntegerMessage(answer), "Error",
                                                 platform::MessageButtons::ok, platform::MessageIcon::error);
    co_return;
  }
  automate(29, static_cast<float>(std::clamp(*n, 0, 100)) / 100.0f);
}

void TPluginEditorWindow::buttonChange(controls::TDial& button, int parameter) {
  automate(parameter, button.Value > 0.5 ? 1.0f : 0.0f);
}

void TPluginEditorWindow::ENVControl1Change() {
  const auto& nodes = ENVControl1->nodes;
  if (nodes.size() < 4) return;
  auto f = [](int x) { return static_cast<float>(x); };
  automate(1, f(nodes[1].x) / 80.0f);
  automate(2, f(nodes[2].x - nodes[1].x - 1) / 79.0f);
  automate(3, f(nodes[3].y) / 255.0f);
  automate(4, f(255 - nodes[3].x) / 80.0f);
}

platform::Handler TPluginEditorWindow::menuAtPointer(std::vector<MenuItemValue> items, int parameter, bool mirrored,
                                                     platform::ScreenPoint at) {
  std::vector<platform::MenuItem> captions;
  for (const MenuItemValue& item : items) captions.push_back({item.caption});
  const int chosen = co_await platform::systemPopupMenus().choose(captions, at);
  if (chosen < 0 || chosen >= static_cast<int>(items.size())) co_return;
  const float value = items[static_cast<std::size_t>(chosen)].value;
  if (mirrored) paramMirror[static_cast<std::size_t>(parameter)] = value;
  plugin.setParameter(parameter, value);
}

platform::Handler TPluginEditorWindow::Image4MouseUp(platform::ScreenPoint at) {
  const std::vector<platform::MenuItem> items = mainmenuItems();
  const int chosen = co_await platform::systemPopupMenus().choose(items, at);
  switch (chosen) {
    case 0: LoadClick(); break;
    case 1: Loadtuningfile1Click(); break;
    case 2: Resettuning1Click(); break;
    default: break;
  }
}

void TPluginEditorWindow::showPage(int page) {
  ENVControl1->setVisible(page == 0);
  Panel2->setVisible(page == 1);
  Panel3->setVisible(page == 2);
  selector->setTop(page == 0 ? L::kSelectorTopEnvelope : page == 1 ? L::kSelectorTopLfo1 : L::kSelectorTopLfo2);
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
      plugin.sizeWindow(kWidth * zoom, kHeight * zoom)) {
    host.setZoom(zoom);
  }
  drawSizeArea();
}

void TPluginEditorWindow::drawSizeArea() {
  sizeArea->setPicture(artwork::drawZoomArea(chosenZoom, chosenZoom != host.zoom()));
}

int editorZoom(platform::SettingsStore& settings, int systemZoom) {
  return platform::zoomFromSettings(settings, kSettingsSubkey, systemZoom);
}

EditorWindowFactory editorWindowFactory() {
  return {[](APlugin& plugin, void* parentWindow, int zoom) -> std::unique_ptr<EditorWindow> {
            return std::make_unique<TPluginEditorWindow>(plugin, parentWindow, zoom);
          },
          [](APlugin& plugin, void* parentWindow) {
            return platform::openingZoom(plugin.settings(), kSettingsSubkey, parentWindow);
          }};
}

}  // namespace sarnel
