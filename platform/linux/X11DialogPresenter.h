#pragma once
// Presents message boxes, input boxes and popup menus inside an open X11
// editor window: each runs a modal loop on the window's display connection
// that draws the box over the form and keeps the GUI timers running.

#include <X11/Xlib.h>

#include "gui/Form.h"
#include "platform/linux/InWindowPresenter.h"

namespace platform {

class DrawnBox;

// What the presenter needs of the window.
class X11Surface {
 public:
  virtual ~X11Surface() = default;
  virtual Display* display() = 0;
  virtual Window window() = 0;
  virtual gui::Form& form() = 0;
  virtual bool isVisible() const = 0;
  // Puts the form canvas's pixels in `area` on the screen.
  virtual void present(const gui::Rect& area) = 0;
};

class X11DialogPresenter final : public InWindowPresenter {
 public:
  explicit X11DialogPresenter(X11Surface& surface) : surface_(surface) {}

  Answer<MessageResult> show(std::string_view text, std::string_view caption, MessageButtons buttons,
                             MessageIcon icon) override;
  Answer<std::optional<std::string>> query(std::string_view caption, std::string_view prompt,
                                           std::string_view defaultText) override;
  Answer<int> choose(const std::vector<MenuItem>& items, ScreenPoint at) override;

 private:
  // Runs the box until it is done; false when the window cannot show it.
  bool runModal(DrawnBox& box);

  X11Surface& surface_;
  bool running_ = false;
};

}  // namespace platform
