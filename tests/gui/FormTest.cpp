#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/Form.h"
#include "gui/Image.h"
#include "gui/Label.h"
#include "gui/Panel.h"
#include "gui/Shape.h"

namespace {

using namespace gui;

class RecordingHost : public FormHost {
 public:
  void invalidateRect(const Rect& rect) override { invalidated.push_back(rect); }
  void setCursor(Cursor c) override { cursor = c; }
  void setMouseCapture(bool captured) override { capture = captured; }
  Point toScreen(Point p) const override { return {p.x + 1000, p.y + 2000}; }
  std::vector<Rect> invalidated;
  Cursor cursor = Cursor::inherit;
  bool capture = false;
};

// Logs every event a component receives, as "name:event:x,y".
struct Logged {
  std::vector<std::string>& log;
  void attach(Component& c) {
    c.onMouseDown = [this](Component& s, const MouseEvent& e) { add(s, "down", e); };
    c.onMouseMove = [this](Component& s, const MouseEvent& e) { add(s, "move", e); };
    c.onMouseUp = [this](Component& s, const MouseEvent& e) { add(s, "up", e); };
    c.onClick = [this](Component& s) { log.push_back(s.name + ":click"); };
    c.onDblClick = [this](Component& s) { log.push_back(s.name + ":dblclick"); };
  }
  void add(Component& s, const char* what, const MouseEvent& e) {
    log.push_back(s.name + ":" + what + ":" + std::to_string(e.x) + "," + std::to_string(e.y));
  }
};

class FormRouting : public ::testing::Test {
 protected:
  FormRouting() : form(100, 80) {
    back = &form.add<Panel>(Rect::sized(10, 10, 60, 50));
    back->name = "page";
    inner = &back->add<Shape>(Rect::sized(5, 5, 20, 20));
    inner->name = "inner";
    over = &form.add<Image>(Rect::sized(20, 20, 10, 10));
    over->name = "over";
    form.name = "form";
    for (Component* c : std::initializer_list<Component*>{&form, back, inner, over}) logger.attach(*c);
    form.setHost(&host);
  }
  Form form;
  RecordingHost host;
  std::vector<std::string> log;
  Logged logger{log};
  Panel* back;
  Shape* inner;
  Image* over;
};

TEST_F(FormRouting, PressGoesToTheTopmostComponentInLocalCoordinates) {
  form.mouseDownAt({22, 21}, MouseButton::left, kLeft);  // over and inner overlap here
  form.mouseUpAt({22, 21}, MouseButton::left, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"over:down:2,1", "over:click", "over:up:2,1"}));
  log.clear();
  form.mouseDownAt({16, 16}, MouseButton::right, kRight);
  EXPECT_EQ(log, (std::vector<std::string>{"inner:down:1,1"}));
}

TEST_F(FormRouting, HiddenOrDisabledComponentsLetThePressThrough) {
  over->hide();
  form.mouseDownAt({22, 21}, MouseButton::left, kLeft);
  EXPECT_EQ(log.front(), "inner:down:7,6");
  form.mouseUpAt({22, 21}, MouseButton::left, 0);
  log.clear();
  back->hide();  // hides its child too
  form.mouseDownAt({16, 16}, MouseButton::left, kLeft);
  EXPECT_EQ(log.front(), "form:down:16,16");
  form.mouseUpAt({16, 16}, MouseButton::left, 0);
  log.clear();
  back->show();
  inner->setEnabled(false);
  form.mouseDownAt({16, 16}, MouseButton::left, kLeft);
  EXPECT_EQ(log.front(), "page:down:6,6");
}

TEST_F(FormRouting, PressedComponentKeepsThePointerUntilEveryButtonIsUp) {
  form.mouseDownAt({22, 21}, MouseButton::left, kLeft);
  EXPECT_TRUE(host.capture);
  form.mouseMoveAt({90, 70}, kLeft);                        // far outside
  form.mouseDownAt({5, 5}, MouseButton::right, kLeft | kRight);  // second button
  form.mouseUpAt({5, 5}, MouseButton::right, kLeft);
  EXPECT_TRUE(host.capture);
  form.mouseUpAt({-3, 5}, MouseButton::left, 0);
  EXPECT_FALSE(host.capture);
  // Released outside: no click.
  EXPECT_EQ(log, (std::vector<std::string>{"over:down:2,1", "over:move:70,50", "over:down:-15,-15", "over:up:-15,-15",
                                           "over:up:-23,-15"}));
}

TEST_F(FormRouting, DoubleClickRaisesDoubleClickThenAPressMarkedDouble) {
  int doubleFlags = 0;
  over->onMouseDown = [&](Component&, const MouseEvent& e) { doubleFlags += (e.shift & kDouble) ? 1 : 0; };
  form.mouseDownAt({22, 21}, MouseButton::left, kLeft);
  form.mouseUpAt({22, 21}, MouseButton::left, 0);
  form.mouseDownAt({22, 21}, MouseButton::left, kLeft | kDouble);
  form.mouseUpAt({22, 21}, MouseButton::left, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"over:click", "over:up:2,1", "over:dblclick", "over:up:2,1"}));
  EXPECT_EQ(doubleFlags, 1);
}

TEST_F(FormRouting, HoverDecidesTheCursor) {
  back->setCursor(Cursor::hand);
  over->setCursor(Cursor::cross);
  form.mouseMoveAt({50, 40}, 0);  // page, own cursor
  EXPECT_EQ(host.cursor, Cursor::hand);
  form.mouseMoveAt({16, 16}, 0);  // inner inherits the page's
  EXPECT_EQ(host.cursor, Cursor::hand);
  form.mouseMoveAt({22, 21}, 0);
  EXPECT_EQ(host.cursor, Cursor::cross);
  form.mouseMoveAt({95, 75}, 0);
  EXPECT_EQ(host.cursor, Cursor::arrow);
  EXPECT_EQ(form.hovered(), &form);
}

TEST_F(FormRouting, DestroyingTheCapturedComponentEndsTheCapture) {
  form.mouseDownAt({22, 21}, MouseButton::left, kLeft);
  form.destroyChild(*over);
  EXPECT_EQ(form.captured(), nullptr);
  EXPECT_FALSE(host.capture);
  form.mouseMoveAt({23, 21}, kLeft);  // must not touch the destroyed image
  form.mouseUpAt({23, 21}, MouseButton::left, 0);
  EXPECT_EQ(log.back(), "inner:up:8,6");
}

TEST(FormPainting, RepaintsOnlyTheInvalidatedRectangles) {
  Form form(40, 30, rgb(1, 1, 1));
  auto& shape = form.add<Shape>(Rect::sized(10, 10, 5, 5));
  shape.setFill(rgb(200, 0, 0));
  shape.setPen(rgb(200, 0, 0), 1);
  form.paintAll();
  EXPECT_EQ(form.canvas().pixel(12, 12), rgb(200, 0, 0));
  // Scribble outside the shape; a repaint of the shape alone leaves it.
  form.canvas().setPixel(30, 5, rgb(7, 7, 7));
  shape.setFill(rgb(0, 200, 0));
  EXPECT_TRUE(form.needsPaint());
  EXPECT_EQ(form.paintDirty(), Rect::sized(10, 10, 5, 5));
  EXPECT_EQ(form.canvas().pixel(12, 12), rgb(0, 200, 0));
  EXPECT_EQ(form.canvas().pixel(30, 5), rgb(7, 7, 7));
  EXPECT_FALSE(form.needsPaint());
}

TEST(FormPainting, MovingAComponentRepaintsWhereItWasAndWhereItIs) {
  Form form(40, 30, rgb(1, 1, 1));
  auto& shape = form.add<Shape>(Rect::sized(0, 0, 4, 4));
  shape.setFill(rgb(200, 0, 0));
  shape.setPen(rgb(200, 0, 0), 1);
  form.paintAll();
  shape.setLeft(20);
  form.paintDirty();
  EXPECT_EQ(form.canvas().pixel(1, 1), rgb(1, 1, 1));
  EXPECT_EQ(form.canvas().pixel(21, 1), rgb(200, 0, 0));
}

TEST(FormPainting, ChildrenAreClippedToTheirParentAndDrawnInStackingOrder) {
  Form form(40, 30, rgb(1, 1, 1));
  auto& page = form.add<Panel>(Rect::sized(10, 10, 10, 10), rgb(0, 0, 50));
  auto& wide = page.add<Panel>(Rect::sized(-5, 2, 30, 2), rgb(0, 50, 0));
  form.add<Panel>(Rect::sized(12, 0, 2, 30), rgb(50, 0, 0));
  form.paintAll();
  EXPECT_EQ(form.canvas().pixel(9, 12), rgb(1, 1, 1));    // clipped by the page
  EXPECT_EQ(form.canvas().pixel(10, 12), rgb(0, 50, 0));
  EXPECT_EQ(form.canvas().pixel(12, 12), rgb(50, 0, 0));  // later sibling on top
  wide.bringToFront();
  page.bringToFront();
  form.paintDirty();
  EXPECT_EQ(form.canvas().pixel(12, 12), rgb(0, 50, 0));
}

TEST(Labels, AutoSizeFitsTheTextAndCentredLinesAreCentred) {
  Form form(200, 100);
  auto& label = form.add<Label>(Rect::sized(5, 5, 0, 0), "C# 4");
  label.setFont(Font(-11, FontWeight::bold));
  EXPECT_EQ(label.width(), Font(-11, FontWeight::bold).textWidth("C# 4"));
  EXPECT_EQ(label.height(), Font(-11, FontWeight::bold).lineHeight());
  label.setText("a\nlonger line");
  EXPECT_EQ(label.height(), 2 * label.font().lineHeight());
  auto& wrapped = form.add<Label>(Rect::sized(0, 40, 60, 0), "one two three four five six");
  wrapped.setSize(60, 0);
  wrapped.setWordWrap(true);  // keeps the width, grows downwards
  for (const std::string& line : wrapped.layoutLines()) EXPECT_LE(wrapped.font().textWidth(line), 60);
  EXPECT_GT(wrapped.layoutLines().size(), 1u);
  EXPECT_EQ(wrapped.width(), 60);
  EXPECT_EQ(wrapped.height(), static_cast<int>(wrapped.layoutLines().size()) * wrapped.font().lineHeight());
}

TEST(Shapes, PenWidthZeroStillOutlinesOnePixel) {
  Form form(30, 30, rgb(1, 1, 1));
  auto& square = form.add<Shape>(Rect::sized(0, 0, 19, 19), ShapeKind::square);
  square.setPen(rgb(38, 90, 122), 0);
  square.setFill(rgb(9, 9, 9));
  EXPECT_EQ(square.shapeRect(), Rect::sized(0, 0, 19, 19));
  form.paintAll();
  EXPECT_EQ(form.canvas().pixel(0, 0), rgb(38, 90, 122));
  EXPECT_EQ(form.canvas().pixel(18, 18), rgb(38, 90, 122));
  EXPECT_EQ(form.canvas().pixel(9, 9), rgb(9, 9, 9));
  EXPECT_EQ(form.canvas().pixel(19, 9), rgb(1, 1, 1));
}

}  // namespace
