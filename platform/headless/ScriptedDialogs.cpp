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

std::optional<std::string> ScriptedDialogs::nextInput() {
  if (inputs_.empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(inputs_.front());
  inputs_.pop_front();
  return answer;
}

int ScriptedDialogs::nextMenuChoice() {
  if (menuChoices_.empty()) return -1;
  const int choice = menuChoices_.front();
  menuChoices_.pop_front();
  return choice;
}

Answer<std::optional<std::string>> ScriptedDialogs::query(std::string_view caption, std::string_view prompt,
                                                          std::string_view defaultText) {
  inputRequests.push_back(
      {std::string(caption), std::string(prompt), std::string(defaultText), KeyboardHookScope::activeCount() > 0});
  if (holdAnswers) {
    heldInputs_.emplace_back();
    heldOrder_.push_back('i');
    return Answer<std::optional<std::string>>(heldInputs_.back());
  }
  if (whileInputOpen) whileInputOpen();
  return Answer<std::optional<std::string>>::now(nextInput());
}

Answer<int> ScriptedDialogs::choose(const std::vector<MenuItem>& items, ScreenPoint at) {
  menuRequests.push_back({items, at});
  if (holdAnswers) {
    heldMenus_.emplace_back();
    heldOrder_.push_back('m');
    return Answer<int>(heldMenus_.back());
  }
  return Answer<int>::now(nextMenuChoice());
}

bool ScriptedDialogs::answerHeld() {
  if (heldOrder_.empty()) return false;
  const char kind = heldOrder_.front();
  heldOrder_.pop_front();
  if (kind == 'i') {
    AnswerSlot<std::optional<std::string>> slot = std::move(heldInputs_.front());
    heldInputs_.pop_front();
    if (whileInputOpen) whileInputOpen();
    slot.give(nextInput());
  } else {
    AnswerSlot<int> slot = std::move(heldMenus_.front());
    heldMenus_.pop_front();
    slot.give(nextMenuChoice());
  }
  return true;
}

void ScriptedDialogs::dismissHeld() {
  while (!heldOrder_.empty()) {
    const char kind = heldOrder_.front();
    heldOrder_.pop_front();
    if (kind == 'i') {
      AnswerSlot<std::optional<std::string>> slot = std::move(heldInputs_.front());
      heldInputs_.pop_front();
      slot.give(std::nullopt);
    } else {
      AnswerSlot<int> slot = std::move(heldMenus_.front());
      heldMenus_.pop_front();
      slot.give(-1);
    }
  }
}

Answer<FileOpenResult> ScriptedDialogs::open(const FileOpenRequest& request) {
  return Answer<FileOpenResult>::now(runFileScript(request));
}

FileOpenResult ScriptedDialogs::runFileScript(const FileOpenRequest& request) {
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
