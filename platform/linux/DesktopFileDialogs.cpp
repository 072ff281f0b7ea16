// The file-open dialog on Linux: the desktop's own chooser through its
// command-line helper (zenity or kdialog) when one is installed and a display
// is set; otherwise a path typed into an input box of the editor window. The
// helpers offer no check box or selection notification, so pre-listening
// is not offered here.

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/FileDialogService.h"
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

// Runs a helper without a shell (no quoting of user text) and answers its
// standard output; nothing when it fails or is cancelled.
std::optional<std::string> runHelper(const std::vector<std::string>& arguments) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  std::string output;
  if (spawned == 0) {
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<std::size_t>(got));
  }
  close(pipeEnds[0]);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return output;
}

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

class DesktopFileDialogs final : public FileDialogService {
 public:
  Answer<FileOpenResult> open(const FileOpenRequest& request) override {
    return Answer<FileOpenResult>::now(openWaiting(request));
  }

 private:
  static FileOpenResult openWaiting(const FileOpenRequest& request) {
    FileOpenResult result;
    result.checkBoxChecked = request.checkBoxChecked;
    result.file = request.initialFile;
    std::optional<std::string> chosen;
    if (std::getenv("DISPLAY") != nullptr && onPath("zenity")) {
      chosen = runHelper(zenityArguments(request));
    } else if (std::getenv("DISPLAY") != nullptr && onPath("kdialog")) {
      chosen = runHelper({"kdialog", "--title", request.title, "--getopenfilename", request.initialFile});
    } else {
      Answer<std::optional<std::string>> typed = systemInputBoxes().query(request.title, "File name:", request.initialFile);
      if (typed.isReady()) chosen = typed.value();
    }
    if (!chosen || chosen->empty()) return result;
    if (request.fileMustExist && !fileExists(*chosen)) return result;
    result.file = *chosen;
    result.accepted = true;
    return result;
  }
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
  static DesktopFileDialogs service;
  return service;
}

MediaPlayerFactory& platformMediaPlayers() {
  static SilentPlayers factory;
  return factory;
}

}  // namespace platform
