#include "controls/TENVControl.h"

#include <algorithm>
#include <cmath>

#include "controls/ControlErrors.h"
#include "gui/Form.h"

namespace controls {

namespace {
constexpr char kDefaultNodes[] = "(0, 0), (20, 255), (80, 150), (190, 150), (255, 0)";

int nearest(double v) { return static_cast<int>(std::nearbyint(v)); }
}  // namespace

TENVControl::TENVControl(gui::Rect bounds) : Component(bounds) {
  for (const TNode& node : parseNodeText(kDefaultNodes)) insertNode(node);
}

void TENVControl::raiseChange() {
  if (OnChange) OnChange(*this);
}

void TENVControl::setNodes(std::string_view text) {
  const std::vector<TNode> parsed = parseNodeText(text);  // throws before anything changes
  nodes.clear();
  for (const TNode& node : parsed) insertNode(node);
  invalidate();
  raiseChange();
}

void TENVControl::insertNode(TNode node) {
  auto same = std::find_if(nodes.begin(), nodes.end(), [&](const TNode& n) { return n.x == node.x; });
  if (same == nodes.end()) {
    auto larger = std::find_if(nodes.begin(), nodes.end(), [&](const TNode& n) { return n.x > node.x; });
    nodes.insert(larger, node);
    return;
  }
  *same = node;
  const auto i = static_cast<std::size_t>(same - nodes.begin());
  if (i > 0 && nodes[i - 1].x >= nodes[i].x) nodes[i].x = nodes[i - 1].x + 1;
  if (i + 1 < nodes.size() && nodes[i + 1].x <= nodes[i].x) nodes[i].x = nodes[i + 1].x - 1;
}

void TENVControl::setBackgndImage(const gui::Canvas& picture) {
  background_ = picture;
  invalidate();
}

void TENVControl::setDefaultLeftEdge(std::uint8_t level) {
  defaultLeftEdge_ = level;
  invalidate();
  raiseChange();
}

void TENVControl::setDefaultRightEdge(std::uint8_t level) {
  defaultRightEdge_ = level;
  invalidate();
  raiseChange();
}

void TENVControl::setEdge(int edge) {
  if (edge == edge_) return;
  edge_ = edge;
  invalidate();
}
void TENVControl::setColor(gui::Color color) {
  if (color == color_) return;
  color_ = color;
  invalidate();
}
void TENVControl::setGridColor(gui::Color color) {
  if (color == gridColor_) return;
  gridColor_ = color;
  invalidate();
}
void TENVControl::setGridCols(int cols) {
  if (cols < 0) throw InvalidOperation("Number of columns should be positive");
  if (cols == gridCols_) return;
  gridCols_ = cols;
  invalidate();
}
void TENVControl::setGridRows(int rows) {
  if (rows < 0) throw InvalidOperation("Number of rows should be positive");
  if (rows == gridRows_) return;
  gridRows_ = rows;
  invalidate();
}
void TENVControl::setLineColor(gui::Color color) {
  if (color == lineColor_) return;
  lineColor_ = color;
  invalidate();
}
void TENVControl::setNodeColor(gui::Color color) {
  if (color == nodeColor_) return;
  nodeColor_ = color;
  invalidate();
}
void TENVControl::setNodeSize(int size) {
  if (size < 0 || size > 16) throw InvalidOperation("Handle size should be in [0..16] range");
  if (size == nodeSize_) return;
  nodeSize_ = size;
  invalidate();
}

gui::Point TENVControl::nodeToPixel(TNode node) const {
  const int w = width() - 2 * edge_ - 1;
  const int h = height() - 2 * edge_ - 1;
  return {nearest(static_cast<double>(node.x * w) / 255.0) + edge_,
          edge_ + h - nearest(static_cast<double>(node.y * h) / 255.0)};
}

TNode TENVControl::pixelToNode(gui::Point pixel) const {
  if (width() - 2 * edge_ < 2 || height() - 2 * edge_ < 2) return {0, 0};
  const int w = width() - 2 * edge_ - 1;
  const int h = height() - 2 * edge_ - 1;
  const int x = nearest(static_cast<double>(pixel.x - edge_) * 255.0 / w);
  const int y = 255 - nearest(static_cast<double>(pixel.y - edge_) * 255.0 / h);
  return {std::clamp(x, 0, 255), std::clamp(y, 0, 255)};
}

void TENVControl::moveNode(int index, int x, int y) {
  const int count = static_cast<int>(nodes.size());
  if (index < 1 || index > count - 2) return;  // the end nodes never move
  x = std::clamp(x, 0, 255);
  y = std::clamp(y, 0, 255);
  auto& n = nodes;
  // The decay length, taken before the move.
  const int decay = count > 2 ? n[2].x - n[1].x : 0;
  n[static_cast<std::size_t>(index)] = {x, y};
  switch (index) {
    case 1:  // attack peak: full level, attack at most 80; the decay follows
      n[1].y = 255;
      n[1].x = std::min(n[1].x, kMaxSegment);
      n[2].x = n[1].x + decay;
      break;
    case 2:  // decay end: shares its level with the release start
      n[3].y = n[2].y;
      n[2].x = std::min(n[2].x, n[1].x + kMaxSegment);
      n[2].x = std::max(n[2].x, n[1].x + 1);
      break;
    case 3:  // release start: after the decay end, release at most 80
      n[2].y = n[3].y;
      n[3].x = std::max(n[3].x, n[2].x + 1);
      if (255 - n[3].x > kMaxSegment) n[3].x = 255 - kMaxSegment;
      break;
    default: break;
  }
}

void TENVControl::mouseDown(const gui::MouseEvent& event) {
  Component::mouseDown(event);
  const TNode at = pixelToNode({event.x, event.y});
  int chosen = -1;
  double best = 0.0;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const double dx = nodes[i].x - at.x;
    const double dy = nodes[i].y - at.y;
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (distance <= kMaxDragDistance && (chosen < 0 || distance < best)) {
      chosen = static_cast<int>(i);
      best = distance;
    }
  }
  if (chosen < 0) return;
  SelectedNode = chosen;
  gui::Form* owner = form();
  if (event.button == gui::MouseButton::left) {
    Dragging = true;
    if (owner != nullptr) owner->setCapture(this);
  } else {
    Dragging = false;
    if (owner != nullptr && owner->captured() == this) owner->releaseCapture();
  }
  invalidate();
  raiseChange();
}

void TENVControl::mouseMove(const gui::MouseEvent& event) {
  Component::mouseMove(event);
  if (!Dragging) return;
  const TNode at = pixelToNode({event.x, event.y});
  if (SelectedNode >= 1 && SelectedNode <= static_cast<int>(nodes.size()) - 2) {
    moveNode(SelectedNode, at.x, at.y);
    invalidate();
  }
  raiseChange();
}

void TENVControl::mouseUp(const gui::MouseEvent& event) {
  Component::mouseUp(event);
  Dragging = false;
  gui::Form* owner = form();
  if (owner != nullptr && owner->captured() == this) owner->releaseCapture();
  SelectedNode = -1;
}

gui::Canvas TENVControl::render() {
  gui::Canvas bitmap(width(), height(), color_);
  if (!background_.empty()) {
    bitmap.stretchDraw(background_, background_.bounds(), {edge_, edge_, width() - edge_, height() - edge_});
  }
  bool drawDefault = true;
  if (OnCustomPaint) OnCustomPaint(*this, bitmap, drawDefault);
  if (!drawDefault) return bitmap;

  const double w = width() - 2 * edge_ - 1;
  const double h = height() - 2 * edge_ - 1;
  auto px = [&](double x) { return edge_ + x * w / 255.0; };
  auto py = [&](double y) { return edge_ + h - y * h / 255.0; };
  auto segment = [&](double x0, double y0, double x1, double y1) {
    bitmap.smoothLine(px(x0), py(y0), px(x1), py(y1), lineColor_);
  };
  if (nodes.empty()) {
    segment(0, defaultLeftEdge_, 255, defaultRightEdge_);
  } else {
    if (nodes.front().x != 0) segment(0, defaultLeftEdge_, nodes.front().x, nodes.front().y);
    for (std::size_t i = 1; i < nodes.size(); ++i) {
      segment(nodes[i - 1].x, nodes[i - 1].y, nodes[i].x, nodes[i].y);
    }
    if (nodes.back().x < 255) segment(nodes.back().x, nodes.back().y, 255, defaultRightEdge_);
  }

  // Node squares, kept off the last row and column.
  gui::Canvas::View clip(bitmap, {0, 0}, {0, 0, width() - 1, height() - 1});
  for (const TNode& node : nodes) {
    const gui::Point c = nodeToPixel(node);
    bitmap.fillRect({c.x - nodeSize_, c.y - nodeSize_, c.x + nodeSize_, c.y + nodeSize_}, nodeColor_);
  }
  return bitmap;
}

void TENVControl::paint(gui::Canvas& canvas) { canvas.draw(render(), {0, 0}); }

}  // namespace controls
