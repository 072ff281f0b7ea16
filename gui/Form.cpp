#include "gui/Form.h"

namespace gui {

namespace {
// Past this many pending rectangles they are merged into one.
constexpr std::size_t kMaxDirtyRects = 16;
constexpr ShiftState kButtons = kLeft | kRight | kMiddle;
}  // namespace

Form::Form(int width, int height, Color color)
    : Component(Rect::sized(0, 0, width, height)), canvas_(width, height, color), color_(color) {
  dirty_.push_back(bounds());
}

Form::~Form() {
  // Children may still call back into the form while they are destroyed.
  host_ = nullptr;
}

void Form::setColor(Color color) {
  if (color == color_) return;
  color_ = color;
  invalidate();
}

void Form::resize(int width, int height) {
  setBounds(Rect::sized(0, 0, width, height));
  canvas_.resize(width, height, color_);
  dirty_.assign(1, bounds());
  if (host_ != nullptr) host_->invalidateRect(bounds());
}

void Form::setHost(FormHost* host) {
  host_ = host;
  if (host_ != nullptr) {
    host_->setCursor(cursor_);
    host_->invalidateRect(bounds());
  }
}

Point Form::toScreen(Point formPoint) const { return host_ != nullptr ? host_->toScreen(formPoint) : formPoint; }

Component* Form::componentAt(Point at) {
  if (!bounds().contains(at)) return nullptr;
  for (auto child = children().rbegin(); child != children().rend(); ++child) {
    if (Component* hit = (*child)->componentAt(at)) return hit;
  }
  return this;
}

void Form::setCapture(Component* component) {
  if (component == captured_) return;
  captured_ = component;
  if (host_ != nullptr) host_->setMouseCapture(captured_ != nullptr);
}

void Form::forget(Component& component) {
  if (captured_ == &component) setCapture(nullptr);
  if (hovered_ == &component) hovered_ = nullptr;
  if (clickCandidate_ == &component) clickCandidate_ = nullptr;
}

void Form::deliver(Component* target, Point at, MouseButton button, ShiftState shift,
                   void (Component::*handler)(const MouseEvent&)) {
  const Point origin = target->toForm({0, 0});
  (target->*handler)(MouseEvent{button, shift, at.x - origin.x, at.y - origin.y});
}

void Form::mouseDownAt(Point at, MouseButton button, ShiftState shift) {
  Component* target = captured_ != nullptr ? captured_ : componentAt(at);
  if (target == nullptr) return;
  // The component pressed first keeps the pointer until every button is up.
  setCapture(target);
  hovered_ = target;
  const bool secondOfDouble = (shift & kDouble) != 0;
  clickCandidate_ = (button == MouseButton::left && !secondOfDouble) ? target : nullptr;
  if (secondOfDouble) {
    target->doubleClick();
    if (captured_ != target) return;  // the handler removed or released it
  }
  deliver(target, at, button, shift, &Component::mouseDown);
}

void Form::mouseMoveAt(Point at, ShiftState shift) {
  if (captured_ == nullptr) updateHover(at);
  Component* target = captured_ != nullptr ? captured_ : hovered_;
  if (target == nullptr) return;
  deliver(target, at, MouseButton::left, shift, &Component::mouseMove);
}

void Form::mouseUpAt(Point at, MouseButton button, ShiftState shift) {
  Component* target = captured_ != nullptr ? captured_ : componentAt(at);
  if (target != nullptr) {
    if (button == MouseButton::left && clickCandidate_ == target) {
      clickCandidate_ = nullptr;
      const Point origin = target->toForm({0, 0});
      const Point local{at.x - origin.x, at.y - origin.y};
      if (Rect{0, 0, target->width(), target->height()}.contains(local)) {
        target->click();
      }
    }
    // The click handler may have destroyed the target.
    if (target == captured_ || (captured_ == nullptr && target == componentAt(at))) {
      deliver(target, at, button, shift, &Component::mouseUp);
    }
  }
  if ((shift & kButtons) == 0) {
    releaseCapture();
    updateHover(at);
  }
}

void Form::mouseLeftWindow() {
  if (captured_ != nullptr) return;
  if (hovered_ != nullptr) {
    Component* left = hovered_;
    hovered_ = nullptr;
    left->mouseLeave();
  }
}

void Form::updateHover(Point at) {
  Component* now = componentAt(at);
  if (now != hovered_) {
    Component* before = hovered_;
    hovered_ = now;
    if (before != nullptr) before->mouseLeave();
    if (hovered_ == now && now != nullptr) now->mouseEnter();
  }
  updateCursor();
}

void Form::updateCursor() {
  Cursor wanted = Cursor::arrow;
  for (const Component* c = captured_ != nullptr ? captured_ : hovered_; c != nullptr; c = c->parent()) {
    if (c->cursor() != Cursor::inherit) {
      wanted = c->cursor();
      break;
    }
  }
  if (wanted == cursor_) return;
  cursor_ = wanted;
  if (host_ != nullptr) host_->setCursor(cursor_);
}

void Form::invalidateRect(const Rect& formRect) {
  const Rect r = formRect.intersect(bounds());
  if (r.empty()) return;
  for (const Rect& d : dirty_) {
    if (d.intersect(r) == r) return;  // already pending
  }
  if (dirty_.size() >= kMaxDirtyRects) {
    Rect all = r;
    for (const Rect& d : dirty_) all = all.unite(d);
    dirty_.assign(1, all);
  } else {
    dirty_.push_back(r);
  }
  if (host_ != nullptr) host_->invalidateRect(r);
}

Rect Form::paintDirty() {
  Rect painted;
  // Painting never invalidates, but take the list first all the same.
  const std::vector<Rect> pending = std::move(dirty_);
  dirty_.clear();
  for (const Rect& r : pending) {
    paintTree(canvas_, {0, 0}, r);
    painted = painted.unite(r);
  }
  return painted;
}

Rect Form::paintAll() {
  dirty_.assign(1, bounds());
  return paintDirty();
}

void Form::paint(Canvas& canvas) { canvas.fill(color_); }

}  // namespace gui
