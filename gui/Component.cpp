#include "gui/Component.h"

#include <algorithm>

#include "gui/Form.h"

namespace gui {

Component::Component(Rect bounds) : bounds_(bounds) {}

Component::~Component() = default;

Component& Component::adopt(std::unique_ptr<Component> child) {
  child->parent_ = this;
  children_.push_back(std::move(child));
  children_.back()->invalidate();
  return *children_.back();
}

void Component::detachFromForm(Form* owner) {
  if (owner == nullptr) return;
  owner->forget(*this);
  for (auto& child : children_) child->detachFromForm(owner);
}

void Component::destroyChild(Component& child) {
  auto found = std::find_if(children_.begin(), children_.end(), [&](const auto& c) { return c.get() == &child; });
  if (found == children_.end()) return;
  child.invalidate();
  child.detachFromForm(form());
  children_.erase(found);
}

void Component::bringToFront() {
  if (parent_ == nullptr) return;
  auto& siblings = parent_->children_;
  auto self = std::find_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == this; });
  std::rotate(self, self + 1, siblings.end());
  invalidate();
}

void Component::sendToBack() {
  if (parent_ == nullptr) return;
  auto& siblings = parent_->children_;
  auto self = std::find_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == this; });
  std::rotate(siblings.begin(), self, self + 1);
  invalidate();
}

Form* Component::form() { return parent_ != nullptr ? parent_->form() : nullptr; }

void Component::setBounds(const Rect& bounds) {
  if (bounds == bounds_) return;
  invalidate();
  bounds_ = bounds;
  invalidate();
}

Rect Component::formRect() const {
  const Point at = toForm({0, 0});
  return Rect::sized(at.x, at.y, width(), height());
}

Point Component::toForm(Point local) const {
  Point p{local.x + bounds_.left, local.y + bounds_.top};
  for (const Component* c = parent_; c != nullptr; c = c->parent_) {
    p.x += c->bounds_.left;
    p.y += c->bounds_.top;
  }
  return p;
}

void Component::setVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  // Either way the area shows something else now.
  Form* owner = form();
  if (owner != nullptr) owner->invalidateRect(formRect());
}

bool Component::showing() const {
  for (const Component* c = this; c != nullptr; c = c->parent_) {
    if (!c->visible_) return false;
  }
  return true;
}

void Component::setCursor(Cursor cursor) { cursor_ = cursor; }

void Component::invalidate() { invalidate({0, 0, width(), height()}); }

void Component::invalidate(const Rect& local) {
  if (!visible_) return;
  Form* owner = form();
  if (owner == nullptr) return;
  const Point at = toForm({0, 0});
  owner->invalidateRect(local.intersect({0, 0, width(), height()}).offset(at.x, at.y));
}

bool Component::hitTest(Point) const { return true; }

void Component::mouseDown(const MouseEvent& event) {
  if (onMouseDown) onMouseDown(*this, event);
}
void Component::mouseMove(const MouseEvent& event) {
  if (onMouseMove) onMouseMove(*this, event);
}
void Component::mouseUp(const MouseEvent& event) {
  if (onMouseUp) onMouseUp(*this, event);
}
void Component::click() {
  if (onClick) onClick(*this);
}
void Component::doubleClick() {
  if (onDblClick) onDblClick(*this);
}

void Component::paint(Canvas&) {}

void Component::paintTree(Canvas& canvas, Point origin, const Rect& clip) {
  if (!visible_) return;
  const Rect area = bounds_.offset(origin.x, origin.y);
  const Rect visibleArea = clip.intersect(area);
  if (visibleArea.empty()) return;
  {
    Canvas::View view(canvas, {area.left, area.top}, visibleArea);
    paint(canvas);
  }
  for (auto& child : children_) child->paintTree(canvas, {area.left, area.top}, visibleArea);
}

Component* Component::componentAt(Point parentPoint) {
  if (!visible_ || !enabled_ || !bounds_.contains(parentPoint)) return nullptr;
  const Point local{parentPoint.x - bounds_.left, parentPoint.y - bounds_.top};
  for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
    if (Component* hit = (*child)->componentAt(local)) return hit;
  }
  return hitTest(local) ? this : nullptr;
}

}  // namespace gui
