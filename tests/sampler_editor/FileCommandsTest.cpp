// Sarnel's file commands driven headless: the sample dialog and its
// pre-listen rules, unloading, tuning files, drops, the pre-listen setting
// and the engine's missing-sample question.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/headless/HeadlessEditorWindow.h"
#include "sampler/editor/artwork/Palette.h"
#include "sampler/engine/ParameterTable.h"
#include "tests/sampler_editor/EditorFixture.h"
#include "tests/sampler_engine/SarnelTestSupport.h"

namespace sarneleditortest {
namespace {

using platform::MessageResult;
using Script = platform::ScriptedDialogs::FileScript;

class FileCommandsTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    open();
  }
  platform::MemorySettingsStore& store() { return static_cast<platform::MemorySettingsStore&>(plugin->settings()); }
  std::string wave(const std::string& name, float value = 0.5f) {
    const std::string path = dir.file(name);
    sarneltest::writeFloatWave(path, std::vector<float>(3000, value), 1);
    return path;
  }
  std::string text(const std::string& name, const std::string& content) {
    const std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  void menu(int item) {
    dialogs.queueMenuChoice(item);
    click(*window().Image4);
  }
  std::vector<std::string> played() const {
    std::vector<std::string> files;
    for (const auto& e : dialogs.playerEvents) {
      if (e.action == "play") files.push_back(e.file);
    }
    return files;
  }
  void dropFiles(const std::vector<std::string>& files) {
    static_cast<platform::HeadlessEditorWindow&>(window().windowHost().window()).dropFiles(files);
  }
  // A tuning file of 20 kHz at note 0 and an octave per note above it.
  std::string steepTuning() {
    return text("steep.tun", "[Exact Tuning]\nbasefreq=20000\nnote 0=0\nnote 1=1200\n");
  }
  void expectDefaultTuning() {
    for (int n = 0; n < sarnel::kNumNotes; ++n) {
      ASSERT_EQ(plugin->getParameter(sarnel::kTuningFirst + n), sarnel::defaultTuningValue(n)) << n;
    }
  }
};

TEST_F(FileCommandsTest, TheSampleDialogAsksForOneWavFileAndLoadsTheChoice) {
  const std::string chosen = wave("chosen.wav", -0.5f);
  dialogs.queueFileDialog(Script{{chosen}, true, true});
  menu(0);
  ASSERT_EQ(dialogs.fileRequests.size(), 1u);
  const platform::FileOpenRequest& r = dialogs.fileRequests[0];
  EXPECT_EQ(r.title, "Load WAV file...");
  EXPECT_EQ(r.filter, "WAV files (*.wav)|*.wav");
  EXPECT_EQ(r.defaultExtension, "wav");
  EXPECT_EQ(r.initialFile, "*.wav");
  EXPECT_TRUE(r.fileMustExist);
  EXPECT_FALSE(r.checkBoxCaption.empty());
  EXPECT_FALSE(r.checkBoxChecked);

  EXPECT_EQ(plugin->getSamplePath(), chosen);
  EXPECT_EQ(window().fname->text(), chosen);
  EXPECT_EQ(window().waveformCopy().pixel(300, 65), sarnel::artwork::kInk);
  // The pre-listen ran while the dialog was open and stopped when it closed.
  ASSERT_EQ(dialogs.playerEvents.size(), 2u);
  EXPECT_EQ(dialogs.playerEvents[0].action, "play");
  EXPECT_EQ(dialogs.playerEvents[1].action, "close");

  // The next dialog starts at that file; the double click opens it too.
  click(*window().wdisplay, 10, 10);
  press(*window().wdisplay, 10, 10, gui::MouseButton::left, gui::kDouble);
  release(*window().wdisplay, 10, 10, gui::MouseButton::left);
  ASSERT_EQ(dialogs.fileRequests.size(), 2u);
  EXPECT_EQ(dialogs.fileRequests[1].initialFile, chosen);
  EXPECT_EQ(plugin->getSamplePath(), chosen);
}

TEST_F(FileCommandsTest, CancellingStopsThePreListenAndChangesNothingElse) {
  const std::string loaded = wave("loaded.wav");
  dialogs.queueFileDialog(Script{{loaded}, true, std::nullopt});
  menu(0);
  automated.clear();
  const std::string other = wave("other.wav");
  dialogs.queueFileDialog(Script{{other}, false, true});
  menu(0);
  ASSERT_EQ(dialogs.playerEvents.size(), 2u);
  EXPECT_EQ(dialogs.playerEvents[0].action, "play");
  EXPECT_EQ(dialogs.playerEvents[0].file, other);
  EXPECT_EQ(dialogs.playerEvents[1].action, "close");
  EXPECT_EQ(plugin->getSamplePath(), loaded);
  EXPECT_EQ(window().fname->text(), loaded);
  EXPECT_TRUE(automated.empty());
  // Cancel keeps the check box as the user left it, not the file.
  EXPECT_TRUE(window().preListenChecked());
  menu(0);
  EXPECT_TRUE(dialogs.fileRequests.back().checkBoxChecked);
  EXPECT_EQ(dialogs.fileRequests.back().initialFile, loaded);
}

TEST_F(FileCommandsTest, PreListenPlaysOnlyExistingWavFilesWithTheBoxTicked) {
  const std::string good = wave("good.wav");
  const std::string wave4 = wave("long.wave");
  const std::string upper = wave("LOUD.WAV");
  const std::string folder = dir.file("folder.wav");
  std::filesystem::create_directory(folder);
  const std::string otherType = text("notes.txt", "x");
  const std::string wav2 = text("short.wa", "x");
  dialogs.queueFileDialog(Script{{good}, false, std::nullopt});  // unticked: nothing plays
  menu(0);
  EXPECT_TRUE(played().empty());
  dialogs.queueFileDialog(Script{{dir.file("*.wav"), folder, otherType, wav2, dir.file("missing.wav"), good, wave4,
                                  upper},
                                 false,
                                 true});
  menu(0);
  EXPECT_EQ(played(), (std::vector<std::string>{good, wave4, upper}));
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(FileCommandsTest, APlayerFailureIsShownAndTheDialogGoesOn) {
  const std::string first = wave("first.wav");
  const std::string second = wave("second.wav");
  dialogs.failNextPlay("The device could not open this file.");
  dialogs.queueFileDialog(Script{{first, second}, true, true});
  menu(0);
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, "The device could not open this file.");
  EXPECT_EQ(played(), (std::vector<std::string>{second}));  // the next selection plays
  EXPECT_EQ(plugin->getSamplePath(), second);
}

TEST_F(FileCommandsTest, ARightReleaseOnTheDisplayUnloads) {
  const std::string loaded = wave("loaded.wav", 0.75f);
  dialogs.queueFileDialog(Script{{loaded}, true, std::nullopt});
  menu(0);
  idle();
  tick();
  click(*window().wdisplay, 100, 40, gui::MouseButton::right);
  const gui::Canvas& shown = window().waveformCopy();
  for (int x = 0; x < 424; x += 7) {
    for (int y = 0; y < 91; y += 5) ASSERT_EQ(shown.pixel(x, y), sarnel::artwork::kBackground) << x << "," << y;
  }
  EXPECT_EQ(window().fname->text(), loaded);  // until the next idle
  idle();
  tick();
  EXPECT_EQ(window().fname->text(), "");
  EXPECT_EQ(window().loopStartColumn(), 0);
  EXPECT_EQ(window().loopEndColumn(), 423);
  EXPECT_EQ(plugin->getParameter(sarnel::kLoopLow), 0.0f);
  EXPECT_EQ(plugin->getParameter(sarnel::kLoopHigh), 1.0f);
  // The left button does not unload.
  dialogs.queueFileDialog(Script{{loaded}, true, std::nullopt});
  menu(0);
  click(*window().wdisplay, 100, 40, gui::MouseButton::left);
  EXPECT_EQ(plugin->getSamplePath(), loaded);
}

TEST_F(FileCommandsTest, TuningFilesSendTheirFrequenciesClampedAndResetRestores) {
  const std::string tuning = steepTuning();
  dialogs.queueFileDialog(Script{{tuning}, true, std::nullopt});
  menu(1);
  ASSERT_EQ(dialogs.fileRequests.size(), 1u);
  const platform::FileOpenRequest& r = dialogs.fileRequests[0];
  EXPECT_EQ(r.title, "Tuning file");
  EXPECT_EQ(r.filter, "tuning files (*.scl;*.tun)|*.scl;*.tun");
  EXPECT_EQ(r.defaultExtension, "*.scl");
  EXPECT_TRUE(r.fileMustExist);
  EXPECT_TRUE(r.checkBoxCaption.empty());
  EXPECT_EQ(plugin->getParameter(sarnel::kTuningFirst), static_cast<float>(20000.0 / 30000.0));
  for (int n = 1; n < sarnel::kNumNotes; ++n) EXPECT_EQ(plugin->getParameter(sarnel::kTuningFirst + n), 1.0f) << n;
  EXPECT_TRUE(boxes.shown().empty());

  menu(2);
  expectDefaultTuning();

  // Cancel sends nothing.
  dialogs.queueFileDialog(Script{{tuning}, false, std::nullopt});
  menu(1);
  expectDefaultTuning();
}

TEST_F(FileCommandsTest, ABrokenTuningFileIsReportedAndItsMapSentAllTheSame) {
  // A Scala file whose pitch is not a number: the map stays equal
  // temperament, and so do the values the engine gets.
  plugin->setParameter(sarnel::kTuningFirst + 60, 0.5f);
  dialogs.queueFileDialog(Script{{text("bad.scl", "bad\n1\nnot-a-pitch.x\n")}, true, std::nullopt});
  menu(1);
  ASSERT_FALSE(boxes.shown().empty());
  EXPECT_EQ(boxes.shown()[0].caption, "Error");
  EXPECT_NEAR(plugin->getParameter(sarnel::kTuningFirst + 69), 440.0f / 30000.0f, 1e-6f);
}

TEST_F(FileCommandsTest, DropsLoadTheFirstFileByItsExtension) {
  const std::string sample = wave("dropped.wav");
  dropFiles({steepTuning(), sample, text("more.scl", "x\n1\n2/1\n")});
  EXPECT_EQ(plugin->getParameter(sarnel::kTuningFirst + 5), 1.0f);
  EXPECT_EQ(plugin->getSamplePath(), "");
  EXPECT_TRUE(dialogs.fileRequests.empty());

  dropFiles({wave("dropped.wave"), sample});
  EXPECT_EQ(plugin->getSamplePath(), "");
  dropFiles({text("readme.txt", "x"), sample});
  EXPECT_EQ(plugin->getSamplePath(), "");
  dropFiles({});
  EXPECT_TRUE(boxes.shown().empty());

  const std::string upper = wave("UPPER.WAV");
  dropFiles({upper, sample});
  EXPECT_EQ(plugin->getSamplePath(), upper);
  EXPECT_EQ(window().fname->text(), upper);
  EXPECT_TRUE(dialogs.playerEvents.empty());  // a drop leaves the player alone
}

TEST_F(FileCommandsTest, ThePreListenSettingIsReadAtCreationAndWrittenAtDestruction) {
  EXPECT_FALSE(window().preListenChecked());
  dialogs.queueFileDialog(Script{{}, false, true});
  menu(0);
  EXPECT_FALSE(store().contains(sarnel::kSettingsSubkey, "PreListen"));
  close();
  EXPECT_EQ(store().readText(sarnel::kSettingsSubkey, "PreListen"), "1");
  open();
  EXPECT_TRUE(window().preListenChecked());
  dialogs.queueFileDialog(Script{{}, false, false});
  menu(0);
  close();
  EXPECT_EQ(store().readText(sarnel::kSettingsSubkey, "PreListen"), "0");
  store().setText(sarnel::kSettingsSubkey, "PreListen", "yes");
  open();
  EXPECT_FALSE(window().preListenChecked());
}

#ifndef _WIN32
// A sample dialog that stays open until the test answers it, so the host's
// process calls run while it is open (as with the browser drawn in the window).
class HeldFileDialog final : public platform::FileDialogService {
 public:
  platform::Answer<platform::FileOpenResult> open(const platform::FileOpenRequest& r) override {
    request = r;
    return platform::Answer<platform::FileOpenResult>(slot);
  }
  platform::FileOpenRequest request;
  platform::AnswerSlot<platform::FileOpenResult> slot;
};

TEST_F(FileCommandsTest, WithoutAMediaServicePreListenPlaysThroughTheOutputWhileTheDialogIsOpen) {
  platform::setMediaPlayerFactoryForTesting(nullptr);
  close();
  open();  // the window now plays through the engine
  HeldFileDialog held;
  platform::setFileDialogServiceForTesting(&held);
  const std::string clip = wave("listen.wav", 0.5f);
  auto peak = [&] {
    std::vector<float> left, right;
    sarneltest::render(*plugin, 2048, left, right);
    float most = 0.0f;
    for (float v : left) most = std::max(most, std::fabs(v));
    return most;
  };
  EXPECT_LT(peak(), 0.01f);
  menu(0);
  ASSERT_TRUE(held.request.onSelectionChange);
  EXPECT_NE(held.request.checkBoxCaption.find("output"), std::string::npos);
  held.request.onSelectionChange(clip, false);  // unticked: silent
  EXPECT_LT(peak(), 0.01f);
  held.request.onSelectionChange(clip, true);
  EXPECT_GT(peak(), 0.4f);
  held.slot.give(platform::FileOpenResult{false, clip, true});
  EXPECT_LT(peak(), 0.01f);  // the dialog closed: silent
  EXPECT_EQ(plugin->getSamplePath(), "");
  platform::setFileDialogServiceForTesting(&dialogs);
  platform::setMediaPlayerFactoryForTesting(&dialogs);
}
#endif

class MissingSampleTest : public FileCommandsTest {
 protected:
  void loadProgramPath(const std::string& path) {
    for (int i = 0; i < sarnel::kPathBytes; ++i) {
      const int byte = i < static_cast<int>(path.size()) ? static_cast<unsigned char>(path[static_cast<std::size_t>(i)]) : 0;
      plugin->setParameter(sarnel::kPathFirst + i, static_cast<float>(byte) / 255.0f);
    }
    plugin->setParameter(sarnel::kCommandLoadProgramSample, 1.0f);
  }
};

TEST_F(MissingSampleTest, ThePromptNamesThePathWordForWord) {
  const std::string missing = dir.file("gone.wav");
  boxes.queueAnswer(MessageResult::cancel);
  loadProgramPath(missing);
  ASSERT_EQ(boxes.shown().size(), 1u);
  const auto& box = boxes.shown()[0];
  EXPECT_EQ(box.text, "Sorry, but " + missing +
                          " could not be found!\n\rIf you want to manually locate the file (or any other file), "
                          "press OK, else press Cancel!");
  EXPECT_EQ(box.caption, "Error!");
  EXPECT_EQ(box.buttons, platform::MessageButtons::okCancel);
  EXPECT_EQ(box.icon, platform::MessageIcon::none);
  EXPECT_TRUE(dialogs.fileRequests.empty());
}

TEST_F(MissingSampleTest, OkRelocatesThroughTheSampleDialog) {
  const std::string missing = dir.file("gone.wav");
  const std::string found = wave("found.wav");
  boxes.queueAnswer(MessageResult::ok);
  dialogs.queueFileDialog(Script{{found}, true, std::nullopt});
  loadProgramPath(missing);
  ASSERT_EQ(dialogs.fileRequests.size(), 1u);
  EXPECT_EQ(dialogs.fileRequests[0].initialFile, missing);
  EXPECT_EQ(plugin->getSamplePath(), found);
  idle();
  EXPECT_EQ(window().fname->text(), found);
}

TEST_F(MissingSampleTest, OkThenCancelGoesOnWithTheMissingPath) {
  const std::string kept = wave("kept.wav");
  dropFiles({kept});
  const std::string missing = dir.file("gone.wav");
  boxes.queueAnswer(MessageResult::ok);
  dialogs.queueFileDialog(Script{{}, false, std::nullopt});
  loadProgramPath(missing);
  ASSERT_EQ(dialogs.fileRequests.size(), 1u);
  // The engine tried the missing path itself: its reader reported why, and
  // the prompt was not asked again.
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[1].caption, "Error");
  EXPECT_EQ(window().sampleDialogFileName(), missing);
}

TEST_F(MissingSampleTest, ALateAnswerLeavesTheHostCallAndOkOpensTheDialogAtThePath) {
  const std::string kept = wave("kept.wav");
  dropFiles({kept});
  boxes.holdAnswers = true;
  const std::string missing = dir.file("gone.wav");
  loadProgramPath(missing);
  EXPECT_EQ(boxes.heldCount(), 1u);
  EXPECT_TRUE(dialogs.fileRequests.empty());

  const std::string found = wave("found.wav");
  dialogs.queueFileDialog(Script{{found}, true, std::nullopt});
  boxes.queueAnswer(MessageResult::ok);
  ASSERT_TRUE(boxes.answerHeld());
  ASSERT_EQ(dialogs.fileRequests.size(), 1u);
  EXPECT_EQ(dialogs.fileRequests[0].initialFile, missing);
  EXPECT_EQ(plugin->getSamplePath(), found);

  // Cancel later changes nothing more.
  loadProgramPath(missing);
  boxes.queueAnswer(MessageResult::cancel);
  ASSERT_TRUE(boxes.answerHeld());
  EXPECT_EQ(dialogs.fileRequests.size(), 1u);
}

}  // namespace
}  // namespace sarneleditortest
