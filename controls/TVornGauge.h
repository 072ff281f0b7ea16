#pragma once
// A painted bar display. Its bar is not computed from a value: the owner
// gives the bar's two ends in pixels (RangeMin, RangeMax), so one gauge shows
// a range (a loop, a filter band) as well as a level. A percentage from
// Progress drives the optional centred text and the centre-origin, pie and
// needle kinds. Presses made with Shift and the left button are marked, so
// the owner can tell an assignment request from a drag.

#include <cstdint>

#include "gui/Component.h"
#include "gui/Font.h"

namespace controls {

enum TVornGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
enum TBorderStyle { bsNone, bsSingle };

class TVornGauge : public gui::Component {
 public:
  // Owners give this tag to the gauge whose text is a signed offset.
  static constexpr int kSignedTextTag = 99;

  explicit TVornGauge(gui::Rect bounds = gui::Rect::sized(0, 0, 100, 100));

  // Settings; every setter repaints only when something changed unless its
  // comment says otherwise.
  gui::Color Color() const { return color_; }
  void setColor(gui::Color color);
  bool InvertPie() const { return invertPie_; }
  void setInvertPie(bool invert);
  TVornGaugeKind Kind() const { return kind_; }
  void setKind(TVornGaugeKind kind);
  bool ShowText() const { return showText_; }
  void setShowText(bool show);
  int TextXOffset() const { return textXOffset_; }
  void setTextXOffset(int offset);
  int TextYOffset() const { return textYOffset_; }
  void setTextYOffset(int offset);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void setBorderStyle(TBorderStyle style);
  gui::Color ForeColor() const { return foreColor_; }
  void setForeColor(gui::Color color);
  gui::Color BackColor() const { return backColor_; }
  void setBackColor(gui::Color color);
  gui::Color BorderColor() const { return borderColor_; }
  void setBorderColor(gui::Color color);
  const gui::Font& Font() const { return font_; }
  gui::Color FontColor() const { return fontColor_; }
  void setFont(const gui::Font& font, gui::Color color);

  std::int32_t MinValue() const { return minValue_; }
  // Above MaxValue (outside form loading): InvalidOperation "Value must be
  // between -2147483647 and MaxValue - 1". Raises Progress to it.
  void setMinValue(std::int32_t value);
  std::int32_t MaxValue() const { return maxValue_; }
  // Below MinValue (outside form loading): InvalidOperation "Value must be
  // between MinValue + 1 and 2147483647". Lowers Progress to it.
  void setMaxValue(std::int32_t value);
  bool CenterOrigin() const { return centerOrigin_; }
  void setCenterOrigin(bool center);
  std::int32_t Progress() const { return progress_; }
  // Limited to MinValue..MaxValue; repaints only when the percentage changed.
  void setProgress(std::int32_t value);
  std::int32_t RangeMin() const { return rangeMin_; }
  std::int32_t RangeMax() const { return rangeMax_; }
  // Below 0 becomes 0; limited to the width for horizontal bars, to the
  // height otherwise. Stored and repainted every time.
  void setRangeMin(std::int32_t value);
  void setRangeMax(std::int32_t value);

  // While the form description is being loaded, bounds may come in any order.
  void setLoading(bool loading) { loading_ = loading; }

  // The assignment mark: whether the last press was exactly Shift and left.
  // The owner may clear it.
  bool ShiftLeftMark = false;

  // The percentage: 0 when MaxValue equals MinValue.
  int percent() const;
  // The text shown when ShowText is set.
  std::string text() const;

  void mouseDown(const gui::MouseEvent& event) override;
  void paint(gui::Canvas& canvas) override;
  // The picture the gauge paints, at its size.
  gui::Canvas render() const;

 private:
  void changed() { invalidate(); }
  std::int32_t limitRange(std::int32_t value) const;
  void drawKind(gui::Canvas& scratch, gui::Rect r) const;

  gui::Color color_ = gui::colors::buttonFace;
  bool invertPie_ = false;
  TVornGaugeKind kind_ = gkHorizontalBar;
  bool showText_ = true;
  int textXOffset_ = 0;
  int textYOffset_ = 0;
  TBorderStyle borderStyle_ = bsSingle;
  gui::Color foreColor_ = gui::colors::black;
  gui::Color backColor_ = gui::colors::white;
  gui::Color borderColor_ = gui::colors::white;
  gui::Font font_;
  gui::Color fontColor_ = gui::colors::black;
  std::int32_t minValue_ = 0;
  std::int32_t maxValue_ = 100;
  bool centerOrigin_ = false;
  std::int32_t progress_ = 0;
  std::int32_t rangeMin_ = 0;
  std::int32_t rangeMax_ = 0;
  bool loading_ = false;
};

}  // namespace controls
