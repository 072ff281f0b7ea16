#include "platform/headless/ScriptedDialogs.h"

#include "platform/KeyboardHookScope.h"

namespace platform {

class ScriptedDialogs::Player final : public MediaPlayer {
 public:
  explicit Player(ScriptedDialogs& owner) : owner_(owner) {}
  bool play(const std::string& file, std::string& error) override {
    close();
    if (owner_.playError_) {
      error = *owner_.playError_;
      owner_.playError_.reset();
      return false;
    }
    owner_.playerEvents.push_back({"play", file});
    open_ = true;
    return true;
  }
  void close() override {
    if (!open_) return;
    open_ = false;
    owner_.playerEvents.push_back({"close", {}});
  }

 private:
  ScriptedDialogs& owner_;
  bool open_ = false;
};

ScriptedDialogs::ScriptedDialogs() {
  setInputBoxServiceForTesting(this);
  setPopupMenuServiceForTesting(this);
  setFileDialogServiceForTesting(this);
  setMediaPlayerFactoryForTesting(this);
}

ScriptedDialogs::~ScriptedDialogs() {
  setInputBoxServiceForTesting(nullptr);
  setPopupMenuServiceForTesting(nullptr);
  setFileDialogServiceForTesting(nullptr);
  setMediaPlayerFactoryForTesting(nullptr);
}

std::optional<std::string> ScriptedDialogs::query(std::string_view caption, std::string_view prompt,
                                                  std::string_view defaultText) {
  inputRequests.push_back(
      {std::string(caption), std::string(prompt), std::string(defaultText), KeyboardHookScope::activeCount() > 0});
  if (whileInputOpen) whileInputOpen();
  if (inputs_.empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(inputs_.front());
  inputs_.pop_front();
  return answer;
}

int ScriptedDialogs::choose(const std::vector<MenuItem>& items, ScreenPoint at) {
  menuRequests.push_back({items, at});
  if (menuChoices_.empty()) return -1;
  const int choice = menuChoices_.front();
  menuChoices_.pop_front();
  return choice;
}

FileOpenResult ScriptedDialogs::open(const FileOpenRequest& request) {
  fileRequests.push_back(request);
  FileOpenResult result;
  result.checkBoxChecked = request.checkBoxChecked;
  result.file = request.initialFile;
  if (files_.empty()) return result;
  const FileScript script = std::move(files_.front());
  files_.pop_front();
  if (script.toggleCheckBoxTo) result.checkBoxChecked = *script.toggleCheckBoxTo;
  for (const std::string& selection : script.selections) {
    result.file = selection;
    if (request.onSelectionChange) request.onSelectionChange(selection, result.checkBoxChecked);
  }
  result.accepted = script.accept;
  return result;
}

std::unique_ptr<MediaPlayer> ScriptedDialogs::create() { return std::make_unique<Player>(*this); }

}  // namespace platform
