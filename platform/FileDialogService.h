#pragma once
// The file-open dialog: the system's own on Windows (with an optional
// pre-listen check box below it and a selection-change notification), a box
// drawn in the editor window on Linux, a script in tests.

#include <functional>
#include <string>

#include "platform/Answer.h"

namespace platform {

struct FileOpenRequest {
  std::string title;
  // Pairs of description and patterns separated by '|', as
  // "tuning files (*.scl;*.tun)|*.scl;*.tun".
  std::string filter;
  std::string defaultExtension;
  std::string initialFile;  // full path or pattern such as "*.wav"
  bool fileMustExist = true;
  // The pre-listen check box: shown when the caption is not empty.
  std::string checkBoxCaption;
  bool checkBoxChecked = false;
  // Called with the selected file whenever the selection changes while the
  // dialog is open (for pre-listening). GUI thread.
  std::function<void(const std::string& file, bool checkBoxChecked)> onSelectionChange;
};

struct FileOpenResult {
  bool accepted = false;
  std::string file;              // the chosen file on OK; the last selection otherwise
  bool checkBoxChecked = false;  // the check box as the user left it
};

class FileDialogService {
 public:
  virtual ~FileDialogService() = default;
  // Shows the dialog; answered at once where the system's dialog is modal,
  // later where it is not. GUI thread.
  virtual Answer<FileOpenResult> open(const FileOpenRequest& request) = 0;
};

FileDialogService& systemFileDialogs();
void setFileDialogServiceForTesting(FileDialogService* service);

}  // namespace platform
