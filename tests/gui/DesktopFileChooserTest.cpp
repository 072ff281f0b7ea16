// The desktop's file chooser on Linux runs as a child process that the
// host's idle calls poll: the request returns at once, the answer comes
// later, and a second request while one is open is refused. A stand-in
// "zenity" on PATH plays the desktop helper.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "platform/FileDialogService.h"
#include "platform/GuiTimer.h"
#include "platform/PlatformDefaults.h"

namespace {

class DesktopFileChooser : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vornhalt-chooser-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    chosen = folder + "/pluck.wav";
    std::ofstream(chosen) << "RIFF";
    savedPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", (folder + ":" + savedPath).c_str(), 1);
    if (std::getenv("DISPLAY") == nullptr) setenv("DISPLAY", ":0", 1);
  }
  void TearDown() override {
    setenv("PATH", savedPath.c_str(), 1);
    std::remove((folder + "/zenity").c_str());
    std::remove(chosen.c_str());
    rmdir(folder.c_str());
  }
  // A helper that answers after a while, as a user would.
  void helperAnswers(const std::string& script) {
    const std::string path = folder + "/zenity";
    std::ofstream(path) << "#!/bin/sh\nsleep 0.3\n" << script << "\n";
    chmod(path.c_str(), 0755);
  }
  // The host's idle calls, until the answer is there (at most 5 s).
  template <typename Answer>
  bool idleUntil(const Answer& answer) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!answer.isReady() && std::chrono::steady_clock::now() < end) {
      platform::serviceGuiTimers();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return answer.isReady();
  }

  platform::FileOpenRequest request() const {
    platform::FileOpenRequest r;
    r.title = "Load WAV file...";
    r.filter = "WAV files (*.wav)|*.wav";
    r.initialFile = "*.wav";
    return r;
  }

  std::string folder, chosen, savedPath;
};

TEST_F(DesktopFileChooser, TheAnswerArrivesThroughIdleAndASecondRequestIsRefused) {
  helperAnswers("echo '" + chosen + "'");
  platform::FileDialogService& chooser = platform::platformFileDialogs();
  const auto start = std::chrono::steady_clock::now();
  platform::Answer<platform::FileOpenResult> answer = chooser.open(request());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));  // nothing waited
  EXPECT_FALSE(answer.isReady());
  platform::Answer<platform::FileOpenResult> second = chooser.open(request());
  ASSERT_TRUE(second.isReady());
  EXPECT_FALSE(second.value().accepted);
  ASSERT_TRUE(idleUntil(answer));
  EXPECT_TRUE(answer.value().accepted);
  EXPECT_EQ(answer.value().file, chosen);
}

TEST_F(DesktopFileChooser, CancelAndAFileThatDoesNotExistAreNotAccepted) {
  platform::FileDialogService& chooser = platform::platformFileDialogs();
  helperAnswers("exit 1");
  platform::Answer<platform::FileOpenResult> cancelled = chooser.open(request());
  ASSERT_TRUE(idleUntil(cancelled));
  EXPECT_FALSE(cancelled.value().accepted);
  EXPECT_EQ(cancelled.value().file, "*.wav");
  helperAnswers("echo '" + folder + "/missing.wav'");
  platform::Answer<platform::FileOpenResult> missing = chooser.open(request());
  ASSERT_TRUE(idleUntil(missing));
  EXPECT_FALSE(missing.value().accepted);
}

}  // namespace
