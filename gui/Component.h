#pragma once
// A windowless component: a rectangle in its parent with children drawn over
// it in stacking order (later children on top). The form that owns the tree
// routes mouse events to the topmost visible component under the pointer and
// repaints only the rectangles components invalidate.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/Canvas.h"
#include "gui/Geometry.h"
#include "gui/MouseInput.h"

namespace gui {

class Form;

class Component {
 public:
  using MouseHandler = std::function<void(Component& sender, const MouseEvent& event)>;
  using NotifyHandler = std::function<void(Component& sender)>;

  explicit Component(Rect bounds = {});
  virtual ~Component();
  Component(const Component&) = delete;
  Component& operator=(const Component&) = delete;

  // Tree. Children are owned; a new child goes on top.
  template <typename T, typename... Args>
  T& add(Args&&... args) {
    auto child = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *child;
    adopt(std::move(child));
    return ref;
  }
  Component& adopt(std::unique_ptr<Component> child);
  // Destroys a child and its subtree.
  void destroyChild(Component& child);
  Component* parent() const { return parent_; }
  const std::vector<std::unique_ptr<Component>>& children() const { return children_; }
  void bringToFront();
  void sendToBack();
  virtual Form* form();

  // Geometry, in the parent's coordinates.
  const Rect& bounds() const { return bounds_; }
  void setBounds(const Rect& bounds);
  int left() const { return bounds_.left; }
  int top() const { return bounds_.top; }
  int width() const { return bounds_.width(); }
  int height() const { return bounds_.height(); }
  void setLeft(int left) { setBounds(Rect::sized(left, bounds_.top, width(), height())); }
  void setTop(int top) { setBounds(Rect::sized(bounds_.left, top, width(), height())); }
  void setSize(int width, int height) { setBounds(Rect::sized(bounds_.left, bounds_.top, width, height)); }
  // The component's rectangle and a local point in form coordinates.
  Rect formRect() const;
  Point toForm(Point local) const;

  bool visible() const { return visible_; }
  void setVisible(bool visible);
  void show() { setVisible(true); }
  void hide() { setVisible(false); }
  // Visible itself and every ancestor.
  bool showing() const;
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }

  int tag = 0;
  std::string name;
  Cursor cursor() const { return cursor_; }
  void setCursor(Cursor cursor);

  // Schedules a repaint of the whole component or of a local rectangle.
  void invalidate();
  void invalidate(const Rect& local);

  // Whether a local point (inside the bounds) belongs to the component.
  virtual bool hitTest(Point local) const;

  // Toolkit events. The defaults raise the handlers below; components that
  // react themselves call the default first, as the toolkit's owners expect.
  virtual void mouseDown(const MouseEvent& event);
  virtual void mouseMove(const MouseEvent& event);
  virtual void mouseUp(const MouseEvent& event);
  virtual void click();
  virtual void doubleClick();
  virtual void mouseEnter() {}
  virtual void mouseLeave() {}

  MouseHandler onMouseDown;
  MouseHandler onMouseMove;
  MouseHandler onMouseUp;
  NotifyHandler onClick;
  NotifyHandler onDblClick;

  // Paints the component itself (not its children) in local coordinates.
  // Painting never changes state that others see.
  virtual void paint(Canvas& canvas);

 private:
  friend class Form;
  void paintTree(Canvas& canvas, Point origin, const Rect& clip);
  Component* componentAt(Point parentPoint);
  void detachFromForm(Form* form);

  Component* parent_ = nullptr;
  std::vector<std::unique_ptr<Component>> children_;
  Rect bounds_;
  bool visible_ = true;
  bool enabled_ = true;
  Cursor cursor_ = Cursor::inherit;
};

}  // namespace gui
