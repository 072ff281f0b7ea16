#pragma once
// Input boxes, popup menus, file dialogs and media players for tests: every
// request is recorded (with whether a keyboard hook was held at the time),
// and the answers come from queues the test fills. An empty queue answers
// as a user who cancels: no text, no menu item, no file.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileDialogService.h"
#include "platform/InputBoxService.h"
#include "platform/MediaPlayer.h"
#include "platform/PopupMenuService.h"

namespace platform {

class ScriptedDialogs final : public InputBoxService, public PopupMenuService, public FileDialogService,
                              public MediaPlayerFactory {
 public:
  struct InputRequest {
    std::string caption;
    std::string prompt;
    std::string defaultText;
    bool keyboardHooked;
  };
  struct MenuRequest {
    std::vector<MenuItem> items;
    ScreenPoint at;
  };
  // A scripted file dialog: the selections the "user" walks through (each
  // raises the selection-change notification), then OK or Cancel.
  struct FileScript {
    std::vector<std::string> selections;
    bool accept = false;
    std::optional<bool> toggleCheckBoxTo;  // the user clicks the check box first
  };
  struct PlayerEvent {
    std::string action;  // "play" or "close"
    std::string file;
  };

  // Installs this object as every dialog service and the media player
  // factory; the destructor removes it again.
  ScriptedDialogs();
  ~ScriptedDialogs() override;

  Answer<std::optional<std::string>> query(std::string_view caption, std::string_view prompt,
                                           std::string_view defaultText) override;
  Answer<int> choose(const std::vector<MenuItem>& items, ScreenPoint at) override;
  Answer<FileOpenResult> open(const FileOpenRequest& request) override;
  std::unique_ptr<MediaPlayer> create() override;

  // Answers: text for OK, nothing for Cancel.
  void queueInput(std::optional<std::string> answer) { inputs_.push_back(std::move(answer)); }
  // Runs instead of a queued answer while the box is "open" (to act from
  // inside the modal loop, e.g. let timers tick), then answers from the queue.
  std::function<void()> whileInputOpen;
  void queueMenuChoice(int index) { menuChoices_.push_back(index); }
  void queueFileDialog(FileScript script) { files_.push_back(std::move(script)); }
  // Makes the next play() fail with this error text.
  void failNextPlay(std::string error) { playError_ = std::move(error); }

  // With holdAnswers set, input boxes and menus stay "open" until the test
  // answers them: answerHeld() gives the oldest open one its queued answer,
  // dismissHeld() cancels every open one. This is how the boxes drawn in the
  // editor window answer: later, from the host's idle calls.
  bool holdAnswers = false;
  bool answerHeld();
  void dismissHeld();
  std::size_t heldCount() const { return heldInputs_.size() + heldMenus_.size(); }

  std::vector<InputRequest> inputRequests;
  std::vector<MenuRequest> menuRequests;
  std::vector<FileOpenRequest> fileRequests;
  std::vector<PlayerEvent> playerEvents;

 private:
  class Player;
  std::optional<std::string> nextInput();
  FileOpenResult runFileScript(const FileOpenRequest& request);
  int nextMenuChoice();

  // Open questions in the order they were asked: 'i' input, 'm' menu.
  std::deque<char> heldOrder_;
  std::deque<AnswerSlot<std::optional<std::string>>> heldInputs_;
  std::deque<AnswerSlot<int>> heldMenus_;
  std::deque<std::optional<std::string>> inputs_;
  std::deque<int> menuChoices_;
  std::deque<FileScript> files_;
  std::optional<std::string> playError_;
};

}  // namespace platform
