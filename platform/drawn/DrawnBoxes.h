#pragma once
// Boxes drawn over an editor form: message box, input box and popup menu,
// for systems without dialogs a plug-in can rely on. Each box lays itself
// out in the form, paints into a canvas and takes pointer and key input
// until it is done; the window feeds it from the host's idle calls.

#include <optional>
#include <string>
#include <vector>

#include "gui/Canvas.h"
#include "gui/Font.h"
#include "platform/MessageBoxService.h"
#include "platform/PopupMenuService.h"

namespace platform {

enum class BoxKey { none, enter, escape, backspace, del, up, down, left, right, home, end, pageUp, pageDown, tab };

class DrawnBox {
 public:
  virtual ~DrawnBox() = default;
  virtual void paint(gui::Canvas& canvas) = 0;
  virtual void press(gui::Point at) = 0;
  virtual void release(gui::Point at) = 0;
  virtual void move(gui::Point) {}
  // A key: a named one, or typed text (UTF-8) with `key` none.
  virtual void key(BoxKey key, const std::string& text) = 0;
  // The rectangle the box covers (form coordinates).
  virtual gui::Rect bounds() const = 0;
  bool done() const { return done_; }

 protected:
  bool done_ = false;
};

// A box with a caption bar, lines of text, an optional edit line and a row
// of buttons.
class DrawnDialog : public DrawnBox {
 public:
  // The rectangle centres in `area`.
  DrawnDialog(gui::Rect area, std::string caption, std::string text, std::vector<std::string> buttons,
              std::optional<std::string> editText);

  void paint(gui::Canvas& canvas) override;
  void press(gui::Point at) override;
  void release(gui::Point at) override;
  void key(BoxKey key, const std::string& text) override;

  // The chosen button's index (-1: closed with Escape), and the edit text.
  int chosen() const { return chosen_; }
  const std::string& editText() const { return edit_.value(); }
  // The caret's byte offset in the edit text, and whether the whole text is
  // selected (as it is when the box opens: typing replaces it).
  std::size_t caret() const { return caret_; }
  bool allSelected() const { return replaceOnType_; }
  gui::Rect buttonRect(int index) const;
  gui::Rect box() const { return box_; }
  gui::Rect bounds() const override { return box_; }

 private:
  std::vector<std::string> wrap(const std::string& text, int width) const;
  void insert(const std::string& text);
  void editKey(BoxKey key);

  gui::Font font_{-11};
  gui::Font bold_{-11, gui::FontWeight::bold};
  gui::Rect box_;
  std::string caption_;
  std::vector<std::string> lines_;
  std::vector<std::string> buttons_;
  std::optional<std::string> edit_;
  bool replaceOnType_ = true;  // the default text is selected at first
  std::size_t caret_ = 0;
  int pressedButton_ = -1;
  int chosen_ = -1;
};

class DrawnMenu : public DrawnBox {
 public:
  // Opens with its top left corner at `at` (form coordinates). Where the
  // menu would leave `area` it opens to the other side of `at` (above, or
  // to the left), and where that does not fit either it is shifted inside.
  DrawnMenu(gui::Rect area, gui::Point at, std::vector<MenuItem> items);

  void paint(gui::Canvas& canvas) override;
  void press(gui::Point at) override;
  void release(gui::Point at) override;
  void move(gui::Point at) override;
  void key(BoxKey key, const std::string& text) override;

  int chosen() const { return chosen_; }
  int highlighted() const { return hot_; }
  gui::Rect itemRect(int index) const;
  gui::Rect bounds() const override { return box_; }

 private:
  int itemAt(gui::Point at) const;
  bool selectable(int index) const;

  gui::Font font_{-11};
  std::vector<MenuItem> items_;
  gui::Rect box_;
  int hot_ = -1;
  int chosen_ = -1;
  bool armed_ = false;  // the press that opened the menu has been released
};

// The answers of the message box buttons in their order.
std::vector<std::string> messageButtonCaptions(MessageButtons buttons);
MessageResult messageAnswer(MessageButtons buttons, int chosen);

}  // namespace platform
