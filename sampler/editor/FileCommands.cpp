// Sarnel's file commands: the sample dialog with its pre-listen check box,
// unloading, tuning files, dropped files and the pre-listen setting. The
// editor only chooses files; the engine reads them (commands 644, 645, 647
// and the tuning parameters 286 ... 413). GUI thread, all of it.

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/FileDialogService.h"
#include "platform/GuiExceptions.h"
#include "platform/MessageBoxService.h"
#include "platform/SettingsStore.h"
#include "sampler/editor/TPluginEditorWindow.h"
#include "sampler/engine/APlugin.h"
#include "sampler/engine/ParameterTable.h"
#include "sampler/io/CTuningMap.h"

namespace sarnel {

namespace {

constexpr std::string_view kPreListenSetting = "PreListen";

#ifdef _WIN32
constexpr const char* kPreListenCaption = "Pre-Listen (using Windows MediaPlayer, might not work with all files)";
#else
constexpr const char* kPreListenCaption = "Pre-Listen (plays through the plug-in's output)";
#endif

// The upper-cased (ASCII) extension of the file name, with its point; empty
// when the name has none.
std::string upperExtension(const std::string& path) {
  const std::size_t at = path.find_last_of(".\\/:");
  if (at == std::string::npos || path[at] != '.') return {};
  std::string extension = path.substr(at);
  for (char& c : extension) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return extension;
}

// A file, not a folder, of that name exists.
bool isExistingFile(const std::string& path) {
  std::error_code error;
  const std::filesystem::path p(path);
  return std::filesystem::exists(p, error) && !std::filesystem::is_directory(p, error);
}

}  // namespace

platform::FileOpenRequest TPluginEditorWindow::sampleDialogRequest() {
  platform::FileOpenRequest request;
  request.title = "Load WAV file...";
  request.filter = "WAV files (*.wav)|*.wav";
  request.defaultExtension = "wav";
  request.initialFile = sampleDialogFile;
  request.fileMustExist = true;
  request.checkBoxCaption = kPreListenCaption;
  request.checkBoxChecked = preListenBox;
  request.onSelectionChange = [this](const std::string& file, bool checked) {
    preListenBox = checked;
    preListen(file);
  };
  return request;
}

platform::Handler TPluginEditorWindow::LoadClick() {
  const platform::FileOpenResult result = co_await platform::systemFileDialogs().open(sampleDialogRequest());
  // Whatever the answer, the pre-listen stops; the check box keeps what the
  // user left in it.
  preListenBox = result.checkBoxChecked;
  mplay->close();
  if (!result.accepted || result.file.empty()) co_return;
  sampleDialogFile = result.file;
  setFileNameLabel(result.file);
  plugin.setParameter(kCommandLoadEditorSample, 1.0f);
}

// The rules in their order: a pattern, another type, an unticked box or a
// missing file play nothing.
void TPluginEditorWindow::preListen(const std::string& file) {
  if (file.find('*') != std::string::npos) return;
  if (upperExtension(file).substr(0, 4) != ".WAV") return;
  if (!preListenBox) return;
  if (!isExistingFile(file)) return;
  std::string error;
  if (!mplay->play(file, error)) {
    // The dialog stays open behind the box.
    platform::systemMessageBoxes().show(error, "Error", platform::MessageButtons::ok, platform::MessageIcon::error);
  }
}

void TPluginEditorWindow::wdisplayMouseUp(const gui::MouseEvent&) { plugin.setParameter(kCommandUnload, 1.0f); }

void TPluginEditorWindow::Resettuning1Click() { plugin.setParameter(kCommandResetTuning, 1.0f); }

platform::Handler TPluginEditorWindow::Loadtuningfile1Click() {
  platform::FileOpenRequest request;
  request.title = "Tuning file";
  request.filter = "tuning files (*.scl;*.tun)|*.scl;*.tun";
  request.defaultExtension = "*.scl";
  request.initialFile = tuningDialogFile;
  request.fileMustExist = true;
  const platform::FileOpenResult result = co_await platform::systemFileDialogs().open(request);
  if (!result.accepted) co_return;
  tuningDialogFile = result.file;
  loadTuningFile(result.file);
}

// A fresh map (equal temperament), the file read into it, its 128
// frequencies sent in note order, the map freed. A file that fails leaves
// the map with what it holds, and that is sent all the same.
void TPluginEditorWindow::loadTuningFile(const std::string& path) {
  auto map = std::make_unique<CTuningMap>();
  map->setErrorReporter([](const std::string& text) {
    platform::systemMessageBoxes().show(text, "Error", platform::MessageButtons::okCancel,
                                        platform::MessageIcon::none);
  });
  try {
    map->loadFile(path);
  } catch (...) {
    platform::reportCurrentException();
  }
  for (int note = 0; note < CTuningMap::kNoteCount; ++note) {
    plugin.setParameter(kTuningFirst + note, static_cast<float>(map->noteFrequency(note) / 30000.0));
  }
}

// Only the first file counts; tuning files by .SCL or .TUN, samples by .WAV,
// anything else is ignored without a word.
void TPluginEditorWindow::filesDropped(const std::vector<std::string>& files) {
  if (files.empty()) return;
  const std::string path = files.front();
  const std::string extension = upperExtension(path);
  if (extension == ".SCL" || extension == ".TUN") {
    loadTuningFile(path);
  } else if (extension == ".WAV") {
    setFileNameLabel(path);
    plugin.setParameter(kCommandLoadEditorSample, 1.0f);
  }
}

void TPluginEditorWindow::readPreListenSetting() {
  preListenBox = plugin.settings().readInteger(kSettingsSubkey, kPreListenSetting, 0) != 0;
}

void TPluginEditorWindow::writePreListenSetting() {
  plugin.settings().writeInteger(kSettingsSubkey, kPreListenSetting, preListenBox ? 1 : 0);
}

}  // namespace sarnel
