#pragma once
// The root of a component tree and its off-screen pixels: an editor window's
// client area. The native window feeds it mouse input and shows its canvas;
// the form routes the input (capture while a button is held, double clicks,
// hover, cursors) and repaints only the rectangles that changed.

#include <vector>

#include "gui/Component.h"
#include "gui/FormHost.h"

namespace gui {

class Form : public Component {
 public:
  Form(int width, int height, Color color = colors::black);
  ~Form() override;

  Form* form() override { return this; }
  Canvas& canvas() { return canvas_; }
  const Canvas& canvas() const { return canvas_; }
  Color color() const { return color_; }
  void setColor(Color color);
  // Changes the client size; everything is repainted.
  void resize(int width, int height);

  void setHost(FormHost* host);
  FormHost* host() const { return host_; }
  Point toScreen(Point formPoint) const;

  // Input from the window, in form coordinates. GUI thread.
  void mouseDownAt(Point at, MouseButton button, ShiftState shift);
  void mouseMoveAt(Point at, ShiftState shift);
  void mouseUpAt(Point at, MouseButton button, ShiftState shift);
  // The pointer left the window (and no button holds it).
  void mouseLeftWindow();

  // The topmost visible, enabled component under a form point; the form itself
  // when no child is there; nullptr outside the form.
  Component* componentAt(Point at);
  Component* captured() const { return captured_; }
  void setCapture(Component* component);
  void releaseCapture() { setCapture(nullptr); }
  Component* hovered() const { return hovered_; }
  Cursor currentCursor() const { return cursor_; }

  // Painting. Components call invalidateRect through invalidate().
  void invalidateRect(const Rect& formRect);
  bool needsPaint() const { return !dirty_.empty(); }
  // Repaints every pending rectangle into the canvas; answers their union.
  Rect paintDirty();
  Rect paintAll();

  // Called by a component that leaves the tree.
  void forget(Component& component);

  void paint(Canvas& canvas) override;

 private:
  void updateHover(Point at);
  void updateCursor();
  void deliver(Component* target, Point at, MouseButton button, ShiftState shift,
               void (Component::*handler)(const MouseEvent&));

  Canvas canvas_;
  Color color_;
  FormHost* host_ = nullptr;
  std::vector<Rect> dirty_;
  Component* captured_ = nullptr;
  Component* hovered_ = nullptr;
  Component* clickCandidate_ = nullptr;  // left press that may become a click
  Cursor cursor_ = Cursor::arrow;
};

}  // namespace gui
