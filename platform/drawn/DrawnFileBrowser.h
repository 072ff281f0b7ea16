#pragma once
// A file browser drawn in the editor window, for systems whose file dialogs
// a plug-in cannot extend (Linux: no check box, no selection notification).
// It shows the current folder, its folders and the files the request's
// filter admits (folders first, each group sorted, hidden entries left out),
// a typed path field that has the keyboard when the browser opens (its text
// selected, so a full path and Return choose that file at once), OK and
// Cancel, the request's check box, and a button that hands over to the
// desktop's own chooser where one is installed.
//
// Keys: Up, Down, Page Up, Page Down, Home, End walk the list; Return opens
// the selected folder or chooses the selected file (or the typed path);
// Backspace in the list (or in an empty field) goes to the parent folder;
// letters typed in the list jump to the next entry starting with them; Tab
// moves between the field and the list; Escape cancels. Mouse: a click
// selects, a double click opens a folder or chooses a file.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/Font.h"
#include "platform/FileDialogService.h"
#include "platform/drawn/DrawnBoxes.h"

namespace platform {

struct FolderEntry {
  std::string name;
  bool isFolder = false;
};

// The entries of a folder, or nothing when it cannot be read.
using FolderReader = std::function<std::optional<std::vector<FolderEntry>>(const std::string& folder)>;
// The file system as it is.
FolderReader systemFolderReader();

class DrawnFileBrowser final : public DrawnBox {
 public:
  // Lays itself out in `area`. `homeFolder` is where a request without a
  // path starts. `offerDesktop` shows the hand-over button.
  DrawnFileBrowser(gui::Rect area, FileOpenRequest request, FolderReader reader, std::string homeFolder,
                   bool offerDesktop);

  void paint(gui::Canvas& canvas) override;
  void press(gui::Point at) override;
  void release(gui::Point at) override;
  void key(BoxKey key, const std::string& text) override;
  gui::Rect bounds() const override { return box_; }

  // The answer once done: accepted with the chosen file, or not; and
  // whether the user asked for the desktop's chooser instead.
  FileOpenResult result() const;
  bool handedOver() const { return handedOver_; }

  // What a test can look at.
  const std::string& folder() const { return folder_; }
  const std::vector<FolderEntry>& entries() const { return entries_; }
  int selected() const { return selected_; }
  const std::string& fieldText() const { return field_; }
  bool fieldHasKeyboard() const { return fieldFocused_; }
  bool checked() const { return checked_; }
  gui::Rect rowRect(int visibleRow) const;
  gui::Rect fieldRect() const;
  gui::Rect okRect() const;
  gui::Rect cancelRect() const;
  gui::Rect desktopRect() const;
  gui::Rect checkBoxRect() const;
  int firstVisible() const { return top_; }

 private:
  bool admits(const std::string& fileName) const;
  void enterFolder(const std::string& folder, const std::string& selectName = {});
  void select(int index);
  void activateSelection();
  void activateField();
  void accept(const std::string& path);
  void toParent();
  void jumpTo(const std::string& typed);
  void fieldKey(BoxKey key);
  void fieldInsert(const std::string& text);
  std::string pathOf(const std::string& name) const;
  int visibleRows() const;
  int rowAt(gui::Point at) const;

  FileOpenRequest request_;
  FolderReader reader_;
  std::string home_;
  bool offerDesktop_;
  std::vector<std::string> patterns_;  // lower-case "*.wav" style

  gui::Font font_{-11};
  gui::Font bold_{-11, gui::FontWeight::bold};
  gui::Rect box_;
  std::string folder_;
  std::vector<FolderEntry> entries_;
  int selected_ = -1;
  int top_ = 0;
  std::string field_;
  std::size_t caret_ = 0;
  bool fieldSelected_ = true;
  bool fieldFocused_ = true;
  bool checked_ = false;
  bool accepted_ = false;
  bool handedOver_ = false;
  std::string chosen_;
  std::string lastSelectedFile_;
  int pressedButton_ = -1;  // 0 OK, 1 Cancel, 2 desktop
  int lastClickRow_ = -1;
  std::chrono::steady_clock::time_point lastClickTime_{};
};

}  // namespace platform
