// The file-open dialog on Linux: a browser drawn in the open editor window
// (with the check box and selection notification the desktop's choosers
// lack), which can hand over to the desktop's own chooser; without a window,
// the desktop's chooser through its command-line helper (zenity or kdialog)
// when one is installed and a display is set, run as a child process that
// the host's idle calls poll so the host keeps drawing while it is open;
// otherwise a path typed into an input box.

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/FileDialogService.h"
#include "platform/GuiTimer.h"
#include "platform/drawn/InWindowPresenter.h"
#include "platform/InputBoxService.h"
#include "platform/MediaPlayer.h"
#include "platform/PlatformDefaults.h"

extern char** environ;

namespace platform {

namespace {

bool onPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string folders(path);
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string candidate = folders.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

// A desktop helper running as a child process, started without a shell (no
// quoting of user text). Its standard output is read as it comes, without
// ever waiting: the host's idle calls poll it.
class RunningHelper {
 public:
  // False when the helper could not be started.
  bool start(const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int spawned = posix_spawnp(&child_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
      close(pipeEnds[0]);
      return false;
    }
    output_ = pipeEnds[0];
    fcntl(output_, F_SETFL, fcntl(output_, F_GETFL) | O_NONBLOCK);
    return true;
  }
  ~RunningHelper() {
    if (output_ >= 0) close(output_);
    if (child_ > 0) {
      kill(child_, SIGTERM);
      waitpid(child_, nullptr, 0);
    }
  }

  // Reads what is there. True once the helper has ended; `answer` is then
  // its output, or nothing when it failed or was cancelled.
  bool poll(std::optional<std::string>& answer) {
    char buffer[512];
    for (;;) {
      const ssize_t got = read(output_, buffer, sizeof buffer);
      if (got > 0) {
        text_.append(buffer, static_cast<std::size_t>(got));
        continue;
      }
      if (got < 0 && errno == EINTR) continue;
      break;  // nothing more for now (EAGAIN), or the end of its output
    }
    int status = 0;
    const pid_t ended = waitpid(child_, &status, WNOHANG);
    if (ended != child_) return false;
    child_ = 0;
    // Whatever it wrote before it ended is in the pipe.
    ssize_t got = 0;
    while ((got = read(output_, buffer, sizeof buffer)) > 0) text_.append(buffer, static_cast<std::size_t>(got));
    answer.reset();
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
      while (!text_.empty() && (text_.back() == '\n' || text_.back() == '\r')) text_.pop_back();
      answer = text_;
    }
    return true;
  }

 private:
  pid_t child_ = 0;
  int output_ = -1;
  std::string text_;
};

std::vector<std::string> zenityArguments(const FileOpenRequest& request) {
  std::vector<std::string> args{"zenity", "--file-selection", "--title=" + request.title};
  if (!request.initialFile.empty()) args.push_back("--filename=" + request.initialFile);
  // "name|patterns|name|patterns": zenity wants "name | pattern pattern".
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= request.filter.size() && !request.filter.empty()) {
    std::size_t end = request.filter.find('|', start);
    if (end == std::string::npos) end = request.filter.size();
    parts.push_back(request.filter.substr(start, end - start));
    start = end + 1;
  }
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string patterns = parts[i + 1];
    for (char& c : patterns) {
      if (c == ';') c = ' ';
    }
    args.push_back("--file-filter=" + parts[i] + " | " + patterns);
  }
  return args;
}

bool fileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

FileOpenResult declinedResult(const FileOpenRequest& request) {
  FileOpenResult result;
  result.checkBoxChecked = request.checkBoxChecked;
  result.file = request.initialFile;
  return result;
}

FileOpenResult chosenResult(const FileOpenRequest& request, const std::optional<std::string>& chosen) {
  FileOpenResult result = declinedResult(request);
  if (!chosen || chosen->empty()) return result;
  if (request.fileMustExist && !fileExists(*chosen)) return result;
  result.file = *chosen;
  result.accepted = true;
  return result;
}

// The desktop's chooser, one at a time; its answer arrives through the
// host's idle calls. Closing the editor window that asked cancels it.
class DesktopFileDialogs final : public FileDialogService {
 public:
  DesktopFileDialogs() {
    onPresenterClosing([this](InWindowPresenter* closing) {
      if (running_ && running_->owner == closing) finish(std::nullopt);
    });
  }

  // With an editor window open the browser drawn in it answers (it has the
  // check box and the selection notification), and hands over to the
  // desktop's chooser when the user asks; without one, the desktop's
  // chooser or a typed path.
  Answer<FileOpenResult> open(const FileOpenRequest& request) override {
    if (InWindowPresenter* presenter = inWindowPresenter()) return browseFirst(this, presenter, request);
    return openDesktop(request);
  }

 private:
  static bool desktopAvailable() { return std::getenv("DISPLAY") != nullptr && (onPath("zenity") || onPath("kdialog")); }

  static Answer<FileOpenResult> browseFirst(DesktopFileDialogs* self, InWindowPresenter* presenter,
                                            FileOpenRequest request) {
    const BrowseOutcome outcome = co_await presenter->browse(request, desktopAvailable());
    if (!outcome.handedOver) co_return outcome.result;
    co_return co_await self->openDesktop(request);
  }

  Answer<FileOpenResult> openDesktop(const FileOpenRequest& request) {
    // A second request while the chooser is open is refused.
    if (running_) return Answer<FileOpenResult>::now(declinedResult(request));
    std::vector<std::string> arguments;
    if (std::getenv("DISPLAY") != nullptr && onPath("zenity")) {
      arguments = zenityArguments(request);
    } else if (std::getenv("DISPLAY") != nullptr && onPath("kdialog")) {
      arguments = {"kdialog", "--title", request.title, "--getopenfilename", request.initialFile};
    } else {
      return typedPath(request);
    }
    auto running = std::make_unique<Running>();
    if (!running->helper.start(arguments)) return Answer<FileOpenResult>::now(declinedResult(request));
    running->request = request;
    running->owner = inWindowPresenter();
    running_ = std::move(running);
    poller_.start(kPollMs, [this] { poll(); });
    return Answer<FileOpenResult>(running_->slot);
  }

  static constexpr std::uint32_t kPollMs = 50;

  struct Running {
    RunningHelper helper;
    FileOpenRequest request;
    InWindowPresenter* owner = nullptr;
    AnswerSlot<FileOpenResult> slot;
  };

  // Without a desktop helper the path is typed into a box of the editor.
  static Answer<FileOpenResult> typedPath(FileOpenRequest request) {
    const std::optional<std::string> typed =
        co_await systemInputBoxes().query(request.title, "File name:", request.initialFile);
    co_return chosenResult(request, typed);
  }

  void poll() {
    std::optional<std::string> chosen;
    if (running_ && running_->helper.poll(chosen)) finish(chosen);
  }

  void finish(const std::optional<std::string>& chosen) {
    poller_.stop();
    std::unique_ptr<Running> done = std::move(running_);  // a new request may come from the answer
    const FileOpenResult result = chosenResult(done->request, chosen);
    AnswerSlot<FileOpenResult> slot = done->slot;
    done.reset();  // ends a helper still running
    slot.give(result);
  }

  std::unique_ptr<Running> running_;
  GuiTimer poller_;
};

class SilentPlayer final : public MediaPlayer {
 public:
  bool play(const std::string&, std::string& error) override {
    error = "Pre-listening is not available on this system.";
    return false;
  }
  void close() override {}
};

class SilentPlayers final : public MediaPlayerFactory {
 public:
  std::unique_ptr<MediaPlayer> create() override { return std::make_unique<SilentPlayer>(); }
};

}  // namespace

FileDialogService& platformFileDialogs() {
  // Never destroyed: at unload its timer's service may already be gone.
  static DesktopFileDialogs& service = *new DesktopFileDialogs;
  return service;
}

MediaPlayerFactory& platformMediaPlayers() {
  static SilentPlayers factory;
  return factory;
}

}  // namespace platform
