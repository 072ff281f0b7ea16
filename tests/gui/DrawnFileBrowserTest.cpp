// The file browser drawn in the editor window, over a real folder: what it
// lists, where it starts, and every key and click that walks it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gui/Canvas.h"
#include "platform/drawn/DrawnFileBrowser.h"

namespace {

namespace fs = std::filesystem;
using platform::BoxKey;
using platform::DrawnFileBrowser;

gui::Point centre(const gui::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class FileBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("vornhalt-browser-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "sub");
    fs::create_directories(root / "Zed");
    fs::create_directories(root / ".hidden folder");
    for (const char* name : {"b.wav", "A.WAV", "c.txt", ".hidden.wav", "sub/inner.wav", "Zed/z.wav"}) {
      std::ofstream(root / name) << "RIFF";
    }
  }
  void TearDown() override { fs::remove_all(root); }

  platform::FileOpenRequest request(const std::string& initial) {
    platform::FileOpenRequest r;
    r.title = "Load WAV file...";
    r.filter = "WAV files (*.wav)|*.wav";
    r.initialFile = initial;
    r.checkBoxCaption = "Pre-listen (plays through the plug-in's output)";
    r.onSelectionChange = [this](const std::string& file, bool checked) { selections.push_back({file, checked}); };
    return r;
  }
  DrawnFileBrowser open(const std::string& initial, bool desktop = false) {
    return DrawnFileBrowser(gui::Rect{0, 0, 678, 497}, request(initial), platform::systemFolderReader(),
                            root.string(), desktop);
  }
  std::vector<std::string> names(const DrawnFileBrowser& browser) {
    std::vector<std::string> shown;
    for (const auto& entry : browser.entries()) shown.push_back(entry.name + (entry.isFolder ? "/" : ""));
    return shown;
  }
  void type(DrawnFileBrowser& browser, const std::string& text) {
    for (char c : text) browser.key(BoxKey::none, std::string(1, c));
  }

  fs::path root;
  std::vector<std::pair<std::string, bool>> selections;
};

TEST_F(FileBrowser, ListsFoldersFirstThenTheWavFilesSortedWithoutHiddenOnes) {
  DrawnFileBrowser browser = open("");
  EXPECT_EQ(browser.folder(), root.string());  // the first time: the home folder
  EXPECT_EQ(browser.fieldText(), "*.wav");
  EXPECT_EQ(names(browser), (std::vector<std::string>{"sub/", "Zed/", "A.WAV", "b.wav"}));
  gui::Canvas canvas(678, 497, gui::colors::black);
  browser.paint(canvas);
  EXPECT_TRUE(browser.bounds().intersect(canvas.bounds()) == browser.bounds());
  canvas.savePng(std::string(VORNHALT_BINARY_DIR) + "/file_browser.png");  // to look at
}

TEST_F(FileBrowser, StartsAtTheLastChoiceWithTheFieldReadyForAFullPath) {
  DrawnFileBrowser browser = open((root / "b.wav").string());
  EXPECT_EQ(browser.folder(), root.string());
  ASSERT_GE(browser.selected(), 0);
  EXPECT_EQ(browser.entries()[static_cast<std::size_t>(browser.selected())].name, "b.wav");
  EXPECT_TRUE(browser.fieldHasKeyboard());
  // Typing replaces the selected text; Return loads the typed path at once.
  type(browser, (root / "sub" / "inner.wav").string());
  browser.key(BoxKey::enter, {});
  ASSERT_TRUE(browser.done());
  EXPECT_TRUE(browser.result().accepted);
  EXPECT_EQ(browser.result().file, (root / "sub" / "inner.wav").string());
}

TEST_F(FileBrowser, TheTuningBrowserListsTuningFilesWithoutACheckBox) {
  for (const char* name : {"pure.scl", "ODD.TUN", "x.wav"}) std::ofstream(root / name) << "x";
  platform::FileOpenRequest r;
  r.title = "Tuning file";
  r.filter = "tuning files (*.scl;*.tun)|*.scl;*.tun";
  r.defaultExtension = "*.scl";
  DrawnFileBrowser browser(gui::Rect{0, 0, 678, 497}, r, platform::systemFolderReader(), root.string(), false);
  EXPECT_EQ(browser.folder(), root.string());
  EXPECT_EQ(browser.fieldText(), "*.scl");
  EXPECT_EQ(names(browser), (std::vector<std::string>{"sub/", "Zed/", "ODD.TUN", "pure.scl"}));
  EXPECT_TRUE(browser.checkBoxRect().empty());
}

TEST_F(FileBrowser, KeysWalkTheListOpenFoldersAndGoBackUp) {
  DrawnFileBrowser browser = open("");
  browser.key(BoxKey::down, {});  // the list takes the keys: the first entry
  EXPECT_FALSE(browser.fieldHasKeyboard());
  EXPECT_EQ(browser.selected(), 0);
  browser.key(BoxKey::enter, {});  // opens "sub"
  EXPECT_EQ(browser.folder(), (root / "sub").string());
  EXPECT_EQ(names(browser), (std::vector<std::string>{"inner.wav"}));
  browser.key(BoxKey::backspace, {});  // back up, "sub" selected
  EXPECT_EQ(browser.folder(), root.string());
  EXPECT_EQ(browser.entries()[static_cast<std::size_t>(browser.selected())].name, "sub");
  browser.key(BoxKey::end, {});
  EXPECT_EQ(browser.selected(), 3);
  EXPECT_EQ(browser.fieldText(), "b.wav");
  browser.key(BoxKey::home, {});
  EXPECT_EQ(browser.selected(), 0);
  type(browser, "a");  // jumps to the next entry starting with "a"
  EXPECT_EQ(browser.entries()[static_cast<std::size_t>(browser.selected())].name, "A.WAV");
  browser.key(BoxKey::pageDown, {});
  EXPECT_EQ(browser.selected(), 3);
  browser.key(BoxKey::pageUp, {});
  EXPECT_EQ(browser.selected(), 0);
  browser.key(BoxKey::tab, {});
  EXPECT_TRUE(browser.fieldHasKeyboard());
  browser.key(BoxKey::escape, {});
  EXPECT_TRUE(browser.done());
  EXPECT_FALSE(browser.result().accepted);
}

TEST_F(FileBrowser, SelectingAFileTellsTheListenerWithTheCheckBoxState) {
  DrawnFileBrowser browser = open("");
  browser.press(centre(browser.checkBoxRect()));
  browser.release(centre(browser.checkBoxRect()));
  EXPECT_TRUE(browser.checked());
  browser.key(BoxKey::down, {});  // "sub": a folder, nothing to hear
  browser.key(BoxKey::end, {});
  browser.key(BoxKey::up, {});
  ASSERT_EQ(selections.size(), 2u);
  EXPECT_EQ(selections[0], std::make_pair((root / "b.wav").string(), true));
  EXPECT_EQ(selections[1], std::make_pair((root / "A.WAV").string(), true));
  browser.key(BoxKey::up, {});  // a folder: nothing to hear
  EXPECT_EQ(selections.size(), 2u);
  // Cancel keeps the check box as the user left it and names the last file.
  browser.press(centre(browser.cancelRect()));
  browser.release(centre(browser.cancelRect()));
  ASSERT_TRUE(browser.done());
  EXPECT_FALSE(browser.result().accepted);
  EXPECT_TRUE(browser.result().checkBoxChecked);
  EXPECT_EQ(browser.result().file, (root / "A.WAV").string());
}

TEST_F(FileBrowser, AClickSelectsAndADoubleClickOpensOrChooses) {
  DrawnFileBrowser browser = open("");
  const gui::Point zed = centre(browser.rowRect(1));
  browser.press(zed);
  browser.release(zed);
  EXPECT_EQ(browser.selected(), 1);
  EXPECT_EQ(browser.folder(), root.string());
  browser.press(zed);  // the second press on the same row: open it
  browser.release(zed);
  EXPECT_EQ(browser.folder(), (root / "Zed").string());
  const gui::Point first = centre(browser.rowRect(0));
  browser.press(first);
  browser.release(first);
  browser.press(first);
  browser.release(first);
  ASSERT_TRUE(browser.done());
  EXPECT_TRUE(browser.result().accepted);
  EXPECT_EQ(browser.result().file, (root / "Zed" / "z.wav").string());
}

TEST_F(FileBrowser, TheDesktopButtonHandsOverAndAMissingFileIsNotChosen) {
  DrawnFileBrowser none = open("");
  EXPECT_TRUE(none.desktopRect().empty());
  DrawnFileBrowser browser = open("", true);
  type(browser, "missing.wav");
  browser.key(BoxKey::enter, {});
  EXPECT_FALSE(browser.done());  // a file that must exist and does not
  browser.press(centre(browser.desktopRect()));
  browser.release(centre(browser.desktopRect()));
  ASSERT_TRUE(browser.done());
  EXPECT_TRUE(browser.handedOver());
  EXPECT_FALSE(browser.result().accepted);
}

}  // namespace
