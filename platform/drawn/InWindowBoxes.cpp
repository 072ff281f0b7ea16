#include "platform/drawn/InWindowBoxes.h"

#include <cstdlib>
#include <utility>

#include "platform/drawn/DrawnFileBrowser.h"

#include "platform/GuiExceptions.h"

namespace platform {

InWindowBoxes::InWindowBoxes(BoxScreen& screen) : screenOwner_(screen) {}

InWindowBoxes::~InWindowBoxes() {
  closing_ = true;
  dismissAll();
}

void InWindowBoxes::ask(Question question) {
  const bool first = questions_.empty();
  questions_.push_back(std::move(question));
  if (!first) return;  // it waits behind the open box
  gui::Form& form = screenOwner_.form();
  // The press that opened the box will be released over the box.
  form.releaseCapture();
  uncovered_ = uncovered_.unite(form.paintDirty());  // not on the screen yet
  screen_ = form.canvas();
  boxChanged_ = true;
  screenOwner_.boxesOpened();
}

Answer<MessageResult> InWindowBoxes::show(std::string_view text, std::string_view caption, MessageButtons buttons,
                                          MessageIcon) {
  if (closing_ || !screenOwner_.isVisible()) return Answer<MessageResult>::now(dismissedAnswer(buttons));
  auto box = std::make_unique<DrawnDialog>(screenOwner_.form().bounds(), std::string(caption), std::string(text),
                                           messageButtonCaptions(buttons), std::nullopt);
  AnswerSlot<MessageResult> slot;
  DrawnDialog* dialog = box.get();
  ask({std::move(box), [slot, dialog, buttons](bool dismissed) mutable {
         slot.give(dismissed ? dismissedAnswer(buttons) : messageAnswer(buttons, dialog->chosen()));
       }});
  return Answer<MessageResult>(slot);
}

Answer<std::optional<std::string>> InWindowBoxes::query(std::string_view caption, std::string_view prompt,
                                                        std::string_view defaultText) {
  using Typed = std::optional<std::string>;
  if (closing_ || !screenOwner_.isVisible()) return Answer<Typed>::now(std::nullopt);
  auto box = std::make_unique<DrawnDialog>(screenOwner_.form().bounds(), std::string(caption), std::string(prompt),
                                           std::vector<std::string>{"OK", "Cancel"}, std::string(defaultText));
  AnswerSlot<Typed> slot;
  DrawnDialog* dialog = box.get();
  ask({std::move(box), [slot, dialog](bool dismissed) mutable {
         if (dismissed || dialog->chosen() != 0) {
           slot.give(std::nullopt);
         } else {
           slot.give(dialog->editText());
         }
       }});
  return Answer<Typed>(slot);
}

Answer<int> InWindowBoxes::choose(const std::vector<MenuItem>& items, ScreenPoint at) {
  if (closing_ || !screenOwner_.isVisible()) return Answer<int>::now(-1);
  auto menu = std::make_unique<DrawnMenu>(screenOwner_.form().bounds(), screenOwner_.fromScreen(at), items);
  AnswerSlot<int> slot;
  DrawnMenu* drawn = menu.get();
  ask({std::move(menu), [slot, drawn](bool dismissed) mutable { slot.give(dismissed ? -1 : drawn->chosen()); }});
  return Answer<int>(slot);
}

Answer<BrowseOutcome> InWindowBoxes::browse(const FileOpenRequest& request, bool offerDesktop) {
  BrowseOutcome declined;
  declined.result.file = request.initialFile;
  declined.result.checkBoxChecked = request.checkBoxChecked;
  if (closing_ || !screenOwner_.isVisible()) return Answer<BrowseOutcome>::now(declined);
  const char* home = std::getenv("HOME");
  auto browser = std::make_unique<DrawnFileBrowser>(screenOwner_.form().bounds(), request, systemFolderReader(),
                                                    home != nullptr ? home : "/", offerDesktop);
  AnswerSlot<BrowseOutcome> slot;
  DrawnFileBrowser* drawn = browser.get();
  ask({std::move(browser), [slot, drawn](bool dismissed) mutable {
         BrowseOutcome outcome;
         outcome.result = drawn->result();
         if (dismissed) outcome.result.accepted = false;
         outcome.handedOver = !dismissed && drawn->handedOver();
         slot.give(outcome);
       }});
  return Answer<BrowseOutcome>(slot);
}

void InWindowBoxes::press(gui::Point at) {
  if (DrawnBox* box = openBox()) {
    box->press(at);
    afterInput();
  }
}

void InWindowBoxes::release(gui::Point at) {
  if (DrawnBox* box = openBox()) {
    box->release(at);
    afterInput();
  }
}

void InWindowBoxes::move(gui::Point at) {
  if (DrawnBox* box = openBox()) {
    box->move(at);
    afterInput();
  }
}

void InWindowBoxes::key(BoxKey key, const std::string& text) {
  if (DrawnBox* box = openBox()) {
    box->key(key, text);
    afterInput();
  }
}

void InWindowBoxes::afterInput() {
  boxChanged_ = true;
  if (!questions_.empty() && questions_.front().box->done()) finishFront(false);
}

void InWindowBoxes::finishFront(bool dismissed) {
  // Off the queue first: the answer may resume a handler that asks again.
  Question done = std::move(questions_.front());
  questions_.pop_front();
  uncovered_ = uncovered_.unite(shownBox_);
  shownBox_ = {};
  boxChanged_ = true;
  if (questions_.empty()) screenOwner_.boxesClosed();
  try {
    done.finish(dismissed);
  } catch (...) {
    reportCurrentException();
  }
}

void InWindowBoxes::dismissAll() {
  while (!questions_.empty()) finishFront(true);
}

gui::Rect InWindowBoxes::paint() {
  gui::Form& form = screenOwner_.form();
  gui::Rect changed = form.paintDirty();
  if (!isOpen()) {
    // The form's own pixels show again where a box was.
    changed = changed.unite(std::exchange(uncovered_, {}));
    boxChanged_ = false;
    return changed.intersect(form.bounds());
  }
  const gui::Rect box = openBox()->bounds().intersect(form.bounds());
  if (!changed.empty()) screen_.draw(form.canvas(), changed, {changed.left, changed.top});
  if (boxChanged_ || !changed.intersect(box.unite(shownBox_)).empty()) {
    const gui::Rect area = box.unite(shownBox_).unite(uncovered_);
    screen_.draw(form.canvas(), area, {area.left, area.top});
    openBox()->paint(screen_);
    changed = changed.unite(area);
    shownBox_ = box;
    uncovered_ = {};
    boxChanged_ = false;
  }
  return changed.intersect(form.bounds());
}

}  // namespace platform
