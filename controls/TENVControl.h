#pragma once
// An envelope as a line through a few nodes on a 0..255 × 0..255 grid, with
// draggable inner nodes. Written for an attack-decay-sustain-release shape of
// five nodes: the drag rules hold the attack peak at full level, keep the
// decay end and release start on one level, and limit the attack, decay and
// release lengths to 80 units each.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/NodeText.h"
#include "gui/Component.h"

namespace controls {

enum TENVMode { lmNodes, lmCustom };

class TENVControl : public gui::Component {
 public:
  using ChangeHandler = std::function<void(TENVControl& sender)>;
  using CustomPaintHandler = std::function<void(TENVControl& sender, gui::Canvas& bitmap, bool& drawDefault)>;

  static constexpr int kMaxDragDistance = 60;  // node units
  static constexpr int kMaxSegment = 80;       // node units

  explicit TENVControl(gui::Rect bounds = gui::Rect::sized(0, 0, 131, 131));

  // The nodes, sorted by x. Owners may change them directly and repaint.
  std::vector<TNode> nodes;
  int SelectedNode = -1;
  bool Dragging = false;

  std::string Nodes() const { return formatNodeText(nodes); }
  // Replaces the nodes with the parsed points (inserted one by one, so they
  // end up sorted by x); repaints and raises OnChange. Throws ConversionError
  // and keeps the nodes on bad text.
  void setNodes(std::string_view text);
  // The insertion rule: a point with a new x goes before the first node with
  // a larger x; one with an existing x replaces that node.
  void insertNode(TNode node);

  const gui::Canvas& BackgndImage() const { return background_; }
  void setBackgndImage(const gui::Canvas& picture);
  std::uint8_t DefaultLeftEdge() const { return defaultLeftEdge_; }
  void setDefaultLeftEdge(std::uint8_t level);
  std::uint8_t DefaultRightEdge() const { return defaultRightEdge_; }
  void setDefaultRightEdge(std::uint8_t level);
  int Edge() const { return edge_; }
  void setEdge(int edge);
  gui::Color Color() const { return color_; }
  void setColor(gui::Color color);
  gui::Color GridColor() const { return gridColor_; }
  void setGridColor(gui::Color color);
  int GridCols() const { return gridCols_; }
  void setGridCols(int cols);  // negative: InvalidOperation
  int GridRows() const { return gridRows_; }
  void setGridRows(int rows);  // negative: InvalidOperation
  gui::Color LineColor() const { return lineColor_; }
  void setLineColor(gui::Color color);
  gui::Color NodeColor() const { return nodeColor_; }
  void setNodeColor(gui::Color color);
  int NodeSize() const { return nodeSize_; }
  void setNodeSize(int size);  // outside 0..16: InvalidOperation
  TENVMode Mode() const { return lmNodes; }
  void setMode(TENVMode) {}  // the control always works with nodes

  ChangeHandler OnChange;
  CustomPaintHandler OnCustomPaint;

  // Coordinate conversions (rounding halves to even).
  gui::Point nodeToPixel(TNode node) const;
  TNode pixelToNode(gui::Point pixel) const;
  // Moves inner node `index` to (x, y) by the drag rules.
  void moveNode(int index, int x, int y);

  void mouseDown(const gui::MouseEvent& event) override;
  void mouseMove(const gui::MouseEvent& event) override;
  void mouseUp(const gui::MouseEvent& event) override;
  void paint(gui::Canvas& canvas) override;
  // The picture the control paints, at its size.
  gui::Canvas render();

 private:
  void raiseChange();

  gui::Canvas background_;
  std::uint8_t defaultLeftEdge_ = 0;
  std::uint8_t defaultRightEdge_ = 255;
  int edge_ = 1;
  gui::Color color_ = gui::colors::buttonFace;
  gui::Color gridColor_ = gui::rgb(127, 127, 127);
  int gridCols_ = 8;
  int gridRows_ = 8;
  gui::Color lineColor_ = gui::colors::black;
  gui::Color nodeColor_ = gui::rgb(0, 0, 255);
  int nodeSize_ = 2;
};

}  // namespace controls
