// Sarnel's editor in its named states: the panel as it opens, with a loaded
// sample and its loop markers, each LFO page and the about panel, and the
// manual's pictures with every control numbered.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <system_error>
#include <vector>

#include "framework/Opcodes.h"
#include "gui/Form.h"
#include "pictures/Callouts.h"
#include "pictures/EditorPictures.h"
#include "platform/headless/MemorySettingsStore.h"
#include "sampler/editor/TPluginEditorWindow.h"
#include "sampler/engine/APlugin.h"
#include "sampler/engine/APluginEditor.h"
#include "sampler/engine/ParameterTable.h"

namespace pictures {

namespace {

// The picture's sample file, named relative to the folder it is loaded from so
// the file name label reads the same on every target.
constexpr const char* kSampleName = "sarnel-picture.wav";

void put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

// A 16-bit stereo PCM file of a decaying two-tone wave: the same values on
// every target (integer arithmetic from a fixed table of partials).
bool writePictureSample(const std::filesystem::path& path) {
  constexpr int kFrames = 44100;
  constexpr int kChannels = 2;
  std::vector<std::uint8_t> bytes;
  const std::uint32_t dataBytes = kFrames * kChannels * 2;
  for (char c : std::string("RIFF")) bytes.push_back(static_cast<std::uint8_t>(c));
  put32(bytes, 36 + dataBytes);
  for (char c : std::string("WAVEfmt ")) bytes.push_back(static_cast<std::uint8_t>(c));
  put32(bytes, 16);
  put16(bytes, 1);
  put16(bytes, kChannels);
  put32(bytes, 44100);
  put32(bytes, 44100 * kChannels * 2);
  put16(bytes, kChannels * 2);
  put16(bytes, 16);
  for (char c : std::string("data")) bytes.push_back(static_cast<std::uint8_t>(c));
  put32(bytes, dataBytes);
  // A triangle wave whose period and level change slowly, in integers.
  for (int i = 0; i < kFrames; ++i) {
    const int period = 2000 + i / 40;
    const int phase = i % period;
    const int triangle = phase < period / 2 ? phase * 4 * 1000 / period - 1000 : 3000 - phase * 4 * 1000 / period;
    const int envelope = 32000 - i * 26 / 44;  // falls from full to a quarter over the second
    const int left = triangle * envelope / 1000;
    put16(bytes, static_cast<unsigned>(static_cast<std::int16_t>(left)) & 0xFFFF);
    put16(bytes, static_cast<unsigned>(static_cast<std::int16_t>(-left / 2)) & 0xFFFF);
  }
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

class OpenSarnelEditor {
 public:
  OpenSarnelEditor() {
    sarnel::APluginOptions options;
    options.settings = std::make_shared<platform::MemorySettingsStore>();
    options.editorWindowFactory = sarnel::editorWindowFactory();
    plugin = std::make_unique<sarnel::APlugin>(nullptr, std::move(options));
    plugin->dispatcher(vst::effEditOpen, 0, 0, nullptr, 0.0f);
  }
  ~OpenSarnelEditor() { plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f); }

  sarnel::TPluginEditorWindow& window() {
    return *static_cast<sarnel::TPluginEditorWindow*>(plugin->pluginEditor()->window());
  }
  // One refresh tick and one idle call, then the form's pixels.
  gui::Canvas settle() {
    window().DIBTimer1Timer();
    plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
    window().form().paintAll();
    return window().form().canvas();
  }
  // Loads the picture's sample as a host restoring a project does.
  void loadSample() {
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "vornhalt-sarnel-pictures";
    std::filesystem::create_directories(folder, ignored);
    if (!writePictureSample(folder / kSampleName)) return;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const std::string name = kSampleName;
    for (int i = 0; i < sarnel::kPathBytes; ++i) {
      const int byte = i < static_cast<int>(name.size()) ? static_cast<unsigned char>(name[static_cast<std::size_t>(i)]) : 0;
      plugin->setParameter(sarnel::kPathFirst + i, static_cast<float>(byte) / 255.0f);
    }
    plugin->setParameter(sarnel::kCommandLoadProgramSample, 1.0f);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder, ignored);
  }

  std::unique_ptr<sarnel::APlugin> plugin;
};

// A sound with every control away from its rest position.
void setSound(sarnel::APlugin& plugin) {
  const std::vector<std::pair<int, float>> values{
      {0, 0.625f}, {1, 0.1f},  {2, 0.4f},  {3, 0.55f}, {4, 0.5f},  {5, 1.0f},  {6, 2.0f / 3.0f},
      {7, 0.15f},  {8, 0.8f},  {9, 0.35f}, {10, 0.3f}, {11, 0.45f}, {12, 0.8f}, {13, 0.2f},
      {14, 0.7f},  {15, 60.0f / 127.0f}, {16, 0.0f}, {17, 0.5f},  {18, 0.25f}, {19, 0.75f},
      {20, 4.0f / 12.0f}, {21, 0.4f}, {22, 0.0f}, {23, 0.3f}, {24, 0.1f}, {25, 0.6f},
      {26, 9.0f / 12.0f}, {27, 0.8f}, {28, 1.0f}, {29, 0.2f}};
  for (const auto& [index, value] : values) plugin.setParameter(index, value);
}

// The manual's numbers, in reading order; its legends name the same controls.
const std::vector<Callout>& mainPanelCallouts() {
  static const std::vector<Callout> callouts{
      {1, "Image12", Place::inside},
      {2, "wdisplay", Place::inside},
      {3, "fname"},
      {4, "Image7"},
      {5, "Image8"},
      {6, "Image9"},
      {7, "ENVControl1", Place::inside},
      {8, "pitcher"},
      {9, "loop"},
      {10, "reckey", Place::right, {14, 0}},
      {11, "lmode", Place::right},
      {12, "volume", Place::corner},
      {13, "filter"},
      {14, "reso"},
      {15, "interpx"},
      {16, "portx"},
      {17, "delay"},
      {18, "feedback"},
      {19, "Image2"},
      {20, "Image3"},
      {21, "Image4"},
      {22, "Image5"},
      {23, "desc", Place::left},
  };
  return callouts;
}
const std::vector<Callout>& lfoPageCallouts() {
  static const std::vector<Callout> callouts{
      {1, "Image7"},
      {2, "Image8"},
      {3, "Image9"},
      {4, "wave1"},
      {5, "dest1"},
      {6, "sync1x"},
      {7, "rate1"},
      {8, "depth1"},
  };
  return callouts;
}

gui::Canvas numbered(OpenSarnelEditor& editor, const gui::Canvas& pixels, std::span<const Callout> callouts,
                     int zoom) {
  return drawCallouts(pixels, placeCallouts(editor.window().form(), callouts), zoom);
}

gui::Canvas defaultState() {
  OpenSarnelEditor editor;
  return editor.settle();
}

gui::Canvas sampleState() {
  OpenSarnelEditor editor;
  setSound(*editor.plugin);
  editor.loadSample();
  return editor.settle();
}

gui::Canvas openLfoPage(OpenSarnelEditor& editor, int lfo) {
  setSound(*editor.plugin);
  editor.settle();
  sarnel::TPluginEditorWindow& window = editor.window();
  gui::Image& tab = lfo == 1 ? *window.Image8 : *window.Image9;
  const gui::Point at = tab.toForm({10, 10});
  window.form().mouseDownAt(at, gui::MouseButton::left, gui::kLeft);
  window.form().mouseUpAt(at, gui::MouseButton::left, 0);
  return editor.settle();
}

gui::Canvas lfoState(int lfo) {
  OpenSarnelEditor editor;
  return openLfoPage(editor, lfo);
}

gui::Canvas labelledMainPanel() {
  OpenSarnelEditor editor;
  setSound(*editor.plugin);
  editor.loadSample();
  return numbered(editor, editor.settle(), mainPanelCallouts(), 1);
}

gui::Canvas labelledLfoPage() {
  OpenSarnelEditor editor;
  // Twice the size: the page's controls lie close together.
  return numbered(editor, openLfoPage(editor, 1), lfoPageCallouts(), 2);
}

gui::Canvas aboutState() {
  OpenSarnelEditor editor;
  sarnel::TPluginEditorWindow& window = editor.window();
  const gui::Point at = window.Image12->toForm({300, 20});
  window.form().mouseDownAt(at, gui::MouseButton::left, gui::kLeft);
  window.form().mouseUpAt(at, gui::MouseButton::left, 0);
  return editor.settle();
}

}  // namespace

std::vector<EditorPicture> sarnelPictures() {
  return {
      {"sarnel", "default", defaultState},
      {"sarnel", "sample", sampleState},
      {"sarnel", "lfo1", [] { return lfoState(1); }},
      {"sarnel", "lfo2", [] { return lfoState(2); }},
      {"sarnel", "about", aboutState},
      {"sarnel", "labelled", labelledMainPanel},
      {"sarnel", "lfo-labelled", labelledLfoPage},
  };
}

}  // namespace pictures
