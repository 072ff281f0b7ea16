#include "platform/drawn/DrawnFileBrowser.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/drawn/BoxStyle.h"

namespace platform {

using namespace boxstyle;

namespace {

constexpr gui::Color kFolder = gui::rgb(200, 160, 60);
constexpr int kLineHeight = 16;
constexpr int kRowHeight = 16;
constexpr int kFieldHeight = 18;
constexpr auto kDoubleClick = std::chrono::milliseconds(500);

std::string lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "a/b/c" -> "a/b"; "/a" -> "/".
std::string parentOf(const std::string& folder) {
  const std::size_t slash = folder.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return folder.substr(0, slash);
}

// The text cut from the left to fit `width`, with "..." in front.
std::string fitFromLeft(const gui::Font& font, const std::string& text, int width) {
  if (font.textWidth(text) <= width) return text;
  std::size_t start = 0;
  while (start < text.size() && font.textWidth("..." + text.substr(start)) > width) {
    ++start;
    while (start < text.size() && continuationByte(text[start])) ++start;
  }
  return "..." + text.substr(start);
}

}  // namespace

FolderReader systemFolderReader() {
  return [](const std::string& folder) -> std::optional<std::vector<FolderEntry>> {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    if (error) return std::nullopt;
    std::vector<FolderEntry> entries;
    for (; it != fs::directory_iterator(); it.increment(error)) {
      if (error) break;
      std::error_code kind;
      const bool isFolder = it->is_directory(kind);
      if (!isFolder && !it->is_regular_file(kind)) continue;
      entries.push_back({it->path().filename().string(), isFolder});
    }
    return entries;
  };
}

DrawnFileBrowser::DrawnFileBrowser(gui::Rect area, FileOpenRequest request, FolderReader reader,
                                   std::string homeFolder, bool offerDesktop)
    : request_(std::move(request)),
      reader_(std::move(reader)),
      home_(std::move(homeFolder)),
      offerDesktop_(offerDesktop),
      checked_(request_.checkBoxChecked) {
  // The filter's patterns: every second part of "name|patterns|name|...".
  std::size_t start = 0;
  int part = 0;
  const std::string& filter = request_.filter;
  while (!filter.empty() && start <= filter.size()) {
    std::size_t end = filter.find('|', start);
    if (end == std::string::npos) end = filter.size();
    if (part % 2 == 1) {
      const std::string patterns = filter.substr(start, end - start);
      std::size_t p = 0;
      while (p <= patterns.size()) {
        std::size_t q = patterns.find(';', p);
        if (q == std::string::npos) q = patterns.size();
        if (q > p) patterns_.push_back(lowered(patterns.substr(p, q - p)));
        p = q + 1;
      }
    }
    ++part;
    start = end + 1;
  }

  const int width = std::max(std::min(area.width() - 2 * kPadding, 460), 200);
  const int height = std::max(std::min(area.height() - 2 * kPadding, 380), 200);
  box_ = gui::Rect::sized(area.left + (area.width() - width) / 2, area.top + std::max((area.height() - height) / 2, 0),
                          width, height);

  // Start where the last choice was; the first time in the home folder.
  const std::string& initial = request_.initialFile;
  const std::size_t slash = initial.find_last_of('/');
  if (slash != std::string::npos && !initial.empty() && initial.front() == '/') {
    const std::string name = initial.substr(slash + 1);
    enterFolder(slash == 0 ? "/" : initial.substr(0, slash), name);
    field_ = name;
  } else {
    enterFolder(home_.empty() ? "/" : home_);
    // The first time the field shows the filter's first pattern ("*.wav").
    field_ = !initial.empty() ? initial : patterns_.empty() ? std::string() : patterns_.front();
  }
  if (!reader_(folder_)) enterFolder(home_.empty() ? "/" : home_);
  caret_ = field_.size();
  fieldSelected_ = true;
  fieldFocused_ = true;
}

bool DrawnFileBrowser::admits(const std::string& fileName) const {
  if (patterns_.empty()) return true;
  const std::string name = lowered(fileName);
  for (const std::string& pattern : patterns_) {
    if (pattern == "*" || pattern == "*.*") return true;
    if (pattern.size() > 1 && pattern[0] == '*') {
      const std::string tail = pattern.substr(1);
      if (name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0) return true;
    } else if (name == pattern) {
      return true;
    }
  }
  return false;
}

std::string DrawnFileBrowser::pathOf(const std::string& name) const {
  return folder_ == "/" ? "/" + name : folder_ + "/" + name;
}

void DrawnFileBrowser::enterFolder(const std::string& folder, const std::string& selectName) {
  const std::optional<std::vector<FolderEntry>> read = reader_(folder);
  if (!read) return;  // stays where it is
  folder_ = folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
  entries_.clear();
  for (const FolderEntry& entry : *read) {
    if (entry.name.empty() || entry.name[0] == '.') continue;  // hidden
    if (entry.isFolder || admits(entry.name)) entries_.push_back(entry);
  }
  std::sort(entries_.begin(), entries_.end(), [](const FolderEntry& a, const FolderEntry& b) {
    if (a.isFolder != b.isFolder) return a.isFolder;
    const std::string la = lowered(a.name), lb = lowered(b.name);
    return la != lb ? la < lb : a.name < b.name;
  });
  selected_ = -1;
  top_ = 0;
  for (int i = 0; i < static_cast<int>(entries_.size()); ++i) {
    if (!selectName.empty() && entries_[static_cast<std::size_t>(i)].name == selectName) {
      selected_ = i;
      top_ = std::max(0, i - visibleRows() / 2);
    }
  }
}

int DrawnFileBrowser::visibleRows() const {
  const gui::Rect list{box_.left + kPadding, box_.top + kCaptionHeight + kPadding + kLineHeight, box_.right - kPadding,
                       fieldRect().top - kPadding};
  return std::max(1, (list.height() - 4) / kRowHeight);
}

gui::Rect DrawnFileBrowser::rowRect(int visibleRow) const {
  const int top = box_.top + kCaptionHeight + kPadding + kLineHeight + 2 + visibleRow * kRowHeight;
  return {box_.left + kPadding + 2, top, box_.right - kPadding - 2, top + kRowHeight};
}

gui::Rect DrawnFileBrowser::fieldRect() const {
  const int bottom = box_.bottom - kPadding - kButtonHeight - kPadding;
  return {box_.left + kPadding + 64, bottom - kFieldHeight, box_.right - kPadding, bottom};
}

gui::Rect DrawnFileBrowser::okRect() const {
  return gui::Rect::sized(box_.right - kPadding - 2 * kButtonWidth - kPadding, box_.bottom - kPadding - kButtonHeight,
                          kButtonWidth, kButtonHeight);
}

gui::Rect DrawnFileBrowser::cancelRect() const {
  return gui::Rect::sized(box_.right - kPadding - kButtonWidth, box_.bottom - kPadding - kButtonHeight, kButtonWidth,
                          kButtonHeight);
}

gui::Rect DrawnFileBrowser::desktopRect() const {
  if (!offerDesktop_) return {};
  const gui::Rect ok = okRect();
  return gui::Rect::sized(ok.left - kPadding - kButtonWidth - 16, ok.top, kButtonWidth + 16, kButtonHeight);
}

gui::Rect DrawnFileBrowser::checkBoxRect() const {
  if (request_.checkBoxCaption.empty()) return {};
  const gui::Rect ok = okRect();
  const int right = offerDesktop_ ? desktopRect().left - kPadding : ok.left - kPadding;
  return {box_.left + kPadding, ok.top, right, ok.bottom};
}

int DrawnFileBrowser::rowAt(gui::Point at) const {
  for (int row = 0; row < visibleRows(); ++row) {
    if (rowRect(row).contains(at)) {
      const int index = top_ + row;
      return index < static_cast<int>(entries_.size()) ? index : -1;
    }
  }
  return -1;
}

void DrawnFileBrowser::select(int index) {
  if (entries_.empty()) return;
  index = std::clamp(index, 0, static_cast<int>(entries_.size()) - 1);
  selected_ = index;
  if (index < top_) top_ = index;
  if (index >= top_ + visibleRows()) top_ = index - visibleRows() + 1;
  const FolderEntry& entry = entries_[static_cast<std::size_t>(index)];
  if (entry.isFolder) return;
  field_ = entry.name;
  caret_ = field_.size();
  fieldSelected_ = true;
  const std::string path = pathOf(entry.name);
  if (path != lastSelectedFile_) {
    lastSelectedFile_ = path;
    if (request_.onSelectionChange) request_.onSelectionChange(path, checked_);
  }
}

void DrawnFileBrowser::accept(const std::string& path) {
  chosen_ = path;
  accepted_ = true;
  done_ = true;
}

void DrawnFileBrowser::activateSelection() {
  if (selected_ < 0 || selected_ >= static_cast<int>(entries_.size())) return;
  const FolderEntry entry = entries_[static_cast<std::size_t>(selected_)];
  if (entry.isFolder) {
    enterFolder(pathOf(entry.name));
  } else {
    accept(pathOf(entry.name));
  }
}

void DrawnFileBrowser::activateField() {
  std::string typed = field_;
  if (typed.empty()) return;
  if (typed.find('*') != std::string::npos || typed.find('?') != std::string::npos) return;  // a pattern, not a file
  if (typed[0] == '~' && (typed.size() == 1 || typed[1] == '/')) typed = home_ + typed.substr(1);
  const std::string path = typed[0] == '/' ? typed : pathOf(typed);
  // A folder is opened; anything else is the choice (when it exists, if the
  // request asks for an existing file).
  if (reader_(path)) {
    enterFolder(path);
    field_.clear();
    caret_ = 0;
    return;
  }
  if (request_.fileMustExist) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return;
  }
  accept(path);
}

void DrawnFileBrowser::toParent() {
  const std::string from = folder_;
  if (from == "/") return;
  const std::size_t slash = from.find_last_of('/');
  enterFolder(parentOf(from), from.substr(slash + 1));
}

void DrawnFileBrowser::jumpTo(const std::string& typed) {
  if (typed.empty() || entries_.empty()) return;
  const char wanted = static_cast<char>(std::tolower(static_cast<unsigned char>(typed[0])));
  const int count = static_cast<int>(entries_.size());
  for (int step = 1; step <= count; ++step) {
    const int index = (std::max(selected_, -1) + step + count) % count;
    const std::string& name = entries_[static_cast<std::size_t>(index)].name;
    if (!name.empty() && std::tolower(static_cast<unsigned char>(name[0])) == wanted) {
      select(index);
      return;
    }
  }
}

void DrawnFileBrowser::fieldInsert(const std::string& text) {
  if (fieldSelected_) {
    field_.clear();
    caret_ = 0;
    fieldSelected_ = false;
  }
  const std::string typed = printable(text);
  field_.insert(caret_, typed);
  caret_ += typed.size();
}

void DrawnFileBrowser::fieldKey(BoxKey key) {
  if (fieldSelected_) {
    fieldSelected_ = false;
    if (key == BoxKey::backspace || key == BoxKey::del) {
      field_.clear();
      caret_ = 0;
      return;
    }
    caret_ = key == BoxKey::home || key == BoxKey::left ? 0 : field_.size();
    return;
  }
  auto previous = [&](std::size_t at) { return previousCharacter(field_, at); };
  auto next = [&](std::size_t at) { return nextCharacter(field_, at); };
  switch (key) {
    case BoxKey::backspace: {
      const std::size_t from = previous(caret_);
      field_.erase(from, caret_ - from);
      caret_ = from;
      break;
    }
    case BoxKey::del: field_.erase(caret_, next(caret_) - caret_); break;
    case BoxKey::left: caret_ = previous(caret_); break;
    case BoxKey::right: caret_ = next(caret_); break;
    case BoxKey::home: caret_ = 0; break;
    case BoxKey::end: caret_ = field_.size(); break;
    default: break;
  }
}

void DrawnFileBrowser::key(BoxKey key, const std::string& text) {
  const int page = visibleRows();
  switch (key) {
    case BoxKey::escape:
      accepted_ = false;
      done_ = true;
      return;
    case BoxKey::enter:
      if (fieldFocused_) {
        activateField();
      } else {
        activateSelection();
      }
      return;
    case BoxKey::up: fieldFocused_ = false; select(selected_ < 0 ? 0 : selected_ - 1); return;
    case BoxKey::down: fieldFocused_ = false; select(selected_ < 0 ? 0 : selected_ + 1); return;
    case BoxKey::pageUp: fieldFocused_ = false; select(std::max(selected_, 0) - page); return;
    case BoxKey::pageDown: fieldFocused_ = false; select(std::max(selected_, 0) + page); return;
    case BoxKey::tab: fieldFocused_ = !fieldFocused_; return;
    case BoxKey::home:
    case BoxKey::end:
      if (!fieldFocused_) {
        select(key == BoxKey::home ? 0 : static_cast<int>(entries_.size()) - 1);
        return;
      }
      fieldKey(key);
      return;
    case BoxKey::backspace:
      if (!fieldFocused_ || field_.empty()) {
        toParent();
        return;
      }
      fieldKey(key);
      return;
    case BoxKey::left:
    case BoxKey::right:
    case BoxKey::del:
      if (fieldFocused_) fieldKey(key);
      return;
    case BoxKey::none:
      if (fieldFocused_) {
        fieldInsert(text);
      } else {
        jumpTo(text);
      }
      return;
  }
}

void DrawnFileBrowser::press(gui::Point at) {
  pressedButton_ = -1;
  if (okRect().contains(at)) pressedButton_ = 0;
  if (cancelRect().contains(at)) pressedButton_ = 1;
  if (desktopRect().contains(at)) pressedButton_ = 2;
  if (checkBoxRect().contains(at)) pressedButton_ = 3;
  if (fieldRect().contains(at)) fieldFocused_ = true;
  const int row = rowAt(at);
  if (row < 0) return;
  fieldFocused_ = false;
  const auto now = std::chrono::steady_clock::now();
  const bool isDouble = row == lastClickRow_ && now - lastClickTime_ <= kDoubleClick;
  lastClickRow_ = isDouble ? -1 : row;
  lastClickTime_ = now;
  select(row);
  if (isDouble) activateSelection();
}

void DrawnFileBrowser::release(gui::Point at) {
  const int pressed = std::exchange(pressedButton_, -1);
  switch (pressed) {
    case 0:
      if (!okRect().contains(at)) return;
      if (fieldFocused_ || selected_ < 0) {
        activateField();
      } else {
        activateSelection();
      }
      return;
    case 1:
      if (!cancelRect().contains(at)) return;
      accepted_ = false;
      done_ = true;
      return;
    case 2:
      if (!desktopRect().contains(at)) return;
      handedOver_ = true;
      done_ = true;
      return;
    case 3:
      if (checkBoxRect().contains(at)) checked_ = !checked_;
      return;
    default: return;
  }
}

FileOpenResult DrawnFileBrowser::result() const {
  FileOpenResult result;
  result.accepted = accepted_;
  result.file = accepted_ ? chosen_ : (lastSelectedFile_.empty() ? request_.initialFile : lastSelectedFile_);
  result.checkBoxChecked = checked_;
  return result;
}

void DrawnFileBrowser::paint(gui::Canvas& canvas) {
  canvas.fillRect(box_, kFace);
  bevel(canvas, box_, false);
  canvas.fillRect({box_.left + 2, box_.top + 2, box_.right - 2, box_.top + kCaptionHeight}, kCaption);
  bold_.draw(canvas, box_.left + 6, box_.top + 3, request_.title, gui::colors::white);

  // The folder shown.
  const int lookTop = box_.top + kCaptionHeight + kPadding - 2;
  font_.draw(canvas, box_.left + kPadding, lookTop, "Look in:", kText);
  font_.draw(canvas, box_.left + kPadding + 56, lookTop, fitFromLeft(font_, folder_, box_.width() - 2 * kPadding - 56),
             kText);

  // The list.
  const gui::Rect list{box_.left + kPadding, rowRect(0).top - 2, box_.right - kPadding,
                       rowRect(0).top - 2 + visibleRows() * kRowHeight + 4};
  canvas.fillRect(list, gui::colors::white);
  bevel(canvas, list, true);
  {
    gui::Canvas::View clip(canvas, canvas.origin(), list.inflated(-2));
    for (int row = 0; row < visibleRows(); ++row) {
      const int index = top_ + row;
      if (index >= static_cast<int>(entries_.size())) break;
      const FolderEntry& entry = entries_[static_cast<std::size_t>(index)];
      const gui::Rect r = rowRect(row);
      const bool hot = index == selected_;
      if (hot) canvas.fillRect(r, fieldFocused_ ? kShadow : kHighlight);
      const gui::Color ink = hot ? gui::colors::white : kText;
      if (entry.isFolder) {
        // A small folder: a tab over a body.
        canvas.fillRect({r.left + 3, r.top + 4, r.left + 8, r.top + 6}, kFolder);
        canvas.fillRect({r.left + 3, r.top + 6, r.left + 15, r.top + 13}, kFolder);
      }
      font_.draw(canvas, r.left + 20, r.top + 2, entry.name + (entry.isFolder ? "/" : ""), ink);
    }
    if (entries_.empty()) font_.draw(canvas, rowRect(0).left + 4, rowRect(0).top + 2, "(empty)", kShadow);
  }

  // The typed path.
  const gui::Rect field = fieldRect();
  font_.draw(canvas, box_.left + kPadding, field.top + 3, "File name:", kText);
  canvas.fillRect(field, gui::colors::white);
  bevel(canvas, field, true);
  {
    const gui::Rect inner = field.inflated(-2);
    gui::Canvas::View clip(canvas, canvas.origin(), inner);
    const int caretX = font_.textWidth(field_.substr(0, caret_));
    const int x = field.left + 3 - std::max(0, caretX - (field.width() - 7));
    if (fieldSelected_ && fieldFocused_ && !field_.empty()) {
      canvas.fillRect({std::max(x, inner.left), inner.top, x + font_.textWidth(field_), inner.bottom}, kHighlight);
      font_.draw(canvas, x, field.top + 3, field_, gui::colors::white);
    } else {
      font_.draw(canvas, x, field.top + 3, field_, kText);
      if (fieldFocused_) canvas.fillRect({x + caretX, field.top + 3, x + caretX + 1, field.bottom - 3}, kText);
    }
  }

  // The check box and the buttons.
  if (const gui::Rect check = checkBoxRect(); !check.empty()) {
    const gui::Rect mark = gui::Rect::sized(check.left, check.top + 4, 12, 12);
    canvas.fillRect(mark, gui::colors::white);
    bevel(canvas, mark, true);
    if (checked_) canvas.fillRect(mark.inflated(-3), kText);
    gui::Canvas::View clip(canvas, canvas.origin(), check);
    font_.draw(canvas, mark.right + 5, check.top + 4, request_.checkBoxCaption, kText);
  }
  auto button = [&](const gui::Rect& r, const std::string& caption, bool pressed, bool isDefault) {
    if (r.empty()) return;
    canvas.fillRect(r, kFace);
    bevel(canvas, r, pressed);
    if (isDefault) canvas.frameRect(r.inflated(1), kText);
    const int w = font_.textWidth(caption);
    font_.draw(canvas, r.left + (r.width() - w) / 2, r.top + (r.height() - font_.lineHeight()) / 2, caption, kText);
  };
  button(okRect(), "OK", pressedButton_ == 0, true);
  button(cancelRect(), "Cancel", pressedButton_ == 1, false);
  button(desktopRect(), "Desktop...", pressedButton_ == 2, false);
}

}  // namespace platform
