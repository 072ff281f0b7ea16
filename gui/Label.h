#pragma once
// A text label: one or more lines (separated by line breaks, optionally
// wrapped at word boundaries) in one font, on a transparent or filled
// background. With auto size the label takes the size of its text.

#include <optional>
#include <string>
#include <vector>

#include "gui/Component.h"
#include "gui/Font.h"

namespace gui {

enum class TextAlign { left, center, right };

class Label : public Component {
 public:
  explicit Label(Rect bounds = {}, std::string text = {});

  const std::string& text() const { return text_; }
  void setText(std::string text);
  const Font& font() const { return font_; }
  void setFont(const Font& font);
  Color textColor() const { return textColor_; }
  void setTextColor(Color color);
  // A background colour, or none for a transparent label.
  void setBackground(std::optional<Color> color);
  void setAlign(TextAlign align);
  void setWordWrap(bool wrap);
  void setAutoSize(bool autoSize);
  bool autoSize() const { return autoSize_; }

  // The lines as they are drawn, after wrapping.
  std::vector<std::string> layoutLines() const;

  void paint(Canvas& canvas) override;

 private:
  void fitText();

  std::string text_;
  Font font_;
  Color textColor_ = colors::black;
  std::optional<Color> background_;
  TextAlign align_ = TextAlign::left;
  bool wordWrap_ = false;
  bool autoSize_ = true;
};

}  // namespace gui
