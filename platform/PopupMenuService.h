#pragma once
// Popup menus opened at a screen position; the choice is answered at once
// (the toolkit then raises the item's handler).

#include <string>
#include <vector>

#include "platform/Answer.h"

namespace platform {

struct MenuItem {
  std::string caption;  // "-" is a separator line
  bool checked = false;
  bool enabled = true;
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

class PopupMenuService {
 public:
  virtual ~PopupMenuService() = default;
  // The index of the chosen item, or -1 when the menu was dismissed.
  // Captions are shown as they are (no accelerator keys). GUI thread.
  virtual Answer<int> choose(const std::vector<MenuItem>& items, ScreenPoint at) = 0;
};

PopupMenuService& systemPopupMenus();
void setPopupMenuServiceForTesting(PopupMenuService* service);

}  // namespace platform
