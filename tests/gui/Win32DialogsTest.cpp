// The system dialogs on Windows (under wine in the build): a second thread
// plays the user, finding each box by its caption and answering it through
// window messages.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileDialogService.h"
#include "platform/InputBoxService.h"
#include "platform/KeyboardHookScope.h"
#include "platform/MessageBoxService.h"

namespace {

// Waits for a top-level window with this caption to be shown, then lets
// `act` answer it. A dialog shows itself only after its set-up (default
// texts included), so a visible box is one a user could type into.
template <typename Act>
std::thread answerWindow(const wchar_t* caption, Act act) {
  return std::thread([caption, act] {
    for (int attempt = 0; attempt < 500; ++attempt) {
      HWND box = FindWindowW(nullptr, caption);
      if (box != nullptr && IsWindowVisible(box)) {
        act(box);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
}

constexpr int kEditId = 101;  // the input box's edit field

TEST(Win32Dialogs, InputBoxReturnsTheEditedTextOnOk) {
  std::thread user = answerWindow(L"Assign controller", [](HWND box) {
    wchar_t shown[64] = {};
    GetDlgItemTextW(box, kEditId, shown, 64);
    // Only accept the default the caller gave, so a wrong default fails.
    SetDlgItemTextW(box, kEditId, std::wstring(shown) == L"12" ? L"74" : L"wrong default");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  platform::KeyboardHookScope hook;
  const std::optional<std::string> answer =
      platform::systemInputBoxes().query("Assign controller", "1-128=CC#1-128, 129=PB, 200=learn", "12").value();
  user.join();
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(*answer, "74");
}

TEST(Win32Dialogs, InputBoxCancelGivesNothingAndThePlainBoxTheDefault) {
  std::thread user = answerWindow(L"Portamento Time", [](HWND box) {
    SetDlgItemTextW(box, kEditId, L"99");
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(platform::systemInputBoxes().query("Portamento Time", "Set new portamento time (0-100):", "5").value());
  user.join();
  std::thread again = answerWindow(L"Portamento Time", [](HWND box) { PostMessageW(box, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_EQ(platform::inputBox("Portamento Time", "Set new portamento time (0-100):", "5").value(), "5");
  again.join();
}

// A handler that asks twice, as the editors' handlers do: with the system's
// modal boxes every step has run when the call returns, in the order written.
platform::Handler assignThenConfirm(std::vector<std::string>* steps) {
  steps->push_back("ask");
  std::optional<std::string> typed;
  {
    platform::KeyboardHookScope hook;
    typed = co_await platform::systemInputBoxes().query("Assign controller", "1-128=CC#1-128, 129=PB, 200=learn", "0");
  }
  steps->push_back(typed ? "typed " + *typed : "cancelled");
  if (!typed) co_return;
  const platform::MessageResult keep = co_await platform::systemMessageBoxes().show(
      "Keep it?", "Sarnel", platform::MessageButtons::yesNo, platform::MessageIcon::question);
  steps->push_back(keep == platform::MessageResult::yes ? "kept" : "dropped");
}

TEST(Win32Dialogs, AHandlerThatAsksTwiceHasRunEveryStepWhenItReturns) {
  std::thread user([] {
    std::thread first = answerWindow(L"Assign controller", [](HWND box) {
      SetDlgItemTextW(box, kEditId, L"74");
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    first.join();
    std::thread second = answerWindow(L"Sarnel", [](HWND box) { PostMessageW(box, WM_COMMAND, IDYES, 0); });
    second.join();
  });
  std::vector<std::string> steps;
  assignThenConfirm(&steps);
  EXPECT_EQ(steps, (std::vector<std::string>{"ask", "typed 74", "kept"}));
  user.join();
}

TEST(Win32Dialogs, MessageBoxAnswersTheButtonChosen) {
  std::thread user = answerWindow(L"Sarnel", [](HWND box) { PostMessageW(box, WM_COMMAND, IDNO, 0); });
  EXPECT_EQ(platform::systemMessageBoxes().show("Sample not found. Locate it?", "Sarnel", platform::MessageButtons::yesNo,
                                                platform::MessageIcon::question)
                .value(),
            platform::MessageResult::no);
  user.join();
}

TEST(Win32Dialogs, FileDialogCarriesTheCheckBoxBelowAndReportsIt) {
  std::atomic<bool> foundCheckBox{false};
  std::atomic<bool> grewTaller{false};
  std::thread user = answerWindow(L"Load WAV file...", [&](HWND dialog) {
    // The check box is placed once the dialog has finished its set-up.
    for (int attempt = 0; attempt < 100 && !foundCheckBox; ++attempt) {
      HWND box = FindWindowExW(dialog, nullptr, L"Button",
                               L"Pre-Listen (using Windows MediaPlayer, might not work with all files)");
      if (box != nullptr) {
        foundCheckBox = true;
        RECT boxRect{}, dialogRect{};
        GetWindowRect(box, &boxRect);
        GetWindowRect(dialog, &dialogRect);
        grewTaller = boxRect.bottom <= dialogRect.bottom && boxRect.top > dialogRect.top;
        SendMessageW(box, BM_CLICK, 0, 0);  // the user ticks it
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  platform::FileOpenRequest request;
  request.title = "Load WAV file...";
  request.filter = "WAV files (*.wav)|*.wav";
  request.defaultExtension = "wav";
  request.initialFile = "*.wav";
  request.checkBoxCaption = "Pre-Listen (using Windows MediaPlayer, might not work with all files)";
  request.checkBoxChecked = false;
  const platform::FileOpenResult result = platform::systemFileDialogs().open(request).value();
  user.join();
  EXPECT_FALSE(result.accepted);
  EXPECT_TRUE(foundCheckBox);
  EXPECT_TRUE(grewTaller);
  EXPECT_TRUE(result.checkBoxChecked);
}

TEST(Win32Dialogs, KeyboardHookScopesNest) {
  EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 0);
  {
    platform::KeyboardHookScope outer;
    platform::KeyboardHookScope inner;
    EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 2);
  }
  EXPECT_EQ(platform::KeyboardHookScope::activeCount(), 0);
}

}  // namespace
