#include "platform/drawn/DrawnBoxes.h"

#include <algorithm>

#include "platform/drawn/BoxStyle.h"

namespace platform {

using namespace boxstyle;

namespace {

// One edge of `wanted` long starting at `at`, kept within `low`..`high`:
// flipped to end at `at` when it does not fit after it, shifted otherwise.
int placeSpan(int at, int wanted, int low, int high) {
  if (at + wanted <= high) return std::max(at, low);
  if (at - wanted >= low) return at - wanted;
  return std::clamp(high - wanted, low, std::max(high - wanted, low));
}

}  // namespace

DrawnDialog::DrawnDialog(gui::Rect area, std::string caption, std::string text, std::vector<std::string> buttons,
                         std::optional<std::string> editText)
    : caption_(std::move(caption)), buttons_(std::move(buttons)), edit_(std::move(editText)) {
  if (edit_) caret_ = edit_->size();
  const int width = std::min(300, std::max(area.width() - 8, 120));
  lines_ = wrap(text, width - 2 * kPadding);
  const int textHeight = static_cast<int>(lines_.size()) * font_.lineHeight();
  const int height = kCaptionHeight + kPadding + textHeight + (edit_ ? kEditHeight + kPadding : 0) + kPadding +
                     kButtonHeight + kPadding;
  box_ = gui::Rect::sized(area.left + (area.width() - width) / 2, area.top + std::max((area.height() - height) / 2, 0),
                          width, height);
}

std::vector<std::string> DrawnDialog::wrap(const std::string& text, int width) const {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    const std::string paragraph = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    std::string line;
    std::size_t pos = 0;
    while (pos <= paragraph.size()) {
      std::size_t wordEnd = paragraph.find(' ', pos);
      if (wordEnd == std::string::npos) wordEnd = paragraph.size();
      const std::string word = paragraph.substr(pos, wordEnd - pos);
      const std::string candidate = line.empty() ? word : line + " " + word;
      if (!line.empty() && font_.textWidth(candidate) > width) {
        lines.push_back(line);
        line = word;
      } else {
        line = candidate;
      }
      pos = wordEnd + 1;
    }
    lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

gui::Rect DrawnDialog::buttonRect(int index) const {
  const int count = static_cast<int>(buttons_.size());
  const int row = count * kButtonWidth + (count - 1) * kPadding;
  const int left = box_.left + (box_.width() - row) / 2 + index * (kButtonWidth + kPadding);
  return gui::Rect::sized(left, box_.bottom - kPadding - kButtonHeight, kButtonWidth, kButtonHeight);
}

void DrawnDialog::paint(gui::Canvas& canvas) {
  canvas.fillRect(box_, kFace);
  bevel(canvas, box_, false);
  canvas.fillRect({box_.left + 2, box_.top + 2, box_.right - 2, box_.top + kCaptionHeight}, kCaption);
  bold_.draw(canvas, box_.left + 6, box_.top + 3, caption_, gui::colors::white);
  int y = box_.top + kCaptionHeight + kPadding;
  for (const std::string& line : lines_) {
    font_.draw(canvas, box_.left + kPadding, y, line, kText);
    y += font_.lineHeight();
  }
  if (edit_) {
    y += kPadding;
    const gui::Rect field = gui::Rect::sized(box_.left + kPadding, y, box_.width() - 2 * kPadding, kEditHeight);
    canvas.fillRect(field, gui::colors::white);
    bevel(canvas, field, true);
    const int textWidth = font_.textWidth(*edit_);
    const int caretX = font_.textWidth(edit_->substr(0, caret_));
    // A long text scrolls so that the caret stays in the field.
    const int room = field.width() - 7;
    const int scroll = std::max(0, caretX - room);
    const int x = field.left + 3 - scroll;
    const gui::Rect inner{field.left + 2, field.top + 2, field.right - 2, field.bottom - 2};
    gui::Canvas::View clip(canvas, canvas.origin(), inner);
    if (replaceOnType_ && !edit_->empty()) {
      canvas.fillRect({std::max(x, inner.left), field.top + 2, x + textWidth, field.bottom - 2}, kHighlight);
      font_.draw(canvas, x, field.top + 3, *edit_, gui::colors::white);
    } else {
      font_.draw(canvas, x, field.top + 3, *edit_, kText);
      canvas.fillRect({x + caretX, field.top + 3, x + caretX + 1, field.bottom - 3}, kText);  // caret
    }
  }
  for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
    const gui::Rect r = buttonRect(i);
    canvas.fillRect(r, kFace);
    bevel(canvas, r, i == pressedButton_);
    if (i == 0) canvas.frameRect(r.inflated(1), kText);  // the default button
    const int w = font_.textWidth(buttons_[static_cast<std::size_t>(i)]);
    font_.draw(canvas, r.left + (r.width() - w) / 2, r.top + (r.height() - font_.lineHeight()) / 2,
               buttons_[static_cast<std::size_t>(i)], kText);
  }
}

void DrawnDialog::press(gui::Point at) {
  pressedButton_ = -1;
  for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
    if (buttonRect(i).contains(at)) pressedButton_ = i;
  }
}

void DrawnDialog::release(gui::Point at) {
  if (pressedButton_ >= 0 && buttonRect(pressedButton_).contains(at)) {
    chosen_ = pressedButton_;
    done_ = true;
  }
  pressedButton_ = -1;
}

void DrawnDialog::key(BoxKey key, const std::string& text) {
  switch (key) {
    case BoxKey::enter:
      chosen_ = 0;
      done_ = true;
      return;
    case BoxKey::escape:
      chosen_ = -1;
      done_ = true;
      return;
    case BoxKey::none: insert(text); return;
    default: editKey(key); return;
  }
}

void DrawnDialog::insert(const std::string& text) {
  if (!edit_ || text.empty()) return;
  if (replaceOnType_) {
    edit_->clear();
    caret_ = 0;
  }
  replaceOnType_ = false;
  const std::string typed = printable(text);
  edit_->insert(caret_, typed);
  caret_ += typed.size();
}

void DrawnDialog::editKey(BoxKey key) {
  if (!edit_) return;
  std::string& text = *edit_;
  if (replaceOnType_) {
    // The first key after opening acts on the whole selected text.
    replaceOnType_ = false;
    switch (key) {
      case BoxKey::backspace:
      case BoxKey::del:
        text.clear();
        caret_ = 0;
        return;
      case BoxKey::left:
      case BoxKey::home: caret_ = 0; return;
      case BoxKey::right:
      case BoxKey::end: caret_ = text.size(); return;
      default: replaceOnType_ = true; return;
    }
  }
  switch (key) {
    case BoxKey::backspace: {
      const std::size_t from = previousCharacter(text, caret_);
      text.erase(from, caret_ - from);
      caret_ = from;
      return;
    }
    case BoxKey::del: text.erase(caret_, nextCharacter(text, caret_) - caret_); return;
    case BoxKey::left: caret_ = previousCharacter(text, caret_); return;
    case BoxKey::right: caret_ = nextCharacter(text, caret_); return;
    case BoxKey::home: caret_ = 0; return;
    case BoxKey::end: caret_ = text.size(); return;
    default: return;
  }
}

DrawnMenu::DrawnMenu(gui::Rect area, gui::Point at, std::vector<MenuItem> items) : items_(std::move(items)) {
  int width = 60;
  for (const MenuItem& item : items_) width = std::max(width, font_.textWidth(item.caption) + 32);
  int height = 4;
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) height += itemRect(i).height();
  width = std::min(width, area.width());
  box_ = gui::Rect::sized(placeSpan(at.x, width, area.left, area.right), placeSpan(at.y, height, area.top, area.bottom),
                          width, height);
}

gui::Rect DrawnMenu::itemRect(int index) const {
  int y = box_.top + 2;
  for (int i = 0; i < index; ++i) y += items_[static_cast<std::size_t>(i)].caption == "-" ? 7 : 18;
  const int h = items_[static_cast<std::size_t>(index)].caption == "-" ? 7 : 18;
  return {box_.left + 2, y, box_.right - 2, y + h};
}

int DrawnMenu::itemAt(gui::Point at) const {
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
    if (itemRect(i).contains(at)) return i;
  }
  return -1;
}

bool DrawnMenu::selectable(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) return false;
  const MenuItem& item = items_[static_cast<std::size_t>(index)];
  return item.enabled && item.caption != "-";
}

void DrawnMenu::paint(gui::Canvas& canvas) {
  canvas.fillRect(box_, kFace);
  bevel(canvas, box_, false);
  for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
    const MenuItem& item = items_[static_cast<std::size_t>(i)];
    const gui::Rect r = itemRect(i);
    if (item.caption == "-") {
      canvas.fillRect({r.left + 2, r.top + 3, r.right - 2, r.top + 4}, kShadow);
      continue;
    }
    const bool hot = i == hot_ && selectable(i);
    if (hot) canvas.fillRect(r, kHighlight);
    const gui::Color ink = !item.enabled ? kShadow : hot ? gui::colors::white : kText;
    if (item.checked) font_.draw(canvas, r.left + 4, r.top + 3, "\xE2\x9C\x93", ink);
    font_.draw(canvas, r.left + 18, r.top + 3, item.caption, ink);
  }
}

void DrawnMenu::move(gui::Point at) { hot_ = itemAt(at); }

void DrawnMenu::press(gui::Point at) {
  if (!box_.contains(at)) {
    chosen_ = -1;
    done_ = true;
  }
  armed_ = true;
}

void DrawnMenu::release(gui::Point at) {
  const int item = itemAt(at);
  if (selectable(item)) {
    chosen_ = item;
    done_ = true;
  } else if (!box_.contains(at) && armed_) {
    chosen_ = -1;
    done_ = true;
  }
  armed_ = true;
}

void DrawnMenu::key(BoxKey key, const std::string&) {
  const int count = static_cast<int>(items_.size());
  switch (key) {
    case BoxKey::escape:
      chosen_ = -1;
      done_ = true;
      break;
    case BoxKey::enter:
      if (selectable(hot_)) {
        chosen_ = hot_;
        done_ = true;
      }
      break;
    case BoxKey::down:
    case BoxKey::up: {
      const int step = key == BoxKey::down ? 1 : -1;
      for (int k = 1; k <= count; ++k) {
        const int candidate = ((hot_ < 0 ? (step > 0 ? -1 : count) : hot_) + step * k + 2 * count) % count;
        if (selectable(candidate)) {
          hot_ = candidate;
          break;
        }
      }
      break;
    }
    default: break;
  }
}

std::vector<std::string> messageButtonCaptions(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::ok: return {"OK"};
    case MessageButtons::okCancel: return {"OK", "Cancel"};
    case MessageButtons::yesNo: return {"Yes", "No"};
    case MessageButtons::yesNoCancel: return {"Yes", "No", "Cancel"};
  }
  return {"OK"};
}

MessageResult messageAnswer(MessageButtons buttons, int chosen) {
  static constexpr MessageResult okCancel[] = {MessageResult::ok, MessageResult::cancel};
  static constexpr MessageResult yesNoCancel[] = {MessageResult::yes, MessageResult::no, MessageResult::cancel};
  if (chosen < 0) return dismissedAnswer(buttons);
  switch (buttons) {
    case MessageButtons::ok: return MessageResult::ok;
    case MessageButtons::okCancel: return okCancel[std::min(chosen, 1)];
    case MessageButtons::yesNo: return yesNoCancel[std::min(chosen, 1)];
    case MessageButtons::yesNoCancel: return yesNoCancel[std::min(chosen, 2)];
  }
  return dismissedAnswer(buttons);
}

}  // namespace platform
