#pragma once
// The questions of one editor window, drawn over its form: message boxes,
// input boxes and popup menus that answer later. A question opens a box (or
// waits behind the open one), the window feeds the box its pointer and key
// input from the host's idle calls, and the box's answer resumes whatever
// waits for it. Nothing here blocks: the host's GUI thread keeps running and
// so do the editor's timers, whose drawing shows under the box.

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "gui/Canvas.h"
#include "gui/Form.h"
#include "platform/drawn/DrawnBoxes.h"
#include "platform/drawn/InWindowPresenter.h"

namespace platform {

// What the boxes need of the window that shows them.
class BoxScreen {
 public:
  virtual ~BoxScreen() = default;
  virtual gui::Form& form() = 0;
  // Whether the user can see the window (a box in a hidden window would
  // never be answered).
  virtual bool isVisible() const = 0;
  // A screen position in form coordinates (menus open at the pointer).
  virtual gui::Point fromScreen(ScreenPoint at) const = 0;
  // The first box opened / the last one closed: take the keyboard, give it
  // back.
  virtual void boxesOpened() {}
  virtual void boxesClosed() {}
};

class InWindowBoxes final : public InWindowPresenter {
 public:
  explicit InWindowBoxes(BoxScreen& screen);
  // Answers every open and waiting question as a user who closes the box,
  // while the form is still there for the handlers that resume.
  ~InWindowBoxes() override;
  InWindowBoxes(const InWindowBoxes&) = delete;
  InWindowBoxes& operator=(const InWindowBoxes&) = delete;

  Answer<MessageResult> show(std::string_view text, std::string_view caption, MessageButtons buttons,
                             MessageIcon icon) override;
  Answer<std::optional<std::string>> query(std::string_view caption, std::string_view prompt,
                                           std::string_view defaultText) override;
  Answer<int> choose(const std::vector<MenuItem>& items, ScreenPoint at) override;
  Answer<BrowseOutcome> browse(const FileOpenRequest& request, bool offerDesktop) override;

  // A box is open: the window gives it the input instead of the form.
  bool isOpen() const { return !questions_.empty(); }
  DrawnBox* openBox() const { return questions_.empty() ? nullptr : questions_.front().box.get(); }
  std::size_t questionCount() const { return questions_.size(); }

  void press(gui::Point at);
  void release(gui::Point at);
  void move(gui::Point at);
  void key(BoxKey key, const std::string& text);
  // Answers every question as Cancel (or the box's negative button).
  void dismissAll();

  // Paints what changed (the form's dirty rectangles, the box) and answers
  // the changed area; empty when nothing changed. The pixels to show are
  // then in pixels().
  gui::Rect paint();
  const gui::Canvas& pixels() const { return isOpen() ? screen_ : screenOwner_.form().canvas(); }

 private:
  struct Question {
    std::unique_ptr<DrawnBox> box;
    // Gives the answer from the box, or the dismissed answer.
    std::function<void(bool dismissed)> finish;
  };

  void ask(Question question);
  // After input: closes a finished box and answers it.
  void afterInput();
  void finishFront(bool dismissed);

  BoxScreen& screenOwner_;
  std::deque<Question> questions_;
  gui::Canvas screen_;        // the form with the open box over it
  gui::Rect shownBox_;        // where the box was last drawn
  bool boxChanged_ = false;   // the box needs drawing (new, or after input)
  gui::Rect uncovered_;       // a closed box's area, to show the form there again
  bool closing_ = false;
};

}  // namespace platform
