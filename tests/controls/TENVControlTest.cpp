#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlsTestSupport.h"
#include "controls/ControlErrors.h"
#include "controls/TENVControl.h"
#include "gui/Form.h"

namespace {

using controls::TENVControl;
using controls::TNode;
using controls::testing::move;
using controls::testing::press;
using controls::testing::release;
using gui::MouseButton;

class TENVControlTest : public ::testing::Test {
 protected:
  TENVControlTest() : env(form.add<TENVControl>(gui::Rect::sized(10, 10, 147, 129))) {
    env.setEdge(3);
    env.OnChange = [this](TENVControl&) { ++changes; };
  }
  // Presses (and optionally drags) at node coordinates.
  void pressAt(TNode node, MouseButton button = MouseButton::left) {
    const gui::Point p = env.nodeToPixel(node);
    env.mouseDown(press(button, 0, p.x, p.y));
  }
  void dragTo(TNode node) {
    const gui::Point p = env.nodeToPixel(node);
    env.mouseMove(move(gui::kLeft, p.x, p.y));
  }
  gui::Form form{400, 400};
  TENVControl& env;
  int changes = 0;
};

TEST_F(TENVControlTest, StartsWithTheDefaultEnvelope) {
  EXPECT_EQ(env.Nodes(), "(0, 0), (20, 255), (80, 150), (190, 150), (255, 0)");
  EXPECT_EQ(TENVControl().width(), 131);
}

TEST_F(TENVControlTest, SettingNodesSortsReplacesAndRaisesChange) {
  env.setNodes("(255, 0), (0, 0)");
  EXPECT_EQ(env.nodes, (std::vector<TNode>{{0, 0}, {255, 0}}));
  EXPECT_EQ(changes, 1);
  env.setNodes("(10, 300)");
  EXPECT_EQ(env.nodes, (std::vector<TNode>{{10, 255}}));
  env.setNodes("(10, 1), (5, 5), (10, 2)");  // the later point replaces the earlier
  EXPECT_EQ(env.nodes, (std::vector<TNode>{{5, 5}, {10, 2}}));
}

TEST_F(TENVControlTest, BadTextKeepsTheNodes) {
  const std::string before = env.Nodes();
  EXPECT_THROW(env.setNodes("(10, 20"), controls::ConversionError);
  EXPECT_THROW(env.setNodes("(1,2),(3;4)"), controls::ConversionError);
  EXPECT_EQ(env.Nodes(), before);
  EXPECT_EQ(changes, 0);
}

TEST_F(TENVControlTest, SettingsRejectOutOfRangeValues) {
  EXPECT_THROW(env.setGridCols(-1), controls::InvalidOperation);
  EXPECT_THROW(env.setGridRows(-1), controls::InvalidOperation);
  EXPECT_THROW(env.setNodeSize(17), controls::InvalidOperation);
  EXPECT_THROW(env.setNodeSize(-1), controls::InvalidOperation);
  try {
    env.setNodeSize(99);
  } catch (const controls::InvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Handle size should be in [0..16] range");
  }
  try {
    env.setGridCols(-3);
  } catch (const controls::InvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Number of columns should be positive");
  }
  try {
    env.setGridRows(-3);
  } catch (const controls::InvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Number of rows should be positive");
  }
  EXPECT_EQ(env.NodeSize(), 2);
  EXPECT_EQ(env.GridCols(), 8);
  env.setGridCols(0);
  env.setNodeSize(16);
  EXPECT_EQ(env.GridCols(), 0);
  EXPECT_EQ(env.NodeSize(), 16);
}

TEST_F(TENVControlTest, CoordinateConversionsOfTheSamplerSize) {
  EXPECT_EQ(env.nodeToPixel({255, 0}), (gui::Point{143, 125}));
  EXPECT_EQ(env.nodeToPixel({0, 255}), (gui::Point{3, 3}));
  EXPECT_EQ(env.pixelToNode({143, 125}), (TNode{255, 0}));
  EXPECT_EQ(env.pixelToNode({-50, 500}), (TNode{0, 0}));  // limited
  EXPECT_EQ(env.pixelToNode({500, -50}), (TNode{255, 255}));
  TENVControl tiny(gui::Rect::sized(0, 0, 7, 40));
  tiny.setEdge(3);  // 7 - 6 < 2: no room
  EXPECT_EQ(tiny.pixelToNode({5, 5}), (TNode{0, 0}));
}

TEST_F(TENVControlTest, NodeSquareIsDrawnAtTheNodesPixel) {
  env.setNodes("(0, 0), (255, 0)");
  env.setLineColor(gui::rgb(0, 0, 0));
  const gui::Canvas picture = env.render();
  EXPECT_EQ(picture.pixel(143, 125), gui::rgb(0, 0, 255));
  EXPECT_EQ(picture.pixel(141, 123), gui::rgb(0, 0, 255));
  EXPECT_EQ(picture.pixel(146, 128), env.Color());  // the last row and column stay clear
  EXPECT_EQ(picture.pixel(70, 20), env.Color());
}

TEST_F(TENVControlTest, CurveRunsThroughTheNodesAndToTheDefaultEdges) {
  env.setNodes("(100, 255)");
  env.setNodeSize(0);
  env.setLineColor(gui::rgb(255, 255, 255));
  env.setColor(gui::rgb(0, 0, 0));
  const gui::Canvas picture = env.render();
  // From (0, DefaultLeftEdge = 0) up to the node, then down to (255, 255).
  const gui::Point node = env.nodeToPixel({100, 255});
  EXPECT_GT(gui::redOf(picture.pixel(node.x, node.y)), 100);
  const gui::Point right = env.nodeToPixel({255, 255});
  EXPECT_GT(gui::redOf(picture.pixel(right.x - 5, right.y)), 100);
  const gui::Point left = env.nodeToPixel({0, 0});
  EXPECT_GT(gui::redOf(picture.pixel(left.x + 1, left.y)) + gui::redOf(picture.pixel(left.x + 1, left.y - 1)), 100);
}

TEST_F(TENVControlTest, CustomPaintCanReplaceTheDrawing) {
  env.OnCustomPaint = [](TENVControl&, gui::Canvas& bitmap, bool& drawDefault) {
    bitmap.fill(gui::rgb(9, 9, 9));
    drawDefault = false;
  };
  const gui::Canvas picture = env.render();
  EXPECT_EQ(picture.pixel(143, 125), gui::rgb(9, 9, 9));
}

TEST_F(TENVControlTest, AttackPeakStaysAtFullLevelAndTakesTheDecayAlong) {
  pressAt({20, 255});
  EXPECT_TRUE(env.Dragging);
  EXPECT_EQ(env.SelectedNode, 1);
  dragTo({120, 100});
  EXPECT_EQ(env.nodes[1], (TNode{80, 255}));
  EXPECT_EQ(env.nodes[2].x, 80 + 60);  // the decay kept its 60 units
  EXPECT_EQ(env.nodes[2].y, 150);
}

TEST_F(TENVControlTest, DecayEndIsLimitedAndSharesTheSustainLevel) {
  pressAt({80, 150});
  dragTo({20 + 100, 90});
  EXPECT_EQ(env.nodes[2].x, 20 + 80);
  EXPECT_EQ(env.nodes[2].y, env.nodes[3].y);
  dragTo({5, 90});  // not before the attack peak
  EXPECT_EQ(env.nodes[2].x, 21);
}

TEST_F(TENVControlTest, ReleaseStartMovesToKeepTheReleaseShort) {
  pressAt({190, 150});
  dragTo({100, 150});
  const int y = env.nodes[3].y;
  EXPECT_EQ(env.nodes[3].x, 175);
  EXPECT_EQ(env.nodes[2].y, y);
}

TEST_F(TENVControlTest, EndNodesNeverMoveButEveryDragMoveRaisesChange) {
  pressAt({255, 0});
  EXPECT_EQ(env.SelectedNode, 4);
  changes = 0;
  dragTo({200, 100});
  dragTo({210, 100});
  EXPECT_EQ(env.nodes[4], (TNode{255, 0}));
  EXPECT_EQ(changes, 2);
  env.mouseUp(release(MouseButton::left));
  EXPECT_EQ(env.SelectedNode, -1);
  EXPECT_FALSE(env.Dragging);
}

TEST_F(TENVControlTest, PressFarFromEveryNodeDoesNothing) {
  env.setNodes("(0, 0), (255, 0)");
  changes = 0;
  pressAt({128, 200});  // over 60 units from both
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(env.SelectedNode, -1);
  EXPECT_FALSE(env.Dragging);
}

TEST_F(TENVControlTest, OtherButtonsSelectWithoutDragging) {
  pressAt({80, 150}, MouseButton::right);
  EXPECT_EQ(env.SelectedNode, 2);
  EXPECT_FALSE(env.Dragging);
  EXPECT_EQ(changes, 1);
  dragTo({100, 10});
  EXPECT_EQ(env.nodes[2], (TNode{80, 150}));
}

TEST_F(TENVControlTest, DragThroughTheFormKeepsThePointerOutsideTheControl) {
  const gui::Point peak = env.toForm(env.nodeToPixel({20, 255}));
  form.mouseDownAt(peak, MouseButton::left, gui::kLeft);
  EXPECT_EQ(form.captured(), &env);
  form.mouseMoveAt({peak.x - 100, peak.y - 100}, gui::kLeft);  // far to the upper left
  EXPECT_EQ(env.nodes[1], (TNode{0, 255}));
  form.mouseUpAt({0, 0}, MouseButton::left, 0);
  EXPECT_EQ(form.captured(), nullptr);
}

}  // namespace
