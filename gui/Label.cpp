#include "gui/Label.h"

#include <algorithm>
#include <utility>

namespace gui {

Label::Label(Rect bounds, std::string text) : Component(bounds), text_(std::move(text)) { fitText(); }

void Label::setText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  invalidate();
  fitText();
}

void Label::setFont(const Font& font) {
  font_ = font;
  invalidate();
  fitText();
}

void Label::setTextColor(Color color) {
  if (color == textColor_) return;
  textColor_ = color;
  invalidate();
}

void Label::setBackground(std::optional<Color> color) {
  background_ = color;
  invalidate();
}

void Label::setAlign(TextAlign align) {
  align_ = align;
  invalidate();
}

void Label::setWordWrap(bool wrap) {
  wordWrap_ = wrap;
  invalidate();
  fitText();
}

void Label::setAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  fitText();
}

std::vector<std::string> Label::layoutLines() const {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text_.find('\n', start);
    std::string paragraph = text_.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
    if (!wordWrap_ || font_.textWidth(paragraph) <= width()) {
      lines.push_back(std::move(paragraph));
    } else {
      // Break at the last blank that keeps the line within the width; a word
      // longer than the width stands alone.
      std::string line;
      std::size_t pos = 0;
      while (pos < paragraph.size()) {
        std::size_t wordEnd = paragraph.find(' ', pos);
        if (wordEnd == std::string::npos) wordEnd = paragraph.size();
        const std::string word = paragraph.substr(pos, wordEnd - pos);
        const std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && font_.textWidth(candidate) > width()) {
          lines.push_back(line);
          line = word;
        } else {
          line = candidate;
        }
        pos = wordEnd + 1;
      }
      lines.push_back(line);
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

void Label::fitText() {
  if (!autoSize_) return;
  const std::vector<std::string> lines = layoutLines();
  int widest = 0;
  for (const std::string& line : lines) widest = std::max(widest, font_.textWidth(line));
  const int tall = static_cast<int>(lines.size()) * font_.lineHeight();
  setSize(wordWrap_ ? width() : widest, tall);
}

void Label::paint(Canvas& canvas) {
  if (background_) canvas.fillRect({0, 0, width(), height()}, *background_);
  int y = 0;
  for (const std::string& line : layoutLines()) {
    const int lineWidth = font_.textWidth(line);
    const int x = align_ == TextAlign::left ? 0 : align_ == TextAlign::center ? (width() - lineWidth) / 2
                                                                               : width() - lineWidth;
    font_.draw(canvas, x, y, line, textColor_);
    y += font_.lineHeight();
  }
}

}  // namespace gui
